#include "presentation/cards/CardPrint.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>

namespace {

// A printer pixel of the old job, at its usual 600 dpi, in layout pixels
// (only for the border's small offsets).
constexpr double FramePixel = 1.0;
constexpr double PenWidth = double(LayoutDpi) / 75;
// Exact line spacing lifts a first line a little above its line's top.
constexpr double SliceLift = 3;

double Px(int twips) { return TwipsToPixels(twips); }

void Frame(CardSink &sink, const QRectF &r, double height) {
    const double top = r.top() - 2 * FramePixel;
    sink.frame(QRectF(QPointF(r.left() - 2 * FramePixel, top), QPointF(r.right() + 3 * FramePixel, top + height + 2 * FramePixel)),
               PenWidth);
}

} // namespace

void PrintCard(CardSink &sink, const CardGeometry &g, const CardPlacer &at, const CardContent &card, bool border) {
    const double left = Px(at.cardLeft());
    double y = Px(at.cardTop());
    if (card.heading) {
        const QRectF r(left, y, card.headingWidth + Px(260), Px(CardHeadingTwips));
        if (border) Frame(sink, r, r.height() - 2 * FramePixel);
        sink.text(card.heading, 0, r.height(), r.topLeft());
        sink.rule(QLineF(left - Px(400), y + Px(540), r.right() + Px(650), y + Px(540)), PenWidth);
        const double top = y + Px(80), bottom = y + Px(480);
        if ((card.cardNo > 1 || !card.lastOfDance) && card.cardNo >= 1 && card.cardNo <= 9)
            sink.picture(QStringLiteral("CNo%1").arg(card.cardNo),
                         QRectF(QPointF(r.right() - Px(800), top), QPointF(r.right() - Px(400), bottom)));
        if (!card.lastOfDance)
            sink.picture(QStringLiteral("Arrow"), QRectF(QPointF(r.right() - Px(300), top), QPointF(r.right() + Px(100), bottom)));
        y += Px(CardHeadingTwips);
    }
    if (card.text) {
        const QRectF r(left, y, card.textWidth + Px(260), card.sliceBottom - card.sliceTop);
        if (border) Frame(sink, r, Px(g.dHeight));
        sink.text(card.text, card.sliceTop, card.sliceBottom, r.topLeft());
    }
    if (card.footer) {
        const double top = y + Px(g.dHeight - CardFooterLiftTwips) - card.footerHeight;
        const QRectF r(left, top, card.textWidth + Px(260), card.footerHeight);
        if (border) Frame(sink, r, 10 * FramePixel);
        sink.text(card.footer, 0, card.footerHeight, r.topLeft());
    }
}

void PainterCardSink::frame(const QRectF &rect, double penWidth) {
    p_.save();
    p_.setPen(QPen(CardBorderColour, penWidth));
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(rect);
    p_.restore();
}

void PainterCardSink::text(const QTextDocument *doc, double sliceTop, double sliceBottom, const QPointF &at) {
    p_.save();
    p_.translate(at.x(), at.y() - sliceTop);
    const double width = doc->textWidth() > 0 ? doc->textWidth() : doc->size().width();
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, sliceTop - SliceLift, width, sliceBottom - sliceTop + SliceLift);
    p_.setClipRect(ctx.clip);
    doc->documentLayout()->draw(&p_, ctx);
    p_.restore();
}

void PainterCardSink::rule(const QLineF &line, double penWidth) {
    p_.save();
    p_.setPen(QPen(Qt::black, penWidth));
    p_.drawLine(line);
    p_.restore();
}

void PainterCardSink::picture(const QString &name, const QRectF &rect) { DrawCardPicture(p_, name, rect); }

void DrawCardPicture(QPainter &painter, const QString &name, const QRectF &rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = rect.width(), h = rect.height();
    if (name == QLatin1String("Arrow")) {
        QPainterPath path;
        path.moveTo(rect.left(), rect.top() + h * 0.35);
        path.lineTo(rect.left() + w * 0.55, rect.top() + h * 0.35);
        path.lineTo(rect.left() + w * 0.55, rect.top() + h * 0.1);
        path.lineTo(rect.right(), rect.center().y());
        path.lineTo(rect.left() + w * 0.55, rect.bottom() - h * 0.1);
        path.lineTo(rect.left() + w * 0.55, rect.bottom() - h * 0.35);
        path.lineTo(rect.left(), rect.bottom() - h * 0.35);
        path.closeSubpath();
        painter.fillPath(path, Qt::black);
    } else if (name.startsWith(QLatin1String("CNo"))) {
        painter.setPen(QPen(Qt::black, std::max(0.5, w / 16)));
        painter.drawEllipse(rect.adjusted(w / 16, h / 16, -w / 16, -h / 16));
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(std::max(1, int(h * 0.6)));
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(rect, Qt::AlignCenter, name.mid(3));
    }
    painter.restore();
}
