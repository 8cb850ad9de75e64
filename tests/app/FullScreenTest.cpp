#include "EventFormFixture.h"

#include "core/dances/DanceShow.h"
#include "platform/media/MyPlayer.h"
#include "platform/media/ToneWav.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/editor/SpecialChars.h"
#include "presentation/fullscreen/Full.h"
#include "presentation/music/Playback.h"

#include <QAbstractTextDocumentLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextBlock>

namespace {

const char *Squares = "~D|Apple|Longways|English~O|Squares without a walk-through~D|Break|Square|Break~"
                      "D|Fig One|Square|Figure~D|Fig Two|Square|Figure~D|Fig Three|Square|Figure~"
                      "D|Fig Four|Square|Figure~N|Tea at nine~";

class FullScreenTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        qputenv("QUILLARY_AO", "null");
        ResetPlaybackState();
        IniFile->WriteString("Recorded", "Recording", "");
        IniFile->WriteString("Recorded", "Trk", "");
        IniFile->WriteString("Recorded", "Location", "");
        LocationColumn = 2;
        BaseFolder = path("Music/");
        WriteToneWav(BaseFolder + "Tone.wav", 3);
        addDance("Apple", {{"Music", Prog("Live~Orchard Band~~Tone.wav")},
                           {"Instructions", "{\\rtf1\\ansi A1: Ladies lead down\\par}"},
                           {"Notes", "See {this} \\ that"}});
        for (const char *f : {"Fig One", "Fig Two", "Fig Three", "Fig Four"})
            insert("Dances", {{"Title", f}, {"Format", "Square"}, {"Style", "Figure"},
                              {"Instructions", "{\\rtf1\\ansi \\b Heads\\b0  lead\\par}"}});
        insert("Dances", {{"Title", "Break"}, {"Format", "Square"}, {"Style", "Break"}});
        open(addEvent("Bath", 0, Prog(Squares), {{"Band", "The Reelers"}}));
        form->SelectProgrammeRow(0);
        FullWindow(form.get()).PrepareNormal();
        Full->show();
    }
    void TearDown() override {
        if (Playing) form->PlayBtnClick();
        if (Full) Full->hide();
        ResetPlaybackState();
        EventFormTest::TearDown();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(Full->FullText, Qt::Key(k), mods); }
    QString text() const { return Full->FullText->document()->toPlainText(); }
};

} // namespace

// Right and Left step the programme with the main window's selection; a
// notes row shows the event's details; Ctrl+Up/Down go by session headings.
TEST_F(FullScreenTest, StepsKeepTheMainWindowInStep) {
    EXPECT_TRUE(text().contains("Ladies lead down")) << text().toStdString();
    EXPECT_TRUE(text().contains("Recording=Orchard Band  Location=Tone.wav")) << text().toStdString();
    EXPECT_TRUE(text().contains("See {this} \\ that"));
    key(Qt::Key_Right);
    EXPECT_EQ(ThisIndex, 1);
    EXPECT_EQ(form->Rows->ThisItem, form->Rows->ItemList[1]);
    key(Qt::Key_Right);
    EXPECT_EQ(ThisIndex, 2);
    EXPECT_EQ(DancesData.FieldByName("Title").AsString(), "Break");
    EXPECT_TRUE(text().startsWith("Break:  ")) << text().toStdString();
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(ThisIndex, 0);
    EXPECT_EQ(DancesData.FieldByName("Title").AsString(), "Apple");
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(ThisIndex, 1);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(ThisIndex, 7);
    EXPECT_EQ(text(), "Organisation: Bath\nBand: The Reelers\n\nTea at nine");
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(ThisIndex, 1);
}

// Space in the no-walk-through session steps the square sequence, heads and
// sides exchanged where the sequence says.
TEST_F(FullScreenTest, SpaceStepsTheSquares) {
    form->SelectProgrammeRow(2);
    Full->ShowItem();
    EXPECT_EQ(Full->BFPanel->text(), "Br1");
    EXPECT_TRUE(Full->InitPnl->isVisible());
    QStringList shown;
    for (int i = 0; i < 13; ++i) {
        key(Qt::Key_Space);
        shown << Full->BFPanel->text() + (Full->SwapShown ? "x" : "");
    }
    EXPECT_EQ(shown.join(' '), "1 2 Br1 3x 4x Br1 3 4 Br1 1x 2x Br1 Sequence ended");
    EXPECT_FALSE(Full->InitPnl->isVisible()) << "the end says itself alone";
    EXPECT_TRUE(text().contains("Sides lead") || Full->SwapShown == false);
}

// Enter plays; Esc fades by 4 a tick and ends through the stop path with the
// stored volume back; Ctrl alone seeks to the mark.
TEST_F(FullScreenTest, EnterPlaysEscFades) {
    IniFile->WriteInteger("System", "Volume", 40);
    Full->VolVal->setText(" 40");
    IniFile->WriteInt64("Recordings", "Tone.wav", 1500);
    RecordedAsked = true; // the band question is the playback tests' own
    key(Qt::Key_Return);
    ASSERT_TRUE(Playing) << answerer->texts().join("|").toStdString();
    QTest::keyPress(Full->FullText, Qt::Key_Control);
    QTest::keyRelease(Full->FullText, Qt::Key_Control);
    PumpEvents(100);
    EXPECT_GE(form->Player->GetPosition(), 1400);
    // Ctrl with another key between is no seek.
    form->Player->Seek(300);
    form->Player->Play();
    QTest::keyPress(Full->FullText, Qt::Key_Control);
    key(Qt::Key_Home, Qt::ControlModifier);
    QTest::keyRelease(Full->FullText, Qt::Key_Control);
    PumpEvents(100);
    EXPECT_LT(form->Player->GetPosition(), 1400);
    // A drag of the position bar seeks once, when it is let go.
    TotalSeconds = 3;
    Full->TrackBar->setSliderDown(true);
    Full->TrackBar->setValue(80);
    EXPECT_LT(form->Player->GetPosition(), 1400) << "no seek while dragging";
    Full->TrackBar->setSliderDown(false);
    PumpEvents(100);
    EXPECT_GE(form->Player->GetPosition(), 2400); // 80 % of 3 s
    key(Qt::Key_Escape);
    EXPECT_TRUE(Full->Fading);
    QList<int> volumes;
    while (Playing && volumes.size() < 20) {
        Full->ShowMins();
        volumes << Full->VolVal->text().trimmed().toInt();
    }
    EXPECT_FALSE(Playing);
    EXPECT_EQ(volumes.mid(0, 3), QList<int>({36, 32, 28}));
    EXPECT_EQ(volumes.last(), 40);
    EXPECT_TRUE(Full->isVisible());
}

// Zoom 200 doubles a run's height on screen and halves the divider; the
// text keeps its stored sizes.
TEST_F(FullScreenTest, ZoomScalesTheViewOnly) {
    Full->ApplyZoom(100);
    const auto height = [] {
        QTextBlock b = Full->FullText->document()->begin();
        return Full->FullText->document()->documentLayout()->blockBoundingRect(b).height();
    };
    const double at100 = height();
    Full->ApplyZoom(200);
    EXPECT_NEAR(height() / at100, 2.0, 0.25);
    const QString rtf = Full->FullText->rtf();
    EXPECT_TRUE(rtf.contains("\\fs28 Apple")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains(QString(55, '_') + "\r\n")) << rtf.toStdString();
    EXPECT_EQ(IniFile->ReadString("User", "Zoom", ""), "200");
}

// The notes view edits a notes box and copies it back on Esc.
TEST_F(FullScreenTest, NotesViewCopiesBack) {
    Full->hide();
    form->Notes->setPlainText("First \"line\"");
    form->Notes->document()->setModified(false);
    FullWindow().PrepareNotes(form->Notes);
    Full->show();
    EXPECT_FALSE(Full->FullText->isReadOnly());
    QTest::keyClicks(Full->FullText, "Added ");
    // A character from the special-character panel goes in at the caret.
    Full->SpecialClick();
    ASSERT_TRUE(SpecialPanel() && !SpecialPanel()->isHidden());
    for (QPushButton *b : SpecialPanel()->findChildren<QPushButton *>())
        if (b->property("code").toInt() == 0xBD) b->click();
    EXPECT_TRUE(SpecialPanel()->isHidden());
    key(Qt::Key_Escape);
    EXPECT_EQ(form->Notes->toPlainText(), QString::fromUtf8("Added \u00bdFirst \"line\""));
    EXPECT_TRUE(form->Notes->document()->isModified());
    EXPECT_FALSE(Full->isVisible());
}

// Maintainer mode's technique notes: the matching sections go to the browser
// as "Technique.htm"; a browser that will not open says so.
TEST_F(FullScreenTest, TechniqueNotesOpenInTheBrowser) {
    WriteFileBytes(path("Site/t.htm"), "<body><h2>Apple</h2>Swing well.</body>");
    TempFolder = path("");
    Full->Technique = TechniqueIndex(path("Site/"));
    Full->ShowItem();
    EXPECT_TRUE(Full->NotesPnl->isVisible());
    RecordingOpener opener;
    Full->NotesPnlClick();
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(QString::fromUtf8(ReadFileBytes(path("Technique.htm"))).contains("Swing well."));
    struct Refusing : DocumentOpener {
        bool open(const QUrl &) override { return false; }
    } refusing;
    SetDocumentOpener(&refusing);
    Full->NotesPnlClick();
    SetDocumentOpener(nullptr);
    EXPECT_TRUE(answerer->sawText("Cannot run default browser.  Error code 0"));
    Full->Technique.clear();
}

// A double-click on the shown text follows the notes link under the pointer,
// as the notes' own double-click does; on plain text it opens nothing.
TEST_F(FullScreenTest, DoubleClickFollowsANotesLink) {
    DancesData.Edit();
    DancesData.FieldByName("Notes").SetAsString("Tune: Link=\"Tunes\\apple.pdf\" or http://x.org/apple here");
    DancesData.Post();
    WriteFileBytes(path("Tunes/apple.pdf"), "%PDF");
    Full->ShowItem();
    RecordingOpener opener;
    const auto dblClickOn = [&](const QString &word) {
        const int at = text().indexOf(word);
        ASSERT_GE(at, 0) << text().toStdString();
        QTextCursor c(Full->FullText->document());
        c.setPosition(at + 1);
        const QPoint point = Full->FullText->cursorRect(c).center();
        QTest::mouseDClick(Full->FullText->viewport(), Qt::LeftButton, {}, point);
        // The button comes up again, as a hand's would: left down, it would
        // hold off every later seek of the position bar.
        QTest::mouseRelease(Full->FullText->viewport(), Qt::LeftButton, {}, point);
    };
    dblClickOn("apple.pdf");
    dblClickOn("x.org");
    dblClickOn("Tune:");
    EXPECT_EQ(opener.opened, QStringList({QUrl::fromLocalFile(path("Tunes/apple.pdf")).toString(), "http://x.org/apple"}));
}

// Opened from the Folders page after a notes row was shown: the caption names
// the playing file and the close panel shows beside the speed and volume.
TEST_F(FullScreenTest, FromTheFoldersPageTheFileAndTheCloseButton) {
    key(Qt::Key_End, Qt::ControlModifier); // the notes row
    ASSERT_EQ(Full->windowTitle(), "Notes - full-screen");
    Full->hide();
    form->SavedPage = form->FolderPage;
    PlayFile = BaseFolder + "Tone.wav";
    FullWindow(form.get()).PrepareNormal();
    Full->show();
    EXPECT_EQ(Full->windowTitle(), "Tone.wav - full-screen");
    EXPECT_TRUE(Full->ClosePanel->isVisible());
    EXPECT_TRUE(Full->SpeedBox->isVisible());
    EXPECT_EQ(text(), "  Tone.wav");
    form->SavedPage = nullptr;
}

// A square sequence called before a file is played from the Folders page:
// neither its step panel nor its start panel shows over the file's name, at
// its start or after its end.
TEST_F(FullScreenTest, FromTheFoldersPageNoSquarePanels) {
    for (int spaces : {0, 13}) {
        SCOPED_TRACE(spaces);
        form->SavedPage = nullptr;
        form->SelectProgrammeRow(2);
        FullWindow(form.get()).PrepareNormal();
        Full->show();
        Full->ShowItem();
        for (int i = 0; i < spaces; ++i) key(Qt::Key_Space);
        ASSERT_TRUE(Full->BFPanel->isVisible());
        EXPECT_EQ(Full->BFPanel->text(), spaces ? "Sequence ended" : "Br1");
        Full->hide();
        form->SavedPage = form->FolderPage;
        PlayFile = BaseFolder + "Tone.wav";
        FullWindow(form.get()).PrepareNormal();
        Full->show();
        EXPECT_EQ(text(), "  Tone.wav");
        EXPECT_FALSE(Full->BFPanel->isVisible()) << Full->BFPanel->text().toStdString();
        EXPECT_FALSE(Full->InitPnl->isVisible());
        Full->hide();
    }
    form->SavedPage = nullptr;
}
