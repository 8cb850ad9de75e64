#pragma once
// The program's clock, replaceable so that tests pin "today" and "now".

#include <QDate>
#include <QDateTime>
#include <functional>

QDateTime Now();
QDate Today();
// Replaces the clock; an empty function restores the system clock.
void SetClock(std::function<QDateTime()> clock);
