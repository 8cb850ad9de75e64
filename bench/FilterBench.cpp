// Switching the Dances filter on the large catalogue (20,000 dances, 5,000
// events with 20-item programmes), until the shown count is known. Target:
// a four-condition filter (Title contains, Format full match, Called ">2",
// Author non-blank) under 100 ms. Also measured: the same with an
// Instructions condition, first switch after a start (plain texts read from
// the catalogue, where an earlier run kept them), the very first switch on a
// catalogue that keeps none yet, the second switch (taken from memory), a
// switch after one dance was edited, "Not recent", and plain SQLite reading
// the same columns as the twin to compare with.

#include "LargeCatalogue.h"

#include "base/Cp1252.h"
#include "core/filter/FilterCommands.h"
#include "core/filter/Tags.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

namespace {

struct Catalogue {
    QTemporaryDir dir;
    Database db;
    std::unique_ptr<Dataset> events, dances;

    Catalogue() {
        const QString path = dir.path() + QStringLiteral("/Large.mdb");
        CopyLargeCatalogue(path);
        db.open(path);
        events = std::make_unique<Dataset>(db, QStringLiteral("Events"));
        events->setIndexName(QStringLiteral("EDate"));
        events->open();
        events->Last();
        dances = std::make_unique<Dataset>(db, QStringLiteral("Dances"));
        dances->setIndexName(QStringLiteral("FST"));
        dances->open();
    }
};

Catalogue &TheCatalogue() {
    static Catalogue c;
    return c;
}

void Prepare() {
    Catalogue &c = TheCatalogue();
    ProgrammeSeparator = SepDot;
    ResetFilterState();
    ResetTagState();
    ResetFilterCommands();
    BindFilterDatasets(&c.db, c.events.get(), c.dances.get());
    c.dances->SetFiltered(false);
}

void SetCondition(int i, const QString &field, const QString &value, bool full = false, bool nonBlank = false) {
    DancesFilter.Field[size_t(i)] = field;
    DancesFilter.Value[size_t(i)] = value;
    DancesFilter.FullMatch[size_t(i)] = full;
    DancesFilter.NonBlank[size_t(i)] = nonBlank;
    DancesFilter.Count = i;
}

void FourConditions() {
    SetCondition(1, QStringLiteral("Title"), QStringLiteral("a"));
    SetCondition(2, QStringLiteral("Format"), QStringLiteral("Longways"), true);
    SetCondition(3, QStringLiteral("Called"), QStringLiteral(">2"));
    SetCondition(4, QStringLiteral("Author"), QString(), false, true);
}

// One switch: the rule built again and run over every row, then the count.
int Switch() {
    SetFilter(FilterTable::Dances, 3);
    ShowRecordCount(FilterTable::Dances);
    return DancesShownCount;
}

void BM_FourConditionSwitch(benchmark::State &state) {
    Prepare();
    FourConditions();
    int shown = 0;
    for (auto _ : state) {
        shown = Switch();
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = shown;
}
BENCHMARK(BM_FourConditionSwitch)->Unit(benchmark::kMillisecond);

void BM_InstructionsFirstSwitch(benchmark::State &state) {
    Prepare();
    SetCondition(1, QStringLiteral("Instructions"), QStringLiteral("poussette"));
    Switch(); // the texts kept in the catalogue, as a run before this one left them
    int shown = 0;
    for (auto _ : state) {
        SharedPlainTextCache().clear(); // as after a start
        shown = Switch();
    }
    state.counters["shown"] = shown;
}
BENCHMARK(BM_InstructionsFirstSwitch)->Unit(benchmark::kMillisecond);

void BM_InstructionsNothingKept(benchmark::State &state) {
    Prepare();
    SetCondition(1, QStringLiteral("Instructions"), QStringLiteral("poussette"));
    Catalogue &c = TheCatalogue();
    int shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        c.db.execRaw(QStringLiteral("DROP TABLE IF EXISTS InstructionTexts"));
        SharedPlainTextCache().clear();
        state.ResumeTiming();
        shown = Switch();
    }
    state.counters["shown"] = shown;
}
BENCHMARK(BM_InstructionsNothingKept)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_InstructionsSecondSwitch(benchmark::State &state) {
    Prepare();
    SetCondition(1, QStringLiteral("Instructions"), QStringLiteral("poussette"));
    Switch();
    int shown = 0;
    for (auto _ : state) shown = Switch();
    state.counters["shown"] = shown;
}
BENCHMARK(BM_InstructionsSecondSwitch)->Unit(benchmark::kMillisecond);

// A later switch after one dance's instructions were changed: only that
// dance is converted again, the others are taken by their digest.
void BM_InstructionsSwitchAfterEdit(benchmark::State &state) {
    Prepare();
    SetCondition(1, QStringLiteral("Instructions"), QStringLiteral("poussette"));
    Catalogue &c = TheCatalogue();
    Switch();
    int shown = 0, n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        c.db.execRaw(QStringLiteral(
                         "UPDATE Dances SET Instructions = '{\\rtf1 poussette %1}' WHERE rowid = 7")
                         .arg(++n));
        state.ResumeTiming();
        shown = Switch();
    }
    state.counters["shown"] = shown;
}
BENCHMARK(BM_InstructionsSwitchAfterEdit)->Unit(benchmark::kMillisecond);

void BM_NotRecent(benchmark::State &state) {
    Prepare();
    int shown = 0;
    for (auto _ : state) {
        NotChecked = NotSelection::None;
        NotClick(NotSelection::Recent);
        shown = DancesShownCount;
    }
    state.counters["shown"] = shown;
}
BENCHMARK(BM_NotRecent)->Unit(benchmark::kMillisecond);

// The twin: the same columns read and tested through the SQLite C API.
void BM_PlainSqliteFourConditions(benchmark::State &state) {
    Catalogue &c = TheCatalogue();
    int shown = 0;
    for (auto _ : state) {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(c.db.handle(),
                           "SELECT rowid, Title, Format, Called, Author FROM Dances "
                           "ORDER BY Format COLLATE NOCASE, Style COLLATE NOCASE, Title COLLATE NOCASE, rowid",
                           -1, &s, nullptr);
        shown = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            const QString title = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 1)));
            const QString format = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 2)));
            const int called = sqlite3_column_int(s, 3);
            const bool author = sqlite3_column_bytes(s, 4) > 0;
            if (title.toUpper().contains(QLatin1Char('A')) && format.toUpper() == QLatin1String("LONGWAYS") &&
                called > 2 && author)
                ++shown;
        }
        sqlite3_finalize(s);
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = shown;
}
BENCHMARK(BM_PlainSqliteFourConditions)->Unit(benchmark::kMillisecond);

} // namespace
