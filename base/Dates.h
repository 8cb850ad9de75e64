#pragma once
// Dates and times of day as the user sees and types them. Dates are day
// numbers counted from 30 December 1899 (the whole part of a date-time
// value); times of day are whole minutes. "Today" and "now" come from
// base/Clock.h.

#include <QChar>
#include <QDate>
#include <QString>
#include <functional>

// An event without a date carries 1 January 4900, so that it sorts after
// every dated one; shown as "None".
inline constexpr double NoDate = 1095730;
// "No value"; shown as an empty text.
inline constexpr double ZeroDate = 0;

// Set when the system's short name of January is "1": the weekday is then
// left out of shown dates. Month names are fixed English here, so it stays
// false unless a caller sets it.
extern bool NumericMonth;
// The numeric short date format in Qt's notation ("dd/MM/yyyy"); its field
// order and separator govern numeric dates. Empty means "take the system's"
// (QLocale::system()), which happens on first use; tests set it.
extern QString ShortDateFormat;

// The last time and time range found by FindTime, in minutes.
extern int StartTime;
extern int EndTime;
// Separator of the last time parsed, "." or ":"; FormatHourMin writes it.
extern QChar TimeSep;
// While set (by the programme evaluation), FormatHourMin gives "".
extern bool NoTimes;

// Puts every date and time setting back to its start value (tests).
void ResetDateState();

// The short date format in use (ShortDateFormat, or the system's).
QString CurrentShortDateFormat();

// Day number <-> calendar date. A fraction (a time of day) is ignored.
double DateToDayNumber(const QDate &date);
QDate DayNumberToDate(double dayNumber);

// The twelve short month names and seven short day names ("Sun" first).
const QStringList &ShortMonthNames();
const QStringList &ShortDayNames();

// The Events page's date box: read it, and empty it. Without the main window
// (start-up before it, tests) the box reads as "" and emptying does nothing.
struct DateBoxHook {
    std::function<QString()> read;
    std::function<void()> empty;
};
// An empty hook goes back to the empty box.
void SetDateBoxHook(DateBoxHook hook);
QString DateBox();
void EmptyDateBox();

// "Sun 6-Dec-26" ("6-Dec-26" while NumericMonth is set), "None" for NoDate,
// "" for the zero date.
QString FormatEventDate(double date);

// "06-Dec-26"; "" for an invalid date.
QString FormatDdMmmYy(const QDate &date);

// A typed date: a day number, NoDate for a text beginning with "None", the
// date box's date for "Today". A text that cannot be read is reported (log
// and an OK/Help/Cancel box) and gives 0; it never throws.
double ParseDate(const QString &text);

// Finds the first time of day (and an optional range such as "7.30-10.30pm")
// in the text and sets StartTime (and EndTime for a range). With removeTimes,
// every time found is cut out instead and the shortened text returned;
// StartTime and EndTime are then left alone.
QString FindTime(const QString &text, bool removeTimes);

// What FindTime finds, leaving StartTime, EndTime and TimeSep alone: the
// first time (start), the end of a range following it (end, 0 when none;
// 720 added when it lies before the start) and the separator the time is
// written with (the end's when it has one; null when neither has one).
// Nothing found, or a "-" without a second time, gives start 0.
struct FoundTime {
    int start = 0;
    int end = 0;
    QChar separator;
};
FoundTime FindTimeRange(const QString &text);

// Hours, TimeSep and two-digit minutes ("7.30" for 450); "" for 0 and while
// NoTimes is set.
QString FormatHourMin(int minutes);
// The same with the separator given; "" for 0.
QString FormatHourMin(int minutes, QChar sep);
