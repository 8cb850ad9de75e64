#include "platform/media/WavePlayer.h"

#include "platform/media/MpvHandle.h"

#include "base/Log.h"

#include <QElapsedTimer>
#include <mpv/client.h>

namespace {
WaveSink *g_sink = nullptr;
} // namespace

WaveSink &CurrentWaveSink() {
    static MpvWavePlayer shared;
    return g_sink ? *g_sink : shared;
}

void SetWaveSink(WaveSink *sink) { g_sink = sink; }

MpvWavePlayer::MpvWavePlayer(const QString &audioOutput) : audioOutput(audioOutput) {}

MpvWavePlayer::~MpvWavePlayer() {
    if (handle) mpv_terminate_destroy(handle);
}

bool MpvWavePlayer::ready() {
    if (handle) return true;
    if (failed) return false;
    handle = MakeMpvHandle(audioOutput, false);
    if (!handle) {
        failed = true;
        return false;
    }
    return true;
}

int MpvWavePlayer::nextEvent(double timeoutSeconds) {
    mpv_event *event = mpv_wait_event(handle, timeoutSeconds);
    if (event->event_id == MPV_EVENT_END_FILE) {
        const auto *end = static_cast<mpv_event_end_file *>(event->data);
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            WriteLog(QStringLiteral("Sound could not be played: ") + QString::fromUtf8(mpv_error_string(end->error)));
        lastEndReason = end->reason;
    }
    return event->event_id;
}

void MpvWavePlayer::play(const QString &path) {
    if (!ready()) return;
    while (nextEvent(0) != MPV_EVENT_NONE) {
    }
    const QByteArray file = path.toUtf8();
    const char *command[] = {"loadfile", file.constData(), "replace", nullptr};
    const int rc = mpv_command_async(handle, 0, command);
    if (rc < 0) WriteLog(QStringLiteral("Sound could not be played: ") + QString::fromUtf8(mpv_error_string(rc)));
}

bool MpvWavePlayer::waitForEnd(int timeoutMs) {
    if (!handle) return false;
    QElapsedTimer clock;
    clock.start();
    bool started = false;
    while (clock.elapsed() < timeoutMs) {
        const int id = nextEvent(0.05);
        if (id == MPV_EVENT_START_FILE) started = true;
        else if (id == MPV_EVENT_END_FILE && started) return lastEndReason == MPV_END_FILE_REASON_EOF;
    }
    return false;
}
