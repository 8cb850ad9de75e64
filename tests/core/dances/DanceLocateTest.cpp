#include "base/Cp1252.h"
#include "core/dances/DanceLocate.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DbFixture.h"

namespace {

class DanceLocateTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        addDance("Apple", "Longways", "English", {{"Rhythm", "Reel"}});
        addDance("Banana", "Longways", "English", {{"Rhythm", "Jig"}});
        addDance("Cherry", "Longways", "English", {{"Rhythm", "Hornpipe"}});
        addDance("Banana", "Longways", "Scottish", {{"Rhythm", "Reel"}});
        addDance("Banana", "Circle", "English", {{"Rhythm", "Reel"}});
        addDance("Éclair", "Square", "American");
        ds = std::make_unique<Dataset>(db, "Dances");
    }
    void TearDown() override {
        ds.reset();
        DbTest::TearDown();
    }
    DanceKey current() { return CurrentDanceKey(*ds); }
    std::unique_ptr<Dataset> ds;
};

} // namespace

TEST(DanceLocateKeyTest, SeekKeyInEachIndexOrder) {
    const DanceKey k{"T", "F", "S"};
    EXPECT_EQ(DanceSeekKey("FST", k), (QVariantList{"F", "S", "T"}));
    EXPECT_EQ(DanceSeekKey("FTS", k), (QVariantList{"F", "T", "S"}));
    EXPECT_EQ(DanceSeekKey("TSF", k), (QVariantList{"T", "S", "F"}));
    EXPECT_EQ(DanceSeekKey("FSRT", k), (QVariantList{"F", "S"}));
    EXPECT_TRUE(SameDanceKey({"éclair", "square", "AMERICAN"}, {"Éclair", "Square", "American"}));
    EXPECT_FALSE(SameDanceKey({"Banana", "Longways", "Scottish"}, {"Banana", "Longways", "English"}));
}

TEST_F(DanceLocateTest, EachOrderFindsTheWholeKeyInAnyCase) {
    for (const char *order : {"FST", "FTS", "FSRT", "TSF"}) {
        ds->close();
        ds->setIndexName(order);
        ds->open();
        for (const DanceKey &k : {DanceKey{"Banana", "Longways", "English"}, DanceKey{"BANANA", "circle", "english"},
                                  DanceKey{"banana", "Longways", "Scottish"}, DanceKey{"éCLAIR", "Square", "American"},
                                  DanceKey{"Cherry", "Longways", "English"}}) {
            ds->First();
            EXPECT_TRUE(SeekDance(*ds, order, k)) << order << " " << k.Title.toStdString();
            EXPECT_TRUE(SameDanceKey(current(), k)) << order;
        }
        ds->First();
        EXPECT_FALSE(SeekDance(*ds, order, {"Banana", "Square", "American"})) << order;
        EXPECT_FALSE(SeekDance(*ds, order, {"Date", "Longways", "English"})) << order;
    }
}

TEST_F(DanceLocateTest, FsrtScansPastTheOtherRhythms) {
    ds->setIndexName("FSRT");
    ds->open();
    // In FSRT order Hornpipe, Jig, Reel: the wanted title is the second and third.
    ASSERT_TRUE(SeekDance(*ds, "FSRT", {"Banana", "Longways", "English"}));
    EXPECT_EQ(ds->FieldByName("Rhythm").AsString(), QStringLiteral("Jig"));
    ASSERT_TRUE(SeekDance(*ds, "FSRT", {"apple", "Longways", "English"}));
    EXPECT_EQ(ds->FieldByName("Rhythm").AsString(), QStringLiteral("Reel"));
}

TEST_F(DanceLocateTest, AFilterThatHidesTheDanceGivesAMissAndTheSameTitleElsewhereIsNotTaken) {
    ds->setIndexName("TSF");
    ds->OnFilterRecord = [](Dataset &d) { return d.FieldByName("Style").AsString() != "English"; };
    ds->SetFiltered(true);
    ds->open();
    ASSERT_TRUE(SeekDance(*ds, "TSF", {"Banana", "Longways", "Scottish"}));
    EXPECT_FALSE(SeekDance(*ds, "TSF", {"Banana", "Circle", "English"}));
    EXPECT_TRUE(SameDanceKey(current(), {"Banana", "Longways", "Scottish"}));
    // A partial seek must not settle on the shown Scottish Banana either.
    ds->close();
    ds->setIndexName("FSRT");
    ds->OnFilterRecord = [](Dataset &d) { return d.FieldByName("Title").AsString() != "Cherry"; };
    ds->open();
    EXPECT_TRUE(SeekDance(*ds, "FSRT", {"Apple", "Longways", "English"}));
    EXPECT_FALSE(SeekDance(*ds, "FSRT", {"Cherry", "Longways", "English"}));
}

TEST(DanceLocateTextTest, NotFoundTextNamesTheDance) {
    const QString t = NotFoundText({"Hole", "Longways", "Duple"});
    EXPECT_TRUE(t.startsWith("A dance in the current Event does not appear in the Dances table.\r\n\r\nTitle:\tHole\r\n"
                             "Format:\tLongways\r\nStyle:\tDuple\r\n\r\nYou have three choices:"));
    EXPECT_TRUE(t.endsWith("searching for \"Generated Dance\" (without the quotes)."));
}
