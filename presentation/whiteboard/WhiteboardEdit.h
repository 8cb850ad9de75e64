#pragma once
// Editing an item's positions and steps on the board, without the window:
// the board shows the item's dancers at the current step; edits mark the
// step and the item changed; step commands keep every dancer line the same
// length.

#include "presentation/whiteboard/WhiteboardItem.h"

#include <QMap>
#include <QPoint>
#include <QSize>

// Snaps a coordinate to the nearest multiple of 50 when it lies within 11
// pixels of it.
int SnapCoordinate(int v);
// The centre marker snaps with its coordinates less 36 and 35.
QPoint SnapCentre(QPoint p);
// A box's top-left moved the least that keeps the box inside the area (its
// top-left corner wins when the box is larger than the area).
QPoint KeepInside(QPoint topLeft, QSize box, QSize area);

class WhiteboardEditor {
public:
    WhiteboardItem item;
    int current = 0; // 0: no item open
    bool stepChanged = false;
    bool itemChanged = false;
    bool loading = false;
    QMap<int, StepPos> board; // where each dancer of the item stands now

    void open(const WhiteboardItem &opened);
    // The larger of the stored steps and the current step.
    int stepCount() const;
    QString stepText() const { return StepCountText(item, current); }

    // An edit on the board (unless loading): the item changes; with a step
    // edit at the last step a new step starts after it.
    void showChanged(bool stepEdit);
    void moveDancer(int number, QPoint to);
    void turnDancer(int number, int turn);
    // Takes a dancer off the board with all its steps; step 1 becomes current.
    void removeDancer(int number);

    // Stores the board as the current step (replacing it, or appending one
    // step after the last).
    void saveStep();
    void addStep();
    // Deletes steps from..to; false (nothing changed) when the range is
    // outside the item or would leave no step.
    bool deleteSteps(int from, int to);
    bool deleteCurrent();
    void cancelStep();
    // Goes to a step from 1 to the step count; false otherwise.
    bool go(int target);
    // Inserts a figure at the current step.
    int addFigure(const WhiteboardItem &figure);

private:
    void place(int step);
};
