// The dance lists and the contra analysis on the large catalogue (20,000
// dances, 5,000 events with 20-item programmes). Targets: the history of a
// dance ("When") over every event under 50 ms, beside plain SQLite reading
// the Programme column for the ratio; the list by format of every dance
// under 1 s; the contra analysis of the candidates under 1 s, and a rebuild
// (texts already analysed) under 300 ms.

#include "LargeCatalogue.h"

#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "presentation/ContraFigures.h"
#include "programme/text/ProgrammeText.h"
#include "publishing/lists/DanceLists.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Catalogue {
    QTemporaryDir dir;
    Database db;
    std::unique_ptr<Dataset> events, dances;
    DanceKey key;

    Catalogue() {
        const QString path = dir.path() + QStringLiteral("/Large.mdb");
        CopyLargeCatalogue(path);
        db.open(path);
        events = std::make_unique<Dataset>(db, QStringLiteral("Events"));
        events->setIndexName(QStringLiteral("EDate"));
        events->open();
        dances = std::make_unique<Dataset>(db, QStringLiteral("Dances"));
        dances->setIndexName(QStringLiteral("FST"));
        dances->open();
        // A dance of the last event's programme.
        events->Last();
        const QString programme = events->FieldByName(QStringLiteral("Programme")).AsString();
        for (const ProgrammeItem &item : ReadProgramme(programme, SepDot).items)
            if (item.isDance()) {
                key = item.key;
                break;
            }
        // Some of the candidates' styles, so that the contra analysis has work.
        db.execRaw(QStringLiteral("UPDATE OR IGNORE Dances SET Style = 'American' WHERE rowid % 5 = 0"));
    }
};

Catalogue &TheCatalogue() {
    static Catalogue c;
    return c;
}

void BM_When(benchmark::State &state) {
    Catalogue &c = TheCatalogue();
    for (auto _ : state) {
        const QStringList entries =
            WhenEntries(ReadWhenEvents(c.db, c.events->VisibleBookmarks()), c.key, SepDot, 0);
        benchmark::DoNotOptimize(entries);
    }
}
BENCHMARK(BM_When)->Unit(benchmark::kMillisecond);

// The twin: plain SQLite reading every programme.
void BM_WhenPlainSqlite(benchmark::State &state) {
    Catalogue &c = TheCatalogue();
    for (auto _ : state) {
        Statement s(c.db.handle(), QStringLiteral("SELECT Programme FROM Events"));
        qsizetype n = 0;
        while (s.step()) n += s.columnText(0).size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_WhenPlainSqlite)->Unit(benchmark::kMillisecond);

void BM_ByFormatAllDances(benchmark::State &state) {
    Catalogue &c = TheCatalogue();
    for (auto _ : state) {
        const QString rtf = ByFormatRtf(ReadListDances(c.db, *c.dances), QStringLiteral("All"), false);
        benchmark::DoNotOptimize(rtf);
    }
}
BENCHMARK(BM_ByFormatAllDances)->Unit(benchmark::kMillisecond);

void BM_ContraAnalysisFirst(benchmark::State &state) {
    Catalogue &c = TheCatalogue();
    for (auto _ : state) {
        ClearContraCache();
        const ContraData data = ReadContraData(c.db);
        state.counters["candidates"] = double(data.entries.size());
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_ContraAnalysisFirst)->Unit(benchmark::kMillisecond);

void BM_ContraRebuild(benchmark::State &state) {
    Catalogue &c = TheCatalogue();
    ClearContraCache();
    ReadContraData(c.db);
    for (auto _ : state) {
        const ContraData data = ReadContraData(c.db);
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_ContraRebuild)->Unit(benchmark::kMillisecond);

} // namespace
