#include "presentation/editor/IntEForm.h"
#include "core/database/SampleCatalogue.h"
#include "DancePageFixture.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"
#include "presentation/InstructionEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QtMath>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

namespace {

class ShowDanceTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        addDance("Star Reel", "Longways", "Duple",
                 {{"Instructions", InstructionRtf({"A1\tStar right, star left.", "B1\tSTAR through and turn."})},
                  {"Footer", InstructionRtf({"Tune: The Mill"})},
                  {"Notes", "First line\r\nSecond line"},
                  {"Printed", "Y"},
                  {"OwnTune", "Y"}});
        addDance("Plain", "Circle", "Mixer", {{"Instructions", "Circle left\r\nSwing\tall"}});
    }
    void show(const QString &title) {
        DancesData.First();
        while (!DancesData.Eof() && shownTitle() != title) DancesData.Next();
        ASSERT_EQ(shownTitle(), title);
        form->Title->setText(title); // the box shows its field
        form->ShowDance();
    }
    QStringList lines(RichEdit *box) { return box->document()->toPlainText().split('\n'); }
    RichEdit *editorMain() { return IntEFormWindow().Inst; }
    RichEdit *editorFooter() { return IntEFormWindow().Footer; }
    QTextCharFormat formatAt(int pos) {
        QTextCursor c(form->Instructions->document());
        c.setPosition(pos + 1);
        return c.charFormat();
    }
};

} // namespace

TEST_F(ShowDanceTest, InstructionsWithTheirFooterInTheCardFont) {
    StoreOption("ShowTitles", false);
    open();
    show("Star Reel");
    EXPECT_EQ(lines(form->Instructions),
              (QStringList{"A1\tStar right, star left.", "B1\tSTAR through and turn.", "", "Tune: The Mill"}));
    EXPECT_EQ(lines(editorMain()), (QStringList{"A1\tStar right, star left.", "B1\tSTAR through and turn."}));
    EXPECT_EQ(lines(editorFooter()), QStringList{"Tune: The Mill"});
    EXPECT_TRUE(LastInstructions.endsWith("\r\n\\par }\r\n"));
    EXPECT_TRUE(LastFooter.contains("Tune: The Mill"));
    EXPECT_FALSE(editorMain()->modified());
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
    EXPECT_TRUE(form->OwnTune->isChecked());
    EXPECT_EQ(form->Notes->toPlainText(), QStringLiteral("First line\nSecond line"));
    EXPECT_FALSE(form->Notes->document()->isModified());
    EXPECT_FALSE(DancesData.Modified()) << "showing a dance changes nothing";
    EXPECT_EQ(formatAt(0).fontFamilies().toStringList().value(0), CardsDFont);

    // Without the footer option the editor gets no footer.
    StoreOption("UseFooter", false);
    show("Star Reel");
    EXPECT_TRUE(editorFooter()->document()->toPlainText().isEmpty());
    EXPECT_EQ(lines(editorMain()), (QStringList{"A1\tStar right, star left.", "B1\tSTAR through and turn."}));
}

TEST_F(ShowDanceTest, TitlesAreAddedOrLeadingTitleLinesRemoved) {
    StoreOption("ShowTitles", true);
    open();
    show("Star Reel");
    EXPECT_EQ(lines(form->Instructions).value(0), QStringLiteral("Star Reel"));
    EXPECT_EQ(lines(editorMain()).value(0), QStringLiteral("Star Reel"));
    const QTextCharFormat heading = formatAt(0);
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.fontPointSize(), 14);

    StoreOption("ShowTitles", false);
    Statement s(Conn.handle(), "UPDATE Dances SET Instructions=? WHERE Title='Plain'");
    s.bind(1, InstructionRtf({"", "Plain", "", "Circle left", "Plain"}));
    s.step();
    s.finalize();
    Conn.tableChanged("Dances");
    show("Plain");
    EXPECT_EQ(lines(form->Instructions), (QStringList{"Circle left", "Plain"}));
}

TEST_F(ShowDanceTest, TheFilterValueIsBoldAndRed) {
    StoreOption("ShowTitles", false);
    open();
    DancesFilter.FullMatch[1] = false;
    filterDances("Instructions", "star");
    show("Star Reel");
    const QString text = form->Instructions->document()->toPlainText();
    for (int at : {3, 15, 29}) {
        EXPECT_EQ(text.mid(at, 4).toUpper(), QStringLiteral("STAR")) << at;
        EXPECT_EQ(formatAt(at).fontWeight(), QFont::Bold) << at;
        EXPECT_EQ(formatAt(at).foreground().color(), QColor(Qt::red)) << at;
    }
    EXPECT_NE(formatAt(9).fontWeight(), QFont::Bold) << "\"right\" stays plain";
    EXPECT_FALSE(form->Instructions->modified());
}

TEST_F(ShowDanceTest, NotesBoxHeights) {
    open();
    show("Plain");
    const QFontMetrics metrics(form->Notes->font());
    const int line = metrics.lineSpacing();
    const int margin = qCeil(form->Notes->document()->documentMargin());
    // What the box has for its text, inside the frame and the margins.
    const auto textArea = [&] { return form->Notes->height() - 2 * (form->Notes->frameWidth() + margin); };
    // Typed text, as the user would.
    const auto type = [this](const QString &text) {
        form->Notes->selectAll();
        form->Notes->insertPlainText(text);
    };
    type("one");
    EXPECT_EQ(textArea(), metrics.boundingRect(QRect(0, 0, 10000, 1000), Qt::TextWordWrap, "one").height() + 1);
    EXPECT_GE(textArea(), metrics.height()) << "the line is shown whole";
    EXPECT_EQ(form->Notes->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    type("one\n");
    EXPECT_EQ(textArea(), metrics.boundingRect(QRect(0, 0, 10000, 1000), Qt::TextWordWrap, "one\n").height() + 1 + line)
        << "a final line break";
    type("");
    EXPECT_EQ(textArea(), line) << "empty notes";
    type("1\n2\n3\n4\n5\n6\n7\n8\n9");
    EXPECT_EQ(textArea(), 4 * line + 1) << "four lines, then a scroll bar";
    EXPECT_EQ(form->Notes->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Typing marks the record changed, so the post stores the notes.
    EXPECT_TRUE(DancesData.Modified());
    DancesData.Post();
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE Title='Plain'").toString(),
              QStringLiteral("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9"));
    EXPECT_FALSE(form->Notes->document()->isModified());
}

// A dance shown from the Events page (its page still hidden) gets a notes box
// fitted to the width the box has once the page shows.
TEST_F(ShowDanceTest, NotesFittedWhileThePageIsHiddenFitOnceItShows) {
    addDance("Short Note", "Circle", "Mixer", {{"Notes", "First danced at the Orchard Festival."}});
    open();
    form->resize(1200, 760);
    form->PC->setCurrentWidget(form->EventPage);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    show("Short Note");
    form->PC->setCurrentWidget(form->DancePage);
    QApplication::processEvents();
    const int margin = qCeil(form->Notes->document()->documentMargin());
    const int textArea = form->Notes->height() - 2 * (form->Notes->frameWidth() + margin);
    const QFontMetrics metrics(form->Notes->font());
    EXPECT_EQ(textArea, metrics.boundingRect(QRect(0, 0, 10000, 1000), Qt::TextWordWrap, "First").height() + 1)
        << "one line";
    EXPECT_FALSE(DancesData.Modified()) << "fitting the box is no edit";
}

TEST_F(ShowDanceTest, MusicBoxAndPlayControls) {
    addDance("Tuned", "Set", "Welsh",
             {{"Music", Prog("Live*Dance Tunes*3*CD****D:\rMore Tunes**MP3****tunes/b.MID")}});
    open();
    show("Tuned");
    EXPECT_EQ(form->Music->text(), QStringLiteral("Live"));
    EXPECT_FALSE(form->PlayPnl->isHidden());
    EXPECT_EQ(PlayFile, QStringLiteral("D:"));
    EXPECT_TRUE(CdTrack);
    EXPECT_EQ(form->PlayBtn->toolTip(), QStringLiteral("Play...\rRecording: Dance Tunes\rTrk: 3\rFormat: CD\rLocation: D:"));

    form->IsRec->setChecked(true);
    ChosenMusicLine = 2;
    form->ShowDance();
    EXPECT_EQ(form->Music->text(), Prog("More Tunes**MP3****tunes/b.MID"));
    EXPECT_EQ(PlayFile, QStringLiteral("tunes/b.MID"));
    EXPECT_TRUE(MidFile);
    EXPECT_FALSE(CdTrack);
    EXPECT_FALSE(DancesData.Modified()) << "filling the box is no edit";
}

TEST_F(ShowDanceTest, AMusicFieldOfSeveralLinesIsStoredWithItsFirstLine) {
    addDance("Twice", "Set", "Welsh", {{"Music", "Tune A\rTune B"}});
    open();
    show("Twice");
    EXPECT_TRUE(answerer->sawText("Music field is more than one line:\nTune A\nTune B\n\nUsing first line only."));
    EXPECT_EQ(scalar("SELECT Music FROM Dances WHERE Title='Twice'").toString(), QStringLiteral("Tune A"));
    answerer->clear();
    show("Twice");
    EXPECT_TRUE(answerer->boxes.isEmpty()) << "fixed once, not at every show";
}

TEST_F(ShowDanceTest, TypingRecordingDataIntoTheMusicBoxIsUndone) {
    open();
    show("Plain");
    form->Music->setText(Prog("x*y"));
    EXPECT_TRUE(answerer->sawText("Field contains information about recorded music.  Please right-click to change it."));
    EXPECT_EQ(form->Music->text(), QString());
    EXPECT_FALSE(DancesData.Modified());
}
