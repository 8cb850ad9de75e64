// Finding the dances of a programme and renaming a dance across the diary,
// on the large seeded catalogue (20,000 dances, 5,000 events with 20-item
// programmes). Each figure has a plain-SQLite counterpart doing the same
// reads, so the ratio can be compared between machines.
// Targets: the next dance shown on the Dances page under 100 ms; the 20
// dances of a programme located in FST order under 5 ms (FSRT reported
// too); a rename rewriting the programmes of 5,000 events under 1 s.

#include "BenchWindow.h"
#include "LargeCatalogue.h"
#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Cp1252.h"
#include "core/dances/DanceItems.h"
#include "core/dances/DanceLocate.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "programme/text/ProgrammeText.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Catalogue {
    QTemporaryDir dir;
    QString path;
    Database db;
    QList<DanceKey> programme; // the dances of one event's programme
    DanceKey busiest;          // the dance found in most programmes
};

Catalogue &LargeCatalogue() {
    static Catalogue *c = [] {
        auto *cat = new Catalogue;
        cat->path = cat->dir.path() + QStringLiteral("/Large.mdb");
        CopyLargeCatalogue(cat->path);
        cat->db.open(cat->path);
        QHash<DanceKey, int> uses;
        Statement s(cat->db.handle(), QStringLiteral("SELECT Programme FROM Events ORDER BY EDate"));
        while (s.step()) {
            const ProgrammeRead read = ReadProgramme(s.columnText(0), SepDot);
            QList<DanceKey> keys;
            for (const ProgrammeItem &item : read.items)
                if (item.isDance()) {
                    keys.append(item.key);
                    ++uses[item.key];
                }
            if (cat->programme.size() < 20 && keys.size() > cat->programme.size()) cat->programme = keys.mid(0, 20);
        }
        int most = 0;
        for (auto it = uses.begin(); it != uses.end(); ++it)
            if (it.value() > most) {
                most = it.value();
                cat->busiest = it.key();
            }
        return cat;
    }();
    return *c;
}

void LocateProgramme(benchmark::State &state, const char *order) {
    Catalogue &c = LargeCatalogue();
    Dataset dances(c.db, QStringLiteral("Dances"));
    dances.setIndexName(QLatin1String(order));
    dances.open();
    int found = 0;
    for (auto _ : state)
        for (const DanceKey &k : c.programme) found += SeekDance(dances, QLatin1String(order), k) ? 1 : 0;
    if (found != int(state.iterations()) * int(c.programme.size())) state.SkipWithError("a dance was not found");
    state.counters["dances"] = double(c.programme.size());
}

void BM_LocateProgrammeFST(benchmark::State &state) { LocateProgramme(state, "FST"); }
BENCHMARK(BM_LocateProgrammeFST)->Unit(benchmark::kMillisecond);

void BM_LocateProgrammeFSRT(benchmark::State &state) { LocateProgramme(state, "FSRT"); }
BENCHMARK(BM_LocateProgrammeFSRT)->Unit(benchmark::kMillisecond);

// The same 20 look-ups straight from SQLite, reading the found row.
void BM_PlainSqliteProgrammeLookups(benchmark::State &state) {
    Catalogue &c = LargeCatalogue();
    Statement s(c.db.handle(), QStringLiteral("SELECT * FROM Dances WHERE Format=? AND Style=? AND Title=?"));
    for (auto _ : state)
        for (const DanceKey &k : c.programme) {
            s.bindAll({k.Format, k.Style, k.Title});
            s.step();
            benchmark::DoNotOptimize(s.columnText(0));
            s.reset();
        }
}
BENCHMARK(BM_PlainSqliteProgrammeLookups)->Unit(benchmark::kMillisecond);

// Renames the dance found in most programmes; the transaction is rolled back
// after each round so that every round does the same work.
void BM_RenameAcrossTheDiary(benchmark::State &state) {
    Catalogue &c = LargeCatalogue();
    const DanceKey renamed{c.busiest.Title + QStringLiteral(" (renamed)"), c.busiest.Format, c.busiest.Style};
    int changed = 0;
    for (auto _ : state) {
        Batch batch(c.db);
        changed = RenameDanceItemsEverywhere(c.db, SepDot, c.busiest, renamed);
    }
    state.counters["events"] = changed;
}
BENCHMARK(BM_RenameAcrossTheDiary)->Unit(benchmark::kMillisecond);

// Reading every programme, as the rename must.
void BM_PlainSqliteReadAllProgrammes(benchmark::State &state) {
    Catalogue &c = LargeCatalogue();
    Statement s(c.db.handle(), QStringLiteral("SELECT rowid, Programme FROM Events"));
    for (auto _ : state) {
        qsizetype total = 0;
        while (s.step()) total += s.columnText(1).size();
        s.reset();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_PlainSqliteReadAllProgrammes)->Unit(benchmark::kMillisecond);

// Moving to the next dance and showing it, on the window over the catalogue.
void BM_NextDanceShown(benchmark::State &state) {
    Catalogue &c = LargeCatalogue();
    const bool opened = OpenCatalogueAsTheWindowDoes(c.dir.path() + QStringLiteral("/"), QStringLiteral("Large.mdb"));
    LocationColumn = 6;
    if (!opened) {
        state.SkipWithError("the catalogue did not open");
        return;
    }
    {
        TOrgForm form;
        OrgForm = &form;
        DancesData.First();
        for (auto _ : state) {
            DancesData.Next();
            if (DancesData.Eof()) DancesData.First();
            form.ShowDance();
        }
        OrgForm = nullptr;
    }
    ResetTables();
    IniFile.reset();
}
BENCHMARK(BM_NextDanceShown)->Unit(benchmark::kMillisecond);

// The same dance records read straight from SQLite, in the same order.
void BM_PlainSqliteNextDance(benchmark::State &state) {
    Catalogue &c = LargeCatalogue();
    Statement order(c.db.handle(), QStringLiteral("SELECT rowid FROM Dances ORDER BY Format, Style, Title"));
    std::vector<qint64> rows;
    while (order.step()) rows.push_back(order.column(0).toLongLong());
    Statement s(c.db.handle(), QStringLiteral("SELECT * FROM Dances WHERE rowid=?"));
    size_t at = 0;
    for (auto _ : state) {
        at = (at + 1) % rows.size();
        s.bind(1, rows[at]);
        s.step();
        for (int i = 0; i < s.columnCount(); ++i) benchmark::DoNotOptimize(s.column(i));
        s.reset();
    }
}
BENCHMARK(BM_PlainSqliteNextDance)->Unit(benchmark::kMillisecond);

} // namespace
