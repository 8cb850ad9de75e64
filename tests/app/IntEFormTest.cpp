#include "DancePageFixture.h"
#include "PdfCardPrinter.h"

#include "platform/print/CardPrinter.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/SetForm.h"
#include "presentation/cards/CardLayout.h"
#include "presentation/editor/IntEForm.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QScreen>

namespace {

class IntEFormTest : public DancePageTest {
protected:
    void TearDown() override {
        SetCardPrinter(nullptr);
        DropIntEFormWindow();
        DancePageTest::TearDown();
    }
    // Nine one-card dances (a filtered set when marked) and the second
    // standard layout (two by two).
    void openNine(const QString &cards = "[Cards]\r\nGapTop=0\r\nGapLeft=200\r\nDWidth=7200\r\nDHeight=5200\r\nVGap=500\r\n"
                                         "HGap=1200\r\nDown=2\r\nAcross=2\r\nPortrait=0\r\n") {
        writeIni("DOrder=FST\r\nIntEditor=1\r\nShowTitles=0\r\nUseFooter=1\r\n", cards);
        for (int i = 1; i <= 9; ++i)
            addDance(QStringLiteral("Dance%1").arg(i), "Longways", "English",
                     {{"Instructions", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 "
                                       "A1 Lead up and back.\r\n\\par }"}});
        open();
        form->PC->setCurrentWidget(form->DancePage);
        DancesData.First();
        form->ShowDance();
    }
};

TEST_F(IntEFormTest, PrintsNineCardsOnThreePagesAndMarksAllOrNone) {
    openNine();
    for (int answer : {ResultNo, ResultYes}) {
        SCOPED_TRACE(answer);
        PdfCardPrinter printer(path("cards.pdf"));
        SetCardPrinter(&printer);
        TIntEForm &editor = IntEFormWindow();
        answerer->clear();
        answerer->script(answer);
        editor.PrintClick(TIntEForm::PrintMode::All);
        EXPECT_FALSE(editor.PrintingCards || editor.LayoutRunning) << "both flags clear";
        EXPECT_TRUE(answerer->sawText("Successfully printed dances?"));
        const QString info = ProgramOutput("pdfinfo", {path("cards.pdf")});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
        const QString text = ProgramOutput("pdftotext", {path("cards.pdf"), "-"});
        for (int i = 1; i <= 9; ++i) EXPECT_TRUE(text.contains(QStringLiteral("Dance%1").arg(i))) << i;
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Dances WHERE Printed='Y'").toInt(), answer == ResultYes ? 9 : 0);
    }
}

// A printer failing mid-job: the error goes on to the caller, and neither the
// layout nor the printing stays marked as running; the panel hides.
TEST_F(IntEFormTest, AnErrorMidPrintClearsBothFlags) {
    openNine();
    struct FailingWriter : QPdfWriter {
        using QPdfWriter::QPdfWriter;
        bool newPage() override {
            if (++pages == 2) throw std::runtime_error("printer gone");
            return QPdfWriter::newPage();
        }
        int pages = 0;
    };
    struct FailingPrinter : CardPrinter {
        QPagedPaintDevice *choose(QWidget *, bool) override {
            writer = std::make_unique<FailingWriter>(file);
            writer->setResolution(300);
            writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
            return writer.get();
        }
        void setup(QWidget *) override {}
        QString file;
        std::unique_ptr<FailingWriter> writer;
    } printer;
    printer.file = path("cards.pdf");
    SetCardPrinter(&printer);
    TIntEForm &editor = IntEFormWindow();
    answerer->clear();
    editor.LayoutRunning = true;  // the print started from a layout run
    EXPECT_THROW(editor.PrintClick(TIntEForm::PrintMode::All), std::runtime_error);
    ASSERT_NE(printer.writer, nullptr);
    EXPECT_EQ(printer.writer->pages, 2) << "the error came on the second page";
    EXPECT_FALSE(editor.PrintingCards);
    EXPECT_FALSE(editor.LayoutRunning);
    EXPECT_TRUE(editor.PrPanel->isHidden());
    EXPECT_FALSE(answerer->sawText("Successfully printed dances?"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Dances WHERE Printed='Y'").toInt(), 0);
}

TEST_F(IntEFormTest, LabelsWhereThePaginatorSaysAndEditingCommands) {
    openNine();
    TIntEForm &editor = IntEFormWindow();
    QString lines;
    for (int i = 0; i < 40; ++i) lines += QStringLiteral("\r\n\\par Line %1 of a long dance").arg(i);
    DancesData.Edit();
    DancesData.FieldByName("Instructions").SetAsString("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 A1" + lines + "\r\n\\par }");
    DancesData.Post();
    editor.show();
    editor.CardSettingsChanged = true;
    editor.OnITimer();
    QStringList labels;
    for (QLabel *l : editor.Area->findChildren<QLabel *>())
        if (l->property("cardMarker").toBool()) labels.append(l->text());
    ASSERT_GE(editor.Cards.cards.size(), 2);
    QStringList expected;
    for (int i = 1; i <= editor.Cards.cards.size(); ++i) expected.append(QStringLiteral("Card %1").arg(i));
    expected.append("Footer");
    labels.sort();
    expected.sort();
    EXPECT_EQ(labels, expected);

    editor.Inst->setFocus();
    editor.Inst->setSelStart(0);
    editor.CopyMClick();
    EXPECT_EQ(QApplication::clipboard()->text(), "Dance1") << "copy without a selection gives the title";

    editor.ClearClick();
    EXPECT_TRUE(answerer->boxes.isEmpty()) << "nothing left to save after Clear";
    EXPECT_TRUE(DancesData.FieldByName("Instructions").AsString().isEmpty());
}

TEST_F(IntEFormTest, NoCardSizeLaysOutNoCard) {
    openNine(""); // a settings file with no card keys
    TIntEForm &editor = IntEFormWindow();
    answerer->clear();
    editor.show();
    editor.CardSettingsChanged = true;
    editor.OnITimer();
    EXPECT_EQ(answerer->texts().join('|').replace('\n', '\r'), CardsDownAcrossMessage() + '|' + CardsNotWholeMessage());
    QStringList labels;
    for (QLabel *l : editor.Area->findChildren<QLabel *>())
        if (l->property("cardMarker").toBool()) labels.append(l->text());
    EXPECT_EQ(labels, QStringList{"Footer"}) << "no card";
    EXPECT_GT(std::min(editor.Inst->width(), editor.Inst->lineWrapColumnOrWidth()), 100) << "the text stays readable";
}

TEST(JoinSeparate, LineBreaks) {
    struct Row {
        QString text, separated, joined;
    };
    const QList<Row> rows = {
        {"a\r\nb", "a\r\n\r\nb", "a\r\nb"},                      // no blank line: Join changes nothing
        {"\r\nb", "\r\nb", "\r\nb"},                         // a break opening the text stays single
        {"\r\na\r\nb", "\r\na\r\n\r\nb", "\r\na\r\nb"},
        {"T\r\n\r\nback.\r\nSet", "T\r\n\r\n\r\n\r\nback.\r\n\r\nSet", "T\r\nback. Set"},
        {"T\r\n\r\nback. \r\nSet\r\n\r\nx", "T\r\n\r\n\r\n\r\nback. \r\n\r\nSet\r\n\r\n\r\n\r\nx", "T\r\nback. Set\r\nx"},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(SeparateLines(r.text), r.separated) << r.text.toStdString();
        EXPECT_EQ(JoinLines(r.text), r.joined) << r.text.toStdString();
    }
}

} // namespace

// Settings opens the card settings once, its right edge 10 pixels in from
// the editor's and 200 pixels below its top, and always wholly on screen.
TEST_F(IntEFormTest, SettingsOpenOnceBesideTheEditor) {
    openNine();
    TIntEForm &editor = IntEFormWindow();
    MakeSetForm(form.get());
    ASSERT_TRUE(SetForm);
    const QRect screen = SetForm->screen()->availableGeometry();
    const struct {
        const char *name;
        QRect editor;
        bool fits;
    } cases[] = {
        {"editor on the screen", screen, true},
        {"editor past the right and bottom edges", screen.translated(screen.width() / 2, screen.height() - 100), false},
    };
    int shows = 0;
    struct ShowCount : QObject {
        int *n;
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() == QEvent::Show) ++*n;
            return false;
        }
    } counter;
    counter.n = &shows;
    SetForm->installEventFilter(&counter);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        shows = 0;
        editor.setGeometry(c.editor);
        QRect placed;
        WhenModal([&placed](QWidget *w) {
            placed = w->frameGeometry();
            static_cast<QDialog *>(w)->reject();
        });
        editor.SettingsM->trigger();
        EXPECT_EQ(shows, 1);
        EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
        if (c.fits) {
            EXPECT_EQ(placed.right(), c.editor.right() - 10);
            EXPECT_EQ(placed.top(), c.editor.top() + 200);
        }
    }
    SetForm->removeEventFilter(&counter);
}
