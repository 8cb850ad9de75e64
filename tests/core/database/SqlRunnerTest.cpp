#include "base/TextRoutines.h"
#include "core/database/DatabaseTools.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "TablesFixture.h"

#include <QFileInfo>

class SqlRunnerTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        useDances({{"Jig", "Longways", "English"},
                   {"Dance Into the Night", "Circle", "English"},
                   {"Reel", "Square", "American"},
                   {"Polka", "Circle", "Ceilidh"}});
        ASSERT_TRUE(OpenDatabase());
        RunSQL("Update Dances Set Called = 5 where Title <> 'Polka'");
    }
};

TEST_F(SqlRunnerTest, CountsSelectsAndRunsStatements) {
    EXPECT_EQ(RunSQL("select Title from Dances where Called > 3"), 3);
    EXPECT_EQ(RunSQL("SELECT Title from Dances where Title = \"Dance Into the Night\""), 1)
        << "the word in a literal does not make it a select-into";
    EXPECT_EQ(RunSQL("Select Top 1 Title from Dances where Called > 3;"), 1);
    EXPECT_EQ(RunSQL("Select * into X from Dances where Format = \"Circle\""), 2);
    EXPECT_TRUE(Conn.hasTable("X"));
    EXPECT_EQ(RunSQL("Update Dances Set Called = Called + 1 where Format = \"Circle\""), 2);
    EXPECT_EQ(RunSQL("Create Index CalledX on Dances (Called)"), 0);
    EXPECT_FALSE(MyQuery.active()) << "the query is closed afterwards";
}

TEST_F(SqlRunnerTest, FailuresAreClearAndStayTheLastStatement) {
    EXPECT_THROW(RunSQL("Update Dances Set Nothing = 1"), DbError);
    EXPECT_EQ(MyQuery.lastText(), QStringLiteral("Update Dances Set Nothing = 1"));
    try {
        RunSQL("Delete from Events; Delete from Dances");
        ADD_FAILURE() << "two statements ran";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Only one SQL statement can be run at a time."));
    }
    EXPECT_EQ(DancesData.RecordCount(), 4);
}

TEST_F(SqlRunnerTest, RemoveCalledThenViewAndRerun) {
    ViewSQLClick();
    // The set-up's update is the last statement so far.
    EXPECT_EQ(opener.opened.size(), 1);
    answerer->clear();
    answerer->script(ResultYes);
    RemoveCalledClick();
    EXPECT_EQ(answerer->texts().first(),
              QStringLiteral("Are you sure you want to blank out the \"called\" counts (and the CallIt indicator) for all "
                             "the Dances?"));
    EXPECT_EQ(DancesData.FieldByName("Called").AsString(), QString());
    ViewSQLClick();
    ASSERT_EQ(opener.opened.size(), 2);
    EXPECT_EQ(opener.opened.last(), path("SQL.Txt"));
    EXPECT_EQ(LoadTextFile(path("SQL.Txt")), QStringLiteral("Update Dances Set Called=Null, CallIt=Null\r\n"));
    RerunSQLClick();
    EXPECT_EQ(answerer->texts().last().trimmed(), QStringLiteral("4 records selected/changed."));
}
