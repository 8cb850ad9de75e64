#pragma once
// The files of a place (a machine's folder, the stick's) reached without
// following a symbolic link. The place's own folder is the user's path and
// is opened as it stands; from there down every folder is opened one step at
// a time without following a link, just before a file in it is read, written
// or deleted, and the work is done relative to the folder so opened: a
// folder swapped for a link a moment later changes nothing. A link met on
// the way stops the work and is named.

#include "platform/shell/PlainFiles.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <sys/stat.h>

// An open folder (a directory descriptor), closed with the object.
using FolderHandle = Descriptor;

// Why a folder or file was not reached or not changed.
struct PathStop {
    enum Kind { None, Link, Missing, Failed };
    Kind kind = None;
    QString path;   // the link, the missing entry, or the one that failed
    QString reason; // Failed: "Error code " + errno + ":  " + its text
    explicit operator bool() const { return kind != None; }
    // Link: path + " is a link: it was not followed."; Missing: path + " not
    // found."; Failed: the reason.
    QString text() const;
};

// "Error code " + code + ":  " + the system's text.
QString ErrnoText(int code);

// The longest file name the folders take, in bytes.
constexpr int MaxNameBytes = 255;
// The name a file's old copy is kept under: name + ".bak", its end cut off
// when that would be too long a name.
QString BakName(const QString &name);

// One entry of a folder; a link is listed as a link, never followed.
struct FolderEntry {
    enum Kind { File, Folder, Link, Other };
    QString name;
    Kind kind = Other;
    qint64 size = 0;
    QDateTime modified;
};
// The entries of an open folder, by name; false (errno set) when it cannot
// be read.
bool ListFolder(int folder, QList<FolderEntry> *entries);

class PlaceFolder {
public:
    // root: the place's folder, ending with "/"; opened as it stands.
    explicit PlaceFolder(const QString &root);
    bool isOpen() const { return root_.isOpen(); }
    int fd() const { return root_.fd(); }
    const QString &path() const { return path_; }
    // The root's real path (no link in it), ending with "/": for SQLite,
    // which opens its files by name.
    QString realPath() const;
    // Opens the folder rel ("a/b/", "" for the root) below the root, no step
    // through a link, none climbing out ("..");  with create, missing
    // folders are made. Not open, with *stop, when it failed.
    FolderHandle open(const QString &rel, bool create, PathStop *stop) const;

private:
    QString path_;
    FolderHandle root_;
};

// Copies a place's file to a file of another (or the same) place, whole:
// a temporary in the target's folder ("~" + name + ".part", or a short
// "~qcopy" + counter + ".part" when that name would be too long), the
// source's permissions and times, flushed to disk, then renamed over the
// target. With keepBak the target's old copy is first kept beside it (see
// BakName); nothing is replaced when that fails. Both paths are relative to
// their places' folders and are walked just now; a link on either (the
// files themselves included) stops the copy. False with *stop; the target
// is then as it was.
bool CopyPlaceFile(const PlaceFolder &from, const QString &fromRel, const PlaceFolder &to, const QString &toRel,
                   bool keepBak, PathStop *stop);
// Deletes a regular file of a place, its folders walked just now; a link, a
// folder or anything else is left. False with *stop.
bool RemovePlaceFile(const PlaceFolder &place, const QString &rel, PathStop *stop);

// A free temporary name in an open folder for writing name (see
// CopyPlaceFile); a left-over temporary of that fixed name goes first, with
// its journal.
QString TemporaryIn(int folder, const QString &name);
// Copies the open regular file in (described by st) into the folder as
// name, as CopyPlaceFile does. 0 or the errno of the failure.
int WriteCopyIn(int in, const struct stat &st, int folder, const QString &name);
