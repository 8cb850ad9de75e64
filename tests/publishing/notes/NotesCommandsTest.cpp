#include "publishing/notes/NotesCommands.h"
#include "TestSupport.h"

namespace {

TEST_F(QuillaryTest, LinkUnderTheCaret) {
    const QString text = QStringLiteral("See Link=\"Tunes\\a b.pdf\" or http://x.org/p?q=1 end");
    const struct {
        int caret;
        bool found, local;
        const char *target;
    } cases[] = {
        {0, false, false, ""},                // plain text before any link
        {2, false, false, ""},
        {3, true, true, "Tunes\\a b.pdf"},     // just before the marker: the + 2 rule
        {10, true, true, "Tunes\\a b.pdf"},
        {22, true, true, "Tunes\\a b.pdf"},    // on the closing quote
        {24, false, false, ""},               // after the link: it does not reach
        {28, true, false, "http://x.org/p?q=1"},
        {45, true, false, "http://x.org/p?q=1"}, // its last character
        {47, false, false, ""},
    };
    for (const auto &c : cases) {
        const NoteLinkHit hit = LinkAtCaret(text, c.caret);
        EXPECT_EQ(hit.found, c.found) << c.caret;
        EXPECT_EQ(hit.local, c.local) << c.caret;
        EXPECT_EQ(hit.target, QString::fromUtf8(c.target)) << c.caret;
    }
    EXPECT_THROW(LinkAtCaret(QStringLiteral("Link=\"open.pdf"), 3), SilentAbort);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("was not found in")));
}

TEST(NotesText, LinksPastingAndParagraphs) {
    EXPECT_EQ(ResolveLocalLink("Tunes\\x.pdf", "/data/"), QStringLiteral("/data/Tunes/x.pdf"));
    EXPECT_EQ(ResolveLocalLink("C:\\x.pdf", "/data/"), QStringLiteral("C:/x.pdf"));
    EXPECT_EQ(ResolveLocalLink("/home/x.pdf", "/data/"), QStringLiteral("/home/x.pdf"));
    EXPECT_EQ(AddLocalLink("\r\n", "/data/Tunes/x.pdf", "/data/"), QStringLiteral("Link=\"Tunes/x.pdf\""));
    EXPECT_EQ(AddLocalLink("Note", "/elsewhere/x.pdf", "/data/"), QStringLiteral("Note  Link=\"/elsewhere/x.pdf\""));
    EXPECT_EQ(ClipboardWebLink(" www.x.org\n"), QStringLiteral("http://www.x.org"));
    EXPECT_EQ(ClipboardWebLink("HTTPS://x.org"), QStringLiteral("HTTPS://x.org"));
    EXPECT_EQ(ClipboardWebLink("just words"), QString());
    EXPECT_EQ(FollowTarget({true, false, "https://www.vellamorrisk.com/abc.aspx?T=A&B=1"}, "/data/"),
              QStringLiteral("https://vellamorrisk.com/abc.aspx?T=A$B=1"));
    EXPECT_EQ(FollowTarget({true, true, "x.pdf"}, "/data/"), QStringLiteral("/data/x.pdf"));
    EXPECT_EQ(CleanPaste(QString::fromUtf16(u"\u201cHi\u201d \u2014 it\u2019s\u00a0here \u2013 now")),
              QStringLiteral("\"Hi\" - it's here - now"));
    EXPECT_FALSE(HasLineBreaks("one line\n"));
    EXPECT_TRUE(HasLineBreaks("one\ntwo"));
    const struct {
        const char *pasted, *result;
    } paragraphs[] = {
        {"Dance down the\nhall and back.", "Dance down the hall and back."},
        {"First part.\n\nSecond part.", "First part.\r\n\r\nSecond part."},
        {"> quoted line\n> goes on", "> quoted line goes on"},
        {"Stop. Go.  Now! Really? Yes", "Stop.  Go.  Now!  Really?  Yes"},
        {"Text\n.Dot line\nmore", "Text\r\n.Dot line\r\nmore"},
        {"Text\n\tindented", "Text indented"},
    };
    for (const auto &p : paragraphs) EXPECT_EQ(ReParagraph(QString::fromUtf8(p.pasted)), QString::fromUtf8(p.result)) << p.pasted;
    const QString index = QStringLiteral("X:1\r\nT:Sloe Gin\r\nT:Sloe\r\nX:2\nT:Last");
    EXPECT_TRUE(InTuneIndex(index, "Sloe") && InTuneIndex(index, "Sloe Gin") && InTuneIndex(index, "Last"));
    EXPECT_FALSE(InTuneIndex(index, "Gin") || InTuneIndex(index, "Sloe G"));
    EXPECT_EQ(TuneLinkTitle("Tune: https://www.vellamorrisk.com/abc.aspx?T=Rock_%26_Roll\r\nmore"), QStringLiteral("Rock & Roll"));
    EXPECT_EQ(TuneLinkTitle("Link=\"abc.aspx?T=Sloe_Gin\" x"), QStringLiteral("Sloe Gin"));
    EXPECT_EQ(TuneLinkTitle("no link"), QString());
    EXPECT_EQ(AbcCommandLine("C:\\ABC", "Sloe Gin", true, QChar(0xB7)), QString::fromUtf16(u"\"/T C:\\ABC\\|Sloe Gin\u00b7\""));
    EXPECT_EQ(AbcCommandLine("C:\\ABC\\", "Sloe Gin", false, QChar(0xB7)), QStringLiteral("\"/T C:\\ABC\\|Sloe Gin\""));
}

} // namespace

// His own web link: the collection page and anchor of a dance, a break
// found under "Break: ", else the tune page, flagged when no index has it.
TEST(NotesText, MaintainerWebLinkFromHisCollections) {
    const QStringList collections{
        "{\\rtf1 .WE harbour\\par\r\n|Harbour Lights\\par .DT 1\r\n .WE reels\r\n|Orrisk Reel\\par .DT|2\r\n}",
        "{\\rtf1 .WE breaks\r\n|Break: Hey Ho\\par .DT\r\n|Mill Race\\par .DTX}"};
    const QString index = "X:1\r\nT:Rose & Thistle\r\nT:Hey Ho\r\n";
    const QString site = "https://www.vellamorrisk.com";
    const struct {
        const char *title, *style, *address;
        bool notInIndex;
    } rows[] = {
        {"Harbour Lights", "English", "https://www.vellamorrisk.com/harbour.htm#Harbour%20Lights", false},
        {"Orrisk Reel", "English", "https://www.vellamorrisk.com/reels.htm#Orrisk%20Reel", false}, // the nearest .WE before it
        {"Hey Ho", "Break", "https://www.vellamorrisk.com/breaks.htm#Break:%20Hey%20Ho", false},
        {"Hey Ho", "English", "https://www.vellamorrisk.com/abc.aspx?T=Hey_Ho", false}, // no "Break: " tried
        {"Rose & Thistle", "English", "https://www.vellamorrisk.com/abc.aspx?T=Rose_%26_Thistle", false},
        {"Lost Tune", "English", "https://www.vellamorrisk.com/abc.aspx?T=Lost_Tune", true},
    };
    for (const auto &r : rows) {
        const MaintainerLink link = MaintainerWebLink(collections, r.title, r.style, index, site);
        EXPECT_EQ(link.address, QString::fromUtf8(r.address)) << r.title << " " << r.style;
        EXPECT_EQ(link.notInIndex, r.notInIndex) << r.title;
    }
}

// A page of his site from his local copy: the address mapped to the file,
// then the part shown large: the main part, or the anchor's heading up to
// the next heading or rule.
TEST(NotesText, LocalSitePageInLargePrint) {
    const QString domain = "vellamorrisk.com", site = "/s/Site/";
    const struct {
        const char *address, *file, *anchor;
    } addresses[] = {
        {"https://vellamorrisk.com/dances/steps.htm#Slip%20step", "/s/Site/dances/steps.htm", "Slip%20step"},
        {"http://www.VellamOrrisk.com/steps.htm", "/s/Site/steps.htm", ""},
        {"https://vellamorrisk.com/abc.aspx?T=Reel", "", ""},
        {"https://vellamorrisk.com/../etc/x.htm", "", ""},
        {"https://other.org/steps.htm", "", ""},
    };
    for (const auto &a : addresses) {
        const LocalSitePage p = LocalSitePageOf(a.address, domain, site);
        EXPECT_EQ(p.file, QString::fromUtf8(a.file)) << a.address;
        EXPECT_EQ(p.anchor, QString::fromUtf8(a.anchor)) << a.address;
    }
    const QString page = "<html><head><title>Steps</title></head><body><nav>menu</nav><main><p>Intro</p>\r\n"
                         "<h2 id=\"set\">Set</h2><p>Right and left.</p>\r\n"
                         "<h3><a name=\"turn\"></a>Turn</h3><p>Two hands.</p><hr><p>After rule</p>\r\n"
                         "<p id=cast>Cast off</p><p>Behind the line.</p><H2>Last</H2></main><p>footer</p></body></html>";
    const struct {
        const char *anchor, *shown;
        std::initializer_list<const char *> hidden;
    } parts[] = {
        {"", "<p>Intro</p>", {"menu", "footer"}},
        {"set", "<h2 id=\"set\">Set</h2><p>Right and left.</p>", {"Intro", "Turn"}},
        {"turn", "<h3><a name=\"turn\"></a>Turn</h3><p>Two hands.</p>", {"After rule", "Set"}},
        {"cast", "<p id=cast>Cast off</p><p>Behind the line.</p>", {"Last", "footer"}},
    };
    for (const auto &p : parts) {
        const QString shown = LargePrintPage(page, p.anchor, "file:///s/Site/");
        EXPECT_TRUE(shown.contains(QString::fromUtf8(p.shown)) && shown.contains("font-size: 24pt") &&
                    shown.contains("<base href=\"file:///s/Site/\">"))
            << p.anchor << "\n" << shown.toStdString();
        for (const char *h : p.hidden) EXPECT_FALSE(shown.contains(QString::fromUtf8(h))) << p.anchor << " " << h;
    }
    EXPECT_TRUE(LargePrintPage(page, "gone", "file:///s/Site/").isEmpty());
}
