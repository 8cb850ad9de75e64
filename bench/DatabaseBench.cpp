// The table layer on the large catalogue (20,000 dances, 5,000 events), each
// measure beside plain SQLite doing the same reads through its C API.

#include "LargeCatalogue.h"

#include "base/Cp1252.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/Query.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QString &catalogue() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.path() + QStringLiteral("/Quillary.mdb");
        CopyLargeCatalogue(p);
        return p;
    }();
    return path;
}

// A plain connection with the program's collation and functions, as the
// indexes need them.
struct Plain {
    Database db;
    Plain() { db.open(catalogue()); }
    sqlite3 *h() const { return db.handle(); }
};

QString text(sqlite3_stmt *s, int col) {
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, col)), sqlite3_column_bytes(s, col));
}

// The walk's hook: often called, and an "A" in the title.
bool wanted(bool calledNull, qint64 called, const QString &title) {
    return !calledNull && called > 5 && FoldUpper(title).contains(QLatin1Char('A'));
}

// The first key of the middle row of the FST order, whole and as a prefix.
QVariantList middleKey() {
    Plain p;
    Statement s(p.h(), "SELECT Format, Style, Title FROM Dances ORDER BY Format, Style, Title LIMIT 1 OFFSET 10000");
    s.step();
    return {s.column(0), s.column(1), s.column(2)};
}

// ---- opening both tables ---------------------------------------------------------

void OpenTablesDataset(benchmark::State &state) {
    Database db;
    db.open(catalogue());
    for (auto _ : state) {
        Dataset events(db, "Events"), dances(db, "Dances");
        events.setIndexName("EDate");
        dances.setIndexName("FST");
        events.open();
        dances.open();
        benchmark::DoNotOptimize(dances.FieldByName("Title").AsString());
        benchmark::DoNotOptimize(events.FieldByName("Org").AsString());
    }
}
BENCHMARK(OpenTablesDataset)->Unit(benchmark::kMillisecond);

void OpenTablesPlain(benchmark::State &state) {
    Plain p;
    for (auto _ : state) {
        for (const char *order : {"SELECT rowid FROM Events ORDER BY EDate, rowid",
                                  "SELECT rowid FROM Dances ORDER BY Format, Style, Title, rowid"}) {
            std::vector<qint64> keys;
            Statement s(p.h(), order);
            while (s.step()) keys.push_back(sqlite3_column_int64(s.get(), 0));
            Statement first(p.h(), QString::fromLatin1(order).contains("Events")
                                       ? "SELECT Org, EDate, Event FROM Events WHERE rowid=?"
                                       : "SELECT Title, Format, Style FROM Dances WHERE rowid=?");
            first.bind(1, keys.front());
            first.step();
            benchmark::DoNotOptimize(text(first.get(), 0));
        }
    }
}
BENCHMARK(OpenTablesPlain)->Unit(benchmark::kMillisecond);

void OpenDancesDataset(benchmark::State &state) {
    Database db;
    db.open(catalogue());
    for (auto _ : state) {
        Dataset dances(db, "Dances");
        dances.setIndexName("FST");
        dances.open();
        benchmark::DoNotOptimize(dances.RecordCount());
    }
}
BENCHMARK(OpenDancesDataset)->Unit(benchmark::kMillisecond);

// ---- seeks on FST --------------------------------------------------------------

void SeekDataset(benchmark::State &state) {
    const QVariantList key = middleKey().mid(0, int(state.range(0)));
    Database db;
    db.open(catalogue());
    Dataset dances(db, "Dances");
    dances.setIndexName("FST");
    dances.open();
    for (auto _ : state) {
        if (!dances.Seek(key, SeekMode::FirstEq)) state.SkipWithError("not found");
        benchmark::DoNotOptimize(dances.FieldByName("Title").AsString());
    }
}
BENCHMARK(SeekDataset)->Arg(3)->Arg(2)->Unit(benchmark::kMicrosecond);

void SeekPlain(benchmark::State &state) {
    const QVariantList key = middleKey();
    Plain p;
    Statement full(p.h(), "SELECT rowid, Title FROM Dances WHERE Format=? AND Style=? AND Title=? "
                          "ORDER BY Format, Style, Title LIMIT 1");
    Statement partial(p.h(), "SELECT rowid, Title FROM Dances WHERE Format=? AND Style=? ORDER BY Format, Style, Title LIMIT 1");
    Statement &s = state.range(0) == 3 ? full : partial;
    for (auto _ : state) {
        for (int i = 0; i < state.range(0); ++i) s.bind(i + 1, key[i]);
        if (!s.step()) state.SkipWithError("not found");
        benchmark::DoNotOptimize(text(s.get(), 1));
        s.reset();
    }
}
BENCHMARK(SeekPlain)->Arg(3)->Arg(2)->Unit(benchmark::kMicrosecond);

// ---- a filtered walk -----------------------------------------------------------

void FilteredWalkDataset(benchmark::State &state) {
    Database db;
    db.open(catalogue());
    Dataset dances(db, "Dances");
    dances.setIndexName("FST");
    dances.open();
    dances.FilterColumns = QStringList{"Called", "Title"};
    dances.OnFilterRecord = [](Dataset &d) {
        Field &called = d.FieldByName("Called");
        return wanted(called.IsNull(), called.AsInteger(), d.FieldByName("Title").AsString());
    };
    qint64 shown = 0;
    for (auto _ : state) {
        dances.SetFiltered(true);
        shown = 0;
        for (dances.First(); !dances.Eof(); dances.Next()) {
            benchmark::DoNotOptimize(dances.FieldByName("Title").AsString());
            ++shown;
        }
        dances.SetFiltered(false);
    }
    state.counters["shown"] = double(shown);
}
BENCHMARK(FilteredWalkDataset)->Unit(benchmark::kMillisecond);

void FilteredWalkPlain(benchmark::State &state) {
    Plain p;
    qint64 shown = 0;
    for (auto _ : state) {
        Statement s(p.h(), "SELECT rowid, Called, Title FROM Dances ORDER BY Format, Style, Title, rowid");
        std::vector<qint64> rows;
        while (s.step()) {
            sqlite3_stmt *st = s.get();
            if (wanted(sqlite3_column_type(st, 1) == SQLITE_NULL, sqlite3_column_int64(st, 1), text(st, 2)))
                rows.push_back(sqlite3_column_int64(st, 0));
        }
        Statement read(p.h(), "SELECT Title FROM Dances WHERE rowid=?");
        for (qint64 r : rows) {
            read.bind(1, r);
            read.step();
            benchmark::DoNotOptimize(text(read.get(), 0));
            read.reset();
        }
        shown = qint64(rows.size());
    }
    state.counters["shown"] = double(shown);
}
BENCHMARK(FilteredWalkPlain)->Unit(benchmark::kMillisecond);

// ---- RunSQL -------------------------------------------------------------------

void RunSqlCount(benchmark::State &state) {
    ResetTables();
    Conn.open(catalogue());
    int n = 0;
    for (auto _ : state) n = RunSQL(QStringLiteral("Select Title from Dances where Called > 3"));
    state.counters["rows"] = n;
    ResetTables();
}
BENCHMARK(RunSqlCount)->Unit(benchmark::kMillisecond);

void RunSqlPlain(benchmark::State &state) {
    Plain p;
    int n = 0;
    for (auto _ : state) {
        Statement s(p.h(), "SELECT count(*) FROM (SELECT Title FROM Dances WHERE Called > 3)");
        s.step();
        n = sqlite3_column_int(s.get(), 0);
    }
    state.counters["rows"] = n;
}
BENCHMARK(RunSqlPlain)->Unit(benchmark::kMillisecond);

} // namespace
