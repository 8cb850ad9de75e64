#pragma once
// Printing one card: heading, text slice, footer, border, rule, card number
// and arrow, handed to a CardSink in layout pixels (96 dpi). The painter sink
// draws on any paint device, scaled from layout pixels to its resolution; a
// recording sink lets tests read what was drawn.

#include "presentation/cards/CardLayout.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;
class QTextDocument;

class CardSink {
public:
    virtual ~CardSink() = default;
    // A frame of the "Print border" option.
    virtual void frame(const QRectF &rect, double penWidth) = 0;
    // The part of doc from sliceTop to sliceBottom (its own layout pixels),
    // drawn with its top at at.
    virtual void text(const QTextDocument *doc, double sliceTop, double sliceBottom, const QPointF &at) = 0;
    virtual void rule(const QLineF &line, double penWidth) = 0;
    // "CNo1" to "CNo9" or "Arrow", stretched into rect.
    virtual void picture(const QString &name, const QRectF &rect) = 0;
};

// What one card shows. heading null: no heading (titles are in the text);
// footer null: none on this card.
struct CardContent {
    const QTextDocument *heading = nullptr;
    double headingWidth = 0; // layout pixels
    const QTextDocument *text = nullptr;
    double sliceTop = 0, sliceBottom = 0;
    double textWidth = 0; // layout pixels
    const QTextDocument *footer = nullptr;
    double footerHeight = 0;
    int cardNo = 1;
    bool lastOfDance = true;
};

inline const QColor CardBorderColour(140, 0, 0);
// Height of the heading above a card's text (twips).
inline constexpr int CardHeadingTwips = 600;
// The footer stands this far above the card's lower edge (twips).
inline constexpr int CardFooterLiftTwips = 150;

// Prints the card at the placer's position.
void PrintCard(CardSink &sink, const CardGeometry &g, const CardPlacer &at, const CardContent &card, bool border);

// Draws on a painter whose coordinates are layout pixels.
class PainterCardSink : public CardSink {
public:
    explicit PainterCardSink(QPainter &painter) : p_(painter) {}
    void frame(const QRectF &rect, double penWidth) override;
    void text(const QTextDocument *doc, double sliceTop, double sliceBottom, const QPointF &at) override;
    void rule(const QLineF &line, double penWidth) override;
    void picture(const QString &name, const QRectF &rect) override;

private:
    QPainter &p_;
};

// Draws the card-number and arrow pictures.
void DrawCardPicture(QPainter &painter, const QString &name, const QRectF &rect);

// Remembers every call (tests).
class RecordingCardSink : public CardSink {
public:
    struct Call {
        QString kind; // "frame", "text", "rule", "picture"
        QString name; // picture name
        QRectF rect;  // frame, picture, text area (at, slice height)
        const QTextDocument *doc = nullptr;
    };
    QList<Call> calls;
    void frame(const QRectF &rect, double) override { calls.append({"frame", {}, rect, nullptr}); }
    void text(const QTextDocument *doc, double sliceTop, double sliceBottom, const QPointF &at) override {
        calls.append({"text", {}, QRectF(at, QSizeF(0, sliceBottom - sliceTop)), doc});
    }
    void rule(const QLineF &line, double) override { calls.append({"rule", {}, QRectF(line.p1(), line.p2()), nullptr}); }
    void picture(const QString &name, const QRectF &rect) override { calls.append({"picture", name, rect, nullptr}); }
};
