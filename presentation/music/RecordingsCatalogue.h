#pragma once
// The recordings catalogue without windows: the walk of the base folder that
// builds RecordingFileList, the list of every dance's recordings, the
// collate of the two into the Recordings grid's rows, Add's new music text,
// and Scan's matching of file names to dances.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class Database;

// The list of music files under the base folder (" " + path relative to it,
// "\" between folders, lines ended by CR LF, sorted without regard to case,
// then "ÿ"); built by the Recordings page's refresh, searched by the Music
// dialog. Empty until the first refresh, or after the base folder changed.
extern QString RecordingFileList;

// ---- the walk of the base folder ------------------------------------------------

struct ScanHooks {
    std::function<void(const QString &)> log;
    // A drive message (the drive or folder cannot be found).
    std::function<void(const QString &)> message;
    // Runs after each folder's files (pending events); false stops the walk.
    std::function<bool()> step;
};

// The "drive" of a folder for the messages: "X:" for a stored Windows path,
// the mount point of removable media under /media, /run/media or /mnt, else "/".
QString DriveOf(const QString &folder);
// The message for a folder that cannot be found: its drive missing or not.
QString DriveMessage(const QString &folder, bool driveExists);

// Every file under baseFolder (ending in "/"), the folder's own files before
// its subfolders, each folder in the program's fold order; paths relative to
// baseFolder with "\" between folders. A folder reached again through a link
// is walked once; a name holding CR, LF or "\", or one the file system could
// not give back, is skipped with a log line. stopped is set when step ended
// the walk.
QStringList ScanFolder(const QString &baseFolder, const ScanHooks &hooks, bool *stopped = nullptr);

// The program's hooks: the log, the message layer, pending events processed
// (user input waits); going false stops the walk.
ScanHooks ProgramScanHooks(std::function<bool()> going = {});
// Walks BaseFolder into RecordingFileList; the walk's paths in list order.
QStringList BuildRecordingFileList(const ScanHooks &hooks = ProgramScanHooks());

// RecordingFileList's text of the scanned paths.
QString RecordingFileText(QStringList paths);
// The paths of RecordingFileList, in order, without their leading blank and
// without the closing "ÿ".
QStringList RecordingFilePaths(const QString &fileList);

// ---- the dance list ------------------------------------------------------------------

struct DanceMusic {
    qint64 rowid = 0;
    QString title, format, style, music;
};

// The dances whose music holds the separator (the separator goes in as a
// bound value), in table order.
QList<DanceMusic> RecordedDances(Database &db, QChar sep);
// Every dance, in the order Scan matches them (Title, Format, Style).
QList<DanceMusic> DancesForScan(Database &db);

// A dance's recording line as the page sorts and collates it: its place
// (prefix + location: "zz " for a CD, "Location\title, track n"; a blank for
// a path under the base folder) and the dance's Title, Format and Style.
struct DanceLine {
    QString place, title, format, style;
    // The line's text: place + "|" + Title + "|" + Format + "|" + Style.
    QString text() const;
};

// One line per recording line of the dances, sorted by the place (no case),
// then the rest.
QList<DanceLine> DanceLinesOf(const QList<DanceMusic> &dances, QChar sep);
// The lines of the dances RecordedDances reads, read and made in one pass,
// in table order (not sorted).
QList<DanceLine> RecordedDanceLines(Database &db, QChar sep);
// Sorts them as DanceLinesOf does.
void SortDanceLines(QList<DanceLine> &lines);
// Their texts.
QStringList DanceListLines(const QList<DanceMusic> &dances, QChar sep);
// Sorts catalogue lines by their text up to "|" without regard to case, then
// by the rest.
void SortCatalogueLines(QStringList &lines);

// ---- the collate ---------------------------------------------------------------------

enum class RecRowKind { Header, Recording, And, Missing, Unused };
struct RecRow {
    RecRowKind kind = RecRowKind::Recording;
    QString cells[4]; // file or header, Title, Format, Style
};
struct CollateOptions {
    bool unusedOnly = false;
    QString search; // the page's search text ("Search..." or under 3 characters: none)
};
// The Recordings grid's rows of sorted dance lines and sorted file paths (as
// RecordingFilePaths gives them).
QList<RecRow> CollateRecordings(const QList<DanceLine> &danceLines, const QStringList &filePaths,
                                const CollateOptions &options);
// The same of the lines' texts (the place ends before the third "|" from the end).
QList<RecRow> CollateRecordings(const QStringList &danceLines, const QStringList &filePaths,
                                const CollateOptions &options);

// ---- Add --------------------------------------------------------------------------------

// The file a Recordings row adds to a dance, relative to the base folder; ""
// with message set when the row is not a recording ("You are not positioned
// on a recording."). A " and" row adds the file of the row above.
QString AddTarget(const QStringList &firstCells, int row, QString *message);
// The music text with that path as a new recording (the 7th column after
// six empty ones); replace keeps only the live text. hasRecordings tells
// whether to ask about replacing.
QString MusicWithRecording(const QString &music, QChar sep, const QString &path, bool replace);

// ---- Scan ---------------------------------------------------------------------------------

// The keys a dance's name is looked for by: its title as shown less a
// leading "The " or "A "; its live text before " in " less a leading count
// ("3x "). "_" reads as a blank, "'" and "," are dropped.
QString ScanTitleKey(const QString &title);
QString ScanLiveKey(const QString &live);

// The file names of RecordingFileList indexed after each "\", so that the
// files named key + "." are found without reading the list once per dance.
class ScanIndex {
public:
    explicit ScanIndex(const QString &fileList);
    // Lines (indexes of RecordingFilePaths) holding "\" + key + "." (no case),
    // in list order; none for an empty key.
    QList<int> Hits(const QString &key) const;
    const QStringList &paths() const { return m_paths; }

private:
    QStringList m_paths;
    std::vector<std::pair<QString, int>> m_names; // folded text after a "\", line
};

struct ScanAnswer {
    enum Kind { Yes, No, Cancel } kind = Yes;
};
// Matches each dance without recordings to files: the title key, then,
// unless the music says "Own tune", the live-text key. ask (null: add every
// first match) gets the question for a candidate; attach stores a match's
// new music text. False when the user cancelled.
bool ScanMatch(const QList<DanceMusic> &dances, const ScanIndex &index, QChar sep,
               const std::function<ScanAnswer::Kind(const QString &question)> &ask,
               const std::function<void(const DanceMusic &dance, const QString &music)> &attach);
