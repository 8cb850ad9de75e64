#include "presentation/whiteboard/DancerPictures.h"


#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace {

const QColor kMan(40, 90, 200);
const QColor kWoman(210, 50, 90);

} // namespace

QImage DancerBitmap(int number, bool diagonal) {
    const int size = diagonal ? 86 : 90;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const bool man = number <= 8;
    const QColor colour = man ? kMan : kWoman;
    const QPointF c(size / 2.0, size / 2.0);
    // The nose: a triangle ahead of the body, up (or up and right).
    p.save();
    p.translate(size / 2.0, size / 2.0);
    if (diagonal) p.rotate(45);
    // Upright it reaches the edge; on the diagonal it reaches out past the
    // body's corner, its base hidden under the body.
    const qreal tip = diagonal ? 57 : size / 2.0 - 1, base = diagonal ? 24 : size / 2.0 - 19;
    QPainterPath nose;
    nose.moveTo(0, -tip);
    nose.lineTo(-12, -base);
    nose.lineTo(12, -base);
    nose.closeSubpath();
    p.fillPath(nose, colour.darker(130));
    p.restore();
    // The body.
    const QRectF body(c.x() - 26, c.y() - 26, 52, 52);
    p.setPen(QPen(colour.darker(150), 3));
    p.setBrush(colour);
    if (man)
        p.drawRoundedRect(body, 6, 6);
    else
        p.drawEllipse(body);
    return img;
}

const QImage &DancerImage(int number, int facing) {
    static QHash<int, QImage> cache;
    const int key = number * 8 + facing;
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    QImage img = DancerBitmap(number, facing % 2 != 0);
    // Quarter turns of a square are exact: no resampling, no size change.
    const int turns = facing / 2;
    if (turns) img = img.transformed(QTransform().rotate(90 * turns));
    // The number goes on last, upright whatever the facing.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, QString::number(number <= 8 ? number : number - 8));
    p.end();
    return *cache.insert(key, img);
}

QImage ControlImage(const QString &name) {
    QImage img(28, 28, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor green(0, 150, 60), red(200, 30, 30), grey(170, 170, 170), blue(40, 90, 200);
    auto triangle = [&p](qreal left, bool right, const QColor &c) {
        QPainterPath t;
        if (right) {
            t.moveTo(left, 4);
            t.lineTo(left + 14, 14);
            t.lineTo(left, 24);
        } else {
            t.moveTo(left + 14, 4);
            t.lineTo(left, 14);
            t.lineTo(left + 14, 24);
        }
        t.closeSubpath();
        p.fillPath(t, c);
    };
    if (name == QLatin1String("Play")) {
        triangle(8, true, green);
    } else if (name == QLatin1String("PlayAll")) {
        triangle(2, true, green);
        triangle(12, true, green);
    } else if (name == QLatin1String("Stop") || name == QLatin1String("NoStop")) {
        p.setBrush(name == QLatin1String("Stop") ? red : grey);
        p.drawRect(6, 6, 16, 16);
    } else if (name == QLatin1String("GoFirst") || name == QLatin1String("GoLast")) {
        const bool last = name == QLatin1String("GoLast");
        triangle(last ? 6 : 8, last, blue);
        p.setBrush(blue);
        p.drawRect(last ? 20 : 4, 4, 4, 20);
    } else if (name == QLatin1String("GoPrev") || name == QLatin1String("GoNext")) {
        triangle(7, name == QLatin1String("GoNext"), blue);
    } else {
        return QImage();
    }
    return img;
}
