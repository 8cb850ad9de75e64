// The maintainer's copy between machines on a generated tree (5,000 files in
// 200 folders) after 50 files changed, beside a plain walk of both trees with
// stat; and the release on the large catalogue beside VACUUM INTO alone.

#include "LargeCatalogue.h"

#include "platform/sqlite/Database.h"
#include "platform/sqlite/JetSql.h"
#include "publishing/maintainer/Release.h"
#include "publishing/maintainer/Sync.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/stat.h>

namespace {

struct Trees {
    QTemporaryDir dir;
    MaintainerConfig c;
    QString main, lap;
    int round = 0;
    Trees() {
        main = dir.path() + "/main/";
        lap = dir.path() + "/lap/";
        for (int f = 0; f < 200; ++f) {
            const QString folder = main + QString("Work/F%1/").arg(f);
            QDir().mkpath(folder);
            for (int n = 0; n < 25; ++n) {
                QFile file(folder + QString("file%1.txt").arg(n));
                file.open(QIODevice::WriteOnly);
                file.write(QByteArray(200 + n, 'x'));
            }
        }
        QDir().mkpath(lap);
        c.Places = {{"main PC", main, false}, {"lap-top", lap, false}};
        c.WorkingFolders = {"Work/"};
        c.MailProgram = "no-such-mail-program";
        run();
    }
    SyncOutcome run() { return RunSync(c, SyncDirection{"main PC", "lap-top", false}, SyncHooks{}); }
    void change50() {
        ++round;
        for (int i = 0; i < 50; ++i) {
            QFile file(main + QString("Work/F%1/file%2.txt").arg(i * 4).arg(i % 25));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(300 + round % 7 + i, 'y'));
        }
    }
};

Trees &trees() {
    static Trees t;
    return t;
}

void SyncAfter50Changes(benchmark::State &state) {
    Trees &t = trees();
    for (auto _ : state) {
        state.PauseTiming();
        t.change50();
        state.ResumeTiming();
        const SyncOutcome out = t.run();
        if (out.copied != 50) state.SkipWithError("not 50 copied");
    }
}
BENCHMARK(SyncAfter50Changes)->Unit(benchmark::kMillisecond);

void PlainWalkOfBothTrees(benchmark::State &state) {
    Trees &t = trees();
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString &root : {t.main, t.lap}) {
            QDirIterator it(root, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                struct stat st;
                if (::stat(QFile::encodeName(it.next()).constData(), &st) == 0) total += st.st_size;
            }
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(PlainWalkOfBothTrees)->Unit(benchmark::kMillisecond);

struct Large {
    QTemporaryDir dir;
    QString path;
    Large() {
        path = dir.path() + "/Quillary.mdb";
        CopyLargeCatalogue(path);
        QDir().mkpath(dir.path() + "/prog/Install");
        QFile program(dir.path() + "/prog/quillary");
        program.open(QIODevice::WriteOnly);
        program.write("program");
    }
};

Large &large() {
    static Large l;
    return l;
}

void ReleaseOfLargeCatalogue(benchmark::State &state) {
    Large &l = large();
    Database working;
    working.open(l.path);
    MaintainerConfig c;
    c.ReleaseFiles.clear();
    ReleaseInput in;
    in.programFolder = l.dir.path() + "/prog/";
    in.programFile = in.programFolder + "quillary";
    in.today = QDate(2026, 12, 6);
    in.separator = QChar(0x00B7);
    for (auto _ : state) benchmark::DoNotOptimize(MakeRelease(working, c, in).dances);
}
BENCHMARK(ReleaseOfLargeCatalogue)->Unit(benchmark::kMillisecond);

void VacuumIntoAlone(benchmark::State &state) {
    Large &l = large();
    Database working;
    working.open(l.path);
    const QString target = l.dir.path() + "/copy.mdb";
    for (auto _ : state) {
        QFile::remove(target);
        working.execRaw("VACUUM INTO " + DoubleQuotes(target));
    }
}
BENCHMARK(VacuumIntoAlone)->Unit(benchmark::kMillisecond);

} // namespace
