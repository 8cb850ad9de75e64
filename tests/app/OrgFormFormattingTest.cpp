#include "DancePageFixture.h"

#include "base/Clock.h"
#include "core/dialogs/GenderForm.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"
#include "presentation/SetForm.h"
#include "presentation/editor/IntEForm.h"
#include "presentation/editor/TextFormatting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// The font dialog's answer, set by each test; nullopt is Cancel.
class ScriptedDialogs : public FormatDialogs {
public:
    std::optional<QFont> font(QWidget *, const QFont &start) override {
        started = start;
        return answer;
    }
    std::optional<QColor> colour(QWidget *, const QColor &) override { return std::nullopt; }
    std::optional<QFont> answer;
    QFont started;
};

const char *const Stored = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 "
                           "A1:\\tab Up a double and back.\r\n\\par B1:\\tab Circle left.\r\n\\par }";

class OrgFormFormattingTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        ResetCardSettings();
        SetFormatDialogs(&dialogs);
    }
    void TearDown() override {
        SetFormatDialogs(nullptr);
        DropIntEFormWindow();
        SetClock({});
        delete SetForm;
        SetForm = nullptr;
        DancePageTest::TearDown();
        ResetCardSettings();
    }
    void openOne(const QString &cards = "[Cards]\r\nDFont=Arial\r\nDSize=12\r\nHalfLines=1\r\nParaGap=100\r\nLSpace=230\r\n") {
        writeIni("DOrder=FST\r\nIntEditor=1\r\n", cards);
        addDance("Hole in the Wall", "Longways", "English", {{"Instructions", Stored}});
        addDance("Rakes of Mallow", "Square", "English");
        open();
        LoadCardSettings();
        MakeSetForm(form.get());
        LoadCardSettings();
        for (QWidget *w : {static_cast<QWidget *>(form->EvPanel), static_cast<QWidget *>(form->DPanel), static_cast<QWidget *>(form->DancePage)}) form->Setup(w);
        form->PC->setCurrentWidget(form->DancePage);
        DancesData.First();
        form->ShowDance();
    }
    CardSetValues shown() { return SetForm->values(); }
    QByteArray ini() { return ReadFileBytes(path("Quillary.ini")); }
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(OrgFormFormattingTest, PrimaryFontGapAndSpacingTakeEffectEverywhere) {
    openOne();
    // Cancel writes nothing.
    QByteArray before = ini();
    form->DanceFontClick();
    EXPECT_EQ(ini(), before);
    EXPECT_EQ(dialogs.started.family(), "Arial");

    // OK on the dialog as it opened keeps the name, also where this machine
    // shows another font for it.
    dialogs.answer = QFont(QFontInfo(QFont("Arial", 12)).family(), 12);
    form->DanceFontClick();
    EXPECT_EQ(IniFile->ReadString("Cards", "DFont", ""), "Arial");

    // 10 point with half-lines on: the message, half-lines off, the font kept.
    dialogs.answer = QFont("Courier New", 10);
    form->DanceFontClick();
    EXPECT_TRUE(answerer->sawText("half-lines in the Internal Editor"));
    EXPECT_EQ(IniFile->ReadString("Cards", "DFont", ""), "Courier New");
    EXPECT_EQ(IniFile->ReadString("Cards", "DSize", ""), "10");
    EXPECT_FALSE(IniFile->ReadBool("Cards", "HalfLines", true));
    EXPECT_EQ(shown().fontName, "Courier New") << "the settings window is refilled, so Apply keeps it";
    EXPECT_TRUE(form->Instructions->rtf().contains("Courier New"));

    struct Row {
        const char *answer;
        bool taken;
    };
    const Row rows[] = {{"150", true}, {"abc", false}, {"-5", false}, {"", false}};
    for (void (TOrgForm::*command)() : {&TOrgForm::ParaGapMClick, &TOrgForm::LineSpaceClick}) {
        const bool gap = command == &TOrgForm::ParaGapMClick;
        for (const Row &r : rows) {
            SCOPED_TRACE(std::string(gap ? "gap " : "spacing ") + r.answer);
            answerer->clear();
            before = ini();
            answerer->scriptText(r.answer);
            (form.get()->*command)();
            EXPECT_TRUE(answerer->sawText(gap ? "Paragraph gap (in twips):" : "Line spacing (in twips):"));
            if (!r.taken) {
                EXPECT_EQ(ini(), before);
                EXPECT_TRUE(answerer->sawText(QString("'") + r.answer + "'")) << "the message names the text";
                continue;
            }
            EXPECT_EQ(IniFile->ReadString("Cards", gap ? "ParaGap" : "LSpace", ""), "150");
            EXPECT_EQ(gap ? CardsParaGap : CardsLSpace, 150);
            EXPECT_EQ(gap ? shown().paraGap : shown().lSpace, "150");
            for (RichEdit *shown : {form->Instructions, IntEFormWindow().Inst})
                EXPECT_TRUE(shown->rtf().contains(gap ? "\\sa150" : "\\sl-150")) << shown->objectName().toStdString();
        }
    }
    EXPECT_FALSE(form->Instructions->rtf().contains("--"));
}

TEST_F(OrgFormFormattingTest, GenderWordsAskedWhenSwitchedOn) {
    openOne();
    QAction *gender = form->OptionAction("Gender");
    ASSERT_TRUE(gender);
    WhenModal([](QWidget *w) {
        auto *f = qobject_cast<TGenderForm *>(w);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->MNew->text(), "Lark");
        EXPECT_EQ(f->WNew->text(), "Raven");
        f->MNew->setText("Leader");
        f->WNew->setText("Follower");
        f->OKBtn->click();
    });
    gender->trigger();
    EXPECT_EQ(IniFile->ReadString("System", "Man", ""), "Leader");
    EXPECT_EQ(IniFile->ReadString("System", "Woman", ""), "Follower");
    EXPECT_TRUE(IniFile->ReadBool("System", "Gender", false));

    gender->trigger(); // off: no question
    EXPECT_FALSE(IniFile->ReadBool("System", "Gender", true));
    WhenModal([](QWidget *w) { qobject_cast<TGenderForm *>(w)->CancelBtn->click(); });
    gender->trigger();
    EXPECT_FALSE(gender->isChecked()) << "Cancel switches the option off again";
    EXPECT_FALSE(IniFile->ReadBool("System", "Gender", true));
    EXPECT_EQ(IniFile->ReadString("System", "Man", ""), "Leader");
}

TEST_F(OrgFormFormattingTest, SelectAllPressesAndRightClicks) {
    openOne();
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QApplication::clipboard()->clear();
    // Ctrl+A typed in the title box selects the title; Select all from the
    // menu copies the instructions.
    form->Title->setFocus();
    QTest::keyClick(form->Title, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->Title->selectedText(), form->Title->text());
    const QMimeData *before = QApplication::clipboard()->mimeData();
    EXPECT_FALSE(before && before->hasFormat("text/rtf"));
    form->SelectAllM->trigger();
    const QMimeData *data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasFormat("text/rtf"));
    const QString rtf = QString::fromLatin1(data->data("text/rtf"));
    for (const char *layout : {"\\tx", "\\sl", "\\fi"}) EXPECT_FALSE(rtf.contains(layout)) << layout;
    RichEdit back;
    back.setRtf(rtf);
    EXPECT_EQ(back.text(), "A1:\tUp a double and back.\r\nB1:\tCircle left.");
    EXPECT_EQ(form->Instructions->selLength(), form->Instructions->text().size());

    // Presses 799 ms apart switch to the table view, 800 ms apart do not.
    for (int apart : {800, 799}) {
        SCOPED_TRACE(apart);
        if (!form->Grid->isHidden()) form->FormViewClick();
        QDateTime at = QDateTime(QDate(2026, 5, 1), QTime(10, 0)).addSecs(apart);
        SetClock([&at] { return at; });
        QTest::mousePress(form->Instructions->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTest::mouseRelease(form->Instructions->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        at = at.addMSecs(apart);
        // A quick second press arrives as a double click.
        QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(20, 5), form->Instructions->viewport()->mapToGlobal(QPointF(20, 5)),
                           Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->Instructions->viewport(), &second);
        EXPECT_EQ(!form->Grid->isHidden(), apart < 800);
    }

    // A right click on the date box shows no list and no message; on Format
    // every value.
    answerer->clear();
    form->RightClick(form->DateBox);
    EXPECT_FALSE(form->PopList->isVisibleTo(form.get()));
    EXPECT_TRUE(answerer->boxes.isEmpty());
    form->RightClick(form->Format);
    EXPECT_EQ(form->PopList->count(), 2) << "the shown format and the other";
}
