// Starting a recording: the player's Open and Play (what the Play button
// does once it knows the file) on a generated 3-minute WAV with libmpv's
// silent output, against a bare libmpv "loadfile" and unpause in the same
// run. Target: a mean start under 100 ms; the worst start and the ratio to
// bare libmpv are reported as counters.

#include "platform/media/MpvHandle.h"
#include "platform/media/MyPlayer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <cmath>
#include <mpv/client.h>

namespace {

// A 3-minute 16-bit mono 44.1 kHz WAV of a 440 Hz tone.
const QString &LongWav() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("long.wav"));
        const int rate = 44100, samples = rate * 180;
        QByteArray data(samples * 2, Qt::Uninitialized);
        for (int i = 0; i < samples; ++i)
            qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * 440 * i / rate)), data.data() + 2 * i);
        QByteArray head = "RIFF....WAVEfmt ";
        auto put32 = [&head](quint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); head += b; };
        auto put16 = [&head](quint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); head += b; };
        put32(16), put16(1), put16(1), put32(rate), put32(rate * 2), put16(2), put16(16);
        head += "data";
        put32(quint32(data.size()));
        qToLittleEndian<quint32>(quint32(head.size() - 8 + data.size()), head.data() + 4);
        QFile out(file);
        if (out.open(QIODevice::WriteOnly)) out.write(head + data);
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
