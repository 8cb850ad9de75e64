#include "EventFormFixture.h"
#include "platform/shell/DocumentOpener.h"
#include "publishing/pages/Html.h"
#include "publishing/pages/ProgrammePage.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QProcess>

namespace {

struct PageOpener : DocumentOpener {
    QStringList opened;
    bool open(const QUrl &target) override { return opened.append(target.toLocalFile()), true; }
};

const QString Tune = QStringLiteral("https://www.vellamorrisk.com/abc.aspx?T=");

class OrgFormWebTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        SetDataFolder(folder());
        WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Quillary.mdb\r\nShowTolbrook=0\r\n"
                                             "[Print]\r\n0=Title\r\n1=Music\r\n"
                                             "[Recorded]\r\nRecording=200\r\nTrk=25\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        SetDocumentOpener(&opener);
        addDance("Sloe Gin", {{"Music", "Own tune"}, {"Notes", Tune + "The_Sloe"}});
        addDance("Merry Dancers, The", {{"Music", "Jigs"}, {"Notes", Tune + "Merry_Dancers"}});
    }
    void TearDown() override {
        SetDocumentOpener(nullptr);
        EventFormTest::TearDown();
    }
    QString page() { return QString::fromUtf8(ReadFileBytes(path("Prog.htm"))); }
    qint64 booking(int days, const char *band, const char *programme = "~D|Sloe Gin|Longways|English~") {
        return addEvent(QStringLiteral("Club %1").arg(days), days, Prog(programme), {{"Band", band}});
    }
    PageOpener opener;
};

struct TourCase {
    int laterDays;
    bool offered;
};
class WebTourTest : public OrgFormWebTest, public ::testing::WithParamInterface<TourCase> {};

TEST_P(WebTourTest, BookingsWithinThirtyDaysMakeATour) {
    const TourCase c = GetParam();
    const qint64 first = booking(3, "Fiddlesticks");
    booking(10, "Thistledown");
    booking(3 + c.laterDays, "Fiddlesticks", "~D|Merry Dancers, The|Longways|English~");
    open(first);
    for (int i = c.offered ? 0 : 1; i < 2; ++i) answerer->script(ResultYes); // the tour, the button
    form->WebClick(form->WebE);
    EXPECT_EQ(answerer->sawText(QStringLiteral("Process all imminent events with Fiddlesticks?")), c.offered);
    const QString written = page();
    EXPECT_EQ(written.count(QStringLiteral("<H1 ")), c.offered ? 2 : 1);
    EXPECT_FALSE(written.contains(QStringLiteral("Club 10")));
    EXPECT_EQ(written.contains(QStringLiteral("<Center Style=\"Page-break-before: Always\">")), c.offered);
    EXPECT_EQ(written.contains(QStringLiteral("<Title>Tour with Fiddlesticks</Title>")), c.offered);
    const QString query = c.offered ? QStringLiteral("?L1=The_Sloe/Sloe_Gin&amp;L2=Merry_Dancers/The_Merry_Dancers&amp;ForBand=Y\"")
                                    : QStringLiteral("?L1=The_Sloe/Sloe_Gin&amp;ForBand=Y\"");
    const qsizetype button = written.indexOf(query);
    EXPECT_TRUE(button > 0 && button < written.indexOf(QStringLiteral("<Table"))) << written.toStdString();
    EXPECT_EQ(EventsData.GetBookmark(), first);
    EXPECT_EQ(opener.opened, QStringList{path("Prog.htm")});
}

INSTANTIATE_TEST_SUITE_P(Days, WebTourTest, ::testing::Values(TourCase{30, true}, TourCase{31, false}));

TEST_F(OrgFormWebTest, OneBandAsksForTheBandPartNotATour) {
    booking(5, "Fiddlesticks");
    open(booking(3, "Fiddlesticks", "~O|Afternoon: Thistledown~D|Sloe Gin|Longways|English~"
                                    "O|Evening: Fiddlesticks~D|Merry Dancers, The|Longways|English~"));
    answerer->scriptText(QStringLiteral("fiddle"));
    answerer->script(ResultNo); // no button
    form->WebClick(form->OneBandM);
    EXPECT_FALSE(answerer->sawText(QStringLiteral("Process all")));
    EXPECT_EQ(form->BandPart, QStringLiteral("fiddle"));
    EXPECT_TRUE(page().contains(QStringLiteral("<B>Evening: Fiddlesticks</B>")) && !page().contains(QStringLiteral("Sloe Gin")));
}

class WebQueryTest : public OrgFormWebTest, public ::testing::WithParamInterface<int> {};

// Two tune keys of the longest length a link gives, and one to fill the
// query up to its length.
TEST_P(WebQueryTest, QueryOverTwoThousandStopsBeforeWriting) {
    const int length = GetParam();
    addDance(QStringLiteral("A"), {{"Notes", Tune + "A" + QString(998, QLatin1Char('x'))}});
    addDance(QStringLiteral("B"), {{"Notes", Tune + "B" + QString(length - 1008, QLatin1Char('x'))}});
    open(booking(3, "Band", "~D|A|Longways|English~D|B|Longways|English~"));
    answerer->script(ResultYes);
    if (length > 2000) {
        EXPECT_THROW(form->WebClick(form->WebE), SilentAbort);
        EXPECT_TRUE(answerer->sawText(QStringLiteral("Too many links - contact Vellam Orrisk")) && !QFile::exists(path("Prog.htm")));
    } else {
        form->WebClick(form->WebE);
        EXPECT_TRUE(page().contains(QStringLiteral("ForBand=Y")));
    }
    EXPECT_EQ(PageTunes.TuneQuery.size(), length);
}

INSTANTIATE_TEST_SUITE_P(Lengths, WebQueryTest, ::testing::Values(2000, 2001));

TEST_F(OrgFormWebTest, NoToOverwriteAddsBehindAPageBreakWithoutSenderNothingIsWritten) {
    open(booking(3, "Fiddlesticks"));
    answerer->script(ResultNo); // no button
    form->WebClick(nullptr);
    EXPECT_TRUE(PageText.contains(QStringLiteral("Sloe Gin")) && PageText.endsWith(QStringLiteral("</HTML>")));
    EXPECT_FALSE(QFile::exists(path("Prog.htm")));
    EXPECT_TRUE(opener.opened.isEmpty());
    for (int answer : {ResultNo, ResultNo, ResultNo}) answerer->script(answer); // no button twice, then add
    form->WebClick(form->WebE);
    form->WebClick(form->WebE);
    const QString written = page();
    EXPECT_EQ(written.count(QStringLiteral("<Table ")), 2);
    EXPECT_EQ(written.count(QStringLiteral("</Body>")), 1);
    EXPECT_TRUE(written.contains(QStringLiteral("<Title>Events</Title>")));
    const qsizetype pageBreak = written.indexOf(QStringLiteral("<P Style=\"page-break-after: always\">"));
    EXPECT_TRUE(pageBreak > written.indexOf(QStringLiteral("</Table>")) && pageBreak < written.lastIndexOf(QStringLiteral("<Table ")));
    EXPECT_EQ(opener.opened.size(), 2);
}

// Every catalogue value reaches the page as text: each hostile piece in
// turn is put into every field the page shows, between "X" and "Y".
struct HostileCase {
    const char16_t *piece, *escaped;
};
class WebEscapeTest : public OrgFormWebTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(WebEscapeTest, CatalogueValuesAreEscapedWhereInserted) {
    const HostileCase c = GetParam();
    const QString v = QStringLiteral("X") + QString::fromUtf16(c.piece) + QLatin1Char('Y');
    const QString e = QStringLiteral("X") + QString::fromUtf16(c.escaped) + QLatin1Char('Y');
    // A programme text cannot hold the separator: then its rows are plain.
    const bool inProgramme = !v.contains(SepDot);
    IniFile->WriteString("Print", "2", "Author");
    IniFile->WriteString("System", "Name", "Nm" + v);
    const QString title = inProgramme ? "Ti" + v : QStringLiteral("Ti");
    addDance(title, {{"Music", "Mu" + v + "\u00b7Disc"}, {"Author", "Au" + v}, {"Notes", Tune + "Tu" + v + " Own"}});
    const QString programme = inProgramme ? Prog("~D|") + title + Prog("|Longways|English~O|Hd") + v + Prog("~N|Nt") + v + Prog("~")
                                          : Prog("~D|Ti|Longways|English~");
    open(addEvent("Og" + v, 3, programme, {{"Event", "Ev" + v}, {"Venue", "Vn" + v}, {"Town", "Tn" + v}, {"Band", "Bd" + v}}));
    answerer->script(ResultYes); // the button
    form->WebClick(form->WebE);
    const QString written = page();
    EXPECT_TRUE(std::all_of(written.begin(), written.end(), [](QChar ch) { return ch.unicode() < 128; }));
    QStringList fields = {"<Title>Og", "18pt\">Og", ": Ev", ">Nm", "Vn", "Tn", "with Bd", "<TD>Au"};
    if (inProgramme) fields += {"<TD>Ti", "<TD>Mu", "<B>Hd"};
    for (const QString &f : fields) EXPECT_TRUE(written.contains(f + e)) << f.toStdString() << "\n" << written.toStdString();
    // A note's lone quote is a typographic one.
    if (inProgramme) {
        EXPECT_TRUE(written.contains("ColSpan=3>Nt" + QString(e).replace("&quot;", "&rdquo;")));
    }
    // The tune key in the link and in the tune button (a link ends at "<";
    // an address holds the separator itself).
    QString key = QStringLiteral("Tu") + (v.contains('<') ? QStringLiteral("X") : inProgramme ? e : QStringLiteral("X&#183;Y"));
    EXPECT_TRUE(written.contains("href=\"" + Tune + key + "\"")) << written.toStdString();
    EXPECT_TRUE(written.contains("?L1=" + key + "/")) << written.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Pieces, WebEscapeTest,
                         ::testing::Values(HostileCase{u"<", u"&lt;"}, HostileCase{u">", u"&gt;"}, HostileCase{u"\"", u"&quot;"},
                                           HostileCase{u"&", u"&amp;"}, HostileCase{u"\u00e9", u"&#233;"},
                                           HostileCase{u"\u00b7", u"&bull;"},
                                           HostileCase{u"<script>alert(1)</script>", u"&lt;script&gt;alert(1)&lt;/script&gt;"}));

} // namespace

// The pages as a browser reads them (ctest label "browser"): chromium's
// document of each written page.
class BrowserPages : public OrgFormWebTest {
protected:
    QString dom(const QString &name) {
        QFile::copy(path("Prog.htm"), path(name));
        QProcess chromium;
        chromium.start(QStringLiteral("chromium"),
                       {"--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                        "--user-data-dir=" + path("profile-" + name), "--dump-dom", QUrl::fromLocalFile(path(name)).toString()});
        EXPECT_TRUE(chromium.waitForFinished(60000)) << "chromium did not run: " << chromium.errorString().toStdString();
        return QString::fromUtf8(chromium.readAllStandardOutput());
    }
    // Every table: n header cells, then rows of n cells or one spanning them.
    void expectTables(const QString &d, int tables, const QStringList &titles, int n = 2) {
        EXPECT_TRUE(d.count(QStringLiteral("<h1")) == tables && d.count(QStringLiteral("<table")) == tables) << d.toStdString();
        for (const QString &table : d.split(QStringLiteral("<table")).mid(1)) {
            const QStringList rows = table.left(table.indexOf(QStringLiteral("</table>"))).split(QStringLiteral("<tr")).mid(1);
            EXPECT_EQ(rows.value(0).count(QStringLiteral("<th>")), n);
            for (const QString &row : rows.mid(1))
                EXPECT_TRUE(row.count(QStringLiteral("<td")) == n || row.contains(QStringLiteral("colspan=\"%1\"").arg(n)))
                    << row.toStdString();
        }
        qsizetype at = 0;
        for (const QString &title : titles) EXPECT_GE(at = d.indexOf(title, at), 0) << title.toStdString();
    }
};

TEST_F(BrowserPages, WrittenPagesLoad) {
    addDance(QStringLiteral("Apple Cart Jig"), {{"Music", "Jigs\u00b7Orchard Tunes\u00b73\u00b7CD"}});
    const qint64 recorded = booking(1, "Recorded", "~D|Apple Cart Jig|Longways|English~D|Sloe Gin|Longways|English~");
    const qint64 live = booking(3, "Fiddlesticks", "~O|Evening~D|Merry Dancers, The|Longways|English~N|Raffle~");
    booking(20, "Fiddlesticks", "~D|Sloe Gin|Longways|English~");
    db.execRaw(QStringLiteral("UPDATE Dances SET Tolbrook = 2"));
    open(recorded);
    form->WebClick(form->WebE);
    QString d = dom("recorded.htm");
    expectTables(d, 1, {"Apple Cart Jig", "Orchard Tunes, track <b>3</b> \u2022CD", "Sloe Gin"});
    EXPECT_LT(d.indexOf(QStringLiteral("No recording specified")), d.indexOf(QStringLiteral("<table")));
    for (const char *option : {"0", "1", "2"}) {
        IniFile->WriteString(QStringLiteral("System"), QStringLiteral("ShowTolbrook"), QLatin1String(option));
        EventsData.GotoBookmark(live);
        answerer->script(ResultNo); // no tour
        if (option[0] != '1') answerer->script(ResultNo); // no button (the book alone has no links)
        answerer->script(ResultYes); // overwrite
        form->WebClick(form->WebE);
        expectTables(dom(QStringLiteral("live%1.htm").arg(option)), 1, {"Evening", "Merry Dancers", "Raffle"});
    }
    for (int answer : {ResultYes, ResultYes, ResultNo}) answerer->script(answer); // tour, button, add
    form->WebClick(form->WebE);
    d = dom("tour.htm");
    expectTables(d, 3, {"Merry Dancers", "Sloe Gin"});
    // The button above the tour's first table, behind the page it was added to.
    const qsizetype href = d.indexOf(QStringLiteral("href=\"") + Tune.left(Tune.size() - 2) + "L");
    EXPECT_TRUE(href > d.indexOf(QStringLiteral("</table>")) && href < d.indexOf(QStringLiteral("<table"), d.indexOf(QStringLiteral("</table>"))));
    QString address = d.mid(href + 6, d.indexOf(QLatin1Char('"'), href + 6) - href - 6);
    EXPECT_EQ(address.replace(QStringLiteral("&amp;"), QStringLiteral("&")),
              Tune.left(Tune.size() - 2) + "L1=Merry_Dancers/The_Merry_Dancers&L2=The_Sloe/Sloe_Gin&ForBand=Y");
    DancesData.First();
    answerer->script(ResultYes);
    form->WebClick(form->WebD);
    const QString dance = dom("dance.htm");
    // "Show titles" is on: the instructions begin with the title.
    EXPECT_EQ(dance.count(QStringLiteral("Apple Cart Jig")), 2) << dance.toStdString();
}

// A page written from hostile values: the browser runs none of them, and
// no link takes an attribute or a script address from a note.
TEST_F(BrowserPages, HostileValuesRunNoScript) {
    const QString run = QStringLiteral("<script>document.write('RAN'+'X')</script>");
    addDance("Ti" + run, {{"Music", "Mu" + run},
                          {"Notes", "Link=\"javascript:document.write('RAN'+'X')\" http://x.org/a\"onmouseover=\"document.write('RAN'+'X')"}});
    const QString programme = Prog("~D|") + "Ti" + run + Prog("|Longways|English~O|Hd") + run + Prog("~N|Nt") + run + Prog("~");
    open(addEvent("Og" + run, 3, programme, {{"Event", "Ev" + run}, {"Band", "Fiddlesticks"}}));
    form->WebClick(form->WebE);
    const QString d = dom("hostile.htm");
    EXPECT_FALSE(d.contains(QStringLiteral("RANX")) || d.contains(QStringLiteral("onmouseover=\"")) ||
                 d.contains(QStringLiteral("href=\"javascript")))
        << d.toStdString();
    EXPECT_GE(d.count(QStringLiteral("document.write('RAN'+'X')")), 6) << d.toStdString();
    EXPECT_TRUE(d.contains(QStringLiteral("href=\"http://x.org/a&quot;onmouseover=&quot;document.write('RAN'+'X')\"")));
}
