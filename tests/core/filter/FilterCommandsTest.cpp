#include "base/Cp1252.h"
#include "base/Messages.h"
#include "core/filter/FilterCommands.h"
#include "core/filter/Tags.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/DbFixture.h"

#include <QDate>

namespace {

// The main window as the tests see it: a page, a grid and a focused box to
// set, and a record of what the commands asked it to show.
class FakeUi : public FilterUi {
public:
    bool eventsPage = false;
    bool grid = false;
    QString gridField;
    FocusControlInfo lastBox;
    QString band;
    QString caption;
    QMap<FilterTable, bool> indicator;
    QMap<FilterTable, QString> hint;
    QList<bool> gridViews;
    QList<int> selectedRows;
    QList<ProgrammeItem> rows;
    int savedEvents = 0;

    bool EventsPageActive() const override { return eventsPage; }
    bool GridShowing(FilterTable) const override { return grid; }
    QString GridColumnField(FilterTable) const override { return gridField; }
    FocusControlInfo LastFocusedBox() const override { return lastBox; }
    QString BandText() const override { return band; }
    QList<ProgrammeItem> ProgrammeRows() const override { return rows; }
    void SetCaption(const QString &c) override { caption = c; }
    void ShowIndicator(FilterTable t, bool shown, const QString &h) override {
        indicator[t] = shown;
        hint[t] = h;
    }
    void ShowPage(FilterTable t) override { eventsPage = t == FilterTable::Events; }
    // Views switched are recorded; the grid stays as the test put it.
    void SetGridView(FilterTable, bool g) override { gridViews.append(g); }
    void SelectProgrammeRow(int r) override { selectedRows.append(r); }
    void SaveShownEvent() override { ++savedEvents; }
};

FocusControlInfo box(const QString &field) {
    FocusControlInfo f;
    f.name = field + "Box";
    f.field = field;
    return f;
}

} // namespace

class FilterCommandsTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        db.execRaw("PRAGMA synchronous=OFF"); // test rows need no flush to disk
        ResetFilterState();
        ResetTagState();
        ResetFilterCommands();
        ProgrammeSeparator = SepDot;
        TestAnswerer::onUnscripted = [](const QString &t) { ADD_FAILURE() << t.toStdString(); };
    }
    void TearDown() override {
        if (HasFailure())
            for (const QString &t : answerer->texts()) ADD_FAILURE() << "box: " << t.toStdString();
        TestAnswerer::onUnscripted = {};
        ResetFilterCommands();
        ResetFilterState();
        ResetTagState();
        events.reset();
        dances.reset();
        DbTest::TearDown();
    }
    void open() {
        events = std::make_unique<Dataset>(db, "Events");
        events->setIndexName("EDate");
        events->open();
        dances = std::make_unique<Dataset>(db, "Dances");
        dances->setIndexName("FST");
        dances->open();
        BindFilterDatasets(&db, events.get(), dances.get());
        SetFilterUi(&ui);
        SetFilterDialog([this](const QString &caption, const QString &field, const QString &value, FilterAnswer &a) {
            dialogs.append(caption + "|" + field + "|" + value);
            if (answers.isEmpty()) return false;
            a = answers.takeFirst();
            return true;
        });
    }
    QStringList shownTitles() {
        QStringList out;
        for (qint64 b : dances->VisibleBookmarks())
            out.append(scalar("SELECT Title FROM Dances WHERE rowid=?", {b}).toString());
        return out;
    }
    QStringList shownEvents() {
        QStringList out;
        for (qint64 b : events->VisibleBookmarks())
            out.append(scalar("SELECT Event FROM Events WHERE rowid=?", {b}).toString());
        return out;
    }
    void addSimpleDances() {
        addDance("Reel of Tulloch", "Longways", "Scottish", {{"Called", 12}, {"Author", "Trad"}});
        addDance("Reel", "Longways", "English", {{"Called", 3}});
        addDance("Jig", "Circle", "English", {{"Called", 11}, {"Author", "Anon"}});
        addDance("Waltz", "Square", "English");
    }
    // Four dances, the tables open and the Dances filtered on "reel" in Title.
    void openFilteredOnReel() {
        addSimpleDances();
        open();
        ui.lastBox = box("Title");
        answers = {answer("reel")};
        FilterClick(FilterSender::Filter);
    }
    FilterAnswer answer(const QString &v, bool full = false, bool cs = false, bool nb = false) {
        return FilterAnswer{v, full, cs, nb};
    }
    static QString prog(const QStringList &titles) {
        const QString s = QString(SepDot);
        QString p = s;
        for (const QString &t : titles)
            p += "D|" + t + "|Longways|English" + s;
        return p;
    }
    static double day(int y, int m, int d) { return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d))); }

    FakeUi ui;
    QList<FilterAnswer> answers;
    QStringList dialogs;
    std::unique_ptr<Dataset> events, dances;
};

TEST_F(FilterCommandsTest, FilterOnTitleAndCaption) {
    addSimpleDances();
    open();
    ui.lastBox = box("Title");
    dances->GotoBookmark(dances->VisibleBookmarks()[1]);
    const QString current = dances->FieldByName("Title").AsString();
    answers = {answer("reel")};
    FilterClick(FilterSender::Filter);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0], "Filter|Title|" + current);
    EXPECT_EQ(shownTitles(), (QStringList{"Reel", "Reel of Tulloch"}));
    EXPECT_TRUE(ui.indicator[FilterTable::Dances]);
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Title contains reel");
    EXPECT_EQ(ui.caption, "Quillary displaying 2 records      Dances are filtered:  Title contains reel");
    EXPECT_EQ(ui.gridViews, (QList<bool>{true}));
    EXPECT_EQ(FilterFocus.name, "TitleBox");
    // The indicator ends the filter.
    FilterClick(FilterSender::DancesIndicator);
    EXPECT_FALSE(dances->Filtered());
    EXPECT_FALSE(ui.indicator[FilterTable::Dances]);
    EXPECT_EQ(ui.caption, "Quillary displaying 4 records      ");
}

TEST_F(FilterCommandsTest, FourConditionsThenTooMany) {
    addSimpleDances();
    open();
    ui.lastBox = box("Title");
    answers = {answer("e")};
    FilterClick(FilterSender::Filter);
    ui.lastBox = box("Format");
    answers = {answer("Longways", true)};
    FilterClick(FilterSender::Multi);
    EXPECT_EQ(dialogs.last().section('|', 0, 0), "Multi-filter");
    ui.lastBox = box("Called");
    answers = {answer(">2")};
    FilterClick(FilterSender::Multi);
    ui.lastBox = box("Author");
    answers = {answer("", false, false, true)};
    FilterClick(FilterSender::Multi);
    EXPECT_EQ(DancesFilter.Count, 4);
    EXPECT_EQ(shownTitles(), (QStringList{"Reel of Tulloch"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances],
              "Dances are filtered:  Title contains e, and Format = Longways, and Called >2, and Author non-blank");
    const FilterDef before = DancesFilter;
    answers = {answer("x")};
    EXPECT_THROW(FilterClick(FilterSender::Multi), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Too many filters"));
    EXPECT_EQ(DancesFilter, before);
    EXPECT_EQ(shownTitles(), (QStringList{"Reel of Tulloch"}));
}

TEST_F(FilterCommandsTest, CancelledMultiKeepsEarlierConditions) {
    openFilteredOnReel();
    const FilterDef before = DancesFilter;
    ui.lastBox = box("Author");
    FilterClick(FilterSender::Multi); // no answer: Cancel
    EXPECT_EQ(DancesFilter, before);
    EXPECT_EQ(DancesFilter.Count, 1);
    EXPECT_EQ(shownTitles(), (QStringList{"Reel", "Reel of Tulloch"}));
    // The next Multi-filter builds on the first condition alone.
    ui.lastBox = box("Called");
    answers = {answer(">5")};
    FilterClick(FilterSender::Multi);
    EXPECT_EQ(DancesFilter.Count, 2);
    EXPECT_EQ(shownTitles(), (QStringList{"Reel of Tulloch"}));
}

TEST_F(FilterCommandsTest, RefusedValuesPutTheConditionBack) {
    openFilteredOnReel();
    const FilterDef before = DancesFilter;
    struct Case {
        const char *name;
        QString field, value, message;
    };
    const QList<Case> cases = {
        {"longer than field", "Format", QString(51, 'x'), "Search value is longer than field"},
        {"negated, still longer", "Format", "<>" + QString(51, 'x'), "Search value is longer than field"},
        {"non-numeric", "Called", "many", "Non-numeric value specified."},
    };
    for (const Case &c : cases) {
        answerer->clear();
        ui.lastBox = box(c.field);
        answers = {answer(c.value)};
        FilterClick(FilterSender::Multi);
        EXPECT_TRUE(answerer->sawText(c.message)) << c.name;
        EXPECT_EQ(DancesFilter, before) << c.name;
        EXPECT_EQ(shownTitles(), (QStringList{"Reel", "Reel of Tulloch"})) << c.name;
    }
    // "<>" followed by exactly the field's size is taken.
    ui.lastBox = box("Format");
    answers = {answer("<>" + QString(50, 'x'))};
    FilterClick(FilterSender::Multi);
    EXPECT_EQ(DancesFilter.Count, 2);
}

TEST_F(FilterCommandsTest, InsertStateAndUnfilterableFields) {
    addSimpleDances();
    open();
    dances->Insert();
    ui.lastBox = box("Title");
    EXPECT_THROW(FilterClick(FilterSender::Filter), SilentAbort);
    EXPECT_TRUE(answerer->sawText("You cannot set a filter while creating a new record."));
    dances->Cancel();
    ui.lastBox = FocusControlInfo{};
    EXPECT_THROW(FilterClick(FilterSender::Filter), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Sorry, you cannot filter on this."));
    ui.lastBox = box("IsRec");
    EXPECT_THROW(FilterClick(FilterSender::Filter), SilentAbort);
    EXPECT_TRUE(answerer->sawText("You cannot filter on this derived field.\nInstead filter on Band containing \"record\"."));
    EXPECT_TRUE(dialogs.isEmpty());
    EXPECT_FALSE(dances->Filtered());
}

TEST_F(FilterCommandsTest, YesNoFields) {
    addSimpleDances();
    addDance("Pending One", "Longways", "English", {{"Printed", "Y"}, {"Callit", "Y"}});
    open();
    ui.lastBox = box("Callit");
    FilterClick(FilterSender::Filter);
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(DancesFilter.Value[1], "Y");
    EXPECT_EQ(shownTitles(), (QStringList{"Pending One"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Callit checked");
    ui.lastBox = box("Printed");
    answerer->script(ResultNo); // Blank
    FilterClick(FilterSender::Filter);
    EXPECT_EQ(answerer->boxes.last().text, "Select value for... Printed");
    EXPECT_EQ(shownTitles().size(), 4);
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Printed not checked");
    answerer->script(ResultCancel);
    ui.lastBox = box("OwnTune");
    FilterClick(FilterSender::Multi);
    EXPECT_EQ(DancesFilter.Count, 1);
    EXPECT_EQ(DancesFilter.Field[1], "Printed");
}

TEST_F(FilterCommandsTest, GridColumnAndEventsPage) {
    addEvent("Hall", day(2026, 11, 1), "Ball", {{"Band", "The Fiddlers"}});
    addEvent("Barn", day(2026, 11, 8), "Dance");
    addEvent("Hall", day(2026, 11, 15), "Workshop");
    open();
    ui.eventsPage = true;
    ui.grid = true;
    ui.gridField = "Org";
    answers = {answer("hall")};
    FilterClick(FilterSender::Filter);
    EXPECT_EQ(shownEvents(), (QStringList{"Ball", "Workshop"}));
    EXPECT_EQ(ui.hint[FilterTable::Events], "Events are filtered:  Org contains hall");
    EXPECT_TRUE(DancesFilter.Field[1].isEmpty());
    // A date field compares its text.
    ui.gridField = "EDate";
    answers = {answer("8-Nov")};
    FilterClick(FilterSender::Filter);
    EXPECT_EQ(shownEvents(), (QStringList{"Dance"}));
    // One record left with the grid showing: back to form view.
    EXPECT_EQ(ui.gridViews.last(), false);
    // The tunes of the band take the Band box's text.
    ui.band = "The Fiddlers";
    FilterClick(FilterSender::BandTunes);
    EXPECT_EQ(shownEvents(), (QStringList{"Ball"}));
    // The Events indicator removes the filter.
    FilterClick(FilterSender::EventsIndicator);
    EXPECT_FALSE(events->Filtered());
    EXPECT_EQ(EventsFilter.Count, 0);
    EXPECT_FALSE(ui.indicator[FilterTable::Events]);
}

TEST_F(FilterCommandsTest, NotRecentIgnoresTheShownProgrammeAndOldEvents) {
    addDance("Old", "Longways", "English");
    addDance("Recent", "Longways", "English");
    addDance("Reel", "Longways", "English");
    addDance("Reel of Tulloch", "Longways", "English");
    addDance("Shown", "Longways", "English");
    addDance("Later", "Longways", "English");
    addDance("reel", "Square", "English");
    addEvent("Hall", day(2024, 1, 10), "Old", {{"Programme", prog({"Old"})}});
    addEvent("Barn", day(2026, 3, 1), "Recent", {{"Programme", prog({"Recent", "Reel of Tulloch"})}});
    addEvent("Hall", day(2026, 6, 1), "Mid", {{"Programme", prog({"Reel"})}});
    const qint64 shown = addEvent("Hall", day(2026, 12, 1), "Shown", {{"Programme", prog({"Shown"})}});
    addEvent("Hall", day(2027, 1, 1), "Later", {{"Programme", prog({"Later"})}});
    open();
    events->GotoBookmark(shown);
    NotClick(NotSelection::Recent);
    EXPECT_EQ(NotChecked, NotSelection::Recent);
    EXPECT_TRUE(DFilterOn);
    // 18 months of 30 days back from 1 December 2026: 9 June 2025.
    EXPECT_EQ(shownTitles(), (QStringList{"Later", "Old", "Shown", "reel"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Not recent");
    EXPECT_EQ(ui.caption, "Quillary displaying 4 records      Dances are filtered:  Not recent");
    // A condition added later keeps the selection.
    ui.lastBox = box("Title");
    answers = {answer("e")};
    FilterClick(FilterSender::Filter);
    EXPECT_EQ(shownTitles(), (QStringList{"Later", "reel"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Not recent, and Title contains e");
    // Clicking the item again drops it.
    NotClick(NotSelection::Recent);
    EXPECT_EQ(NotChecked, NotSelection::None);
    EXPECT_FALSE(DFilterOn);
    EXPECT_FALSE(dances->Filtered());
    EXPECT_EQ(ui.savedEvents, 1);
}

TEST_F(FilterCommandsTest, NotThisOrgAndNotBoth) {
    addDance("Hall Old", "Longways", "English");
    addDance("Hall New", "Longways", "English");
    addDance("Barn New", "Longways", "English");
    addDance("Undated", "Longways", "English");
    addDance("Never", "Longways", "English");
    addEvent("Hall", day(2019, 1, 1), "A", {{"Programme", prog({"Hall Old"})}});
    addEvent("Hall", day(2026, 1, 1), "B", {{"Programme", prog({"Hall New"})}});
    addEvent("Barn", day(2026, 2, 1), "C", {{"Programme", prog({"Barn New"})}});
    const qint64 shown = addEvent("HALL", 1095730, "Shown", {{"Programme", prog({"Never"})}});
    addEvent("Hall", 1095730, "Plan", {{"Programme", prog({"Undated"})}});
    open();
    // The shown event is undated: today is the reference; the other undated
    // one comes after it in the table's order.
    events->GotoBookmark(shown);
    NotClick(NotSelection::This);
    EXPECT_EQ(OrgName, "HALL");
    EXPECT_EQ(shownTitles(), (QStringList{"Barn New", "Never", "Undated"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Not called for HALL");
    NotClick(NotSelection::Both);
    EXPECT_EQ(NotChecked, NotSelection::Both);
    EXPECT_EQ(shownTitles(), (QStringList{"Barn New", "Hall Old", "Never", "Undated"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Not recent for HALL");
}

TEST_F(FilterCommandsTest, NeglectedKeepsACheckedNotRecent) {
    addDance("Often old", "Longways", "English", {{"Called", 15}});
    addDance("Often recent", "Longways", "English", {{"Called", 15}});
    addDance("Seldom", "Longways", "English", {{"Called", 2}});
    const qint64 shown = addEvent("Hall", day(2026, 12, 1), "Shown", {{"Programme", prog({})}});
    addEvent("Hall", day(2026, 10, 1), "Before", {{"Programme", prog({"Often recent"})}});
    open();
    events->GotoBookmark(shown);
    NotClick(NotSelection::Recent);
    answerer->script(ResultYes); // Show
    NeglectedClick();
    EXPECT_EQ(answerer->boxes.last().text,
              "Show dances which have been called more than \n10 times but not called in the last 18 months?");
    EXPECT_EQ(NotChecked, NotSelection::Recent);
    EXPECT_EQ(shownTitles(), (QStringList{"Often old"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Not recent, and Called >10");
    EXPECT_EQ(FilterFocus.field, "Called");
}

TEST_F(FilterCommandsTest, NeglectedChangeWritesTheSettings) {
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    addDance("Often", "Longways", "English", {{"Called", 6}});
    addDance("Seldom", "Longways", "English", {{"Called", 4}});
    open();
    answerer->script(ResultNo); // Change
    answerer->scriptText("5");
    answerer->scriptText("12");
    NeglectedClick();
    EXPECT_EQ(IniFile->ReadString("System", "CTimes", ""), "5");
    EXPECT_EQ(IniFile->ReadString("System", "CPeriod", ""), "12");
    EXPECT_EQ(shownTitles(), (QStringList{"Often"}));
    answerer->script(ResultCancel);
    NeglectedClick();
    EXPECT_EQ(shownTitles(), (QStringList{"Often"}));
}

TEST_F(FilterCommandsTest, OddFormats) {
    for (int i = 0; i < 20; ++i)
        addDance(QString("Common %1").arg(i), "Longways", "English");
    addDance("Rare", "Square", "English");
    addDance("Rare Scottish", "Square", "Scottish Country");
    addDance("Quoted", "Trio 'n' \"Duo\"", "English");
    open();
    ui.lastBox = box("Title");
    answers = {answer("rare")};
    FilterClick(FilterSender::Filter);
    OddFormatClick();
    EXPECT_EQ(shownTitles(), (QStringList{"Rare", "Quoted"}));
    EXPECT_TRUE(DFilterOn);
    EXPECT_EQ(DancesFilter.Count, 1);
    EXPECT_EQ(DancesFilter.Value[1], "[Odd format]");
    EXPECT_EQ(ui.gridViews.last(), true);
}

TEST_F(FilterCommandsTest, SessionSelection) {
    const QString s = QString(SepDot);
    addEvent("Hall", day(2026, 11, 1), "Ball", {{"Programme", s + "O|Evening Dance" + s + "D|A|B|C" + s}});
    addEvent("Barn", day(2026, 11, 8), "Day", {{"Programme", s + "O|Workshop" + s + "O|EVENING" + s}});
    addEvent("Club", day(2026, 11, 15), "Club", {{"Programme", s + "D|Evening Star|F|S" + s}});
    openFilteredOnReel();
    answerer->scriptText("evening");
    SessionClick();
    EXPECT_EQ(answerer->boxes.last().text, "Enter part of session name");
    EXPECT_EQ(shownEvents(), (QStringList{"Ball", "Day"}));
    EXPECT_EQ(ui.hint[FilterTable::Events], "Events are filtered:  by Session title");
    EXPECT_TRUE(SessionKeyList.startsWith("|Hall|"));
    // The Dances filter is untouched.
    EXPECT_EQ(shownTitles(), (QStringList{"Reel", "Reel of Tulloch"}));
    // An abandoned command in between does not drop the selection.
    EXPECT_THROW(AbortMsg("Stop"), SilentAbort);
    events->requery();
    EXPECT_EQ(shownEvents(), (QStringList{"Ball", "Day"}));
    EXPECT_EQ(ui.hint[FilterTable::Events], "Events are filtered:  by Session title");
    // The Events filter going off ends it.
    ui.eventsPage = true;
    FilterClick(FilterSender::EventsIndicator);
    EXPECT_FALSE(SessionSelection);
    EXPECT_EQ(shownEvents().size(), 3);
}

// Events carry their time of day: the chosen day's events are found whatever
// their times; a choice that matches none moves nothing.
TEST_F(FilterCommandsTest, FindEventOnADayWhateverItsTimes) {
    const double nov8 = day(2026, 11, 8);
    const qint64 eve = addEvent("Hall", nov8 - 0.01, "Workshop"), barn = addEvent("Barn", nov8 + 0.75, "Dance"),
                 ball = addEvent("Hall", nov8 + 0.8125, "Ball"), workshop = addEvent("hall", nov8 + 0.9, "Workshop"),
                 later = addEvent("Hall", nov8 + 1, "Later"), start = addEvent("Hall", nov8 + 30, "Far");
    open();
    const std::pair<EventChoice, qint64> cases[] = {
        {{"Barn", "Sun 8-Nov-26", "Dance"}, barn},  {{"Hall", "Sun 8-Nov-26", "Ball"}, ball},
        {{"HALL", "Sun 8-Nov-26", "workshop"}, workshop}, {{"Hall", "Sat 7-Nov-26", "Workshop"}, eve},
        {{"Hall", "Mon 9-Nov-26", "Later"}, later}, {{"Hall", "Sun 8-Nov-26", "Later"}, start},
        {{"Hall", "Tue 10-Nov-26", "Ball"}, start}};
    for (const auto &[choice, found] : cases) {
        events->Last();
        SetEventChooser([&choice] { return std::optional<EventChoice>(choice); });
        FindEventClick();
        EXPECT_EQ(events->GetBookmark(), found) << choice.dateText.toStdString() << choice.event.toStdString();
    }
}

TEST_F(FilterCommandsTest, TagSets) {
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    addSimpleDances();
    open();
    answerer->scriptText("Workshop");
    CreateSetClick();
    EXPECT_EQ(answerer->boxes.last().text, "Tag Set is now Workshop.\nDances tagged: 0");
    EXPECT_EQ(TagSetName, "Workshop");
    // The new set's placeholder counts when the set is selected again.
    SetTagSet("Workshop");
    EXPECT_EQ(TaggedCount, 1);
    // Tag the dance shown, in whatever case it was stored.
    dances->First();
    const QString key = ShownDanceTagKey();
    EXPECT_FALSE(ShownDanceTagged());
    TagOffClick();
    EXPECT_TRUE(ShownDanceTagged());
    EXPECT_EQ(TaggedCount, 1);
    EXPECT_EQ(TagKeyList, "|" + key);
    // "Filter!" admits the tagged dance only.
    TagFilterClick(true);
    EXPECT_EQ(shownTitles().size(), 1);
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Dances are in Tag Set Workshop");
    TagFilterClick(false);
    EXPECT_EQ(shownTitles().size(), 4);
    // Another existing set, and No, leave the current one.
    answerer->scriptText("Ball");
    CreateSetClick();
    answerer->scriptText("ball");
    answerer->script(ResultNo);
    CreateSetClick();
    EXPECT_EQ(answerer->boxes.last().text, "ball\nSet already exists.\nOpen this set?");
    EXPECT_EQ(TagSetName, "Ball");
    // Selecting through the chooser, then deleting.
    SetTagSetChooser([](const QStringList &names) {
        EXPECT_EQ(names, (QStringList{"Workshop", "Ball"}));
        return std::optional<QString>("Workshop");
    });
    SelectSetClick();
    EXPECT_EQ(TagSetName, "Workshop");
    EXPECT_EQ(TaggedCount, 1);
    TagOnClick();
    EXPECT_EQ(TaggedCount, 0);
    EXPECT_EQ(TagSetNames(), (QStringList{"Workshop", "Ball"}));
    answerer->script(ResultYes);
    DeleteSetClick();
    EXPECT_EQ(answerer->boxes.last().text, "Workshop\nDances tagged: 0\nAre you sure you want to delete these tags?");
    EXPECT_TRUE(TagSetName.isEmpty());
    EXPECT_EQ(TagSetNames(), (QStringList{"Ball"}));
    EXPECT_FALSE(TagsClick().deleteEnabled);
}

TEST_F(FilterCommandsTest, FailingRuleTakesTheIndicatorDown) {
    addSimpleDances();
    open();
    ui.lastBox = box("NoSuchField");
    answers = {answer("x")};
    FilterClick(FilterSender::Filter);
    EXPECT_FALSE(dances->Filtered());
    EXPECT_FALSE(ui.indicator[FilterTable::Dances]);
    EXPECT_TRUE(FilterHint(FilterTable::Dances).isEmpty());
    EXPECT_EQ(shownTitles().size(), 4);
}

TEST_F(FilterCommandsTest, NonNumericValueInAPresetConditionIsNotApplied) {
    addSimpleDances();
    open();
    // A value put in place by a caller, not typed into the dialog.
    ui.lastBox = box("Called");
    DancesFilter.Value[1] = "x";
    FilterClick(FilterSender::None);
    EXPECT_TRUE(answerer->sawText("Non-numeric value specified."));
    EXPECT_FALSE(dances->Filtered());
    // The Events definition is left alone.
    EventsFilter.Field[1] = "Org";
    EventsFilter.Value[1] = "Hall";
    EventsFilter.Count = 1;
    ui.lastBox = box("Called");
    DancesFilter.Value[1] = "y";
    FilterClick(FilterSender::None);
    EXPECT_EQ(EventsFilter.Count, 1);
    EXPECT_EQ(EventsFilter.Value[1], "Hall");
}

TEST_F(FilterCommandsTest, PendingShowsMarkedUnprintedDances) {
    addDance("Marked unprinted", "Longways", "English", {{"DFilter", "Y"}});
    addDance("Marked printed", "Longways", "English", {{"DFilter", "Y"}, {"Printed", "Y"}});
    addDance("Unmarked", "Longways", "English");
    open();
    FilterClick(FilterSender::Pending);
    EXPECT_TRUE(DFilterOn);
    EXPECT_EQ(DancesFilter.Field[1], "Printed");
    EXPECT_EQ(DancesFilter.Value[1], "Pending");
    EXPECT_TRUE(FilterFocus.checkBox);
    EXPECT_EQ(shownTitles(), (QStringList{"Marked unprinted"}));
    EXPECT_EQ(ui.hint[FilterTable::Dances], "Dances are filtered:  Pending Print");
    // The next plain filter drops the marks with the condition.
    ui.lastBox = box("Title");
    answers = {answer("printed")};
    FilterClick(FilterSender::Filter);
    EXPECT_FALSE(DFilterOn);
    EXPECT_EQ(shownTitles(), (QStringList{"Marked printed", "Marked unprinted"}));
}

// A stored value that is not a number leaves no condition to build on.
TEST_F(FilterCommandsTest, NonNumericStoredValueEmptiesBothDefinitions) {
    addSimpleDances();
    open();
    EventsFilter.Count = DancesFilter.Count = 1;
    DancesFilter.Field[1] = "Called";
    DancesFilter.Value[1] = "abc";
    SetFilter(FilterTable::Dances, 3);
    EXPECT_EQ(EventsFilter.Count + DancesFilter.Count, 0);
    EXPECT_EQ(ui.caption, "Quillary displaying 4 records      ");
}
