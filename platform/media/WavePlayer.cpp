#include "platform/media/WavePlayer.h"

#include "platform/media/MpvHandle.h"
#include "platform/shell/PlainFiles.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <vector>
#include <mpv/client.h>
#include <unistd.h>

namespace {
WaveSink *g_sink = nullptr;
std::atomic<bool> g_held{false};
// Every wave player, for the end of a hold.
std::mutex g_playersLock;
std::vector<MpvWavePlayer *> g_players;

bool soundsHeld() {
    return g_held.load();
}

MpvWavePlayer &sharedPlayer() {
    static MpvWavePlayer shared;
    return shared;
}
} // namespace

WaveSink &CurrentWaveSink() {
    return g_sink ? *g_sink : sharedPlayer();
}

void HoldSounds(bool hold) {
    if (!g_held.exchange(hold) || hold) return;
    std::lock_guard<std::mutex> guard(g_playersLock);
    for (MpvWavePlayer *player : g_players)
        player->releaseHeld();
}

void SetWaveSink(WaveSink *sink) { g_sink = sink; }

MpvWavePlayer::MpvWavePlayer(const QString &audioOutput) : audioOutput(audioOutput) {
    std::lock_guard<std::mutex> guard(g_playersLock);
    g_players.push_back(this);
}

MpvWavePlayer::~MpvWavePlayer() {
    {
        std::lock_guard<std::mutex> guard(g_playersLock);
        g_players.erase(std::find(g_players.begin(), g_players.end(), this));
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    if (worker.joinable()) worker.join();
    if (handle) mpv_terminate_destroy(handle);
}

namespace {

// The log is written by the main thread only.
void logLater(const QString &line) {
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [line] { WriteLog(line); }, Qt::QueuedConnection);
}

} // namespace

int MpvWavePlayer::nextEvent(double timeoutSeconds) {
    mpv_event *event = mpv_wait_event(handle, timeoutSeconds);
    if (event->event_id == MPV_EVENT_END_FILE) {
        const auto *end = static_cast<mpv_event_end_file *>(event->data);
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            logLater(QStringLiteral("Sound could not be played: ") +
                     QString::fromUtf8(mpv_error_string(end->error)));
        lastEndReason = end->reason;
    }
    return event->event_id;
}

void MpvWavePlayer::play(const QString &path) {
    // libmpv reads numbers only under the "C" locale, which is set here on
    // the main thread rather than by the player's own.
    MpvNumericLocale();
    {
        std::lock_guard<std::mutex> guard(lock);
        queue.push_back(path.toUtf8());
        if (!worker.joinable()) worker = std::thread([this] { run(); });
    }
    changed.notify_all();
}

void MpvWavePlayer::release() {
    // Taken and let go so that the thread is either waiting or sees the
    // hold ended.
    { std::lock_guard<std::mutex> guard(lock); }
    changed.notify_all();
}

void MpvWavePlayer::run() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(
            guard, [this] { return stopping || (!queue.empty() && (!soundsHeld() || waitedFor)); });
        if (stopping) return;
        const QByteArray file = queue.front();
        queue.pop_front();
        if (queue.empty()) waitedFor = false;
        // Started without the lock, so that a sound queued meanwhile does not
        // wait for the library to load; nothing else touches the handle while
        // a sound is starting.
        starting = true;
        guard.unlock();
        start(file);
        guard.lock();
        starting = false;
        changed.notify_all();
    }
}

void MpvWavePlayer::start(const QByteArray &file) {
    if (failed) return;
    if (!handle) {
        QString failure;
        handle = MakeMpvHandle(audioOutput, false, &failure);
        if (!handle) {
            failed = true;
            logLater(failure);
            return;
        }
    }
    while (nextEvent(0) != MPV_EVENT_NONE) {
    }
    // Handed over by its descriptor, so that a FIFO or a device put in a
    // sound's place is never opened by libmpv.
    QString refusal;
    const int fd = OpenPlainFile(QString::fromUtf8(file), &refusal);
    if (fd < 0) {
        logLater(QStringLiteral("Sound could not be played: ") + refusal);
        return;
    }
    const QByteArray url = "fdclose://" + QByteArray::number(fd);
    const char *command[] = {"loadfile", url.constData(), "replace", nullptr};
    const int rc = mpv_command_async(handle, 0, command);
    if (rc < 0) {
        ::close(fd);
        logLater(QStringLiteral("Sound could not be played: ") +
                 QString::fromUtf8(mpv_error_string(rc)));
    }
}

bool MpvWavePlayer::hasWaitingSounds() {
    std::lock_guard<std::mutex> guard(lock);
    return !queue.empty() || starting;
}

bool MpvWavePlayer::waitForEnd(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    std::unique_lock<std::mutex> guard(lock);
    waitedFor = true; // started even while held: the caller waits anyway
    changed.notify_all();
    // The sounds queued are started first.
    if (!changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                          [this] { return queue.empty() && !starting; })) {
        waitedFor = false;
        return false;
    }
    waitedFor = false;
    if (!handle) return false;
    bool started = false;
    while (clock.elapsed() < timeoutMs) {
        const int id = nextEvent(0.05);
        if (id == MPV_EVENT_START_FILE) started = true;
        else if (id == MPV_EVENT_END_FILE && started) return lastEndReason == MPV_END_FILE_REASON_EOF;
    }
    return false;
}
