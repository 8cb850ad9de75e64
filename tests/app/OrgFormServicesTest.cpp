#include "presentation/music/Playback.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/dialogs/Progress.h"
#include "core/services/CopyData.h"
#include "core/services/ErrorRouting.h"
#include "core/services/IdleHook.h"
#include "platform/sqlite/DatasetModel.h"
#include "programme/evaluation/CallCounting.h"
#include "presentation/whiteboard/WhiteForm.h"
#include "EventFormFixture.h"
#include "ModalDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class ServicesTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        WriteLog(QStringLiteral("START"));
        addDance("Jig", {{"Notes", "line one\r\nline two"}});
        shown = addEvent("Club", 2, Prog("~O|Evening~D|Jig|Longways|English~N|note~"), {{"Town", "Ashbury"}});
    }
    QStringList logLines() {
        QStringList out;
        const QString log = QString::fromLatin1(ReadFileBytes(path("Log.Txt")));
        for (const QString &line : log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) out.append(line.mid(10));
        return out;
    }
    qint64 shown = 0;
};

TEST_F(ServicesTest, QuietErrorIsOnlyLoggedAndTheWindowRecovers) {
    open(shown);
    EventsData.close();
    DancesData.DisableControls();
    DancesData.DisableControls();
    form->DateBox->clear();
    form->MyException(std::make_exception_ptr(EQuietError("")));
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_TRUE(logLines().contains(QStringLiteral("Error Handler entered")));
    EXPECT_TRUE(EventsData.active());
    EXPECT_FALSE(DancesData.ControlsDisabled());
    EXPECT_TRUE(bool(EventsData.AfterScroll));
    EXPECT_FALSE(form->DateBox->text().isEmpty());
    EXPECT_FALSE(InErrorHandler);
}

TEST_F(ServicesTest, OrdinaryErrorOffersTheReport) {
    open(shown);
    answerer->script(ResultYes);
    answerer->script(ResultCancel); // the report: View
    RecordingOpener viewer;
    TempFolder = path("tmp/");
    QDir().mkpath(TempFolder);
    form->MyException(std::make_exception_ptr(std::runtime_error("Disk full")));
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->boxes[1].helpContext, 180);
    EXPECT_EQ(viewer.opened, QStringList{QUrl::fromLocalFile(TempFolder + "Log.Txt").toString()});
    EXPECT_EQ(answerer->boxes[0].kind, BoxKind::YesNoHelp);
    EXPECT_EQ(answerer->boxes[0].helpContext, 58350);
    EXPECT_EQ(answerer->texts()[0], QStringLiteral("Disk full  \nException Address: std::runtime_error\n\n"
                                                   "Send an Error Report to Vellam Orrisk?"));
    const QStringList log = logLines();
    EXPECT_TRUE(log.contains(QStringLiteral("Disk full  \rException Address: std::runtime_error")));
}

TEST_F(ServicesTest, ErrorDuringTheHandlerIsIgnored) {
    open(shown);
    InErrorHandler = true;
    form->MyException(std::make_exception_ptr(std::runtime_error("second")));
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_FALSE(logLines().contains(QStringLiteral("Error Handler entered")));
    InErrorHandler = false;
    // Focus failures are logged and nothing else.
    form->MyException(std::make_exception_ptr(std::runtime_error("Cannot focus a disabled window")));
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(ServicesTest, IdleRemovesAFilterThatShowsNothing) {
    open(shown);
    EventsData.OnFilterRecord = [](Dataset &) { return false; };
    EventsData.SetFiltered(true);
    ASSERT_TRUE(EventsData.IsEmpty());
    PendingRec = 5;
    form->setWindowTitle(QStringLiteral("Quillary displaying 0 records      Events are filtered"));
    BusyCursor();
    BusyCursor();
    form->OnIdle();
    EXPECT_FALSE(EventsData.Filtered());
    EXPECT_FALSE(EventsData.IsEmpty());
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_TRUE(answerer->texts()[0].endsWith(QStringLiteral("\nNo matching records - filter removed.")));
    EXPECT_EQ(PendingRec, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // The caption counts the records shown again, without the filter.
    EXPECT_FALSE(form->windowTitle().contains(QStringLiteral("filtered")));
}

TEST_F(ServicesTest, TestSaveNoForgetsTheEdits) {
    open(shown);
    EventsData.Edit();
    EventsData.FieldByName("Town").SetAsString("Elsewhere");
    EventChanged = true;
    answerer->script(ResultNo);
    form->TestSave();
    EXPECT_EQ(answerer->texts(), QStringList{"Save changes to this event?"});
    EXPECT_FALSE(EventChanged);
    EXPECT_EQ(EventsData.State(), DatasetState::Browse);
    EXPECT_EQ(scalar("SELECT Town FROM Events WHERE rowid=?", {shown}).toString(), QStringLiteral("Ashbury"));
}

TEST_F(ServicesTest, CloseDuringARunIsRefusedAndStopsTheRun) {
    open(shown);
    CancelRun = false;
    {
        TProgress run(QStringLiteral("Walk"));
        Progress = &run;
        EXPECT_FALSE(form->FormClose());
        Progress = nullptr;
        run.Finish();
    }
    EXPECT_TRUE(CancelRun);
    EXPECT_TRUE(EventsData.active());
    EXPECT_FALSE(logLines().contains(QStringLiteral("FormClose")));
    CancelRun = false;
}

TEST_F(ServicesTest, CloseWarnsOfDoubleBookingsThenEnds) {
    addEvent("Other Club", 2, QString(), {{"Town", "Brackley"}});
    addEvent("Club", 9, QString(), {{"Event", "Dance Weekend"}}); // a Tuesday
    open(shown);
    answerer->script(ResultOK);
    EXPECT_TRUE(form->FormClose());
    ASSERT_EQ(answerer->boxes.size(), 2) << answerer->texts().join('|').toStdString();
    EXPECT_EQ(answerer->boxes[0].helpContext, 51810);
    EXPECT_EQ(answerer->texts()[0], QStringLiteral("* * *  W A R N I N G  * * *\n\nThere are events for two "
                                                   "Organisations on Tue 8-Dec-26:\nClub\nand\nOther Club"));
    EXPECT_EQ(answerer->texts()[1],
              QStringLiteral("Weekend Event starts Tue 15-Dec-26 which is not a Friday or Saturday."));
    EXPECT_FALSE(EventsData.active());
    EXPECT_FALSE(Conn.isOpen());
    const QStringList log = logLines();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), QStringLiteral("END"));
    EXPECT_LT(log.indexOf(QStringLiteral("FormClose")), log.indexOf(QStringLiteral("END")));
}

TEST_F(ServicesTest, MemoEditorRoundTrip) {
    open(shown);
    form->PC->setCurrentWidget(form->DancePage);
    auto *model = new DatasetModel(DancesData, form->Grid);
    form->Grid->setModel(model);
    form->Grid->show();
    int column = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->fieldAt(c) == QLatin1String("Notes")) column = c;
    ASSERT_GE(column, 0);
    form->GridCellClick(model->index(0, column));
    EXPECT_TRUE(form->MPanel->isVisibleTo(form.get()));
    EXPECT_EQ(form->Memo->toPlainText(), QStringLiteral("line one\nline two"));
    EXPECT_EQ(form->TopLine->text(), QStringLiteral("Notes:  2 items, 18 characters"));
    form->Memo->appendPlainText(QStringLiteral("line three"));
    form->SaveBtnClick();
    EXPECT_FALSE(form->MPanel->isVisibleTo(form.get()));
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE Title='Jig'").toString(),
              QStringLiteral("line one\rline two\rline three"));
    // Another column hides the panel again.
    form->GridCellClick(model->index(0, column));
    form->GridCellClick(model->index(0, 0));
    EXPECT_FALSE(form->MPanel->isVisibleTo(form.get()));
}

TEST_F(ServicesTest, ProgrammeTypedInTheMemoIsStoredAsTyped) {
    open(shown);
    auto *model = new DatasetModel(EventsData, form->Grid);
    form->Grid->setModel(model);
    form->Grid->show();
    int column = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->fieldAt(c) == QLatin1String("Programme")) column = c;
    form->GridCellClick(model->index(EventsData.RecordIndex(), column));
    bool hookRan = false;
    EventsData.BeforePost = [&](Dataset &) { hookRan = true; };
    form->Memo->selectAll();
    form->Memo->insertPlainText(Prog("~O|Typed~"));
    form->SaveBtnClick();
    EXPECT_FALSE(hookRan);
    EXPECT_TRUE(bool(EventsData.BeforePost));
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {shown}).toString(), Prog("~O|Typed~"));
}

TEST_F(ServicesTest, RecordedMusicBox) {
    open(shown);
    form->IsRec->click();
    EXPECT_TRUE(EventChanged);
    EXPECT_FALSE(form->Band->isEnabled());
    EXPECT_EQ(field("Band"), QStringLiteral("Recorded"));
    form->IsRec->click();
    EXPECT_TRUE(form->Band->isEnabled());
    EXPECT_EQ(field("Band"), QString());
}

TEST_F(ServicesTest, SearchBoxNeedsALocationColumn) {
    open(shown);
    LocationColumn = -1;
    EXPECT_THROW(form->SearcherEnter(), SilentAbort);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("You don't have a Location column so you can't add a recording.")));
    LocationColumn = 6;
    form->Searcher->setText(QStringLiteral("Search..."));
    form->SearcherEnter();
    EXPECT_EQ(form->Searcher->text(), QString());
}

TEST_F(ServicesTest, MessageFromAnotherCopyOpensTheWhiteboardItem) {
    open(shown);
    QString opened;
    WhenModal([&opened](QWidget *w) {
        if (auto *board = dynamic_cast<TWhiteForm *>(w)) opened = board->DanceName->text();
        w->close();
    });
    form->WMCopyData("1234567890124 Cu\r\n");
    EXPECT_EQ(CopyDataText, QStringLiteral("4 Cu"));
    for (int i = 0; i < 300 && (opened.isEmpty() || OpenWhiteboard()); ++i) PumpEvents(10);
    EXPECT_EQ(opened, QStringLiteral("4 Cu"));
    EXPECT_TRUE(logLines().contains(QStringLiteral("Whiteboard: 4 Cu")));

    // A message while a whiteboard is open closes it and opens the new item.
    QStringList shown;
    WhenModal([this, &shown](QWidget *first) {
        shown << dynamic_cast<TWhiteForm *>(first)->DanceName->text();
        WhenModal([&shown](QWidget *second) {
            shown << dynamic_cast<TWhiteForm *>(second)->DanceName->text();
            second->close();
        }, first);
        form->WMCopyData("123456789012Lilli Burlero\r\n");
    });
    form->WhiteboardClick();
    for (int i = 0; i < 300 && (shown.size() < 2 || OpenWhiteboard()); ++i) PumpEvents(10);
    EXPECT_EQ(shown, (QStringList{"4 Cu", "Lilli Burlero"}));
    CopyDataText.clear();
    form->WMCopyData("short");
    EXPECT_EQ(CopyDataText, QString());
}

TEST_F(ServicesTest, TimerShowsThePlaybackClock) {
    open(shown);
    ElapsedSeconds = 59;
    PlayLength = 180000; // no file open: the position reads 0
    form->OnTimer();
    EXPECT_EQ(form->LEDElapsed->text(), QStringLiteral("1:00"));
    EXPECT_EQ(form->LEDTLen->text(), QStringLiteral("3:00"));
    EXPECT_EQ(form->LEDRemain->text(), QStringLiteral("3:00"));
    EXPECT_EQ(TotalSeconds, 180);
    SeekDragging = true;
    form->OnTimer();
    EXPECT_FALSE(SeekDragging);
}

TEST_F(ServicesTest, WheelMovesThroughTheRows) {
    open(shown);
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    EXPECT_TRUE(form->FormMouseWheel(-120));
    EXPECT_EQ(ThisIndex, 1);
    // Straight after a handled turn the next one waits.
    form->FormMouseWheel(-120);
    EXPECT_EQ(ThisIndex, 1);
    QTest::qWait(2);
    form->FormMouseWheel(120);
    EXPECT_EQ(ThisIndex, 0);
    QTest::qWait(2);
    form->FormMouseWheel(120);
    EXPECT_EQ(ThisIndex, 0);
}

} // namespace
