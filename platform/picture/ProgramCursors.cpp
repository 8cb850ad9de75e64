#include "platform/picture/ProgramCursors.h"

#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int Side = 32;

QPixmap Blank() {
    QPixmap p(Side, Side);
    p.fill(Qt::transparent);
    return p;
}

// A printer: the body, a sheet coming out of the top and a paper slot.
QCursor Printing() {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::black, 1.5));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(9.5, 2.5, 13, 11)); // the sheet
    g.setBrush(QColor(150, 150, 150));
    g.drawRoundedRect(QRectF(3.5, 12.5, 25, 12), 2, 2); // the body
    g.setBrush(Qt::white);
    g.drawRect(QRectF(8.5, 20.5, 15, 7)); // the printed sheet
    g.setPen(QPen(Qt::black, 1));
    g.drawLine(QPointF(11, 5.5), QPointF(20, 5.5));
    g.drawLine(QPointF(11, 8.5), QPointF(20, 8.5));
    g.setBrush(QColor(0, 160, 0));
    g.drawEllipse(QPointF(24.5, 16), 1.5, 1.5); // the power light
    return QCursor(p, 3, 12);
}

// An envelope with its flap.
QCursor Email() {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::black, 1.5));
    g.setBrush(QColor(255, 255, 210));
    g.drawRect(QRectF(2.5, 7.5, 27, 18));
    QPainterPath flap;
    flap.moveTo(2.5, 7.5);
    flap.lineTo(16, 18);
    flap.lineTo(29.5, 7.5);
    g.setBrush(Qt::NoBrush);
    g.drawPath(flap);
    return QCursor(p, 2, 7);
}

// A globe: a blue disc with its meridians and parallels.
QCursor WebSite() {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(0, 0, 128), 1.5));
    g.setBrush(QColor(90, 160, 255));
    const QRectF globe(3.5, 3.5, 25, 25);
    g.drawEllipse(globe);
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(Qt::white, 1.2));
    g.drawEllipse(QRectF(10.5, 3.5, 11, 25));
    g.drawLine(QPointF(16, 4), QPointF(16, 28));
    g.drawLine(QPointF(4, 16), QPointF(28, 16));
    g.drawLine(QPointF(6.5, 9.5), QPointF(25.5, 9.5));
    g.drawLine(QPointF(6.5, 22.5), QPointF(25.5, 22.5));
    return QCursor(p, 16, 16);
}

// A ring with a dot at its centre, the hot spot.
QCursor Circle() {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(Qt::white, 4));
    g.drawEllipse(QPointF(15.5, 15.5), 11, 11);
    g.setPen(QPen(Qt::black, 2));
    g.drawEllipse(QPointF(15.5, 15.5), 11, 11);
    g.setBrush(Qt::black);
    g.drawEllipse(QPointF(15.5, 15.5), 1.5, 1.5);
    return QCursor(p, 15, 15);
}

QMap<int, QCursor> &Loaded() {
    static QMap<int, QCursor> cursors;
    return cursors;
}

} // namespace

void LoadProgramCursors() {
    QMap<int, QCursor> &c = Loaded();
    if (!c.isEmpty()) return;
    c.insert(int(ProgramCursor::Printing), Printing());
    c.insert(int(ProgramCursor::Email), Email());
    c.insert(int(ProgramCursor::WebSite), WebSite());
    c.insert(int(ProgramCursor::Circle), Circle());
}

QCursor ProgramCursorOf(int number) {
    LoadProgramCursors();
    return Loaded().value(number, QCursor(Qt::ArrowCursor));
}
