#include "DancePageFixture.h"

#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"
#include "presentation/editor/CustomItems.h"
#include "presentation/editor/IntEForm.h"
#include "presentation/editor/SpecialChars.h"
#include "presentation/editor/TextFormatting.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWheelEvent>

namespace {

class NoDialogs : public FormatDialogs {
public:
    std::optional<QFont> font(QWidget *, const QFont &) override { return std::nullopt; }
    std::optional<QColor> colour(QWidget *, const QColor &) override { return answer; }
    std::optional<QColor> answer;
};

class IntEFormEditingTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        SetFormatDialogs(&dialogs);
        writeIni("DOrder=FST\r\nIntEditor=1\r\n", "[Cards]\r\nDFont=Arial\r\nDSize=12\r\n");
        addDance("Hole in the Wall", "Longways", "English");
        open();
        editor = &IntEFormWindow();
    }
    void TearDown() override {
        SetFormatDialogs(nullptr);
        DropIntEFormWindow();
        DancePageTest::TearDown();
    }
    void setText(const QString &plain) {
        QString body = plain;
        body.replace("\t", "\\tab ").replace("\r\n", "\r\n\\par ");
        editor->Inst->setRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\pard\\f0\\fs24 " + body + "\r\n\\par }");
        editor->Inst->setSelStart(0);
    }
    // The character format at the first character of what in Inst.
    QTextCharFormat formatOf(const QString &what) {
        const qsizetype at = editor->Inst->document()->toPlainText().indexOf(what);
        EXPECT_GE(at, 0) << what.toStdString();
        QTextCursor c(editor->Inst->document());
        c.setPosition(int(at) + 1);
        return c.charFormat();
    }
    QStringList captions() {
        QStringList out;
        for (QPushButton *b : editor->ItemButtons)
            if (b->text() != "Edit") out.append(b->text());
        return out;
    }
    NoDialogs dialogs;
    TIntEForm *editor = nullptr;
};

} // namespace

TEST_F(IntEFormEditingTest, UsingItems) {
    editor->CustomiseClick(true);
    ASSERT_EQ(captions().size(), 9);
    EXPECT_EQ(captions().first(), "1 && 3 improper");
    EXPECT_EQ(editor->CustPanel->height(), 21 * 9 + 55);
    struct Row {
        const char *name;
        int item;
        QString text;
        int answer;      // to the "not found" question, 0 for none asked
        QString after;   // plain text afterwards
        int paragraphs;  // afterwards
    };
    const Row rows[] = {
        {"ImproperForFirstTab", 3, "A1:\tUp a double\tand back", 0, "A1:  Improper Up a double\tand back", 1},
        {"TabOnlyAtStartNotFound", 3, "\tUp a double", ResultNo, "\tUp a double", 1},
        {"ProperIsCaseSensitive", 4, "Improper, then improper", 0, "Improper, then   Proper ", 1},
        {"DoubleProgressionAtCaret", 7, "B2: Circle", 0, QString(35, ' ') + "Double progression  \nB2: Circle", 2},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        setText(r.text);
        answerer->clear();
        if (r.answer) answerer->script(r.answer);
        editor->CustItemClick(r.item);
        EXPECT_EQ(answerer->sawText("not found in Instructions."), r.answer != 0);
        const QString plain = editor->Inst->document()->toPlainText();
        if (!r.after.isEmpty()) {
            EXPECT_EQ(plain, r.after);
        }
        EXPECT_EQ(editor->Inst->document()->blockCount(), r.paragraphs) << plain.toStdString();
    }
    // The label is bold white text on near-black.
    setText("A1:\tUp a double");
    editor->CustItemClick(3);
    const QTextCharFormat label = formatOf("Improper");
    EXPECT_GE(label.fontWeight(), QFont::Bold);
    EXPECT_EQ(label.foreground().color(), QColor(255, 255, 255));
    EXPECT_EQ(label.background().color(), QColor(1, 0, 0));
    EXPECT_TRUE(editor->Inst->modified());
}

TEST_F(IntEFormEditingTest, EditingSavingAndTheRawView) {
    editor->CustomiseClick(true);
    editor->CustBtnClick(3);
    EXPECT_EQ(editor->CTitle->text(), "Improper");
    EXPECT_EQ(editor->OldText->text(), "[tab]");
    const QString formatted = StripRtfHeaderGroups(editor->NewText);

    // Formatted, raw (a "?" first, on light yellow), formatted again: the same RTF.
    editor->RawBtnClick();
    EXPECT_TRUE(editor->NewText->toPlainText().startsWith("?\\rtf1"));
    EXPECT_EQ(editor->NewText->palette().color(QPalette::Base), QColor(255, 255, 128));
    editor->RawBtnClick();
    EXPECT_EQ(StripRtfHeaderGroups(editor->NewText), formatted);

    // Saved under a new title while the raw view shows: the RTF is stored,
    // and the new item's button comes last.
    editor->CustBtnClick(-1);
    editor->CTitle->setText("Mine & yours");
    editor->RawBtnClick();
    editor->OKBtnClick();
    const QString stored = IniFile->ReadString("Custom", "Mine & yours", "");
    EXPECT_TRUE(stored.startsWith("[tab]|{\\rtf1")) << stored.toStdString();
    EXPECT_FALSE(stored.contains("\r\n"));
    EXPECT_TRUE(editor->ItemPanel->isHidden());
    EXPECT_EQ(captions().last(), "Mine && yours");
    EXPECT_EQ(editor->CustPanel->height(), 21 * 10 + 55);

    // A refused title keeps the panel and what was typed.
    editor->CustBtnClick(-1);
    editor->CTitle->setText("a=b");
    const QByteArray before = ReadFileBytes(path("Quillary.ini"));
    editor->OKBtnClick();
    EXPECT_EQ(ReadFileBytes(path("Quillary.ini")), before);
    EXPECT_TRUE(editor->ItemPanel->isVisibleTo(editor));
    EXPECT_EQ(editor->CTitle->text(), "a=b");

    // Deleting: the question, then one button fewer.
    editor->CustBtnClick(9);
    answerer->clear();
    answerer->script(ResultYes);
    editor->DelBtnClick();
    EXPECT_TRUE(answerer->sawText("Mine & yours\nDelete custom item?"));
    EXPECT_EQ(captions().size(), 9);
    EXPECT_EQ(editor->CustPanel->height(), 21 * 9 + 55);
}

TEST_F(IntEFormEditingTest, FormattingCommandsOnTheSelection) {
    setText("Set and turn single");
    editor->Inst->select(8, 4); // "turn"
    editor->BoldClick();
    EXPECT_TRUE(formatOf("turn").fontWeight() >= QFont::Bold);
    EXPECT_FALSE(formatOf("Set").fontWeight() >= QFont::Bold);
    editor->BoldClick();
    EXPECT_FALSE(formatOf("turn").fontWeight() >= QFont::Bold) << "a second Bold takes it off";
    editor->Inst->select(0, 3);
    editor->ItalicClick();
    editor->UnderlineClick();
    EXPECT_TRUE(formatOf("Set").fontItalic() && formatOf("Set").fontUnderline());
    editor->NormalClick();
    EXPECT_FALSE(formatOf("Set").fontItalic() || formatOf("Set").fontUnderline());

    // Inverse: black on white becomes white on near-black, and back.
    editor->Inst->select(8, 4); // "turn"
    editor->InvClick();
    EXPECT_EQ(formatOf("turn").foreground().color(), QColor(Qt::white));
    EXPECT_EQ(formatOf("turn").background().color(), QColor(1, 0, 0));
    editor->InvClick();
    EXPECT_EQ(formatOf("turn").foreground().color(), QColor(Qt::black));
    EXPECT_EQ(formatOf("turn").background().color(), QColor(Qt::white));

    // Colour: written for Inst as blue x 65536 + green x 256 + red.
    dialogs.answer = QColor(10, 20, 30);
    editor->ColourClick();
    EXPECT_EQ(IniFile->ReadInteger("Cards", "Colour", 0), 30 * 65536 + 20 * 256 + 10);
    dialogs.answer = QColor(Qt::black);
    editor->ColBgBtnClick();
    EXPECT_EQ(formatOf("turn").background().color(), QColor(1, 0, 0));

    // The three elements, each stored as its control word.
    editor->Inst->setSelStart(3);
    editor->InsElem(NonBreakingSpace);
    editor->InsElem(NonBreakingHyphen);
    editor->InsElem(LineBreak);
    EXPECT_EQ(editor->Inst->selStart(), 6) << "the caret after each";
    EXPECT_TRUE(editor->Inst->rtf().contains("Set\\~\\_\\line ")) << editor->Inst->rtf().toStdString();

    // A special character goes in by its button; "&" is no mnemonic there.
    editor->Inst->setSelStart(0);
    editor->SpecialClick();
    ASSERT_TRUE(SpecialPanel());
    QPushButton *amp = nullptr;
    for (QPushButton *b : SpecialPanel()->findChildren<QPushButton *>())
        if (b->property("code").toInt() == '&') amp = b;
    ASSERT_TRUE(amp);
    amp->click();
    EXPECT_TRUE(editor->Inst->document()->toPlainText().startsWith("&Set"));
    EXPECT_TRUE(SpecialPanel()->isHidden());

    // The raw view shows the box's RTF; a changed text is loaded back.
    editor->ShowRTFClick(true);
    EXPECT_TRUE(editor->RTFList->isVisibleTo(editor));
    EXPECT_TRUE(editor->RTFList->toPlainText().contains("\\line ")) << editor->RTFList->toPlainText().toStdString();
    EXPECT_FALSE(editor->SaveRTF->isVisibleTo(editor));
    QString raw = editor->RTFList->toPlainText();
    raw.replace("single", "double");
    editor->RTFList->setPlainText(raw);
    EXPECT_TRUE(editor->SaveRTF->isVisibleTo(editor));
    editor->Inst->setModified(false);
    editor->SaveRTFClick();
    EXPECT_TRUE(editor->Inst->document()->toPlainText().endsWith("double"));
    EXPECT_TRUE(editor->Inst->modified());
}

TEST_F(IntEFormEditingTest, KeysFontListAndEditItems) {
    QStringList lines;
    for (int i = 1; i <= 60; ++i) lines.append(QString("A%1:\tLine %1").arg(i));
    setText(lines.join("\r\n"));
    editor->resize(800, 400);
    editor->show();
    editor->ITimer->stop();
    const auto press = [&](Qt::Key key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Tab ? "\t" : "");
        return editor->FormShortcut(&e);
    };
    // A tab typed inside the text restarts the layout; at the very start it does not.
    editor->Inst->setSelStart(0);
    EXPECT_FALSE(press(Qt::Key_Tab));
    EXPECT_FALSE(editor->ITimer->isActive());
    EXPECT_TRUE(editor->LayoutAbort);
    editor->Inst->setSelStart(10);
    EXPECT_FALSE(press(Qt::Key_Tab)) << "the box still takes the key";
    EXPECT_TRUE(editor->ITimer->isActive());
    editor->ITimer->stop();
    // Page Down scrolls the window by its height less 60.
    QScrollBar *bar = editor->Scroll->verticalScrollBar();
    editor->Inst->setFixedHeight(editor->Inst->contentHeight());
    editor->Area->resize(editor->Area->width(), editor->Inst->height() + 400);
    bar->setValue(0);
    ASSERT_GT(bar->maximum(), editor->Scroll->viewport()->height()) << "room to scroll";
    EXPECT_TRUE(press(Qt::Key_PageDown));
    EXPECT_EQ(bar->value(), std::min(bar->maximum(), editor->Scroll->viewport()->height() - 60));
    // The wheel: 20 pixels a step.
    const int before = bar->value();
    QWheelEvent wheel(QPointF(30, 30), editor->Scroll->viewport()->mapToGlobal(QPointF(30, 30)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor->Scroll->viewport(), &wheel);
    EXPECT_EQ(bar->value(), before + 40);

    // Delete clears the selection of the box last entered.
    setText("Set and turn single");
    editor->Inst->select(3, 4);
    editor->DeleteMClick();
    EXPECT_EQ(editor->Inst->document()->toPlainText(), "Set turn single");

    // A font from the list becomes the primary font, written and in force.
    editor->FontListClick("Courier New");
    EXPECT_EQ(IniFile->ReadString("Cards", "DFont", ""), "Courier New");
    EXPECT_EQ(CardsDFont, "Courier New");
    editor->hide();
}

TEST_F(IntEFormEditingTest, TypingIntoAHalfLineMakesItFull) {
    editor->Inst->setRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\pard\\f0\\fs24 A1:\\tab Up\r\n"
                         "\\par \\pard\\fs12\r\n\\par \\pard\\fs24 A2:\\tab Back\r\n\\par }");
    ASSERT_EQ(editor->Inst->document()->findBlockByNumber(1).charFormat().fontPointSize(), 6);
    editor->Inst->setTextCursor(QTextCursor(editor->Inst->document()->findBlockByNumber(1)));
    QTest::keyClick(editor->Inst, Qt::Key_X);
    EXPECT_TRUE(editor->ITimer->isActive()) << "a character typed into 6-point text restarts the layout";
    editor->OnITimer();
    const QTextBlock line = editor->Inst->document()->findBlockByNumber(1);
    EXPECT_EQ(line.text(), "x");
    EXPECT_EQ(line.begin().fragment().charFormat().fontPointSize(), 12);
    EXPECT_EQ(editor->Inst->textCursor().block().blockNumber(), 1) << "the caret stays after the typed character";
}

TEST_F(IntEFormEditingTest, DoubleClickFollowsTheLinkUnderTheCaret) {
    RecordingOpener opener;
    setText("Tune at http://x.org/a?b=1 here\r\nSet and turn single");
    editor->resize(800, 400);
    editor->show();
    editor->ITimer->stop();
    const auto doubleClick = [&](const QString &on) {
        QTextCursor c(editor->Inst->document());
        c.setPosition(int(editor->Inst->document()->toPlainText().indexOf(on)) + 1);
        const QPoint point = editor->Inst->cursorRect(c).center();
        QTest::mouseDClick(editor->Inst->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(editor->Inst->viewport(), Qt::LeftButton, {}, point); // and up again, as a hand's
    };
    doubleClick("x.org");
    // Plain text has no link and, in the editor, no notes view to open.
    doubleClick("turn");
    EXPECT_EQ(opener.opened, QStringList({"http://x.org/a?b=1"}));
    EXPECT_EQ(logText().count("NotesDblClick"), 2);
    editor->hide();
}

TEST_F(IntEFormEditingTest, ToolPanelDragsByItsHeaderAndKeepsItsTop) {
    setText("A1:\tSet and turn single");
    editor->resize(1200, 600);
    editor->show();
    editor->OnITimer();
    QWidget *panel = editor->ToolPanel;
    const int clientTop = editor->Scroll->y();
    // At first it stands at the right, 40 pixels down, clear of the card and its labels.
    EXPECT_EQ(panel->y(), clientTop + 40);
    EXPECT_LE(panel->geometry().right(), editor->width() - 25);
    int cardsRight = editor->Inst->geometry().right();
    for (QLabel *l : editor->Area->findChildren<QLabel *>())
        cardsRight = std::max(cardsRight, l->geometry().right());
    EXPECT_GT(panel->x(), editor->Scroll->x() + cardsRight);

    const auto drag = [&](Qt::MouseButton button, QPoint by) {
        const QPoint from(30, 5);
        QTest::mousePress(editor->ToolHdr, button, {}, from);
        QTest::mouseMove(editor->ToolHdr, from + by);
        QTest::mouseRelease(editor->ToolHdr, button, {}, from + by);
    };
    struct Row {
        Qt::MouseButton button;
        QPoint by;
        QPoint at; // relative to where the drag began
        int top;   // ToolPanelTop after the release
    };
    const QPoint start = panel->pos();
    const Row rows[] = {
        {Qt::LeftButton, {-200, 60}, {-200, 60}, 100},
        {Qt::RightButton, {50, 50}, {-200, 60}, 100}, // only the left button drags
        {Qt::LeftButton,
         {0, -1000},
         {-200, clientTop - start.y()},
         0}, // the header stays in the window
    };
    for (const Row &r : rows) {
        drag(r.button, r.by);
        EXPECT_EQ(panel->x(), start.x() + r.at.x()) << r.by.x() << "," << r.by.y();
        EXPECT_EQ(panel->y(), start.y() + r.at.y()) << r.by.x() << "," << r.by.y();
        EXPECT_EQ(editor->ToolPanelTop, r.top);
    }
    drag(Qt::LeftButton, {0, 150});
    ASSERT_EQ(editor->ToolPanelTop, 150);
    // Scrolling leaves it where it was put, its left kept too.
    editor->Inst->setFixedHeight(2000);
    editor->Area->resize(editor->Area->width(), 2100);
    editor->Scroll->verticalScrollBar()->setValue(300);
    EXPECT_EQ(panel->y(), clientTop + 150);
    EXPECT_EQ(panel->x(), start.x() - 200);
    // A smaller window keeps it inside.
    editor->resize(500, 400);
    EXPECT_LE(panel->geometry().right(), editor->width() - 1);
    EXPECT_EQ(panel->y(), clientTop + 150);
    editor->hide();
}
