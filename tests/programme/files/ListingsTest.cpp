// The programme listings: which rows are listed and how, the RTF read back
// with our reader, the plain text, the title list and the band's own tunes.

#include "base/Cp1252.h"
#include "platform/rtf/RtfReader.h"
#include "programme/files/Listings.h"
#include "programme/text/HeadingRoles.h"
#include "TestSupport.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

using Item = ProgrammeItem;
const QString Line = QStringLiteral("\n") + QString(36, '_') + QStringLiteral("\n\n");

QString Rtf(const char *text) {
    return QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ") + QString::fromUtf8(text) + QStringLiteral("\\par }");
}

MemoryDanceLookup Catalogue() {
    MemoryDanceLookup c;
    c.add({"Jig", "Longways", "English"},
          {{"Style", "English"}, {"Format", "Longways"}, {"Instructions", Rtf("Jig\\par A1 lead up\\emdash back")},
           {"Notes", "Tune: http://x.org/abc.aspx?T=12 here"}});
    c.add({"Reel", "Longways", "Breaks"}, {{"Style", "Breaks"}, {"Format", "Longways"}, {"Instructions", Rtf("A1 turn")}});
    c.add({"Waltz", "Couple", "English"}, {{"Style", "English"}, {"Format", "Couple"}, {"Instructions", ""}});
    c.add({"Bare", "Longways", "English"}, {{"Style", "English"}, {"Format", "Longways"}, {"Instructions", ""}});
    c.add({"Drill", "Technique", "Technique"}, {{"Style", "Technique"}, {"Format", "Technique"}});
    c.add({"Spare", "Longways", "English"}, {{"Style", "English"}, {"Instructions", Rtf("Spare one")}});
    return c;
}

Item D(const char *title, const char *format = "Longways", const char *style = "English") {
    return Item::dance(QString::fromUtf8(title), QString::fromUtf8(format), QString::fromUtf8(style));
}

// The listing without its two heading pieces, as "kind:text" (RTF pieces "rtf").
QStringList Shape(const QList<ListingPiece> &pieces) {
    QStringList out;
    for (const ListingPiece &p : pieces.mid(2)) out.append(p.rtf ? QStringLiteral("rtf") : QString::number(p.kind) + ':' + p.text);
    return out;
}

} // namespace

TEST(BuildListing, RowsByKind) {
    const MemoryDanceLookup catalogue = Catalogue();
    const QList<Item> rows{Item::heading("Evening"), D("Jig"), D("Reel", "Longways", "Breaks"),
                           D("Waltz", "Couple"), D("Bare"), D("Drill", "Technique", "Technique"), D("Gone"), D(""),
                           Item::note("+Bring water"), Item::note("short note"), Item::note("!private"),
                           Item::note(QString(40, 'n')), Item::heading("Next time"), D("Spare"),
                           Item::heading("Second half"), D("Spare"), Item::note(AverageLevelNote)};
    const QString sep = QString::number(ListTitle) + ':' + Line;
    const QStringList all{"0:Evening\n", sep,
                          "rtf", "3:\n\nNotes: \n\n", "2:Tune: Music Link: http://x.org/abc.aspx?T=12 here", sep,
                          "1:Break:  Reel\n\n", "rtf", sep,
                          "1:Waltz", sep,
                          "1:Bare", "1:\n\nNO INSTRUCTIONS", sep,
                          "1:Drill", sep,
                          "1:Gone", "1:\n\nNO INSTRUCTIONS", sep,
                          "3:Bring water", sep, "3:short note", sep, "2:" + QString(40, 'n'), sep,
                          "0:Next time\n", sep, "1:Spare\n\n", "rtf", sep,
                          "0:Second half\n", sep, "1:Spare\n\n", "rtf", sep};
    ListingOptions options;
    EXPECT_EQ(Shape(BuildListing(rows, options, catalogue)), all);

    // Without the Next time dances: left out up to the next session heading.
    options.nextTimeToo = false;
    QStringList noNext = all;
    noNext.remove(noNext.indexOf("0:Next time\n"), 5);
    EXPECT_EQ(Shape(BuildListing(rows, options, catalogue)), noNext);

    // The selection only.
    options = {};
    options.selectedOnly = true;
    options.marks = {false, false, true, false, false, false, false, false, false, true};
    EXPECT_EQ(Shape(BuildListing(rows, options, catalogue)),
              (QStringList{"1:Break:  Reel\n\n", "rtf", sep, "3:short note", sep}));
}

TEST(BuildListing, RtfReadBackShowsEachKindsLook) {
    ListingOptions options;
    options.heading = "Club - Dance";
    options.info = "Hall, Town";
    const QList<Item> rows{Item::heading("Second half"), D("Jig"), Item::note(QString(40, 'n'))};
    QTextDocument doc;
    ReadRtf(MarkMusicLinks(ListingRtf(BuildListing(rows, options, Catalogue()))), &doc);
    // The look of the fragment holding each text: size, purple, bold, italic, underlined, centred.
    const auto look = [&](const char *text) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().text().contains(QLatin1String(text))) {
                    const QTextCharFormat f = it.fragment().charFormat();
                    QString out = QString::number(f.fontPointSize()) + ' ';
                    for (bool on : {f.foreground().color() == QColor(0x800080), f.fontWeight() >= QFont::Bold,
                                    f.fontItalic(), f.fontUnderline(), b.blockFormat().alignment() == Qt::AlignHCenter})
                        out += on ? '1' : '0';
                    return out;
                }
        return QString("missing");
    };
    EXPECT_EQ(look("Club - Dance"), "16 11011");
    EXPECT_EQ(look("Second half"), "16 11011");
    EXPECT_EQ(look("Hall, Town"), "12 01000");
    EXPECT_EQ(look("Notes:"), "12 01000");
    EXPECT_EQ(look("nnnn"), "12 00100");
    EXPECT_EQ(look("Music Link: http://x.org/abc.aspx?T=12"), "12 11100");
    EXPECT_EQ(look(" here"), "12 00100");
    EXPECT_NE(look("A1 lead up-back"), "missing");
}

TEST(ListingText, PlainTextAndSoftBreaks) {
    const struct {
        QString in, out;
    } cases[] = {
        {"a\r\nb", "a\r\n\r\nb"},
        {"a\r\n\r\nb", "a\r\n\r\nb"},
        {"a\v\r\nb", "a\r\nb"},
        {QStringLiteral("a") + QChar(0xA0) + "b", "a b"},
        {"a\r\nb\r\n\r\n\r\nc\r\n", "a\r\n\r\nb\r\n\r\n\r\nc\r\n\r\n"},
    };
    for (const auto &c : cases) EXPECT_EQ(ListingPlainText(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(MarkMusicLinks("x\\line y\\line z"), "x\\line\\tab y\\line\\tab z");
    EXPECT_EQ(MarkMusicLinks("Music Link: http://a.b/abc.aspx?T=1 rest"),
              "\\cf1\\b Music Link: http://a.b/abc.aspx?T=1\\b0\\cf0  rest");
}

TEST(BandTunes, EarlierEventsOnlyAndTheOrganisersTitlesRemoved) {
    MemoryDanceLookup c;
    for (const char *t : {"Own A", "Own B", "Own C", "Own D"}) c.add({t, "L", "E"}, {{"OwnTune", "Y"}});
    c.add({"Other", "L", "E"}, {});
    const auto prog = [](QStringList titles) {
        QString p(SepDot);
        for (const QString &t : titles) p += "D|" + t + "|L|E" + SepDot;
        return p;
    };
    const QList<EventRecord> events{{{}, "Club", prog({"Own B", "Other"})},
                                    {{}, "Fair", prog({"Own A", "Own C"})},
                                    {{}, "Club", prog({"Own D"})},     // the current event
                                    {{}, "Fair", prog({"Own C"})}};
    EXPECT_EQ(BandTunes(events, 2, "Club", false, c, SepDot), (QStringList{"Own A", "Own B", "Own C"}));
    EXPECT_EQ(BandTunes(events, 2, "Club", true, c, SepDot), (QStringList{"Own A", "Own C"}));
    EXPECT_EQ(BandTunes(events, 0, "Club", false, c, SepDot), QStringList());
}
