#include "base/Log.h"
#include "core/services/Help.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "platform/rtf/RtfDescribe.h"
#include "presentation/CardSettings.h"
#include "presentation/InstructionEdit.h"
#include "TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTextBlock>

namespace {

const QString Head = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}");

QMimeData *Mime(const QByteArray &rtf, const QString &text = {}) {
    auto *m = new QMimeData;
    if (!rtf.isEmpty()) m->setData("text/rtf", rtf);
    if (!text.isEmpty()) m->setText(text);
    return m;
}

class FakeRecord : public InstructionRecord {
public:
    QMap<QString, QString> fields;
    int edits = 0, posts = 0;
    bool abandonNextPost = false;
    QString field(const QString &name) const override { return fields.value(name); }
    void setField(const QString &name, const QString &value) override { fields[name] = value; }
    void edit() override { ++edits; }
    void post() override {
        if (abandonNextPost) {
            abandonNextPost = false;
            throw SilentAbort();
        }
        ++posts;
    }
};

class InstructionEditTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetCardSettings();
        TabStops = {727, 3600, 4200};
        TabCount = 3;
        TabBlockOpen = false;
        NbspState = QChar('N');
        SavingInstructions = false;
        StoreOption("UsePrimary", false);
        SetHelpOpener([this](int topic) { helpTopics << topic; });
        UseInstructionPaste(&inst);
    }
    void TearDown() override {
        SetHelpOpener({});
        ResetCardSettings();
        ResetSettingsState();
        QuillaryTest::TearDown();
    }

    InstructionSave saveOf(FakeRecord &rec) {
        InstructionSave s;
        s.instructions = &inst;
        s.footer = &foot;
        s.record = &rec;
        s.showDance = [this] { ++shows; };
        s.startLayoutJob = [this] { ++layoutJobs; };
        return s;
    }

    // Shows a stored dance in the boxes as the editor does, then saves it.
    QPair<QString, QString> loadAndSave(const QString &instructions, const QString &footer) {
        QString dummy;
        LoadRichText(instructions, &inst);
        Juggle(&inst, dummy, InstructionBox::EditorInstructions);
        LoadRichText(footer, &foot);
        Juggle(&foot, dummy, InstructionBox::EditorFooter);
        FakeRecord rec;
        InstructionSave s = saveOf(rec);
        s.musicBox = "filled";
        SaveInstructions(s);
        return {rec.fields["Instructions"], rec.fields["Footer"]};
    }

    // The instructions box holding one 12-point line, caret at `caret`.
    void showLine(const QString &line, int caret) {
        inst.setRtf(Head + "\\viewkind4\\uc1\\pard\\fs24 " + line + "\\par }");
        inst.setSelStart(caret);
    }
    // Pastes `rtf` (and `text`) into the instructions box, answering the keep-formatting question.
    void paste(const QByteArray &rtf, int answer = ResultYes, const QString &text = {}) {
        answerer->script(answer);
        QApplication::clipboard()->setMimeData(Mime(rtf, text));
        inst.paste();
    }

    RichEdit inst, foot;
    QList<int> helpTopics;
    int shows = 0, layoutJobs = 0;
};

bool HasLayoutWords(const QString &stored) {
    for (const char *w : {"\\sl", "\\slmult0", "\\tx", "\\sa", "\\pard", "\\fi", "\\li", "\\fs12"})
        if (RTFWordPos(w, stored) > 0) return true;
    return false;
}

} // namespace

TEST_F(InstructionEditTest, JuggleLaysOutInPlaceKeepingFlagAndCaret) {
    inst.setRtf(Head + "\\viewkind4\\uc1\\pard\\b\\fs24 A1\\b0 :\\tab Up a double.\\par Plain line.\\par }");
    inst.setSelStart(4);
    inst.setModified(true);
    QString stored;
    Juggle(&inst, stored, InstructionBox::EditorInstructions);
    EXPECT_TRUE(inst.modified());
    EXPECT_EQ(inst.selStart(), 4);
    EXPECT_EQ(DescribeBlock(BlockWith(*inst.document(), "A1")), "li=727 fi=-727 sa=100 lh=fixed:230 tabs=727,3600,4200");
    EXPECT_EQ(DescribeBlock(BlockWith(*inst.document(), "Plain")), "sa=100 lh=fixed:230 tabs=727,3600,4200");
    EXPECT_EQ(stored, Head + "\r\n\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab Up a double.\r\n\\par Plain line.\r\n\\par }\r\n");
    EXPECT_FALSE(TabBlockOpen);
}

TEST_F(InstructionEditTest, StoredTextsComeBackUnchanged) {
    const struct {
        const char *name;
        QString instructions, footer;
        bool halfLines;
    } cases[] = {
        {"title and tab block",
         Head + "\\viewkind4\\uc1\\pard\\b\\fs24 The Title\\b0\\par \\par \\b A1\\b0 :\\tab Up a double.\\par \\b A2\\b0 :\\tab Back.\\par Plain after.\\par }",
         "", false},
        {"half-lines on", Head + "\\viewkind4\\uc1\\pard\\b\\fs24 A1\\b0 :\\tab Up.\\par \\b A2\\b0 :\\tab Back.\\par B1:\\tab x\\par }", "", true},
        {"half-lines off, doubled text", Head + "\\viewkind4\\uc1\\pard\\b\\fs24 A1\\b0 :\\tab Up.\\par \\par \\b A2\\b0 :\\tab Back.\\par }", "", false},
        {"footer", Head + "\\viewkind4\\uc1\\pard\\fs24 x\\par }", Head + "\\viewkind4\\uc1\\pard\\fs24 Dance: \\b Someone\\b0 , Book\\par }", true},
        {"colours", Head + "{\\colortbl ;\\red255\\green255\\blue255;\\red1\\green0\\blue0;}\\viewkind4\\uc1\\pard\\b\\fs24 Becket:\\tab  \\cf1\\highlight2  Improper \\cf0\\highlight0\\b0 .\\par Next\\par }", "", false},
        {"centred title", Head + "\\viewkind4\\uc1\\pard\\qc\\b\\fs28 Title\\par \\pard\\b0\\fs24 A1:\\tab x\\par }", "", false},
    };
    for (const auto &c : cases) {
        CardsHalfLines = c.halfLines;
        const auto first = loadAndSave(c.instructions, c.footer);
        EXPECT_FALSE(HasLayoutWords(first.first)) << c.name << first.first.toStdString();
        EXPECT_TRUE(first.first.endsWith("\\par }")) << c.name;
        const auto second = loadAndSave(first.first, first.second);
        EXPECT_EQ(second.first, first.first) << c.name;
        EXPECT_EQ(second.second, first.second) << c.name;
    }
}

TEST_F(InstructionEditTest, SavedFormOfTheTemplate) {
    const auto saved = loadAndSave(Head + "\\viewkind4\\uc1\\pard\\b\\fs24 A1\\b0 :\\tab Up a double\\par \\b A2\\b0 :\\tab All that again.\\par }", "");
    EXPECT_EQ(saved.first, Head + "\r\n\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab Up a double\r\n\\par \\b A2\\b0 :\\tab All that again.\\par }");
    EXPECT_EQ(saved.second, "");
    // With half-lines the saved form holds the empty paragraphs.
    CardsHalfLines = true;
    const auto doubled = loadAndSave(saved.first, "");
    // The size after a half-line is written again.
    EXPECT_EQ(doubled.first, Head + "\r\n\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab Up a double\r\n\\par \r\n\\par \\b\\fs24 A2\\b0 :\\tab All that again.\\par }");
    // Shown with half-lines, the empty paragraph is a 6-point line.
    QString stored;
    LoadRichText(doubled.first, &inst);
    Juggle(&inst, stored, InstructionBox::EditorInstructions);
    EXPECT_EQ(DescribeChar(inst.document()->begin().next().charFormat()), "f=Arial pt=6");
}

TEST_F(InstructionEditTest, CardBoxCarriesTheTabBlock) {
    QString stored;
    RichEdit card;
    card.setRtf(Head + "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\fs24 continued text\\par }");
    TabBlockOpen = true;
    Juggle(&card, stored, InstructionBox::CardBox);
    EXPECT_EQ(card.text(), "\tcontinued text");
    EXPECT_TRUE(TabBlockOpen);
    EXPECT_TRUE(card.rtf().contains("{\\colortbl ;\\red255\\green0\\blue0;}"));
    EXPECT_EQ(CharAt(*card.document(), "continued"), "f=Arial pt=12 fg=#ff0000");
    // Every other box starts with the flag clear.
    RichEdit box;
    box.setRtf(Head + "\\viewkind4\\uc1\\pard\\fs24 plain\\par }");
    TabBlockOpen = true;
    Juggle(&box, stored, InstructionBox::EditorInstructions);
    EXPECT_EQ(box.text(), "plain");
    EXPECT_FALSE(TabBlockOpen);
}

TEST_F(InstructionEditTest, TableSuspendsTheLayout) {
    const QString rtf = Head + "\\viewkind4\\uc1\\pard\\fs24 a\\par \\trowd\\cellx1440\\pard\\intbl x\\cell\\row\\pard b\\par }";
    inst.setRtf(rtf);
    const QString before = inst.rtf();
    QString stored;
    Juggle(&inst, stored, InstructionBox::EditorInstructions);
    EXPECT_EQ(stored, before);
    EXPECT_EQ(inst.rtf(), before);
}

TEST_F(InstructionEditTest, LostNonBreakingSpacesAreReportedOnce) {
    QString stored;
    inst.setRtf(Head + "\\viewkind4\\uc1\\pard\\fs24 a b\\par }");
    NbspState = QChar('T');
    Juggle(&inst, stored, InstructionBox::MainInstructions);
    EXPECT_TRUE(answerer->boxes.isEmpty());
    answerer->script(ResultOK);
    Juggle(&inst, stored, InstructionBox::EditorInstructions);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, "Non-breaking spaces have been lost.");
    EXPECT_EQ(answerer->boxes[0].helpContext, 60400);
    EXPECT_EQ(NbspState, QChar('D'));
    Juggle(&inst, stored, InstructionBox::EditorInstructions);
    EXPECT_EQ(answerer->boxes.size(), 1);
    // A text that keeps its non-breaking space is no loss.
    NbspState = QChar('T');
    inst.setRtf(Head + "\\viewkind4\\uc1\\pard\\fs24 a\\~b\\par }");
    Juggle(&inst, stored, InstructionBox::EditorInstructions);
    EXPECT_EQ(answerer->boxes.size(), 1);
}

TEST_F(InstructionEditTest, SaveWritesTheRecord) {
    FakeRecord rec;
    rec.fields = {{"Printed", "Y"}, {"Music", "old"}, {"Format", "Longways"}, {"Style", "English"}};
    inst.setRtf(Head + "\\viewkind4\\uc1\\pard\\fs24 A1:\\tab The Tune \\par more\\par }");
    inst.setModified(true);
    foot.setModified(true);
    inst.setSelStart(3);
    SaveInstructions(saveOf(rec));
    EXPECT_EQ(rec.fields["Printed"], "");
    EXPECT_EQ(rec.fields["Music"], "The Tune");
    EXPECT_EQ(rec.fields["Footer"], "");
    EXPECT_TRUE(rec.fields["Instructions"].endsWith("more\\par }"));
    EXPECT_EQ(rec.edits, 1);
    EXPECT_EQ(rec.posts, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(layoutJobs, 1);
    EXPECT_FALSE(inst.modified());
    EXPECT_FALSE(foot.modified());
    EXPECT_EQ(inst.selStart(), 3);
    EXPECT_FALSE(SavingInstructions);
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(InstructionEditTest, SaveTuneLineRules) {
    const struct {
        const char *name;
        QString text;
        QString music;
        bool showTitles, refine;
        QString ownTune, rhythm, collection, format;
        QString expected;
        QString message;
    } cases[] = {
        {"filled music box keeps Music", "A1:\tTune\r\nx", "filled", false, true, "", "", "", "", "old", ""},
        {"own tune in a collection", "A1:\tMine (Reel)\r\nx", "", false, false, "Y", "reel", "Collected Dances", "",
         "Mine in Collected Dances", ""},
        {"excluded format", "A1:\tTune\r\nx", "", false, true, "", "", "", "Technique", "old", "Music not found in text."},
        {"no tune with refine", "Just words\r\nx", "", false, true, "", "", "", "", "old", "Music not found in text."},
        {"no tune without refine", "Just words\r\nx", "", false, false, "", "", "", "", "old", ""},
        {"pilcrow warns and takes nothing", QStringLiteral("\u00B6 x \u00B6 bar jigs\r\nA1:\tTune"), "", false, true, "", "", "",
         "", "old", QStringLiteral("Warning: Instructions contain \u00B6")},
    };
    for (const auto &c : cases) {
        answerer->clear();
        FakeRecord rec;
        rec.fields = {{"Music", "old"}, {"OwnTune", c.ownTune}, {"Collection", c.collection}, {"Format", c.format}};
        inst.clear();
        inst.insertPlainText(c.text);
        InstructionSave s = saveOf(rec);
        s.musicBox = c.music;
        s.rhythmBox = c.rhythm;
        s.showTitles = c.showTitles;
        s.refine = c.refine;
        if (!c.message.isEmpty()) answerer->script(ResultOK);
        SaveInstructions(s);
        EXPECT_EQ(rec.fields["Music"], c.expected) << c.name;
        EXPECT_EQ(answerer->texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.name;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(answerer->boxes[0].helpContext, c.message.startsWith("Music") ? 85500 : 40120) << c.name;
        }
    }
}

TEST_F(InstructionEditTest, EmptyBoxesStoreEmptyTexts) {
    FakeRecord rec;
    rec.fields = {{"Instructions", "x"}, {"Footer", "y"}};
    SaveInstructions(saveOf(rec));
    EXPECT_EQ(rec.fields["Instructions"], "");
    EXPECT_EQ(rec.fields["Footer"], "");
}

TEST_F(InstructionEditTest, SaveWorksAfterAnAbandonedPost) {
    FakeRecord rec;
    inst.insertPlainText("text");
    rec.abandonNextPost = true;
    EXPECT_THROW(SaveInstructions(saveOf(rec)), SilentAbort);
    EXPECT_FALSE(SavingInstructions);
    EXPECT_TRUE(inst.modified()); // not saved
    SaveInstructions(saveOf(rec));
    EXPECT_EQ(rec.posts, 1);
    EXPECT_FALSE(inst.modified());
    // From the main window's before-post hook the record posts itself.
    InstructionSave s = saveOf(rec);
    s.fromMainWindow = true;
    SaveInstructions(s);
    EXPECT_EQ(rec.posts, 1);
    // A save while one runs does nothing.
    SavingInstructions = true;
    rec.fields.clear();
    SaveInstructions(saveOf(rec));
    EXPECT_TRUE(rec.fields.isEmpty());
}

TEST_F(InstructionEditTest, PasteKeepsStylesAndTakesTheRestFromTheCaret) {
    const struct {
        const char *name;
        QByteArray rtf;
        QString target;
        int caret;
        QString text;
        QList<QPair<QString, QString>> formats;
    } cases[] = {
        {"bold after a blank", "{\\rtf1{\\fonttbl{\\f0 Times;}}\\fs40\\b bold\\b0  plain\\par }", "ab cd", 3,
         "ab bold plaincd", {{"bold", "b f=Arial pt=12"}, {"plain", "f=Arial pt=12"}, {"cd", "f=Arial pt=12"}}},
        {"blank after a letter", "{\\rtf1 \\b bold\\par }", "ab cd", 2, "ab bold cd", {{"bold", "b f=Arial pt=12"}}},
        {"no blank at a paragraph start", "{\\rtf1 x\\par }", "ab", 0, "xab", {}},
        {"no blank after a tab", "{\\rtf1 x\\par }", "a\tb", 2, "a\txb", {}},
        {"hyperlink gives its shown text", "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt {\\ul\\cf1 the page}}}\\par }",
         "", 0, "see the page", {{"the page", "u f=Arial pt=12"}}},
        {"paragraphs kept, empty ones dropped", "{\\rtf1 one\\par \\par \\i two\\i0\\par }", "[]", 1, "[ one\r\ntwo]",
         {{"two", "i f=Arial pt=12"}}},
        {"characters kept", "{\\rtf1 a\\\\b\\{c\\}\\rquote\\ldblquote\\bullet\\emdash x\\-y\\~z\\_w\\line v\\tab t}", "", 0,
         QStringLiteral("a\\b{c}\u2019\u201C\u2022\u2014xy z w v\tt"), {}},
    };
    for (const auto &c : cases) {
        showLine(c.target, c.caret);
        answerer->clear();
        paste(c.rtf);
        EXPECT_EQ(inst.text(), c.text) << c.name;
        EXPECT_EQ(answerer->texts(), QStringList{"Keep font size / bold / italic / underline information?"}) << c.name;
        for (const auto &[probe, desc] : c.formats) EXPECT_EQ(CharAt(*inst.document(), probe), desc) << c.name;
        EXPECT_EQ(inst.selStart(), c.caret) << c.name;
    }
}

TEST_F(InstructionEditTest, PasteOfATableKeepsItsRows) {
    WriteLog("START");
    showLine("XY", 1);
    paste("{\\rtf1 before\\par \\intbl\\b a\\b0\\cell b\\cell\\row\\intbl c\\cell d\\cell\\row\\pard after\\par }");
    EXPECT_EQ(inst.text(), "X a\tb\r\nc\td\r\nY");
    EXPECT_EQ(CharAt(*inst.document(), "a"), "b f=Arial pt=12");
    EXPECT_EQ(helpTopics, QList<int>{60110});
    EXPECT_TRUE(ReadFileBytes(path("Log.Txt")).contains("Convert table"));
}

TEST_F(InstructionEditTest, PasteOfATableGivesAMergedCellOneTab) {
    showLine("XY", 1);
    paste("{\\rtf1 \\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl a\\cell b\\cell c\\cell\\row"
          "\\trowd\\cellx2000\\cellx3000\\intbl wide\\cell d\\cell\\row\\pard}");
    EXPECT_EQ(inst.text(), "X a\tb\tc\r\nwide\td\r\nY");
}

TEST_F(InstructionEditTest, PasteEndingInBoldLeavesTheRestAlone) {
    showLine("ab cd", 3);
    paste("{\\rtf1 x \\b bold}");
    EXPECT_EQ(inst.text(), "ab x boldcd");
    EXPECT_EQ(CharAt(*inst.document(), "cd"), "f=Arial pt=12");
    EXPECT_LT(inst.currentCharFormat().fontWeight(), QFont::DemiBold);
    EXPECT_FALSE(inst.rtf().contains("\\b cd"));
}

TEST_F(InstructionEditTest, PlainPastes) {
    // No to the question: the clipboard's text as it is.
    showLine("\\b ab", 2);
    paste("{\\rtf1 \\i rich}", ResultNo, "plain version");
    EXPECT_EQ(inst.text(), "abplain version");
    EXPECT_EQ(CharAt(*inst.document(), "plain"), "b f=Arial pt=12");
    // A plain clipboard asks nothing.
    answerer->clear();
    QApplication::clipboard()->setText("one\r\ntwo");
    inst.paste();
    EXPECT_EQ(inst.text(), "abplain versionone\r\ntwo");
    EXPECT_TRUE(answerer->boxes.isEmpty());
    // A target that is no rich edit gets plain text.
    QLineEdit line;
    QApplication::clipboard()->setMimeData(Mime("{\\rtf1 \\b rich}", "rich"));
    PasteClick(&line, QApplication::clipboard()->mimeData());
    EXPECT_EQ(line.text(), "rich");
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(InstructionEditTest, PasteAppliesThePrimaryFont) {
    StoreOption("UsePrimary", true);
    CardsDFont = "Verdana";
    CardsHalfPoints = "28";
    showLine("ab", 2);
    paste("{\\rtf1 \\b x}");
    EXPECT_EQ(inst.text(), "ab x");
    EXPECT_EQ(CharAt(*inst.document(), "x"), "b f=Verdana pt=14");
    EXPECT_EQ(inst.selStart(), 2);
}
