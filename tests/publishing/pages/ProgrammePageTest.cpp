#include "publishing/pages/ProgrammePage.h"
#include "TestSupport.h"

namespace {

TEST(EventHeading, OrgUnlessRepeatedThenTheEvent) {
    const QStringList got = {EventHeading("Hilltop Folk", "x", "Festival"), EventHeading("Town Dances", "x", "Spring Ball"),
                             EventHeading("Sec", "Sec", "Ball"), EventHeading("Club", "x", ""),
                             EventHeading("Club Ball", "x", "Ball")};
    EXPECT_EQ(got, QStringList({"Hilltop Folk Festival", "Town Dances: Spring Ball", "Ball", "Club: ", "Club Ball"}));
}

TEST(EventInfo, FieldsDateTimeAndBand) {
    EventBoxes e{"", "", "Dance", "Village Hall", "Hilltop", "", "Sat 12-Mar-22", "7.30", "Recorded"};
    EXPECT_EQ(EventInfo(e, "Caller"), QStringLiteral("Caller: Village Hall, Hilltop, Sat 12-Mar-22, 7.30 with Recorded music"));
    e = {"", "", "Folk Week", "", "", "AB1", "None", "", "Fiddlesticks"};
    EXPECT_EQ(EventInfo(e, ""), QStringLiteral("AB1 with Fiddlesticks"));
    e.DateText = "Mon 1-Aug-22";
    EXPECT_EQ(EventInfo(e, ""), QStringLiteral("AB1, from Mon 1-Aug-22 with Fiddlesticks"));
}

TEST(AddToPage, NewBodyBehindTheOld) {
    const char *added = "<Title>N</Title><Body BgColor=White>new</Body></HTML>";
    EXPECT_EQ(AddToPage("<title>Old</title><Table BorderColor=Green></body></html>", added, PageKind::Events),
              QStringLiteral("<title>Events</title><Table BorderColor=Green><P Style=\"page-break-after: always\">new</Body></HTML>"));
    EXPECT_EQ(AddToPage("<Title>Old</Title>x</Body>", added, PageKind::Dances), QStringLiteral("<Title>Dances</Title>xnew</Body></HTML>"));
    EXPECT_EQ(AddToPage("<P>x", added, PageKind::Events), QStringLiteral("<P>xnew</Body></HTML>"));
}

} // namespace
