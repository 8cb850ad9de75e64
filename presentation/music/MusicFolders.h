#pragma once
// The music folders as the Folders page shows them: which files count as
// music, a folder's order file "Ini.Text" merged with what the folder holds,
// the folder's CD details line, and the caption of the folder shown. No
// windows here: the Folders page and the Recordings page call these.

#include <QString>
#include <QStringList>
#include <functional>

// The order file of a music folder.
extern const QString FolderOrderFile;

// A recording the catalogue lists: MP3, MID, M4A, OGG or WAV by the last
// three characters, or a name with no "." at all.
bool IsMusicFile(QStringView name);

// One line of an order file while its folder is listed: present is set when
// the folder still holds the file (never written to the file).
struct OrderEntry {
    QString text;
    bool present = false;
};

struct FolderMerge {
    QStringList rows;  // "» " + each subfolder, then the file names in order
    QStringList order; // the order file's lines afterwards
    bool changed = false;
    // Neither an order line nor a subfolder: nothing to show.
    bool empty = false;
};

// Merges an order file's lines with a folder's subfolders and music files
// (both in the order the folder lists them): a file new to the order goes
// last, a line whose file has gone is dropped (the "CDinfo:" line stays where
// it is), and the rows show the subfolders, then the files in order.
FolderMerge MergeFolderOrder(const QStringList &orderLines, const QStringList &subfolders,
                             const QStringList &musicFiles);

// The file entries of an order (every line but the "CDinfo:" line).
QStringList OrderFiles(const QStringList &order);
// Moves file entry i (among OrderFiles) one place up (delta -1) or down (+1),
// the "CDinfo:" line keeping its place; false at either end.
bool MoveOrderEntry(QStringList &order, int fileIndex, int delta);

// ---- the CD details line --------------------------------------------------------

// The last line starting "CDinfo:", or "||||||" when there is none.
QString CdInfoLine(const QStringList &orderLines);
// Its four fields: CD name, band, publisher, CD code.
QStringList CdInfoFields(const QString &line);
// The order lines with the CD details set: the last "CDinfo:" line replaced
// where it stands, or a new one appended. A "|", CR or LF typed into a detail
// becomes a blank, so the fields stay in place.
QStringList SetCdInfo(const QStringList &orderLines, const QStringList &fields);
// The CD name offered for a folder without one: its last part, "_" a blank.
QString DefaultCdName(const QString &folder);

// ---- folders on disk ---------------------------------------------------------------

// The names in a folder in the program's fold order: subfolders, and files.
struct FolderEntries {
    QStringList folders, files;
    bool readable = false;
};
FolderEntries ListFolderEntries(const QString &folder);

// The folder's order file read as lines (none when it has no order file, or
// when what stands under its name is no plain file); found whatever the case
// of its name. A plain file that cannot be read whole gives none, with the
// reason in error.
QStringList ReadFolderOrder(const QString &folder, QString *error = nullptr);
// Why the folder's order file may only be read, or empty: it is a link (its
// target may be any file of the user's) or not a plain file, or the folder
// lies outside the base folder (when given) through a link.
QString OrderFileRefusal(const QString &folder, const QString &baseFolder = QString());
// Writes the lines as the folder's order file; false (with the reason) when
// the file cannot or may not be written (see OrderFileRefusal). The file is
// written beside and renamed into place, so a link that appears under its
// name after the check is replaced, never written through.
bool WriteFolderOrder(const QString &folder, const QStringList &lines, QString *error = nullptr,
                      const QString &baseFolder = QString());
// Called between that check and the write with the order file's path (tests
// put a link in its place there).
extern std::function<void(const QString &path)> OrderFileChecked;

// What the Folders page shows of a folder: its rows, the order kept, and
// whether its order file needed rewriting. A failed rewrite (read-only
// media, a link) still lists the folder; writeError then holds the reason.
// An order file that cannot be read is not rewritten. Names holding a line
// break, and file names starting like the CD details line, are passed over
// and logged.
struct FolderListing {
    FolderMerge merge;
    bool readable = false;
    QString writeError;
};
FolderListing ListMusicFolder(const QString &folder, const QString &baseFolder = QString());

// The base folder a stored RFolder names, ending in "/": "My Music" is the
// user's music folder; a relative folder ("Music") lies in the program folder,
// or in the data folder when only that one holds it; a stored Windows path
// ("D:\Music") stays as it is, "/" between its folders.
QString ResolveBaseFolder(const QString &stored);

// FLab's text: "Base folder" for the base folder itself, else the folder cut
// to what follows the base folder's text.
QString FolderCaption(const QString &current, const QString &baseFolder);
// The folder holding a folder (both end with "/"); the root stays itself.
QString ParentFolder(const QString &folder);
