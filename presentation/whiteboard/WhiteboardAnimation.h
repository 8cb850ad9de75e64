#pragma once
// The frames a step of an item is played in: each dancer travels from its
// place at one step to its place at the next in the same number of frames,
// straight or on a quarter circle, turning an eighth every fourth frame.

#include "presentation/whiteboard/WhiteboardItem.h"

#include <QMap>

// One dancer's movement over a step.
struct StepMotion {
    int dx = 0;     // 10 x the pixels moved across
    int dy = 0;     // 10 x the pixels moved down
    int length = 0; // the path, at least 500 when the dancer moves or turns
    int turn = 0;   // +1 clockwise, -1 anticlockwise (a half turn too), 0
    int heading = 0; // direction of travel, 0 to 7
    bool arc = false; // as far across as down, turning: a quarter circle
};
StepMotion MotionOf(const StepPos &from, const StepPos &to);

struct StepFrames {
    int n = 0; // frames per mover, the step's end included
    // Per dancer who moves or turns, the frames to show (the exact end is
    // drawn by going to the next step).
    QMap<int, QList<StepPos>> queues;
};
// The frames from step to step + 1 for every dancer of the item.
StepFrames ComputeFrames(const WhiteboardItem &item, int step);
// The Debug log of a step's frames.
QString FramesDebugText(int step, const StepFrames &frames);
