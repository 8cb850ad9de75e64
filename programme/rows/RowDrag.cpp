#include "programme/rows/RowDrag.h"

#include <cstdlib>
#include <utility>

bool IsDoublePress(double lastPressDays, double pressDays) {
    if (lastPressDays <= 0) return false;
    const double since = pressDays - lastPressDays;
    return since >= 0 && since < DoublePressDays;
}

void RowDrag::Start(int rowTop, int pointerY) {
    dragging = true;
    DragStartTop = rowTop;
    NeighbourTop = -1;
    neighbour = -1;
    pressTop = rowTop;
    startY = pointerY;
    displaced = false;
}

void RowDrag::PutNeighbourBack(QList<DragRow> &rows) const {
    if (neighbour >= 0 && neighbour < rows.size()) rows[neighbour].top = NeighbourTop;
}

int RowDrag::Move(QList<DragRow> &rows, int index, int pointerY) {
    if (!dragging || index < 0 || index >= rows.size()) return index;
    const int wanted = pressTop + pointerY - startY;
    // A hand that shakes a little does not move the row.
    if (std::abs(wanted - DragStartTop) <= 2) return index;
    const bool down = wanted > DragStartTop;
    const int other = down ? index + 1 : index - 1;
    if (other < 0 || other >= rows.size()) {
        rows[index].top = DragStartTop;
        return index;
    }
    rows[index].top = wanted;
    if (neighbour != other) {
        PutNeighbourBack(rows);
        neighbour = other;
        NeighbourTop = rows[other].top;
        displaced = true;
    }
    // The neighbour goes the other way as far as the row has come.
    rows[other].top = NeighbourTop + DragStartTop - rows[index].top;
    const bool passed = down ? rows[index].top > rows[other].top : rows[index].top < rows[other].top;
    if (!passed) return index;
    const int rowHeight = rows[index].height;
    const int otherHeight = rows[other].height;
    rows.swapItemsAt(index, other);
    neighbour = index;
    if (down) {
        NeighbourTop = DragStartTop;
        DragStartTop += otherHeight;
    } else {
        DragStartTop = NeighbourTop;
        NeighbourTop += rowHeight;
    }
    return other;
}

bool RowDrag::Release(QList<DragRow> &rows, int index) {
    if (index >= 0 && index < rows.size() && DragStartTop >= 0) rows[index].top = DragStartTop;
    PutNeighbourBack(rows);
    const bool moved = displaced;
    dragging = false;
    DragStartTop = NeighbourTop = neighbour = -1;
    displaced = false;
    return moved;
}
