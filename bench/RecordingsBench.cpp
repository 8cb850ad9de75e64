// The Recordings and Folders pages on the large catalogue (20,000 dances,
// most with one to three recording lines) and a generated tree of 10,000
// music files in 500 folders, some of them the catalogue's own recordings.
// Targets: a refresh of the Recordings page (the walk into
// RecordingFileList, the recorded dances read, their lines built and sorted,
// the collate) under 500 ms, with its ratio to a plain QDirIterator walk of
// the same tree as a counter; a search keystroke (the collate with the
// search text) under 100 ms; Scan's matching of the 20,000 dances under
// 200 ms; listing a folder of 2,000 files with its order file under 100 ms.
// The main window's own refresh and keystroke, grid filled, beside them.

#include "BenchWindow.h"
#include "LargeCatalogue.h"
#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/TestAnswerer.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Database.h"
#include "presentation/music/MusicFolders.h"
#include "presentation/music/RecordingsCatalogue.h"
#include "presentation/music/RecordingsGrid.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <memory>

namespace {

const int TreeFiles = 10000;
const int TreeFolders = 500;
const int CatalogueFiles = 2000; // of the tree's files, recordings the catalogue names
const int BigFolderFiles = 2000;

void Touch(const QString &path) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.close();
}

struct Recordings {
    QTemporaryDir dir;
    Database db;
    QString base, bigFolder;
    QList<DanceMusic> recorded;
    QList<DanceLine> danceLines;
    QStringList filePaths;
    double walkMs = 0;

    Recordings() {
        const QString path = dir.path() + QStringLiteral("/Large.mdb");
        CopyLargeCatalogue(path);
        db.open(path);
        base = dir.path() + QStringLiteral("/Music/");
        buildTree();
        buildBigFolder();
        BaseFolder = base;
        walkMs = plainWalkMs();
        recorded = RecordedDances(db, SepDot);
        danceLines = DanceLinesOf(recorded, SepDot);
        filePaths = BuildRecordingFileList(ScanHooks());
    }

    // The catalogue's first files (by their lines) under Tunes\<rhythm>\, the
    // rest in album folders, 20 to a folder on average.
    void buildTree() {
        const QStringList lines = DanceListLines(RecordedDances(db, SepDot), SepDot);
        QSet<QString> made, folders;
        int files = 0;
        for (const QString &line : lines) {
            if (files >= CatalogueFiles) break;
            if (!line.startsWith(QLatin1Char(' '))) continue; // a CD
            QString rel = line.mid(1, line.indexOf(QLatin1Char('|')) - 1);
            if (!rel.startsWith(QLatin1String("Tunes\\")) || made.contains(FoldUpper(rel))) continue;
            made.insert(FoldUpper(rel));
            rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
            const QString folder = rel.left(rel.lastIndexOf(QLatin1Char('/')));
            if (!folders.contains(folder)) {
                QDir().mkpath(base + folder);
                folders.insert(folder);
            }
            Touch(base + rel);
            ++files;
        }
        const int albums = TreeFolders - int(folders.size());
        const int perAlbum = (TreeFiles - files) / albums;
        int extra = (TreeFiles - files) % albums;
        for (int a = 0; a < albums; ++a) {
            const QString folder = base + QStringLiteral("Albums/Band %1/Album %2/").arg(a / 10).arg(a, 3, 10, QLatin1Char('0'));
            QDir().mkpath(folder);
            const int n = perAlbum + (extra-- > 0 ? 1 : 0);
            for (int t = 0; t < n; ++t) Touch(folder + QStringLiteral("%1 Track of album %2.mp3").arg(t + 1, 2, 10, QLatin1Char('0')).arg(a));
        }
    }

    // A folder of 2,000 tunes outside the tree, with an order file holding
    // them in reverse and its CD details line.
    void buildBigFolder() {
        bigFolder = dir.path() + QStringLiteral("/Big/");
        QDir().mkpath(bigFolder);
        QStringList order{QStringLiteral("CDinfo:|Big Box|The Band|Folk Records|FR 1|")};
        for (int i = BigFolderFiles; i >= 1; --i) {
            const QString name = QStringLiteral("Tune %1 of the big box.mp3").arg(i, 4, 10, QLatin1Char('0'));
            Touch(bigFolder + name);
            order.append(name);
        }
        WriteFolderOrder(bigFolder, order);
    }

    // Best of five plain walks of the tree, counting its files.
    double plainWalkMs() const {
        double best = 1e9;
        for (int k = 0; k < 5; ++k) {
            QElapsedTimer t;
            t.start();
            QDirIterator it(base, QDir::Files, QDirIterator::Subdirectories);
            int n = 0;
            while (it.hasNext()) {
                it.next();
                ++n;
            }
            benchmark::DoNotOptimize(n);
            best = std::min(best, double(t.nsecsElapsed()) / 1e6);
        }
        return best;
    }
};

Recordings &TheRecordings() {
    static Recordings r;
    return r;
}

// What a refresh of the Recordings page computes before its grid is filled.
void BM_RefreshDets(benchmark::State &state) {
    Recordings &r = TheRecordings();
    // The log open, as in the program, so the walk's lines cost what they do there.
    const QString dataFolder = DataFolder;
    DataFolder = r.dir.path() + QLatin1Char('/');
    ResetLog();
    WriteLog(QStringLiteral("START"));
    QElapsedTimer t;
    qint64 ns = 0;
    qsizetype rows = 0;
    for (auto _ : state) {
        t.start();
        const QStringList paths = BuildRecordingFileList(ProgramScanHooks());
        QList<DanceLine> lines = RecordedDanceLines(r.db, SepDot);
        SortDanceLines(lines);
        const QList<RecRow> collated = CollateRecordings(lines, paths, CollateOptions());
        ns += t.nsecsElapsed();
        rows = collated.size();
        benchmark::DoNotOptimize(collated);
    }
    WriteLog(QStringLiteral("END"));
    DataFolder = dataFolder;
    const double ms = double(ns) / 1e6 / double(state.iterations());
    state.counters["files"] = double(r.filePaths.size());
    state.counters["dance_lines"] = double(r.danceLines.size());
    state.counters["rows"] = double(rows);
    state.counters["walk_ms"] = r.walkMs;
    state.counters["x_walk"] = ms / r.walkMs;
}
BENCHMARK(BM_RefreshDets)->Unit(benchmark::kMillisecond);

// Each part of the refresh on its own.
void BM_RefreshWalk(benchmark::State &state) {
    TheRecordings();
    for (auto _ : state) benchmark::DoNotOptimize(BuildRecordingFileList(ScanHooks()));
}
BENCHMARK(BM_RefreshWalk)->Unit(benchmark::kMillisecond);

void BM_RefreshReadDances(benchmark::State &state) {
    Recordings &r = TheRecordings();
    for (auto _ : state) benchmark::DoNotOptimize(RecordedDances(r.db, SepDot));
    state.counters["dances"] = double(r.recorded.size());
}
BENCHMARK(BM_RefreshReadDances)->Unit(benchmark::kMillisecond);

// Each line folded once for the sort: first checked against a sort that
// folds both texts at every comparison, on this catalogue.
void BM_RefreshDanceLines(benchmark::State &state) {
    Recordings &r = TheRecordings();
    QList<DanceLine> plain = r.danceLines;
    std::sort(plain.begin(), plain.end(), [](const DanceLine &a, const DanceLine &b) {
        int c = CompareText(a.place, b.place);
        if (c == 0) c = CompareText(a.text().mid(a.place.size()), b.text().mid(b.place.size()));
        return c != 0 ? c < 0 : a.text() < b.text();
    });
    for (qsizetype i = 0; i < plain.size(); ++i)
        if (plain[i].text() != r.danceLines[i].text()) {
            state.SkipWithError("the lines are not in the order of the plain sort");
            return;
        }
    for (auto _ : state) benchmark::DoNotOptimize(DanceLinesOf(r.recorded, SepDot));
}
BENCHMARK(BM_RefreshDanceLines)->Unit(benchmark::kMillisecond);

// What the refresh reads: the lines made as the rows come, not sorted.
void BM_RefreshReadDanceLines(benchmark::State &state) {
    Recordings &r = TheRecordings();
    for (auto _ : state) benchmark::DoNotOptimize(RecordedDanceLines(r.db, SepDot));
}
BENCHMARK(BM_RefreshReadDanceLines)->Unit(benchmark::kMillisecond);

void BM_RefreshSortDanceLines(benchmark::State &state) {
    Recordings &r = TheRecordings();
    const QList<DanceLine> read = RecordedDanceLines(r.db, SepDot);
    for (auto _ : state) {
        state.PauseTiming();
        QList<DanceLine> lines = read;
        lines.detach();
        state.ResumeTiming();
        SortDanceLines(lines);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_RefreshSortDanceLines)->Unit(benchmark::kMillisecond);

void BM_RefreshCollate(benchmark::State &state) {
    Recordings &r = TheRecordings();
    for (auto _ : state) benchmark::DoNotOptimize(CollateRecordings(r.danceLines, r.filePaths, CollateOptions()));
}
BENCHMARK(BM_RefreshCollate)->Unit(benchmark::kMillisecond);

// The twin: a plain QDirIterator walk of the same tree.
void BM_PlainDirWalk(benchmark::State &state) {
    Recordings &r = TheRecordings();
    for (auto _ : state) {
        QDirIterator it(r.base, QDir::Files, QDirIterator::Subdirectories);
        int n = 0;
        while (it.hasNext()) {
            it.next();
            ++n;
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_PlainDirWalk)->Unit(benchmark::kMillisecond);

// A keystroke in the search box: the last scan collated again with the text.
void BM_SearchKeystroke(benchmark::State &state) {
    Recordings &r = TheRecordings();
    CollateOptions options;
    options.search = QStringLiteral("Merry");
    qsizetype rows = 0;
    for (auto _ : state) {
        const QList<RecRow> collated = CollateRecordings(r.danceLines, r.filePaths, options);
        rows = collated.size();
        benchmark::DoNotOptimize(collated);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

// Scan's matching of every dance (ordered as Scan reads them) against the
// file list, adding every first match.
void BM_ScanMatch(benchmark::State &state) {
    Recordings &r = TheRecordings();
    const QList<DanceMusic> dances = DancesForScan(r.db);
    int attached = 0;
    for (auto _ : state) {
        attached = 0;
        const ScanIndex index(RecordingFileList);
        ScanMatch(dances, index, SepDot, {}, [&](const DanceMusic &, const QString &music) {
            benchmark::DoNotOptimize(music);
            ++attached;
        });
    }
    state.counters["dances"] = double(dances.size());
    state.counters["attached"] = attached;
}
BENCHMARK(BM_ScanMatch)->Unit(benchmark::kMillisecond);

// Listing a folder of 2,000 files whose order file already holds them.
void BM_ListMusicFolder(benchmark::State &state) {
    Recordings &r = TheRecordings();
    qsizetype rows = 0;
    for (auto _ : state) {
        const FolderListing listing = ListMusicFolder(r.bigFolder);
        rows = listing.merge.rows.size();
        benchmark::DoNotOptimize(listing);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ListMusicFolder)->Unit(benchmark::kMillisecond);

// The same with one file new to the order, so the order file is rewritten.
void BM_ListMusicFolderNewFile(benchmark::State &state) {
    Recordings &r = TheRecordings();
    const QStringList order = ReadFolderOrder(r.bigFolder);
    QStringList without = order;
    without.removeLast();
    for (auto _ : state) {
        state.PauseTiming();
        WriteFolderOrder(r.bigFolder, without);
        state.ResumeTiming();
        const FolderListing listing = ListMusicFolder(r.bigFolder);
        if (!listing.merge.changed) state.SkipWithError("the order file was not rewritten");
        benchmark::DoNotOptimize(listing);
    }
    WriteFolderOrder(r.bigFolder, order);
}
BENCHMARK(BM_ListMusicFolderNewFile)->Unit(benchmark::kMillisecond);

// The main window's own refresh, the grid filled with every row (read
// back, as opening the page does), and a search keystroke refilling it;
// and the refresh with the page hidden, as at start-up, whose sort and
// collate wait for the page.
struct Page {
    std::unique_ptr<TOrgForm> form;
    TestAnswerer answerer;

    Page() {
        TestAnswerer::onUnscripted = [](const QString &) {};
        Recordings &r = TheRecordings();
        if (!OpenCatalogueAsTheWindowDoes(r.dir.path() + QLatin1Char('/'), QStringLiteral("Large.mdb"),
                                          "RFolder=" + r.base.toUtf8() + "\r\n"))
            return;
        form = std::make_unique<TOrgForm>();
        OrgForm = form.get();
        form->NoEvaluation = true;
        form->SetRFolder();
    }
};

Page &ThePage() {
    static Page *p = new Page;
    return *p;
}

void BM_RefreshDetsWindow(benchmark::State &state) {
    Page &p = ThePage();
    if (!p.form) {
        state.SkipWithError("the catalogue did not open");
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        p.form->RefreshDets(nullptr, true);
        rows = p.form->RecGrid->rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RefreshDetsWindow)->Unit(benchmark::kMillisecond);

void BM_RefreshDetsWindowHidden(benchmark::State &state) {
    Page &p = ThePage();
    if (!p.form) {
        state.SkipWithError("the catalogue did not open");
        return;
    }
    for (auto _ : state) p.form->RefreshDets(nullptr, true);
    state.counters["rows"] = p.form->RecGrid->rowCount();
}
BENCHMARK(BM_RefreshDetsWindowHidden)->Unit(benchmark::kMillisecond);

void BM_SearchKeystrokeWindow(benchmark::State &state) {
    Page &p = ThePage();
    if (!p.form) {
        state.SkipWithError("the catalogue did not open");
        return;
    }
    p.form->RefreshDets(nullptr, true);
    const QStringList typed{QStringLiteral("Mer"), QStringLiteral("Merr")};
    int k = 0;
    // The text changed refills the grid, as a keystroke does.
    int rows = 0;
    for (auto _ : state) {
        p.form->Searcher->setText(typed[k++ % 2]);
        rows = p.form->RecGrid->rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_SearchKeystrokeWindow)->Unit(benchmark::kMillisecond);

} // namespace
