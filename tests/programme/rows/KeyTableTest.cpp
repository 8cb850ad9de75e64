#include "programme/rows/KeyTable.h"

#include <gtest/gtest.h>

namespace {

constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Ctrl = Qt::ControlModifier;

struct KeyCase {
    const char *name;
    KeyContext context;
    KeyCommand command;
    char typed;
    bool taken;
};

KeyContext On(KeyPage page, int key, Qt::KeyboardModifiers mods = {}) {
    KeyContext c;
    c.page = page;
    c.key = key;
    c.modifiers = mods;
    return c;
}
template <typename F> KeyContext With(KeyContext c, F change) { change(c); return c; }

const KeyCase Cases[] = {
    {"heading box: Enter applies", With(On(KeyPage::Events, Qt::Key_Return), [](auto &c) { c.newTextShowing = true; }), KeyCommand::NewTextEnter, 0, true},
    {"heading box: Down hides, passes", With(On(KeyPage::Events, Qt::Key_Down), [](auto &c) { c.newTextShowing = true; }), KeyCommand::HideNewText, 0, false},
    {"heading box: a letter types", With(On(KeyPage::Events, Qt::Key_A), [](auto &c) { c.newTextShowing = true; }), KeyCommand::None, 0, false},
    {"Shift+Insert in a memo pastes", With(On(KeyPage::Events, Qt::Key_Insert, Shift), [](auto &c) { c.memoFocus = true; }), KeyCommand::PasteMemo, 0, true},
    {"Shift+Insert elsewhere passes", On(KeyPage::Events, Qt::Key_Insert, Shift), KeyCommand::None, 0, false},
    {"Alt passes", On(KeyPage::Events, Qt::Key_Down, Qt::AltModifier), KeyCommand::None, 0, false},
    {"splash passes", With(On(KeyPage::Events, Qt::Key_Down), [](auto &c) { c.splashShowing = true; }), KeyCommand::None, 0, false},
    {"Ctrl+S passes to the menu", On(KeyPage::Events, Qt::Key_S, Ctrl), KeyCommand::None, 0, false},
    {"grid: Ctrl+Down on Dances is a group", With(On(KeyPage::Dances, Qt::Key_Down, Ctrl), [](auto &c) { c.gridShowing = true; }), KeyCommand::GridNextGroup, 0, true},
    {"grid: Ctrl+Up on Events is a record", With(On(KeyPage::Events, Qt::Key_Up, Ctrl), [](auto &c) { c.gridShowing = true; }), KeyCommand::GridPrior, 0, true},
    {"grid's memo editor: Ctrl+End is its own", With(On(KeyPage::Dances, Qt::Key_End, Ctrl), [](auto &c) { c.gridShowing = c.gridMemoFocus = true; }), KeyCommand::None, 0, false},
    {"grid's memo editor: F10 leaves the table", With(On(KeyPage::Events, Qt::Key_F10), [](auto &c) { c.gridShowing = c.gridMemoFocus = true; }), KeyCommand::PreviousPage, 0, true},
    {"grid: a letter passes", With(On(KeyPage::Dances, Qt::Key_A), [](auto &c) { c.gridShowing = true; }), KeyCommand::None, 0, false},
    {"pick list: Down", With(On(KeyPage::Events, Qt::Key_Down), [](auto &c) { c.fieldEntered = c.popListShowing = true; }), KeyCommand::PickDown, 0, true},
    {"field without list passes", With(On(KeyPage::Events, Qt::Key_Down), [](auto &c) { c.fieldEntered = true; }), KeyCommand::None, 0, false},
    {"note memo lets keys pass", With(On(KeyPage::Events, Qt::Key_Down), [](auto &c) { c.memoFocus = true; }), KeyCommand::None, 0, false},
    {"Shift+Up moves the row", On(KeyPage::Events, Qt::Key_Up, Shift), KeyCommand::RowMoveUp, 0, true},
    {"Ctrl+Down: next session", On(KeyPage::Events, Qt::Key_Down, Ctrl), KeyCommand::SessionNext, 0, true},
    {"Shift+PgDn moves a screen", On(KeyPage::Events, Qt::Key_PageDown, Shift), KeyCommand::RowMovePageDown, 0, true},
    {"Ctrl+Left: organiser's event", On(KeyPage::Events, Qt::Key_Left, Ctrl), KeyCommand::EventPriorOfOrg, 0, true},
    {"H with no dance row finds an event", On(KeyPage::Events, Qt::Key_H), KeyCommand::FindEvent, 'H', true},
    {"Shift+H on a dance row: chooser with !", With(On(KeyPage::Events, Qt::Key_H, Shift), [](auto &c) { c.danceRowSelected = true; }), KeyCommand::ChooseForRow, '!', true},
    {"0 is no type-ahead", On(KeyPage::Events, Qt::Key_0), KeyCommand::None, 0, false},
    {"Dances: the double quote finds", On(KeyPage::Dances, Qt::Key_QuoteDbl), KeyCommand::FindDance, '"', true},
    {"Dances: Ctrl+Right in the programme", On(KeyPage::Dances, Qt::Key_Right, Ctrl), KeyCommand::DanceNextInProgramme, 0, true},
    {"Recordings: Ctrl+Down", On(KeyPage::Recordings, Qt::Key_Down, Ctrl), KeyCommand::RecordingsNextFolder, 0, true},
    {"Recordings: plain Down passes", On(KeyPage::Recordings, Qt::Key_Down), KeyCommand::None, 0, false},
    {"Folders: F5", On(KeyPage::Folders, Qt::Key_F5), KeyCommand::FoldersRefill, 0, true},
    {"Rules: all pass", On(KeyPage::Rules, Qt::Key_Down), KeyCommand::None, 0, false},
};

} // namespace

TEST(KeyTable, Decisions) {
    for (const KeyCase &c : Cases) {
        SCOPED_TRACE(c.name);
        const KeyDecision d = DecideKey(c.context);
        EXPECT_EQ(d.command, c.command);
        EXPECT_EQ(d.taken, c.taken);
        EXPECT_EQ(d.typed, c.typed ? QChar(c.typed) : QChar());
    }
}

TEST(KeyTable, PageRowStopsBeforeTheScreenIsFull) {
    const QList<int> heights{20, 20, 40, 20, 20, 20};
    EXPECT_EQ(PageRow(heights, 0, 60, true), 2);   // 20 + 40 fit, the next 20 does not
    EXPECT_EQ(PageRow(heights, 5, 45, false), 3);  // 20 + 20, then 40 exceeds
    EXPECT_EQ(PageRow(heights, 4, 1000, true), 5);
}
