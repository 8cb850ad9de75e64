#include "tests/programme/ProgrammeTestHelpers.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Messages.h"
#include "programme/evaluation/Sessions.h"

#include <gtest/gtest.h>

namespace {

const QStringList Days = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

class SessionsTest : public QuillaryTest {};

} // namespace

TEST_F(SessionsTest, TitlesOfHeadings) {
    const struct {
        const char *heading, *title;
    } cases[] = {
        {"Saturday Evening: Beginners (7:30)", "Beginners"},
        {"Saturday Evening Dance: Beginners", ""},
        {"Workshop: Contras for all", "Contras for all"},
        {"Mainly Squares, with calling", "Squares"},
        {"Interval", ""},
        {"Tea", ""},
        {"Barn Dance", ""},
        {"Sunday 10.00-12.30 Playford Workshop", "Playford"},
        {"Friday 7:30 Theme: Scottish", "Scottish"},
        {"\"Rapper\" sword", "Rapper sword"},
        {"!Private", ""},
        {"Dances of Cecil Sharp", "Cecil Sharp"},
        {"Family Party", ""},
        {"Workshops", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.heading);
        EXPECT_EQ(SessionTitle(c.heading, Days, false), QString(c.title));
    }
    EXPECT_EQ(SessionTitle("Beginners", Days, true), QString());
    // A lone double quote stops with the message of the search that failed.
    EXPECT_THROW(SessionTitle("\"Rapper sword", Days, false), SilentAbort);
    EXPECT_EQ(answerer->boxes.size(), 1);
}

TEST_F(SessionsTest, GatherAndList) {
    const QChar s = SepDot;
    const QList<SessionEvent> events = {
        {"Club", 46361, Sep("~O|Evening Dance (7:30)~D|A|L|Jig~O|Interval~D|B|L|Reel~O|Extras~D|C|L|Jig~O|Workshop~D|D|L|Jig~", s)},
        {"Fest", 46362, Sep("~D|Evening Star|TRIO|Evening~O|Beginners~D|E|L|Jig~", s)},
        {"Leaders", 46363, Sep("~N|Leader~O|Saturday Evening: Beginners~", s)},
        {SessionsOrg, NoDate, Sep("~O|Club - x: Evening Dance~O|Saturday Evening: Rappers~", s)},
    };
    const QString date = FormatEventDate(46361);
    EXPECT_EQ(GatherSessions(events, "evening", s),
              Sep("~O|Club - ", s) + date + Sep(": Evening Dance (7:30)~D|A|L|Jig~O|Interval~D|B|L|Reel~O|Extras~D|C|L|Jig~", s) +
                  Sep("O|Leaders - ", s) + FormatEventDate(46363) + Sep(": Saturday Evening: Beginners~", s));
    EXPECT_EQ(GatherSessions(events, "Star", s), QString());

    EXPECT_EQ(SessionTitles(events, "", s, Days), QStringList({"Beginners"}));
    EXPECT_EQ(SessionTitles(events, "work", s, Days), QStringList());
    QList<SessionEvent> more = events;
    more.append({"Other", 46370, Sep("~O|BEGINNERS~O|Workshop: Contras for all~", s)});
    EXPECT_EQ(SessionTitles(more, "", s, Days), QStringList({"Beginners", "Contras for all"}));
    EXPECT_EQ(SessionListText({"A1", "B2"}, "x"), "List of session headings containing \"x\"\r\n\r\nA1\r\nB2");
}

TEST(SessionHeadings, HeadingsWithTheirNotes) {
    const QList<ShownRow> rows = {
        {ItemKind::Heading, "Evening: !Tonight 7.30-10.00"}, {ItemKind::Note, "Bring shoes"},
        {ItemKind::Dance, "x"}, {ItemKind::Heading, "Interval"}, {ItemKind::Heading, "Workshop"},
        {ItemKind::Note, "!private"}, {ItemKind::Heading, "Finale"}, {ItemKind::Note, "Average Level: 3"}};
    EXPECT_EQ(SessionHeadingsText(rows), "Session titles:\r\n\r\nEvening: Tonight 7.30-10.00\r\nBring shoes\r\n\r\n"
                                         "Workshop\r\n\r\nFinale\r\n\r\n");
}
