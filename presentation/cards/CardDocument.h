#pragma once
// Card layout over rich-text documents: a document set up as a card box, its
// wrapped lines for the paginator, the heading as a document, and the print
// run of one dance's cards.

#include "presentation/cards/CardPrint.h"

#include <functional>
#include <memory>

class QTextDocument;

// A card box: no margin, design metrics, the card's width in layout pixels.
void PrepareCardDocument(QTextDocument *doc, double width);
// The wrapped lines of a laid-out document.
QList<CardTextLine> DocumentLines(QTextDocument *doc);
// The height of a laid-out document (0 when it has no text).
double DocumentTextHeight(QTextDocument *doc);

// The heading as a document of width layout pixels in fontFamily.
std::unique_ptr<QTextDocument> HeadingDocument(const CardHeadingText &heading, const QString &fontFamily, double width);
// Whether the heading stays on one line at that width.
bool HeadingFitsOneLine(const CardHeadingText &heading, const QString &fontFamily, double width);

// One dance to print. heading(cardNo) gives the heading of a card (null for
// none); footer is null when the dance has no footer text.
struct DanceCardsJob {
    QTextDocument *text = nullptr;
    QTextDocument *footer = nullptr;
    std::function<std::unique_ptr<QTextDocument>(int cardNo)> heading;
    double headingWidth = 0;
};

// Prints the dance's cards from the placer's position; newPage starts a
// printer page when a page is full and more follows (laterDances: another
// dance comes after this one). Returns the number of cards printed.
int PrintDanceCards(CardSink &sink, const std::function<void()> &newPage, CardPlacer &placer,
                    const CardGeometry &g, bool border, const DanceCardsJob &dance, bool laterDances);

class QPagedPaintDevice;

// A print run of cards on a paged device (a printer or a PDF writer): the
// painter works in layout pixels. Cancelling ends the run normally once the
// page being printed is full, keeping the pages printed.
class CardPrintRun {
public:
    CardPrintRun(QPagedPaintDevice *device, const CardGeometry &g, bool firstPageOnly, bool border);
    ~CardPrintRun();
    CardPrintRun(const CardPrintRun &) = delete;
    CardPrintRun &operator=(const CardPrintRun &) = delete;

    // The device could be opened.
    bool ok() const;
    int printDance(const DanceCardsJob &dance, bool laterDances);
    void cancelAfterPage() { cancel_ = true; }
    bool stopped() const { return placer.StopPrinting; }
    // Ends the job (the destructor does too); false when the device failed.
    bool end();

    CardPlacer placer;

private:
    QPagedPaintDevice *device_;
    CardGeometry g_;
    bool border_;
    bool cancel_ = false;
    std::unique_ptr<QPainter> painter_;
};
