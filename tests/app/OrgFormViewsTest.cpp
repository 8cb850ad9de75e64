#include "EventFormFixture.h"
#include "ModalDriver.h"

#include "core/filter/Tags.h"
#include "core/views/ListForm.h"
#include "core/views/SectForm.h"
#include "platform/sqlite/DBNavigator.h"
#include "platform/sqlite/DatasetModel.h"
#include "publishing/exchange/CsvImport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

class OrgFormViewsTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        for (const char *t : {"Apple", "Reel", "Zulu", "Reel of Tulloch"}) addDance(t);
        addDance("\u00C9mile's Reel");
    }
    void TearDown() override {
        EventFormTest::TearDown();
        ResetTagState();
        ResetFilterCommands();
    }
    QString org() { return EventsData.FieldByName("Org").AsString(); }
    QString event() { return EventsData.FieldByName("Event").AsString(); }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < ListForm->RowCount(); ++i) out << ListForm->RowAt(i).cells[0];
        return out;
    }
};

} // namespace

// The organiser's steps keep to its events: at the end (or with the next one
// filtered out) the event stays and the button greys; the index is "EDate".
TEST_F(OrgFormViewsTest, GroupStepsKeepToTheOrganiser) {
    const qint64 first = addEvent("Bath", -10, "", {{"Event", "Ball"}});
    addEvent("Avon", -5, "");
    addEvent("Bath", 5, "", {{"Event", "Hidden"}});
    open(first);
    form->OrgPNClick(form->GroupN);
    EXPECT_EQ(event(), "Hidden");
    EXPECT_TRUE(form->GroupN->isEnabled());
    form->OrgPNClick(form->GroupN);
    EXPECT_EQ(event(), "Hidden");
    EXPECT_FALSE(form->GroupN->isEnabled());
    EXPECT_EQ(EventsData.indexName(), "EDate");

    EventsData.GotoBookmark(first);
    form->ShowEvent(true);
    EventsFilter.Field[1] = "Event";
    EventsFilter.Value[1] = "Ball";
    EventsFilter.Count = 1;
    SetFilter(FilterTable::Events, 3);
    form->OrgPNClick(form->GroupN);
    EXPECT_EQ(event(), "Ball");
    EXPECT_FALSE(form->GroupN->isEnabled());
}

// ProgN skips rows without a title and greys out at the last dance.
TEST_F(OrgFormViewsTest, ProgrammeStepsSkipUntitledRows) {
    open(addEvent("Bath", 1, Prog("~D|Apple|Longways|English~O|Interval~D|||~D|Zulu|Longways|English~")));
    ThisIndex = 0;
    form->ProgPNClick(form->ProgN);
    EXPECT_EQ(ThisIndex, 3);
    EXPECT_EQ(DancesData.FieldByName("Title").AsString(), "Zulu");
    form->ProgPNClick(form->ProgN);
    EXPECT_EQ(ThisIndex, 3);
    EXPECT_FALSE(form->ProgN->isEnabled());
    form->ProgPNClick(form->ProgP);
    EXPECT_EQ(ThisIndex, 0);
    EXPECT_TRUE(form->ProgN->isEnabled());
}

// Leaving the Dances page with an edited key is refused; Ctrl+S follows the page.
TEST_F(OrgFormViewsTest, PageChangeGuardsTheDanceAndMovesCtrlS) {
    open(addEvent("Bath", 1, Prog("~D|Apple|Longways|English~")));
    form->PC->setCurrentWidget(form->DancePage);
    EXPECT_EQ(form->windowTitle(), "Quillary: Dances");
    EXPECT_EQ(form->SaveD->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(form->SaveE->shortcut().isEmpty());
    DancesData.Edit();
    form->Title->setText("Apples");
    form->Title->setModified(true);
    answerer->script(ResultCancel);
    form->PC->setCurrentWidget(form->EventPage);
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
    EXPECT_TRUE(answerer->sawText("Title, Format or Style have been modified."));
    DancesData.Cancel();
    form->Title->setModified(false);
    form->PC->setCurrentWidget(form->EventPage);
    EXPECT_EQ(form->windowTitle(), "Quillary: Events");
    EXPECT_EQ(form->SaveE->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
}

// A title typed in the table view renames the dance in the programmes;
// Esc cancels an edit; grid row and record move together.
TEST_F(OrgFormViewsTest, TableViewEditsThroughTheHooks) {
    const qint64 e = addEvent("Bath", 1, Prog("~D|Zulu|Longways|English~"));
    open(e);
    form->PC->setCurrentWidget(form->DancePage);
    form->FormViewClick();
    ASSERT_TRUE(!form->Grid->isHidden());
    auto *model = qobject_cast<DatasetModel *>(form->Grid->model());
    ASSERT_TRUE(model);
    int titleColumn = 0;
    while (model->fieldAt(titleColumn) != "Title") ++titleColumn;
    int zulu = 0;
    while (model->data(model->index(zulu, titleColumn)).toString() != "Zulu") ++zulu;
    form->Grid->setCurrentIndex(model->index(zulu, titleColumn));
    EXPECT_EQ(DancesData.RecordIndex(), zulu);
    ASSERT_TRUE(model->setData(model->index(zulu, titleColumn), "Zulu Two"));
    EXPECT_EQ(DancesData.State(), DatasetState::Edit);
    QTest::keyClick(form->Grid, Qt::Key_Escape);
    EXPECT_EQ(DancesData.State(), DatasetState::Browse);
    EXPECT_EQ(DancesData.FieldByName("Title").AsString(), "Zulu");
    model->setData(model->index(zulu, titleColumn), "Zulu Two");
    answerer->script(ResultYes);
    QTest::keyClick(form->Grid, Qt::Key_Return);
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title='Zulu Two'").toInt(), 1);
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {e}).toString(), Prog("~D|Zulu Two|Longways|English~"));
    // A double-click returns to the form.
    if (!!form->Grid->isHidden()) form->FormViewClick();
    ASSERT_TRUE(!form->Grid->isHidden());
    model = qobject_cast<DatasetModel *>(form->Grid->model());
    emit form->Grid->doubleClicked(model->index(0, 0));
    EXPECT_FALSE(!form->Grid->isHidden());
}

// The chooser lists what the dataset shows, sorted by the program's fold,
// and follows the typing.
TEST_F(OrgFormViewsTest, ChooserRowsAndTypeAhead) {
    insert("Dances", {{"Title", "apple"}, {"Format", "Circle"}, {"Style", "Scottish"}});
    open(addEvent("Bath", 1, ""));
    ListForm->Prepare(ChooserMode::Dances);
    EXPECT_EQ(listed(), QStringList({"Apple", "apple", "Reel", "Reel of Tulloch", "Zulu", "\u00C9mile's Reel"}));
    EXPECT_EQ(ListForm->windowTitle(), "Select from 6 dances");
    ListForm->ListSel->setText("\u00E9m");
    EXPECT_EQ(ListForm->SelectedRow(), 5);
    ListForm->ListSel->setText("ZZZ");
    EXPECT_EQ(ListForm->CLab->text(), "No values starting ZZZ");
    EXPECT_FALSE(ListForm->OKButton->isEnabled());
    EXPECT_EQ(ListForm->SelectedRow(), 4);

    // Four conditions: the rows shown, and the typed text kept without them.
    const char *conditions[][2] = {{"Style", "English"}, {"Format", "Longways"}, {"Title", "e"}, {"Title", "l"}};
    for (int i = 0; i < 4; ++i) {
        DancesFilter.Field[i + 1] = conditions[i][0];
        DancesFilter.Value[i + 1] = conditions[i][1];
    }
    DancesFilter.Count = 4;
    SetFilter(FilterTable::Dances, 3);
    ListForm->Prepare(ChooserMode::Dances);
    ListForm->ListSel->setText("Zu");
    EXPECT_EQ(listed(), QStringList({"Apple", "Reel", "Reel of Tulloch", "\u00C9mile's Reel"}));
    EXPECT_FALSE(ListForm->OKButton->isEnabled());
    ListForm->NoFilterClick();
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_EQ(ListForm->ListSel->text(), "Zu");
    EXPECT_EQ(ListForm->Chosen("Title"), "Zulu");

    // A tag set: the tagged dance alone.
    answerer->scriptText("Workshop");
    CreateSetClick();
    answerer->clear();
    DancesData.First();
    TagOffClick();
    TagFilterClick(true);
    ListForm->Prepare(ChooserMode::Dances);
    EXPECT_EQ(listed(), QStringList({DancesData.FieldByName("Title").AsString()}));
    TagFilterClick(false);

    // A dance added meanwhile is listed.
    DancesData.Append();
    DancesData.FieldByName("Title").SetAsString("Aardvark");
    DancesData.FieldByName("Format").SetAsString("Circle");
    DancesData.FieldByName("Style").SetAsString("English");
    DancesData.Post();
    ListForm->Prepare(ChooserMode::Dances);
    EXPECT_EQ(listed().value(0), "Aardvark");
}

// Enter selects from the type-ahead box and from the grid, after another
// button had the focus.
TEST_F(OrgFormViewsTest, ChooserEnterSelects) {
    open(addEvent("Bath", 1, ""));
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const bool fromGrid : {false, true}) {
            SCOPED_TRACE(fromGrid ? "grid" : "type-ahead box");
            WhenModal([fromGrid, key](QWidget *) {
                ListForm->DetButton->setFocus();
                ListForm->ListSel->setFocus();
                ListForm->ListSel->clear();
                QTest::keyClicks(ListForm->ListSel, "Zu");
                if (fromGrid) QTest::keyClick(ListForm->ListSel, Qt::Key_Up);
                QTest::keyClick(fromGrid ? static_cast<QWidget *>(ListForm->ListGrid) : ListForm->ListSel, key);
            });
            form->PC->setCurrentWidget(form->EventPage);
            EXPECT_EQ(ListForm->Choose(ChooserMode::Dances), TListForm::Selected);
            EXPECT_EQ(ListForm->Chosen("Title"), fromGrid ? "Reel of Tulloch" : "Zulu");
        }
    }
}

TEST_F(OrgFormViewsTest, ChooserEventsUnderTheirFilter) {
    addEvent("Bath", -20, "");
    addEvent("Avon", -10, "");
    const qint64 last = addEvent("Bath", -5, "", {{"Event", "Ball"}});
    open(last);
    EventsFilter.Field[1] = "Org";
    EventsFilter.Value[1] = "Bath";
    EventsFilter.Count = 1;
    SetFilter(FilterTable::Events, 3);
    ListForm->Prepare(ChooserMode::Events);
    ASSERT_EQ(ListForm->RowCount(), 2);
    EXPECT_EQ(ListForm->RowAt(0).cells[2], "Ball"); // the latest first
    EXPECT_EQ(ListForm->RowAt(1).cells[1], FormatEventDate(DateToDayNumber(QDate(2026, 11, 16))));
    // Select goes back to the page it opened on and posts the event's edit.
    form->PC->setCurrentWidget(form->DancePage);
    ListForm->Prepare(ChooserMode::Events);
    form->PC->setCurrentWidget(form->EventPage);
    EventsData.Edit();
    EventsData.FieldByName("Venue").SetAsString("Hall");
    EventChanged = true;
    ListForm->SelectClick();
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
    EXPECT_EQ(EventsData.State(), DatasetState::Browse);
    EventChanged = false;
}

// F1 in the chooser: the filter button has the filter's topic, the rest the chooser's.
TEST_F(OrgFormViewsTest, ChooserHelpFollowsTheFocus) {
    open(addEvent("Bath", 1, ""));
    DancesFilter.Field[1] = "Title";
    DancesFilter.Value[1] = "Reel";
    DancesFilter.Count = 1;
    SetFilter(FilterTable::Dances, 3);
    const std::pair<QWidget *, int> cases[] = {{ListForm->ListSel, 45000}, {ListForm->NoFilter, 30400}};
    for (const auto &[control, context] : cases) {
        WhenModal([this, control = control](QWidget *) {
            control->setFocus();
            QTest::keyClick(control, Qt::Key_F1);
            ListForm->reject();
        });
        ListForm->Choose(ChooserMode::Dances);
        EXPECT_EQ(helps.value(0), context) << control->objectName().toStdString();
        helps.clear();
    }
}

// An event and its copy on the same day (the original with a time of day,
// the copy without) read alike in the chooser: both are listed, and each row
// finds its own event.
TEST_F(OrgFormViewsTest, FindEventListsACopyBesideItsOriginal) {
    const double day = DateToDayNumber(QDate(2026, 12, 12));
    const qint64 original = addEvent("Club", 0, Prog("~D|Apple|Longways|English~"), {{"EDate", day + 0.8125}});
    addEvent("Avon", 1, "");
    open(original);
    answerer->script(ResultYes); // the whole programme
    form->DupEventClick();
    form->DateBox->setText(FormatEventDate(day));
    form->DateBox->setModified(true);
    form->DateBoxExit();
    form->SaveE->trigger();
    const qint64 copy = EventsData.GetBookmark();
    ASSERT_NE(copy, original);
    ASSERT_EQ(scalar("SELECT count(*) FROM Events WHERE Org='Club'").toInt(), 2);
    for (const auto &[offset, found] : {std::pair{0, original}, std::pair{1, copy}}) {
        EventsData.First();
        int listed = 0;
        WhenModal([&listed, offset = offset](QWidget *) {
            QList<int> club;
            for (int i = 0; i < ListForm->RowCount(); ++i)
                if (ListForm->RowAt(i).cells[0] == "Club") club << i;
            listed = int(club.size());
            if (listed == 2) {
                EXPECT_EQ(ListForm->RowAt(club[0]).cells[1], ListForm->RowAt(club[1]).cells[1]);
                ListForm->ListGrid->setCurrentIndex(ListForm->ListGrid->model()->index(club[offset], 0));
            }
            QTest::mouseClick(ListForm->OKButton, Qt::LeftButton);
        });
        form->FindEventClick();
        EXPECT_EQ(listed, 2);
        EXPECT_EQ(EventsData.GetBookmark(), found) << "row " << offset;
    }
}

// The table view's caption counts the rows it shows, whatever came or went
// since it was last counted.
TEST_F(OrgFormViewsTest, TheTableCaptionCountsItsRows) {
    open(addEvent("Bath", 1, ""));
    form->PC->setCurrentWidget(form->DancePage);
    const auto import = [] {
        ImportJob job;
        job.dataset = &DancesData;
        job.keyField = "Title";
        job.isDances = true;
        job.caption = "Import Dances";
        job.bytes = "Title,Format,Style\r\nYew,Longways,English\r\nZebra,Longways,English\r\n";
        job.hasNames = true;
        for (int i = 0; i < 3; ++i)
            job.map.click(DancesData.FieldByName(QStringList{"Title", "Format", "Style"}[i]).Index(), i);
        ASSERT_EQ(RunImport(job), ImportEnd::Committed);
    };
    const struct {
        const char *name;
        std::function<void()> run;
        int rows;
    } steps[] = {
        {"shown", [] {}, 5},
        {"an import under the table", import, 7},
        {"a copy", [this] {
             form->findChild<QAction *>("DupDance")->trigger();
             DancesData.FieldByName("Title").SetAsString("Zulu Two");
             DancesData.Post();
         }, 8},
        {"a filter", [] {
             DancesFilter.Field[1] = "Title";
             DancesFilter.Value[1] = "Reel";
             DancesFilter.Count = 1;
             SetFilter(FilterTable::Dances, 3);
         }, 3},
        {"a delete under the table", [this] {
             answerer->script(ResultYes);
             form->DeleteDance->trigger();
         }, 2},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        form->EnsureGridView();
        step.run();
        form->EnsureGridView();
        ASSERT_EQ(form->Grid->model()->rowCount(), step.rows);
        EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Quillary displaying %1 records").arg(step.rows)))
            << form->windowTitle().toStdString();
    }
}

// The hint's query binds the title: quotes, "%" and "_" are plain text, and
// "Reel" is not "Reel of Tulloch".
TEST_F(OrgFormViewsTest, HintQueryMatchesTheWholeTitle) {
    addEvent("Bath", -3, Prog("~D|Reel of Tulloch|Longways|English~D|100% \"Fun\"|Longways|English~"));
    open(addEvent("Bath", 1, ""));
    const QString date = FormatEventDate(DateToDayNumber(QDate(2026, 12, 3)));
    const struct {
        const char *title;
        bool called;
    } table[] = {{"Reel", false}, {"Reel of Tulloch", true}, {"100% \"Fun\"", true}, {"10_% \"Fun\"", false},
                 {"%", false}};
    for (const auto &r : table) {
        const QString hint = LastCalledHint(Conn, r.title, "Bath", ProgrammeSeparator);
        EXPECT_EQ(hint.endsWith(r.called ? "\rLast called for Bath\r" + date : QString("\rNever called for Bath")), true)
            << r.title << " gave " << hint.toStdString();
    }
}

// A settings section saved from the editor: a bad [Display] field writes
// nothing; a good one rebuilds the title row; [Timings] not of nine keys
// opens its help.
TEST_F(OrgFormViewsTest, SectionEditorSaves) {
    WriteFileBytes(path("Quillary.ini"),
                   "[System]\r\nDBName=Quillary.mdb\r\n[Display]\r\nTitle=200\r\n[Timings]\r\n1=5\r\n");
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    open(addEvent("Bath", 1, Prog("~D|Apple|Longways|English~")));
    const QByteArray before = ReadFileBytes(path("Quillary.ini"));
    {
        TSectForm editor("Display", 58100, form.get());
        editor.FList->setPlainText("Title=200\nColour=5\n");
        EXPECT_FALSE(editor.Save());
        EXPECT_TRUE(answerer->sawText("Unknown field: COLOUR"));
        EXPECT_EQ(ReadFileBytes(path("Quillary.ini")), before);
        editor.FList->setPlainText("Title=150\nLastC=60\n");
        ASSERT_TRUE(editor.Save());
    }
    QStringList captions;
    for (QLabel *l : form->Rows->TitleRow->columns) captions << l->text();
    EXPECT_EQ(captions, QStringList({"Title", "LastC"}));
    EXPECT_EQ(helps, QList<int>({85600}));
    helps.clear();
    TSectForm timings("Timings", 58160, form.get());
    timings.FList->setPlainText("1=5\n2=6\n3=7\n4=8\n5=9\n6=10\n7=11\n8=12\n9=13\n");
    ASSERT_TRUE(timings.Save());
    EXPECT_TRUE(helps.isEmpty());
}

// The pick list: a date entry shows that day's event and its dance's row; a
// failed seek says so; a right-click makes one exact condition.
TEST_F(OrgFormViewsTest, PickListShowsEventsAndFilters) {
    const qint64 earlier = addEvent("Bath", -3, Prog("~D|Apple|Longways|English~D|Zulu|Longways|English~"));
    open(addEvent("Avon", 1, Prog("~D|Zulu|Longways|English~")));
    ThisIndex = 0;
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    form->PopListShowsEvents = true;
    form->PopList->addItem(FormatEventDate(DateToDayNumber(QDate(2026, 12, 3))) + ": Bath");
    form->PopListClick(form->PopList->item(0));
    EXPECT_EQ(EventsData.GetBookmark(), earlier);
    EXPECT_EQ(ThisIndex, 1);
    EXPECT_THROW(form->ShowEventOfDay("1-Jan-20: none", "Zulu"), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Event not available - remove the filter and try again."));

    form->DropField = form->Band;
    form->PopList->addItem("The Band");
    form->PopListRightClick(form->PopList->item(0));
    EXPECT_EQ(EventsFilter.Count, 1);
    EXPECT_EQ(EventsFilter.Field[1], "Band");
    EXPECT_EQ(EventsFilter.Value[1], "The Band");
    EXPECT_TRUE(EventsFilter.FullMatch[1] && EventsFilter.CaseSensitive[1]);
}

// "Large" twice gives every size back.
TEST_F(OrgFormViewsTest, LargeTwiceRestores) {
    open(addEvent("Bath", 1, ""));
    const QFont main = form->font(), chooser = ListForm->font();
    form->LargeItem->setChecked(true);
    form->LargeClick();
    EXPECT_GT(form->font().pointSizeF(), main.pointSizeF());
    form->LargeItem->setChecked(false);
    form->LargeClick();
    EXPECT_EQ(form->font(), main);
    EXPECT_EQ(ListForm->font(), chooser);
}
