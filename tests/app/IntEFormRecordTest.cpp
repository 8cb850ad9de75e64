// The instruction editor and the dance record: typed text kept when the
// dance is left, the set's own count for printing and removing, and the
// title heading stored in the card font and kept out of Panic!'s list.

#include "DancePageFixture.h"
#include "PdfCardPrinter.h"

#include "platform/rtf/RichEdit.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/DBNavigator.h"
#include "presentation/CardSettings.h"
#include "presentation/editor/IntEForm.h"
#include "programme/files/InsForm.h"
#include "programme/rows/ProgrammeRows.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

namespace {

// Notes whether the print panel still shows when a box comes up.
class PanelWatcher : public TestAnswerer {
public:
    BoxResult present(const BoxRequest &request) override {
        if (panel && panel->isVisible()) shownWithPanel.append(request.text);
        return TestAnswerer::present(request);
    }
    QWidget *panel = nullptr;
    QStringList shownWithPanel;
};

const QString OneCard = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 "
                        "Lead up and back.\r\n\\par }";

class IntEFormRecordTest : public DancePageTest {
protected:
    void TearDown() override {
        SetCardPrinter(nullptr);
        DropIntEFormWindow();
        ResetCardSettings();
        DancePageTest::TearDown();
    }
    void openWith(const QString &options, int dances) {
        writeIni("DOrder=FST\r\nIntEditor=1\r\nRefine=0\r\n" + options,
                 "[Cards]\r\nDFont=Georgia\r\nDSize=12\r\nGapTop=0\r\nGapLeft=200\r\nDWidth=7200\r\nDHeight=5200\r\n"
                 "VGap=500\r\nHGap=1200\r\nDown=2\r\nAcross=2\r\nPortrait=0\r\n");
        CardSettingsAtStartup(*IniFile);
        for (int i = 1; i <= dances; ++i)
            addDance(QStringLiteral("Dance%1").arg(i, 2, 10, QLatin1Char('0')), "Longways", "English",
                     {{"Instructions", OneCard}});
        open();
        form->PC->setCurrentWidget(form->DancePage);
        DancesData.First();
        form->ShowDance();
        editor = &IntEFormWindow();
    }
    void showEditor() {
        editor->show();
        editor->OnITimer();
    }
    // What another connection reads, not the dataset's buffer.
    QString stored(const QString &field, const QString &title) {
        Database db;
        db.open(path("Quillary.mdb"));
        return scalarOn(db, "SELECT " + field + " FROM Dances WHERE Title=?", {title}).toString();
    }
    void type(RichEdit *box, const QString &text) {
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, text);
    }
    TIntEForm *editor = nullptr;
};

} // namespace

TEST_F(IntEFormRecordTest, TypedTextIsKeptWhenTheDanceIsLeft) {
    openWith("ShowTitles=0\r\nUseFooter=1\r\n", 3);
    enum Leave { Next, Cancel, CloseNo, CloseYes };
    const struct {
        const char *name;
        bool footer;
        Leave leave;
        bool asked, kept;
    } rows[] = {
        {"next posts the instructions", false, Next, false, true},
        {"next posts the footer", true, Next, false, true},
        {"cancel restores", false, Cancel, false, false},
        {"closing asks, no drops", false, CloseNo, true, false},
        {"closing asks, yes saves", false, CloseYes, true, true},
    };
    int n = 0;
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const QString word = QStringLiteral("Swing%1").arg(++n);
        DancesData.First();
        form->ShowDance();
        showEditor();
        const QString field = r.footer ? "Footer" : "Instructions";
        const QString before = stored(field, "Dance01");
        RichEdit *box = r.footer ? editor->Footer : editor->Inst;
        ASSERT_TRUE(box->isVisibleTo(editor));
        ASSERT_FALSE(editor->INav->button(NavButton::Post)->isEnabled());
        answerer->clear();
        type(box, " " + word);
        EXPECT_TRUE(DancesData.Modified());
        EXPECT_TRUE(editor->INav->button(NavButton::Post)->isEnabled());
        EXPECT_TRUE(editor->INav->button(NavButton::Cancel)->isEnabled());
        switch (r.leave) {
        case Next:
            editor->INav->button(NavButton::Next)->click();
            EXPECT_EQ(shownTitle(), "Dance02");
            editor->INav->button(NavButton::Prior)->click();
            EXPECT_TRUE(box->toPlainText().contains(word)) << "shown again when the dance is come back to";
            break;
        case Cancel:
            editor->INav->button(NavButton::Cancel)->click();
            EXPECT_FALSE(box->toPlainText().contains(word));
            EXPECT_EQ(DancesData.State(), DatasetState::Browse);
            break;
        case CloseNo:
        case CloseYes:
            answerer->script(r.leave == CloseYes ? ResultYes : ResultNo);
            editor->close();
            EXPECT_EQ(DancesData.State(), DatasetState::Browse);
            break;
        }
        EXPECT_EQ(answerer->sawText("Save changes to instructions?"), r.asked);
        EXPECT_EQ(answerer->boxes.size(), r.asked ? 1 : 0) << answerer->texts().join('|').toStdString();
        const QString after = stored(field, "Dance01");
        if (r.kept) EXPECT_TRUE(rtfPlainText(after).contains(word)) << after.toStdString();
        else EXPECT_EQ(after, before);
        EXPECT_EQ(stored("Instructions", "Dance02"), OneCard) << "the next dance is untouched";
        editor->close();
    }
    // Showing and laying out a dance is no edit of it.
    DancesData.First();
    form->ShowDance();
    showEditor();
    editor->INav->button(NavButton::Next)->click();
    EXPECT_FALSE(DancesData.Modified());
    EXPECT_FALSE(editor->INav->button(NavButton::Post)->isEnabled());
}

// A set of n of the 23 dances (marked DFilter), one card each, printed two
// by two: the question only from 20 dances, and no page after the last card.
TEST_F(IntEFormRecordTest, PrintingCountsTheSetNotTheTable) {
    openWith("ShowTitles=0\r\n", 23);
    answerer.reset();
    auto watcher = std::make_unique<PanelWatcher>();
    watcher->panel = editor->PrPanel;
    PanelWatcher *watch = watcher.get();
    answerer = std::move(watcher);
    const struct {
        int set;
        bool asked;
        int pages; // 0: nothing printed
    } rows[] = {{2, false, 1}, {4, false, 1}, {19, false, 5}, {20, true, 0}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.set);
        Conn.execRaw(QStringLiteral("UPDATE Dances SET DFilter = CASE WHEN Title <= 'Dance%1' THEN 'Y' ELSE '' END")
                      .arg(r.set, 2, 10, QLatin1Char('0')));
        ShowMarkedDances("Set");
        ASSERT_EQ(DancesData.VisibleCount(), r.set);
        showEditor();
        EXPECT_EQ(editor->NRecs->text(), QString::number(r.set) + " dances");
        PdfCardPrinter printer(path(QStringLiteral("set%1.pdf").arg(r.set)));
        SetCardPrinter(&printer);
        answerer->clear();
        answerer->script(ResultNo); // to the count question, or to "Successfully printed dances?"
        editor->PrintClick(TIntEForm::PrintMode::All);
        EXPECT_EQ(answerer->sawText(QStringLiteral("Print instructions for %1 dances?").arg(r.set)), r.asked);
        EXPECT_EQ(printer.chosen, r.pages ? 1 : 0);
        if (r.pages) {
            EXPECT_TRUE(answerer->sawText("Successfully printed dances?"));
            printer.writer.reset();
            const QString info = ProgramOutput("pdfinfo", {printer.file});
            EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(r.pages)))) << info.toStdString();
        }
        SetCardPrinter(nullptr);
        editor->close();
    }
    EXPECT_EQ(watch->shownWithPanel, QStringList()) << "the print panel is gone before the question";
}

TEST_F(IntEFormRecordTest, RemovingTheWholeSetClosesTheEditor) {
    openWith("ShowTitles=0\r\n", 23);
    Conn.execRaw("UPDATE Dances SET DFilter = 'Y' WHERE Title IN ('Dance05', 'Dance09')");
    ShowMarkedDances("Set");
    showEditor();
    ASSERT_EQ(editor->DanceCount, 2);
    editor->RemoveClick();
    EXPECT_TRUE(editor->isVisible()) << "one dance left";
    EXPECT_EQ(editor->NRecs->text(), "1 dance");
    editor->RemoveClick();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Dances WHERE DFilter='Y'").toInt(), 0);
}

// Under "Show titles" the title heading is stored with the instructions:
// in the card font, as is what is typed into a dance that had none; and
// Panic! does not offer its own title as a dance.
TEST_F(IntEFormRecordTest, TitleHeadingInTheCardFontAndNotInPanicsList) {
    writeIni("DOrder=FST\r\nIntEditor=1\r\nRefine=0\r\nShowTitles=1\r\n", "[Cards]\r\nDFont=Georgia\r\nDSize=12\r\n");
    CardSettingsAtStartup(*IniFile);
    addDance("Panic!", "Technique", "Technique",
             {{"Instructions", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Georgia;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 "
                               "Reel\r\n\\par Jig\r\n\\par }"}});
    addDance("Grand Chain", "Technique", "Technique");
    addDance("Reel", "Longways", "English");
    addDance("Jig", "Longways", "English");
    addEvent("Club", 46000, "Dance", Prog("*O|First*"));
    open();
    editor = &IntEFormWindow();
    const struct {
        const char *title, *typed, *text;
    } rows[] = {
        {"Panic!", "", "Panic!\nReel\nJig"},
        {"Grand Chain", "Hands across", "Grand Chain\nHands across"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.title);
        form->LocateDance(r.title, "Technique", "Technique");
        form->ShowDance();
        showEditor();
        ASSERT_EQ(editor->Inst->document()->firstBlock().text(), r.title);
        if (*r.typed) type(editor->Inst, r.typed);
        editor->SaveClick();
        editor->close();
        const QString rtf = stored("Instructions", r.title);
        EXPECT_EQ(rtfPlainText(rtf).trimmed().replace("\r\n", "\n"), r.text) << rtf.toStdString();
        QStringList fonts;
        for (const auto &m : QRegularExpression("\\\\fcharset\\d+ ([^;]*);").globalMatch(rtf)) fonts.append(m.captured(1));
        EXPECT_EQ(fonts, QStringList{"Georgia"}) << rtf.toStdString();
    }

    form->Rows->SelectItem(form->Rows->ItemList[0]);
    QStringList labels;
    WhenModal([&](QWidget *w) {
        auto *ins = qobject_cast<TInsForm *>(w);
        ASSERT_TRUE(ins);
        for (QLabel *l : ins->Labels) labels.append(l->text());
        ins->AllBtn->click();
    });
    form->Panic->trigger();
    EXPECT_EQ(labels, (QStringList{"Reel", "Jig"}));
    EXPECT_EQ(form->ProgText, Prog("*O|First*D|Reel|Longways|English*D|Jig|Longways|English*"));
}
