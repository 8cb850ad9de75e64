#pragma once
// Playback's state and its decisions without the window: which recording the
// Play button starts and how (the program's player, the desktop's program
// for MIDI, an external player), or which message stops it; the folder of a
// Recordings grid row; the start marks.

#include <QString>
#include <QStringList>
#include <functional>

// A recording is playing (or a MIDI file was handed to its program).
extern bool Playing;
// The length of the recording playing, in milliseconds (a CD track's too).
extern qint64 PlayLength;
// "Change this Event to use Recorded Music?" was answered or passed over in this run.
extern bool RecordedAsked;
// The Music dialog is up: the Music box's edits are its own then.
extern bool MusicDialogActive;

// Puts the above back to its start (tests).
void ResetPlaybackState();

// What the Play button has to go on.
struct PlaySource {
    // The Recordings page is in front: its row's entry (after moving up past
    // " and" rows) and the folder of that row (FolderOfGridRow).
    bool recordingsPage = false;
    QString recEntry;
    QString recFolder;
    // Otherwise: the play controls as loaded from the dance.
    QString playFile;
    QString currentMusicLine;
    QChar sep;
    QString baseFolder; // ends with "/"
    bool intPlayer = true;
    // Answers for a file-system path: the existing path (found part by part
    // ignoring case), or "" when there is none.
    std::function<QString(const QString &)> resolve;
};

struct PlayRoute {
    enum Kind { Refused, Internal, Desktop, External } kind = Refused;
    QString message;    // Refused: what to show
    int helpContext = 0;
    QString path;       // the file-system path to play or open
    QString playFile;   // PlayFile afterwards
    bool cdTrack = false;
    bool midFile = false;
    int track = -1;     // a CD track
};

// What follows the path of a file that is no plain file in the refusal.
extern const QString NotPlayable;

// Steps one to seven of starting playback, with no window: where the
// recording is and what plays it, or the message that stops the start. A
// file that is no plain file (a FIFO, a device, a folder; a link to a plain
// file counts as one) is refused, whatever plays it.
PlayRoute ChoosePlayRoute(const PlaySource &source);

// The existing path of a file-system path, found part by part ignoring case;
// "" when there is none.
QString ResolvePathNoCase(const QString &path);

// The folder of a Recordings grid row, from the first cells of rows 0..row:
// the nearest "In folder " header at or above it, with a "\" added; "" for
// "[Root]" or when there is no header.
QString FolderOfGridRow(const QStringList &firstCells, int row);

// The key of a recording's start mark: PlayFile less the base folder, with
// "\" between folders.
QString MarkKey(const QString &playFile, const QString &baseFolder);
// A mark's text: minutes and two-digit seconds of the position; "" below one
// second (the mark is deleted then).
QString FormatMark(qint64 positionMs);

// What the full-screen display does when playback stops (its position bar
// to 0) and starts (it applies its speed and volume again). Empty until that
// display fills it.
struct FullScreenPlaybackHooks {
    std::function<void()> stopped;
    std::function<void()> started;
};
extern FullScreenPlaybackHooks FullScreenPlayback;
