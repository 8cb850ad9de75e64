#include "publishing/pages/DancePage.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "presentation/InstructionText.h"
#include "TestSupport.h"

#include <QProcess>
#include <QTextDocument>
#include <QUrl>

namespace {

const QString Head = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Verdana;}{\\f2\\fnil Georgia;}}"
                                    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\\viewkind4\\uc1\\pard\\f0\\fs24 ");

QString Written(const QString &rtf) {
    QTextDocument doc;
    ReadRtf(rtf, &doc);
    return WriteRtf(&doc);
}

// Instructions as the instruction box gives them: written by our writer, the
// card layout put back, read and written again.
QString Box(const QString &body, bool halfLines) {
    CardLayout layout;
    layout.paraGap = QStringLiteral("120");
    layout.tabStops = {567};
    layout.halfLines = halfLines;
    bool open = false;
    return Written(LayoutText(Written(Head + body + QStringLiteral("\\par }")), open, layout, InstructionBox::MainInstructions).text);
}

struct PageCase {
    const char *name, *body; // body: the text after the header; "=" at the front: the whole RTF as it stands
    std::function<void(DancePageInput &)> options;
    QStringList present{}, absent{};
    const char *stop = "";
};

TEST(DancePage, ConvertsTheWritersInstructions) {
    const auto css = [](DancePageInput &in) { in.useCss = true; };
    const auto half = [](DancePageInput &in) { in.halfLines = true; };
    const QList<PageCase> cases = {
        {"TabbedRowsAndFirstLine", "Longways\\tab 32 bar jig\\par A1\\tab Lead down\\par Done", {},
         {"<Table>", "<TR><TD ColSpan=2>Longways &nbsp; &nbsp; 32 bar jig</TD></TR>",
          "<TR><TD Width=40 VAlign=Top>A1</TD><TD>Lead down</TD></TR>", "<TR><TD ColSpan=2>Done</TD></TR>\r\n</Table>"}},
        {"ColonLabelIsACell", "Longways\\par A1:\\~ Lead down", {}, {"<TD Width=40 VAlign=Top>A1:</TD><TD>Lead down</TD>"}},
        {"HalfLinesAsParagraphs", "Longways\\par A1 Lead down\\par\\par B1 swing", half,
         {"<P>A1 Lead down\r\n<P>B1 swing"}, {"<Table>", "<TD", "<Font Face=\"Arial"}},
        {"ColourBoldAndCharacters",
         "Longways\\par B1\\tab \\cf2\\b swing\\cf0\\b0  and \\'e9 \\rquote \\u337? \\~ \\_ a - b & <b>x</b> \\{\\}", {},
         {"<TD><Span Style=\"Color: #008000\"><B>swing</B></Span> and &#233; &rsquo;&#337; &nbsp; &#x2011; a &ndash; b "
          "&amp; &lt;b&gt;x&lt;/b&gt; {}</TD>"}},
        {"UpperCaseHexAndWholeSize", "=" "{\\rtf1{\\fonttbl{\\f0\\fnil Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs24 Caf\\'E9\r\n\\par \\fs8\\b small\r\n\\par }",
         {}, {"Caf&#233;", "<Font Face=\"Arial, Sans-serif\" Size=0><B>small"}},
        {"PrimaryFontUnderAnyNumberKeepsTheTable",
         "={\\rtf1{\\fonttbl{\\f0\\fnil Sans Serif;}{\\f1\\fnil Arial;}}\r\n\\viewkind4\\uc1\\pard\\b\\f0\\fs28 Sloe\r\n"
         "\\par \\b0\\f1\\fs24 A1\\tab Lead\r\n\\par }",
         {}, {"<TD Width=40 VAlign=Top><B></B>A1</TD><TD>Lead</TD></TR>\r\n</Table>"}, {"Class=F1", "Face=\"Arial\""}},
        {"StyleClassesInPoints", "Longways\\par \\f1\\fs28 big\\f0\\fs24  and \\f2\\fs20 small", css,
         {".F1     {Font-family: Verdana; Font-size: 14pt}", ".F2     {Font-family: Georgia; Font-size: 10pt}",
          "<H1 Class=Title>Sloe &amp; Gin</H1>", "<Span Class=F1>big</Span>"}},
        {"FontTagsWithoutCss", "Longways\\par \\f1\\fs28 big\\f0\\fs24  end", {},
         {"<Font Face=\"Verdana\" Size=4>big</Font>", "Color=\"#8000C0\" Size=5>Sloe &amp; Gin</Font></B>"}, {".F1 "}},
        {"ShowTitles", "Sloe Gin\\par\\par Longways\\tab 32\\par A1\\tab Lead", [](DancePageInput &in) { in.showTitles = true; },
         {"<P>", "<TD ColSpan=2>Longways &nbsp; &nbsp; 32</TD>"}, {"<H1", "Size=5>"}},
        {"NoInstructions", "=", {}, {"<B>No instructions.</B>"}},
        {"TableStops", "Longways\\par \\trowd\\cellx1000\\pard\\intbl x\\cell\\row", {}, {}, {}, "Sloe &amp; Gin\rcontains a table and cannot be displayed"},
        {"NoUc1Stops", "={\\rtf1 x\\par }", {}, {}, {}, "Error in RTF"},
        {"FontNumberStops", "={\\rtf1{\\fonttbl{\\fx Arial;}}\\viewkind4\\uc1 x\r\n\\par }", {}, {}, {}, "Internal error - please contact Vellam Orrisk."},
        {"InvalidControlStops", "={\\rtf1\\viewkind4\\uc1 x\\?y\r\n\\par z\r\n\\par }", {}, {}, {}, "Text contains invalid RTF"},
    };
    for (const PageCase &c : cases) {
        SCOPED_TRACE(c.name);
        DancePageInput in;
        in.title = QStringLiteral("Sloe & Gin");
        in.separator = QChar(0xB7);
        in.paraGap = 120;
        const QString body = QString::fromUtf8(c.body);
        in.rtf = body.startsWith(QLatin1Char('=')) ? body.mid(1) : Box(body, false);
        if (c.options) c.options(in);
        if (in.halfLines && !body.startsWith(QLatin1Char('='))) in.rtf = Box(body, true);
        const DancePageResult r = BuildDancePage(in);
        EXPECT_EQ(r.stop, QString::fromUtf8(c.stop));
        if (!r.stop.isEmpty()) {
            EXPECT_TRUE(r.page.isEmpty());
        }
        for (const QString &p : c.present) EXPECT_TRUE(r.page.contains(p)) << p.toStdString() << "\n" << in.rtf.toStdString() << "\n" << r.page.toStdString();
        for (const QString &a : c.absent) EXPECT_FALSE(r.page.contains(a)) << a.toStdString() << "\n" << r.page.toStdString();
    }
}

TEST(DancePage, NotesLinksAsButtonsInPlace) {
    const QString notes = QStringLiteral("See Link=\"Tunes\\x.pdf\" or http://a.org/b?c=1&d=2 and "
                                         "https://www.vellamorrisk.com/abc.aspx?T=Sloe\r\nCaf\u00e9 <i>\"x\"</i> Link=\"javascript:alert(1)\"");
    const QString button = QStringLiteral("&nbsp;<a Class=Button href=\"%1\">&nbsp;&nbsp;%2&nbsp;&nbsp;</a>&nbsp;");
    EXPECT_EQ(DanceNotesHtml(notes), "See " + button.arg("Tunes/x.pdf", "Link") + " or " + button.arg("http://a.org/b?c=1&amp;d=2", "Link") +
                                         " and " + button.arg("https://www.vellamorrisk.com/abc.aspx?T=Sloe", "Music") +
                                         "<Br>Caf&#233; &lt;i&gt;&quot;x&quot;&lt;/i&gt; javascript:alert(1)");
}

} // namespace

// Dance pages as a browser reads them (ctest label "browser").
class BrowserDancePages : public QuillaryTest {};

TEST_F(BrowserDancePages, ParseAndShowTheirTablesAndButtons) {
    const QString body = QStringLiteral("Longways\\tab 32 bar jig\\par A1\\tab Lead \\cf2\\b down\\cf0\\b0  - back\\par "
                                        "B1:\\~ \\i Swing\\i0 \\'e9\\par\\par \\f1\\fs28 Done <script>document.write('RAN'+'X')</script>");
    const QString notes = QStringLiteral("Link=\"x.pdf\" http://a.org/\"onmouseover=\"document.write('RAN'+'X') Link=\"javascript:document.write('RAN'+'X')\"");
    const struct {
        const char *name;
        bool css, half;
        int rows;
    } cases[] = {{"table", false, false, 2}, {"tablecss", true, false, 2}, {"paragraphs", false, true, 0}, {"paragraphscss", true, true, 0}};
    QStringList files;
    for (const auto &c : cases) {
        DancePageInput in;
        in.title = QStringLiteral("Sloe <Gin>");
        in.rtf = Box(c.half ? QString(body).replace(QStringLiteral("\\tab"), QStringLiteral(" ")) : body, c.half);
        in.notes = notes;
        in.useCss = c.css;
        in.halfLines = c.half;
        in.paraGap = 120;
        in.separator = QChar(0xB7);
        const DancePageResult r = BuildDancePage(in);
        ASSERT_TRUE(r.stop.isEmpty()) << r.stop.toStdString();
        const QString file = path(QString::fromLatin1(c.name) + ".htm");
        WriteFileBytes(file, (r.page + (r.fontOpen ? "</Font>" : "") + "\r\n</Body>\r\n</HTML>").toUtf8());
        files.append(file);
        QProcess chromium;
        chromium.start(QStringLiteral("chromium"), {"--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                                                    "--user-data-dir=" + path(QStringLiteral("profile")), "--dump-dom",
                                                    QUrl::fromLocalFile(file).toString()});
        ASSERT_TRUE(chromium.waitForFinished(60000));
        const QString d = QString::fromUtf8(chromium.readAllStandardOutput());
        SCOPED_TRACE(c.name);
        EXPECT_EQ(d.count(QStringLiteral("<td width=\"40\"")), c.rows) << d.toStdString();
        EXPECT_TRUE(d.contains(QStringLiteral("Sloe &lt;Gin&gt;")) && d.contains(QStringLiteral("\u00e9")));
        EXPECT_TRUE(d.contains(QStringLiteral("<span style=\"color: #008000\"><b>down</b></span>"), Qt::CaseInsensitive)) << d.toStdString();
        EXPECT_EQ(d.count(QStringLiteral("class=\"Button\"")), 2);
        EXPECT_FALSE(d.contains(QStringLiteral("RANX")) || d.contains(QStringLiteral("onmouseover=\"")) || d.contains(QStringLiteral("href=\"javascript")));
    }
    // The title line the instruction box puts first with "Show titles": a
    // larger size in bold, then the primary font again.
    DancePageInput titled;
    titled.title = QStringLiteral("Sloe Gin");
    titled.rtf = QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fnil Sans Serif;}{\\f1\\fnil Arial;}}\r\n\\viewkind4\\uc1\\pard\\b\\f0\\fs28 "
                                "Sloe Gin\r\n\\par \\b0\\f1\\fs24 A1\\tab Lead\r\n\\par \\i B1\\tab Swing\r\n\\par }");
    titled.notes = QStringLiteral("Notes");
    titled.showTitles = true;
    titled.separator = QChar(0xB7);
    const DancePageResult t = BuildDancePage(titled);
    EXPECT_FALSE(t.fontOpen);
    EXPECT_TRUE(t.page.contains(QStringLiteral("Size=4>Sloe Gin</Font></B>"))) << t.page.toStdString();
    EXPECT_FALSE(t.page.mid(t.page.indexOf(QStringLiteral("<HR"))).contains(QStringLiteral("</"))) << "nothing closes in the notes";
    files.append(path(QStringLiteral("titled.htm")));
    WriteFileBytes(files.last(), (t.page + "\r\n</Body>\r\n</HTML>").toUtf8());

    QProcess check;
    check.start(QStringLiteral(QUILLARY_SOURCE_DIR "/tests/check_html.py"), files);
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString() << check.readAllStandardError().toStdString();
}
