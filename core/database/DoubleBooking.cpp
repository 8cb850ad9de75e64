#include "core/database/DoubleBooking.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/FastStrings.h"

#include <cmath>

const QList<FestivalSpan> &ShortFestivals() {
    static const QList<FestivalSpan> spans;
    return spans;
}

int EventSpan(const BookedEvent &event, bool *oddWeekend) {
    if (oddWeekend) *oddWeekend = false;
    const auto has = [&](const char *word) { return PosNoCase(QString::fromLatin1(word), event.Event) > 0; };
    if (has("Weekend")) {
        switch (DayNumberToDate(event.EDate).dayOfWeek()) {
        case Qt::Saturday: return 2;
        case Qt::Friday: return 3;
        default:
            if (oddWeekend) *oddWeekend = true;
            return 1;
        }
    }
    if (has("Week") || has("Camp")) return 7;
    if (has("Festival")) {
        for (const FestivalSpan &f : ShortFestivals())
            if (SameText(f.org, event.Org)) return f.days;
        return 7;
    }
    return 1;
}

QList<BookingNotice> CheckDoubleBookings(const QList<BookedEvent> &events) {
    QList<BookingNotice> notices;
    double lastEnd = 0;
    QString prevOrg, prevTown;
    for (const BookedEvent &e : events) {
        if (e.Programme.mid(1, 8) == QLatin1String("N|Leader") ||
            e.Programme.contains(QLatin1String("Not double booking")))
            continue;
        const double day = std::floor(e.EDate);
        if (day <= 0 || day >= NoDate) continue;
        if (lastEnd > 0 && day <= lastEnd && !SameText(e.Org, prevOrg) && !SameText(e.Town, prevTown))
            notices.append({BookingNotice::DoubleBooking,
                            QStringLiteral("* * *  W A R N I N G  * * *\r\rThere are events for two "
                                           "Organisations on ") +
                                FormatEventDate(day) + QStringLiteral(":\r") + prevOrg + QStringLiteral("\rand\r") +
                                e.Org});
        prevOrg = e.Org;
        prevTown = e.Town;
        bool oddWeekend = false;
        const int span = EventSpan(e, &oddWeekend);
        if (oddWeekend)
            notices.append({BookingNotice::WeekendStart, QStringLiteral("Weekend Event starts ") +
                                                             FormatEventDate(day) +
                                                             QStringLiteral(" which is not a Friday or Saturday.")});
        lastEnd = day + span - 1;
    }
    return notices;
}
