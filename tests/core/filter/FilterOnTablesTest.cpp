#include "base/Cp1252.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/filter/Tags.h"
#include "core/startup/Settings.h"
#include "tests/core/database/TablesFixture.h"

namespace {

class FilterOnTablesTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        ResetFilterState();
        ResetTagState();
        ResetFilterCommands();
        ProgrammeSeparator = SepDot;
    }
    void TearDown() override {
        ResetFilterCommands();
        ResetFilterState();
        ResetTagState();
        TablesTest::TearDown();
    }
};

} // namespace

// The run's datasets take the rule through the hook they are given by name,
// and the statements go through the SQL runner.
TEST_F(FilterOnTablesTest, RunsDatasetsFollowTheRule) {
    QList<QStringList> dances;
    for (int i = 0; i < 20; ++i) dances.append({QString("Common %1").arg(i), "Longways", "English"});
    dances.append({"Rare", "Square", "English"});
    dances.append({"Rare Scottish", "Square", "Scottish"});
    useDances(dances);
    ASSERT_TRUE(OpenDatabase());
    OddFormatClick();
    EXPECT_TRUE(DancesData.Filtered());
    EXPECT_EQ(DancesData.VisibleCount(), 1);
    EXPECT_EQ(DancesData.FieldByName("Title").AsString(), "Rare");
    EXPECT_TRUE(MyQuery.lastText().contains("Scottish%"));
    // The database side's switch reaches the same filter.
    SetFilter(DancesData, 1);
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_FALSE(DFilterOn);
    NeverClick();
    EXPECT_EQ(DancesData.VisibleCount(), 22);
    // A record posted while filtered is tested by the same rule.
    DancesData.Edit();
    DancesData.FieldByName("Called").SetAsInteger(3);
    DancesData.Post();
    EXPECT_EQ(DancesData.VisibleCount(), 21);
}
