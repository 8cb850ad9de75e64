#include "presentation/ContraFigures.h"

#include <gtest/gtest.h>

namespace {

int fig(const char *name) { return int(ContraFigures().indexOf(QString::fromUtf8(name))); }

QStringList names(const QList<int> &figures) {
    QStringList out;
    for (int f : figures) out << ContraFigures()[f];
    return out;
}

} // namespace

TEST(ContraFigures, Analysis) {
    ASSERT_EQ(ContraFigures().size(), 30);
    ASSERT_EQ(ContraReplacements().size(), 34);
    struct Row {
        const char *name, *text;
        QStringList figures;
    } rows[] = {
        {"partner balance and swing counts once", "Partner balance and swing.", {"Balance & swing ptnr"}},
        {"named twice still once, and nothing shorter",
         "Partner balance and swing. Then star left. Partner balance and swing.",
         {"Balance & swing ptnr", "Star"}},
        {"shuttle and gipsy", "Mad Robin, then sliding doors; gypsy nbr.", {"Gipsy", "Shuttle"}},
        {"neighbour swing", "Neighbour swing and circle left", {"Swing nbr", "Circle"}},
        {"right and left thru", "Right and left thru across", {"R & L through"}},
        {"down the hall by another name", "Four in line down, turn alone", {"Down the hall"}},
        {"reel becomes hey", "Ladies chain; reel of four", {"Hey", "Ladies chain"}},
        {"nothing", "Walk around the room.", {}},
    };
    for (const Row &r : rows) EXPECT_EQ(names(AnalyseFigures(r.text)), r.figures) << r.name;
}

TEST(ContraFigures, DataMarksAndGrid) {
    ContraData data;
    data.entries = {{"Ivy > Bridge", {fig("Petronella"), fig("Swing")}},
                    {"Zephyr Reel", {fig("Hey"), fig("Swing")}},
                    {"Alder", {fig("Petronella")}},
                    {"Empty", {}}};
    EXPECT_EQ(data.toString(), QString("|Ivy > Bridge>10>15>|Zephyr Reel>20>15>|Alder>10>|Empty>|"));
    EXPECT_EQ(data.matching({fig("Petronella")}, {fig("Hey")}), QStringList({"Alder", "Ivy > Bridge"}));
    EXPECT_EQ(data.matching({fig("Swing")}, {}), QStringList({"Ivy > Bridge", "Zephyr Reel"}));
    EXPECT_EQ(data.matching({}, {fig("Swing")}), QStringList({"Alder", "Empty"}));
    // Figure 5 must not match figure 15.
    ContraData five;
    five.entries = {{"Fifteen", {15}}, {"Five", {5}}};
    EXPECT_EQ(five.matching({5}, {}), QStringList({"Five"}));
    EXPECT_EQ(five.matching({}, {5}), QStringList({"Fifteen"}));

    ContraMarks marks;
    QList<ContraMarks::State> seen;
    for (int i = 0; i < 3; ++i) {
        marks.click(4);
        seen << marks.state(4);
    }
    EXPECT_EQ(seen, QList<ContraMarks::State>({ContraMarks::Must, ContraMarks::MustNot, ContraMarks::None}));
    EXPECT_TRUE(marks.empty());

    const ContraGrid g = BuildContraGrid({data.entries[1], data.entries[0], data.entries[1]});
    EXPECT_EQ(g.columns, QList<int>({fig("Petronella"), fig("Swing"), fig("Hey")}));
    EXPECT_EQ(g.totals, QList<int>({1, 3, 2}));
    EXPECT_EQ(g.titles, QStringList({"Zephyr Reel", "Ivy > Bridge", "Zephyr Reel"}));
    EXPECT_EQ(g.marks[1], QList<bool>({true, true, false}));
    EXPECT_EQ(g.unused.size(), 27);
    EXPECT_EQ(g.unused.first(), fig("Contra corners")) << "the unused line fills from the last column";
    EXPECT_EQ(g.figureOf(2), fig("Swing"));
    EXPECT_EQ(g.figureOf(g.columnCount() + 1), fig("Contra corners"));
    EXPECT_EQ(g.figureOf(g.columnCount()), -1) << "the caption label is no figure";
}

TEST(ContraFigures, HeaderSplit) {
    struct Row {
        const char *name, *split;
    } rows[] = {
        {"Balance & swing ptnr", "Balance &\rswing ptnr"},
        {"Balance & swing", "Balance\r& swing"},
        {"Star through", "Star\rthrough"},
        {"R & L through", "R & L\rthrough"},
        {"Rory O'More", "Rory\rO'More"},
        {"Petronella", "Petronella"},
        {"Do-si-do", "Do-si-do"},
        {"a b cd", "a b\rcd"}, // a tie: the later blank wins
    };
    for (const Row &r : rows) EXPECT_EQ(SplitHeader(r.name), QString(r.split)) << r.name;
    for (const QString &name : ContraFigures())
        EXPECT_EQ(SplitHeader(name).replace('\r', ' '), name) << "only a blank becomes the break";
}

TEST(ContraFigures, SectionAndExtras) {
    ContraData data;
    data.entries = {{"Ivy Bridge", {1}}, {"Zephyr Reel", {2}}, {"Spare", {3}}, {"Late", {4}}};
    const QList<ProgrammeItem> items{ProgrammeItem::heading("First half"), ProgrammeItem::dance("Ivy Bridge", "L", "A"),
                                     ProgrammeItem::dance("Not a contra", "L", "E"),
                                     ProgrammeItem::dance("zephyr reel", "L", "A"), ProgrammeItem::heading("Extras"),
                                     ProgrammeItem::dance("Spare", "L", "A"), ProgrammeItem::heading("Second half"),
                                     ProgrammeItem::dance("Late", "L", "A")};
    int asked = 0;
    auto ask = [&asked](bool yes) {
        return [&asked, yes] {
            ++asked;
            return yes;
        };
    };
    auto titles = [](const QList<ContraEntry> &kept) {
        QStringList out;
        for (const ContraEntry &e : kept) out << e.title;
        return out;
    };
    ContraExtrasAnswer.clear();
    EXPECT_EQ(titles(SectionEntries(items, 3, data, ask(false))), QStringList({"Ivy Bridge", "Zephyr Reel"}));
    EXPECT_EQ(titles(SectionEntries(items, 1, data, ask(true))), QStringList({"Ivy Bridge", "Zephyr Reel"}))
        << "the first answer is kept for the event";
    EXPECT_EQ(asked, 1);
    ContraExtrasAnswer.clear();
    EXPECT_EQ(titles(SectionEntries(items, 2, data, ask(true))), QStringList({"Ivy Bridge", "Zephyr Reel", "Spare"}));
    EXPECT_EQ(titles(SectionEntries(items, 7, data, ask(true))), QStringList({"Late"}));
    ContraExtrasAnswer.clear();
}

TEST(ContraFigures, ProcessSteps) {
    ContraProcess p;
    p.start("Partner swing.");
    ASSERT_TRUE(p.running());
    EXPECT_EQ(ContraReplacements()[p.step].first, ".") << "replacements that do not apply are passed";
    QStringList olds;
    while (p.running()) {
        olds << ContraReplacements()[p.step].first;
        p.press();
    }
    EXPECT_EQ(olds, QStringList({".", "partner", "Ptnr swing"}));
    EXPECT_EQ(p.text, "Swing ptnr ");
}
