#include "presentation/cards/CardDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

void PrepareCardDocument(QTextDocument *doc, double width) {
    doc->setDocumentMargin(0);
    doc->setUseDesignMetrics(true);
    doc->setTextWidth(width);
}

QList<CardTextLine> DocumentLines(QTextDocument *doc) {
    QList<CardTextLine> lines;
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QRectF box = layout->blockBoundingRect(b);
        const QTextLayout *tl = b.layout();
        const double gap = b.blockFormat().bottomMargin();
        const int n = tl ? tl->lineCount() : 0;
        if (n == 0) {
            lines.append({box.top(), box.bottom() - gap, gap, true});
            continue;
        }
        for (int i = 0; i < n; ++i) {
            const QTextLine line = tl->lineAt(i);
            const double top = box.top() + line.y();
            lines.append({top, top + line.height(), i + 1 == n ? gap : 0, i + 1 == n});
        }
    }
    return lines;
}

double DocumentTextHeight(QTextDocument *doc) {
    if (doc->isEmpty()) return 0;
    const QList<CardTextLine> lines = DocumentLines(doc);
    return lines.isEmpty() ? 0 : lines.last().bottom - lines.first().top;
}

std::unique_ptr<QTextDocument> HeadingDocument(const CardHeadingText &heading, const QString &fontFamily, double width) {
    auto doc = std::make_unique<QTextDocument>();
    PrepareCardDocument(doc.get(), width);
    QTextCursor c(doc.get());
    for (const HeadingRun &run : heading.runs) {
        QTextCharFormat f;
        f.setFontFamilies({fontFamily});
        f.setFontPointSize(run.points);
        f.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run.italic);
        c.insertText(heading.text.mid(run.start, run.length), f);
    }
    return doc;
}

bool HeadingFitsOneLine(const CardHeadingText &heading, const QString &fontFamily, double width) {
    auto doc = HeadingDocument(heading, fontFamily, width);
    doc->documentLayout(); // lays it out
    const QTextLayout *tl = doc->begin().layout();
    return !tl || tl->lineCount() <= 1;
}

int PrintDanceCards(CardSink &sink, const std::function<void()> &newPage, CardPlacer &placer,
                    const CardGeometry &g, bool border, const DanceCardsJob &dance, bool laterDances) {
    const QList<CardTextLine> lines = DocumentLines(dance.text);
    const double footerHeight = dance.footer ? DocumentTextHeight(dance.footer) : 0;
    const CardPagination pages = PaginateCards(lines, TwipsToPixels(g.dHeight), footerHeight, true);
    int printed = 0;
    for (int i = 0; i < pages.cards.size() && !placer.StopPrinting; ++i) {
        const CardSlice &s = pages.cards[i];
        const bool last = i + 1 == pages.cards.size();
        std::unique_ptr<QTextDocument> heading = dance.heading ? dance.heading(i + 1) : nullptr;
        CardContent card;
        card.heading = heading.get();
        card.headingWidth = dance.headingWidth;
        card.text = dance.text;
        card.sliceTop = s.count ? lines[s.first].top : 0;
        card.sliceBottom = s.count ? lines[s.last()].bottom : 0;
        card.textWidth = dance.text->textWidth();
        card.footer = last && footerHeight > 0 ? dance.footer : nullptr;
        card.footerHeight = footerHeight;
        card.cardNo = i + 1;
        card.lastOfDance = last;
        PrintCard(sink, g, placer, card, border);
        ++printed;
        if (placer.advance(laterDances || !last) && newPage) newPage();
    }
    return printed;
}

CardPrintRun::CardPrintRun(QPagedPaintDevice *device, const CardGeometry &g, bool firstPageOnly, bool border)
    : placer(g, firstPageOnly), device_(device), g_(g), border_(border), painter_(std::make_unique<QPainter>()) {
    if (painter_->begin(device_)) painter_->scale(device_->logicalDpiX() / double(LayoutDpi), device_->logicalDpiY() / double(LayoutDpi));
}

CardPrintRun::~CardPrintRun() { end(); }

bool CardPrintRun::ok() const { return painter_->isActive(); }

int CardPrintRun::printDance(const DanceCardsJob &dance, bool laterDances) {
    if (!ok() || placer.StopPrinting) return 0;
    PainterCardSink sink(*painter_);
    const QTransform scale = painter_->transform();
    return PrintDanceCards(
        sink,
        [&] {
            if (cancel_) {
                placer.StopPrinting = true;
                return;
            }
            if (!device_->newPage()) placer.StopPrinting = true;
            painter_->setTransform(scale);
        },
        placer, g_, border_, dance, laterDances);
}

bool CardPrintRun::end() {
    if (!painter_->isActive()) return false;
    return painter_->end();
}
