#pragma once
// A dance's music text: the live-music text, then the recordings, one line
// each, columns joined by the programme separator. Reading and writing it,
// the columns of [Recorded], the checks before it is saved and the search
// over the list of recording files. No windows here: the Music dialog, the
// Dances page and playback call these.

#include <QList>
#include <QString>
#include <QStringList>

// The live text and the recordings' columns.
struct MusicParts {
    QString live;
    QList<QStringList> recordings; // one row per line after the first separator
};

// Splits a music text: the live text runs to the first separator; the rest is
// lines (CR, or CR LF) of columns (separators). A text with no separator has
// no recordings.
MusicParts SplitMusicText(const QString &text, QChar sep);

// The recording line n (from 1; below 1 counts as 1) as it stands in the
// text, "" when there are fewer lines or no recordings.
QString RecordingLine(const QString &text, QChar sep, int n);
// Column i (from 0) of a recording line, "" when it has fewer.
QString LineColumn(const QString &line, QChar sep, int column);
// The track column (the second) of a recording line.
QString TrackOfLine(const QString &line, QChar sep);

// A cell as typed, made fit for the text: separators and line breaks would
// shift later columns, so each becomes a blank.
QString CleanCell(const QString &cell, QChar sep);

// The music text of a live text and grid rows (cells from the first
// recording column on): each row's cells joined, trailing empty columns
// dropped, empty rows left out; trailing CRs and separators dropped from the
// whole. missingLocation is set when a kept row's seventh column is empty.
QString JoinMusicText(const QString &live, const QList<QStringList> &rows, QChar sep,
                      bool *missingLocation = nullptr);

// Where a Location column points.
enum class LocationKind { None, File, CdTrack, SingleDot };
LocationKind KindOfLocation(const QString &location);
// A file Location is absolute when it names a drive ("C:\...") or starts at
// the root; otherwise it lies under the base folder.
bool IsAbsoluteLocation(const QString &location);
// The file-system path of a file Location: under baseFolder (ending in "/")
// when relative; "\" becomes "/".
QString LocationPath(const QString &location, const QString &baseFolder);

// ---- [Recorded] --------------------------------------------------------------

struct RecordingColumn {
    QString title;
    int width = 0; // 0 hides the column
};
// The columns written into an empty [Recorded] section, in order.
const QList<RecordingColumn> &DefaultRecordingColumns();
// The columns of the section's "key=value" entries, in order.
QList<RecordingColumn> RecordingColumnsOf(const QStringList &entries);

// ---- the checks before saving ------------------------------------------------

struct MusicRowCheck {
    enum Outcome { Ok, SingleDot, FileMissing, NoTrack, BadTrack } outcome = Ok;
    int row = 0;  // the row at fault (from 1)
    QString path; // the file looked for
};
// Checks each row's Location (rows hold the cells from the first recording
// column on); locationColumn is 0-based among them, -1 for none. exists
// answers for a file-system path. The first fault found ends the check.
MusicRowCheck CheckMusicRows(const QList<QStringList> &rows, int locationColumn, const QString &baseFolder,
                             bool (*exists)(const QString &path));

// ---- the search over the recording files --------------------------------------

// The normalised search text: CR LF to CR, "_" to a blank, a leading "The " or
// "A " of a line dropped, "'" and "," removed.
QString NormaliseForSearch(const QString &text);

// One hit: its line in the file list (from 0), split at the last "\".
struct SearchMatch {
    int line = 0;
    QString folder, file;
};
// Every line of the normalised list that holds key (ignoring case), once each,
// in order. Keys of fewer than three characters find nothing.
QList<SearchMatch> SearchRecordings(const QString &normalisedList, const QString &key);
// The path of a hit as the original file list has it on the same line,
// trimmed.
QString MatchPath(const QString &fileList, int line);
