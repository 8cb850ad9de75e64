#include "base/Dates.h"

#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>

bool NumericMonth = false;
QString ShortDateFormat;
int StartTime = 0;
int EndTime = 0;
QChar TimeSep = '.';
bool NoTimes = false;

namespace {

const QDate kDayZero(1899, 12, 30);
// Beyond this a day number has no calendar date worth showing.
constexpr double kDayLimit = 3.0e6;
const int kDateHelp = 30050;

DateBoxHook &dateBoxHook() {
    static DateBoxHook hook;
    return hook;
}

// Thrown inside ParseDate for any text it cannot read; never leaves it.
struct DateConversionError {};

// The character at a 0-based index, a blank beyond either end.
QChar at(const QString &s, int i) {
    return (i >= 0 && i < s.size()) ? s[i] : QChar(' ');
}

bool isDigit(QChar c) {
    return c >= '0' && c <= '9';
}

// Letters are any characters from "A" to "z" in code order.
bool hasLetters(const QString &s) {
    for (QChar c : s)
        if (c >= 'A' && c <= 'z') return true;
    return false;
}

// A whole number of at most `maxDigits` digits, blanks around it allowed.
int number(const QString &text, int maxDigits, int *digits = nullptr) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > maxDigits) throw DateConversionError();
    int n = 0;
    for (QChar c : t) {
        if (!isDigit(c)) throw DateConversionError();
        n = n * 10 + (c.unicode() - '0');
    }
    if (digits) *digits = int(t.size());
    return n;
}

// Years typed short: below 1900 they are in this century, and then anything
// past 2050 is taken as the century before (26 is 2026, 51 is 1951).
int centuryYear(int year) {
    if (year < 1900) year += 2000;
    if (year > 2050) year -= 100;
    return year;
}

double dayNumberOf(int year, int month, int day) {
    const QDate d(year, month, day);
    if (!d.isValid() || year < 1 || year > 9999) throw DateConversionError();
    return DateToDayNumber(d);
}

// The order of day, month and year in the short format, as "dMy", "Mdy" or "yMd".
QString fieldOrder() {
    const QString fmt = CurrentShortDateFormat();
    QString order;
    for (QChar c : fmt) {
        const QChar f = c == 'M' ? QChar('M') : c.toLower();
        if ((f == 'd' || f == 'M' || f == 'y') && !order.contains(f)) order += f;
    }
    for (QChar f : {QChar('d'), QChar('M'), QChar('y')})
        if (!order.contains(f)) order += f;
    return order;
}

// The short format's separator: its first character that is no field letter.
QChar dateSeparator() {
    for (QChar c : CurrentShortDateFormat())
        if (!c.isLetter() && c != ' ' && c != '\'') return c;
    return '/';
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QChar('0'));
}

// A date with a month name: "[weekday ]D-MMM-YY", "-" or "." between.
double parseWithMonthName(const QString &text) {
    QString s = text;
    const int blank = int(s.indexOf(' '));
    if (blank >= 0) s = s.mid(blank + 1);
    int sep = int(s.indexOf('-'));
    if (sep < 0) sep = int(s.indexOf('.'));
    if (sep < 0) throw DateConversionError();
    const QString rest = s.mid(sep + 1);
    int month = 1;
    for (const QString &name : ShortMonthNames()) {
        if (SameText(rest.left(name.size()), name)) break;
        ++month;
    }
    if (month > 12)
        AbortMsg(QString::number(month) +
                 QStringLiteral(" is too high for a month number!\rCheck your date settings."));
    const int day = number(s.left(sep), 9);
    const int year = centuryYear(number(s.mid(sep + 5), 9));
    return dayNumberOf(year, month, day);
}

// A date of numbers in the short format's field order; "/", "-", "." and the
// format's own separator all divide the fields. Without a year it is this year.
double parseNumeric(const QString &text) {
    const QChar own = dateSeparator();
    QStringList parts{QString()};
    for (QChar c : text) {
        if (c == '/' || c == '-' || c == '.' || c == own)
            parts.append(QString());
        else
            parts.last() += c;
    }
    if (parts.size() < 2 || parts.size() > 3) throw DateConversionError();
    QString order = fieldOrder();
    if (parts.size() == 2) order.remove('y');
    int day = 0, month = 0, year = Today().year();
    for (int i = 0; i < parts.size(); ++i) {
        if (order[i] == 'd') {
            day = number(parts[i], 2);
        } else if (order[i] == 'M') {
            month = number(parts[i], 2);
        } else {
            int digits = 0;
            year = number(parts[i], 4, &digits);
            if (digits <= 2) year = centuryYear(year);
        }
    }
    return dayNumberOf(year, month, day);
}

void reportConversionError(const QString &text) {
    if (DateBox() == text) EmptyDateBox();
    QString names;
    for (const QString &name : ShortMonthNames())
        names += name + ' ';
    WriteLog(QStringLiteral("Date conversion error.  Short Month Names are: ") + names);

    const QString fmt = CurrentShortDateFormat();
    const QDate today = Today();
    const QString dayMonth =
        QString::number(today.day()) + dateSeparator() + QString::number(today.month());
    const QString shortForm = today.toString(fmt);
    const QString dd = twoDigits(today.day());
    const QString mmm = ShortMonthNames()[today.month() - 1];
    const QString yy = twoDigits(today.year() % 100);
    const QString gap(6, ' ');
    QString examples = dayMonth + gap + shortForm + gap + ShortDayNames()[today.dayOfWeek() % 7] +
                       ' ' + dd + '-' + mmm + '-' + yy + gap + shortForm;
    if (!fmt.contains('-')) examples += gap + dd + '-' + mmm + '-' + yy;
    OKHelpCancel(QStringLiteral("Invalid date ") + text +
                     QStringLiteral("\rYour short date format is ") + fmt +
                     QStringLiteral("\rValid formats (using today's date for example) are:\r") +
                     examples,
                 kDateHelp);
}

double parseDate(const QString &text, bool fromDateBox) {
    if (text.isEmpty()) return 0;
    if (SameText(text.left(4), QStringLiteral("None"))) return NoDate;
    if (text.startsWith(QStringLiteral("Today"))) {
        // The box's own "Today" must not send us round again: it means today.
        if (fromDateBox) return DateToDayNumber(Today());
        return parseDate(DateBox(), true);
    }
    try {
        return hasLetters(text) ? parseWithMonthName(text) : parseNumeric(text);
    } catch (const DateConversionError &) {
    } catch (const SilentAbort &) {
        // The month message was shown; the text is reported like any other.
    }
    reportConversionError(text);
    return 0;
}

// The time of day starting at a 0-based index, in minutes, or -1 for none;
// *end is set to the index after it, *sep to a "." or ":" met on the way
// (also when the time then fails). In range mode (the second time of
// "7-10") a bare hour is enough.
int parseTime(const QString &s, int start, bool rangeMode, int *end, QChar *sep) {
    int i = start;
    if (!isDigit(at(s, i))) return -1;
    int hour = at(s, i).unicode() - '0';
    ++i;
    if (isDigit(at(s, i))) {
        hour = hour * 10 + (at(s, i).unicode() - '0');
        ++i;
    } else if (at(s, i) == ' ') {
        ++i;
    }
    if (isDigit(at(s, i))) return -1;
    int minutes = 0;
    if (at(s, i) == '.' || at(s, i) == ':') {
        *sep = at(s, i);
        ++i;
        if (isDigit(at(s, i))) {
            minutes = at(s, i).unicode() - '0';
            ++i;
            if (isDigit(at(s, i))) {
                minutes = minutes * 10 + (at(s, i).unicode() - '0');
                ++i;
            }
        } else if (!rangeMode) {
            return -1;
        }
    } else {
        if (at(s, i) == ' ') ++i;
        if (at(s, i) != '-') {
            const QString suffix = s.mid(i, 2);
            if (suffix != QStringLiteral("am") && suffix != QStringLiteral("pm") && !rangeMode)
                return -1;
        }
    }
    if (hour >= 25) return -1;
    *end = i;
    return hour * 60 + minutes;
}

} // namespace

void ResetDateState() {
    NumericMonth = false;
    ShortDateFormat.clear();
    StartTime = 0;
    EndTime = 0;
    TimeSep = '.';
    NoTimes = false;
    SetDateBoxHook({});
}

QString CurrentShortDateFormat() {
    if (ShortDateFormat.isEmpty())
        ShortDateFormat = QLocale::system().dateFormat(QLocale::ShortFormat);
    return ShortDateFormat;
}

double DateToDayNumber(const QDate &date) {
    return double(kDayZero.daysTo(date));
}

QDate DayNumberToDate(double dayNumber) {
    if (!std::isfinite(dayNumber) || std::fabs(dayNumber) > kDayLimit) return {};
    return kDayZero.addDays(qint64(std::trunc(dayNumber)));
}

const QStringList &ShortMonthNames() {
    static const QStringList names{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return names;
}

const QStringList &ShortDayNames() {
    static const QStringList names{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return names;
}

void SetDateBoxHook(DateBoxHook hook) {
    dateBoxHook() = std::move(hook);
}

QString DateBox() {
    return dateBoxHook().read ? dateBoxHook().read() : QString();
}

void EmptyDateBox() {
    if (dateBoxHook().empty) dateBoxHook().empty();
}

QString FormatEventDate(double date) {
    const double whole = std::trunc(date);
    if (whole == NoDate) return QStringLiteral("None");
    if (whole == ZeroDate) return QString();
    const QDate d = DayNumberToDate(whole);
    if (!d.isValid()) return QString();
    QString text = QString::number(d.day()) + '-' + ShortMonthNames()[d.month() - 1] + '-' +
                   twoDigits(std::abs(d.year()) % 100);
    if (!NumericMonth) text = ShortDayNames()[d.dayOfWeek() % 7] + ' ' + text;
    return text;
}

QString FormatDdMmmYy(const QDate &d) {
    if (!d.isValid()) return QString();
    return twoDigits(d.day()) + '-' + ShortMonthNames()[d.month() - 1] + '-' + twoDigits(std::abs(d.year()) % 100);
}

double ParseDate(const QString &text) {
    return parseDate(text, false);
}

// What follows a time that ends at `end`: an "am" or "pm" and a blank are
// stepped over; then a "-" (and a blank) and a second time read in range mode.
// Gives 0 when no "-" follows, -1 when the second time is missing, else the
// end in minutes (12 hours added when it is before the start).
static int rangeEndAfter(const QString &s, int end, int start, QChar *sep) {
    int q = end;
    const QString suffix = s.mid(q, 2);
    if (suffix == QStringLiteral("am") || suffix == QStringLiteral("pm")) q += 2;
    if (at(s, q) == ' ') ++q;
    if (at(s, q) != '-') return 0;
    ++q;
    if (at(s, q) == ' ') ++q;
    int rangeEnd = 0;
    int finish = parseTime(s, q, true, &rangeEnd, sep);
    if (finish < 1) return -1;
    if (finish < start) finish += 720;
    return finish;
}

QString FindTime(const QString &text, bool removeTimes) {
    // The blanks let every look-ahead read past the end safely.
    QString s = text + QString(6, ' ');
    int body = int(text.size()); // the part of s that is the caller's text
    // A time starting in the last two characters of the text is not tried.
    for (int i = 0; i < s.size() - 8; ++i) {
        // A time never starts inside a number ("25.00" holds no "5.00").
        if (i > 0 && isDigit(s[i - 1])) continue;
        int end = 0;
        const int start = parseTime(s, i, false, &end, &TimeSep);
        if (start < 1) continue;
        if (removeTimes) {
            // Cut up to and including the next blank, and a following "- ".
            const int blank = int(s.indexOf(' ', i));
            int len = (blank < 0 ? int(s.size()) : blank + 1) - i;
            if (at(s, i + len) == '-') len += 2;
            len = std::min(len, int(s.size()) - i);
            body -= std::max(0, std::min(body, i + len) - i);
            s.remove(i, len);
            --i; // look again at what moved into this place
            continue;
        }
        const int finish = rangeEndAfter(s, end, start, &TimeSep);
        if (finish > 0) {
            StartTime = start;
            EndTime = finish;
        } else if (finish == 0) {
            StartTime = start;
        }
        break;
    }
    return s.left(body);
}

FoundTime FindTimeRange(const QString &text) {
    const QString s = text + QString(6, ' ');
    for (int i = 0; i < s.size() - 8; ++i) {
        if (i > 0 && isDigit(s[i - 1])) continue;
        int end = 0;
        QChar sep;
        const int start = parseTime(s, i, false, &end, &sep);
        if (start < 1) continue;
        QChar endSep;
        const int finish = rangeEndAfter(s, end, start, &endSep);
        if (finish < 0) return {};
        FoundTime found;
        found.start = start;
        found.end = finish;
        found.separator = finish > 0 && !endSep.isNull() ? endSep : sep;
        return found;
    }
    return {};
}

QString FormatHourMin(int minutes, QChar sep) {
    if (minutes == 0) return QString();
    const int m = std::abs(minutes);
    return (minutes < 0 ? QStringLiteral("-") : QString()) + QString::number(m / 60) + sep +
           twoDigits(m % 60);
}

QString FormatHourMin(int minutes) {
    if (NoTimes) return QString();
    return FormatHourMin(minutes, TimeSep);
}
