#include "platform/rtf/RtfDescribe.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "TestSupport.h"

#include "base/Cp1252.h"

#include <QFile>
#include <QRandomGenerator>

namespace {

QString Rtf(const char *body) { return QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}") + QString::fromUtf8(body) + "}"; }

// A document whose fonts declare character sets: f0 Arial in Windows-1252,
// f1 Cyrillic, f2 Central European, f3 Greek, f4 Japanese, f5 Symbol,
// f6 Wingdings, f7 a font named Symbol without the symbol set.
QString Fonts(const char *body, const char *ansicpg = "1252") {
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg") + QLatin1String(ansicpg) +
           QStringLiteral("\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fswiss\\fcharset204 Arial;}"
                          "{\\f2\\fswiss\\fcharset238 Arial CE;}{\\f3\\froman\\fcharset161 Times Greek;}"
                          "{\\f4\\fnil\\fcharset128 MS Mincho;}{\\f5\\ftech\\fcharset2 Symbol;}"
                          "{\\f6\\fnil\\fcharset2 Wingdings;}{\\f7\\fnil\\fcharset0 Symbol;}}") +
           QString::fromUtf8(body) + "}";
}

// Groups nested depth deep around body, then after.
QString Nested(int depth, const char *body, const char *after) {
    return Rtf("").chopped(1) + QString(depth, QChar('{')) + QString::fromUtf8(body) + QString(depth, QChar('}')) +
           QString::fromUtf8(after) + "}";
}

QString Sample(const QString &name) {
    QFile f(QStringLiteral(QUILLARY_SOURCE_DIR "/tests/data/rtf/") + name);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

// The document's text as rtfPlainText gives it: blocks by CR LF, line breaks as VT.
QString DocPlain(const QTextDocument &doc) {
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) blocks << b.text();
    return blocks.join("\r\n").replace(QChar(QChar::LineSeparator), QChar(0x0B));
}

// The text after a save: the document written and read again.
QString SavedText(const QTextDocument &doc) {
    QTextDocument back;
    ReadRtf(WriteRtf(&doc), &back);
    return DescribeText(back);
}

// A document in a code page with a default font of no character set: its
// text given as the raw bytes, read as Windows-1252.
QString InPage(const char *page, const QByteArray &body) {
    return QStringLiteral("{\\rtf1") + QLatin1String(page) + QStringLiteral("\\deff0{\\fonttbl{\\f0\\fnil Arial;}}") +
           Cp1252::decode(body) + "}";
}

bool HasTable(const QTextDocument &doc) {
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it)
        if (it.currentFrame()) return true;
    return false;
}

struct CharCase {
    const char *name;
    QString rtf;
    QString text;  // DescribeText
    QString probe; // the character format of probe's first character...
    QString desc;  // ...described
};

} // namespace

TEST(RtfReader, CharacterConstructs) {
    const QList<CharCase> cases = {
        {"custom item with highlight",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green255\\blue255;\\red1\\green0\\blue0;}\\viewkind4\\uc1\\pard\\b\\fs24  \\cf1\\highlight2  1 & 3 improper \\cf0\\highlight0\\b0\\f1\\par }",
         "  1 & 3 improper ", "1 & 3", "b f=Arial pt=12 fg=#ffffff bg=#010000"},
        {"custom item with reversed colour table",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}{\\colortbl ;\\red1\\green0\\blue0;\\red255\\green255\\blue255;}\\viewkind4\\uc1\\pard\\b\\fs24  \\cf2\\highlight1  Proper \\b0\\f1\\par }",
         "  Proper ", "Proper", "b f=Arial pt=12 fg=#ffffff bg=#010000"},
        {"blank before highlight keeps no colour",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green255\\blue255;\\red1\\green0\\blue0;}\\viewkind4\\uc1\\pard\\b\\fs24  \\cf1\\highlight2  1 & 3 improper \\cf0\\highlight0\\b0\\f1\\par }",
         "  1 & 3 improper ", " ", "b f=Arial pt=12"},
        {"template heading is bold", "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\b\\fs24 First Figure\\b0 :\\par \\par \\b A1\\b0 :\\tab Up a double and back.  Set and turn single.\\par \\f1\\par }",
         "First Figure:||A1:\tUp a double and back.  Set and turn single.|", "A1", "b f=Arial pt=12"},
        {"colon after heading is plain", "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\b\\fs24 First Figure\\b0 :\\par }",
         "First Figure:", ":", "f=Arial pt=12"},
        {"display head: red without number is 0, unknown word ignored",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Arial Black;}{\\f2\\froman\\fcharset0 Times New Roman;}}{\\colortbl ;\\red128\\green255\\blue255;\\red\\green0\\blue0;}\\viewkind4\\uc1\\pard\\fi-727\\li727\\sa100\\simult0\\fs24 \r\n\\cf2\\f2 Word\\tab text\r\n}",
         "Word\ttext", "Word", "f=Times New Roman pt=12 fg=#000000"},
        {"list heading", "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\froman Times New Roman;}}\r\n{\\colortbl ;\\red128\\green0\\blue192;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\qc\\f0\\fs40\\cf1\\b\\ul Dances\\ul0\\b0\\cf2\\par\\ql\\fs24\\tx900\\tx4400\\tx7500\\tx8500 \\par\\par\\b Called\tTitle\tCollection\tRhythm\tLevel\\b0\\par}",
         "Dances|||Called\tTitle\tCollection\tRhythm\tLevel", "Dances", "b u f=Times New Roman pt=20 fg=#8000c0"},
        {"italic", Rtf("a\\i b\\i0 c"), "abc", "b", "i f=Arial pt=12"},
        {"underline kinds", Rtf("\\uldb a\\ulnone b\\ulwave c\\ul0 d\\ulc1 e"), "abcde", "a", "u f=Arial pt=12"},
        {"underline colour is no underline", Rtf("\\ulc1 e"), "e", "e", "f=Arial pt=12"},
        {"strike", Rtf("\\strike x\\strike0 y"), "xy", "x", "s f=Arial pt=12"},
        {"plain resets", Rtf("\\b\\i\\fs40 a\\plain b"), "ab", "b", "f=Arial pt=12"},
        {"odd half-points", Rtf("\\fs21 a"), "a", "a", "f=Arial pt=10.5"},
        {"undefined font falls back to the default", Rtf("\\f7 a"), "a", "a", "f=Arial pt=12"},
        {"second font", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\froman Times;}}\\f1 a}", "a", "a", "f=Times pt=12"},
        {"font table without groups", "{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\fmodern Courier;}\\f1 a}", "a", "a", "f=Courier pt=12"},
        {"deff chooses the default", "{\\rtf1\\deff1{\\fonttbl{\\f0 Arial;}{\\f1 Times;}}a}", "a", "a", "f=Times pt=12"},
        {"font name with 1252 character", "{\\rtf1{\\fonttbl{\\f0 Caf\\'e9;}}a}", "a", "a", "f=Café pt=12"},
        {"cf out of range is automatic", "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf5 a}", "a", "a", "pt=12"},
        {"first entry not empty is a colour", "{\\rtf1{\\colortbl\\red0\\green128\\blue0;}\\cf0 a}", "a", "a", "pt=12 fg=#008000"},
        {"cb is background", "{\\rtf1{\\colortbl ;\\red255\\green255\\blue0;}\\cb1 a}", "a", "a", "pt=12 bg=#ffff00"},
        {"chcbpat is background", "{\\rtf1{\\colortbl ;\\red255\\green255\\blue0;}\\chcbpat1 a}", "a", "a", "pt=12 bg=#ffff00"},
        {"highlight0 ends background", "{\\rtf1{\\colortbl ;\\red255\\green255\\blue0;}\\highlight1 a\\highlight0 b}", "ab", "b", "pt=12"},
        {"up", Rtf("\\up6 a"), "a", "a", "f=Arial pt=12 up=6"},
        {"dn", Rtf("\\dn4 a"), "a", "a", "f=Arial pt=12 up=-4"},
        {"super", Rtf("\\super a\\nosupersub b"), "ab", "a", "f=Arial pt=12 super"},
        {"nosupersub", Rtf("\\super a\\nosupersub b"), "ab", "b", "f=Arial pt=12"},
        {"hidden text dropped", Rtf("a{\\v hidden}b\\v c\\v0 d"), "abd", "d", "f=Arial pt=12"},
        {"group restores formatting", Rtf("{\\b a}b"), "ab", "b", "f=Arial pt=12"},
        {"bold inside 5,000 groups", Nested(5000, "\\b x{\\*\\skip hidden}y", " z"), "xy z", "y", "b f=Arial pt=12"},
        {"bold ends with the 5,000 groups", Nested(5000, "\\b x{\\*\\skip hidden}y", " z"), "xy z", "z", "f=Arial pt=12"},
        {"skipped destination at every depth", Nested(3000, "{\\*\\a{\\*\\b{\\*\\c x}}}\\i y", "z"), "yz", "y", "i f=Arial pt=12"},
        {"font of a Symbol letter", Fonts("\\f5 a"), QStringLiteral("\u03B1"), QStringLiteral("\u03B1"), "f=Symbol pt=12"},
        {"font name from the Unicode half of upr",
         "{\\rtf1{\\fonttbl{\\upr{\\f0\\fnil Caf\\'e9 Sans;}{\\*\\ud{\\f0\\fnil \\u1050?afe Sans;}}}}a}", "a", "a",
         QStringLiteral("f=\u041Aafe Sans pt=12")},
        {"a later font table renames a font in use",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}\\f1 a{\\fonttbl{\\f1 Times;}}\\f1 \\u-3998?}", QStringLiteral("\u03B1\uF062"),
         QStringLiteral("\uF062"), "f=Times pt=12"},
        {"link text in AbiWord's form keeps its font",
         Fonts("{\\field{\\*\\fldinst {HYPERLINK \"http://x/\"}}{\\*\\fldrslt{\\f0\\fs28 Tune}}}"), "Tune", "Tune", "f=Arial pt=14"},
    };
    for (const CharCase &c : cases) {
        QTextDocument doc;
        const RtfReadResult r = ReadRtf(c.rtf, &doc);
        EXPECT_TRUE(r.rtf) << c.name;
        EXPECT_FALSE(r.malformed) << c.name;
        EXPECT_EQ(DescribeText(doc), c.text) << c.name;
        EXPECT_EQ(CharAt(doc, c.probe), c.desc) << c.name;
        EXPECT_EQ(SavedText(doc), c.text) << c.name;
    }
}

TEST(RtfReader, TextConstructs) {
    const struct {
        const char *name;
        QString rtf;
        QString text;
    } cases[] = {
        {"hex by the 1252 table", Rtf("caf\\'e9 \\'80 \\'93x\\'94"), QStringLiteral("café € \u201Cx\u201D")},
        {"undefined 1252 byte kept", Rtf("\\'81"), QString(QChar(0x81))},
        {"named characters", Rtf("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"),
         QStringLiteral("\u2014\u2013\u2022\u2018\u2019\u201C\u201D")},
        {"control symbols", Rtf("a\\~b\\_c\\-d\\\\e\\{f\\}"), QStringLiteral("a\u00A0b\u2011c\u00ADd\\e{f}")},
        {"line break", Rtf("a\\line b"), QStringLiteral("a\u2028b")},
        {"tab word and raw tab", Rtf("a\\tab b\tc"), QStringLiteral("a\tb\tc")},
        {"unicode with fallback", Rtf("\\u8364?x"), QStringLiteral("\u20ACx")},
        {"unicode negative", Rtf("\\u-3913?"), QString(QChar(0xF0B7))},
        {"unicode uc0", Rtf("\\uc0\\u8364 x"), QStringLiteral("\u20ACx")},
        {"unicode uc2 skips hex", Rtf("\\uc2\\u8364\\'80\\'80x"), QStringLiteral("\u20ACx")},
        {"fallback cut by group end", Rtf("{\\uc3\\u8364 a}b"), QStringLiteral("\u20ACb")},
        {"raw characters above 0x7F", Rtf("\u00B6 here"), QStringLiteral("\u00B6 here")},
        {"CR and LF ignored", Rtf("ab\r\ncd\re\nf"), QStringLiteral("abcdef")},
        {"blank after word consumed once", Rtf("\\b  x"), QStringLiteral(" x")},
        {"final par adds no paragraph", Rtf("a\\par "), QStringLiteral("a")},
        {"empty paragraph kept", Rtf("a\\par \\par "), QStringLiteral("a|")},
        {"sect and page end paragraphs", Rtf("a\\sect b\\page c"), QStringLiteral("a|b|c")},
        {"backslash newline is a paragraph", Rtf("a\\\r\nb"), QStringLiteral("a|b")},
        {"unknown starred group skipped", Rtf("{\\*\\foo {\\bar x}y}a"), QStringLiteral("a")},
        {"stylesheet skipped", Rtf("{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}a"), QStringLiteral("a")},
        {"picture skipped", Rtf("a{\\pict\\pngblip 89504e47}b"), QStringLiteral("ab")},
        {"bin data skipped by count", Rtf("a{\\pict\\bin4 }}}}}b"), QStringLiteral("ab")},
        {"header and footer skipped", Rtf("{\\header H}{\\footerr F}a"), QStringLiteral("a")},
        {"field shows its result", Rtf("{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}"), QStringLiteral("shown")},
        {"field instruction without star skipped", Rtf("{\\field{\\fldinst PAGE}{\\fldrslt 3}}"), QStringLiteral("3")},
        {"pntext kept", Rtf("{\\pntext 1.\\tab}Item"), QStringLiteral("1.\tItem")},
        {"plain text lines", "one\r\ntwo\nthree\rfour", QStringLiteral("one|two|three|four")},
        {"plain text final line break", "one\r\n", QStringLiteral("one")},
        {"plain text VT", QStringLiteral("a\u000Bb"), QStringLiteral("a\u2028b")},
        {"empty", "", ""},
        {"windows-1251 by the font", Fonts("\\f1 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2"), QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442")},
        {"windows-1251 by ansicpg", Fonts("\\f9 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2", "1251"), QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442")},
        {"windows-1250", Fonts("\\f2 \\'b3\\'f3d\\'9f"), QStringLiteral("\u0142\u00F3d\u017A")},
        {"windows-1253", Fonts("\\f3 \\'c3\\'e5\\'e9\\'dc"), QStringLiteral("\u0393\u03B5\u03B9\u03AC")},
        {"the font's set before ansicpg", Fonts("\\f2 \\'b3{\\f0 \\'b3}\\'b3", "1251"), QStringLiteral("\u0142\u00B3\u0142")},
        {"the set ends with its group", Fonts("{\\f1 \\'cf}\\'cf"), QStringLiteral("\u041F\u00CF")},
        {"shift-jis lead and trail", Fonts("\\f4 \\'93\\'fa\\'96\\'7b!"), QStringLiteral("\u65E5\u672C!")},
        {"shift-jis trail byte as itself", Fonts("\\f4 \\'83e\\'83X"), QStringLiteral("\u30C6\u30B9")},
        {"shift-jis single-byte katakana", Fonts("\\f4 \\'b1"), QStringLiteral("\uFF71")},
        {"gbk by ansicpg", Fonts("\\f9 \\'c4\\'e3\\'ba\\'c3", "936"), QStringLiteral("\u4F60\u597D")},
        {"unicode with a double-byte fallback", Fonts("\\f4\\uc2\\u26085\\'93\\'fax"), QStringLiteral("\u65E5x")},
        {"lone lead byte", Fonts("{\\f4 a\\'93}b"), QStringLiteral("a\uFFFDb")},
        {"unknown code page reads as 1252", Fonts("\\f9 \\'e9", "77777"), QStringLiteral("\u00E9")},
        {"symbol letters and signs", Fonts("\\f5 pa\\'b7\\'ae\\u-3987?"), QStringLiteral("\u03C0\u03B1\u2022\u2192\u03BC")},
        {"font named Symbol", Fonts("\\f7 W"), QStringLiteral("\u03A9")},
        {"wingdings left alone", Fonts("\\f6 a\\'a7"), QStringLiteral("a\u00A7")},
        {"symbol font ends with its group", Fonts("{\\f5 a}a"), QStringLiteral("\u03B1a")},
        {"special spaces", Rtf("a\\emspace b\\enspace c\\qmspace d"), QStringLiteral("a b c d")},
        {"column break", Rtf("a\\column b"), QStringLiteral("a\u2028b")},
        // Destinations behind \* that hold text.
        {"AbiWord's link shows its text",
         Rtf("See {\\field{\\*\\fldinst {HYPERLINK \"http://x/tunes.htm\"}}{\\*\\fldrslt{\\f0\\fs24 The Tune Page}}} now"),
         QStringLiteral("See The Tune Page now")},
        {"starred field instruction and bookmark skipped", Rtf("{\\*\\bkmkstart a}{\\field{\\*\\fldinst PAGE}{\\*\\fldrslt 3}}"),
         QStringLiteral("3")},
        {"star before a group skips it", Rtf("a{\\*{\\fldrslt x}}b"), QStringLiteral("ab")},
        {"upr reads its Unicode half", Rtf("{\\upr{Zhuk}{\\*\\ud{\\u1046?uk}}}!"), QStringLiteral("\u0416uk!")},
        {"upr with its halves as they come", Rtf("{\\upr{\\'c6}{\\*\\ud{\\uc0\\u1046 }}} {\\ud x}"), QStringLiteral("\u0416 x")},
        {"text box text is a paragraph",
         Rtf("Before{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn fillColor}{\\sv 255}}{\\shptxt boxed text}}}after"),
         QStringLiteral("Before|boxed text|after")},
        {"text box as Word writes it, its picture skipped",
         Rtf("{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt \\pard\\plain boxed\\par }}"
             "{\\shprslt{\\*\\do\\dobxcolumn{\\dptxbxtext \\pard boxed\\par }}}}Anchor"),
         QStringLiteral("boxed|Anchor")},
        {"shape without text leaves nothing", Rtf("a{\\shp{\\*\\shpinst{\\sp{\\sn x}{\\sv 1}}}}b"), QStringLiteral("ab")},
        // Code pages.
        {"utf-8 by ansicpg", Fonts("\\f9 Cr\\'c3\\'a8me \\'e2\\'82\\'ac \\'f0\\'9f\\'98\\'80", "65001"),
         QStringLiteral("Cr\u00E8me \u20AC \U0001F600")},
        {"utf-8 as a signed number", Fonts("\\f9 Cr\\'c3\\'a8me", "-535"), QStringLiteral("Cr\u00E8me")},
        {"utf-8 broken sequences kept byte by byte", Fonts("\\f9 \\'c3x\\'a8\\'c0\\'80\\'e2\\'82", "65001"),
         QStringLiteral("\u00C3x\u00A8\u00C0\u20AC\u00E2\u201A")},
        {"utf-8 sequence cut by a control word", Fonts("\\f9 \\'c3\\b\\'a8", "65001"), QStringLiteral("\u00C3\u00A8")},
        {"the font's set before utf-8", Fonts("\\f1 \\'cf\\f9 \\'d0\\'9f", "65001"), QStringLiteral("\u041F\u041F")},
        {"mac", InPage("\\mac", "Cr\\'8fme"), QStringLiteral("Cr\u00E8me")},
        {"pc", InPage("\\pc", "Cr\\'8ame"), QStringLiteral("Cr\u00E8me")},
        {"pca", InPage("\\pca", "\\'d5"), QStringLiteral("\u0131")},
        {"a font's cpg", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\cpg1251 Arial;}}\\'cf\\f1 \\'cf}",
         QStringLiteral("\u00CF\u041F")},
        {"a font's cpg before its charset", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset238\\cpg1251 Arial;}}\\'cf}",
         QStringLiteral("\u041F")},
        {"a font's cpg as utf-8", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\cpg65001 Arial;}}\\'c3\\'a8}", QStringLiteral("\u00E8")},
        {"raw bytes in the mac page", InPage("\\mac", "Cr\x8fme"), QStringLiteral("Cr\u00E8me")},
        {"raw bytes in windows-1251", InPage("\\ansi\\ansicpg1251", "\xcf\xf0\xe8\xe2\xe5\xf2"),
         QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442")},
        {"raw bytes in windows-1252 as they are", InPage("\\ansi\\ansicpg1252", "\xcf\x8f"), QStringLiteral("\u00CF\u008F")},
        {"raw shift-jis, trail byte as itself", InPage("\\ansi\\ansicpg932", "\x93\xfa\x83X!"), QStringLiteral("\u65E5\u30B9!")},
        {"raw utf-8 read as windows-1252", InPage("\\ansi\\ansicpg65001", "Cr\xc3\xa8me"), QStringLiteral("Cr\u00E8me")},
        {"raw utf-8 read as utf-8", InPage("\\ansi\\ansicpg65001", "").chopped(1) + QStringLiteral("Cr\u00E8me \u041F}"),
         QStringLiteral("Cr\u00E8me \u041F")},
        {"characters of no byte stay", InPage("\\ansi\\ansicpg1251", "").chopped(1) + QStringLiteral("\u0416\u03B1}"),
         QStringLiteral("\u0416\u03B1")},
        // Symbol-set fonts.
        {"undefined font shown in the Symbol font reads as it",
         "{\\rtf1\\deff0{\\fonttbl{\\f0\\fnil Symbol;}}\\f9 a\\u-3913?}", QStringLiteral("\u03B1\u2022")},
        {"unicode letters in the Symbol font", Fonts("\\f5 \\u120?\\u97?"), QStringLiteral("xa")},
        {"other symbol-set fonts read in the document's page",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset2 OpenSymbol;}{\\f1\\fnil\\fcharset2 MT Extra;}}a\\'b7\\f1 b\\'e9}",
         QStringLiteral("a\u00B7b\u00E9")},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        const RtfReadResult r = ReadRtf(c.rtf, &doc);
        EXPECT_FALSE(r.malformed) << c.name;
        EXPECT_EQ(DescribeText(doc), c.text) << c.name;
        EXPECT_EQ(SavedText(doc), c.text) << c.name;
    }
}

TEST(RtfReader, ParagraphConstructs) {
    const struct {
        const char *name;
        QString rtf;
        QString probe;
        QString desc;
    } cases[] = {
        {"indents and spacing", Rtf("\\li720\\ri360\\fi360\\sb60\\sa100 x"), "x", "li=720 ri=360 fi=360 sb=60 sa=100"},
        {"exact line spacing", Rtf("\\sl-230\\slmult0 x"), "x", "lh=fixed:230"},
        {"at-least line spacing", Rtf("\\sl300\\slmult0 x"), "x", "lh=min:300"},
        {"minus zero is single", Rtf("\\sl-0 x"), "x", ""},
        {"multiple line spacing", Rtf("\\sl360\\slmult1 x"), "x", "lh=prop:150"},
        {"tab stops", Rtf("\\tx727\\tx3600\\tx4200 x"), "x", "tabs=727,3600,4200"},
        {"tab kinds", Rtf("\\tqr\\tx9000\\tqc\\tx4000\\tqdec\\tx6000\\tx100 x"), "x", "tabs=100,4000c,6000d,9000r"},
        {"layout prefix with hanging indent", Rtf("\\pard\\sl-230\\sa100\\slmult0\\tx727\\tx3600\\tx4200\\fi-727\\li727 x"), "x",
         "li=727 fi=-727 sa=100 lh=fixed:230 tabs=727,3600,4200"},
        {"hanging indent without stop gets one", Rtf("\\fi-727\\li727 x"), "x", "li=727 fi=-727 tabs=*727"},
        {"hanging indent with later stops", Rtf("\\tx3600\\fi-360\\li720 x"), "x", "li=720 fi=-360 tabs=*720,3600"},
        {"hanging indent with stop before indent", Rtf("\\tx500\\fi-360\\li720 x"), "x", "li=720 fi=-360 tabs=500"},
        {"alignments", Rtf("\\qc a\\par \\qr b\\par \\qj c\\par \\ql d"), "a", "al=c"},
        {"right", Rtf("\\qc a\\par \\qr b\\par \\qj c\\par \\ql d"), "b", "al=r"},
        {"justified", Rtf("\\qc a\\par \\qr b\\par \\qj c\\par \\ql d"), "c", "al=j"},
        {"pard resets", Rtf("\\li720\\qc a\\par \\pard b"), "b", ""},
        {"properties carry without pard", Rtf("\\li720 a\\par b"), "b", "li=720"},
        {"properties at the paragraph mark count", Rtf("a\\li720\\par b"), "a", "li=720"},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        ReadRtf(c.rtf, &doc);
        const QTextBlock b = BlockWith(doc, c.probe);
        ASSERT_TRUE(b.isValid()) << c.name;
        EXPECT_EQ(DescribeBlock(b), c.desc) << c.name;
    }
}

TEST(RtfReader, HalfLineCarriesItsSizeOnTheBlock) {
    QTextDocument doc;
    ReadRtf(Rtf("\\fs24 a\r\n\\par \\pard\\fs12\r\n\\par \\pard\\fs24 b\r\n\\par }"), &doc);
    ASSERT_EQ(DescribeText(doc), "a||b");
    const QTextBlock half = doc.begin().next();
    EXPECT_EQ(DescribeChar(half.charFormat()), "f=Arial pt=6");
    // The template's last line: an empty paragraph in an undefined font.
    ReadRtf("{\\rtf1\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\fs24 x\\par \\f1\\par }", &doc);
    EXPECT_EQ(DescribeText(doc), "x|");
    EXPECT_EQ(DescribeChar(doc.lastBlock().charFormat()), "f=Arial pt=12");
}

TEST(RtfReader, Tables) {
    const struct {
        const char *name;
        QString rtf;
        QString text;
    } cases[] = {
        {"one row after a paragraph", Rtf("P\\par \\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\\pard Q\\par "),
         "P|[a^b]|Q"},
        {"table first", Rtf("\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\\pard Q"), "|[a]|Q"},
        {"two rows, short second row", Rtf("\\intbl a\\cell b\\cell\\row\\intbl c\\cell\\row\\pard"), "|[a^b;c^]|"},
        {"empty cells", Rtf("\\intbl\\cell x\\cell\\cell\\row"), "|[^x^]|"},
        {"five cells, no spare columns", Rtf("\\intbl a\\cell b\\cell c\\cell d\\cell e\\cell\\row\\pard"), "|[a^b^c^d^e]|"},
        {"paragraphs in a cell", Rtf("\\intbl a\\par b\\cell\\row"), "|[a|b]|"},
        {"tables of their own sizes, one after the other",
         Rtf("\\intbl a\\cell\\row\\intbl b\\cell c\\cell d\\cell\\row\\pard x\\par \\intbl e\\cell f\\cell\\row\\intbl g\\cell\\row\\pard"),
         "|[a^^;b^c^d]|x|[e^f;g^]|"},
        {"a row cut short by a closing group", Rtf("{\\intbl a\\cell b\\cell}\\pard c\\par \\intbl d\\cell\\row"), "|[a^b]|c|[d]|"},
        {"nested cells flattened", Rtf("\\intbl a{\\*\\nesttableprops\\trowd}\\itap2 x\\nestcell y\\nestcell{\\nonesttables x y}\\nestrow\\itap1\\cell\\row"),
         "|[ax\ty\t]|"},
        // Cells placed by their edges: a cell whose edge lies beyond the next
        // edge of another row covers the columns between.
        {"cell merged across two columns",
         Rtf("\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl a\\cell b\\cell c\\cell\\row"
             "\\trowd\\cellx2000\\cellx3000\\intbl wide\\cell d\\cell\\row\\pard"),
         "|[a^b^c;wide^<^d]|"},
        {"merged cell in the first row, last column",
         Rtf("\\trowd\\cellx1000\\cellx3000\\intbl a\\cell wide\\cell\\row"
             "\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl b\\cell c\\cell d\\cell\\row\\pard"),
         "|[a^wide^<;b^c^d]|"},
        {"row defined again at its end, as Word writes it",
         Rtf("\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl a\\cell b\\cell c\\cell\\row"
             "\\intbl wide\\cell d\\cell{\\trowd\\cellx2000\\cellx3000\\row}\\pard"),
         "|[a^b^c;wide^<^d]|"},
        {"empty merged cell keeps its span",
         Rtf("\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl a\\cell b\\cell c\\cell\\row"
             "\\trowd\\cellx2000\\cellx3000\\intbl\\cell d\\cell\\row\\pard"),
         "|[a^b^c;^<^d]|"},
        {"more cells than edges", Rtf("\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell c\\cell\\row"
                                      "\\trowd\\cellx2000\\intbl wide\\cell d\\cell\\row\\pard"),
         "|[a^b^c;wide^<^d]|"},
        {"edges out of order end the row's edges", Rtf("\\trowd\\cellx3000\\cellx1000\\intbl a\\cell b\\cell\\row\\pard"), "|[a^b]|"},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        const RtfReadResult r = ReadRtf(c.rtf, &doc);
        EXPECT_FALSE(r.malformed) << c.name;
        EXPECT_EQ(DescribeText(doc).replace(QChar('/'), QChar('^')), QString(c.text).replace(QChar('/'), QChar('^')))
            << c.name;
        EXPECT_EQ(SavedText(doc).replace(QChar('/'), QChar('^')), QString(c.text).replace(QChar('/'), QChar('^')))
            << c.name;
    }
}

TEST(RtfReader, WordProcessorSamples) {
    const struct {
        const char *file;
        QString text;
        QList<QPair<QString, QString>> chars;  // probe, format
        QList<QPair<QString, QString>> blocks; // probe, block format
    } cases[] = {
        {"word-stylesheet.rtf", QStringLiteral("A1:\tCircle left, once round.|B1:\tBalance and swing \u2014 partner\u2019s turn."),
         {{"A1", "b f=Arial pt=12"}, {":", "f=Arial pt=12"}, {"Circle", "i f=Arial pt=12"}, {"once", "u f=Arial pt=12"},
          {"B1", "f=Arial pt=14 fg=#ff0000"}, {"Balance", "f=Arial pt=14"}},
         {{"A1", "sa=160 lh=prop:107.917"}, {"B1", "li=720 fi=-720 sa=160 lh=prop:107.917 tabs=720"}}},
        {"word-list-pict-link.rtf",
         QStringLiteral("Before the list.|\u2022\tFirst item|\u2022\tSecond item with bold text|A picture here and there."
                        "|A link: the dance page and done.|Unicode: \u0393\u03BB\u20AC\u20AC end.|after object|Binary done."),
         {{"First", "f=Arial pt=12 fg=#c00000"}, {"bold", "b f=Arial pt=12 fg=#c00000"}, {"the dance", "u f=Arial pt=12 fg=#0000ff"},
          {"\u2022", "f=Symbol pt=12"}},
         {{"First", "li=720 fi=-360 tabs=720"}, {"Second", "li=720 fi=-360 tabs=720"}, {"picture", ""}}},
        {"word-table.rtf", QStringLiteral("Tunes:|[Jig^The Rakes^6/8^;Reel^Drowsy Maggie^4/4^Am]|After the table."),
         {{"Jig", "b f=Arial pt=12"}, {"Rakes", "f=Arial pt=12"}},
         {}},
        {"libreoffice.rtf", QStringLiteral("Title line|Left\tright \u00E9t\u00E9|Indented quote2 and done"),
         {{"Title", "b f=Liberation Sans pt=16"}, {"Left", "f=Liberation Serif pt=12"},
          {"right", "f=Liberation Serif pt=12 fg=#000080 bg=#ffff00"}, {"quote", "i f=Liberation Serif pt=12"},
          {"2", "f=Liberation Serif pt=12 super"}},
         {{"Title", "al=c"}, {"Left", "sa=113 tabs=9638r"}, {"Indented", "li=567 ri=567 sb=120"}}},
        {"abiword-link.rtf", QStringLiteral("A1:\tCircle left, see The Tune Page for the music.|B1:\tBalance and swing."),
         {{"A1", "b f=Arial pt=12"}, {"Tune", "f=Times New Roman pt=12"}, {"for", "f=Arial pt=12"}},
         {}},
    };
    for (const auto &c : cases) {
        const QString rtf = Sample(c.file);
        ASSERT_FALSE(rtf.isEmpty()) << c.file;
        QTextDocument doc;
        const RtfReadResult r = ReadRtf(rtf, &doc);
        EXPECT_FALSE(r.malformed) << c.file;
        EXPECT_EQ(DescribeText(doc).replace(QChar('/'), QChar('^')).replace("6^8", "6/8").replace("4^4", "4/4"), c.text)
            << c.file;
        for (const auto &[probe, desc] : c.chars) EXPECT_EQ(CharAt(doc, probe), desc) << c.file << " " << probe.toStdString();
        for (const auto &[probe, desc] : c.blocks) {
            const QTextBlock b = BlockWith(doc, probe);
            ASSERT_TRUE(b.isValid()) << c.file << " " << probe.toStdString();
            EXPECT_EQ(DescribeBlock(b), desc) << c.file << " " << probe.toStdString();
        }
        if (!HasTable(doc)) {
            EXPECT_EQ(rtfPlainText(rtf), DocPlain(doc)) << c.file;
        }
        EXPECT_EQ(SavedText(doc), DescribeText(doc)) << c.file;
    }
}

TEST(RtfReader, PlainText) {
    const struct {
        const char *name;
        QString rtf;
        QString text;
    } cases[] = {
        {"paragraphs by CR LF", Rtf("a\\par b\\par }"), "a\r\nb"},
        {"empty last paragraph", Rtf("a\\par \\par }"), "a\r\n"},
        {"line break as VT", Rtf("a\\line b"), "a\x0B" "b"},
        {"cells by tabs, rows by CR LF", Rtf("x\\par \\intbl a\\cell b\\cell\\row\\intbl c\\cell \\cell\\row\\pard y"),
         "x\r\na\tb\r\nc\t\r\ny"},
        {"hidden and skipped text", Rtf("a{\\v h}{\\*\\x s}{\\fonttbl{\\f0 F;}}{\\colortbl;}b"), "ab"},
        {"field result", Rtf("{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}"), "link"},
        {"starred field result", Rtf("a {\\field{\\*\\fldinst {HYPERLINK x}}{\\*\\fldrslt{\\f0 link}}} b"), "a link b"},
        {"text box", Rtf("a{\\shp{\\*\\shpinst{\\shptxt box}}}b"), "a\r\nbox\r\nb"},
        {"merged cell joined by one tab",
         Rtf("\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row\\trowd\\cellx2000\\intbl w\\cell\\row\\pard y"),
         "a\tb\r\nw\r\ny"},
        {"characters", Rtf("\\'e9\\u8364?\\emdash\\~"), QStringLiteral("é€\u2014\u00A0")},
        {"not rtf comes back as it is", "plain\r\ntext", "plain\r\ntext"},
    };
    for (const auto &c : cases) EXPECT_EQ(rtfPlainText(c.rtf), c.text) << c.name;
}

TEST(RtfReader, MalformedInputGivesTextReadSoFar) {
    const struct {
        const char *name;
        QString rtf;
        QString text;
        bool malformed;
    } cases[] = {
        {"missing closing brace", "{\\rtf1 abc", "abc", true},
        {"extra closing brace", "{\\rtf1 a}}b", "a", true},
        {"only blanks after the end", "{\\rtf1 a}\r\n ", "a", false},
        {"truncated inside a word", "{\\rtf1 ab\\pa", "ab", true},
        {"truncated after backslash", "{\\rtf1 ab\\", "ab", true},
        {"hex with one digit", "{\\rtf1 a\\'e}", "a", true},
        {"hex with non-hex", "{\\rtf1 a\\'zzb}", "azzb", true},
        {"u without number", "{\\rtf1 a\\u b}", "ab", true},
        {"u beyond 16 bits", "{\\rtf1 \\u999999999999?}", QString(QChar(0xFFFD)), false},
        {"30-digit size", "{\\rtf1 \\fs999999999999999999999999999999 a}", "a", false},
        {"bin beyond the end", "{\\rtf1 a\\bin999999999999 bcd}", "a", true},
        {"bin without count", "{\\rtf1 a\\bin b}", "ab", false},
        {"star alone", "{\\rtf1 a{\\*}b}", "ab", false},
        {"row without cells", "{\\rtf1 a\\row b}", "ab", false},
        {"cell outside a table is a tab", "{\\rtf1 a\\cell b}", "a\tb", false},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        RtfReadResult r;
        EXPECT_NO_THROW(r = ReadRtf(c.rtf, &doc)) << c.name;
        EXPECT_EQ(r.malformed, c.malformed) << c.name;
        EXPECT_EQ(DescribeText(doc).replace(QChar('/'), QChar('^')), c.text) << c.name;
    }
}

TEST(RtfReader, DeepNestingIsRead) {
    const QString rtf = "{\\rtf1 " + QString(100000, QChar('{')) + "\\b x";
    QTextDocument doc;
    const RtfReadResult r = ReadRtf(rtf, &doc);
    EXPECT_TRUE(r.malformed);
    EXPECT_EQ(DescribeText(doc), "x");
    EXPECT_EQ(CharAt(doc, "x"), "b pt=12");
    EXPECT_EQ(rtfPlainText(rtf + QString(100000, QChar('}')) + " y}"), "x y");
}

TEST(RtfReader, EveryTruncationAndMutationIsDefined) {
    QStringList sources = {Sample("word-stylesheet.rtf"), Sample("word-list-pict-link.rtf"), Sample("libreoffice.rtf"),
                           Sample("word-table.rtf")};
    // Every prefix of one sample: truncation anywhere, inside words and \'hh.
    const QString sample = sources[1];
    for (int n = 0; n <= sample.size(); n += 3) {
        QTextDocument doc;
        const QString cut = sample.left(n);
        const RtfReadResult r = ReadRtf(cut, &doc);
        if (n > 0 && n < sample.size() - 2) {
            EXPECT_TRUE(r.malformed || !r.rtf) << n;
        }
        if (!HasTable(doc)) {
            EXPECT_EQ(rtfPlainText(cut), r.rtf ? DocPlain(doc) : cut) << n;
        }
    }
    // Fixed-seed mutations: the document reader and the plain-text reader
    // must agree on the text of every one.
    QRandomGenerator rng(20261206);
    const QString alphabet = QStringLiteral("{}\\' 0123456789abcdefuls-;*\r\n\u00E9");
    int checked = 0;
    for (int i = 0; i < 3000; ++i) {
        QString s = sources[i % sources.size()];
        const int edits = 1 + int(rng.bounded(4));
        for (int e = 0; e < edits && !s.isEmpty(); ++e) {
            const int at = int(rng.bounded(s.size()));
            switch (rng.bounded(4)) {
            case 0: s.remove(at, 1 + int(rng.bounded(8))); break;
            case 1: s.insert(at, alphabet[int(rng.bounded(alphabet.size()))]); break;
            case 2: s.insert(at, s.mid(int(rng.bounded(s.size())), int(rng.bounded(30)))); break;
            default: s.truncate(at); break;
            }
        }
        QTextDocument doc;
        const RtfReadResult r = ReadRtf(s, &doc);
        if (r.rtf && !HasTable(doc)) {
            EXPECT_EQ(rtfPlainText(s), DocPlain(doc)) << "mutation " << i;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}
