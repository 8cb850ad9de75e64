#include "tests/programme/ProgrammeTestHelpers.h"

#include "programme/rows/ProgrammeEditor.h"
#include "programme/rows/RowDrag.h"

#include <gtest/gtest.h>

namespace {

// Four rows: A 0-20, B 20-40, C 40-70 (a taller note), D 70-90.
QList<DragRow> FourRows() { return {{0, 20}, {20, 20}, {40, 30}, {70, 20}}; }

struct DragCase {
    const char *name;
    int row;             // the row pressed (pointer at 100)
    QList<int> moves;    // pointer positions in turn
    int endIndex;        // where the row ends in the list
    QList<int> order;    // the rows' first places (A=0...), in list order
    QList<int> tops;     // after the release
    bool displaced;      // the event is marked edited
};

const DragCase DragCases[] = {
    {"two pixels neither move nor mark", 1, {102, 98, 101}, 1, {0, 1, 2, 3}, {0, 20, 40, 70}, false},
    {"not yet past the neighbour", 1, {110}, 1, {0, 1, 2, 3}, {0, 20, 40, 70}, true},
    {"past the taller neighbour below", 1, {116}, 2, {0, 2, 1, 3}, {0, 20, 50, 70}, true},
    {"past the neighbour above", 1, {89}, 0, {1, 0, 2, 3}, {0, 20, 40, 70}, true},
    {"down two places, one per move", 0, {200, 200}, 2, {1, 2, 0, 3}, {0, 20, 50, 70}, true},
    {"down and back again", 1, {116, 100, 90}, 1, {0, 1, 2, 3}, {0, 20, 40, 70}, true},
    {"the last row stays", 3, {140}, 3, {0, 1, 2, 3}, {0, 20, 40, 70}, false},
    {"the first row stays", 0, {60}, 0, {0, 1, 2, 3}, {0, 20, 40, 70}, false},
};

} // namespace

TEST(RowDrag, MovesRowsAmongTheirNeighbours) {
    for (const DragCase &c : DragCases) {
        SCOPED_TRACE(c.name);
        QList<DragRow> rows = FourRows();
        QList<int> order{0, 1, 2, 3};
        RowDrag drag;
        drag.Start(rows[c.row].top, 100);
        int index = c.row;
        for (int y : c.moves) {
            const int now = drag.Move(rows, index, y);
            if (now != index) order.swapItemsAt(index, now);
            index = now;
        }
        EXPECT_EQ(index, c.endIndex);
        EXPECT_EQ(drag.Release(rows, index), c.displaced);
        EXPECT_EQ(order, c.order);
        QList<int> tops;
        for (const DragRow &r : rows) tops.append(r.top);
        EXPECT_EQ(tops, c.tops);
        EXPECT_FALSE(drag.dragging);
    }
}

TEST(RowDrag, DoublePressInterval) {
    const double second = 1.0 / 86400;
    const double first = 46000.5;
    EXPECT_TRUE(IsDoublePress(first, first + 0.3 * second));
    EXPECT_FALSE(IsDoublePress(first, first + 0.4 * second));
    EXPECT_FALSE(IsDoublePress(0, 0.3 * second));          // no press before
    EXPECT_FALSE(IsDoublePress(first, first - 0.1 * second));  // the clock went back
}

TEST(ProgrammeEditor, ChoosingADanceForARow) {
    const QList<ProgrammeItem> rows{ProgrammeItem::dance("Waltz", "Couple", "English"),
                                    ProgrammeItem::dance("Reel", "Longways", "Scottish"),
                                    ProgrammeItem::dance("", "", ""), ProgrammeItem::heading("Interval"),
                                    ProgrammeItem::dance("", "", "")};
    EXPECT_TRUE(AsksReplace(rows[1], "Jig"));
    EXPECT_FALSE(AsksReplace(rows[1], "Reel"));
    EXPECT_FALSE(AsksReplace(rows[2], "Jig"));  // a blank row is simply filled
    EXPECT_TRUE(AlreadyOnProgramme(rows, 2, "Reel"));
    EXPECT_FALSE(AlreadyOnProgramme(rows, 1, "Reel"));   // the row itself does not count
    EXPECT_FALSE(AlreadyOnProgramme(rows, 2, "Waltz"));  // a waltz may come often
    EXPECT_FALSE(AlreadyOnProgramme(rows, 2, "reel"));
    EXPECT_EQ(NextBlankDance(rows, 1), 2);
    EXPECT_EQ(NextBlankDance(rows, 2), -1);  // a heading follows
    EXPECT_EQ(NextBlankDance(rows, 4), -1);
}
