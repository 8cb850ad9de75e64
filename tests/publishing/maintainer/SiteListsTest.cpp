#include "platform/sqlite/Database.h"
#include "publishing/maintainer/MaintainerRules.h"
#include "publishing/maintainer/MyDances.h"
#include "publishing/maintainer/SiteLists.h"
#include "TestSupport.h"

#include <QDate>
#include <QProcess>

namespace {

MaintainerConfig config() {
    MaintainerConfig c;
    c.PublishedCodes = {QStringLiteral("BOOK")};
    c.LibraryOld = QStringLiteral("http://library.example.org/playford");
    c.LibraryNew = QStringLiteral("https://library.example.org/playford");
    return c;
}

DanceFacts facts(const QString &author, const QString &collection, const QString &instructions = {},
                 const QString &footer = {}) {
    DanceFacts d;
    d.Title = QStringLiteral("T");
    d.Author = author;
    d.Collection = collection;
    d.Instructions = instructions;
    d.Footer = footer;
    return d;
}

class SiteListsTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        db.create(path("Quillary.mdb"));
    }
    void TearDown() override {
        db.close();
        QuillaryTest::TearDown();
    }
    void dance(const QList<QPair<QString, QVariant>> &values) { db.insertRow(QStringLiteral("Dances"), values); }
    QStringList column(const QString &sql) {
        QStringList out;
        Statement s(db.handle(), sql);
        while (s.step()) out << s.columnText(0);
        return out;
    }
    Database db;
};

} // namespace

TEST(MaintainerRules, WhoseDanceByEachCondition) {
    const MaintainerConfig c = config();
    const QString pad39(39, QLatin1Char('x'));
    struct Row {
        const char *name;
        DanceFacts d;
        bool own, interpretation;
    } rows[] = {
        {"his author", facts("Vellam Orrisk", ""), true, false},
        {"own collection", facts("Ann", "KRAV 2001"), true, false},
        {"interpretations collection", facts("Ann", "MOXE"), true, true},
        {"music credit", facts("Ann", "", "{\\rtf1 Music: Vellam Orrisk}"), true, false},
        {"bold music credit in footer", facts("Ann", "", "", "{\\rtf1 Music: \\b Vellam Orrisk\\b0}"), true, false},
        // "nterp" starting 40 characters before the name counts, 41 does not.
        {"interpretation at 40", facts("Ann", "", "Interp" + pad39.left(35) + "Vellam Orrisk"), true, true},
        {"interpretation at 41", facts("Ann", "", "Interp" + pad39.left(36) + "Vellam Orrisk"), false, false},
        {"someone else's", facts("Ann", "BOOK 1", "Music: Ann"), false, false},
        {"name in another case", facts("vellam orrisk", ""), true, false},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(IsMaintainersDance(r.d, c), r.own) << r.name;
        EXPECT_EQ(IsInterpretation(r.d, c), r.interpretation) << r.name;
    }
}

TEST(MaintainerRules, ReleaseKeepRulesAndDiscPages) {
    MaintainerConfig c = config();
    c.KeepAuthors = {QStringLiteral("Cecil Sharp")};
    const QSet<QString> keep{QStringLiteral("KEPT TITLE")};
    struct Row {
        const char *name, *title, *format, *author, *collection, *text;
        bool kept;
    } rows[] = {
        {"keep list", "Kept Title", "Circle", "Ann", "", "Made 1990", true},
        {"modern, someone else's", "Lost", "Circle", "Ann", "", "Made 1990", false},
        {"no year counts as 2000", "Lost", "Circle", "Ann", "", "", false},
        {"old text", "Old", "Circle", "Ann", "", "From 1990, after 1820", true},
        {"traditional", "Trad", "Circle", "Traditional", "", "", true},
        {"listed author", "Listed", "Circle", "cecil sharp", "", "", true},
        {"technique", "Tech", "Technique", "Ann", "", "", true},
        {"own collection", "Own", "Circle", "Ann", "KRAV", "", true},
        {"1950 is not old", "Lost", "Circle", "Ann", "", "In 1950", false},
        {"a longer number is no year", "Lost", "Circle", "Ann", "", "Code 118200", false},
    };
    for (const Row &r : rows) {
        DanceFacts d = facts(r.author, r.collection);
        d.Title = r.title;
        d.Format = r.format;
        EXPECT_EQ(MayPublishInstructions(d, [&r] { return QString(r.text); }, keep, c), r.kept) << r.name;
    }
    // Years come from the text, never from control words ("\ansicpg1252") or character codes.
    EXPECT_EQ(EarliestYear(RtfBareText("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\lang1033\\fs24 "
                                       "Made 1990\\'e91 and 1820}")),
              1820);
    EXPECT_EQ(EarliestYear(RtfBareText("{\\rtf1\\ansicpg1252\\lang1033 Caf\\'e9 1\\'b0}")), 2000);
    EXPECT_EQ(NormaliseRtf("{\\rtf1\\fs24\\lang2057 Walk\\fs-2 on\\f0 .}"), "{\\rtf1 Walkon\\f0 .}");
    EXPECT_EQ(CDPageTitle("<title>Hole in the Wall</title><b>Comments</b><font size=+1>Tune 53 bars</font>"),
              "Hole in the Wall");
    EXPECT_EQ(CDPageTitle("<title>Other</title>>Comments<font size=+1>Tune 52</font> 53"), "");
}

TEST_F(SiteListsTest, UnpublishedListsHeadingsBracketsAndTotal) {
    const QString me = QStringLiteral("Vellam Orrisk");
    auto add = [this](const char *title, const char *format, const char *style, const QString &author,
                      const char *collection, const char *notes) {
        dance({{"Title", title}, {"Format", format}, {"Style", style}, {"Author", author},
               {"Collection", collection}, {"Notes", notes}});
    };
    add("Alpha", "Circle", "English", me, "", "");
    add("Beta", "Circle", "English", "Ann", "KRAV 2001", "");
    add("Gamma", "Circle", "English", me, "", "See https://www.vellamorrisk.com/dances/gamma.htm");
    add("Delta", "Circle", "English", me, "", "https://www.vellamorrisk.com/abc.aspx?T=Delta and "
                                              "https://www.vellamorrisk.com/images/d.png");
    add("Eps", "Longways", "Scottish", me, "BOOK 1", "");
    add("Zeta", "Longways", "Scottish", me, "", "");
    add("Eta", "Circle", "English", "Ann", "MOXE", "");
    add("Theta", "Circle", "English", "Ann", "", "");
    EXPECT_EQ(UnpublishedList(db, config(), "vellamorrisk.com", QDate(2026, 12, 6)),
              "Dances, tunes and (interpretations) by Vellam Orrisk not appearing in books or website\r\n"
              "\r\nCircle:  English\r\n\r\n  Alpha\r\n  (Beta)\r\n  Delta\r\n"
              "\r\nLongways:  Scottish\r\n\r\n  Zeta\r\n"
              "\r\n\r\nTotal unpublished dances by Vellam Orrisk, Dec 26: 4");
}

TEST_F(SiteListsTest, MissingTunesKeysErrorsAndCount) {
    auto tune = [this](const QString &title, const QVariant &called, const QVariant &volume, const QString &notes) {
        dance({{"Title", title}, {"OwnTune", "Y"}, {"Called", called}, {"Tolbrook", volume}, {"Notes", notes}});
    };
    tune("Apple Tree", 3, QVariant(), "");
    tune("Black & Blue", 1, QVariant(), "https://www.vellamorrisk.com/abc.aspx?T=Black_%26_Blue");
    tune(QString::fromUtf8("Heidenröslein"), 0, QVariant(), "");
    tune("Cold Wind", 0, QVariant(), "abc.aspx?T=Cold_Winds");
    tune("Dry Leaf", 0, QVariant(), "");
    tune("Eel", 2, 5, "");
    tune("Fog", 1, QVariant(), "abc.aspx?T=Fog\nBank");
    dance({{"Title", "Not Own"}, {"Called", 4}});
    const QString index = QString::fromUtf8("X:1\r\nT:Black & Blue\r\nT:Heidenr\\\"oslein\nT:Fog\r\n");
    int errors = 0;
    EXPECT_EQ(MissingTunesList(db, "", index, &errors),
              "Missing ABC tunes\r\n\r\n" + QStringLiteral("Apple Tree").leftJustified(60) + "  3   NIT\r\n" +
                  "ERROR: Cold Wind  - Link to Cold Winds failed\r\n" +
                  QStringLiteral("Dry Leaf").leftJustified(60) + "  0\r\n" +
                  QStringLiteral("Eel").leftJustified(60) + "  2\r\n" +
                  "ERROR: ^J found in Fog Bank\r\n" +
                  QString::fromUtf8("ERROR: Heidenröslein found in ABC but no Link!\r\n") + "\r\n3 errors.\r\n");
    EXPECT_EQ(errors, 3);
    // One error is not counted on a line of its own; the filter's terms narrow the query.
    const QString one = MissingTunesList(db, "and Title <> 'Fog' and Title <> 'Cold Wind'", index, &errors);
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(one.contains("errors."));
}

TEST_F(SiteListsTest, LibraryRewriteAndInterpretationMarks) {
    const QString me = QStringLiteral("Vellam Orrisk");
    dance({{"Title", "A"}, {"Notes", "http://library.example.org/playford/12 and http://library.example.org/other"}});
    dance({{"Title", "B"}, {"Notes", "http://elsewhere.org/playford"}});
    dance({{"Title", "C"}, {"Collection", "MOXE 3"}, {"Format", "Circle"}});
    dance({{"Title", "D"}, {"Instructions", "Interpreted by " + me}, {"Format", "Square"}});
    dance({{"Title", "E"}, {"Author", me}, {"DFilter", "Y"}});
    EXPECT_EQ(RewriteLibraryAddress(db, config()), 1);
    EXPECT_EQ(column("Select Notes from Dances order by Title"),
              QStringList({"https://library.example.org/playford/12 and http://library.example.org/other",
                           "http://elsewhere.org/playford", "", "", ""}));
    // Without a filter every interpretation is marked and other marks go.
    EXPECT_EQ(MarkInterpretations(db, config(), nullptr), 2);
    EXPECT_EQ(column("Select Title from Dances where DFilter = 'Y' order by Title"), QStringList({"C", "D"}));
    // Under a filter only the dances it shows keep a mark.
    const QSet<qint64> shown{column("Select rowid from Dances where Title in ('D', 'E')").first().toLongLong(),
                             column("Select rowid from Dances where Title = 'E'").first().toLongLong()};
    EXPECT_EQ(MarkInterpretations(db, config(), &shown), 1);
    EXPECT_EQ(column("Select Title from Dances where DFilter = 'Y' order by Title"), QStringList({"D"}));
}

TEST_F(SiteListsTest, MyDancesRowsHeadingsClassesAndStops) {
    const QString me = QStringLiteral("Vellam Orrisk");
    MaintainerConfig c = config();
    c.SiteFolder = path("Site/");
    WriteFileBytes(path("Site/dances/reel.htm"), "<html></html>");
    WriteFileBytes(path("Site/MyDances.txt"), "extra.htm\r\n");
    auto add = [this](const QString &title, const char *format, const QString &author, const char *collection,
                      const QVariant &level, const QString &notes, const QString &instructions = {}) {
        dance({{"Title", title}, {"Format", format}, {"Style", "English"}, {"Author", author},
               {"Collection", collection}, {"Lvl", level}, {"Rhythm", "Jig"}, {"Notes", notes},
               {"Instructions", instructions}});
    };
    add("Reel", "Circle", me, "KRAV 1", 2, "https://www.vellamorrisk.com/dances/reel.htm");
    add("Mill <b>Race</b> & Co", "Circle", "Ann", "MOXE", 3, "", "Interpretation by " + me);
    add("Lark", "Longways", "Ann", "BOOK 2", 1, "https://www.vellamorrisk.com/extra.htm", "Music: " + me);
    add("Drill", "Technique", me, "KRAV", 1, "");
    add("Secret", "Circle", me, "KRAV", 1, "https://www.vellamorrisk.com/private/s.htm");
    add("Other", "Circle", "Ann", "BOOK 3", 1, "");
    const MyDancesResult r = MakeMyDances(db, c, "vellamorrisk.com", QDate(2026, 12, 6), true);
    EXPECT_EQ(r.table, "Title|Collection|Rhythm|Level|Music|Recording\r\n"
                       "!ColSpan=6 Style=\"Background-color: #FFFFA0\"|Circle:  English\r\n"
                       "!Class=I|Mill &lt;b&gt;Race&lt;/b&gt; &amp; Co|MOXE (Ann)|Jig|3|&nbsp;|&nbsp;|\r\n"
                       "!Class=F|<A Href=\"dances/reel.htm\">Reel</A>|KRAV 1|Jig|2|&nbsp;|&nbsp;|\r\n"
                       "!ColSpan=6 Style=\"Background-color: #FFFFA0\"|Longways:  English\r\n"
                       "!Class=T|<A Href=\"extra.htm\">Lark</A>|BOOK 2 (Ann)|Jig|1|&nbsp;|&nbsp;|\r\n");
    EXPECT_EQ(r.csv, "\"Title\",\"Format\",\"Style\"\r\n\"Mill <b>Race</b> & Co\",\"Circle\",\"English\"\r\n"
                     "\"Reel\",\"Circle\",\"English\"\r\n\"Lark\",\"Longways\",\"English\"\r\n");
    EXPECT_EQ(r.allCsv.count("\r\n"), 4);
    EXPECT_EQ(r.totals, "Dances written by Vellam Orrisk: 1, interpreted by Vellam Orrisk: 1, "
                        "music by Vellam Orrisk: 1 (Dec 26)");
    // A page missing from the site copy, then a dance without level, stop the run.
    add("Lost", "Circle", me, "KRAV", 1, "https://www.vellamorrisk.com/gone.htm");
    EXPECT_THROW(MakeMyDances(db, c, "vellamorrisk.com", QDate(2026, 12, 6), false), SilentAbort);
    EXPECT_TRUE(answerer->sawText("gone.htm is not an HTML file or in MyDances.txt"));
    add("Bare", "Circle", me, "KRAV", QVariant(), "");
    EXPECT_THROW(MakeMyDances(db, c, "vellamorrisk.com", QDate(2026, 12, 6), false), SilentAbort);
    EXPECT_TRUE(answerer->sawText("No collection/level specified for Bare"));
}

// The site's dances page rebuilt from its three table texts: each table's
// rows replaced, the maintainer's text around them kept, the trailer after
// the last; a page not in that form is refused. The result parses.
TEST_F(SiteListsTest, DancesPageReplacesTheThreeTables) {
    const QString sep = QString(QChar(0x00B7));
    const QString head = QString::fromUtf8("<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>Dances</title>"
                                           "<script>if (a && b) x();</script></head>\r\n<body><h1>Danses \u00e9crites</h1>\r\n");
    const QString between = QStringLiteral("\r\n<p>Levels</p>  ");
    const QString page = head + "<Table Id=Collect Class=C>\r\n<tr><td>old</td></tr></Table>" + between +
                         "<table id=\"Level\"><tr><td><table><tr><td>inner</td></tr></table></td></tr></table>\r\n<hr>\r\n"
                         "<Table Id=Dances Border=1><tr><td>old dances</td></tr></Table>\r\nOld trailer</body></html>";
    DancesPageInput in;
    in.collect = "Code|Collection\r\nKRAV|His own\r\nKRAVEN|Not a code\r\n";
    in.level = "\r\n1|Easy\r\n";
    in.dances = "Title|Collection|Level\r\n!Class=F|Reel " + sep + " Jig|KRAV 2020|2\r\n";
    in.totals = "Dances written by Vellam Orrisk: 1 (Dec 26)";
    in.codeLinks = {{"KRAV", "krav.htm"}};
    in.separator = QChar(0x00B7);
    in.pageName = "dances.htm";
    const DancesPageResult r = RebuildDancesPage(page, in);
    ASSERT_TRUE(r.stop.isEmpty()) << r.stop.toStdString();
    const QString p = r.page;
    EXPECT_TRUE(p.startsWith(head + "<Table Id=Collect Class=C>\r\n  <TR>")) << p.toStdString();
    EXPECT_TRUE(p.contains("</Table>" + between + "<table id=\"Level\">\r\n  <TR>\r\n    <TD> &nbsp; &nbsp; 1</TD><TD>Easy</TD>"));
    EXPECT_TRUE(p.contains("</Table>\r\n<hr>\r\n<Table Id=Dances Border=1>\r\n"));
    EXPECT_TRUE(p.contains("<TD>Reel %7C Jig</TD><TD><A Href=\"krav.htm\">KRAV</A> 2020</TD><TD> &nbsp; &nbsp; 2</TD>"));
    EXPECT_TRUE(p.contains("<TD><A Href=\"krav.htm\">KRAV</A></TD><TD>His own</TD>") && p.contains("<TD>KRAVEN</TD>"));
    EXPECT_TRUE(p.endsWith("</Table>\r\n<P Class=Totals>Dances written by Vellam Orrisk: 1 (Dec 26)</P>\r\n</Body>\r\n</HTML>\r\n"));
    for (const char *gone : {"old", "inner", "Old trailer"}) EXPECT_FALSE(p.contains(gone)) << gone;
    EXPECT_EQ(RebuildDancesPage(p, in).page, p);
    WriteFileBytes(path("dances.htm"), p.toUtf8());
    QProcess check;
    check.start(QStringLiteral(QUILLARY_SOURCE_DIR "/tests/check_html.py"), {path("dances.htm")});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();

    const struct {
        const char *name;
        QString page;
    } refused[] = {
        {"empty page", " \r\n"},
        {"no Level table", QString(page).replace("id=\"Level\"", "id=\"Levels\"")},
        {"Dances table not closed", page.left(page.lastIndexOf("</Table>"))},
    };
    for (const auto &row : refused)
        EXPECT_EQ(RebuildDancesPage(row.page, in).stop, "Please use Scrivlet to reformat dances.htm") << row.name;
}

// The dances page from hostile catalogue values, in a browser (ctest label
// "browser"): every value stays text in its own cell and runs nothing.
class BrowserDancesPage : public SiteListsTest {};

TEST_F(BrowserDancesPage, HostileValuesRunNoScript) {
    const QString run = QStringLiteral("document.write('RAN'+'X')");
    MaintainerConfig c = config();
    c.SiteFolder = path("Site/");
    const QString hostile[] = {"!tabindex=1 autofocus onfocus=" + run + "|x", "w=javascript:" + run,
                               "T\r\n!autofocus onfocus=" + run + "|", "T|w=javascript:" + run + " z", "<script>" + run + "</script>"};
    int n = 0;
    for (const QString &h : hostile)
        dance({{"Title", h}, {"Format", "Circle\n!onmouseover=" + run + "|"}, {"Style", "English"}, {"Author", "Vellam Orrisk"},
               {"Collection", QStringLiteral("KRAV %1 ").arg(++n) + h}, {"Lvl", h}, {"Rhythm", h}});
    const MyDancesResult r = MakeMyDances(db, c, "vellamorrisk.com", QDate(2026, 12, 6), false);
    EXPECT_EQ(r.rows, 5);
    DancesPageInput in;
    in.dances = r.table;
    in.collect = in.level = "Code\r\n";
    in.totals = r.totals;
    in.separator = QChar(0x00B7);
    in.pageName = "dances.htm";
    const DancesPageResult page = RebuildDancesPage("<html><body><Table Id=Collect></Table><Table Id=Level></Table>"
                                                    "<Table Id=Dances></Table></body></html>", in);
    ASSERT_TRUE(page.stop.isEmpty());
    WriteFileBytes(path("dances.htm"), page.page.toUtf8());
    const QString d = BrowserDom(path("dances.htm"), path("profile"));
    EXPECT_FALSE(d.contains(QStringLiteral("RANX")) || d.contains(QStringLiteral("onfocus=\"")) ||
                 d.contains(QStringLiteral("onmouseover=\"")) || d.contains(QStringLiteral("href=\"javascript")) ||
                 d.contains(QStringLiteral("<script")))
        << d.toStdString();
    // Each dance one row of six cells, its heading one row of one cell.
    const QString dances = d.mid(d.lastIndexOf(QStringLiteral("<table")));
    EXPECT_EQ(dances.count(QStringLiteral("<tr")), 1 + 1 + 5) << dances.toStdString();
    EXPECT_EQ(dances.count(QStringLiteral("<td")), 6 * 5 + 1) << dances.toStdString();
}
