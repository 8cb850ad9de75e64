#include "TablesFixture.h"
#include "core/DatabasePages.h"
#include "core/Tables.h"
#include "platform/sqlite/DatasetModel.h"

#include <QAction>
#include <QMainWindow>
#include <QTableView>
#include <QTest>

TEST_F(TablesTest, PagesListTheTablesAndTheClickedColumnIsTheFocus) {
    useSample();
    QMainWindow window;
    auto *pages = new DatabasePages(&window);
    EXPECT_EQ(&TheMainWindow(), pages);
    ASSERT_TRUE(StartDatabase());
    window.show();
    auto *events = window.findChild<QTableView *>("EventsGrid");
    auto *dances = window.findChild<QTableView *>("DancesGrid");
    ASSERT_TRUE(events && dances);
    EXPECT_EQ(events->model()->rowCount(), EventsData.VisibleCount());
    EXPECT_EQ(dances->model()->rowCount(), DancesData.VisibleCount());
    EXPECT_EQ(events->currentIndex().row(), EventsData.RecordIndex()) << "the view follows the current event";
    for (const char *name : {"SetAll", "ChangeAll", "DeleteEvents", "DeleteDances", "RemoveCalled", "ViewSQL", "RerunSQL",
                             "Compress", "BackupM", "RestoreM", "DosShell", "EditIni", "EditTemplate", "ToDo",
                             "SwitchDatabase", "CheckDelimiter"})
        EXPECT_NE(window.findChild<QAction *>(name), nullptr) << name;
    EXPECT_EQ(window.findChild<QAction *>("ChangeAll")->property("HelpContext").toInt(), 51620);

    FocusControl focus;
    EXPECT_FALSE(pages->Focus(&focus));
    const auto *model = static_cast<DatasetModel *>(dances->model());
    int printed = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->fieldAt(c) == "Printed") printed = c;
    ASSERT_GE(printed, 0);
    const QModelIndex cell = model->index(2, printed);
    dances->scrollTo(cell);
    QTest::mouseClick(dances->viewport(), Qt::LeftButton, {}, dances->visualRect(cell).center());
    ASSERT_TRUE(pages->Focus(&focus));
    EXPECT_EQ(focus.table, QStringLiteral("Dances"));
    EXPECT_EQ(focus.field, QStringLiteral("Printed"));
    EXPECT_TRUE(focus.isCheckBox);
    EXPECT_EQ(DancesData.RecordIndex(), 2) << "the clicked row becomes the current dance";
    EXPECT_EQ(focus.text, DancesData.FieldByName("Printed").AsString());
    delete pages;
    FocusControl none;
    EXPECT_FALSE(TheMainWindow().Focus(&none)) << "the window's link goes with it";
}
