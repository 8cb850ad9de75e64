// Help and the system report.
// Targets: showing a help topic, the help window made on first use, under
// 100 ms; building the system report over a 5 MB log under 200 ms, beside
// reading the same files plainly for the ratio.

#include "base/AppState.h"
#include "base/Log.h"
#include "core/help/HelpHook.h"
#include "core/help/SystemReport.h"
#include "core/startup/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void ShowHelpTopicFirstUse(benchmark::State &state) {
    for (auto _ : state) {
        THookHelpSystem hook;
        hook.ShowContext(30000);
        benchmark::DoNotOptimize(hook.Window());
    }
}

struct ReportFolder {
    QTemporaryDir dir;
    QString folder;
    ReportFolder() {
        folder = dir.path() + '/';
        QFile ini(folder + "Quillary.ini");
        ini.open(QIODevice::WriteOnly);
        for (int i = 0; i < 400; ++i) ini.write("Key" + QByteArray::number(i) + "=some value\r\n");
        QFile log(folder + "Log.Txt");
        log.open(QIODevice::WriteOnly);
        const QByteArray line = "14.05.09  Show Dance: A Dance Title With Some Words, Reel, Longways\r\n";
        while (log.size() < 5 * 1024 * 1024) log.write(line);
    }
};

void BuildReport5MBLog(benchmark::State &state) {
    ReportFolder f;
    DataFolder = f.folder;
    IniFile = std::make_unique<TIniFile>(f.folder + "Quillary.ini");
    for (auto _ : state) benchmark::DoNotOptimize(ReportLines(GatherReportSources()));
    IniFile.reset();
    DataFolder.clear();
}

void ReadSameFilesPlainly(benchmark::State &state) {
    ReportFolder f;
    for (auto _ : state) {
        for (const char *name : {"Quillary.ini", "Log.Txt"}) {
            QFile file(f.folder + name);
            file.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(QString::fromLatin1(file.readAll()).split("\r\n"));
        }
    }
}

} // namespace

BENCHMARK(ShowHelpTopicFirstUse)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildReport5MBLog)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadSameFilesPlainly)->Unit(benchmark::kMillisecond);
