#include "base/Cp1252.h"
#include "base/Messages.h"
#include "core/dances/DanceRecord.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DbFixture.h"
#include "TestSupport.h"

TEST(DanceRecordTest, KeyAndTuneBookChecks) {
    EXPECT_EQ(DanceKeyFault({"A", "B", "C"}), QString());
    for (const DanceKey &k : {DanceKey{"", "B", "C"}, DanceKey{"A", "", "C"}, DanceKey{"A", "B", ""}})
        EXPECT_EQ(DanceKeyFault(k), QStringLiteral("Title, Format and Style must all be specified"));
    for (const DanceKey &k : {DanceKey{"A|B", "B", "C"}, DanceKey{"A", "B\u00B7", "C"}, DanceKey{"A", "B", "\u20ACC"},
                              DanceKey{"A", "B", "C \u00A7 D"}})
        EXPECT_TRUE(DanceKeyFault(k).contains("may not contain")) << k.Title.toStdString();
    // A "§" is only the style's: the title and format may hold one.
    EXPECT_EQ(DanceKeyFault({"A \u00A7 B", "B \u00A7", "C"}), QString());
    for (const char *ok : {"", " ", "1", "2", "3", "3x"}) EXPECT_EQ(TolbrookFault(ok), QString()) << ok;
    for (const char *bad : {"4", "0", "x", "-1"})
        EXPECT_EQ(TolbrookFault(bad), QStringLiteral("Tolbrook must be 1, 2 or 3.")) << bad;
}

TEST(DanceRecordTest, MergeTable) {
    struct Case {
        const char *name;
        const char *field, *own, *other;
        int answer; // 0: no question expected, else ResultYes or ResultNo
        const char *result;
    };
    const QList<Case> cases = {
        {"own empty takes other", "Author", "", "Pat Shaw", 0, "Pat Shaw"},
        {"own empty, other empty", "Author", "", "", 0, ""},
        {"own generated takes other", "Instructions", "Generated Dance", "{\\rtf1 real}", 0, "{\\rtf1 real}"},
        {"both generated gives empty", "Instructions", "x Generated Dance", "Generated Dance y", 0, ""},
        {"own empty, other generated gives empty", "Instructions", "", "Generated Dance", 0, ""},
        {"other generated keeps own", "Instructions", "{\\rtf1 real}", "Generated Dance", 0, "{\\rtf1 real}"},
        {"other empty keeps own", "Author", "Pat Shaw", "", 0, "Pat Shaw"},
        {"other equal keeps own", "Author", "Pat Shaw", "Pat Shaw", 0, "Pat Shaw"},
        {"called summed", "Called", "3", "4", 0, "7"},
        {"called with an empty other", "Called", "3", "", 0, "3"},
        {"called with an empty own", "Called", "", "4", 0, "4"},
        {"differing, yes", "Author", "Pat Shaw", "P. Shaw", ResultYes, "P. Shaw"},
        {"differing, no", "Author", "Pat Shaw", "P. Shaw", ResultNo, "Pat Shaw"},
        {"differing in case only asks", "Title", "Hole in the wall", "Hole In The Wall", ResultNo, "Hole in the wall"},
    };
    for (const Case &c : cases) {
        QList<MergeField> fields{{c.field, c.own, c.other}};
        int asked = 0;
        MergeDanceFields(fields, [&](const QString &field, const QString &own, const QString &other) {
            ++asked;
            EXPECT_EQ(field, QString(c.field));
            EXPECT_EQ(own, QString(c.own));
            EXPECT_EQ(other, QString(c.other));
            return c.answer == ResultYes;
        });
        EXPECT_EQ(asked, c.answer ? 1 : 0) << c.name;
        EXPECT_EQ(fields[0].own, QString(c.result)) << c.name;
    }
}

TEST(DanceRecordTest, MergeRunsOverEveryFieldInOrder) {
    QList<MergeField> fields{{"Title", "A", "A"}, {"Rhythm", "Reel", "Jig"}, {"Called", "1", "2"}, {"Author", "X", "Y"}};
    QStringList asked;
    MergeDanceFields(fields, [&](const QString &field, const QString &, const QString &) {
        asked.append(field);
        return field == "Author";
    });
    EXPECT_EQ(asked, (QStringList{"Rhythm", "Author"}));
    EXPECT_EQ(fields[1].own, QStringLiteral("Reel"));
    EXPECT_EQ(fields[2].own, QStringLiteral("3"));
    EXPECT_EQ(fields[3].own, QStringLiteral("Y"));
}

class LinkFormTest : public QuillaryTest {};

TEST_F(LinkFormTest, LinkFormTable) {
    struct Case {
        const char *name, *notes, *result;
        bool changed;
    };
    const QList<Case> cases = {
        {"web link", "See Link=\"http://x.org/a\" here", "See http://x.org/a here", true},
        {"two links", "Link=\"https://a\" and Link=\"http://b\"", "https://a and http://b", true},
        {"escaped quote inside", "Link=\"http://a?q=\\\"x\\\"\" end", "http://a?q=\\&quot;x\\&quot; end", true},
        {"local file keeps its form", "Link=\"C:\\Tunes\\a.pdf\"", "Link=\"C:\\Tunes\\a.pdf\"", false},
        {"the marker is case-sensitive", "link=\"http://a\"", "link=\"http://a\"", false},
        {"nothing", "plain notes", "plain notes", false},
    };
    for (const Case &c : cases) {
        bool changed = !c.changed;
        EXPECT_EQ(BareWebLinks(c.notes, &changed), QString(c.result)) << c.name;
        EXPECT_EQ(changed, c.changed) << c.name;
    }
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(LinkFormTest, AMissingClosingQuoteShowsTheSearchMessageAndAbandons) {
    EXPECT_THROW(BareWebLinks("See Link=\"http://x.org"), SilentAbort);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_TRUE(answerer->texts()[0].startsWith("The text:\n\"\nwas not found in\nSee http://x.org ..."))
        << answerer->texts()[0].toStdString();
}

namespace {

class MergeOtherDanceTest : public DbTest {};

} // namespace

TEST_F(MergeOtherDanceTest, TheOtherRecordIsMergedIntoTheEditedOneAndDeleted) {
    addDance("Hole", "Longways", "Duple", {{"Author", "Pat"}, {"Called", 2}, {"Instructions", "Generated Dance"}});
    addDance("Hole in the Wall", "Longways", "Duple",
             {{"Author", "Cecil"}, {"Called", QVariant()}, {"Instructions", "{\\rtf1 real}"}, {"Rhythm", "Hornpipe"}});
    Dataset ds(db, "Dances");
    ds.setIndexName("TSF");
    ds.open();
    ASSERT_TRUE(ds.Seek({"Hole", "Duple", "Longways"}, SeekMode::FirstEq));
    ds.Edit();
    ds.FieldByName("Title").SetAsString("Hole in the Wall");
    QStringList asked;
    EXPECT_TRUE(MergeOtherDance(ds, {"HOLE IN THE WALL", "longways", "duple"}, [&](const QString &question) {
        asked.append(question);
        return false;
    }));
    EXPECT_EQ(asked, QStringList{"Hole in the Wall\rhas both old and new values for field: Author\rReplace\r[Pat]\rBy\r[Cecil] ?"});
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances").toInt(), 1);
    EXPECT_EQ(ds.State(), DatasetState::Edit);
    ds.Post();
    EXPECT_EQ(scalar("SELECT Author || '/' || Called || '/' || Instructions || '/' || Rhythm FROM Dances").toString(),
              QStringLiteral("Pat/2/{\\rtf1 real}/Hornpipe"));
    EXPECT_EQ(scalar("SELECT Title FROM Dances").toString(), QStringLiteral("Hole in the Wall"));
}

TEST_F(MergeOtherDanceTest, NoOtherDanceAndTheRecordItselfAreLeftAlone) {
    addDance("It's", "Longways", "Duple");
    Dataset ds(db, "Dances");
    ds.setIndexName("TSF");
    ds.open();
    ds.Edit();
    int asked = 0;
    const auto ask = [&](const QString &) { return ++asked > 0; };
    EXPECT_FALSE(MergeOtherDance(ds, {"It's", "Longways", "Duple"}, ask));
    EXPECT_FALSE(MergeOtherDance(ds, {"Other", "Longways", "Duple"}, ask));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances").toInt(), 1);
}
