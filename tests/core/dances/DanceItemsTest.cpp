#include "base/Cp1252.h"
#include "core/dances/DanceItems.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DbFixture.h"
#include "TestSupport.h"

namespace {

// Programmes are written with "·" as "*" here, to keep the table readable.
QString P(const char *text) {
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('*'), SepDot);
    return s;
}

const DanceKey Hole{"Hole in the Wall", "Longways", "Duple"};

} // namespace

TEST(DanceItemsTest, NotesAndRenamesTable) {
    struct Case {
        const char *name;
        const char *programme;
        const char *notes;
        const char *renamed; // to "Hole in the Wall (2)", "Longways", "Triple"
        int count;
    };
    const QList<Case> cases = {
        {"alone", "*D|Hole in the Wall|Longways|Duple*",
         "*N|Hole in the Wall|Longways|Duple (dance has been deleted)*",
         "*D|Hole in the Wall (2)|Longways|Triple*", 1},
        {"first of three", "*D|Hole in the Wall|Longways|Duple*N|tea*D|Other|Circle|Mixer*",
         "*N|Hole in the Wall|Longways|Duple (dance has been deleted)*N|tea*D|Other|Circle|Mixer*",
         "*D|Hole in the Wall (2)|Longways|Triple*N|tea*D|Other|Circle|Mixer*", 1},
        {"last", "*O|First half*D|Hole in the Wall|Longways|Duple*",
         "*O|First half*N|Hole in the Wall|Longways|Duple (dance has been deleted)*",
         "*O|First half*D|Hole in the Wall (2)|Longways|Triple*", 1},
        {"other case keeps the item's spelling", "*D|HOLE IN THE WALL|longways|duple*",
         "*N|HOLE IN THE WALL|longways|duple (dance has been deleted)*",
         "*D|Hole in the Wall (2)|Longways|Triple*", 1},
        {"recording choice", "*D|Hole in the Wall|Longways|Duple§2*N|x*",
         "*N|Hole in the Wall|Longways|Duple (dance has been deleted)*N|x*",
         "*D|Hole in the Wall (2)|Longways|Triple§2*N|x*", 1},
        {"twice, adjacent", "*D|Hole in the Wall|Longways|Duple*D|Hole in the Wall|Longways|Duple§1*",
         "*N|Hole in the Wall|Longways|Duple (dance has been deleted)*N|Hole in the Wall|Longways|Duple (dance has been deleted)*",
         "*D|Hole in the Wall (2)|Longways|Triple*D|Hole in the Wall (2)|Longways|Triple§1*", 2},
        {"a shorter title is another dance", "*D|Hole|Longways|Duple*", "*D|Hole|Longways|Duple*",
         "*D|Hole|Longways|Duple*", 0},
        {"a longer title is another dance", "*D|Hole in the Wall Again|Longways|Duple*",
         "*D|Hole in the Wall Again|Longways|Duple*", "*D|Hole in the Wall Again|Longways|Duple*", 0},
        {"a longer style is another dance", "*D|Hole in the Wall|Longways|Duple minor*",
         "*D|Hole in the Wall|Longways|Duple minor*", "*D|Hole in the Wall|Longways|Duple minor*", 0},
        {"a note naming it stays", "*N|D|Hole in the Wall|Longways|Duple*", "*N|D|Hole in the Wall|Longways|Duple*",
         "*N|D|Hole in the Wall|Longways|Duple*", 0},
        {"no closing separator is no item", "*D|Hole in the Wall|Longways|Duple",
         "*D|Hole in the Wall|Longways|Duple", "*D|Hole in the Wall|Longways|Duple", 0},
        {"choice without closing separator", "*D|Hole in the Wall|Longways|Duple§1",
         "*N|Hole in the Wall|Longways|Duple (dance has been deleted)", "*D|Hole in the Wall (2)|Longways|Triple§1", 1},
        {"empty", "", "", "", 0},
    };
    const DanceKey renamed{"Hole in the Wall (2)", "Longways", "Triple"};
    for (const Case &c : cases) {
        int n = -1;
        EXPECT_EQ(DanceItemsToNotes(P(c.programme), SepDot, Hole, &n), P(c.notes)) << c.name;
        EXPECT_EQ(n, c.count) << c.name;
        n = -1;
        EXPECT_EQ(RenameDanceItems(P(c.programme), SepDot, Hole, renamed, &n), P(c.renamed)) << c.name;
        EXPECT_EQ(n, c.count) << c.name;
    }
}

TEST(DanceItemsTest, TheOtherSeparatorAndAccentedFold) {
    const QString prog = QString(SepEuro) + "D|éCLAIR|Circle|Mixer" + SepEuro;
    EXPECT_EQ(DanceItemsToNotes(prog, SepEuro, {"Éclair", "circle", "MIXER"}),
              QString(SepEuro) + "N|éCLAIR|Circle|Mixer (dance has been deleted)" + SepEuro);
    // The dot is text, not a separator, when the euro sign separates.
    EXPECT_EQ(DanceItemsToNotes(P("*D|Éclair|Circle|Mixer*"), SepEuro, {"Éclair", "Circle", "Mixer"}),
              P("*D|Éclair|Circle|Mixer*"));
}

class DanceItemsDbTest : public DbTest {};

TEST_F(DanceItemsDbTest, EveryEventIsRewrittenWhateverItsFilterAndTheRestStays) {
    const qint64 a = addEvent("Club", 46000, "One", {{"Programme", P("*D|Hole in the Wall|Longways|Duple§3*N|x*")}});
    const qint64 b = addEvent("Club", 46001, "Two", {{"Programme", P("*D|hole in the wall|LONGWAYS|Duple*")}});
    const qint64 c = addEvent("Club", 46002, "Three", {{"Programme", P("*D|Hole 100%_\\|Longways|Duple*")}});
    const qint64 d = addEvent("Club", 46003, "Four", {{"Programme", P("*D|Hole|Longways|Duple*")}});
    Dataset events(db, "Events");
    events.setIndexName("EDate");
    events.OnFilterRecord = [](Dataset &e) { return e.FieldByName("Event").AsString() == "Four"; };
    events.SetFiltered(true);
    events.open();
    ASSERT_EQ(events.VisibleCount(), 1);

    EXPECT_EQ(RenameDanceItemsEverywhere(db, SepDot, Hole, {"Hole in the Wall", "Longways", "Triple"}), 2);
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {a}).toString(),
              P("*D|Hole in the Wall|Longways|Triple§3*N|x*"));
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {b}).toString(),
              P("*D|Hole in the Wall|Longways|Triple*"));
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {d}).toString(), P("*D|Hole|Longways|Duple*"));

    // Wild cards of like in a key are plain characters.
    EXPECT_EQ(DanceItemsToNotesEverywhere(db, SepDot, {"Hole 100%_\\", "Longways", "Duple"}), 1);
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {c}).toString(),
              P("*N|Hole 100%_\\|Longways|Duple (dance has been deleted)*"));
    EXPECT_EQ(DanceItemsToNotesEverywhere(db, SepDot, {"Nothing", "Longways", "Duple"}), 0);
    EXPECT_EQ(events.VisibleCount(), 1);
    EXPECT_EQ(events.FieldByName("Event").AsString(), QStringLiteral("Four"));
}

TEST_F(DanceItemsDbTest, ARewriteInsideARolledBackBatchLeavesEveryProgramme) {
    const qint64 a = addEvent("Club", 46000, "One", {{"Programme", P("*D|Hole in the Wall|Longways|Duple*")}});
    {
        Batch outer(db);
        EXPECT_EQ(DanceItemsToNotesEverywhere(db, SepDot, Hole), 1);
    }
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {a}).toString(),
              P("*D|Hole in the Wall|Longways|Duple*"));
}
