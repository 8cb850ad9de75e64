#include "DbFixture.h"
#include "platform/sqlite/Dataset.h"

// On a partial key the equal seeks stand on the first (last) equal row the
// filter shows, not on a hidden one.
TEST_F(DbTest, EqualSeeksSkipHiddenEqualRows) {
    addDance("A", "Longways", "English");
    addDance("B", "Longways", "English");
    addDance("C", "Longways", "English");
    addDance("D", "Longways", "English");
    addDance("E", "Square", "English");
    Dataset ds(db, "Dances");
    ds.setIndexName("FST");
    ds.OnFilterRecord = [](Dataset &d) {
        const QString t = d.FieldByName("Title").AsString();
        return t == "B" || t == "C" || t == "E";
    };
    ds.SetFiltered(true);
    ds.open();
    ASSERT_TRUE(ds.Seek({"longways", "english"}, SeekMode::FirstEq));
    EXPECT_EQ(ds.FieldByName("Title").AsString(), QStringLiteral("B"));
    ASSERT_TRUE(ds.Seek({"longways", "english"}, SeekMode::LastEq));
    EXPECT_EQ(ds.FieldByName("Title").AsString(), QStringLiteral("C"));
    // Every equal row hidden: no match, and the record stays.
    EXPECT_FALSE(ds.Seek({"Longways", "English", "A"}, SeekMode::FirstEq));
    EXPECT_FALSE(ds.Seek({"Longways", "English", "D"}, SeekMode::LastEq));
    EXPECT_EQ(ds.FieldByName("Title").AsString(), QStringLiteral("C"));
}
