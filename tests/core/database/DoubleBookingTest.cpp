#include "base/Dates.h"
#include "core/database/DoubleBooking.h"
#include "TestSupport.h"

namespace {

// 11 December 2026 is a Friday (day 46367).
constexpr double Fri = 46367, Sat = 46368, Sun = 46369, Wed = 46365, Mon = 46370;

BookedEvent E(const char *org, const char *town, double date, const char *event = "Dance",
              const char *programme = "") {
    return {date, org, town, event, QString::fromUtf8(programme)};
}

QString Warning(const char *date, const char *first, const char *second) {
    return QStringLiteral("* * *  W A R N I N G  * * *\r\rThere are events for two Organisations on ") + date +
           QStringLiteral(":\r") + first + QStringLiteral("\rand\r") + second;
}

class DoubleBookingTest : public QuillaryTest {
protected:
    QStringList check(const QList<BookedEvent> &events) {
        QStringList texts;
        for (const BookingNotice &n : CheckDoubleBookings(events)) texts.append(n.text);
        return texts;
    }
};

TEST_F(DoubleBookingTest, Table) {
    struct Case {
        const char *name;
        QList<BookedEvent> events;
        QStringList notices;
    };
    const QString weekendOnWednesday =
        QStringLiteral("Weekend Event starts Wed 9-Dec-26 which is not a Friday or Saturday.");
    const QList<Case> cases = {
        {"OtherOrgAndTownOneDay", {E("A", "X", Sun), E("B", "Y", Sun)}, {Warning("Sun 13-Dec-26", "A", "B")}},
        {"SameOrganiser", {E("A", "X", Sun), E("a", "Y", Sun)}, {}},
        {"SameTown", {E("A", "X", Sun), E("B", "x", Sun)}, {}},
        {"NextDay", {E("A", "X", Sat), E("B", "Y", Sun)}, {}},
        {"FridayWeekendThenSunday",
         {E("A", "X", Fri, "Dance WEEKEND"), E("B", "Y", Sun)},
         {Warning("Sun 13-Dec-26", "A", "B")}},
        {"SaturdayWeekendEndsSunday", {E("A", "X", Sat, "Weekend"), E("B", "Y", Mon)}, {}},
        {"NotDoubleBookingNeitherWarnsNorExtends",
         {E("A", "X", Fri, "Weekend", "~N|Not double booking~"), E("B", "Y", Sun)},
         {}},
        {"NotDoubleBookingOnTheSecond", {E("A", "X", Sun), E("B", "Y", Sun, "Dance", "~N|Not double booking~")}, {}},
        {"WeekendOnAWednesday", {E("A", "X", Wed, "weekend"), E("B", "Y", Wed + 1)}, {weekendOnWednesday}},
        {"Week", {E("A", "X", Sun - 6, "Dance Week"), E("B", "Y", Sun)}, {Warning("Sun 13-Dec-26", "A", "B")}},
        {"CampEndsAfterSevenDays", {E("A", "X", Sun - 7, "Summer camp"), E("B", "Y", Sun)}, {}},
        {"Festival", {E("A", "X", Sun - 6, "Folk Festival"), E("B", "Y", Sun)}, {Warning("Sun 13-Dec-26", "A", "B")}},
        {"Undated", {E("A", "X", NoDate), E("B", "Y", NoDate)}, {}},
        {"LeaderNote", {E("A", "X", Sun, "Dance", "~N|Leader: Jo~"), E("B", "Y", Sun)}, {}},
        {"OneDayTwoTimes", {E("B", "Y", Sun + 0.4), E("A", "X", Sun + 0.8)}, {Warning("Sun 13-Dec-26", "B", "A")}},
    };
    for (const Case &c : cases) EXPECT_EQ(check(c.events), c.notices) << c.name;
}

} // namespace
