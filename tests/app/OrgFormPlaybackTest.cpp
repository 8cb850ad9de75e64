#include "DancePageFixture.h"
#include "PlainRead.h"
#include "platform/media/MyPlayer.h"
#include "platform/shell/FilePicker.h"
#include "presentation/music/MusForm.h"
#include "presentation/music/Playback.h"
#include "platform/media/ToneWav.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

class PlaybackPanelTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        qputenv("QUILLARY_AO", "null");
        ResetPlaybackState();
        BaseFolder = path("Music/");
        WriteToneWav(BaseFolder + "Orchard/Tone.wav", 3);
        addDance("Apple Cart Jig", "Longways", "Duple", {{"Music", Prog("Band*Tone******Orchard\\Tone.wav")}});
        open();
        form->PC->setCurrentWidget(form->DancePage);
        form->Title->setText("Apple Cart Jig");
        form->SetMusic();
    }
    void TearDown() override {
        if (Playing) form->PlayBtnClick();
        ResetPlaybackState();
        DancePageTest::TearDown();
    }
    bool idle() const {
        return !Playing && form->PlayBtn->text() == "Play" && form->PlayPnl->height() == 75 && form->PlayTimes->isHidden();
    }
};

} // namespace

TEST_F(PlaybackPanelTest, PlayPauseMarkAndTheEnd) {
    ASSERT_EQ(PlayFile, QStringLiteral("Orchard\\Tone.wav"));
    form->PlayBtnClick();
    ASSERT_TRUE(Playing) << answerer->texts().join("|").toStdString();
    EXPECT_EQ(form->PlayBtn->text(), QStringLiteral("Stop"));
    EXPECT_EQ(form->PlayPnl->height(), 116);
    EXPECT_FALSE(form->PlayTimes->isHidden());
    EXPECT_FALSE(form->MarkPnl->isHidden());
    EXPECT_NEAR(PlayLength, 3000, 30);
    EXPECT_TRUE(logText().contains("Play Apple Cart Jig"));

    form->PauseBtnClick();
    EXPECT_EQ(form->PauseBtn->text(), QStringLiteral("Continue"));
    EXPECT_FALSE(form->Timer->isActive());
    form->PauseBtnClick();
    EXPECT_EQ(form->PauseBtn->text(), QStringLiteral("Pause"));

    // A mark from one second on is kept under the file's key; below, removed.
    form->Player->Seek(1500);
    form->MarkBtnClick();
    EXPECT_EQ(SettingText("Recordings", "Orchard\\Tone.wav"), QStringLiteral("1500"));
    EXPECT_EQ(form->MarkText->text(), QStringLiteral("0:01"));
    form->Player->Seek(999);
    form->MarkBtnClick();
    EXPECT_FALSE(IniFile->ValueExists("Recordings", "Orchard\\Tone.wav"));
    EXPECT_EQ(form->MarkText->text(), QString());

    // Played on to its end, the recording returns the panel to idle.
    form->Player->SetStartPos(2600);
    form->Player->Play();
    PumpEvents(1200);
    EXPECT_TRUE(idle());
}

TEST_F(PlaybackPanelTest, RefusedStartsLeaveThePanelIdle) {
    struct Case {
        const char *playFile, *message;
    };
    const Case cases[] = {
        {"Orchard\\Gone.wav", "Music/Orchard/Gone.wav\nFile not found."},
        {"", "No recording specified"},
    };
    for (const Case &c : cases) {
        answerer->clear();
        PlayFile = c.playFile;
        form->PlayBtnClick();
        EXPECT_TRUE(idle()) << c.playFile;
        ASSERT_EQ(answerer->texts().size(), 1) << c.playFile;
        EXPECT_TRUE(answerer->texts()[0].contains(c.message)) << answerer->texts()[0].toStdString();
    }
}

// With the full-screen display up, the Events page asks once per run whether
// the event uses recorded music.
TEST_F(PlaybackPanelTest, TheRecordedMusicQuestionOncePerRun) {
    FullWindow(form.get()).PrepareNormal();
    Full->show();
    form->PC->setCurrentWidget(form->EventPage);
    form->IsRec->setChecked(false);
    for (int i = 0; i < 2; ++i) {
        answerer->script(ResultNo);
        PlayFile.clear();
        form->PlayBtnClick();
    }
    EXPECT_EQ(answerer->texts().count(QStringLiteral("Change this Event to use Recorded Music?")), 1);
    answerer->clear();
    Full->hide();
}

namespace {

class ScriptedPicker : public FilePicker {
public:
    explicit ScriptedPicker(QString answer) : answer(std::move(answer)) { SetFilePicker(this); }
    ~ScriptedPicker() override { SetFilePicker(nullptr); }
    bool pick(const FilePickRequest &request, QString &chosen) override {
        folder = request.folder;
        chosen = answer;
        return true;
    }
    QString answer, folder;
};

QString Cell(QTableWidget *grid, int row, int column) {
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

TEST_F(PlaybackPanelTest, TheMusicDialogEditsAndStoresTheText) {
    form->SaveDanceMusic(Prog("Band*Old*3*****D:"));
    IniFile->EraseSection("Recorded");
    TMusForm &dialog = MusForm(form.get());
    dialog.FormShow();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Music for  Apple Cart Jig"));
    // An empty [Recorded] gets the standard columns.
    ASSERT_EQ(dialog.RGrid->columnCount(), 8);
    EXPECT_EQ(dialog.RGrid->horizontalHeaderItem(7)->text(), QStringLiteral("Location"));
    EXPECT_EQ(SettingText("Recorded", "Recording"), QStringLiteral("200"));
    EXPECT_EQ(dialog.Live->text(), QStringLiteral("Band"));
    EXPECT_EQ(Cell(dialog.RGrid, 0, 2), QStringLiteral("3"));

    // The picked file goes in relative to the base folder, with "\".
    ScriptedPicker picker(BaseFolder + "Orchard/Tone.wav");
    dialog.RGridRClick(1, 7);
    EXPECT_EQ(picker.folder, BaseFolder);
    EXPECT_EQ(Cell(dialog.RGrid, 1, 7), QStringLiteral("Orchard\\Tone.wav"));

    // A row without a location is refused and the dialog stays.
    dialog.RGrid->setItem(2, 1, new QTableWidgetItem("Lost"));
    dialog.BtnClick(true);
    EXPECT_TRUE(answerer->sawText("Missing Location."));
    dialog.RGrid->item(2, 1)->setText(QString());

    dialog.RGrid->setItem(1, 1, new QTableWidgetItem("Tone"));
    dialog.RGrid->setCurrentCell(1, 1);
    dialog.RGridClick(); // marks line 2
    dialog.BtnClick(true);
    const QString stored = Prog("Band*Old*3*****D:\rTone******Orchard\\Tone.wav");
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title='Apple Cart Jig'").toString(), stored);
    EXPECT_EQ(MusicText, stored);
    EXPECT_EQ(ChosenMusicLine, 2);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// A plain click in the live box makes live music the choice: the mark of
// the recording goes and OK leaves no recording chosen.
TEST_F(PlaybackPanelTest, AClickInLiveChoosesLiveMusic) {
    const QString music = Prog("Band*Old*3*****D:\rTone******Orchard\\Tone.wav");
    form->SaveDanceMusic(music);
    TMusForm &dialog = MusForm(form.get());
    dialog.FormShow();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto click = [&dialog](Qt::MouseButton button) {
        const QPointF at(5, dialog.Live->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, dialog.Live->mapToGlobal(at), button, button, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, dialog.Live->mapToGlobal(at), button, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(dialog.Live, &press);
        QApplication::sendEvent(dialog.Live, &release);
    };
    // The second recording marked, as a click on its row does.
    dialog.RGrid->setCurrentCell(1, 1);
    dialog.RGridClick();
    click(Qt::RightButton);
    EXPECT_EQ(Cell(dialog.RGrid, 1, 0), QStringLiteral("X")) << "only a left click chooses";
    click(Qt::LeftButton);
    for (int row = 0; row < dialog.RGrid->rowCount(); ++row) EXPECT_EQ(Cell(dialog.RGrid, row, 0), QString()) << row;
    ChosenMusicLine = 2;
    dialog.BtnClick(true);
    EXPECT_EQ(ChosenMusicLine, 0);
    EXPECT_EQ(PlainRead(path("Quillary.mdb"), "SELECT Music FROM Dances WHERE Title='Apple Cart Jig' AND rowid>?", 0),
              music);
}
