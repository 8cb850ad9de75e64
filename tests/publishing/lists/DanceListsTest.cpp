#include "base/AppState.h"
#include "base/Dates.h"
#include "base/TextRoutines.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RtfReader.h"
#include "publishing/lists/DanceLists.h"
#include "../../core/database/TablesFixture.h"

#include <QDir>

namespace {

ListDance dance(const QString &title, const QString &format, const QString &collection = {},
                const QString &author = {}, const QString &instructions = {}) {
    ListDance d;
    d.Title = title;
    d.Format = format;
    d.Collection = collection;
    d.Author = author;
    d.Instructions = instructions;
    return d;
}

} // namespace

TEST(DanceListsText, YearOf) {
    struct Row {
        const char *name, *text, *year;
    } rows[] = {
        {"four digits", "Dances of 1786", "1786"},
        {"quote and two digits", "Book '98", "1998"},
        {"first of either kind", "Vol '72 of 1999", "1972"},
        {"a 3 or 9 starts no year", "3456 and 9999", ""},
        {"too few digits", "Book 123", ""},
        {"short text", "'9", ""},
        {"exactly four", "2004", "2004"},
        {"quote at the end", "ab'1", ""},
    };
    for (const Row &r : rows) EXPECT_EQ(YearOf(r.text), QString(r.year)) << r.name;
}

TEST(DanceListsText, DanceYearSources) {
    struct Row {
        const char *name;
        ListDance d;
        const char *year;
    } rows[] = {
        {"collection first", dance("A", "Circle", "Book 1951", "Ann 1960"), "1951"},
        {"MOXE collection skipped", dance("A", "Circle", "MOXE 1234", "Ann 1960"), "1960"},
        {"language code is no year",
         dance("A", "Circle", "", "", "{\\rtf1\\ansi\\deflang2057{\\fonttbl}\\fs24\\lang2057 Walk on."), ""},
        {"year in RTF text", dance("A", "Circle", "", "", "{\\rtf1\\ansi{\\f0 1111}\\fs24\\lang1033 Made 1932."),
         "1932"},
        {"RTF without font size", dance("A", "Circle", "", "", "{\\rtf1 1932}"), ""},
        {"plain instructions", dance("A", "Circle", "", "", "Made in 1932."), "1932"},
    };
    for (const Row &r : rows) EXPECT_EQ(DanceYear(r.d), QString(r.year)) << r.name;
}

TEST(DanceListsText, ByDateAlphaAndAuthor) {
    const QList<ListDance> dances{dance("Zeal, The", "Longways", "Old Tunes 1790", "Ann"),
                                  dance("Apple", "Circle", "", "Bo Smith 1790"),
                                  dance("Moth", "Square", "Book", "Cy"),
                                  dance("!Early", "Circle", "Set '65")};
    const QString byDate = ByDateText(dances, "Format contains e");
    EXPECT_EQ(byDate, "Dances with dates.  Format contains e\r\n\r\n"
                      "1790  " + PadRight("Apple", 41) + PadRight("Circle", 18) + "Bo Smith 1790\r\n"
                      "1790  " + PadRight("The Zeal", 41) + PadRight("Longways", 18) + "Old Tunes 1790, Ann\r\n"
                      "1965  " + PadRight("Early", 41) + PadRight("Circle", 18) + "Set '65\r\n"
                      "\r\nTotal dances with dates: 3");
    EXPECT_EQ(AlphaText(dances, ""), "Dances by Title\r\n\r\nEarly\r\nApple\r\nMoth\r\nThe Zeal\r\n")
        << "sorted as stored, shown as displayed";
    EXPECT_EQ(ByAuthorText(dances, ""), "Dances by Author\r\n\r\n" + PadRight("Ann", 30) + PadRight("The Zeal", 50) +
                                            "Longways\r\n" + PadRight("Bo Smith 1790", 30) + PadRight("Apple", 50) +
                                            "Circle\r\n" + PadRight("Cy", 30) + PadRight("Moth", 50) + "Square\r\n");
}

TEST(DanceListsText, ByFormatGroupsEscapesAndTotals) {
    ListDance a = dance("Book {1}", "Circle", "Band\\Book");
    a.Style = "English";
    a.Called = "3";
    a.Rhythm = "Jig";
    a.Lvl = "2";
    ListDance b = dance("Café", "Circle", "");
    b.Style = "English";
    ListDance c = dance("Reel, The", "Square", "Set");
    c.Style = "American";
    c.Lvl = "0";
    const QString rtf = ByFormatRtf({a, b, c}, "Author = Ann {x}", true);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\froman Times New "
                               "Roman;}}\r\n{\\colortbl ;\\red128\\green0\\blue192;\\red0\\green0\\blue0;\\red0\\green0"
                               "\\blue255;}\\viewkind4\\uc1\\pard\\qc\\f0\\fs40\\cf1\\b\\ul Author = Ann \\{x\\}\\ul0\\b0"
                               "\\cf2\\par\\ql\\fs24\\tx900\\tx4400\\tx7500\\tx8500 \\par\\par\\b Called\tTitle\t"
                               "Collection\tRhythm\tLevel\\b0\\par"));
    EXPECT_EQ(rtf.count("\\b Circle:  English\\b0"), 1) << "one heading per group";
    EXPECT_EQ(rtf.count("\\b Square:  American\\b0"), 1);
    EXPECT_TRUE(rtf.endsWith("\r\n\\par\\b Total dances: 3\r\n\\b0\\par\\par}"));
    for (QChar ch : rtf) EXPECT_LT(ch.unicode(), 128) << "the file is plain ASCII";
    const QString plain = rtfPlainText(rtf);
    EXPECT_TRUE(plain.contains("3\tBook {1}\tBand\\Book\tJig\t2")) << plain.toStdString();
    EXPECT_TRUE(plain.contains("Café")) << plain.toStdString();
    // The maintainer's check: no collection, or a level below 1.
    EXPECT_TRUE(plain.contains("No collection/level specified for Café"));
    EXPECT_TRUE(plain.contains("No collection/level specified for The Reel"));
    EXPECT_FALSE(plain.contains("specified for Book {1}"));
}

TEST(DanceListsText, WhenEntries) {
    const QChar s = QChar(0xB7);
    const DanceKey key{"Long", "Longways", "Long"};
    const QString item = QString(s) + "D|Long|Longways|Long";
    auto prog = [s](const QStringList &items) { return s + items.join(s) + s; };
    struct Row {
        const char *name;
        QString programme;
        bool listed;
    } rows[] = {
        {"called", prog({"O|Evening", "D|Long|Longways|Long"}), true},
        {"with a recording mark", prog({"D|Long|Longways|Long§2"}), true},
        {"only after Next time", prog({"D|Other|Circle|English", "O|Next time", "D|Long|Longways|Long"}), false},
        {"after a later heading", prog({"O|next TIME", "D|X|Y|Z", "O|Second half", "D|Long|Longways|Long"}), true},
        {"before and after Next time", prog({"D|Long|Longways|Long", "O|Next time", "D|Long|Longways|Long"}), true},
        {"a longer style", prog({"D|Long|Longways|Longways"}), false},
        {"another case", prog({"D|long|Longways|Long"}), false},
        {"not at all", prog({"N|Long|Longways|Long"}), false},
    };
    for (const Row &r : rows) {
        const QList<WhenEvent> events{{46000, "Hall", r.programme}};
        EXPECT_EQ(WhenEntries(events, key, s, 46001).size(), r.listed ? 1 : 0) << r.name;
    }
    // Last event first; the current event's own date is left out.
    const QList<WhenEvent> diary{{46000, "Hall", item + s}, {46005, "Barn", item + s}, {46010, "Here", item + s}};
    EXPECT_EQ(WhenEntries(diary, key, s, 46010),
              QStringList({FormatEventDate(46005) + ": Barn", FormatEventDate(46000) + ": Hall"}));
    EXPECT_TRUE(WhenEntries(diary, DanceKey{}, s, 0).isEmpty()) << "a blank dance lists nothing";
}

class DanceListsTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        useDances({{"Reel", "Square", "American"},
                   {"Jig", "Longways", "English"},
                   {"Polka", "Circle", "Ceilidh"},
                   {"Waltz", "Couple", "Ceilidh"}});
        ASSERT_TRUE(OpenDatabase());
        ResetFilterState();
        ResetFilterCommands();
        TestAnswerer::onUnscripted = [](const QString &t) { ADD_FAILURE() << t.toStdString(); };
        QDir::setCurrent(folder());
    }
    void TearDown() override {
        TestAnswerer::onUnscripted = {};
        ResetFilterCommands();
        ResetFilterState();
        TablesTest::TearDown();
    }
    QStringList marked() {
        QStringList out;
        Statement s(Conn.handle(), "SELECT Title FROM Dances WHERE DFilter = 'Y' ORDER BY Title");
        while (s.step()) out << s.columnText(0);
        return out;
    }
    void filterOn(const QString &field, const QString &value) {
        DancesFilter = FilterDef{};
        DancesFilter.Field[1] = field;
        DancesFilter.Value[1] = value;
        DancesFilter.Count = 1;
        SetFilter(FilterTable::Dances, 3);
    }
};

TEST_F(DanceListsTest, WorkingSetsMarkTheirDancesInOneGo) {
    const QString longText = "{\\rtf1 " + QString(300, 'x') + "}";
    RunSQL("Update Dances Set Instructions = '" + longText + "'");
    RunSQL("Update Dances Set Printed = 'Y' where Title = 'Jig'");
    RunSQL("Update Dances Set Instructions = 'short' where Title = 'Waltz'");
    RunSQL("Update Dances Set DFilter = 'Y' where Title = 'Waltz'");
    EXPECT_EQ(MarkPendingDances(), 2);
    EXPECT_EQ(marked(), QStringList({"Polka", "Reel"})) << "long, never printed; the old mark cleared";

    const QList<qint64> ids = ProgrammeDanceRowids(
        Conn, {{"Jig", "Longways", "English"}, {"Gone", "Circle", "English"}, {"Waltz", "Couple", "Ceilidh"}});
    EXPECT_EQ(MarkDancesByRowid(ids), 2);
    EXPECT_EQ(marked(), QStringList({"Jig", "Waltz"})) << "a key the table lacks is left out";

    RunSQL("Update Dances Set OwnTune = 'Y' where Title in ('Reel', 'Jig')");
    RunSQL("Update Dances Set KeySig = 'G' where Title = 'Jig'");
    EXPECT_EQ(MarkNoKeyDances(), 1);
    EXPECT_EQ(marked(), QStringList({"Reel"}));
    EXPECT_EQ(MarkDancesByRowid({}), 0);
    EXPECT_TRUE(marked().isEmpty());
}

TEST_F(DanceListsTest, ListsAskToRemoveTheFilterAndWriteTheirFiles) {
    RunSQL("Update Dances Set Author = 'Ann', Collection = 'Set 1951' where Style = 'Ceilidh'");
    filterOn("Style", "Ceilidh");
    answerer->script(ResultNo);
    ByAuthorList();
    EXPECT_TRUE(answerer->sawText("Remove filter?"));
    const QString listed = LoadTextFile(path("List.Txt"));
    EXPECT_TRUE(listed.startsWith("Dances by Author.  Dances are filtered:  Style contains Ceilidh\r\n\r\n"))
        << listed.toStdString();
    EXPECT_EQ(listed.count("\r\n"), 4) << "head and the two filtered dances";
    EXPECT_EQ(opener.opened.last(), path("List.Txt"));

    answerer->script(ResultYes);
    AlphaList();
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_EQ(LoadTextFile(path("List.Txt")), "Dances by Title\r\n\r\nJig\r\nPolka\r\nReel\r\nWaltz\r\n");
}

TEST_F(DanceListsTest, RankCountsTheFilteredValues) {
    RunSQL("Update Dances Set Rhythm = 'Jig' where Title <> 'Reel'");
    RunSQL("Update Dances Set Rhythm = 'Reel' where Title = 'Reel'");
    RunSQL("Update Dances Set Rhythm = 'x' where Title = 'Waltz'");
    EXPECT_FALSE(RankList("Nothing")) << "no such column";
    EXPECT_TRUE(RankList("Rhythm"));
    EXPECT_EQ(MyQuery.SQL, QStringList({"Select [Rhythm], Count([Rhythm]) as Tot from Dances", "Where Len([Rhythm]) > 1",
                                        "Group By [Rhythm] Order by Count([Rhythm]) desc"}));
    EXPECT_EQ(LoadTextFile(path("Temp.Txt")), "Rhythm ranked in descending order\r\n\r\n" + PadRight("Jig", 30) +
                                                  "  2\r\n" + PadRight("Reel", 30) + "  1\r\n");
    filterOn("Format", "Square");
    answerer->script(ResultNo);
    EXPECT_TRUE(RankList("Rhythm"));
    EXPECT_EQ(MyQuery.SQL.size(), 4);
    EXPECT_TRUE(MyQuery.SQL[2].startsWith("and Len([Rhythm])"));
    EXPECT_TRUE(LoadTextFile(path("Temp.Txt")).contains(PadRight("Reel", 30) + "  1\r\n"));
    EXPECT_FALSE(LoadTextFile(path("Temp.Txt")).contains("Jig"));
}

TEST_F(DanceListsTest, ByFormatNeedsAFilterOutsideMaintainerMode) {
    answerer->script(ResultCancel);
    EXPECT_FALSE(ByFormatList());
    EXPECT_TRUE(answerer->sawText("No filter active."));
    EXPECT_FALSE(QFile::exists(path("List.RTF")));
    filterOn("Style", "Ceilidh");
    EXPECT_TRUE(ByFormatList());
    const QString rtf = LoadTextFile(path("List.RTF"));
    EXPECT_TRUE(rtf.contains("Total dances: 2"));
    EXPECT_FALSE(rtf.contains("Reel"));
}

// In maintainer mode an unfiltered catalogue lists the maintainer's own
// dances, each lacking its collection or level named in the list.
TEST_F(DanceListsTest, ByFormatInMaintainerModeUsesTheMaintainersFilter) {
    RunSQL("Update Dances Set Author = 'Vellam Orrisk', Lvl = 2, Collection = 'Own' where Title = 'Jig'");
    RunSQL("Update Dances Set Author = 'Vellam Orrisk' where Title = 'Reel'");
    AuthorMode = true;
    const bool listed = ByFormatList();
    AuthorMode = false;
    EXPECT_TRUE(listed);
    EXPECT_TRUE(DancesData.Filtered());
    const QString plain = rtfPlainText(LoadTextFile(path("List.RTF")));
    EXPECT_TRUE(plain.contains("Author = Vellam Orrisk")) << plain.toStdString();
    EXPECT_TRUE(plain.contains("No collection/level specified for Reel"));
    EXPECT_FALSE(plain.contains("specified for Jig"));
    EXPECT_TRUE(plain.contains("Total dances: 2"));
}
