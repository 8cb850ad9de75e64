#include "presentation/whiteboard/WhiteboardEdit.h"

#include <algorithm>

int SnapCoordinate(int v) {
    int r = v % 50;
    if (r > 30) r -= 50;
    if (r != 0 && std::abs(r) < 12) v -= r;
    return v;
}

QPoint SnapCentre(QPoint p) {
    return QPoint(SnapCoordinate(p.x() - 36) + 36, SnapCoordinate(p.y() - 35) + 35);
}

QPoint KeepInside(QPoint topLeft, QSize box, QSize area) {
    const int x = std::max(0, std::min(topLeft.x(), area.width() - box.width()));
    const int y = std::max(0, std::min(topLeft.y(), area.height() - box.height()));
    return QPoint(x, y);
}

void WhiteboardEditor::open(const WhiteboardItem &opened) {
    item = opened;
    current = item.dancers.isEmpty() ? 0 : 1;
    stepChanged = itemChanged = false;
    place(current);
}

int WhiteboardEditor::stepCount() const { return std::max(item.storedSteps(), current); }

void WhiteboardEditor::place(int step) {
    board.clear();
    if (step < 1) return;
    for (const auto &d : item.dancers)
        board.insert(d.number, d.steps[std::min<qsizetype>(step, d.steps.size()) - 1]);
}

void WhiteboardEditor::showChanged(bool stepEdit) {
    if (loading) return;
    itemChanged = true;
    if (!stepEdit) return;
    if (!stepChanged && current == stepCount()) current = stepCount() + 1;
    stepChanged = true;
}

void WhiteboardEditor::moveDancer(int number, QPoint to) {
    if (!board.contains(number)) return;
    board[number].x = to.x();
    board[number].y = to.y();
    showChanged(true);
}

void WhiteboardEditor::turnDancer(int number, int turn) {
    if (!board.contains(number)) return;
    board[number].dir = TurnFacing(board[number].dir, turn);
    if (turn != 0) showChanged(true);
}

void WhiteboardEditor::removeDancer(int number) {
    item.dancers.removeIf([number](const WhiteboardItem::Dancer &d) { return d.number == number; });
    itemChanged = true;
    stepChanged = false;
    current = item.dancers.isEmpty() ? 0 : 1;
    place(current);
}

void WhiteboardEditor::saveStep() {
    if (current < 1) return;
    for (auto &d : item.dancers) {
        const StepPos p = board.value(d.number);
        if (current <= d.steps.size())
            d.steps[current - 1] = p;
        else
            d.steps.append(p);
    }
    current = std::min(current, item.storedSteps());
    stepChanged = false;
}

void WhiteboardEditor::addStep() {
    if (current < 1) return;
    saveStep();
    itemChanged = true;
    for (auto &d : item.dancers) d.steps.insert(current, d.steps[current - 1]);
    ++current;
    place(current);
}

bool WhiteboardEditor::deleteSteps(int from, int to) {
    if (stepChanged) saveStep();
    const int count = item.storedSteps();
    if (from < 1 || from > count || to < from || to > count || to - from + 1 >= count)
        return false;
    for (auto &d : item.dancers) d.steps.remove(from - 1, to - from + 1);
    current = std::min(from, item.storedSteps());
    itemChanged = true;
    place(current);
    return true;
}

bool WhiteboardEditor::deleteCurrent() {
    if (stepChanged) saveStep();
    return deleteSteps(current, current);
}

void WhiteboardEditor::cancelStep() {
    stepChanged = false;
    if (current > item.storedSteps()) current = item.storedSteps();
    place(current);
}

bool WhiteboardEditor::go(int target) {
    if (stepChanged) saveStep();
    if (target < 1 || target > item.storedSteps()) return false;
    current = target;
    place(current);
    return true;
}

int WhiteboardEditor::addFigure(const WhiteboardItem &figure) {
    if (stepChanged) saveStep();
    const int k = AddFigure(item, current, figure);
    if (k > 0) {
        itemChanged = true;
        place(current);
    }
    return k;
}
