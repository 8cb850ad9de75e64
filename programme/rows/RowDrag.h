#pragma once
// Moving a programme row with the mouse: the row follows the pointer, its
// neighbour gives way, and the two change places once the row passes it.
// Plain arithmetic over the rows' tops and heights; the main window moves the
// row controls and the row list as told.

#include <QList>

struct DragRow {
    int top = 0;
    int height = 0;
};

// Two presses on a row closer than this (in days) show the dance.
constexpr double DoublePressDays = 0.000004;
// pressDays and lastPressDays are date-times in days; lastPressDays 0: none.
bool IsDoublePress(double lastPressDays, double pressDays);

class RowDrag {
public:
    bool dragging = false;
    int DragStartTop = -1;   // where the row rests (its slot); -1 none
    int NeighbourTop = -1;   // where the displaced neighbour rests; -1 none
    int neighbour = -1;      // the displaced neighbour's index; -1 none
    int rowsBuild = 0;       // which build of the rows the drag began on

    // A press on the row whose top is rowTop, the pointer at y (any fixed
    // frame, e.g. the screen).
    void Start(int rowTop, int pointerY);
    // The pointer moved to y while row `index` is dragged: rows' tops change,
    // and the row and its neighbour change places in rows when the row
    // passed it. Returns the row's index afterwards.
    int Move(QList<DragRow> &rows, int index, int pointerY);
    // The release: the row back to its slot, a displaced neighbour to its
    // own. True when a neighbour was displaced (the order may have changed).
    bool Release(QList<DragRow> &rows, int index);

private:
    void PutNeighbourBack(QList<DragRow> &rows) const;
    int pressTop = 0;
    int startY = 0;
    bool displaced = false;
};
