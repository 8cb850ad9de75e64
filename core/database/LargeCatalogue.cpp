#include "base/Cp1252.h"
#include "core/database/SampleCatalogue.h"
#include "platform/sqlite/Database.h"

#include <QFile>
#include <QSet>
#include <QVariant>
#include <vector>

namespace {

// splitmix64: the same numbers for a seed on every machine.
struct Rng {
    quint64 state;
    explicit Rng(quint32 seed) : state(seed) {}
    quint64 next() {
        quint64 z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    template <size_t N> const char *pick(const char *const (&list)[N]) { return list[below(int(N))]; }
};

const char *const Adjectives[] = {"Merry", "Jolly", "Silver", "Golden", "Green", "Rushy", "Windy", "Quiet", "Old",
                                  "Lively", "Crooked", "Bonny", "Whirling", "Gentle", "Broad", "Hidden", "Frosty",
                                  "Rolling", "Dancing", "Laughing", "Sunny", "Misty", "Royal", "Humble", "Bright",
                                  "Shady", "Winding", "Painted", "Sleepy", "Hasty"};
const char *const Nouns[] = {"Miller", "Meadow", "River", "Harvest", "Lantern", "Fiddler", "Shepherd", "Orchard",
                             "Bridge", "Ferry", "Lark", "Raven", "Heather", "Willow", "Thistle", "Barley", "Weaver",
                             "Tinker", "Piper", "Mill", "Hornpipe", "Garland", "Maypole", "Compass", "Beacon",
                             "Pedlar", "Cobbler", "Forester", "Sailor", "Drover", "Quarry", "Chapel", "Market",
                             "Haymaker", "Bellringer", "Kingfisher", "Falcon", "Badger", "Otter", "Wren"};
const char *const Places[] = {"Ashbury", "Brackley", "Cawston", "Dunmore", "Elmstead", "Fernhill", "Glenrae",
                              "Holloway", "Ivybridge", "Kelso", "Langdon", "Morland", "Netherby", "Oakham",
                              "Penrith", "Quenby", "Redmire", "Stanton", "Thornby", "Upwey", "Wickham", "Yarrow"};
const char *const Formats[] = {"Longways", "Longways", "Longways", "Longways", "Circle", "Circle", "Square",
                               "Sicilian", "Triplet", "Set", "Longways", "Square"};
const char *const Styles[] = {"English", "English", "English", "American", "Scottish", "Contra", "Ceilidh",
                              "Playford", "Welsh", "Irish"};
const char *const Rhythms[] = {"Jig", "Reel", "Hornpipe", "Waltz", "Polka", "Strathspey", "March", "Slip jig"};
const char *const Authors[] = {"traditional", "Mary Holt", "Peter Vale", "Jean Ashby", "Ian Corrie", "Ruth Penning",
                               "Sam Tucker", "Owen Price", "Ann Fairley", "Tom Becket", "Lou Marsh", "Kit Ormond"};
const char *const Collections[] = {"Orchard Dances", "Border Book", "Summer Set", "Country Collection",
                                   "Ceilidh Favourites", "New England Notes", "Valley Dances", "Green Mountain Squares",
                                   "Barn Dance Book", "Winter Set"};
const char *const Figures[] = {"Circle left and right.", "Partners swing.", "Neighbours back to back.",
                               "Right hands across; left hands back.", "Lead down the middle and back.",
                               "Cast off one place.", "Half figure eight up.", "Poussette clockwise.",
                               "Hey for three on the sides.", "Ladies chain over and back.",
                               "Long lines forward and back.", "Set and turn single.", "Partners siding.",
                               "First corners change places.", "Balance and swing your neighbour.",
                               "Star right; star left.", "All turn single.", "Arming right and left.",
                               "Promenade your partner home.", "Do-si-do your corner."};
const char *const Bars[] = {"A1", "A2", "B1", "B2", "C1", "C2"};
const char *const Orgs[] = {"Orchard Folk Club", "Valley Ceilidh Club", "Hill Top Dancers", "Border Scottish Group",
                            "Ashbury Barn Dancers", "Riverside Folk", "Market Square Club", "Church Hall Dancers",
                            "Green Lane Folk Club", "Beacon Dance Club", "Millstream Club", "Cawston Village Hall",
                            "Kelso Reelers", "Oakham Contra", "Penrith Country Dancers", "Wickham Ceilidh"};
const char *const EventNames[] = {"Club Night", "Monthly Dance", "Barn Dance", "Ceilidh", "Workshop", "Social",
                                  "Spring Dance", "Summer Dance", "Autumn Dance", "Winter Ball", "Charity Dance",
                                  "Wedding Ceilidh"};
const char *const Bands[] = {"The Windfalls", "Rough Ground", "Fiddlesticks", "Thistledown Band", "Recorded music",
                             "The Ranters", "Old Spot", "Hedge Hoppers"};

const QDate DayZero(1899, 12, 30);

void insertRow(Statement &s, const QVariantList &values) {
    s.bindAll(values);
    s.step();
    s.reset();
}

} // namespace

void BuildLargeCatalogue(const QString &path, quint32 seed, const QDate &lastDay, const LargeCatalogueSize &size) {
    QFile::remove(path);
    Database db;
    db.create(path);
    Batch batch(db);
    Rng r(seed);
    const QString sep(SepDot);

    Statement dance(db.handle(),
                    QStringLiteral("INSERT INTO Dances (Title, Format, Style, Rhythm, Lvl, Energy, Author, Collection, "
                                   "Called, KeySig, Instructions, Notes, Music, Printed, Callit, OwnTune) "
                                   "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    QSet<QString> keys;
    std::vector<QString> items;
    items.reserve(size_t(size.dances));
    for (int i = 0; i < size.dances; ++i) {
        const QString format = QString::fromLatin1(r.pick(Formats));
        const QString style = QString::fromLatin1(r.pick(Styles));
        QString title = QStringLiteral("%1 %2").arg(QLatin1String(r.pick(Adjectives)), QLatin1String(r.pick(Nouns)));
        if (r.below(3) == 0) title += QStringLiteral(" of ") + QLatin1String(r.pick(Places));
        QString key = FoldUpper(format + '|' + style + '|' + title);
        for (int n = 2; keys.contains(key); ++n) {
            title = title.section(QStringLiteral(" No."), 0, 0) + QStringLiteral(" No. %1").arg(n);
            key = FoldUpper(format + '|' + style + '|' + title);
        }
        keys.insert(key);
        const QString rhythm = QString::fromLatin1(r.pick(Rhythms));

        QStringList steps{QStringLiteral("Formation: %1, %2.").arg(format.toLower(), style)};
        const int target = 1000 + r.below(1000);
        int length = 0;
        for (int b = 0; length < target; ++b) {
            const QString line = QStringLiteral("%1\t%2 %3").arg(QLatin1String(Bars[b % 6]), QLatin1String(r.pick(Figures)),
                                                              QLatin1String(r.pick(Figures)));
            steps.append(line);
            length += int(line.size()) + 8;
        }
        QString music = QStringLiteral("Tune: ") + QLatin1String(r.pick(Nouns)) + QStringLiteral("'s ") + rhythm;
        const int recordings = r.below(5) < 3 ? 1 + r.below(3) : 0;
        QStringList lines;
        for (int k = 0; k < recordings; ++k) {
            const bool file = r.below(2) == 0;
            QStringList cols{QStringLiteral("%1 Dance Tunes").arg(QLatin1String(r.pick(Collections))),
                             file ? QString() : QString::number(1 + r.below(20)),
                             file ? QStringLiteral("MP3") : QStringLiteral("CD"),
                             QString::number(90 + r.below(40)),
                             rhythm,
                             r.below(4) == 0 ? QStringLiteral("Slow start") : QString(),
                             file ? QStringLiteral("Tunes/%1/%2.mp3").arg(rhythm, title) : QStringLiteral("D")};
            while (!cols.isEmpty() && cols.last().isEmpty()) cols.removeLast();
            lines.append(cols.join(sep));
        }
        if (!lines.isEmpty()) music += sep + lines.join(QLatin1Char('\r'));
        const QString notes = r.below(2) == 0 ? QString()
                                              : QStringLiteral("Taught at %1. Music from the %2.")
                                                    .arg(QLatin1String(r.pick(Places)), QLatin1String(r.pick(Collections)));
        const int level = r.below(10);
        insertRow(dance, {title, format, style, rhythm, level, level > 5 ? QStringLiteral("High") : QStringLiteral("Medium"),
                          QString::fromLatin1(r.pick(Authors)), QString::fromLatin1(r.pick(Collections)),
                          r.below(4) == 0 ? QVariant() : QVariant(r.below(30)),
                          r.below(10) == 0 ? QStringLiteral("G") : QString(), InstructionRtf(steps), notes, music,
                          r.below(3) == 0 ? QStringLiteral("Y") : QString(), r.below(8) == 0 ? QStringLiteral("Y") : QString(),
                          r.below(10) == 0 ? QStringLiteral("Y") : QString()});
        items.push_back(QStringLiteral("D|%1|%2|%3").arg(title, format, style));
    }

    Statement event(db.handle(), QStringLiteral("INSERT INTO Events (Org, EDate, Event, ETime, Venue, Town, Band, "
                                                "Programme, Updated, Acknowledged) VALUES (?,?,?,?,?,?,?,?,?,?)"));
    const QDate first = lastDay.addYears(-size.years);
    const qint64 span = first.daysTo(lastDay);
    const double today = double(DayZero.daysTo(lastDay)) - 365;
    for (int i = 0; i < size.events; ++i) {
        // Distinct dates keep the organiser-date-event key unique.
        const double day = double(DayZero.daysTo(first)) + double(span * i / std::max(1, size.events)) + 0.8125;
        QStringList programme;
        for (int k = 0; k < size.itemsPerProgramme; ++k) {
            if (k == size.itemsPerProgramme / 2) programme.append(QStringLiteral("O|Interval"));
            else if (k == size.itemsPerProgramme - 3 && r.below(3) == 0) programme.append(QStringLiteral("O|Extras"));
            else if (r.below(12) == 0) programme.append(QStringLiteral("N|Announcements"));
            else programme.append(items[size_t(r.below(int(items.size())))]);
        }
        insertRow(event, {QString::fromLatin1(r.pick(Orgs)), day, QString::fromLatin1(r.pick(EventNames)),
                          QStringLiteral("7.30-10.30"), QStringLiteral("Village Hall"), QString::fromLatin1(r.pick(Places)),
                          QString::fromLatin1(r.pick(Bands)), sep + programme.join(sep) + sep,
                          day < today ? QStringLiteral("Y") : QString(), r.below(5) == 0 ? QString() : QStringLiteral("Y")});
    }
    batch.commit();
    db.close();
}
