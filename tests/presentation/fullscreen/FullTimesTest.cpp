#include "presentation/fullscreen/FullTimes.h"

#include "base/Dates.h"

#include <gtest/gtest.h>

namespace {
int Minutes(const char *hhmm) { return MinuteOfDay(QDateTime(QDate(2026, 12, 7), QTime::fromString(hhmm, "hh:mm"))); }
} // namespace

// The time panel from the event's times, a session heading and the clock.
TEST(FullTimesTest, TimePanelTable) {
    ResetDateState();
    const QDate today(2026, 12, 7);
    struct Case { int daysAgo; const char *eTime, *heading, *now, *want; };
    const Case cases[] = {
        {0, "19:30-22:30", "", "18:00", " Starts in 90 min"},
        {0, "19:30-22:30", "", "17:59", ""},
        {0, "19:30-22:30", "", "22:45", " Ended 15 min ago"},
        {0, "19:30-22:30", "", "22:46", ""},
        {1, "19:30", "", "20:00", " No End time"},
        {0, "7.30-10.30", "", "18:00", " Starts in 90 min"},       // a 12-hour clock
        {0, "19:30-22:30", "Evening 20:00-23:00", "21:00", " Ends in 120 min"},
        {0, "19:30-22:30", "Break 20:00-23:00", "21:00", " Ends in 90 min"}, // not a session
        {7, "19:30-22:30", "", "20:00", " Ends in 150 min"},
        {8, "19:30-22:30", "", "20:00", ""}, {-1, "19:30-22:30", "", "20:00", ""},
    };
    for (const Case &c : cases) {
        QList<ProgrammeItem> rows;
        if (*c.heading) rows << ProgrammeItem::heading(c.heading);
        rows << ProgrammeItem::dance("Argeers", "Longways", "Jig");
        const SessionTimes times = SessionTimesFor(c.eTime, rows, int(rows.size()) - 1);
        const double eDate = DateToDayNumber(today.addDays(-c.daysAgo));
        EXPECT_EQ(TimePanelFor(eDate, times, Minutes(c.now), today).text, QString(c.want))
            << c.eTime << " " << c.heading << " at " << c.now;
    }
}

// The header panel's labels and the header line.
TEST(FullTimesTest, HeaderTable) {
    ResetDateState();
    TimeSep = QLatin1Char(':');
    const QList<ProgrammeItem> rows = {
        ProgrammeItem::heading("Evening"), ProgrammeItem::dance("A", "Square", "Reel"),
        ProgrammeItem::note("interval and tea"), ProgrammeItem::heading("Afternoon"),
        ProgrammeItem::note("Break for tea")};
    const std::pair<QString, QString> cases[] = {
        {HeaderTimes({19 * 60 + 30, 22 * 60 + 30}), "7:30-10:30"}, {HeaderTimes({750, 0}), "12:30"},
        {HeaderLine("Argeers", {1170, 1350}, 1080), " [Argeers] 19:30-22:30 Now 18:00"},
        {HeaderBand("The Pipers"), "Band: The Pipers"}, {HeaderBand("Recorded"), ""},
        {HeaderBand("The Ranting Fiddlers"), "The Ranting Fiddlers"},
        {HeaderPause(rows, 1), "interval and tea"}, {HeaderPause(rows, 3), "Break for tea"},
        {HeaderPause(rows.mid(0, 2) + rows.mid(3), 1), ""}, // not beyond the next session
        {HeaderCalled("", ""), "Never called."}, {HeaderCalled("3-Dec-26", "G"), "Called: 3-Dec-26    Key: G"},
    };
    for (const auto &[got, want] : cases) EXPECT_EQ(got, want);
}
