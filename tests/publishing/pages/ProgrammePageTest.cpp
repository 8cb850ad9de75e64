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

struct MergeCase {
    const char *name, *old, *added;
    PageKind kind;
    const char *merged;
};
void PrintTo(const MergeCase &c, std::ostream *os) { *os << c.name; }
class AddToPageTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(AddToPageTest, NewBodyBehindTheOld) {
    const MergeCase &c = GetParam();
    EXPECT_EQ(AddToPage(c.old, c.added, c.kind), QString::fromUtf8(c.merged));
}

const char *New = "<Title>N</Title><Body BgColor=White>new</Body></HTML>";
INSTANTIATE_TEST_SUITE_P(
    Table, AddToPageTest,
    ::testing::Values(
        MergeCase{"BandTableGetsBreak", "<title>Old</title><Table BorderColor=Green></body></html>", New, PageKind::Events,
                  "<title>Events</title><Table BorderColor=Green><P Style=\"page-break-after: always\">new</Body></HTML>"},
        MergeCase{"DancePage", "<Title>Old</Title>x</Body>", New, PageKind::Dances, "<Title>Dances</Title>xnew</Body></HTML>"},
        MergeCase{"NoBodyEndKeepsAll", "<P>x", New, PageKind::Events, "<P>xnew</Body></HTML>"}));

} // namespace
