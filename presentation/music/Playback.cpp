#include "presentation/music/Playback.h"

#include "base/Cp1252.h"
#include "core/dances/DanceShow.h"
#include "core/dances/MusicText.h"
#include "core/services/PlaybackClock.h"
#include "platform/shell/PlainFiles.h"

#include <QFileInfo>

bool Playing = false;
qint64 PlayLength = 0;
bool RecordedAsked = false;
bool MusicDialogActive = false;
FullScreenPlaybackHooks FullScreenPlayback;

void ResetPlaybackState() {
    Playing = false;
    PlayLength = 0;
    RecordedAsked = false;
    MusicDialogActive = false;
}

const QString NotPlayable = QStringLiteral("\rNot a plain file, so it is not played.");

namespace {

PlayRoute refuse(PlayRoute route, const QString &message, int helpContext = 0) {
    route.kind = PlayRoute::Refused;
    route.message = message;
    route.helpContext = helpContext;
    return route;
}

} // namespace

QString ResolvePathNoCase(const QString &path) {
    if (path.isEmpty()) return QString();
    if (QFileInfo::exists(path)) return path;
    const bool rooted = path.startsWith(QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString found = rooted ? QStringLiteral("/") : QString();
    for (const QString &part : parts) {
        found = FindFileNoCase(found, part);
        if (!QFileInfo::exists(found)) return QString();
    }
    return found;
}

PlayRoute ChoosePlayRoute(const PlaySource &source) {
    PlayRoute route;
    route.playFile = source.playFile;
    if (source.recordingsPage) {
        route.playFile = source.recEntry;
        const qsizetype at = source.recEntry.indexOf(QLatin1String(", track "));
        if (at >= 0) {
            route.cdTrack = true;
            int track = -1;
            if (!ParseNumberText(source.recEntry.mid(at + 8, 9), &track)) track = -1;
            route.track = track;
        } else {
            route.playFile = source.recFolder + source.recEntry;
        }
    }
    route.midFile = FoldUpper(route.playFile).endsWith(QLatin1String(".MID"));

    if (route.playFile.isEmpty()) return refuse(route, QStringLiteral("No recording specified"));
    QString f = route.playFile;
    if (!route.cdTrack && route.playFile.contains(QLatin1Char('.'))) {
        f = LocationPath(route.playFile, source.baseFolder);
        const QString found = source.resolve(f);
        if (found.isEmpty()) return refuse(route, f + QStringLiteral("\rFile not found."));
        // A FIFO or a device under a recording's name would hang whatever reads it.
        if (!IsPlainFile(found)) return refuse(route, found + NotPlayable);
        f = found;
    } else {
        route.cdTrack = true;
        if (!source.recordingsPage) {
            const QString line = source.currentMusicLine.section(QLatin1Char('\r'), 0, 0);
            const QString track = TrackOfLine(line, source.sep);
            if (track.isEmpty())
                return refuse(route,
                              QStringLiteral("No track specified.  If it's not a CD, it needs a file name as part "
                                             "of the Location field."),
                              58110);
            if (!ParseNumberText(track, &route.track))
                return refuse(route, QStringLiteral("Non-numeric track:\r") + track);
        }
    }
    route.path = f;

    // MIDI: libmpv cannot decode it, so the desktop's program plays it.
    if (route.midFile) {
        route.kind = PlayRoute::Desktop;
        return route;
    }
    if (!source.intPlayer) {
        if (route.cdTrack) {
            const QString cda = source.resolve(f + QStringLiteral("/Track") +
                                               QStringLiteral("%1").arg(route.track, 2, 10, QLatin1Char('0')) +
                                               QStringLiteral(".cda"));
            if (!cda.isEmpty()) route.path = cda;
        }
        route.kind = PlayRoute::External;
        return route;
    }
    if (route.cdTrack && (route.track < 0 || route.track > 255))
        return refuse(route, QStringLiteral("Cannot play this CD track."));
    route.kind = PlayRoute::Internal;
    return route;
}

QString FolderOfGridRow(const QStringList &firstCells, int row) {
    const QString header = QStringLiteral("In folder ");
    for (int r = std::min(row, int(firstCells.size()) - 1); r >= 0; --r) {
        if (!firstCells[r].contains(header)) continue;
        QString folder = firstCells[r].mid(header.size());
        if (folder == QLatin1String("[Root]")) return QString();
        if (!folder.endsWith(QLatin1Char('\\'))) folder += QLatin1Char('\\');
        return folder;
    }
    return QString();
}

QString MarkKey(const QString &playFile, const QString &baseFolder) {
    QString key = playFile;
    key.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QString base = baseFolder;
    base.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!base.isEmpty() && key.startsWith(base, Qt::CaseInsensitive)) key = key.mid(base.size());
    return key;
}

QString FormatMark(qint64 positionMs) {
    if (positionMs < 1000) return QString();
    const qint64 seconds = positionMs / 1000;
    return FormatMinSec(int(seconds / 60), int(seconds % 60));
}
