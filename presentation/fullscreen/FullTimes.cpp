#include "presentation/fullscreen/FullTimes.h"

#include "base/Dates.h"
#include "programme/text/HeadingRoles.h"

#include <cstdlib>

namespace {

bool IsSession(const ProgrammeItem &item) {
    return item.isHeading() && IsSessionHeading(item.text);
}

// Hours after 12 o'clock (13:00 on) written on a 12-hour clock.
int TwelveHour(int minutes) { return minutes >= 13 * 60 ? minutes - 720 : minutes; }

} // namespace

int NearestSessionHeading(const QList<ProgrammeItem> &rows, int current) {
    for (int i = qMin(current, int(rows.size()) - 1); i >= 0; --i)
        if (IsSession(rows[i])) return i;
    return -1;
}

SessionTimes SessionTimesFor(const QString &eTime, const QList<ProgrammeItem> &rows, int current) {
    const FoundTime event = FindTimeRange(eTime);
    SessionTimes times{event.start, event.end};
    const int heading = NearestSessionHeading(rows, current);
    if (heading >= 0) {
        const FoundTime session = FindTimeRange(rows[heading].text);
        if (session.start > 0) times.start = session.start;
        if (session.end > 0) times.end = session.end;
    }
    return times;
}

int MinuteOfDay(const QDateTime &when) {
    const QTime t = when.time();
    return t.hour() * 60 + t.minute();
}

TimePanel TimePanelFor(double eDate, const SessionTimes &times, int now, const QDate &today) {
    TimePanel panel{QString(), now};
    const double daysBefore = DateToDayNumber(today) - double(qint64(eDate));
    if (daysBefore < 0 || daysBefore > 7 || times.start <= 0) return panel;
    // Times written on a 12-hour clock ("7.30" for an evening) lie far from now.
    if (std::abs(now - times.start) > 360) now -= 720;
    panel.now = now;
    const int toStart = times.start - now;
    if (toStart >= 1 && toStart <= 90) {
        panel.text = QStringLiteral(" Starts in %1 min").arg(toStart);
    } else if (times.end > 0 && now > times.end) {
        if (now - times.end <= 15) panel.text = QStringLiteral(" Ended %1 min ago").arg(now - times.end);
    } else if (now >= times.start) {
        panel.text = times.end > 0 ? QStringLiteral(" Ends in %1 min").arg(times.end - now)
                                   : QStringLiteral(" No End time");
    }
    return panel;
}

QString HeaderLine(const QString &item, const SessionTimes &times, int now) {
    return QStringLiteral(" [") + item + QStringLiteral("] ") + FormatHourMin(times.start) +
           QLatin1Char('-') + FormatHourMin(times.end) + QStringLiteral(" Now ") + FormatHourMin(now);
}

QString HeaderTimes(const SessionTimes &times) {
    QString text = FormatHourMin(TwelveHour(times.start));
    if (times.end > 0) text += QLatin1Char('-') + FormatHourMin(TwelveHour(times.end));
    return text;
}

QString HeaderBand(const QString &band) {
    if (band.isEmpty() || band == QLatin1String("Recorded")) return QString();
    return band.size() < 15 ? QStringLiteral("Band: ") + band : band;
}

QString HeaderPause(const QList<ProgrammeItem> &rows, int current) {
    for (int i = qMax(current, 0); i < rows.size(); ++i) {
        const ProgrammeItem &row = rows[i];
        if (i > current && IsSession(row)) break;
        if (row.isDance()) continue;
        if (row.text.startsWith(QLatin1String("Interval"), Qt::CaseInsensitive) ||
            row.text.startsWith(QLatin1String("Break"), Qt::CaseInsensitive))
            return row.text;
    }
    return QString();
}

QString HeaderCalled(const QString &called, const QString &keySig) {
    QString text = called.isEmpty() ? QStringLiteral("Never called.") : QStringLiteral("Called: ") + called;
    if (!keySig.isEmpty()) text += QStringLiteral("    Key: ") + keySig;
    return text;
}
