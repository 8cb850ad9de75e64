#include "publishing/maintainer/FolderScan.h"

#include "base/Cp1252.h"

#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool ExcludedFile(const QString &name) {
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('~'))) return true;
    const QString upper = FoldUpper(name);
    for (const char *ext : {".BAK", ".GID", ".DCU", ".LDB", ".SUO"})
        if (upper.endsWith(QLatin1String(ext))) return true;
    for (const char *file : {"LOG.TXT", "THUMBS.DB", "PHOTOTHUMB.DB", "EREPORT.TXT"})
        if (upper == QLatin1String(file)) return true;
    return false;
}

bool ExcludedFolder(const QString &name) {
    return name.startsWith(QLatin1Char('.')) || SameText(name, QStringLiteral("aspnet_client"));
}

bool CopyTemporary(const QString &name) {
    static const QRegularExpression temporary(QStringLiteral("^~.+\\.part(-journal)?$"));
    return temporary.match(name).hasMatch();
}

bool ScanResult::underUnread(const QString &relPath) const {
    for (const QString &folder : unread)
        if (folder.isEmpty() || relPath.startsWith(folder + QLatin1Char('/'))) return true;
    return false;
}

bool FolderScan::listFolder(int folder, const QString &, QList<FolderEntry> *entries) {
    return ListFolder(folder, entries);
}

ScanResult FolderScan::scan(const QString &root, const std::function<void(const QString &)> &error,
                            const std::function<bool()> &cancelled) {
    const FolderHandle folder(::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return scan(folder.fd(), root, error, cancelled);
}

ScanResult FolderScan::scan(int folder, const QString &path, const std::function<void(const QString &)> &error,
                            const std::function<bool()> &cancelled) {
    ScanResult result;
    walk(folder, path, QString(), 1, result, error, cancelled);
    return result;
}

void FolderScan::walk(int folder, const QString &root, const QString &rel, int level, ScanResult &result,
                      const std::function<void(const QString &)> &error, const std::function<bool()> &cancelled) {
    if (result.cancelled || (cancelled && cancelled())) {
        result.cancelled = true;
        return;
    }
    const QString path = rel.isEmpty() ? root : root + rel + QLatin1Char('/');
    if (level > MaxLevels) {
        if (error) error(QStringLiteral("Error - too many directory levels:") + path);
        result.unread << rel;
        return;
    }
    QList<FolderEntry> entries;
    if (folder < 0 || !listFolder(folder, path, &entries)) {
        if (error) error(QStringLiteral("Error - Cannot process folder ") + path);
        result.unread << rel;
        return;
    }
    result.folders << rel;
    QStringList subfolders;
    for (const FolderEntry &e : entries) {
        const QString relName = rel.isEmpty() ? e.name : rel + QLatin1Char('/') + e.name;
        switch (e.kind) {
        case FolderEntry::Link:
            result.links << relName;
            break;
        case FolderEntry::Folder:
            if (!ExcludedFolder(e.name)) subfolders << e.name;
            break;
        case FolderEntry::File:
            if (!ExcludedFile(e.name)) result.files.insert(relName, ScannedFile{e.size, e.modified});
            else if (CopyTemporary(e.name)) result.leftovers << relName;
            break;
        case FolderEntry::Other: // a pipe, a device: not a file to copy
            break;
        }
    }
    for (const QString &name : subfolders) {
        const QString relName = rel.isEmpty() ? name : rel + QLatin1Char('/') + name;
        // A folder swapped for a link since it was listed is a link.
        const FolderHandle sub(::openat(folder, QFile::encodeName(name).constData(),
                                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        const int code = errno;
        struct stat st {};
        if (!sub.isOpen() && (code == ELOOP || code == ENOTDIR) &&
            ::fstatat(folder, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(st.st_mode)) {
            result.links << relName;
            continue;
        }
        walk(sub.fd(), root, relName, level + 1, result, error, cancelled);
    }
}
