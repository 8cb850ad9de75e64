#include "tests/programme/ProgrammeTestHelpers.h"

#include "base/Cp1252.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/ProgrammeText.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(ItemEndPos, PositionsAfterEachRow) {
    // ~a~bb~c~ : separators at 1, 3, 6 and 8.
    const QString text = Sep("~a~bb~c~", SepDot);
    const struct {
        int index;
        int pos;
    } cases[] = {{-1, 1}, {-5, 1}, {0, 3}, {1, 6}, {2, 8}, {3, 8} /* the average row */, {40, 8}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(ItemEndPos(text, SepDot, c.index), c.pos);
    }
}

TEST(ItemEndPos, EmptyAndItemlessTexts) {
    EXPECT_EQ(ItemEndPos(QString(), SepDot, -1), 1);
    EXPECT_EQ(ItemEndPos(QString(), SepDot, 0), 1);
    EXPECT_EQ(ItemEndPos(QString(SepDot), SepDot, 3), 1);
    // A text without any separator takes new items at its end.
    EXPECT_EQ(ItemEndPos(QStringLiteral("abc"), SepDot, 0), 4);
}

namespace {

struct InsertCase {
    const char *name;
    const char *text;
    int thisIndex;
    int rowsShown;
    const char *codes;
    const char *result;
    int newIndex;
    const char *error;
};

const InsertCase InsertCases[] = {
    {"every code", "", -1, 0, "BDEHIJNWX[Jigs and Reels]",
     "~O|Break~D|||~O|Evening Dance~O|~O|Interval~O|Next time~N~O|Workshop~O|Extras~O|Jigs and Reels~", 0, ""},
    // Into an empty programme the selection ends on the first row.
    {"bracket without close runs to the end", "", -1, 0, "D[Rounds", "~D|||~O|Rounds~", 0, ""},
    {"bracket then codes", "", -1, 0, "[Part 1]DD", "~O|Part 1~D|||~D|||~", 0, ""},
    {"no selection inserts first", "~D|a||~D|b||~", -1, 3, "I", "~O|Interval~D|a||~D|b||~", 0, ""},
    {"after the third row", "~D|a||~D|b||~D|c||~D|d||~", 2, 5, "I", "~D|a||~D|b||~D|c||~O|Interval~D|d||~", 3,
     ""},
    {"a run keeps its order", "~D|a||~D|b||~", 0, 3, "IDN", "~D|a||~O|Interval~D|||~N~D|b||~", 3, ""},
    {"selection on the average row", "~D|a||~", 1, 2, "D", "~D|a||~D|||~", 2, ""},
    {"selection beyond the rows is lowered", "~D|a||~", 5, 2, "D", "~D|a||~D|||~", 2, ""},
    {"unknown first letter", "~D|a||~", 0, 2, "iD", "~D|a||~", 0, "Unknown item: i in iD"},
    {"unknown character after the range", "~D|a||~", 0, 2, "\\D", "~D|a||~", 0, "Unknown item: \\ in \\D"},
    {"unknown letter mid-run keeps earlier items", "~D|a||~", 0, 2, "DqD", "~D|a||~D|||~", 1,
     "Unknown item: q in DqD"},
    {"filler at the end of a longer string ignored", "", -1, 0, "ID.", "~O|Interval~D|||~", 0, ""},
    {"last code of a longer string processed", "~N|x~", 0, 2, "DI", "~N|x~D|||~O|Interval~", 2, ""},
    {"empty code string", "~D|a||~", 0, 2, "", "~D|a||~", 0, ""},
};

} // namespace

TEST(InsertProgrammeItem, Codes) {
    for (const QChar sep : {SepDot, SepEuro})
        for (const InsertCase &c : InsertCases) {
            SCOPED_TRACE(c.name);
            const QString text = Sep(c.text, sep);
            const InsertResult r = InsertProgrammeItem(text, sep, c.thisIndex, c.rowsShown, QString::fromUtf8(c.codes));
            // An empty programme starts as one separator even when nothing lands in it.
            const QString expected = *c.result ? Sep(c.result, sep) : QString(sep);
            EXPECT_EQ(r.text, expected);
            EXPECT_EQ(r.thisIndex, c.newIndex);
            EXPECT_EQ(r.error, QString::fromUtf8(c.error));
        }
}

TEST(InsertProgrammeItem, SelectionLandsOnEachNewRow) {
    // Reading the result back puts the last inserted item at the new selection.
    const QString text = Sep("~D|a||~O|Half~D|b||~", SepDot);
    const InsertResult r = InsertProgrammeItem(text, SepDot, 1, 4, QStringLiteral("BD"));
    const ProgrammeRead read = ReadProgramme(r.text, SepDot);
    ASSERT_EQ(read.items.size(), 6);
    EXPECT_EQ(read.items[2], H("Break"));
    EXPECT_EQ(read.items[3], D("", "", ""));
    EXPECT_EQ(r.thisIndex, 3);
}

TEST(FindDanceItem, MatchesWholeKeys) {
    const QChar s = SepDot;
    // "~D|Hole|Reel|Jig Set" is 20 characters, so the second item begins at 21.
    const QString text = Sep("~D|Hole|Reel|Jig Set~D|Hole|Reel|Jig§2~", s);
    EXPECT_EQ(FindDanceItem(text, s, {"Hole", "Reel", "Jig"}), 21);
    EXPECT_EQ(FindDanceItem(text, s, {"Hole", "Reel", "Jig Set"}), 1);
    EXPECT_EQ(FindDanceItem(text, s, {"Hole", "Reel", "Ji"}), 0);
    EXPECT_EQ(FindDanceItem(text, s, {"Hole", "Ree", "Jig"}), 0);
    EXPECT_EQ(FindDanceItem(Sep("~D|Hole in the Wall|Reel|Jig~", s), s, {"Hole", "Reel", "Jig"}), 0);
    // At the very end of a text without its final separator nothing follows.
    EXPECT_EQ(FindDanceItem(Sep("~D|A|B|C", s), s, {"A", "B", "C"}), 0);
    // A note quoting the key is not an item.
    EXPECT_EQ(FindDanceItem(Sep("~N|D|A|B|C~", s), s, {"A", "B", "C"}), 0);
}

TEST(FindDanceItem, FromPosition) {
    const QString text = Sep("~D|A|B|C~D|A|B|C~", SepDot);
    EXPECT_EQ(FindDanceItem(text, SepDot, {"A", "B", "C"}, 1), 1);
    EXPECT_EQ(FindDanceItem(text, SepDot, {"A", "B", "C"}, 2), 9);
    EXPECT_EQ(FindDanceItem(text, SepDot, {"A", "B", "C"}, 10), 0);
}

TEST(FindDanceItem, ExactCaseUnlessFolded) {
    const QString text = Sep("~D|\xC3\xa9t\xC3\xa9|Reel|Jig~", SepEuro);  // "été"
    const DanceKey upper{QString::fromUtf8("\xC3\x89T\xC3\x89"), "REEL", "jig"};  // "ÉTÉ"
    EXPECT_EQ(FindDanceItem(text, SepEuro, upper), 0);
    EXPECT_EQ(FindDanceItem(text, SepEuro, upper, 1, true), 1);
    EXPECT_EQ(FindDanceItem(text, SepEuro, {QString::fromUtf8("\xC3\xa9t\xC3\xa9"), "Reel", "Jig"}), 1);
}

TEST(HeadingRoles, Table) {
    const struct {
        const char *text;
        bool session, extras, nextTime;
        PauseKind pause;
    } cases[] = {
        {"Evening Dance", true, false, false, PauseKind::None},
        {"", true, false, false, PauseKind::None},
        {"Extras", false, true, false, PauseKind::None},
        {"EXTRAS if time", false, true, false, PauseKind::None},
        {"Dances for Extras", false, false, false, PauseKind::None},
        {"next time", false, false, true, PauseKind::None},
        {"Interval", false, false, false, PauseKind::Interval},
        {"interval", true, false, false, PauseKind::None},
        {"Break 10 min", false, false, false, PauseKind::Break},
        {"Tea Break", false, false, false, PauseKind::None},
        {"BREAK", true, false, false, PauseKind::None},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QString t = QString::fromUtf8(c.text);
        EXPECT_EQ(IsSessionHeading(t), c.session);
        EXPECT_EQ(IsExtrasHeading(t), c.extras);
        EXPECT_EQ(IsNextTimeHeading(t), c.nextTime);
        EXPECT_EQ(HeadingPause(t), c.pause);
    }
}

TEST(ReservedNotes, Recognisers) {
    EXPECT_TRUE(IsAverageLevelNote(QStringLiteral("Average Level: 4.5")));
    EXPECT_TRUE(IsAverageLevelNote(QStringLiteral("Average Level (ignoring Extras): 3")));
    EXPECT_FALSE(IsAverageLevelNote(QStringLiteral("average level")));
    EXPECT_TRUE(IsInsertedNote(QStringLiteral("Inserted ...")));
    EXPECT_FALSE(IsInsertedNote(QStringLiteral("Inserted")));
    EXPECT_TRUE(IsEndInsertedNote(QStringLiteral("End inserted")));
    EXPECT_TRUE(IsLeaderNote(QStringLiteral("Leader: Sam")));
    EXPECT_TRUE(IsPlusNote(QStringLiteral("+ band")));
    EXPECT_TRUE(IsMinusNote(QStringLiteral("-")));
    EXPECT_FALSE(IsMinusNote(QStringLiteral(" -")));
}

TEST(ReservedNotes, FirstMinusNoteForbidsCounting) {
    EXPECT_TRUE(ProgrammeForbidsCounting(Sep("~N|-private~D|A|B|C~", SepDot), SepDot));
    EXPECT_FALSE(ProgrammeForbidsCounting(Sep("~D|A|B|C~N|-~", SepDot), SepDot));
    EXPECT_FALSE(ProgrammeForbidsCounting(Sep("~N|+~", SepDot), SepDot));
    EXPECT_FALSE(ProgrammeForbidsCounting(QString(), SepDot));
}
