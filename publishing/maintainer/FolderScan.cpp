#include "publishing/maintainer/FolderScan.h"

#include "base/Cp1252.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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

bool FolderScan::listFolder(const QString &path, QFileInfoList *entries) {
    QDir dir(path);
    if (!dir.exists() || !dir.isReadable()) return false;
    *entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    return true;
}

ScanResult FolderScan::scan(const QString &root, const std::function<void(const QString &)> &error,
                            const std::function<bool()> &cancelled) {
    ScanResult result;
    walk(root, QString(), 1, result, error, cancelled);
    return result;
}

void FolderScan::walk(const QString &root, const QString &rel, int level, ScanResult &result,
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
    QFileInfoList entries;
    if (!listFolder(path, &entries)) {
        if (error) error(QStringLiteral("Error - Cannot process folder ") + path);
        result.unread << rel;
        return;
    }
    result.folders << rel;
    QStringList subfolders;
    for (const QFileInfo &e : entries) {
        const QString name = e.fileName();
        const QString relName = rel.isEmpty() ? name : rel + QLatin1Char('/') + name;
        if (e.isSymLink()) {
            result.links << relName;
        } else if (e.isDir()) {
            if (!ExcludedFolder(name)) subfolders << relName;
        } else if (!ExcludedFile(name)) {
            result.files.insert(relName, ScannedFile{e.size(), e.lastModified()});
        } else if (CopyTemporary(name)) {
            result.leftovers << relName;
        }
    }
    for (const QString &sub : subfolders) walk(root, sub, level + 1, result, error, cancelled);
}
