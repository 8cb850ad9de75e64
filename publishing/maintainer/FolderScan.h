#pragma once
// The walk of a working folder tree for the copy between machines: every
// file that is not excluded, with its size and modification time, relative
// to the tree's root. Folders that could not be read and the walk's end by
// the depth limit or a Cancel are kept, so that nothing is deleted on their
// account. A symbolic link is neither a file nor a folder of the tree: it is
// listed apart and never followed, so no copy or deletion reaches through it.
// Each folder is opened from the one above it without following a link.

#include "publishing/maintainer/PlaceFiles.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

// Excluded from copying: ".BAK", ".GID", ".DCU", ".LDB", ".SUO" files, names
// holding "~", "Log.Txt", "Thumbs.db", "photothumb.db", "EReport.Txt".
bool ExcludedFile(const QString &name);
// Folders whose name starts with "." and "aspnet_client".
bool ExcludedFolder(const QString &name);
// A copy's temporary: "~" + name + ".part" or "~qcopy" + counter + ".part",
// or its database journal.
bool CopyTemporary(const QString &name);

struct ScannedFile {
    qint64 size = 0;
    QDateTime modified;
};

struct ScanResult {
    QHash<QString, ScannedFile> files; // by relative path ("a/b.txt")
    QStringList folders;               // relative paths of the folders walked, "" for the root
    QStringList unread;                // relative paths of folders not read (failed or too deep)
    QStringList links;                 // relative paths of the links passed over, never followed
    QStringList leftovers;             // relative paths of a copy's temporaries left by a killed run
    bool cancelled = false;
    // The relative path lies in a folder that was not read.
    bool underUnread(const QString &relPath) const;
};

class FolderScan {
public:
    static constexpr int MaxLevels = 16;
    virtual ~FolderScan() = default;
    // error: each error line (for the progress box); cancelled: polled
    // between folders. The root (ending with "/") is opened as it stands.
    ScanResult scan(const QString &root, const std::function<void(const QString &)> &error,
                    const std::function<bool()> &cancelled = {});
    // The same from an open folder; path (ending with "/") names it in the
    // error lines.
    ScanResult scan(int folder, const QString &path, const std::function<void(const QString &)> &error,
                    const std::function<bool()> &cancelled = {});

protected:
    // Lists the entries of an open folder (path names it); false when it
    // cannot be read.
    virtual bool listFolder(int folder, const QString &path, QList<FolderEntry> *entries);

private:
    void walk(int folder, const QString &root, const QString &rel, int level, ScanResult &result,
              const std::function<void(const QString &)> &error, const std::function<bool()> &cancelled);
};
