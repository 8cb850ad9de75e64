#include "core/database/SampleCatalogue.h"

#include "base/Cp1252.h"
#include "core/startup/StartupRules.h"
#include "platform/media/ToneWav.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/sqlite/Database.h"

#include <QFile>
#include <QVariant>

namespace {

const QDate DayZero(1899, 12, 30);
const QString Sep = QString(SepDot);

double dayNumber(const QDate &d, int hour = 0, int minute = 0) {
    return double(DayZero.daysTo(d)) + (hour * 60 + minute) / 1440.0;
}

struct Dance {
    const char *title, *format, *style, *rhythm;
    int level;
    const char *author, *collection;
    QStringList steps;
    const char *music;
    const char *notes;
};

// Recording columns: Recording, Trk, Format, BPM, Rhythm, Comments, Location.
QString recordings(const QString &live, const QStringList &lines) {
    if (lines.isEmpty()) return live;
    return live + Sep + lines.join(QLatin1Char('\r'));
}

void insert(Database &db, const QString &table, const QList<QPair<QString, QVariant>> &values) {
    db.insertRow(table, values);
}

QString item(const QString &kind, const QString &text) { return kind + QLatin1Char('|') + text; }

// The recordings the sample's music lines name, under its Music folder.
const struct {
    const char *path;
    double seconds, hertz;
} SampleRecordings[] = {{"Orchard/Apple Cart.wav", 15, 440}, {"Orchard/Apple Cart (live).wav", 12, 392}};

} // namespace

bool WriteSampleMusic(const QString &musicFolder) {
    for (const auto &r : SampleRecordings)
        if (!WriteToneWav(musicFolder + QLatin1Char('/') + QLatin1String(r.path), r.seconds, r.hertz)) return false;
    return true;
}

QString InstructionRtf(const QStringList &lines) {
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                                 "\\viewkind4\\uc1\\f0\\fs24 ");
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) out += QStringLiteral("\r\n\\par ");
        out += RtfEscape(lines[i]);
    }
    out += QStringLiteral("\r\n\\par }");
    return out;
}

void BuildSampleCatalogue(const QString &path, const QDate &today) {
    QFile::remove(path);
    Database db;
    db.create(path);
    Batch batch(db);

    const QList<Dance> dances = {
        {"Apple Cart Jig", "Longways", "English", "Jig", 2, "Mary Holt", "Orchard Dances",
         {"A1\tTop couple lead down the middle and back.", "A2\tCast off one place; half figure eight up.",
          "B1\tCircle left and right.", "B2\tPartners swing."},
         "Tune: The Apple Cart", "First danced at the Orchard Festival."},
        {"Bramble Lane", "Longways", "English", "Reel", 3, "Peter Vale", "Orchard Dances",
         {"A1\tNeighbours back to back; partners back to back.", "A2\tRight hands across; left hands back.",
          "B1\tFirst corners change; second corners change.", "B2\tCircle left; partners swing."},
         "Tune: Bramble Lane", ""},
        {"Cobbler's Hornpipe", "Longways", "English", "Hornpipe", 4, "Mary Holt", "Orchard Dances",
         {"A1\tFirst couple cross and go below one couple.", "A2\tHey for three on the sides.",
          "B1\tPoussette clockwise full round.", "B2\tAll turn single; partners two-hand turn."},
         "Tune: The Cobbler", "Hornpipe step optional."},
        {"Dancing Dorothy", "Longways", "Playford", "Jig", 3, "traditional", "Country Collection",
         {"A1\tLead up a double and back; that again.", "B1\tSet and turn single; that again.",
          "B2\tPartners siding; arming right and left."},
         "Tune: Dorothy's Delight", ""},
        {"Elderflower Waltz", "Circle", "English", "Waltz", 2, "Jean Ashby", "Summer Set",
         {"A1\tBalance forward and back; change places with partner.", "A2\tRepeat to place.",
          "B1\tTake ballroom hold; waltz round the room."},
         "Tune: Elderflower", ""},
        {"Fiddler's Green Reel", "Longways", "Scottish", "Reel", 4, "Ian Corrie", "Border Book",
         {"1-8\t1s set and cast off one place; 1s set and cast up.", "9-16\tRights and lefts.",
          "17-24\t1s lead down the middle and back.", "25-32\tPoussette."},
         "Tune: Fiddler's Green", "Scottish steps throughout."},
        {"Gathering Peascods", "Circle", "Playford", "March", 3, "traditional", "Country Collection",
         {"A1\tAll slip left eight; turn single.", "A2\tSlip right eight; turn single.",
          "B1\tMen forward and back, clap; women forward and back, clap."},
         "Tune: Gathering Peascods", ""},
        {"Harvest Home", "Longways", "Ceilidh", "Hornpipe", 1, "traditional", "Ceilidh Favourites",
         {"A1\tLines forward and back; that again.", "B1\tTop couple gallop down and back.",
          "B2\tCast off; arch and all under."},
         "Tune: Harvest Home", ""},
        {"Ivy Bridge", "Square", "American", "Reel", 2, "Sam Tucker", "Green Mountain Squares",
         {"Intro\tAll join hands, circle left.", "Figure\tHeads forward and back; swing the opposite.",
          "\tAllemande left your corner; grand right and left.", "Ending\tPromenade home."},
         "Tune: Ivy Bridge", "Called with a patter break."},
        {"Jolly Tinker", "Sicilian", "English", "Jig", 3, "Mary Holt", "Summer Set",
         {"A1\tCircle left and right.", "A2\tRight hands across; left hands back.",
          "B1\tForward and back; pass through to meet the next."},
         "Tune: The Jolly Tinker", ""},
        {"Kestrel's Flight", "Longways", "Contra", "Reel", 5, "Ruth Penning", "New England Notes",
         {"A1\tNeighbour balance and swing.", "A2\tLadies chain; half hey, ladies pass right.",
          "B1\tPartner balance and swing.", "B2\tLong lines forward and back; ladies roll away."},
         "Tune: Kestrel", "Improper."},
        {"Lavender Lady", "Triplet", "English", "Waltz", 3, "Jean Ashby", "Summer Set",
         {"A1\tFirst couple lead through the middle and cast.", "A2\tThree couples circle.",
          "B1\tFigure eights; all turn partners."},
         "Tune: Lavender Lady", ""},
        {"Millpond", "Longways", "English", "Polka", 1, "Peter Vale", "Orchard Dances",
         {"A1\tPartners do-si-do; partners swing.", "B1\tTop couple polka down and back."},
         "Tune: Millpond Polka", ""},
        {"Nutmeg and Ginger", "Set", "Welsh", "Jig", 4, "Owen Price", "Valley Dances",
         {"A1\tFirst man and second woman change; first woman and second man change.",
          "B1\tCircle hands four; star back."},
         "Tune: Nutmeg", ""},
        {"Old Mill Strathspey", "Longways", "Scottish", "Strathspey", 5, "Ian Corrie", "Border Book",
         {"1-8\t1s and 2s set and link twice.", "9-16\tReels of three on the sides.",
          "17-24\tAll turn partners two hands.", "25-32\tAllemande."},
         "Tune: The Old Mill", ""},
        {"Pennyroyal", "Longways", "Playford", "Hornpipe", 4, "traditional", "Country Collection",
         {"A1\tFirst corners set and turn.", "A2\tSecond corners set and turn.", "B1\tCircular hey."},
         "Tune: Pennyroyal", ""},
        {"Quayside", "Circle", "Ceilidh", "Reel", 1, "traditional", "Ceilidh Favourites",
         {"A1\tInto the middle and out; that again.", "B1\tSwing your partner; promenade."},
         "Tune: The Quayside", ""},
        {"Rose of Allendale", "Circle", "English", "Waltz", 2, "traditional", "Summer Set",
         {"A1\tWaltz balance towards and away.", "B1\tPartners turn; progress."},
         "Tune: The Rose of Allendale", ""},
        {"Saint Clement's Bells", "Longways", "English", "Jig", 3, "Peter Vale", "Orchard Dances",
         {"A1\tFirst couple cast and come up the middle.", "A2\tCorners cross.", "B1\tRing the bells: arches."},
         "Tune: Oranges and Lemons", ""},
        {"Thistle and Heather", "Longways", "Scottish", "Jig", 3, "Ian Corrie", "Border Book",
         {"1-8\t1s cross down; cast below.", "9-16\tHalf figures of eight.", "17-32\tCircle and back; turn."},
         "Tune: Thistle and Heather", ""},
        {"Upton Fair", "Longways", "Ceilidh", "Polka", 2, "traditional", "Ceilidh Favourites",
         {"A1\tLines forward and back.", "B1\tStrip the willow."}, "Tune: Upton Fair", ""},
        {"Valentine's Waltz", "Sicilian", "English", "Waltz", 3, "Jean Ashby", "Summer Set",
         {"A1\tBalance and change with partner.", "B1\tStar right; star left.", "B2\tWaltz on."},
         "Tune: Valentine", ""},
        {"Willow Weave", "Longways", "Contra", "Jig", 4, "Ruth Penning", "New England Notes",
         {"A1\tCircle left three places; neighbour swing.", "A2\tLong lines; ladies chain.",
          "B1\tStar left; partner swing."},
         "Tune: Willow", "Becket formation."},
        {"Yarrow Stream", "Circle", "Welsh", "March", 2, "Owen Price", "Valley Dances",
         {"A1\tForward and back twice.", "B1\tPartners promenade."}, "Tune: Yarrow", ""},
        {"Zephyr Reel", "Square", "American", "Reel", 3, "Sam Tucker", "Green Mountain Squares",
         {"Intro\tBow to partners and corners.", "Figure\tSides lead right; circle four.",
          "Ending\tSwing and promenade."},
         "Tune: Zephyr", ""},
        {"Café Royal", "Longways", "English", "Jig", 3, "Mary Holt", "Orchard Dances",
         {"A1\tPartners set and turn single.", "A2\tCross over; go below.", "B1\tCircle of four."},
         "Tune: Café Royal", ""},
        {"Dawn Chorus", "Longways", "Contra", "Reel", 2, "Ruth Penning", "New England Notes",
         {"A1\tNeighbour do-si-do; neighbour swing.", "B1\tPartner balance and swing."},
         "Tune: Dawn Chorus", ""},
        {"Moonlit Meadow", "Circle", "Ceilidh", "Waltz", 1, "traditional", "Ceilidh Favourites",
         {"A1\tWaltz forward and back.", "B1\tPartner waltz."}, "Tune: Moonlit Meadow", ""},
        {"Hedgerow Hey", "Triplet", "English", "Reel", 4, "Peter Vale", "Orchard Dances",
         {"A1\tHey for three on each side.", "B1\tFirst couple cast to the bottom."},
         "Tune: Hedgerow", ""},
        {"Panic!", "Technique", "Technique", "", 0, "", "",
         {"Harvest Home", "Quayside", "Upton Fair", "Moonlit Meadow", "Millpond"},
         "", "Easy dances for an uncertain floor."},
        {"Grand Chain", "Technique", "Technique", "", 0, "", "",
         {"Give right hand to partner, pull by, left to the next, and so on round the ring."}, "", ""},
        {"Tea Break", "Any", "Break", "", 0, "", "", {}, "", ""},
        // A square danced without a walk-through: a break and four figures.
        {"Allemande Break", "Square", "Break", "Reel", 2, "Sam Tucker", "Green Mountain Squares",
         {"Allemande left your corner; grand right and left.", "Meet your partner, promenade home."},
         "Tune: Sally Goodin", ""},
        {"Hoedown One", "Square", "Figure", "Reel", 2, "Sam Tucker", "Green Mountain Squares",
         {"heads promenade half way round the outside.", "heads lead right, circle to a line.",
          "Lines forward and back; swing your corner."},
         "Tune: Sally Goodin", ""},
        {"Hoedown Two", "Square", "Figure", "Reel", 2, "Sam Tucker", "Green Mountain Squares",
         {"heads right and left through; sides right and left through.", "All swing your corner."},
         "Tune: Sally Goodin", ""},
        {"Hoedown Three", "Square", "Figure", "Reel", 3, "Sam Tucker", "Green Mountain Squares",
         {"heads star right; sides star left.", "Ladies chain across; swing your corner."},
         "Tune: Sally Goodin", ""},
        {"Hoedown Four", "Square", "Figure", "Reel", 3, "Sam Tucker", "Green Mountain Squares",
         {"heads lead out to the right; sides pass through.", "Up & down the set, promenade."},
         "Tune: Sally Goodin", ""},
    };

    for (const Dance &d : dances) {
        QString music = QString::fromUtf8(d.music);
        const QString title = QString::fromUtf8(d.title);
        if (title == QLatin1String("Apple Cart Jig")) {
            music = recordings(music, {QStringLiteral("Apple Cart (tune)") + Sep + Sep + "WAV" + Sep + Sep + "Jig" + Sep +
                                           Sep + "Orchard\\Apple Cart.wav",
                                       QStringLiteral("Orchard Dance Tunes") + Sep + "3" + Sep + "CD" + Sep + "116" + Sep + "Jig",
                                       QStringLiteral("Apple Cart (live)") + Sep + Sep + "WAV" + Sep + "112" + Sep +
                                           "Jig" + Sep + "Slow start" + Sep + "Orchard/Apple Cart (live).wav"});
        } else if (title == QLatin1String("Kestrel's Flight")) {
            music = recordings(music, {QStringLiteral("New England Notes") + Sep + "7" + Sep + "CD" + Sep + "120" + Sep + "Reel"});
        } else if (title == QLatin1String("Elderflower Waltz")) {
            music = recordings(music, {QStringLiteral("Summer Set") + Sep + "2" + Sep + "CD" + Sep + "90" + Sep + "Waltz"});
        }
        // Tune pages of the maker's site in the notes, one with a tune-book volume.
        QString notes = QString::fromUtf8(d.notes);
        // Another dance's notes follow these when shown full-screen.
        if (title == QLatin1String("Zephyr Reel")) notes = QStringLiteral("Patter as for Main=\"Ivy Bridge\"");
        const QString tunes = WebsiteAddress + QStringLiteral("/abc.aspx?T=");
        if (title == QLatin1String("Gathering Peascods")) notes = QStringLiteral("Tune: ") + tunes + QStringLiteral("Gathering_Peascods");
        else if (title == QLatin1String("Dancing Dorothy")) notes = QStringLiteral("Tune: ") + tunes + QStringLiteral("Dorothys_Delight");
        else if (title == QLatin1String("Pennyroyal")) notes = tunes + QStringLiteral("Pennyroyal");
        QString instructions = d.steps.isEmpty() ? QString() : InstructionRtf(d.steps);
        // The square figures name heads, sides and up & down in bold.
        if (title.startsWith(QLatin1String("Hoedown")))
            for (const char *word : {"heads", "sides", "Up & down"})
                instructions.replace(QLatin1String(word), QStringLiteral("\\b ") + QLatin1String(word) + QStringLiteral("\\b0 "));
        QList<QPair<QString, QVariant>> row = {
            {QStringLiteral("Title"), title},
            {QStringLiteral("Format"), QString::fromUtf8(d.format)},
            {QStringLiteral("Style"), QString::fromUtf8(d.style)},
            {QStringLiteral("Rhythm"), QString::fromUtf8(d.rhythm)},
            {QStringLiteral("Author"), QString::fromUtf8(d.author)},
            {QStringLiteral("Collection"), QString::fromUtf8(d.collection)},
            {QStringLiteral("Instructions"), instructions},
            {QStringLiteral("Music"), music},
            {QStringLiteral("Notes"), notes},
            {QStringLiteral("Energy"), d.level >= 4 ? QStringLiteral("High") : QStringLiteral("Medium")},
        };
        if (title == QLatin1String("Dancing Dorothy")) row.append({QStringLiteral("Tolbrook"), 2});
        if (QByteArray(d.format) != "Technique" && QByteArray(d.style) != "Break")
            row.append({QStringLiteral("Lvl"), d.level});
        if (d.level == 3) row.append({QStringLiteral("Printed"), QStringLiteral("Y")});
        if (d.level == 1) row.append({QStringLiteral("Callit"), QStringLiteral("Y")});
        if (title == QLatin1String("Apple Cart Jig") || title == QLatin1String("Cobbler's Hornpipe") ||
            title == QLatin1String("Hedgerow Hey")) {
            row.append({QStringLiteral("OwnTune"), QStringLiteral("Y")});
            row.append({QStringLiteral("KeySig"), QStringLiteral("G")});
        }
        insert(db, QStringLiteral("Dances"), row);
    }

    auto dance = [&](const char *title) -> QString {
        for (const Dance &d : dances)
            if (QByteArray(d.title) == title)
                return item(QStringLiteral("D"), QString::fromUtf8(d.title) + QLatin1Char('|') +
                                                     QString::fromUtf8(d.format) + QLatin1Char('|') +
                                                     QString::fromUtf8(d.style));
        throw std::logic_error("sample programme names a missing dance");
    };
    auto programme = [&](const QStringList &items) {
        return items.isEmpty() ? QString() : Sep + items.join(Sep) + Sep;
    };

    struct Event {
        int offset;
        const char *org, *event, *band;
        bool acknowledged;
        QStringList items;
    };
    const QString interval = item(QStringLiteral("O"), QStringLiteral("Interval"));
    const QString extras = item(QStringLiteral("O"), QStringLiteral("Extras"));
    const QList<Event> events = {
        {0, "Ashbury Squares", "Square Dance Night", "Recorded", true,
         {dance("Kestrel's Flight"), item("O", "Squares without a walk-through"), dance("Allemande Break"),
          dance("Hoedown One"), dance("Hoedown Two"), dance("Hoedown Three"), dance("Hoedown Four"),
          item("N", "Tea and biscuits at nine"), item("O", "Second half"), dance("Zephyr Reel"),
          dance("Apple Cart Jig")}},
        {-63, "Orchard Folk Club", "Autumn Dance", "The Windfalls", true,
         {item("O", "Evening Dance"), dance("Apple Cart Jig"), dance("Bramble Lane"), dance("Elderflower Waltz"),
          item("N", "Raffle after the interval"), interval, dance("Cobbler's Hornpipe"), dance("Kestrel's Flight"),
          dance("Rose of Allendale")}},
        {-27, "Valley Ceilidh Club", "Valley Ceilidh", "Rough Ground", true,
         {dance("Harvest Home"), dance("Quayside"), dance("Upton Fair"), interval, dance("Moonlit Meadow"),
          dance("Nutmeg and Ginger"), dance("Yarrow Stream")}},
        {-6, "Orchard Folk Club", "Club Night", "The Windfalls", true,
         {item("O", "Workshop"), dance("Willow Weave"), dance("Dawn Chorus"), item("O", "Evening Dance"),
          dance("Jolly Tinker"), dance("Lavender Lady"), interval, dance("Saint Clement's Bells"),
          dance("Café Royal"), extras, dance("Millpond")}},
        {9, "Hill Top Dancers", "Winter Social", "Fiddlesticks", true,
         {dance("Gathering Peascods"), dance("Dancing Dorothy"), item("D", "||"), interval,
          dance("Pennyroyal"), dance("Hedgerow Hey")}},
        {19, "Border Scottish Group", "Burns Supper Dance", "Thistledown Band", false,
         {dance("Fiddler's Green Reel"), dance("Thistle and Heather"), dance("Old Mill Strathspey"), interval,
          dance("Tea Break"), dance("Fiddler's Green Reel"), extras, dance("Harvest Home")}},
        {25, "Hill Top Dancers", "New Year Dance", "Fiddlesticks", true,
         {dance("Harvest Home"), dance("Pennyroyal"), interval, dance("Dancing Dorothy"), dance("Hedgerow Hey")}},
        {47, "Orchard Folk Club", "Spring Dance", "The Windfalls", true,
         {item("N", "Leader: Mary"), dance("Apple Cart Jig"), dance("Ivy Bridge"), dance("Zephyr Reel"), interval,
          dance("Valentine's Waltz"), dance("Elderflower Waltz")}},
        {95, "Hill Top Dancers", "Summer Barn Dance", "Recorded music", false,
         {dance("Apple Cart Jig"), dance("Millpond")}},
    };
    for (const Event &e : events) {
        const QDate date = today.addDays(e.offset);
        insert(db, QStringLiteral("Events"),
               {{QStringLiteral("Org"), QString::fromUtf8(e.org)},
                {QStringLiteral("EDate"), dayNumber(date, 19, 30)},
                {QStringLiteral("Event"), QString::fromUtf8(e.event)},
                {QStringLiteral("ETime"), QStringLiteral("7.30-10.30")},
                {QStringLiteral("Venue"), QStringLiteral("Village Hall")},
                {QStringLiteral("Town"), QStringLiteral("Ashbury")},
                {QStringLiteral("Band"), QString::fromUtf8(e.band)},
                {QStringLiteral("Contact"), QStringLiteral("The Secretary")},
                {QStringLiteral("Fee"), QStringLiteral("£120")},
                {QStringLiteral("Programme"), programme(e.items)},
                {QStringLiteral("Updated"), e.offset < 0 ? QStringLiteral("Y") : QString()},
                {QStringLiteral("Acknowledged"), e.acknowledged ? QStringLiteral("Y") : QString()}});
    }
    batch.commit();
    // The programmes name their dances: count the calls of the past events.
    db.execRaw(QStringLiteral("UPDATE Dances SET Called = (SELECT count(*) FROM Events WHERE Updated = 'Y' AND "
                              "instr(Programme, '|' || Dances.Title || '|' || Dances.Format || '|' || Dances.Style "
                              "|| '%1') > 0) WHERE Format <> 'Technique'")
                   .arg(Sep));
    db.close();
}
