// Start-up on the large catalogue (20,000 dances, 5,000 events): from making
// the main window to "End FormShow", offscreen, every box answered at once,
// with [System] DBSize at the file's size so that no compaction runs. Beside
// it, plain SQLite doing the reads start-up needs: both tables' rows in index
// order, the current records, the events of the reminder span, the four
// lists of the rule editor, and what the Recordings page shows: the music
// lines of every dance with a recording and the walk of the base folder
// ([System] RFolder; this catalogue's settings name none). Start-up looks
// for the old web host in the notes in the same scan that lists the
// authors; the twin reads the authors alone, as it never did that check.

#include "LargeCatalogue.h"

#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/TestAnswerer.h"
#include "core/database/Tables.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "platform/probes/SystemProbes.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QDate BenchToday(2026, 12, 6);

struct QuietProbes : SystemProbes {
    bool isUsbDrive(const QString &, QString *) override { return false; }
    PowerStatus powerStatus() override { return {}; }
    QString defaultLanguageName() override { return QStringLiteral("English"); }
};

// The program folder: the large catalogue and a settings file that records
// its size.
const QString &programFolder() {
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString f = dir.path() + '/';
        CopyLargeCatalogue(f + QStringLiteral("Quillary.mdb"));
        const qint64 size = QFileInfo(f + QStringLiteral("Quillary.mdb")).size();
        QFile ini(f + QStringLiteral("Quillary.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write("[System]\r\nDBName=Quillary.mdb\r\nDBSize=" + QByteArray::number(size) +
                  "\r\nVersion=6.103\r\n");
        return f;
    }();
    return folder;
}

void StartupToEndFormShow(benchmark::State &state) {
    const QString folder = programFolder();
    QuietProbes probes;
    SetProbes(&probes);
    SetClock([] { return QDateTime(BenchToday, QTime(14, 5, 9)); });
    const QString savedProgramFolder = ProgramFolder;
    ProgramFolder = folder;
    for (auto _ : state) {
        state.PauseTiming();
        ResetTables();
        ResetPositions();
        ResetSettingsState();
        ResetLog();
        TestAnswerer answerer;
        state.ResumeTiming();

        auto form = std::make_unique<TOrgForm>();
        form->FormShow();

        state.PauseTiming();
        if (form->StartupOutcome() != StartupResult::Done) state.SkipWithError("start-up did not finish");
        if (answerer.sawText(QStringLiteral("compressed"))) state.SkipWithError("compaction ran");
        form.reset();
        state.ResumeTiming();
    }
    ResetTables();
    ResetPositions();
    ResetSettingsState();
    ResetLog();
    ProgramFolder = savedProgramFolder;
    SetClock({});
    SetProbes(nullptr);
    QDir::setCurrent(QDir::tempPath());
}
BENCHMARK(StartupToEndFormShow)->Unit(benchmark::kMillisecond);

QString columnText(sqlite3_stmt *s, int col) {
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, col)),
                             sqlite3_column_bytes(s, col));
}

// Runs a statement to its end, handing each row to the reader.
template <class Reader> void each(sqlite3 *db, const char *sql, Reader read, double bind = -1) {
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    if (bind >= 0) sqlite3_bind_double(s, 1, bind);
    while (sqlite3_step(s) == SQLITE_ROW) read(s);
    sqlite3_finalize(s);
}

void StartupReadsPlain(benchmark::State &state) {
    const QString path = programFolder() + QStringLiteral("Quillary.mdb");
    const double today = DateToDayNumber(BenchToday);
    QString baseFolder; // the same [System] RFolder as the real start-up reads
    {
        const QSettings ini(programFolder() + QStringLiteral("Quillary.ini"), QSettings::IniFormat);
        const QString stored = ini.value(QStringLiteral("System/RFolder")).toString();
        if (!stored.isEmpty())
            baseFolder = QDir::isRelativePath(stored) ? programFolder() + stored : stored;
    }
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        std::vector<qint64> events, dances;
        each(db, "SELECT rowid FROM Events ORDER BY EDate, rowid",
             [&](sqlite3_stmt *s) { events.push_back(sqlite3_column_int64(s, 0)); });
        each(db, "SELECT rowid FROM Dances ORDER BY Format, Style, Title, rowid",
             [&](sqlite3_stmt *s) { dances.push_back(sqlite3_column_int64(s, 0)); });
        QStringList seen;
        each(db, "SELECT * FROM Dances ORDER BY Format, Style, Title LIMIT 1",
             [&](sqlite3_stmt *s) { seen.append(columnText(s, 0)); });
        // The events of the reminder span and the one before it, whole.
        each(
            db,
            "SELECT * FROM Events WHERE EDate >= (SELECT max(EDate) FROM Events WHERE EDate < ?1) "
            "AND EDate < ?1 + 31 ORDER BY EDate",
            [&](sqlite3_stmt *s) { seen.append(columnText(s, 2)); }, today);
        for (const char *sql : {"SELECT DISTINCT Style FROM Dances ORDER BY Style",
                                "SELECT DISTINCT Rhythm FROM Dances ORDER BY Rhythm",
                                "SELECT DISTINCT Format FROM Dances ORDER BY Format",
                                "SELECT DISTINCT Author FROM Dances ORDER BY Author"})
            each(db, sql, [&](sqlite3_stmt *s) { seen.append(columnText(s, 0)); });
        // The Recordings page: every dance whose music holds the separator
        // (the default "·"), as start-up reads them, its four texts; and the
        // music files under the base folder.
        QStringList music;
        each(db, "SELECT rowid, Title, Format, Style, Music FROM Dances WHERE instr(Music, '·') > 0",
             [&](sqlite3_stmt *s) {
                 for (int c = 1; c <= 4; ++c) music.append(columnText(s, c));
             });
        QStringList files;
        if (!baseFolder.isEmpty())
            for (QDirIterator it(baseFolder, QDir::Files, QDirIterator::Subdirectories);
                 it.hasNext();)
                files.append(it.next());
        sqlite3_close(db);
        benchmark::DoNotOptimize(music.size());
        benchmark::DoNotOptimize(files.size());
        benchmark::DoNotOptimize(events.data());
        benchmark::DoNotOptimize(dances.data());
        benchmark::DoNotOptimize(seen.size());
    }
}
BENCHMARK(StartupReadsPlain)->Unit(benchmark::kMillisecond);

} // namespace
