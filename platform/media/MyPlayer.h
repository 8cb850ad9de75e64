#pragma once
// The program's media player: one recording at a time (a sound file or a CD
// track) over libmpv, with the modes and commands the play panel and the
// full-screen display drive. No window: the end of play comes back through
// OnNotify, queued on the GUI thread.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

struct mpv_handle;
struct mpv_event;

enum TMPDeviceTypes : quint8 { dtAutoSelect = 0, dtCDAudio = 2 };

// Modes as GetMode gives them.
enum PlayerMode : int { ModeNotReady = 0, ModeStopped = 1, ModePlaying = 2, ModeSeeking = 4, ModePaused = 5 };

// The length of an MP3 file in milliseconds, counting MPEG-1 layer III frame
// headers at 26 ms each; 0 when none is found (or the file cannot be read, or
// is no plain file). Only the blocks holding the headers are read, a bounded
// number of them.
qint64 Mp3Length(const QString &fileName);
qint64 Mp3LengthOfDescriptor(int fd);
qint64 Mp3LengthOfBytes(const QByteArray &bytes);

// Where a CD track lies, from the start times of the disc's chapters (one per
// track, track 1 first) and the disc's length, all in milliseconds.
struct CdTrackSpan {
    bool onDisc = false;
    qint64 startMs = 0;
    qint64 endMs = -1; // the next track's start; -1 plays to the disc's end
    qint64 lengthMs = 0;
};
CdTrackSpan CdTrackSpanOf(const QList<qint64> &chapterStartsMs, qint64 discEndMs, int track);

class TMyPlayer : public QObject {
public:
    // audioOutput: libmpv's "ao"; empty keeps its default.
    explicit TMyPlayer(QObject *parent = nullptr, const QString &audioOutput = QString());
    ~TMyPlayer() override;

    TMPDeviceTypes DeviceType = dtAutoSelect;
    QString FileName;
    // Called once at the real end of play (the file's end or the end
    // position) and when playback fails; never for Pause, Seek or Close.
    std::function<void(TMyPlayer *)> OnNotify;

    // Opens FileName (a CD for dtCDAudio), paused at its start. Only a plain
    // file (or a link to one) is opened, never a FIFO or a device. A failure
    // shows "Could not open file", the file and the reason, then abandons the
    // action silently.
    void Open();
    void Close();
    void StopAndClose();
    // Plays from the position (or the start position set), up to the end
    // position when one was set; both apply to this Play only.
    void Play();
    // The toggle: playing pauses, paused continues, stopped plays; gives the mode.
    int Pause();
    // Goes to the position (ms) and stops there.
    void Seek(qint64 positionMs);
    qint64 GetPosition();
    qint64 GetLength();
    int GetTracks();
    int GetMode();
    // 0: milliseconds (files); 10: tracks, minutes, seconds, frames (CD).
    // Positions and lengths are in milliseconds either way.
    int GetTimeFormat() const { return timeFormat; }
    void SetTimeFormat(int format) { timeFormat = format & 127; }
    // Speed in thousandths of normal; the pitch stays.
    void SetSpeed(int speed);
    // 0..100: the amplitude in percent.
    void SetVolume(int volume);
    void SetStartPos(qint64 positionMs);
    void SetEndPos(qint64 positionMs);
    QString ErrorMessage() const;
    bool IsOpen() const { return opened; }
    // The span of a track of the open CD.
    CdTrackSpan TrackSpan(int track);

private:
    bool ready();
    void drainEvents();
    void handleEvent(const mpv_event &event);
    void notifyEnd();
    // At the end (of the file or the end position) while playing: stopped, one notify.
    void checkEnd();
    // Handles events until the seek asked for lands (or the time is up).
    void waitForRestart(int limitMs);
    void command(std::initializer_list<const char *> args);

    QString audioOutput;
    mpv_handle *handle = nullptr;
    std::atomic_bool drainQueued{false};
    bool opened = false;
    int mode = ModeNotReady;
    bool useFrom = false, useTo = false;
    qint64 from = 0, to = 0;
    // Where the last Seek went: libmpv reports a paused file's old position
    // until it plays again.
    qint64 seekTarget = -1;

    int error = 0;
    QString refusal; // why the file was not opened
    int timeFormat = 0;
    qint64 mp3Length = 0;
};
