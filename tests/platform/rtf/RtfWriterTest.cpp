#include "platform/rtf/RtfDescribe.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

const QString Head = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n");

QString ReadWrite(const QString &rtf) {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 12));
    ReadRtf(rtf, &doc);
    return WriteRtf(&doc);
}

bool PureAscii(const QString &s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

struct Golden {
    const char *name;
    QString in;
    QString out;
};

// Old-control and hand-written texts with the exact output they must give.
QList<Golden> Goldens() {
    return {
        {"template lines", "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\b\\fs24 First Figure\\b0 :\\par \\par \\b A1\\b0 :\\tab Up a double and back.\\par \\f1\\par }",
         Head + "\\viewkind4\\uc1\\pard\\b\\f0\\fs24 First Figure\\b0 :\r\n\\par \r\n\\par \\b A1\\b0 :\\tab Up a double and back.\r\n\\par \r\n\\par }\r\n"},
        {"custom item colours", "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green255\\blue255;\\red1\\green0\\blue0;}\\viewkind4\\uc1\\pard\\b\\fs24  \\cf1\\highlight2  1 & 3 improper \\cf0\\highlight0\\b0\\f1\\par }",
         Head + "{\\colortbl ;\\red255\\green255\\blue255;\\red1\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\b\\f0\\fs24  \\cf1\\highlight2  1 & 3 improper \r\n\\par }\r\n"},
        {"fonts and colours by first use", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times;}}{\\colortbl ;\\red1\\green2\\blue3;\\red4\\green5\\blue6;}\\f1\\cf2 a\\f0\\cf1 b\\cf0\\highlight1 c}",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Times;}{\\f1\\fnil\\fcharset0 Arial;}}\r\n"
         "{\\colortbl ;\\red4\\green5\\blue6;\\red1\\green2\\blue3;}\r\n\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 a\\cf2\\f1\\fs24 b\\cf0\\highlight2 c\r\n\\par }\r\n"},
        {"character escapes", "{\\rtf1{\\fonttbl{\\f0 Arial;}}a\\\\b\\{c\\}\\tab d\\line e\\~f\\_g\\-h\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\'e9\\'80\\'81\\u1046?\\u-10179?\\u-8704?\\'0b}",
         Head + "\\viewkind4\\uc1\\pard\\f0\\fs24 a\\\\b\\{c\\}\\tab d\\line e\\~f\\_g\\-h\\emdash \\endash \\bullet \\lquote \\rquote \\ldblquote \\rdblquote \\'e9\\'80\\'81\\u1046?\\u-10179?\\u-8704?\\'0b\r\n\\par }\r\n"},
        {"formats on and off", "{\\rtf1{\\fonttbl{\\f0 Arial;}}a\\b\\i\\ul\\strike b\\b0\\i0\\ulnone\\strike0 c\\fs20 d\\up6 e\\up0\\super f\\sub g\\nosupersub\\dn4 h}",
         Head + "\\viewkind4\\uc1\\pard\\f0\\fs24 a\\b\\i\\ul\\strike b\\b0\\i0\\ulnone\\strike0 c\\fs20 d\\up6 e\\super\\up0 f\\sub g\\nosupersub\\dn4 h\r\n\\par }\r\n"},
        {"paragraph changes and resets", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\qc\\ri100\\sb50 T\\par \\pard\\sl-230\\sa100\\slmult0\\tx727\\tx3600\\fi-727\\li727 A\\tab x\\par B\\tab y\\par \\pard C\\par }",
         Head + "\\viewkind4\\uc1\\pard\\ri100\\sb50\\qc\\f0\\fs24 T\r\n\\par \\pard\\sl-230\\sa100\\slmult0\\tx727\\tx3600\\fi-727\\li727\\ri0\\sb0\\ql A\\tab x\r\n\\par B\\tab y\r\n\\par \\pard C\r\n\\par }\r\n"},
        {"tab kinds and spacing kinds", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\tqr\\tx9000\\tqc\\tx4000\\tqdec\\tx6000 a\\par \\pard\\sl300\\slmult0 b\\par \\pard\\sl360\\slmult1 c\\par \\pard\\sa100 d}",
         Head + "\\viewkind4\\uc1\\pard\\tqc\\tx4000\\tqdec\\tx6000\\tqr\\tx9000\\f0\\fs24 a\r\n\\par \\pard\\sl300\\slmult0 b\r\n\\par \\pard\\sl360\\slmult1 c\r\n\\par \\pard\\sa100 d\r\n\\par }\r\n"},
        {"hanging indent stop not written", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\fi-727\\li727 a\\tab b}",
         Head + "\\viewkind4\\uc1\\pard\\fi-727\\li727\\f0\\fs24 a\\tab b\r\n\\par }\r\n"},
        {"half-line", Head + "\\viewkind4\\uc1\\pard\\b\\f0\\fs24 A1\\b0 :\\tab x\r\n\\par \\pard\\fs12\r\n\\par \\pard\\fs24 y\r\n\\par }\r\n",
         Head + "\\viewkind4\\uc1\\pard\\b\\f0\\fs24 A1\\b0 :\\tab x\r\n\\par \\fs12\r\n\\par \\fs24 y\r\n\\par }\r\n"},
        {"table row", "{\\rtf1{\\fonttbl{\\f0 Arial;}}P\\par \\trowd\\cellx1000\\cellx2000\\pard\\intbl\\b a\\b0\\cell b\\cell\\row\\pard Q\\par }",
         Head + "\\viewkind4\\uc1\\pard\\f0\\fs24 P\r\n\\par \\trowd\\cellx1440\\cellx2880\\pard\\intbl\\b a\\cell\\b0 b\\cell\\row\r\n\\pard Q\r\n\\par }\r\n"},
        {"table first and two rows", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\intbl a\\cell\\row\\intbl b\\par c\\cell\\row}",
         Head + "\\viewkind4\\uc1\\pard\\f0\\fs24\r\n\\par \\trowd\\cellx1440\\pard\\intbl a\\cell\\row\r\n\\trowd\\cellx1440\\pard\\intbl b\\par c\\cell\\row\r\n\\pard\r\n\\par }\r\n"},
        {"empty last paragraph in a cell", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\intbl x\\par\\par\\cell y\\cell\\row\\pard}",
         Head + "\\viewkind4\\uc1\\pard\\f0\\fs24\r\n\\par \\trowd\\cellx1440\\cellx2880\\pard\\intbl x\\par \\par \\cell y\\cell\\row\r\n\\pard\r\n\\par }\r\n"},
        {"cell spanning two columns is one cell",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row\\trowd\\cellx2000\\intbl w\\cell\\row\\pard}",
         Head + "\\viewkind4\\uc1\\pard\\f0\\fs24\r\n\\par \\trowd\\cellx1440\\cellx2880\\pard\\intbl a\\cell b\\cell\\row\r\n"
                "\\trowd\\cellx2880\\pard\\intbl w\\cell\\row\r\n\\pard\r\n\\par }\r\n"},
        {"symbol font letters as unicode",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}a\\f1 b\\u120?\\'e9 1}",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Symbol;}}\r\n"
         "\\viewkind4\\uc1\\pard\\f0\\fs24 a\\f1\\fs24 \\u946?\\u120?\\u9121? 1\r\n\\par }\r\n"},
        {"empty document", "", Head + "\\viewkind4\\uc1\\pard\\f0\\fs24\r\n\\par }\r\n"},
        {"plain text", "one\r\ntwo", Head + "\\viewkind4\\uc1\\pard\\f0\\fs24 one\r\n\\par two\r\n\\par }\r\n"},
    };
}

} // namespace

TEST(RtfWriter, GoldenOutputs) {
    for (const Golden &g : Goldens()) {
        const QString out = ReadWrite(g.in);
        EXPECT_EQ(out, g.out) << g.name;
        EXPECT_TRUE(PureAscii(out)) << g.name;
    }
}

TEST(RtfWriter, OwnOutputIsAFixpoint) {
    for (const Golden &g : Goldens()) EXPECT_EQ(ReadWrite(g.out), g.out) << g.name;
}

TEST(RtfWriter, TableReadsBackToTheSameTable) {
    QTextDocument doc;
    ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}P\\par \\intbl\\b Jig\\b0\\cell The Rakes\\cell\\row\\intbl Reel\\cell \\cell\\row\\pard Q}", &doc);
    QTextDocument back;
    ReadRtf(WriteRtf(&doc), &back);
    EXPECT_EQ(DescribeText(back), "P|[Jig/The Rakes;Reel/]|Q");
    EXPECT_EQ(CharAt(back, "Jig"), CharAt(doc, "Jig"));
}

TEST(RtfWriter, EveryParagraphOfACellReadsBack) {
    const struct {
        const char *name;
        QString rtf;
        QString text;
    } cases[] = {
        {"empty last paragraph", "{\\rtf1\\intbl x\\par\\par\\cell\\row\\pard}", "|[x|]|"},
        {"two empty last paragraphs", "{\\rtf1\\intbl x\\par\\par\\par\\cell\\row\\pard}", "|[x||]|"},
        {"only empty paragraphs", "{\\rtf1\\intbl\\par\\cell\\par\\par\\cell\\row\\pard}", "|[/|]|"},
        {"empty first paragraph", "{\\rtf1\\intbl\\par x\\cell\\row\\pard}", "|[|x]|"},
        {"one empty paragraph", "{\\rtf1\\intbl\\cell x\\cell\\row\\pard}", "|[/x]|"},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        ReadRtf(c.rtf, &doc);
        ASSERT_EQ(DescribeText(doc), c.text) << c.name;
        // Saved and read again, twice: nothing is lost at either save.
        const QString once = WriteRtf(&doc);
        QTextDocument back;
        ReadRtf(once, &back);
        EXPECT_EQ(DescribeText(back), c.text) << c.name << "\n" << once.toStdString();
        EXPECT_EQ(WriteRtf(&back), once) << c.name;
    }
}

TEST(RtfWriter, SelectionIsWrittenByTheSameWriter) {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 12));
    ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}one \\b two\\par three\\b0  four}", &doc);
    QTextCursor c(&doc);
    c.setPosition(4);
    c.setPosition(13, QTextCursor::KeepAnchor); // "two" CR "three"
    EXPECT_EQ(WriteRtfSelection(c), Head + "\\viewkind4\\uc1\\pard\\b\\f0\\fs24 two\r\n\\par three\r\n\\par }\r\n");
    c.clearSelection();
    EXPECT_EQ(WriteRtfSelection(c), Head + "\\viewkind4\\uc1\\pard\\f0\\fs24\r\n\\par }\r\n");
}

namespace {

// A block as the round trip must keep it: block format without the reader's
// own hanging-indent stop, runs merged by their description, and for an empty
// block its character format.
QString DescribeForRoundTrip(const QTextDocument &doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QString block = DescribeBlock(b);
        block.remove(QRegularExpression("\\*\\d+,?"));
        block.remove(QRegularExpression("tabs=( |$)"));
        QStringList runs;
        QString lastDesc, lastText;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString d = DescribeChar(it.fragment().charFormat());
            if (d == lastDesc) {
                lastText += it.fragment().text();
                continue;
            }
            if (!lastText.isEmpty()) runs << "<" + lastDesc + ">" + lastText;
            lastDesc = d;
            lastText = it.fragment().text();
        }
        if (!lastText.isEmpty()) runs << "<" + lastDesc + ">" + lastText;
        if (runs.isEmpty()) runs << "<" + DescribeChar(b.charFormat()) + ">";
        out << block.trimmed() + " " + runs.join("");
    }
    return out.join("\n");
}

QTextCharFormat RandomChar(QRandomGenerator &rng) {
    static const char *families[] = {"Arial", "Times New Roman", "Courier New", "Symbol"};
    static const double sizes[] = {8, 10, 10.5, 12, 14, 20};
    static const QColor colours[] = {QColor(255, 0, 0), QColor(1, 0, 0), QColor(255, 255, 255), QColor(0, 128, 255)};
    QTextCharFormat f;
    f.setFontFamilies({QString::fromLatin1(families[rng.bounded(4)])});
    f.setFontPointSize(sizes[rng.bounded(6)]);
    if (rng.bounded(3) == 0) f.setFontWeight(QFont::Bold);
    if (rng.bounded(4) == 0) f.setFontItalic(true);
    if (rng.bounded(4) == 0) f.setFontUnderline(true);
    if (rng.bounded(8) == 0) f.setFontStrikeOut(true);
    if (rng.bounded(3) == 0) f.setForeground(colours[rng.bounded(4)]);
    if (rng.bounded(4) == 0) f.setBackground(colours[rng.bounded(4)]);
    if (rng.bounded(10) == 0) f.setProperty(RtfRaiseProperty, rng.bounded(2) ? 6 : -4);
    if (rng.bounded(10) == 0)
        f.setVerticalAlignment(rng.bounded(2) ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat RandomBlock(QRandomGenerator &rng) {
    QTextBlockFormat b;
    const int li[] = {0, 360, 727};
    const int fi[] = {0, -727, 200};
    b.setLeftMargin(li[rng.bounded(3)] / TwipsPerPixel);
    b.setTextIndent(fi[rng.bounded(3)] / TwipsPerPixel);
    if (rng.bounded(4) == 0) b.setRightMargin(100 / TwipsPerPixel);
    if (rng.bounded(4) == 0) b.setTopMargin(60 / TwipsPerPixel);
    if (rng.bounded(2) == 0) b.setBottomMargin(100 / TwipsPerPixel);
    switch (rng.bounded(4)) {
    case 0: b.setLineHeight(230 / TwipsPerPixel, QTextBlockFormat::FixedHeight); break;
    case 1: b.setLineHeight(300 / TwipsPerPixel, QTextBlockFormat::MinimumHeight); break;
    case 2: b.setLineHeight(150, QTextBlockFormat::ProportionalHeight); break;
    default: break;
    }
    QList<QTextOption::Tab> tabs;
    for (int t : {727, 3600, 4200})
        if (rng.bounded(2)) tabs << QTextOption::Tab(t / TwipsPerPixel, rng.bounded(4) ? QTextOption::LeftTab : QTextOption::RightTab);
    b.setTabPositions(tabs);
    const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    b.setAlignment(aligns[rng.bounded(4)]);
    return b;
}

QString RandomText(QRandomGenerator &rng) {
    static const QStringList pool = {
        "a", "Z", " ", "  ", "7", "\\", "{", "}", "\t", QString(QChar(QChar::LineSeparator)), QStringLiteral("\u00A0"),
        QStringLiteral("\u2011"), QStringLiteral("\u00AD"), QStringLiteral("\u2014"), QStringLiteral("\u2013"),
        QStringLiteral("\u2022"), QStringLiteral("\u2018"), QStringLiteral("\u2019"), QStringLiteral("\u201C"),
        QStringLiteral("\u201D"), QStringLiteral("\u00E9"), QStringLiteral("\u20AC"), QStringLiteral("\u201A"),
        QStringLiteral("\u0178"), QString(QChar(0x81)), QStringLiteral("\u00B6"), QStringLiteral("\u00B7"),
        QStringLiteral("\u0416"), QStringLiteral("\U0001F600"), QStringLiteral("\uFFFD"), "Hello", "par", "\\par ",
    };
    QString s;
    const int n = 1 + int(rng.bounded(6));
    for (int i = 0; i < n; ++i) s += pool[int(rng.bounded(pool.size()))];
    return s;
}

} // namespace

TEST(RtfWriter, RandomDocumentsReadBackTheSame) {
    QRandomGenerator rng(5);
    for (int round = 0; round < 300; ++round) {
        QTextDocument doc;
        doc.setDefaultFont(QFont("Arial", 12));
        QTextCursor c(&doc);
        const int blocks = 1 + int(rng.bounded(6));
        for (int i = 0; i < blocks; ++i) {
            if (i == 0) {
                c.setBlockFormat(RandomBlock(rng));
                c.setBlockCharFormat(RandomChar(rng));
            } else {
                c.insertBlock(RandomBlock(rng), RandomChar(rng));
            }
            const int runs = int(rng.bounded(5));
            for (int r = 0; r < runs; ++r) c.insertText(RandomText(rng), RandomChar(rng));
        }
        const QString rtf = WriteRtf(&doc);
        ASSERT_TRUE(PureAscii(rtf)) << round;
        QTextDocument back;
        const RtfReadResult r = ReadRtf(rtf, &back);
        EXPECT_FALSE(r.malformed) << round;
        EXPECT_EQ(DescribeForRoundTrip(back), DescribeForRoundTrip(doc)) << round << "\n" << rtf.toStdString();
        EXPECT_EQ(WriteRtf(&back), rtf) << round;
    }
}
