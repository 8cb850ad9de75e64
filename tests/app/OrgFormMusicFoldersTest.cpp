#include "DancePageFixture.h"
#include "platform/media/ToneWav.h"
#include "platform/media/WavePlayer.h"
#include "presentation/music/MusicFolders.h"
#include "presentation/music/Playback.h"
#include "presentation/music/RecordingsCatalogue.h"
#include "presentation/music/RecordingsGrid.h"

#include <QApplication>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

namespace {

QString Prog(QString text) { return text.replace('*', QChar(0x00B7)); }

struct HeardSink : WaveSink {
    HeardSink() { SetWaveSink(this); }
    ~HeardSink() override { SetWaveSink(nullptr); }
    void play(const QString &path) override { heard << path; }
    QStringList heard;
};

class MusicPagesTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        qputenv("QUILLARY_AO", "null");
        ResetPlaybackState();
        RecordingFileList.clear();
        music = path("Music/");
        writeIni("DOrder=FST\r\nRFolder=" + music + "\r\n", "[Recordings]\r\nFolk\\Reel.wav=61500\r\n");
        WriteToneWav(music + "Folk/Reel.wav", 0.2);
        WriteToneWav(music + "Folk/Jig.wav", 0.2);
        WriteToneWav(music + "Root.wav", 0.2);
        addDance("Reel, The", "Longways", "Jig", {{"Music", Prog("Band*Reel******Folk\\Reel.wav")}});
        addDance("Second Reel", "Longways", "Jig", {{"Music", Prog("*Reel******Folk\\Reel.wav")}});
        addDance("Hits", "Circle", "Reel", {{"Music", Prog("*Folk Hits*3*****D:")}});
        open();
        form->SetRFolder();
    }
    QStringList column(QTableWidget *grid) const {
        QStringList cells;
        for (int r = 0; r < grid->rowCount(); ++r) cells << (grid->item(r, 0) ? grid->item(r, 0)->text() : QString());
        return cells;
    }
    QStringList column(RecordingsGrid *grid) const {
        QStringList cells;
        for (int r = 0; r < grid->rowCount(); ++r) cells << grid->text(r, 0);
        return cells;
    }
    QString music;
};

} // namespace

TEST_F(MusicPagesTest, FoldersPageBrowsesPlaysAndReorders) {
    HeardSink sink;
    form->InitFolders();
    EXPECT_EQ(column(form->FoldGrid), QStringList({"» Folk", "Root.wav"}));
    EXPECT_EQ(form->FLab->text(), QStringLiteral("Base folder"));
    form->FGDblClick(0);
    EXPECT_EQ(column(form->FoldGrid), QStringList({"Jig.wav", "Reel.wav"}));
    EXPECT_EQ(form->FLab->text(), QStringLiteral("Folk/"));

    // A file plays full-screen from its own path.
    form->FGDblClick(1);
    EXPECT_EQ(PlayFile, music + "Folk/Reel.wav");
    EXPECT_FALSE(CdTrack);

    form->ReorderClick();
    form->FoldGrid->setCurrentCell(0, 0);
    form->MP3UpClick(); // the first row: a beep, nothing moves
    EXPECT_EQ(sink.heard.size(), 1);
    form->MP3DownClick();
    EXPECT_EQ(column(form->FoldGrid), QStringList({"Reel.wav", "Jig.wav"}));
    form->MP3CancelClick();
    EXPECT_EQ(column(form->FoldGrid), QStringList({"Jig.wav", "Reel.wav"}));
    form->ReorderClick();
    form->FoldGrid->setCurrentCell(0, 0);
    form->MP3DownClick();
    form->MP3SaveClick();
    EXPECT_EQ(ReadFolderOrder(music + "Folk/"), QStringList({"Reel.wav", "Jig.wav"}));
    EXPECT_TRUE(form->MP3Save->isHidden());

    form->FGDblClick(-1); // Back
    EXPECT_EQ(column(form->FoldGrid), QStringList({"» Folk", "Root.wav"}));

    // F5 fills the grid again from the base folder, with a file added meanwhile
    form->FGDblClick(0);
    WriteFileBytes(music + "New.wav", "RIFF");
    form->PC->setCurrentWidget(form->FolderPage);
    QTest::keyClick(form->FoldGrid, Qt::Key_F5);
    EXPECT_EQ(column(form->FoldGrid), QStringList({"» Folk", "Root.wav", "New.wav"})); // new files after the kept order
}

// An order file too large to be one is listed past, and neither a new order
// nor CD details are written over it.
TEST_F(MusicPagesTest, AnUnreadableOrderFileIsNeverWrittenOver) {
    const QString order = music + "Folk/Ini.Text";
    WriteFileBytes(order, "Reel.wav\r\n");
    ASSERT_TRUE(QFile::resize(order, 17 << 20));
    const QByteArray before = ReadFileBytes(order);
    form->InitFolders();
    form->FGDblClick(0);
    EXPECT_EQ(column(form->FoldGrid), QStringList({"Jig.wav", "Reel.wav"}));
    const QString why = order + " is larger than 16777216 bytes.";
    EXPECT_THROW(form->ReorderClick(), SilentAbort);
    EXPECT_TRUE(form->MP3Save->isHidden());
    EXPECT_THROW(form->CDinfoClick(-1), SilentAbort);
    EXPECT_EQ(answerer->texts(), QStringList({"The order cannot be changed:\n" + why,
                                              "The CD details cannot be changed:\n" + why}));
    EXPECT_TRUE(ReadFileBytes(order) == before);
}

TEST_F(MusicPagesTest, RecordingsPageCollatesAddsAndShowsTheMark) {
    form->RefrBtnClick();
    EXPECT_EQ(column(form->RecGrid), QStringList({"In folder Folk", "Jig.wav", "Reel.wav", " and", "In folder [Root]",
                                                  "Root.wav", "On drive D:", "Folk Hits, track 3"}));
    EXPECT_EQ(form->RecGrid->currentRow(), 1);

    // The mark of the row's file, stored in milliseconds.
    form->RecGrid->setCurrentCell(2, 0);
    EXPECT_EQ(form->MarkText->text(), QStringLiteral("1:01"));

    // Headers and CD rows are no recordings.
    for (int row : {0, 6, 7}) {
        form->RecGrid->setCurrentCell(row, 0);
        form->AddBtnClick();
    }
    EXPECT_EQ(answerer->boxes.size(), 3);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("You are not positioned on a recording.")));

    // An " and" row adds the file of the row above to the current dance.
    form->LocateDance("Hits", "Circle", "Reel");
    form->RecGrid->setCurrentCell(3, 0);
    answerer->script(ResultNo);
    WhenModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
    form->AddBtnClick();
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title='Hits'").toString(),
              Prog("*Folk Hits*3*****D:\r******Folk\\Reel.wav"));

    // The search box filters the last scan.
    form->Searcher->setText(QStringLiteral("jig.w"));
    EXPECT_EQ(column(form->RecGrid), QStringList({"In folder Folk", "Jig.wav"}));
}

// Ctrl+Down and Ctrl+Up jump between the "In folder" rows (the last row and
// the first at the ends), also after a field of another page had the focus.
TEST_F(MusicPagesTest, CtrlUpDownJumpBetweenFolderRows) {
    showActive();
    form->ShowEvent(true);
    ASSERT_TRUE(form->RowsBuilt);
    form->PC->setCurrentWidget(form->DancePage);
    form->Title->setFocus();
    form->AnyEnter(form->Title);
    form->PC->setCurrentWidget(form->RecPage);
    form->RefrBtnClick();
    // In folder Folk, Jig, Reel, " and", In folder [Root], Root.wav, On drive D:, Folk Hits.
    form->RecGrid->setFocus();
    form->RecGrid->setCurrentCell(5, 0);
    const struct {
        Qt::Key key;
        int row;
    } steps[] = {{Qt::Key_Up, 4}, {Qt::Key_Up, 0}, {Qt::Key_Up, 0}, {Qt::Key_Down, 4}, {Qt::Key_Down, 7},
                 {Qt::Key_Down, 7}};
    for (const auto &s : steps) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), s.key,
                        Qt::ControlModifier);
        EXPECT_EQ(form->RecGrid->currentRow(), s.row);
    }
}
