#include "publishing/pages/Html.h"
#include "TestSupport.h"

#include <QRandomGenerator>

namespace {

TEST(EscapeHtml, EscapesTextAndKeepsMarkUp) {
    const struct {
        const char16_t *text;
        char16_t separator;
        const char *escaped;
    } cases[] = {
        {u"Rock & Roll", u'·', "Rock &amp; Roll"},    {u"a&nbsp;b", u'·', "a&nbsp;b"},
        {u"caf&#233;", u'·', "caf&#233;"},            {u"x&;y", u'·', "x&;y"},
        {u"Salt &", u'·', "Salt &amp;"},              {u"AT&T", u'·', "AT&amp;T"},
        {u"·D|A|B|C·", u'·', "&bull;D|A|B|C&bull;"},  {u"a€b·c", u'€', "a&bull;b&#183;c"},
        {u"» next", u'·', "&raquo; next"},            {u"don’t é", u'·', "don&#8217;t &#233;"},
        {u"\U0001D11E clef", u'·', "&#119070; clef"}, {u"<a href=\"x\">é</a>", u'·', "<a href=\"x\">&#233;</a>"},
    };
    for (const auto &c : cases) {
        const QString once = EscapeHtml(QString::fromUtf16(c.text), QChar(c.separator));
        EXPECT_EQ(once, QString::fromUtf8(c.escaped));
        EXPECT_EQ(EscapeHtml(once, QChar(c.separator)), once);
    }
    // Random texts give ASCII that a second run keeps.
    QRandomGenerator random(22);
    const QString pool = QStringLiteral("ab&;#1 <>\"·»é’€x");
    for (int i = 0; i < 500; ++i) {
        QString s;
        for (int j = random.bounded(30); j > 0; --j) s += pool[random.bounded(int(pool.size()))];
        const QString once = EscapeHtml(s, QChar(0xB7));
        ASSERT_TRUE(std::all_of(once.begin(), once.end(), [](QChar c) { return c.unicode() < 128; })) << s.toStdString();
        ASSERT_EQ(EscapeHtml(once, QChar(0xB7)), once) << s.toStdString();
    }
}

TEST(HtmlValue, ValuesAsTextAndAddressesOnlyAsWebOrRelative) {
    const struct {
        const char16_t *value;
        const char *text, *href;
    } cases[] = {
        {u"Club Night <Special>", "Club Night &lt;Special&gt;", "Club Night &lt;Special&gt;"},
        {u"Jolly \"Tinker\" & <b>é</b>·", "Jolly &quot;Tinker&quot; &amp; &lt;b&gt;&#233;&lt;/b&gt;&bull;",
         "Jolly &quot;Tinker&quot; &amp; &lt;b&gt;&#233;&lt;/b&gt;&#183;"},
        {u"&amp;", "&amp;amp;", "&amp;amp;"},
        {u"http://x.org/a\"onmouseover=\"y", "http://x.org/a&quot;onmouseover=&quot;y", "http://x.org/a&quot;onmouseover=&quot;y"},
        {u"HTTPS://x.org/?a=1&b=<2>", "HTTPS://x.org/?a=1&amp;b=&lt;2&gt;", "HTTPS://x.org/?a=1&amp;b=&lt;2&gt;"},
        {u"www.x.org/é", "www.x.org/&#233;", "http://www.x.org/&#233;"},
        {u"javascript:alert(1)", "javascript:alert(1)", ""},
        {u" javascript:alert(1)", " javascript:alert(1)", ""},
        {u"http:evil", "http:evil", ""},
        {u"C:\\Tunes\\x.pdf", "C:\\Tunes\\x.pdf", ""},
        {u"Tunes\\x y.pdf", "Tunes\\x y.pdf", "Tunes/x y.pdf"},
    };
    for (const auto &c : cases) {
        const QString value = QString::fromUtf16(c.value);
        EXPECT_EQ(HtmlValue(value, QChar(0xB7)), QString::fromUtf8(c.text));
        EXPECT_EQ(HtmlHref(value), QString::fromUtf8(c.href)) << value.toStdString();
        // A finished page's pass of EscapeHtml changes nothing more.
        EXPECT_EQ(EscapeHtml(HtmlValue(value, QChar(0xB7)), QChar(0xB7)), HtmlValue(value, QChar(0xB7)));
    }
}

TEST(PageHead, TableFontFromPrintSettings) {
    const QString given = PageHead(QStringLiteral("T"), QStringLiteral("10"), QStringLiteral("Verdana"));
    EXPECT_TRUE(given.startsWith(QStringLiteral("<!DOCTYPE HTML><HTML><Head><Title>T</Title>\r\n<Meta charset=\"utf-8\">\r\n")));
    EXPECT_TRUE(given.contains(QStringLiteral("    TD   {Font-Size: 10pt; Font-Family: Verdana}\r\n")) &&
                given.endsWith(QStringLiteral("@media print {.NoPrint {Display: None;}}</Style>\r\n")));
    WritePageHead(QStringLiteral("T")); // no settings: the defaults
    EXPECT_TRUE(PageText.contains(QStringLiteral("{Font-Size: 12pt; Font-Family: Arial, Sans-Serif}")));
}

TEST(OpenFontTag, WritesTheTagsOfASequence) {
    const struct {
        bool useCss;
        std::vector<std::pair<const char *, int>> steps;
        const char *page;
        bool openAfter;
    } cases[] = {
        {true, {{"Arial", 24}}, "", false},
        {true, {{"Arial", 32}, {"Arial", 24}}, "<Font Face=\"Arial, Sans-serif\" Size=5></Font>", false},
        {false, {{"Arial", 24}, {"Times", 20}},
         "<Font Face=\"Arial, Sans-serif\" Size=3></Font><Font Face=\"Times, Sans-serif\" Size=2>", true},
        {false, {{"Arial", 8}, {"Arial", 28}},
         "<Font Face=\"Arial, Sans-serif\" Size=0></Font><Font Face=\"Arial, Sans-serif\" Size=4>", true},
    };
    for (const auto &c : cases) {
        QString page;
        FontState state;
        for (const auto &[face, size] : c.steps) {
            state.face = QString::fromUtf8(face);
            state.size = size;
            OpenFontTag(page, state, c.useCss, QStringLiteral("Arial"), 12);
        }
        EXPECT_EQ(page, QString::fromUtf8(c.page));
        EXPECT_EQ(state.open, c.openAfter) << c.page;
    }
}

TEST(RtfColourHex, ComponentsOfTheFirstEntry) {
    const QString table = QStringLiteral("\\red128\\green0\\blue255;\\red1\\green2\\blue3;");
    EXPECT_EQ(RtfColourHex(table, "red") + RtfColourHex(table, "green") + RtfColourHex(table, "blue"), QStringLiteral("8000FF"));
    EXPECT_EQ(RtfColourHex(QStringLiteral("\\red300;"), "red"), QStringLiteral("12C"));
    EXPECT_EQ(RtfColourHex(QStringLiteral("\\red5\\green;"), "green"), QStringLiteral("00"));
}

} // namespace

// Inline tags of converted rich text nest; cells and the end close them.
TEST(BalanceInlineTags, NestsAndCloses) {
    const struct {
        const char *name, *in, *out;
    } cases[] = {
        {"balanced stays", "<B>a<I>b</I></B>", "<B>a<I>b</I></B>"},
        {"outer closed first", "<B><Font Size=4>Title</B> rest</Font>", "<B><Font Size=4>Title</Font></B><Font Size=4> rest</Font>"},
        {"open at the end", "<U>a<Span Style=\"x\">b", "<U>a<Span Style=\"x\">b</Span></U>"},
        {"stray end tag", "a</B>b</font>", "ab"},
        {"across cells, closed before text",
         "<TR><TD><B><Font Size=4>T</B></TD></TR>\r\n<TR><TD><B></B></Font>A1 x</TD></TR>",
         "<TR><TD><B><Font Size=4>T</Font></B></TD></TR>\r\n<TR><TD><B></B>A1 x</TD></TR>"},
        {"across cells, closed after text", "<TD><Font Size=4>T</TD><TD>A1</Font> x</TD>",
         "<TD><Font Size=4>T</Font></TD><TD><Font Size=4>A1</Font> x</TD>"},
        {"across cells, carried into text", "<TD><Font Size=2>a</TD><TD>b</TD>",
         "<TD><Font Size=2>a</Font></TD><TD><Font Size=2>b</Font></TD>"},
        {"after the table", "<Table><TR><TD><I>a</TD></TR></Table><P>b</I>",
         "<Table><TR><TD><I>a</I></TD></TR></Table><I><P>b</I>"},
        {"lower case and other mark-up kept", "<b>x<br></b><Hr>", "<b>x<br></B><Hr>"},
    };
    for (const auto &c : cases) EXPECT_EQ(BalanceInlineTags(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.name;
}
