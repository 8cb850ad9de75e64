#include "platform/media/MyPlayer.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "platform/media/MpvHandle.h"
#include "platform/shell/PlainFiles.h"

#include <QElapsedTimer>
#include <cmath>
#include <cstring>
#include <mpv/client.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int NoMarker = 9999;
constexpr int BitrateTable[16] = {NoMarker, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, NoMarker};
constexpr int RateTable[4] = {44100, 48000, 32000, NoMarker};
constexpr int Block = 255;
// Some seven hours of frames; a quarter of a gigabyte read at most.
constexpr qint64 MaxBlocks = qint64(1) << 20;
// Our own error codes: libmpv gave no answer in time; the file is no plain file.
constexpr int TimedOut = -1000;
constexpr int NotPlainFile = -1001;

QByteArray number(double value) { return QByteArray::number(value, 'f', 3); }

} // namespace

namespace {

// The frames counted over any source of blocks: read(pos, block) fills the
// block with the bytes from pos on, false when it cannot. At most MaxBlocks
// are read, so a file of any size is measured in bounded time.
template <typename Read> qint64 CountFrames(qint64 size, Read read) {
    unsigned char block[Block];
    qint64 pos = 0, total = 0, blocks = 0;
    while (pos + Block < size && blocks++ < MaxBlocks && read(pos, block)) {
        const qint64 blockStart = pos;
        pos += Block;
        // Up to 252: byte i + 2 stays in the block; the two bytes after it
        // are read again at the start of the next block.
        for (int i = 0; i <= Block - 3; ++i) {
            const unsigned char *at = block + i;
            if (at[0] != 0xFF || (at[1] != 0xFB && at[1] != 0xFA)) continue;
            const int bitrate = BitrateTable[at[2] >> 4];
            const int rate = RateTable[(at[2] >> 2) & 3];
            if (bitrate == NoMarker || rate == NoMarker) continue;
            total += 26;
            pos = blockStart + i + 144000LL * bitrate / rate + 1;
            break;
        }
        pos -= 2;
    }
    return total;
}

} // namespace

qint64 Mp3LengthOfBytes(const QByteArray &bytes) {
    return CountFrames(bytes.size(), [&bytes](qint64 pos, unsigned char *block) {
        std::memcpy(block, bytes.constData() + pos, Block);
        return true;
    });
}

qint64 Mp3LengthOfDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    // Only the blocks where frame headers stand are read, never the whole file.
    return CountFrames(st.st_size, [fd](qint64 pos, unsigned char *block) {
        return ::pread(fd, block, Block, off_t(pos)) == Block;
    });
}

qint64 Mp3Length(const QString &fileName) {
    const int fd = OpenPlainFile(fileName);
    if (fd < 0) return 0;
    const qint64 ms = Mp3LengthOfDescriptor(fd);
    ::close(fd);
    return ms;
}

CdTrackSpan CdTrackSpanOf(const QList<qint64> &chapterStartsMs, qint64 discEndMs, int track) {
    CdTrackSpan span;
    if (track < 1 || track > chapterStartsMs.size()) return span;
    span.onDisc = true;
    span.startMs = chapterStartsMs[track - 1];
    span.endMs = track < chapterStartsMs.size() ? chapterStartsMs[track] : -1;
    span.lengthMs = (span.endMs < 0 ? discEndMs : span.endMs) - span.startMs;
    return span;
}

TMyPlayer::TMyPlayer(QObject *parent, const QString &audioOutput) : QObject(parent), audioOutput(audioOutput) {}

TMyPlayer::~TMyPlayer() {
    if (!handle) return;
    StopAndClose();
    mpv_set_wakeup_callback(handle, nullptr, nullptr);
    mpv_terminate_destroy(handle);
}

bool TMyPlayer::ready() {
    if (handle) return true;
    handle = MakeMpvHandle(audioOutput, true);
    if (!handle) return false;
    // At the end libmpv sets eof-reached and pauses; either change is looked at.
    mpv_observe_property(handle, 1, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(handle, 2, "pause", MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(
        handle,
        [](void *context) {
            auto *player = static_cast<TMyPlayer *>(context);
            if (player->drainQueued.exchange(true)) return;
            QMetaObject::invokeMethod(player, [player] { player->drainEvents(); }, Qt::QueuedConnection);
        },
        this);
    return true;
}

void TMyPlayer::command(std::initializer_list<const char *> args) {
    std::vector<const char *> list(args);
    list.push_back(nullptr);
    mpv_command(handle, list.data());
}

void TMyPlayer::drainEvents() {
    drainQueued = false;
    if (!handle) return;
    for (;;) {
        mpv_event *event = mpv_wait_event(handle, 0);
        if (event->event_id == MPV_EVENT_NONE) break;
        handleEvent(*event);
    }
}

void TMyPlayer::handleEvent(const mpv_event &event) {
    if (event.event_id == MPV_EVENT_PROPERTY_CHANGE || event.event_id == MPV_EVENT_PLAYBACK_RESTART) {
        checkEnd();
    } else if (event.event_id == MPV_EVENT_END_FILE) {
        const auto *end = static_cast<mpv_event_end_file *>(event.data);
        if (end->reason == MPV_END_FILE_REASON_ERROR && opened) {
            WriteLog(QStringLiteral("Playback failed: ") + QString::fromUtf8(mpv_error_string(end->error)));
            error = end->error;
            const bool wasPlaying = mode == ModePlaying || mode == ModePaused;
            opened = false;
            mode = ModeNotReady;
            if (wasPlaying) notifyEnd();
        }
    }
}

void TMyPlayer::checkEnd() {
    if (mode != ModePlaying) return;
    int atEnd = 0;
    mpv_get_property(handle, "eof-reached", MPV_FORMAT_FLAG, &atEnd);
    if (!atEnd) return;
    mode = ModeStopped;
    notifyEnd();
}

void TMyPlayer::notifyEnd() {
    if (OnNotify) OnNotify(this);
}

void TMyPlayer::Open() {
    if (opened) Close();
    mp3Length = 0;
    error = 0;
    refusal.clear();
    const bool cd = DeviceType == dtCDAudio;
    // A file is opened here and handed to libmpv by its descriptor: whatever
    // takes the name's place after the look (a FIFO, a device) never reaches
    // the player, and nothing blocks on it.
    const int fd = cd ? -1 : OpenPlainFile(FileName, &refusal);
    if (!cd && fd < 0) error = NotPlainFile;
    else if (!ready()) error = MPV_ERROR_UNINITIALIZED;
    if (error != 0) {
        if (fd >= 0) ::close(fd);
    } else {
        QByteArray path("cdda://");
        if (fd >= 0) {
            if (FoldUpper(FileName).contains(QLatin1String(".MP3"))) mp3Length = Mp3LengthOfDescriptor(fd);
            path = "fdclose://" + QByteArray::number(fd); // libmpv closes it
        }
        drainEvents(); // what the last file left behind
        mpv_set_property_string(handle, "pause", "yes");
        command({"loadfile", path.constData(), "replace"});
        QElapsedTimer clock;
        clock.start();
        const int limitMs = cd ? 30000 : 5000;
        error = TimedOut;
        while (clock.elapsed() < limitMs) {
            mpv_event *event = mpv_wait_event(handle, (limitMs - clock.elapsed()) / 1000.0);
            if (event->event_id == MPV_EVENT_PLAYBACK_RESTART) {
                error = 0;
                break;
            }
            if (event->event_id == MPV_EVENT_END_FILE) {
                const auto *end = static_cast<mpv_event_end_file *>(event->data);
                if (end->reason == MPV_END_FILE_REASON_ERROR) {
                    error = end->error;
                    break;
                }
            }
        }
        if (error == 0) {
            // With no sound device libmpv still starts the file, but has no
            // audio output: that file cannot be heard.
            char *ao = mpv_get_property_string(handle, "current-ao");
            if (!ao) error = MPV_ERROR_AO_INIT_FAILED;
            mpv_free(ao);
        }
        if (error != 0) command({"stop"});
    }
    if (error != 0) {
        mode = ModeNotReady;
        AbortMsg(QStringLiteral("Could not open file\r") + FileName + QLatin1Char('\r') + ErrorMessage());
    }
    opened = true;
    mode = ModeStopped;
    timeFormat = cd ? 10 : 0;
}

void TMyPlayer::Close() {
    if (!opened) return;
    command({"stop"});
    opened = false;
    mode = ModeNotReady;
    useFrom = useTo = false;
    seekTarget = -1;
}

void TMyPlayer::StopAndClose() {
    if (opened) Close();
}

void TMyPlayer::Play() {
    if (!opened) return;
    mpv_set_property_string(handle, "end", useTo ? number(to / 1000.0).constData() : "none");
    int atEnd = 0;
    mpv_get_property(handle, "eof-reached", MPV_FORMAT_FLAG, &atEnd);
    if (useFrom || atEnd) {
        // Paused until the seek lands: unpausing at the old end would end
        // again there.
        mode = ModeStopped;
        const QByteArray at = number(useFrom ? from / 1000.0 : 0.0);
        command({"seek", at.constData(), "absolute+exact"});
        waitForRestart(5000);
    }
    useFrom = useTo = false;
    seekTarget = -1;
    mode = ModePlaying;
    mpv_set_property_string(handle, "pause", "no");
}

void TMyPlayer::waitForRestart(int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < limitMs) {
        mpv_event *event = mpv_wait_event(handle, (limitMs - clock.elapsed()) / 1000.0);
        if (event->event_id == MPV_EVENT_PLAYBACK_RESTART || event->event_id == MPV_EVENT_NONE) return;
        handleEvent(*event);
        if (!opened) return;
    }
}

int TMyPlayer::Pause() {
    switch (GetMode()) {
    case ModePlaying:
    case ModeSeeking:
        mpv_set_property_string(handle, "pause", "yes");
        mode = ModePaused;
        break;
    case ModePaused:
        mode = ModePlaying;
        mpv_set_property_string(handle, "pause", "no");
        break;
    case ModeStopped:
        Play();
        break;
    default:
        break;
    }
    return GetMode();
}

void TMyPlayer::Seek(qint64 positionMs) {
    if (!opened) return;
    mode = ModeStopped;
    seekTarget = positionMs;
    const QByteArray at = number(positionMs / 1000.0);
    command({"seek", at.constData(), "absolute+exact"});
    mpv_set_property_string(handle, "pause", "yes");
}

qint64 TMyPlayer::GetPosition() {
    if (opened && mode == ModeStopped && seekTarget >= 0) return seekTarget;
    double seconds = 0;
    if (!opened || mpv_get_property(handle, "time-pos", MPV_FORMAT_DOUBLE, &seconds) < 0) return 0;
    return qint64(std::llround(seconds * 1000));
}

qint64 TMyPlayer::GetLength() {
    // The frames counted in an MP3 file, else libmpv's own figure.
    if (mp3Length > 0) return mp3Length;
    double seconds = 0;
    if (!opened || mpv_get_property(handle, "duration", MPV_FORMAT_DOUBLE, &seconds) < 0) return 0;
    return qint64(std::llround(seconds * 1000));
}

int TMyPlayer::GetTracks() {
    qint64 chapters = 0;
    if (!opened || mpv_get_property(handle, "chapters", MPV_FORMAT_INT64, &chapters) < 0) return 0;
    return int(chapters);
}

int TMyPlayer::GetMode() {
    if (!opened) return ModeNotReady;
    if (mode == ModePlaying) {
        int seeking = 0;
        mpv_get_property(handle, "seeking", MPV_FORMAT_FLAG, &seeking);
        if (seeking) return ModeSeeking;
    }
    return mode;
}

void TMyPlayer::SetSpeed(int speed) {
    if (!ready()) return;
    double value = std::clamp(speed / 1000.0, 0.01, 100.0);
    mpv_set_property(handle, "speed", MPV_FORMAT_DOUBLE, &value);
}

void TMyPlayer::SetVolume(int volume) {
    if (!ready()) return;
    // libmpv's volume is cubic: this gives an amplitude of volume percent.
    double value = 100.0 * std::cbrt(std::clamp(volume, 0, 100) / 100.0);
    mpv_set_property(handle, "volume", MPV_FORMAT_DOUBLE, &value);
}

void TMyPlayer::SetStartPos(qint64 positionMs) {
    from = positionMs;
    useFrom = true;
}

void TMyPlayer::SetEndPos(qint64 positionMs) {
    to = positionMs;
    useTo = true;
}

QString TMyPlayer::ErrorMessage() const {
    if (error == TimedOut) return QStringLiteral("The player gave no answer in time");
    if (error == NotPlainFile) return refusal;
    return QString::fromUtf8(mpv_error_string(error));
}

CdTrackSpan TMyPlayer::TrackSpan(int track) {
    QList<qint64> starts;
    const int count = GetTracks();
    for (int i = 0; i < count; ++i) {
        double seconds = 0;
        const QByteArray name = "chapter-list/" + QByteArray::number(i) + "/time";
        mpv_get_property(handle, name.constData(), MPV_FORMAT_DOUBLE, &seconds);
        starts.append(qint64(std::llround(seconds * 1000)));
    }
    return CdTrackSpanOf(starts, GetLength(), track);
}
