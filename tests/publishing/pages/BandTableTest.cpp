#include "publishing/pages/BandTable.h"
#include "publishing/pages/ProgrammePage.h"
#include "TestSupport.h"

namespace {

const QString Site = QStringLiteral("https://www.vellamorrisk.com/abc.aspx?T=");

MemoryDanceLookup Catalogue() {
    MemoryDanceLookup c;
    const auto add = [&c](const QString &title, const QString &format, const QString &style,
                          std::initializer_list<std::pair<QString, QString>> more) {
        DanceFields f(more);
        f.set(QStringLiteral("Title"), title);
        f.set(QStringLiteral("Format"), format);
        c.add({title, format, style}, f);
    };
    add(QStringLiteral("Merry Dancers, The"), QStringLiteral("Longways"), QStringLiteral("Jig"),
        {{QStringLiteral("Music"), QStringLiteral("Own tune·Folk Band·3·CD")},
         {QStringLiteral("Notes"), QStringLiteral("see ") + Site + QStringLiteral("Merry_Dancers")}});
    add(QStringLiteral("Sloe Gin"), QStringLiteral("Circle"), QStringLiteral("Break"),
        {{QStringLiteral("Music"), QStringLiteral("Own tune")}, {QStringLiteral("OwnTune"), QStringLiteral("Y")}});
    add(QStringLiteral("Waltz"), QStringLiteral("Couple"), QStringLiteral("W"),
        {{QStringLiteral("Music"), QStringLiteral("any")}, {QStringLiteral("Collection"), QStringLiteral("www.x.org/w")}});
    add(QStringLiteral("Footwork"), QStringLiteral("Technique"), QStringLiteral("T"),
        {{QStringLiteral("Music"), QStringLiteral("Reels")}, {QStringLiteral("Collection"), QStringLiteral("https://y.org")}});
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
    QStringList present;
    QStringList absent;
    const char *stop = "";
    const char *noRecording = "";
};

void PrintTo(const TableCase &c, std::ostream *os) { *os << c.name; }

class BandTableTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(BandTableTest, BuildsTheRows) {
    const TableCase &c = GetParam();
    BandSettings s;
    s.columns = {QStringLiteral("Title"), QStringLiteral("Music")};
    s.separator = QChar(0xB7);
    s.trackColumn = true;
    s.recordedKeys = {QStringLiteral("Recording"), QStringLiteral("Trk"), QStringLiteral("Format")};
    if (c.settings) c.settings(s);
    const MemoryDanceLookup dances = Catalogue();
    TuneList tunes;
    const BandTableResult r = BuildBandTable(c.rows, dances, s, tunes);
    for (const QString &p : c.present) EXPECT_TRUE(r.table.contains(p)) << p.toStdString() << "\n" << r.table.toStdString();
    for (const QString &a : c.absent) EXPECT_FALSE(r.table.contains(a)) << a.toStdString() << "\n" << r.table.toStdString();
    EXPECT_EQ(r.stop, QString::fromUtf8(c.stop));
    EXPECT_EQ(r.noRecording, QString::fromUtf8(c.noRecording));
}

const auto Rec = [](BandSettings &s) { s.isRec = true; };
const auto One = [](BandSettings &s) {
    s.oneBand = true;
    s.bandPart = QStringLiteral("fiddle");
};

INSTANTIATE_TEST_SUITE_P(
    Table, BandTableTest,
    ::testing::Values(
        TableCase{"HeaderArticleAndBreak",
                  {D("Merry Dancers, The", "Longways", "Jig"), D("Sloe Gin", "Circle", "Break")},
                  {},
                  {"<TH>Title</TH><TH>Music</TH></TR>", "<TD><small>The</small> Merry Dancers</TD>",
                   "<TD><I>Break:&nbsp; </I> Sloe Gin</TD>"}},
        TableCase{"TrackOfTheRecording", {D("Merry Dancers, The", "Longways", "Jig")}, Rec,
                  {"<TD>Folk Band, track <b>3</b> ·CD</TD>"}, {"Music</small>"}},
        TableCase{"NoRecordingListed", {D("Sloe Gin", "Circle", "Break")}, Rec, {}, {}, "", "Sloe Gin"},
        TableCase{"WaltzTechniqueAndAddresses",
                  {D("Waltz", "Couple", "W"), D("Footwork", "Technique", "T")},
                  [](BandSettings &s) { s.columns = {QStringLiteral("Title"), QStringLiteral("Collection")}; },
                  {"<TD BgColor=#ADD8E6><a href=\"http://www.x.org/w\">www.x.org/w</a></TD>",
                   "<TD BgColor=#ADD8E6>[<a href=\"https://y.org\">https://y.org</a>]</TD>"}},
        TableCase{"IntervalAfterHeadingDropped",
                  {H("Evening"), H("Interval"), H("Extras"), D("Waltz", "Couple", "W"), H("Interval")},
                  {},
                  {"BgColor=\"#D0D0FF\"><TH ColSpan=2><B>Evening</B>", "BgColor=Yellow><TH ColSpan=2><B>Extras</B>",
                   "<B>Interval</B>"},
                  {}},
        TableCase{"NextTimeHiddenUnlessAsked",
                  {H("Next time"), D("Waltz", "Couple", "W"), H("Evening"), D("Sloe Gin", "Circle", "Break")},
                  {},
                  {"Sloe Gin"},
                  {"Next time", "Waltz"}},
        TableCase{"NextTimeShown", {D("Sloe Gin", "Circle", "Break"), H("Next time"), D("Waltz", "Couple", "W")},
                  [](BandSettings &s) { s.showNext = true; }, {"<B>Next time</B>", "Waltz"}},
        TableCase{"NoteWithLinkQuotesAndBar",
                  {N("Raffle  \"prize\" Link=\"https://a.org/x\""), N("Say \"hi\" to \"all\"|")},
                  {},
                  {"<TR><TD ColSpan=2>Raffle&nbsp; \"prize\"  &nbsp;<a", ">Link</small></a>",
                   "<TD BgColor=\"#EDDFF7\" ColSpan=2>Say &ldquo;hi&rdquo; to &ldquo;all&rdquo;</TD>"}},
        TableCase{"SkippedNotes", {N("!hidden"), N("Average Level: 3"), N("+Shown")}, {}, {">Shown</TD>"},
                  {"hidden", "Average"}},
        TableCase{"OneBandFound",
                  {H("Afternoon: Thistledown"), D("Waltz", "Couple", "W"), H("Evening: !Fiddlesticks"),
                   D("Sloe Gin", "Circle", "Break")},
                  One,
                  {"<B>Evening: Fiddlesticks</B>", "Sloe Gin"},
                  {"Thistledown", "Waltz"}},
        TableCase{"OneBandNotFound", {H("Evening: Thistledown"), D("Waltz", "Couple", "W")}, One, {}, {},
                  "No sessions containing \"fiddle\""}));

struct LinkCase {
    const char *name;
    int option;
    const char *volume;
    const char *cell;
    const char *notes;
    const char *title;
    const char *result;
    const char *query;
};

void PrintTo(const LinkCase &c, std::ostream *os) { *os << c.name; }

class TuneLinksTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(TuneLinksTest, CellAndQuery) {
    const LinkCase &c = GetParam();
    BandSettings s;
    s.tolbrook = c.option;
    s.separator = QChar(0xB7);
    TuneList tunes;
    QString cell = QString::fromUtf8(c.cell);
    AddTuneLinks(cell, QString::fromUtf8(c.notes), TuneRow{QString::fromUtf8(c.title), QString::fromUtf8(c.volume)},
                 s, tunes);
    QString expected = QString::fromUtf8(c.result);
    expected.replace(QStringLiteral("[M]"), QStringLiteral(" &nbsp;<a href=\"") + Site +
                                                 QStringLiteral("The_Sloe\" Style=\"Text-decoration: None\"><Small "
                                                                "Style=\"Color: #45008A;Background-color: #D5D5FF; "
                                                                "Border: 1px Solid #737373; Border-radius: 3px; "
                                                                "Padding: 0 3px\">Music</small></a>&nbsp;"));
    EXPECT_EQ(cell, expected);
    EXPECT_EQ(tunes.TuneQuery, QString::fromUtf8(c.query));
}

const char *SloeNotes = "tune: https://www.vellamorrisk.com/abc.aspx?T=The_Sloe";

INSTANTIATE_TEST_SUITE_P(
    Table, TuneLinksTest,
    ::testing::Values(
        LinkCase{"HideBookNamesTheTune", 0, "", "Own tunes", SloeNotes, "Sloe Gin", "&ldquo;The Sloe&rdquo;[M]",
                 "L1=The_Sloe/Sloe_Gin&"},
        LinkCase{"HideBookWithVolume", 0, "2", "Jigs", SloeNotes, "Sloe Gin", "Jigs[M] in Tolbrook 2",
                 "L1=The_Sloe/Sloe_Gin&"},
        LinkCase{"HideBookKeepsAnIn", 0, "2", "Any in D", "", "X", "Any in D", ""},
        LinkCase{"BookOnlyNoLinks", 1, "2", "Own tune·CD", SloeNotes, "Sloe Gin", "Tolbrook 2", ""},
        LinkCase{"BookOnlyPhraseToDash", 1, "4", "Reels in G - fast", "", "X", "Reels - fast in Tolbrook 4", ""},
        LinkCase{"BookOnlyPhraseToEnd", 1, "4", "Own tunes in book three", "", "X", "Tolbrook 4", ""},
        LinkCase{"BookOnlyWithoutVolumeLinks", 1, "", "Own tune", SloeNotes, "The Sloe", "Own tune[M]", "L1=The_Sloe&"},
        LinkCase{"BothAddsOr", 2, "3", "Reels in G", SloeNotes, "The Sloe", "Reels in G[M] or Tolbrook 3",
                 "L1=The_Sloe&"},
        LinkCase{"BothAddsIn", 2, "3", "Reels", "", "X", "Reels in Tolbrook 3", ""}));

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

TEST(BandTableEnd, WarningsAboveTheFirstTable) {
    BandTableResult r;
    r.noLinkNotInBook = QStringLiteral("A\rB");
    r.noLinkInBook = QStringLiteral("C");
    r.noRecording = QStringLiteral("D\u00e9");
    const QString page = QStringLiteral("<H1>x</H1><Table>a·b");
    const QString warned = FinishBandTable(page, r, true, QChar(0xB7));
    const qsizetype rec = warned.indexOf(QStringLiteral("No recording")), in = warned.indexOf(QStringLiteral("but are in")),
                    notIn = warned.indexOf(QStringLiteral("<B>not</B>")), table = warned.indexOf(QStringLiteral("<Table"));
    EXPECT_TRUE(rec > 0 && rec < in && in < notIn && notIn < table);
    EXPECT_TRUE(warned.contains(QStringLiteral("<B>A<Br>B</B>")));
    EXPECT_TRUE(warned.endsWith(QStringLiteral("a&bull;b</Table>\r\n")));
    const QString quiet = FinishBandTable(page, r, false, QChar(0xB7));
    EXPECT_TRUE(quiet.contains(QStringLiteral("<B>D&#233;</B>")));
    EXPECT_FALSE(quiet.contains(QStringLiteral("Tolbrook books")));
}

} // namespace
