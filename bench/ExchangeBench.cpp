// CSV export and import of the large seeded catalogue's 20,000 dances, each
// beside plain SQLite doing the same reads or writes (prepared statements,
// one transaction), so the ratio can be compared between machines.
// Targets: export under 2x plain and under 1 s; import under 2x plain and
// under 3 s.

#include "LargeCatalogue.h"

#include "base/Cp1252.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "publishing/exchange/Csv.h"
#include "publishing/exchange/CsvExport.h"
#include "publishing/exchange/CsvImport.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Large {
    QTemporaryDir dir;
    QString path, csv;
    Database db;
};

Large &LargeFile() {
    static Large *l = [] {
        auto *large = new Large;
        large->path = large->dir.filePath(QStringLiteral("Large.mdb"));
        large->csv = large->dir.filePath(QStringLiteral("Dances.CSV"));
        QDir::setCurrent(large->dir.path()); // the run report goes here
        CopyLargeCatalogue(large->path);
        large->db.open(large->path);
        return large;
    }();
    return *l;
}

void BM_ExportDances(benchmark::State &state) {
    Large &l = LargeFile();
    Dataset dances(l.db, QStringLiteral("Dances"));
    dances.open();
    ExportJob job;
    job.dataset = &dances;
    job.file = l.csv;
    job.fieldNames = true;
    int n = 0;
    for (auto _ : state) n = RunExport(job);
    state.counters["dances"] = n;
}
BENCHMARK(BM_ExportDances)->Unit(benchmark::kMillisecond);

void BM_ExportPlain(benchmark::State &state) {
    Large &l = LargeFile();
    for (auto _ : state) {
        Statement s(l.db.handle(), QStringLiteral("SELECT * FROM Dances ORDER BY Format, Style, Title"));
        QString text;
        QStringList values;
        const QList<bool> delimited(s.columnCount(), true);
        while (s.step()) {
            values.clear();
            for (int i = 0; i < s.columnCount(); ++i) values.append(s.columnText(i));
            text += CsvLine(values, delimited, QLatin1Char('"'), QLatin1Char(','));
        }
        WriteTextFile(l.csv + QStringLiteral(".plain"), text);
    }
}
BENCHMARK(BM_ExportPlain)->Unit(benchmark::kMillisecond);

// A new empty catalogue for each run, also across repetitions; the one
// before (closed by now) goes, so that the runs do not fill the disk.
QString EmptyCatalogue(Large &l) {
    static int made = 0;
    if (made > 0) QFile::remove(l.dir.filePath(QStringLiteral("Empty%1.mdb").arg(made)));
    const QString path = l.dir.filePath(QStringLiteral("Empty%1.mdb").arg(++made));
    Database db;
    db.create(path);
    return path;
}

void BM_ImportDances(benchmark::State &state) {
    Large &l = LargeFile();
    if (!QFile::exists(l.csv)) {
        Dataset dances(l.db, QStringLiteral("Dances"));
        dances.open();
        ExportJob job;
        job.dataset = &dances;
        job.file = l.csv;
        job.fieldNames = true;
        RunExport(job);
    }
    QFile f(l.csv);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    int stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Database db;
        db.open(EmptyCatalogue(l));
        Dataset dances(db, QStringLiteral("Dances"));
        dances.open();
        ImportJob job;
        job.dataset = &dances;
        job.keyField = QStringLiteral("Title");
        job.isDances = true;
        job.bytes = bytes;
        job.hasNames = true;
        job.map.identical(dances.FieldCount());
        state.ResumeTiming();
        RunImport(job, &stored);
    }
    state.counters["dances"] = stored;
}
BENCHMARK(BM_ImportDances)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportPlain(benchmark::State &state) {
    Large &l = LargeFile();
    QList<QVariantList> rows;
    {
        Statement s(l.db.handle(), QStringLiteral("SELECT * FROM Dances"));
        while (s.step()) {
            QVariantList values;
            for (int i = 0; i < s.columnCount(); ++i) values.append(s.column(i));
            rows.append(values);
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        Database db;
        db.open(EmptyCatalogue(l));
        QStringList marks;
        for (int i = 0; i < rows.first().size(); ++i) marks.append(QStringLiteral("?"));
        state.ResumeTiming();
        Batch batch(db);
        Statement insert(db.handle(), QStringLiteral("INSERT INTO Dances VALUES (%1)").arg(marks.join(',')));
        for (const QVariantList &r : rows) {
            insert.bindAll(r);
            insert.step();
            insert.reset();
        }
        batch.commit();
    }
}
BENCHMARK(BM_ImportPlain)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
