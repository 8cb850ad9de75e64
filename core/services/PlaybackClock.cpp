#include "core/services/PlaybackClock.h"

QString FormatMinSec(int minutes, int seconds) {
    return QString::number(minutes) + QLatin1Char(':') + QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0'));
}

ClockShow PlaybackClock(const ClockInput &in) {
    ClockShow out;
    out.elapsed = FormatMinSec(in.elapsedSeconds / 60, in.elapsedSeconds % 60);
    if (in.midFile) return out;

    const qint64 speed = in.speed > 0 ? in.speed : 100;
    const qint64 position = in.positionMs / 1000;
    int minutes, seconds;
    if (in.cdTrack) {
        minutes = in.trackMinutes;
        seconds = in.trackSeconds;
    } else {
        const qint64 atSpeed = in.playLengthMs / (speed * 10);
        minutes = int(atSpeed / 60);
        seconds = int(atSpeed % 60);
    }
    out.lengthShown = true;
    out.totalSeconds = minutes * 60 + seconds;
    out.total = FormatMinSec(minutes, seconds);
    if (out.totalSeconds == 0) return out;

    // A recording played faster takes less time: the position counts for
    // position x 100 / speed seconds of playing.
    const qint64 remaining =
        in.cdTrack ? qint64(out.totalSeconds) - in.elapsedSeconds : out.totalSeconds - position * 100 / speed;
    out.remainingShown = true;
    out.remainingSeconds = int(remaining);
    out.percent = int(position * 10000 / (speed * out.totalSeconds));
    if (in.cdTrack || in.positionMs <= in.playLengthMs)
        out.remaining = remaining < 0 ? QString() : FormatMinSec(int(remaining / 60), int(remaining % 60));
    else
        out.remaining = QStringLiteral("???");
    out.stopCd = in.cdTrack && remaining <= 0;
    return out;
}
