#include "presentation/music/RecordingsGrid.h"

#include "TestSupport.h"

#include <QTableWidget>

namespace {

QList<RecRow> Numbered(int count) {
    QList<RecRow> rows(count);
    for (int r = 0; r < count; ++r) rows[r].cells[0] = QString::number(r);
    return rows;
}

} // namespace

// After a refresh the current row is where a table widget given the same
// rows (cells cleared, new row count) has it.
TEST(RecordingsGrid, CurrentRowMovesAsInATableWidget) {
    const struct {
        int before, current, after;
    } cases[] = {{10, 5, 3}, {10, 5, 20}, {10, 9, 0}, {0, -1, 5}, {10, 2, 10}, {4, 3, 4}};
    for (const auto &c : cases) {
        QTableWidget widget(c.before, 4);
        RecordingsGrid grid;
        grid.setRows(Numbered(c.before));
        int changes = 0;
        QObject::connect(&grid, &RecordingsGrid::currentCellChanged, [&] { ++changes; });
        widget.setSelectionBehavior(QAbstractItemView::SelectRows);
        grid.setSelectionBehavior(QAbstractItemView::SelectRows);
        if (c.current >= 0) {
            widget.setCurrentCell(c.current, 0);
            grid.setCurrentCell(c.current, 0);
        }
        EXPECT_EQ(changes, c.current >= 0 ? 1 : 0);
        widget.clearContents();
        widget.setRowCount(c.after);
        grid.setRows(Numbered(c.after));
        EXPECT_EQ(grid.currentRow(), widget.currentRow()) << c.before << " " << c.current << " " << c.after;
        EXPECT_EQ(grid.rowCount(), c.after);
        EXPECT_EQ(changes, c.current >= 0 ? 1 : 0); // the rows come in quietly
        EXPECT_EQ(grid.text(c.after - 1, 0), c.after > 0 ? QString::number(c.after - 1) : QString());
    }
}

// Rows given while the grid is hidden are made when it is read or shown,
// from the last rows given; a showing grid makes them at once.
TEST(RecordingsGrid, HiddenGridMakesItsRowsWhenNeeded) {
    RecordingsGrid grid;
    int made = 0;
    grid.setRowsWhenNeeded([&] { return ++made, Numbered(3); });
    grid.setRowsWhenNeeded([&] { return ++made, Numbered(5); });
    EXPECT_EQ(made, 0);
    EXPECT_EQ(grid.rowCount(), 5);
    EXPECT_EQ(grid.firstCells(), QStringList({"0", "1", "2", "3", "4"}));
    EXPECT_EQ(made, 1);

    grid.setRowsWhenNeeded([&] { return ++made, Numbered(2); });
    grid.show();
    EXPECT_EQ(made, 2);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    grid.setRowsWhenNeeded([&] { return ++made, Numbered(1); });
    EXPECT_EQ(made, 3);
    EXPECT_EQ(grid.model()->rowCount(), 1);
}
