#include "base/Clock.h"

namespace {
std::function<QDateTime()> &clockFn() {
    static std::function<QDateTime()> fn;
    return fn;
}
} // namespace

QDateTime Now() { return clockFn() ? clockFn()() : QDateTime::currentDateTime(); }
QDate Today() { return Now().date(); }
void SetClock(std::function<QDateTime()> clock) { clockFn() = std::move(clock); }
