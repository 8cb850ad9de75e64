#pragma once
// The times the full-screen display shows: the time panel's text (to the
// start or end of the session), the header line and the header panel's
// labels H1 to H4. Plain logic over the programme items; the window feeds it
// the clock's minute of the day.

#include "programme/text/ProgrammeItem.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// The session's start and end in minutes of the day; 0 when not known.
struct SessionTimes {
    int start = 0;
    int end = 0;
};

// The index of the nearest session heading at or above row `current`; -1
// when there is none.
int NearestSessionHeading(const QList<ProgrammeItem> &rows, int current);

// The times found in the event's ETime text, each overridden by the one found
// in the nearest session heading above the current row.
SessionTimes SessionTimesFor(const QString &eTime, const QList<ProgrammeItem> &rows, int current);

// The minute of the day of a clock reading (Now()).
int MinuteOfDay(const QDateTime &when);

// The time panel's text and the "now" it was worked out with (after the
// 12-hour correction).
struct TimePanel {
    QString text;
    int now = 0;
};

// eDate is the event's date as a day number; today the clock's date. Only an
// event dated 0 to 7 days before today with a known start gives a text.
TimePanel TimePanelFor(double eDate, const SessionTimes &times, int now, const QDate &today);

// The header line: " [" + item + "] " + start "-" + end + " Now " + now.
QString HeaderLine(const QString &item, const SessionTimes &times, int now);

// H1: the session times, hours above 12 less 12 ("7.30-10.30").
QString HeaderTimes(const SessionTimes &times);
// H2: "Band: " + a band shorter than 15 characters, a longer band alone,
// nothing for "Recorded" or no band.
QString HeaderBand(const QString &band);
// H3: the text of the first note or heading from the current row up to the
// next session heading that begins with "Interval" or "Break" in any case.
QString HeaderPause(const QList<ProgrammeItem> &rows, int current);
// H4 for a dance row: "Called: " + called or "Never called.", then
// "    Key: " + keySig when set.
QString HeaderCalled(const QString &called, const QString &keySig);
