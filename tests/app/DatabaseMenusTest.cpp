#include "app/DatabaseMenus.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "tests/core/database/TablesFixture.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

// "Delete Dances" under a filter asks with the filter as SQL and deletes the
// dances shown, no others.
TEST_F(TablesTest, DeleteDancesItemNamesTheFilteredDances) {
    ResetFilterState();
    ResetFilterCommands();
    useDances({{"Reel", "Longways", "English"}, {"Jig", "Longways", "English"}, {"Reel of Tulloch", "Set", "Scottish"}});
    ASSERT_TRUE(OpenDatabase());
    QWidget owner;
    QMenu tools(&owner), settings(&owner);
    AddDatabaseCommands(&owner, &tools, &settings);
    DancesFilter.Field[1] = "Title";
    DancesFilter.Value[1] = "reel";
    DancesFilter.Count = 1;
    SetFilter(FilterTable::Dances, 3);
    ASSERT_EQ(DancesData.VisibleCount(), 2);

    answerer->script(ResultNo);
    tools.findChild<QAction *>("DeleteDances")->trigger();
    ASSERT_FALSE(answerer->texts().isEmpty());
    const QString question = answerer->texts().last();
    EXPECT_TRUE(question.startsWith("Delete from Dances")) << question.toStdString();
    EXPECT_TRUE(question.contains("Where UCase([Title]) alike '%REEL%'")) << question.toStdString();
    EXPECT_TRUE(question.endsWith("ARE YOU SURE?"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances").toInt(), 3) << "No deletes nothing";

    answerer->script(ResultYes);
    tools.findChild<QAction *>("DeleteDances")->trigger();
    EXPECT_EQ(scalar("SELECT group_concat(Title) FROM Dances").toString(), "Jig");
    ResetFilterCommands();
    ResetFilterState();
}
