#include "core/services/WheelSteps.h"

int WheelSteps::add(int angleDelta) {
    rest += angleDelta;
    const int steps = rest / 120; // truncates toward zero, for both directions
    rest -= steps * 120;
    return steps;
}

bool WheelPace::accept() {
    // 1e-8 days.
    constexpr qint64 gapNs = 864000;
    if (last.isValid() && last.nsecsElapsed() < gapNs) return false;
    last.start();
    return true;
}
