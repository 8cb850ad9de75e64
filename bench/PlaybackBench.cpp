// Starting a recording: the player's Open and Play (what the Play button
// does once it knows the file) on a generated 3-minute WAV with libmpv's
// silent output, against a bare libmpv "loadfile" and unpause in the same
// run. Target: a mean start under 100 ms; the worst start and the ratio to
// bare libmpv are reported as counters.

#include "platform/media/MpvHandle.h"
#include "platform/media/MyPlayer.h"
#include "platform/media/ToneWav.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <mpv/client.h>

namespace {

// A 3-minute WAV of a 440 Hz tone.
const QString &LongWav() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("long.wav"));
        WriteToneWav(file, 180);
        return file;
    }();
    return path;
}

void ReportTimes(benchmark::State &state, double totalMs, double worstMs, int starts) {
    state.counters["mean_ms"] = totalMs / starts;
    state.counters["worst_ms"] = worstMs;
}

double g_bareMeanMs = 0;

void BM_BareLibmpvStart(benchmark::State &state) {
    mpv_handle *h = MakeMpvHandle(QStringLiteral("null"), true);
    const QByteArray file = LongWav().toUtf8();
    double total = 0, worst = 0;
    int starts = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        mpv_set_property_string(h, "pause", "yes");
        const char *load[] = {"loadfile", file.constData(), "replace", nullptr};
        mpv_command(h, load);
        while (mpv_wait_event(h, 5)->event_id != MPV_EVENT_PLAYBACK_RESTART) {
        }
        mpv_set_property_string(h, "pause", "no");
        const double ms = clock.nsecsElapsed() / 1e6;
        total += ms, worst = std::max(worst, ms), ++starts;
    }
    mpv_terminate_destroy(h);
    g_bareMeanMs = total / starts;
    ReportTimes(state, total, worst, starts);
}
BENCHMARK(BM_BareLibmpvStart)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_PlayerStart(benchmark::State &state) {
    TMyPlayer player(nullptr, QStringLiteral("null"));
    player.FileName = LongWav();
    double total = 0, worst = 0;
    int starts = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        player.Open();
        player.Play();
        const double ms = clock.nsecsElapsed() / 1e6;
        total += ms, worst = std::max(worst, ms), ++starts;
    }
    ReportTimes(state, total, worst, starts);
    if (g_bareMeanMs > 0) state.counters["ratio_to_bare"] = total / starts / g_bareMeanMs;
}
BENCHMARK(BM_PlayerStart)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
