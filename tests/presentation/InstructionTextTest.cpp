#include "presentation/InstructionText.h"
#include "presentation/cards/InstructionTemplate.h"
#include "TestSupport.h"

namespace {

const QString Head = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}");
const QString P = QStringLiteral("\\pard\\sl-230\\sa100\\slmult0\\tx727\\tx3600\\tx4200");
const QString H = P + QStringLiteral("\\fi-727\\li727");

CardLayout Layout(bool halfLines = false) {
    CardLayout l;
    l.lineSpacing = "230";
    l.paraGap = "100";
    l.tabStops = {727, 3600, 4200};
    l.hangingIndentPrefix = HangingIndentPrefixFor(727);
    l.halfLines = halfLines;
    return l;
}

QString Lines(const QStringList &lines) { return lines.join("\r\n"); }

} // namespace

TEST(InstructionText, RTFWordPos) {
    const struct {
        const char *word;
        QString text;
        int start, pos;
    } cases[] = {
        {"\\sl", "\\pard\\sl-230\\slmult0", 1, 6},
        {"\\sl", "\\slmult0 x", 1, 0},
        {"\\sl", "abc\\sl", 1, 4},
        {"\\sl", "\\SL-5", 1, 1},
        {"\\sa", "x\\\\sa100", 1, 0},     // user text "\sa100"
        {"\\sa", "x\\\\\\sa100", 1, 4},   // an escaped backslash, then the word
        {"\\b", "\\b x\\b y", 2, 5},
        {"\\b", "\\bullet", 1, 0},
        {"\\fs12", "\\fs120 x", 1, 1},
        {"\\li", "\\line x\\li727", 1, 8},
        {"\\sl", "", 1, 0},
    };
    for (const auto &c : cases) EXPECT_EQ(RTFWordPos(c.word, c.text, c.start), c.pos) << c.word << " in " << c.text.toStdString();
}

TEST(InstructionText, StripLayout) {
    const struct {
        const char *name;
        QString in, out;
    } cases[] = {
        {"blank kept after a control word", "\\b\\sa100 text", "\\b text"},
        {"blank removed after the font table", Head + "\\sa100 text", Head + "text"},
        {"the whole layout of a paragraph",
         "\\par \\pard\\sl-230\\sa100\\slmult0\\tx727\\tx3600\\tx4200\\fi-727\\li727\\b A1\\b0 :\\tab x",
         "\\par \\b A1\\b0 :\\tab x"},
        {"layout inserted by the pass", "\\par" + H + " \\b A1", "\\par \\b A1"},
        {"half-line", "\\par \\pard\\fs12\r\n\\par \\pard\\fs24\\sl-230 x", "\\par \r\n\\par \\fs24 x"},
        {"size word with more digits", "\\par \\fs120 x", "\\par x"},
        {"slmult not taken for sl", "\\slmult1 x", "\\slmult1 x"},
        {"first text line", "\\viewkind4\\uc1\\pard\\b\\f0\\fs24 A1", "\\viewkind4\\uc1\\b\\f0\\fs24 A1"},
        {"user text kept", "\\par a\\\\li727 and \\\\pard\\line b", "\\par a\\\\li727 and \\\\pard\\line b"},
        {"alignment kept", "\\par \\pard\\ri100\\qc T", "\\par \\ri100\\qc T"},
    };
    for (const auto &c : cases) EXPECT_EQ(StripLayout(c.in), c.out) << c.name;
}

TEST(InstructionText, TrimRTF) {
    const struct {
        const char *name;
        QString in, out;
    } cases[] = {
        {"front size word before its blank form", "\\par \\pard\\fs24 text", " text"},
        {"closing brace and final par in two passes", "text\\par }", "text"},
        {"line ends", "text\r\n\\par }\r\n", "text"},
        {"escaped brace kept", "text\\}", "text\\}"},
        {"escaped backslash then escaped brace kept", "text\\\\\\}", "text\\\\\\}"},
        {"brace after escaped backslash trimmed", "text\\\\}", "text\\\\"},
        {"escaped backslash and i kept", "a\\\\i", "a\\\\i"},
        {"italic word trimmed", "a\\i", "a"},
        {"half-line size at the front", "\\fs12x", "x"},
        {"lone brace only at the end", "}x}", "}x"},
        {"tab word not mistaken for bold", "x\\tab ", "x\\tab "},
        {"empty", "", ""},
    };
    for (const auto &c : cases) EXPECT_EQ(TrimRTF(c.in), c.out) << c.name;
}

TEST(InstructionText, HalfLineDoubling) {
    const QString text = Lines({Head, "\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par B1\\tab y", "\\par }", ""});
    const QString doubled = Lines({Head, "\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par ", "\\par B1\\tab y", "\\par }", ""});
    EXPECT_EQ(DoubleHalfLines(text, true, InstructionBox::EditorInstructions), doubled);
    EXPECT_EQ(DoubleHalfLines(doubled, true, InstructionBox::EditorInstructions), doubled); // not again
    EXPECT_EQ(DoubleHalfLines(text, true, InstructionBox::EditorFooter), text);
    EXPECT_EQ(DoubleHalfLines(text, false, InstructionBox::EditorInstructions), text);
    QString noA1 = text;
    noA1.replace("A1", "B2");
    EXPECT_EQ(DoubleHalfLines(noA1, true, InstructionBox::EditorInstructions), noA1);
    // A typed "\par " is text, not a paragraph.
    const QString typed = Lines({Head, "\\viewkind4\\uc1\\f0\\fs24 A1 \\\\par x", "\\par y", "\\par }", ""});
    EXPECT_EQ(DoubleHalfLines(typed, true, InstructionBox::EditorInstructions),
              Lines({Head, "\\viewkind4\\uc1\\f0\\fs24 A1 \\\\par x", "\\par ", "\\par y", "\\par }", ""}));
}

TEST(InstructionText, LinePass) {
    const struct {
        const char *name;
        QStringList in;
        bool open, halfLines;
        QStringList out;
        bool openAfter;
    } cases[] = {
        {"tab block from the first line",
         {Head, "\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par \\b A2\\b0 :\\tab y", "\\par Plain", "\\par }", ""},
         false, false,
         {Head, "\\viewkind4\\uc1" + H + "\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par \\b A2\\b0 :\\tab y", "\\par" + P + " Plain",
          "\\par }", ""},
         false},
        {"the document's end keeps the tab block open",
         {Head, "\\viewkind4\\uc1\\f0\\fs24 Title", "\\par A1:\\tab x", "\\par }", ""},
         false, false,
         {Head, "\\viewkind4\\uc1\\f0\\fs24 Title", "\\par" + H + " A1:\\tab x", "\\par }", ""},
         true},
        {"half-lines",
         {Head, "\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par ", "\\par \\b A2\\b0 :\\tab y", "\\par ", "\\par Plain", "\\par }", ""},
         false, true,
         {Head, "\\viewkind4\\uc1" + H + "\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par \\pard\\fs12",
          "\\par\\pard\\fs24" + H.mid(5) + " \\b A2\\b0 :\\tab y", "\\par \\pard\\fs12", "\\par\\pard\\fs24" + P.mid(5) + " Plain",
          "\\par }", ""},
         false},
        {"empty paragraph without half-lines",
         {Head, "\\viewkind4\\uc1\\f0\\fs24 a", "\\par ", "\\par b", "\\par }", ""},
         false, false,
         {Head, "\\viewkind4\\uc1\\f0\\fs24 a", "\\par ", "\\par b", "\\par }", ""},
         false},
        {"formatting ends go back to the previous line",
         {Head, "\\viewkind4\\uc1\\b\\i\\f0\\fs24 Title", "\\par \\b0\\i0 Next", "\\par \\ulnone\\b0", "\\par }", ""},
         false, false,
         {Head, "\\viewkind4\\uc1\\b\\i\\f0\\fs24 Title\\b0\\i0 ", "\\par Next\\ulnone\\b0", "\\par ", "\\par }", ""},
         false},
        {"carried tab block skips the colour table",
         {Head, "{\\colortbl ;\\red255\\green0\\blue0;}", "\\viewkind4\\uc1\\cf1\\f0\\fs24 Plain", "\\par }", ""},
         true, false,
         {Head, "{\\colortbl ;\\red255\\green0\\blue0;}", "\\viewkind4\\uc1" + P + "\\cf1\\f0\\fs24 Plain", "\\par }", ""},
         false},
        {"carried tab block continues",
         {Head, "\\viewkind4\\uc1\\f0\\fs24 more\\tab x", "\\par }", ""},
         true, false,
         {Head, "\\viewkind4\\uc1" + H + "\\f0\\fs24 more\\tab x", "\\par }", ""},
         true},
        {"the special footer line keeps no layout",
         {Head, "\\viewkind4\\uc1\\f0\\fs24 a\\tab b", "\\par \\f1\\fs16", "\\par }", ""},
         false, false,
         {Head, "\\viewkind4\\uc1" + H + "\\f0\\fs24 a\\tab b", "\\par \\f1\\fs16", "\\par }", ""},
         true},
        {"a typed tab word is no tab",
         {Head, "\\viewkind4\\uc1\\f0\\fs24 a\\\\tab b", "\\par }", ""},
         false, false,
         {Head, "\\viewkind4\\uc1\\f0\\fs24 a\\\\tab b", "\\par }", ""},
         false},
    };
    for (const auto &c : cases) {
        bool open = c.open;
        EXPECT_EQ(LayoutLines(Lines(c.in), open, Layout(c.halfLines)), Lines(c.out)) << c.name;
        EXPECT_EQ(open, c.openAfter) << c.name;
    }
}

TEST(InstructionText, LayoutTextKeepsTables) {
    const QString text = Lines({Head, "\\viewkind4\\uc1\\pard\\sa100\\f0\\fs24 a", "\\par \\trowd\\cellx1440\\pard\\intbl x\\cell\\row", "\\pard", "\\par }", ""});
    const LayoutResult r = LayoutText(text, false, Layout(), InstructionBox::EditorInstructions);
    EXPECT_TRUE(r.table);
    EXPECT_EQ(r.text, text);
    EXPECT_EQ(r.stored, text);
}

TEST(InstructionText, StoredFormComesBeforeTheLinePass) {
    const QString laid = Lines({Head, "\\viewkind4\\uc1" + H + "\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par \\b A2\\b0 :\\tab y", "\\par }", ""});
    const LayoutResult r = LayoutText(laid, false, Layout(true), InstructionBox::EditorInstructions);
    EXPECT_EQ(r.stored, Lines({Head, "\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par ", "\\par \\b A2\\b0 :\\tab y", "\\par }", ""}));
    EXPECT_EQ(TrimRTF(r.stored) + "\\par }",
              Lines({Head, "\\viewkind4\\uc1\\b\\f0\\fs24 A1\\b0 :\\tab x", "\\par ", "\\par \\b A2\\b0 :\\tab y\\par }"}));
}

TEST(InstructionText, SetRtfFontSize) {
    const QString rtf = Head + "\r\n\\viewkind4\\uc1\\pard\\b\\f0\\fs24 x\\fs20 y";
    EXPECT_EQ(SetRtfFontSize(rtf, false, "Verdana", "20"), rtf);
    EXPECT_EQ(SetRtfFontSize(rtf, true, "Verdana", "28"),
              QString(rtf).replace("Arial", "Verdana").replace("\\fs24", "\\fs28"));
    EXPECT_EQ(SetRtfFontSize(rtf, true, "", "28"), QString(rtf).replace("\\fs24", "\\fs28"));
    const QString titled = Head + "\\fs32 Title\\par \\fs24 x";
    EXPECT_EQ(SetRtfFontSize(titled, true, "", "20"), Head + "\\fs32 Title\\par \\fs20 x");
    EXPECT_EQ(SetRtfFontSize("{\\rtf1 x}", true, "Verdana", "20"), "{\\rtf1 x}");
    // Word processors name Arial's family "\fswiss" in the font table: the size is the "\fs28" after it.
    const QString swiss = "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Verdana;}}\\pard\\fs28 x}";
    EXPECT_EQ(ReadTemplateFont(swiss).halfPoints, 28);
    EXPECT_EQ(SetRtfFontSize(swiss, true, "Arial", "24"), "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\\pard\\fs24 x}");
}

TEST(InstructionText, TuneFromFirstLine) {
    const QChar mark(15);
    const struct {
        const char *name;
        QString text;
        bool showTitles;
        QString format, style, ownTune, rhythm, collection;
        std::optional<QString> tune;
    } cases[] = {
        {"after the tab", "A1:\tJigs\r\nmore", false, "", "", "", "", "", QString("Jigs")},
        {"after the last tab, one trailing blank dropped", "a\tb\tTune  \r\n", false, "", "", "", "", "", QString("Tune ")},
        {"a single line gives nothing", "a\tTune", false, "", "", "", "", "", std::nullopt},
        {"after code 15 with its blank", "x" + QString(mark) + " Tune\r\n", false, "", "", "", "", "", QString("Tune")},
        {"no tab and no mark", "Tune\r\n", false, "", "", "", "", "", std::nullopt},
        {"empty after the tab", "A1:\t\r\nx", false, "", "", "", "", "", std::nullopt},
        {"technique", "a\tTune\r\n", false, "Technique", "", "", "", "", std::nullopt},
        {"break style", "a\tTune\r\n", false, "", "Square break", "", "", "", std::nullopt},
        {"title dropped", "Title\r\n\r\nA1:\tTune\r\nx", true, "", "", "", "", "", QString("Tune")},
        {"title kept without the option", "Title\r\n\r\nA1:\tTune\r\nx", false, "", "", "", "", "", std::nullopt},
        {"own tune loses its rhythm", "x\tMy Tune (JIG)\r\n", false, "", "", "Y", "Jig", "", QString("My Tune")},
        {"four-letter collection not named", "x\tMy Tune\r\n", false, "", "", "Y", "Jig", "BOOK", QString("My Tune")},
        {"own tune in a collection", "x\tMy Tune (jig)\r\n", false, "", "", "Y", "Jig", "Book of Dances",
         QString("My Tune in Book of Dances")},
        {"not own tune keeps the rhythm", "x\tMy Tune (jig)\r\n", false, "", "", "", "Jig", "Book of Dances",
         QString("My Tune (jig)")},
    };
    for (const auto &c : cases) {
        TuneSource s{c.text, c.showTitles, c.format, c.style, c.ownTune, c.rhythm, c.collection};
        EXPECT_EQ(TuneFromInstructions(s), c.tune) << c.name;
    }
}
