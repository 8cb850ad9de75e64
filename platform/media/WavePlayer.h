#pragma once
// Plays short sound files without waiting, beside (not through) the music
// player. Replaceable, so that tests see what would be played.

#include <QString>

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

struct mpv_handle;

// A small libmpv handle without video. With no audio device, or a sound that
// cannot be played, it only logs.
class MpvWavePlayer : public WaveSink {
public:
    // audioOutput: mpv's "ao" option; empty for its default ("null" plays silently).
    explicit MpvWavePlayer(const QString &audioOutput = QString());
    ~MpvWavePlayer() override;
    MpvWavePlayer(const MpvWavePlayer &) = delete;
    MpvWavePlayer &operator=(const MpvWavePlayer &) = delete;

    void play(const QString &path) override;
    // Waits for the sound started last to end; true when it played to its end.
    bool waitForEnd(int timeoutMs);

private:
    bool ready();
    // Handles the next event (logging a sound that failed); gives its id.
    int nextEvent(double timeoutSeconds);

    QString audioOutput;
    mpv_handle *handle = nullptr;
    bool failed = false;
    int lastEndReason = -1;
};
