// The programme listing of a 20-dance programme on the large catalogue, from
// the rows to the saved "Prog.RTF" (the word processor is not started),
// beside plain SQLite reading the same 20 dances by key for the ratio; and
// "Tunes for this band" over 300 events of one band.
// Targets: the listing under 300 ms; the band's tunes under 100 ms.

#include "LargeCatalogue.h"

#include "base/Cp1252.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "programme/files/Listings.h"
#include "programme/text/ProgrammeText.h"

#include <QDate>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Catalogue {
    QTemporaryDir dir;
    Database db;
    QList<ProgrammeItem> rows;
    QList<EventRecord> events;
};

Catalogue &ListingCatalogue() {
    static Catalogue *c = [] {
        auto *cat = new Catalogue;
        const QString path = cat->dir.filePath(QStringLiteral("Large.mdb"));
        CopyLargeCatalogue(path);
        cat->db.open(path);
        Statement own(cat->db.handle(), QStringLiteral("UPDATE Dances SET OwnTune = 'Y', Notes = "
                                                       "'Tune: http://example.org/abc.aspx?T=' || rowid "
                                                       "WHERE rowid % 7 = 0"));
        own.step();
        cat->rows = {ProgrammeItem::heading(QStringLiteral("Evening Dance"))};
        Statement pick(cat->db.handle(), QStringLiteral("SELECT Title, Format, Style FROM Dances WHERE rowid % 997 = 3 "
                                                        "ORDER BY rowid LIMIT 20"));
        while (pick.step()) {
            cat->rows.append(ProgrammeItem::dance(pick.columnText(0), pick.columnText(1), pick.columnText(2)));
            if (cat->rows.size() == 11) cat->rows.append(ProgrammeItem::heading(QStringLiteral("Interval")));
        }
        cat->rows.append(ProgrammeItem::note(QStringLiteral("Average Level: ?")));
        Statement events(cat->db.handle(), QStringLiteral("SELECT Org, Programme FROM Events ORDER BY EDate LIMIT 300"));
        while (events.step()) cat->events.append({QDate(), events.columnText(0), events.columnText(1)});
        return cat;
    }();
    return *c;
}

void BM_ListingToProgRtf(benchmark::State &state) {
    Catalogue &c = ListingCatalogue();
    SqlDanceLookup lookup(c.db);
    ListingOptions options;
    options.heading = QStringLiteral("Bench Club - Dance");
    options.info = QStringLiteral("Hall, Town, 7.30 pm");
    const QString file = c.dir.filePath(QStringLiteral("Prog.RTF"));
    for (auto _ : state) SaveTextFile(file, MarkMusicLinks(ListingRtf(BuildListing(c.rows, options, lookup))));
    state.counters["dances"] = 20;
}
BENCHMARK(BM_ListingToProgRtf)->Unit(benchmark::kMillisecond);

void BM_ListingPlain(benchmark::State &state) {
    Catalogue &c = ListingCatalogue();
    for (auto _ : state) {
        Statement s(c.db.handle(), QStringLiteral("SELECT Instructions, Notes, Style FROM Dances "
                                                  "WHERE Title = ? AND Format = ? AND Style = ?"));
        qsizetype total = 0;
        for (const ProgrammeItem &row : c.rows) {
            if (!row.isDance()) continue;
            s.bindAll({row.key.Title, row.key.Format, row.key.Style});
            if (s.step()) total += s.columnText(0).size();
            s.reset();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ListingPlain)->Unit(benchmark::kMillisecond);

void BM_BandTunes300Events(benchmark::State &state) {
    Catalogue &c = ListingCatalogue();
    SqlDanceLookup lookup(c.db);
    QStringList tunes;
    for (auto _ : state)
        tunes = BandTunes(c.events, int(c.events.size()) - 1, c.events.last().Org, true, lookup, SepDot);
    state.counters["events"] = double(c.events.size());
    state.counters["tunes"] = double(tunes.size());
}
BENCHMARK(BM_BandTunes300Events)->Unit(benchmark::kMillisecond);

} // namespace
