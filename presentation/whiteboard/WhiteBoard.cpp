#include "presentation/whiteboard/WhiteBoard.h"

#include "core/services/ShellRoutines.h"
#include "presentation/whiteboard/DancerPictures.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolTip>

namespace {

const QString kCircle = QStringLiteral("Circle");
const QString kImg = QStringLiteral("Img");
const QString kText = QStringLiteral("DText");
constexpr int kCircleSize = 19;
constexpr int kStrip = 8; // the text box's drag strip

} // namespace

int DancerNumberOf(const QString &name) {
    for (int n = 1; n <= 16; ++n)
        if (DancerName(n) == name) return n;
    return 0;
}

TWhiteBoard::TWhiteBoard(WhiteboardEditor &e, QWidget *parent) : QWidget(parent), editor(e) {
    setObjectName(QStringLiteral("Board"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    DText = new QPlainTextEdit(this);
    DText->setObjectName(kText);
    DText->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(255,255,200); "
                                        "border: 1px solid gray; border-top: %1px solid rgb(220,220,150); }")
                             .arg(kStrip));
    DText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DText->setToolTip(QStringLiteral("Drag the top edge to move the text"));
    DText->resize(600, 145);
    DText->hide();
    DText->installEventFilter(this);
}

QPoint TWhiteBoard::placeText() {
    const QPoint at = KeepInside(QPoint(editor.item.textLeft, editor.item.textTop), DText->size(), size());
    DText->move(at);
    return at;
}

QList<int> TWhiteBoard::gridRows() const {
    QList<int> out;
    for (int y = 94; y < height() - 52; y += 100) out << y;
    return out;
}

QList<int> TWhiteBoard::gridColumns() const {
    QList<int> out;
    for (int x = 94; x < width() - 60; x += 100) out << x;
    return out;
}

QPoint TWhiteBoard::topLeftOf(const QString &name) const {
    if (const int n = DancerNumberOf(name)) {
        const StepPos p = editor.board.value(n);
        return QPoint(p.x, p.y);
    }
    if (name == kCircle) return editor.item.centre;
    if (name == kImg) return QPoint(editor.item.imageLeft, editor.item.imageTop);
    if (name == kText) return QPoint(editor.item.textLeft, editor.item.textTop);
    return QPoint();
}

QRect TWhiteBoard::itemRect(const QString &name) const {
    if (const int n = DancerNumberOf(name)) {
        if (!editor.board.contains(n)) return QRect();
        const StepPos p = editor.board.value(n);
        return QRect(QPoint(p.x, p.y), DancerImage(n, p.dir).size());
    }
    if (name == kCircle)
        return circleShown && editor.current > 0 ? QRect(topLeftOf(name), QSize(kCircleSize, kCircleSize))
                                                 : QRect();
    if (name == kImg) return imageShown ? QRect(topLeftOf(name), image.size()) : QRect();
    if (name == kText) return DText->isVisible() ? DText->geometry() : QRect();
    return QRect();
}

QString TWhiteBoard::itemAt(QPoint p) const {
    if (itemRect(kCircle).contains(p)) return kCircle;
    for (int n = 16; n >= 1; --n)
        if (itemRect(DancerName(n)).contains(p)) return DancerName(n);
    if (itemRect(kImg).contains(p)) return kImg;
    return QString();
}

QString TWhiteBoard::hintOf(const QString &name) const {
    QPoint p = topLeftOf(name);
    if (name == kCircle) p -= QPoint(36, 35);
    return QString::number(p.x()) + ',' + QString::number(p.y());
}

void TWhiteBoard::paintBoard(QPainter &p, const QRect &area) const {
    p.fillRect(area, Qt::white);
    if (showGrid) {
        p.setPen(QColor(0xC0, 0xC0, 0xC0));
        const QList<int> rows = gridRows(), cols = gridColumns();
        const int right = 10 + width() - 10;
        for (int y : rows) p.drawLine(10, y, right - 1, y);
        if (!rows.isEmpty())
            for (int x : cols) p.drawLine(x, 94, x, rows.last());
    }
    if (imageShown) p.drawImage(topLeftOf(kImg), image);
    for (auto it = editor.board.cbegin(); it != editor.board.cend(); ++it)
        p.drawImage(QPoint(it->x, it->y), DancerImage(it.key(), it->dir));
    if (circleShown && editor.current > 0) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.setBrush(Qt::NoBrush);
        const QPoint c = topLeftOf(kCircle);
        p.drawEllipse(QRect(c, QSize(kCircleSize, kCircleSize)).adjusted(1, 1, -1, -1));
        p.drawPoint(c + QPoint(9, 9));
        p.setRenderHint(QPainter::Antialiasing, false);
    }
}

void TWhiteBoard::paintEvent(QPaintEvent *e) {
    QPainter p(this);
    paintBoard(p, e->rect());
}

void TWhiteBoard::moveTo(const QString &name, QPoint to) {
    if (const int n = DancerNumberOf(name)) {
        editor.moveDancer(n, to);
    } else if (name == kCircle) {
        editor.item.centre = to; // moving the marker alone marks nothing
    } else if (name == kImg) {
        editor.item.imageLeft = to.x();
        editor.item.imageTop = to.y();
        editor.showChanged(true);
    } else if (name == kText) {
        editor.item.textLeft = to.x();
        editor.item.textTop = to.y();
        DText->move(to);
        editor.showChanged(true);
    }
    update();
    if (onEdited) onEdited();
}

void TWhiteBoard::beginDrag(const QString &name, QPoint global) {
    dragName = name;
    downTopLeft = topLeftOf(name);
    downMouse = global;
}

void TWhiteBoard::dragTo(QPoint global) {
    if (dragName.isEmpty()) return;
    const QString name = dragName;
    const QPoint to = downTopLeft + (global - downMouse);
    if (to == topLeftOf(name)) return;
    moveTo(name, to);
    QToolTip::showText(global, hintOf(name), this);
    if (to.y() >= 10 || name == kCircle) return;
    // Above the top edge: a dancer may leave the item; anything else goes back.
    dragName.clear();
    const int n = DancerNumberOf(name);
    if (n && onRemoveAsked && onRemoveAsked(n)) {
        editor.removeDancer(n);
    } else if (n) {
        const StepPos was = editor.board.value(n);
        editor.board[n] = StepPos{was.x, downTopLeft.y(), was.dir};
    } else {
        moveTo(name, downTopLeft);
    }
    update();
    if (onEdited) onEdited();
}

void TWhiteBoard::endDrag() {
    if (dragName.isEmpty()) return;
    const QString name = dragName;
    dragName.clear();
    const QPoint at = topLeftOf(name);
    if (at == downTopLeft) {
        if (const int n = DancerNumberOf(name); n && onTurn) onTurn(n, -1);
        return;
    }
    const QPoint snapped =
        name == kCircle ? SnapCentre(at) : QPoint(SnapCoordinate(at.x()), SnapCoordinate(at.y()));
    if (snapped != at) {
        moveTo(name, snapped);
        PlayWaveResource(QStringLiteral("ClickQuiet"));
    }
}

void TWhiteBoard::mousePressEvent(QMouseEvent *e) {
    const QString name = itemAt(e->position().toPoint());
    if (e->button() == Qt::RightButton) {
        if (const int n = DancerNumberOf(name); n && onTurn)
            onTurn(n, +1);
        else if (name.isEmpty() && onEmptyRightClick)
            onEmptyRightClick(e->globalPosition().toPoint());
        return;
    }
    if (e->button() == Qt::LeftButton && !name.isEmpty()) beginDrag(name, e->globalPosition().toPoint());
}

void TWhiteBoard::mouseMoveEvent(QMouseEvent *e) { dragTo(e->globalPosition().toPoint()); }

void TWhiteBoard::mouseReleaseEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton) endDrag();
}

bool TWhiteBoard::event(QEvent *e) {
    if (e->type() == QEvent::ToolTip) {
        auto *h = static_cast<QHelpEvent *>(e);
        const QString name = itemAt(h->pos());
        if (name.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(h->globalPos(), hintOf(name), this);
        return true;
    }
    return QWidget::event(e);
}

bool TWhiteBoard::eventFilter(QObject *watched, QEvent *e) {
    if (watched != DText) return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        auto *m = static_cast<QMouseEvent *>(e);
        if (m->button() == Qt::LeftButton && m->position().y() < kStrip) {
            beginDrag(kText, m->globalPosition().toPoint());
            return true;
        }
        return false;
    }
    case QEvent::MouseMove:
        if (dragName != kText) return false;
        dragTo(static_cast<QMouseEvent *>(e)->globalPosition().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        if (dragName != kText) return false;
        endDrag();
        return true;
    default:
        return false;
    }
}
