#include "publishing/maintainer/PlaceFiles.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

QString PathStop::text() const {
    switch (kind) {
    case Link:
        return path + QStringLiteral(" is a link: it was not followed.");
    case Missing:
        return path + QStringLiteral(" not found.");
    case Failed:
        return reason;
    case None:
        break;
    }
    return QString();
}

QString ErrnoText(int code) {
    return QStringLiteral("Error code ") + QString::number(code) + QStringLiteral(":  ") +
           QString::fromLocal8Bit(std::strerror(code));
}

namespace {

PathStop stopped(PathStop::Kind kind, const QString &path, const QString &reason = QString()) {
    PathStop s;
    s.kind = kind;
    s.path = path;
    s.reason = reason;
    return s;
}

// What an entry that could not be opened without following a link is.
// A file's failure is worded without its path, which the caller's line names.
PathStop whyNotOpened(int folder, const QByteArray &name, int code, const QString &path, bool isFolder = true) {
    struct stat st {};
    if ((code == ELOOP || code == ENOTDIR || code == EMLINK) &&
        ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        return stopped(PathStop::Link, path);
    if (code == ENOENT) return stopped(PathStop::Missing, path);
    return stopped(PathStop::Failed, path, isFolder ? path + QLatin1Char('\r') + ErrnoText(code) : ErrnoText(code));
}

PathStop notAFile(const QString &path) {
    return stopped(PathStop::Failed, path, path + QStringLiteral(" is not a file."));
}

void splitRel(const QString &rel, QString *folder, QString *name) {
    const int slash = int(rel.lastIndexOf(QLatin1Char('/')));
    *folder = rel.left(slash + 1);
    *name = rel.mid(slash + 1);
}

int byteSize(const QString &name) { return int(QFile::encodeName(name).size()); }

bool exists(int folder, const QByteArray &name) {
    struct stat st {};
    return ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
}

} // namespace

QString BakName(const QString &name) {
    const QString bak = name + QStringLiteral(".bak");
    if (byteSize(bak) <= MaxNameBytes) return bak;
    QString stem = name;
    while (!stem.isEmpty() && byteSize(stem) + 4 > MaxNameBytes)
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
    return stem + QStringLiteral(".bak");
}

bool ListFolder(int folder, QList<FolderEntry> *entries) {
    // A description of its own, so the folder's descriptor keeps its place.
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return false;
    }
    entries->clear();
    errno = 0;
    while (const dirent *e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        struct stat st {};
        if (::fstatat(folder, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            errno = 0; // gone since it was listed
            continue;
        }
        FolderEntry entry;
        entry.name = QFile::decodeName(e->d_name);
        entry.kind = S_ISLNK(st.st_mode)   ? FolderEntry::Link
                     : S_ISDIR(st.st_mode) ? FolderEntry::Folder
                     : S_ISREG(st.st_mode) ? FolderEntry::File
                                           : FolderEntry::Other;
        entry.size = st.st_size;
        entry.modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
        entries->append(entry);
        errno = 0;
    }
    const int code = errno;
    ::closedir(dir);
    if (code != 0) {
        errno = code;
        return false;
    }
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry &a, const FolderEntry &b) { return a.name < b.name; });
    return true;
}

PlaceFolder::PlaceFolder(const QString &root) : path_(root) {
    if (!path_.endsWith(QLatin1Char('/'))) path_ += QLatin1Char('/');
    root_ = FolderHandle(::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

QString PlaceFolder::realPath() const {
    QString real = root_.isOpen() ? PathOfDescriptor(root_.fd()) : QString();
    if (real.isEmpty()) real = QFileInfo(path_).canonicalFilePath();
    if (!real.endsWith(QLatin1Char('/'))) real += QLatin1Char('/');
    return real;
}

FolderHandle PlaceFolder::open(const QString &rel, bool create, PathStop *stop) const {
    *stop = PathStop();
    if (!root_.isOpen()) {
        *stop = stopped(PathStop::Missing, path_);
        return {};
    }
    FolderHandle current(::openat(root_.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!current.isOpen()) {
        *stop = stopped(PathStop::Failed, path_, path_ + QLatin1Char('\r') + ErrnoText(errno));
        return {};
    }
    QString walked = path_;
    for (const QString &part : rel.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".")) continue;
        walked += part;
        if (part == QLatin1String("..")) {
            *stop = stopped(PathStop::Failed, walked, walked + QStringLiteral(" leads out of ") + path_);
            return {};
        }
        const QByteArray name = QFile::encodeName(part);
        constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = ::openat(current.fd(), name.constData(), flags);
        if (next < 0 && errno == ENOENT && create) {
            if (::mkdirat(current.fd(), name.constData(), 0777) != 0 && errno != EEXIST) {
                *stop = stopped(PathStop::Failed, walked, walked + QLatin1Char('\r') + ErrnoText(errno));
                return {};
            }
            next = ::openat(current.fd(), name.constData(), flags);
        }
        if (next < 0) {
            *stop = whyNotOpened(current.fd(), name, errno, walked);
            return {};
        }
        current = FolderHandle(next);
        walked += QLatin1Char('/');
    }
    return current;
}

QString TemporaryIn(int folder, const QString &name) {
    // The fixed name and its journal (a database copy has one) must fit.
    const QString fixed = QLatin1Char('~') + name + QStringLiteral(".part");
    const QByteArray bytes = QFile::encodeName(fixed);
    if (bytes.size() + 8 <= MaxNameBytes) {
        ::unlinkat(folder, bytes.constData(), 0);
        ::unlinkat(folder, (bytes + "-journal").constData(), 0);
        return fixed;
    }
    for (int n = 1;; ++n) {
        const QByteArray counted = "~qcopy" + QByteArray::number(n) + ".part";
        if (!exists(folder, counted) && !exists(folder, counted + "-journal")) return QString::fromLatin1(counted);
    }
}

int WriteCopyIn(int in, const struct stat &st, int folder, const QString &name) {
    const QByteArray temp = QFile::encodeName(TemporaryIn(folder, name));
    const int out = ::openat(folder, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) return errno;
    int code = 0;
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(in, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            code = errno;
            break;
        }
        if (n == 0) break;
        if (!WriteWhole(out, buffer, n)) {
            code = errno;
            break;
        }
        at += n;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (!code && ::fchmod(out, st.st_mode & 0777) != 0) code = errno;
    if (!code && ::futimens(out, times) != 0) code = errno;
    if (!code && ::fsync(out) != 0) code = errno;
    if (::close(out) != 0 && !code) code = errno;
    if (!code && ::renameat(folder, temp.constData(), folder, QFile::encodeName(name).constData()) != 0) code = errno;
    if (code) ::unlinkat(folder, temp.constData(), 0);
    return code;
}

bool CopyPlaceFile(const PlaceFolder &from, const QString &fromRel, const PlaceFolder &to, const QString &toRel,
                   bool keepBak, PathStop *stop) {
    QString fromFolder, fromName, toFolder, toName;
    splitRel(fromRel, &fromFolder, &fromName);
    splitRel(toRel, &toFolder, &toName);
    const FolderHandle source = from.open(fromFolder, false, stop);
    if (!source.isOpen()) return false;
    const QString sourcePath = from.path() + fromRel;
    const QByteArray sourceName = QFile::encodeName(fromName);
    // Not blocking: a pipe put in the file's place must not hang the copy.
    const Descriptor in(::openat(source.fd(), sourceName.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (in.fd() < 0) return *stop = whyNotOpened(source.fd(), sourceName, errno, sourcePath, false), false;
    if (::fstat(in.fd(), &st) != 0) return *stop = stopped(PathStop::Failed, sourcePath, ErrnoText(errno)), false;
    if (!S_ISREG(st.st_mode)) return *stop = notAFile(sourcePath), false;
    const FolderHandle target = to.open(toFolder, false, stop);
    if (!target.isOpen()) return false;
    const QByteArray targetName = QFile::encodeName(toName);
    const QString targetPath = to.path() + toRel;
    struct stat old {};
    if (::fstatat(target.fd(), targetName.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(old.st_mode)) return *stop = stopped(PathStop::Link, targetPath), false;
        if (!S_ISREG(old.st_mode)) return *stop = notAFile(targetPath), false;
        if (keepBak) {
            const Descriptor kept(
                ::openat(target.fd(), targetName.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if (kept.fd() < 0) return *stop = whyNotOpened(target.fd(), targetName, errno, targetPath, false), false;
            struct stat keptStat {};
            int code = ::fstat(kept.fd(), &keptStat) != 0 ? errno : 0;
            if (!code) code = WriteCopyIn(kept.fd(), keptStat, target.fd(), BakName(toName));
            if (code) return *stop = stopped(PathStop::Failed, targetPath, ErrnoText(code)), false;
        }
    }
    if (const int code = WriteCopyIn(in.fd(), st, target.fd(), toName))
        return *stop = stopped(PathStop::Failed, targetPath, ErrnoText(code)), false;
    return true;
}

bool RemovePlaceFile(const PlaceFolder &place, const QString &rel, PathStop *stop) {
    QString folder, name;
    splitRel(rel, &folder, &name);
    const FolderHandle dir = place.open(folder, false, stop);
    if (!dir.isOpen()) return false;
    const QByteArray bytes = QFile::encodeName(name);
    const QString path = place.path() + rel;
    struct stat st {};
    if (::fstatat(dir.fd(), bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        *stop = whyNotOpened(dir.fd(), bytes, errno, path, false);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        *stop = stopped(PathStop::Link, path);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *stop = notAFile(path);
        return false;
    }
    if (::unlinkat(dir.fd(), bytes.constData(), 0) != 0) {
        *stop = stopped(PathStop::Failed, path, ErrnoText(errno));
        return false;
    }
    return true;
}
