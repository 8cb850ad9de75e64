#pragma once
// Mouse-wheel turns in whole steps: a step is 120 units of angle, and a
// touchpad's small deltas add up until they make one.

#include <QElapsedTimer>

class WheelSteps {
public:
    // Adds a turn; gives the whole steps it completes (positive = away from
    // the user), keeping the rest for the next turn.
    int add(int angleDelta);
    void reset() { rest = 0; }

private:
    int rest = 0;
};

// The programme's wheel acts at most once per 1e-8 days (0.864 ms).
class WheelPace {
public:
    // True when enough time passed since the last accepted turn; an accepted
    // turn starts the wait again.
    bool accept();

private:
    QElapsedTimer last;
};
