#pragma once
// Plays short sound files without waiting, beside (not through) the music
// player. Replaceable, so that tests see what would be played.

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class WaveSink {
public:
    virtual ~WaveSink() = default;
    // Starts the sound file and returns at once.
    virtual void play(const QString &path) = 0;
};

// The sink in use: the one installed, else the shared MpvWavePlayer.
WaveSink &CurrentWaveSink();
// Installs a sink (not owned); null restores the default.
void SetWaveSink(WaveSink *sink);
// While held, the sounds played wait to start and the sound library is not
// loaded: loading it takes the loader's lock for some 50 ms, which
// start-up would wait for at its next library or plug-in. Start-up holds
// them until it has ended.
void HoldSounds(bool hold);

struct mpv_handle;

// A small libmpv handle without video. With no audio device, or a sound that
// cannot be played, it only logs. The handle is made and each sound started
// on a thread of the player's own, so that playing never waits for the
// sound library to load.
class MpvWavePlayer : public WaveSink {
public:
    // audioOutput: mpv's "ao" option; empty for its default ("null" plays silently).
    explicit MpvWavePlayer(const QString &audioOutput = QString());
    ~MpvWavePlayer() override;
    MpvWavePlayer(const MpvWavePlayer &) = delete;
    MpvWavePlayer &operator=(const MpvWavePlayer &) = delete;

    void play(const QString &path) override;
    // Starts the sounds that waited while sounds were held.
    void releaseHeld() { release(); }
    // Whether a sound played has not been started yet.
    bool hasWaitingSounds();
    // Waits for the sound started last to end; true when it played to its end.
    bool waitForEnd(int timeoutMs);

private:
    void run();
    // Wakes the thread to look at the hold again.
    void release();
    // On the player's thread: the handle made, the sound started.
    void start(const QByteArray &file);
    // Handles the next event (logging a sound that failed); gives its id.
    int nextEvent(double timeoutSeconds);

    QString audioOutput;
    mpv_handle *handle = nullptr;
    bool failed = false;
    int lastEndReason = -1;

    std::mutex lock;                 // the queue and the flags
    std::condition_variable changed; // a sound queued, one started, or the end
    std::deque<QByteArray> queue;
    bool starting = false, stopping = false;
    bool waitedFor = false; // the sounds queued start even while held
    std::thread worker;
};
