#include "core/database/DatabaseMenus.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "TablesFixture.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

TEST_F(TablesTest, MenuItemsReachTheirCommands) {
    useDances({{"Jig", "Longways", "English"}});
    ASSERT_TRUE(OpenDatabase());
    QWidget owner;
    QMenu tools(&owner), settings(&owner);
    AddDatabaseCommands(&owner, &tools, &settings);
    ASSERT_NE(settings.findChild<QAction *>("SwitchDatabase"), nullptr);
    EXPECT_EQ(settings.findChild<QAction *>("SwitchDatabase")->property("HelpContext").toInt(), 51500);
    ASSERT_NE(tools.findChild<QAction *>("RemoveCalled"), nullptr);
    ASSERT_NE(tools.findChild<QAction *>("SetAll"), nullptr);

    answerer->script(ResultYes);
    tools.findChild<QAction *>("RemoveCalled")->trigger();
    EXPECT_EQ(MyQuery.lastText(), QStringLiteral("Update Dances Set Called=Null, CallIt=Null"));

    // The field commands take the window's focus control.
    struct Focused : RecordingWindow {
        bool Focus(FocusControl *f) override {
            *f = {"Dances", "Title", "Jig", false};
            return true;
        }
    } focused;
    SetMainWindowLink(&focused);
    tools.findChild<QAction *>("SetAll")->trigger();
    EXPECT_EQ(answerer->texts().last().trimmed(),
              QStringLiteral("\"Set all\" applies only to check boxes (with tick or blank as values)"));
    SetMainWindowLink(&window);
}

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
