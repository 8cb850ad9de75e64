#pragma once
// The whiteboard's board: a widget of its own that draws the white ground,
// the grid, the background picture, the dancers of the open item and the
// centre marker, and does their hit-tests, dragging, snapping and hints.
// Dancers are addressed by their names ("Man1".."Wo8"), the marker as
// "Circle", the picture as "Img"; the text box "DText" is a child widget
// dragged by its top strip. Positions are the editor's, in board pixels.

#include "presentation/whiteboard/WhiteboardEdit.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QPlainTextEdit;

class TWhiteBoard : public QWidget {
public:
    TWhiteBoard(WhiteboardEditor &editor, QWidget *parent = nullptr);

    bool showGrid = false;
    bool circleShown = false;
    bool imageShown = false;
    QImage image;
    QPlainTextEdit *DText;

    // The window's reactions: a click on a dancer (turn -1) or a right-click
    // (+1); an edit on the board; a dancer dragged above y 10 (true: remove
    // it); a right-click on an empty place.
    std::function<void(int number, int turn)> onTurn;
    std::function<void()> onEdited;
    std::function<bool(int number)> onRemoveAsked;
    std::function<void(QPoint global)> onEmptyRightClick;

    // The rectangle an item occupies on the board (empty when not shown).
    QRect itemRect(const QString &name) const;
    // The item drawn topmost at a point ("" when none).
    QString itemAt(QPoint p) const;
    // The hint of an item: its coordinates (the marker's less 36 and 35).
    QString hintOf(const QString &name) const;
    // The horizontal and vertical grid line places for the board's size.
    QList<int> gridRows() const;
    QList<int> gridColumns() const;

    // Shows the text box at the item's place, moved in as far as it takes to
    // keep it whole on the board; returns where it stands.
    QPoint placeText();

    // Board drawing into any painter (the widget's own, or a bench image).
    void paintBoard(QPainter &p, const QRect &area) const;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;
    bool event(QEvent *) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QPoint topLeftOf(const QString &name) const;
    void moveTo(const QString &name, QPoint topLeft);
    void beginDrag(const QString &name, QPoint global);
    void dragTo(QPoint global);
    void endDrag();

    WhiteboardEditor &editor;
    QString dragName;
    QPoint downTopLeft;
    QPoint downMouse;
};

// Dancer number of a board name ("Man1" 1 .. "Wo8" 16), 0 for others.
int DancerNumberOf(const QString &name);
