#include "publishing/pages/BandTable.h"
#include "publishing/pages/ProgrammePage.h"
#include "TestSupport.h"

namespace {

const QString Site = QStringLiteral("https://www.vellamorrisk.com/abc.aspx?T=");

// Each dance: title, format, style, then field name and value pairs.
MemoryDanceLookup Catalogue() {
    MemoryDanceLookup c;
    const QList<QStringList> rows = {
        {"Merry Dancers, The", "Longways", "Jig", "Music", "Own tune·Folk Band·3·CD", "Notes", "see " + Site + "Merry_Dancers"},
        {"Sloe Gin", "Circle", "Break", "Music", "Own tune", "OwnTune", "Y"},
        {"Waltz", "Couple", "W", "Music", "any", "Collection", "www.x.org/w"},
        {"Footwork", "Technique", "T", "Music", "Reels", "Collection", "https://y.org"}};
    for (const QStringList &r : rows) {
        DanceFields f{{"Title", r[0]}, {"Format", r[1]}, {r[3], r[4]}, {r[5], r[6]}};
        c.add({r[0], r[1], r[2]}, f);
    }
    return c;
}

ProgrammeItem D(const char *title, const char *format, const char *style, int rec = 0) {
    return ProgrammeItem::dance(QString::fromUtf8(title), QString::fromUtf8(format), QString::fromUtf8(style), rec);
}
ProgrammeItem H(const char *text) { return ProgrammeItem::heading(QString::fromUtf8(text)); }
ProgrammeItem N(const char *text) { return ProgrammeItem::note(QString::fromUtf8(text)); }

struct TableCase {
    const char *name;
    QList<ProgrammeItem> rows;
    std::function<void(BandSettings &)> settings;
    QStringList present{}, absent{};
    const char *stop = "";
    const char *noRecording = "";
};

TEST(BandTable, BuildsTheRows) {
    const auto rec = [](BandSettings &s) { s.isRec = true; };
    const auto one = [](BandSettings &s) {
        s.oneBand = true;
        s.bandPart = QStringLiteral("fiddle");
    };
    const QList<TableCase> cases = {
        {"HeaderArticleAndBreak", {D("Merry Dancers, The", "Longways", "Jig"), D("Sloe Gin", "Circle", "Break")}, {},
         {"<TH>Title</TH><TH>Music</TH></TR>", "<TD><small>The</small> Merry Dancers</TD>", "<TD><I>Break:&nbsp; </I> Sloe Gin</TD>"}},
        {"TrackOfTheRecording", {D("Merry Dancers, The", "Longways", "Jig")}, rec, {"<TD>Folk Band, track <b>3</b> ·CD</TD>"}, {"Music</small>"}},
        {"NoRecordingListed", {D("Sloe Gin", "Circle", "Break")}, rec, {}, {}, "", "Sloe Gin"},
        {"WaltzTechniqueAndAddresses", {D("Waltz", "Couple", "W"), D("Footwork", "Technique", "T")},
         [](BandSettings &s) { s.columns = {QStringLiteral("Title"), QStringLiteral("Collection")}; },
         {"<TD BgColor=#ADD8E6><a href=\"http://www.x.org/w\">www.x.org/w</a></TD>",
          "<TD BgColor=#ADD8E6>[<a href=\"https://y.org\">https://y.org</a>]</TD>"}},
        {"IntervalAfterHeadingDropped", {H("Evening"), H("Interval"), H("Extras"), D("Waltz", "Couple", "W"), H("Interval")}, {},
         {"BgColor=\"#D0D0FF\"><TH ColSpan=2><B>Evening</B>", "BgColor=Yellow><TH ColSpan=2><B>Extras</B>", "<B>Interval</B>"}},
        {"NextTimeHiddenUnlessAsked", {H("Next time"), D("Waltz", "Couple", "W"), H("Evening"), D("Sloe Gin", "Circle", "Break")},
         {}, {"Sloe Gin"}, {"Next time", "Waltz"}},
        {"NextTimeShown", {D("Sloe Gin", "Circle", "Break"), H("Next time"), D("Waltz", "Couple", "W")},
         [](BandSettings &s) { s.showNext = true; }, {"<B>Next time</B>", "Waltz"}},
        {"NoteWithLinkQuotesAndBar", {N("Raffle  \"prize\" Link=\"https://a.org/x\""), N("Say \"hi\" to \"all\"|")}, {},
         {"<TR><TD ColSpan=2>Raffle&nbsp; &quot;prize&quot;  &nbsp;<a", ">Link</small></a>",
          "<TD BgColor=\"#EDDFF7\" ColSpan=2>Say &ldquo;hi&rdquo; to &ldquo;all&rdquo;</TD>"}},
        {"LocalLinkKeepsItsQuotes", {N("Meet \"here\"  Link=\"map.pdf\"")}, {},
         {"ColSpan=2>Meet &ldquo;here&rdquo;&nbsp;  &nbsp;<a href=\"map.pdf\" Style="}},
        {"SkippedNotes", {N("!hidden"), N("Average Level: 3"), N("+Shown")}, {}, {">Shown</TD>"}, {"hidden", "Average"}},
        {"OneBandFound", {H("Afternoon: Thistledown"), D("Waltz", "Couple", "W"), H("Evening: !Fiddlesticks"), D("Sloe Gin", "Circle", "Break")},
         one, {"<B>Evening: Fiddlesticks</B>", "Sloe Gin"}, {"Thistledown", "Waltz"}},
        {"MaintainerTuneWithoutItsDance", {N("Hey|Old Tune"), N("Draw|Raffle")}, [](BandSettings &s) { s.authorMode = true, s.abcIndex = "X:1\r\nT:Old Tune\r\n"; },
         {"<TD ColSpan=2>Old Tune &nbsp;<a href=\"https://www.vellamorrisk.com/abc.aspx?T=Old_Tune\"", "(I have the music but not the dance)", ">Draw|Raffle</TD>"}},
        {"MaintainerTuneMissing", {N("Hey|New Tune")}, [](BandSettings &s) { s.authorMode = true; }, {}, {}, "New Tune\rTune not found"},
        {"OneBandNotFound", {H("Evening: Thistledown"), D("Waltz", "Couple", "W")}, one, {}, {}, "No sessions containing \"fiddle\""},
    };
    const MemoryDanceLookup dances = Catalogue();
    for (const TableCase &c : cases) {
        SCOPED_TRACE(c.name);
        BandSettings s;
        s.columns = {QStringLiteral("Title"), QStringLiteral("Music")};
        s.separator = QChar(0xB7);
        s.trackColumn = true;
        if (c.settings) c.settings(s);
        TuneList tunes;
        const BandTableResult r = BuildBandTable(c.rows, dances, s, tunes);
        for (const QString &p : c.present) EXPECT_TRUE(r.table.contains(p)) << p.toStdString() << "\n" << r.table.toStdString();
        for (const QString &a : c.absent) EXPECT_FALSE(r.table.contains(a)) << a.toStdString();
        EXPECT_EQ(r.stop, QString::fromUtf8(c.stop));
        EXPECT_EQ(r.noRecording, QString::fromUtf8(c.noRecording));
    }
}

TEST(TuneLinks, CellAndQuery) {
    const char *sloe = "tune: https://www.vellamorrisk.com/abc.aspx?T=The_Sloe";
    const struct {
        int option;
        const char *volume, *cell, *notes, *title, *result, *query;
    } cases[] = {
        {0, "", "Own tunes", sloe, "Sloe Gin", "&ldquo;The Sloe&rdquo;[M]", "L1=The_Sloe/Sloe_Gin&"},
        {0, "2", "Jigs", sloe, "Sloe Gin", "Jigs[M] in Tolbrook 2", "L1=The_Sloe/Sloe_Gin&"},
        {0, "2", "Any in D", "", "X", "Any in D", ""},
        {1, "2", "Own tune·CD", sloe, "Sloe Gin", "Tolbrook 2", ""},
        {1, "4", "Reels in G - fast", "", "X", "Reels - fast in Tolbrook 4", ""},
        {1, "4", "Own tunes in book three", "", "X", "Tolbrook 4", ""},
        {1, "", "Own tune", sloe, "The Sloe", "Own tune[M]", "L1=The_Sloe&"},
        {2, "3", "Reels in G", sloe, "The Sloe", "Reels in G[M] or Tolbrook 3", "L1=The_Sloe&"},
        {2, "3", "Reels", "", "X", "Reels in Tolbrook 3", ""},
    };
    const QString button = QStringLiteral(" &nbsp;<a href=\"") + Site +
                           "The_Sloe\" Style=\"Text-decoration: None\"><Small Style=\"Color: #45008A;Background-color: "
                           "#D5D5FF; Border: 1px Solid #737373; Border-radius: 3px; Padding: 0 3px\">Music</small></a>&nbsp;";
    for (const auto &c : cases) {
        BandSettings s;
        s.tolbrook = c.option;
        s.separator = QChar(0xB7);
        TuneList tunes;
        QString cell = QString::fromUtf8(c.cell);
        AddTuneLinks(cell, QString::fromUtf8(c.notes), TuneRow{QString::fromUtf8(c.title), QString::fromUtf8(c.volume)}, s, tunes);
        EXPECT_EQ(cell, QString::fromUtf8(c.result).replace(QStringLiteral("[M]"), button));
        EXPECT_EQ(tunes.TuneQuery, QString::fromUtf8(c.query));
    }
}

TEST_F(QuillaryTest, MaintainerAnchorTunesAndMissingMusic) {
    WriteFileBytes(path("Site/Tunes.htm"), "<H3 Id=Jigs>J</H3><a href=\"abc.aspx?T=Old_Tune\">x</a><H2><a href=\"abc.aspx?T=Later\">");
    BandSettings s{.authorMode = true, .siteFolder = path("Site/")};
    TuneList tunes;
    QString cell;  // a link to an anchor of the local site, and printed music
    AddTuneLinks(cell, "See https://www.vellamorrisk.com/Tunes.htm#Jigs and http://x.org/a.pdf", TuneRow{"Old Tune", "", true}, s, tunes);
    EXPECT_EQ(tunes.TuneQuery, QStringLiteral("L1=Old_Tune&"));
    EXPECT_TRUE(tunes.MissingMusic.startsWith(QStringLiteral("<A Href=\"http://x.org/a.pdf\">http://x.org/a.pdf</A>&nbsp; &nbsp; (for the dance Old Tune)")));
    EXPECT_THROW(AddTuneLinks(cell, "Link=\"Tunes.htm#Reels\"", TuneRow{"Old Tune"}, s, tunes), SilentAbort);
}

TEST(TuneQuery, KeysAddedOncePerPage) {
    TuneList tunes;
    TuneQueryAdd(tunes, QStringLiteral("The_Sloe"), QStringLiteral("Sloe Gin"));
    TuneQueryAdd(tunes, QStringLiteral("Sloe"), QStringLiteral("Sloe"));
    TuneQueryAdd(tunes, QStringLiteral("the_sloe"), QStringLiteral("Other"));
    TuneQueryAdd(tunes, QStringLiteral("Gin"), QStringLiteral("Caf\u00e9 \u00f6 & Co"));
    TuneQueryAdd(tunes, QStringLiteral("Heidenr\\&quot;oslein"), QStringLiteral("Rose"));
    EXPECT_EQ(tunes.TuneQuery, QStringLiteral("L1=The_Sloe/Sloe_Gin&L2=Sloe&L3=Gin/Caf\\'e_\\&quot;o_$_Co&"
                                              "L4=Heidenr\\&quot;oslein&"));
    EXPECT_EQ(tunes.TuneCount, 4);
}

TEST(BandTableEnd, WarningsStackAboveTheFirstTable) {
    BandTableResult r{"", "A\rB", "C", "D\u00e9", ""};
    const QString page = QStringLiteral("<H1>x</H1><Table>a·b");
    const QString warned = FinishBandTable(page, r, true, QChar(0xB7));
    const QStringList order = {"No recording", "<B>D&#233;</B>", "but are in", "<B>C</B>", "<B>not</B>", "<B>A<Br>B</B>", "<Table>a&bull;b</Table>\r\n"};
    for (qsizetype i = 1, at = 0; i < order.size(); ++i) EXPECT_GT(at = warned.indexOf(order[i], at), warned.indexOf(order[i - 1])) << i;
    EXPECT_FALSE(FinishBandTable(page, r, false, QChar(0xB7)).contains(QStringLiteral("Tolbrook books")));
}

} // namespace
