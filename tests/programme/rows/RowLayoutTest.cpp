#include "tests/programme/ProgrammeTestHelpers.h"

#include "core/startup/Settings.h"
#include "programme/evaluation/ProgrammeData.h"
#include "programme/rows/RowLayout.h"
#include "programme/text/MyStringList.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QList<RowChild> OfKind(const RowGeometry &g, RowChild::Kind kind) {
    QList<RowChild> out;
    for (const RowChild &c : g.children)
        if (c.kind == kind) out.append(c);
    return out;
}

} // namespace

TEST(RowLayout, RowHeightCases) {
    const struct {
        int screenScale;
        bool large;
        int height;
    } cases[] = {
        {0, false, 16}, {0, true, 24}, {10000, false, 19}, {12500, false, 15}, {8000, true, 34}, {-3, false, 16},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.screenScale);
        EXPECT_EQ(RowHeight(c.screenScale, c.large), c.height);
    }
}

TEST(RowLayout, DisplayWidthDefaults) {
    EXPECT_EQ(DisplayWidth(QStringLiteral("200")), 200);
    EXPECT_EQ(DisplayWidth(QString()), 999);
    EXPECT_EQ(DisplayWidth(QStringLiteral("wide")), 999);
}

TEST(RowLayout, ColumnsFollowEachOtherWithTags) {
    const RowGeometry g =
        DanceRowGeometry({{"Title", 200}, {"Lvl", 20}, {"Recent", 30}, {"LastC", 60}, {"Time", 40}, {"Style", 999}},
                         {}, false);
    EXPECT_EQ(g.height, 16);
    ASSERT_EQ(g.children[0].kind, RowChild::Action);
    EXPECT_EQ(g.children[0].rect, (PixelRect{1, 1, 11, 14}));
    EXPECT_EQ(g.children[1].rect, (PixelRect{14, 1, 200, 14}));  // 14 .. 213
    const QList<RowChild> columns = OfKind(g, RowChild::Column);
    const QList<RowChild> lines = OfKind(g, RowChild::Separator);
    ASSERT_EQ(columns.size(), 6);
    ASSERT_EQ(lines.size(), 6);
    const int lefts[] = {14, 218, 242, 276, 340, 384};
    const int tags[] = {KeyTag, FieldTag, RecentTag, ComputedTag, TimeTag, KeyTag};
    const int lineLefts[] = {214, 238, 272, 336, 380, 1383};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(columns[i].rect.left, lefts[i]) << i;
        EXPECT_EQ(columns[i].tag, tags[i]) << i;
        EXPECT_EQ(lines[i].rect.left, lineLefts[i]) << i;
        EXPECT_EQ(lines[i].rect.width, 1) << i;
    }
}

TEST(RowLayout, ToFitKeepsSeparatorsThin) {
    // Scale 1.5: RowHeight 16 x 10000 div 15000 + 3 = 13; the separator at
    // 214..215 becomes 321..323 (2 pixels) and is set back to 1, as is the
    // 1-pixel column at 218..219 (327..329).
    const RowGeometry g = DanceRowGeometry({{"Title", 200}, {"Lvl", 1}}, {15000, true, false}, true);
    EXPECT_EQ(g.height, 20);  // 13 x 1.5 = 19.5, rounded
    const QList<RowChild> columns = OfKind(g, RowChild::Column);
    const QList<RowChild> lines = OfKind(g, RowChild::Separator);
    EXPECT_EQ(columns[0].rect, (PixelRect{21, 2, 300, 16}));
    EXPECT_EQ(lines[0].rect.left, 321);
    EXPECT_EQ(lines[0].rect.width, 1);
    EXPECT_EQ(columns[1].rect.width, 1);
    EXPECT_EQ(lines[1].rect.width, 1);
}

TEST(RowLayout, ToFitNeedsAScale) {
    EXPECT_EQ(DanceRowGeometry({{"Title", 200}}, {0, true, false}, true).children[1].rect,
              (PixelRect{14, 1, 200, 14}));
    // Without "To fit" only the row height follows the screen.
    const RowGeometry g = DanceRowGeometry({{"Title", 200}}, {15000, false, false}, true);
    EXPECT_EQ(g.height, 13);
    EXPECT_EQ(g.children[1].rect, (PixelRect{14, 1, 200, 11}));
}

TEST(RowLayout, LargeWidensNewRowsButNotTheirHeight) {
    const RowGeometry grown = DanceRowGeometry({{"Title", 200}}, {0, false, true}, true);
    EXPECT_EQ(grown.height, 24);
    EXPECT_EQ(grown.children[1].rect, (PixelRect{21, 1, 300, 22}));
    EXPECT_EQ(grown.children[2].rect.width, 1);
    // The column-title row is not grown.
    const RowGeometry title = DanceRowGeometry({{"Title", 200}}, {0, false, true}, false);
    EXPECT_EQ(title.children[1].rect, (PixelRect{14, 1, 200, 22}));
}

TEST(RowLayout, HeadingHasOnlyTheTimeColumn) {
    const RowGeometry g = HeadingRowGeometry({{"Title", 200}, {"Time", 40}}, {});
    ASSERT_EQ(g.children.size(), 3);
    EXPECT_EQ(g.children[1].name, QStringLiteral("Time"));
    EXPECT_EQ(g.children[1].rect, (PixelRect{14, 1, 40, 14}));
    EXPECT_EQ(g.children[2].rect, (PixelRect{54, 0, 1, 16}));
    EXPECT_EQ(HeadingRowGeometry({{"Title", 200}}, {}).children.size(), 1);
}

TEST(RowLayout, MulDivRoundsToNearest) {
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(7, 3, 0), 7);
}

TEST(RowColours, MixedProgramme) {
    const QList<ProgrammeItem> rows = {
        H("Evening"),          // 0 session heading
        D("A", "Technique", "x"), // 1 cyan
        D("", "", ""),         // 2 blank: white
        H("Next time"),        // 3 orange heading
        D("B", "Technique", "y"), // 4 orange beats cyan
        D("", "", ""),         // 5 orange beats white
        H("Interval"),         // 6 pause: yellow, does not end Next time
        D("C", "Longways", "z"),  // 7 still orange
        H("Second half"),      // 8 session heading ends Next time
        D("E", "Square", "z"), // 9 grey
        H("extras"),           // 10 other heading: yellow
        N("walk"),             // 11 notes
        Avg(),                 // 12
    };
    const QList<RowColour> c = RowColours(rows, 11);
    ASSERT_EQ(c.size(), rows.size());
    const Rgb backgrounds[] = {Blue,   Cyan,   White, Orange, Orange, Orange, Yellow,
                               Orange, Blue,   RowGrey, Yellow, SelectedRow, RowGrey};
    const Rgb fonts[] = {White, Black, Black, Black, Black, Black, Blue, Black, White, Black, Blue, Black, Black};
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(c[i].background, backgrounds[i]) << i;
        EXPECT_EQ(c[i].font, fonts[i]) << i;
        EXPECT_EQ(c[i].selected, i == 11) << i;
    }
    EXPECT_EQ(c[11].memo, SelectedMemo);
    EXPECT_EQ(c[12].memo, White);
}

TEST(RowColours, SelectedHeadingTakesBlackFont) {
    const QList<RowColour> c = RowColours({H("Evening"), D("A", "B", "C")}, 0);
    EXPECT_EQ(c[0].background, SelectedRow);
    EXPECT_EQ(c[0].font, Black);
}

TEST(MyStringList, SortedIgnoringCase) {
    TMyStringList list;
    list.setSorted(true);
    for (const char *s : {"banana", "Apple", "cherry", "apple", "\xC3\xa9" "clair", "Zed"})
        list.Add(QString::fromUtf8(s));
    // Folded: APPLE, APPLE, BANANA, CHERRY, ZED, ÉCLAIR (É sorts after the letters).
    EXPECT_EQ(list.Strings(), QStringList({"Apple", "apple", "banana", "cherry", "Zed", QString::fromUtf8("\xC3\xa9" "clair")}));
    int index = -1;
    EXPECT_TRUE(list.Find(QStringLiteral("BANANA"), index));
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(list.Find(QString::fromUtf8("\xC3\x89" "CLAIR"), index));
    EXPECT_EQ(list.IndexOf(QStringLiteral("ZED")), 4);
    EXPECT_EQ(list.IndexOf(QStringLiteral("date")), -1);
}

TEST(MyStringList, Duplicates) {
    TMyStringList list;
    list.setSorted(true);
    list.duplicates = TMyStringList::Duplicates::Ignore;
    EXPECT_EQ(list.Add(QStringLiteral("Reel")), 0);
    EXPECT_EQ(list.Add(QStringLiteral("REEL")), 0);
    EXPECT_EQ(list.Count(), 1);
    list.duplicates = TMyStringList::Duplicates::Error;
    EXPECT_THROW(list.Add(QStringLiteral("reel")), std::runtime_error);
    EXPECT_EQ(list.Count(), 1);
}

TEST(MyStringList, UnsortedKeepsOrderUntilSorted) {
    TMyStringList list;
    list.Add(QStringLiteral("b"));
    list.Add(QStringLiteral("A"));
    EXPECT_EQ(list.IndexOf(QStringLiteral("a")), 1);
    list.setSorted(true);
    EXPECT_EQ(list.Strings(), QStringList({"A", "b"}));
}
