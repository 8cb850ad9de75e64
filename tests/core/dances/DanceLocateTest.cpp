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
