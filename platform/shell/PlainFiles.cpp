#include "platform/shell/PlainFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(QString *error, const QString &text) {
    if (error) *error = text;
    return false;
}

QString reason(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

QString notPlain(const QString &path) { return path + QStringLiteral(" is not a plain file."); }

} // namespace

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

Descriptor::~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
}

bool WriteWhole(int fd, const char *data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

QString PathOfDescriptor(int fd) {
    char buffer[4096];
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(proc.constData(), buffer, sizeof buffer);
    if (n <= 0 || size_t(n) >= sizeof buffer || buffer[0] != '/') return QString();
    return QFile::decodeName(QByteArray(buffer, int(n)));
}

bool IsPlainFile(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

int OpenPlainFile(const QString &path, QString *error) {
    const QByteArray name = QFile::encodeName(path);
    // Looked at first, so that no device is opened at all; the descriptor is
    // looked at again, since the name may have changed in between.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        fail(error, path + QStringLiteral(": ") + reason(errno));
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        fail(error, notPlain(path));
        return -1;
    }
    Descriptor d(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!d.isOpen()) {
        fail(error, path + QStringLiteral(": ") + reason(errno));
        return -1;
    }
    if (::fstat(d.fd(), &st) != 0 || !S_ISREG(st.st_mode)) {
        fail(error, notPlain(path));
        return -1;
    }
    // A plain file's reads never block anyway; its readers expect the usual mode.
    const int flags = ::fcntl(d.fd(), F_GETFL);
    if (flags >= 0) ::fcntl(d.fd(), F_SETFL, flags & ~O_NONBLOCK);
    return d.release();
}

bool ReadPlainFile(const QString &path, qint64 limit, QByteArray &bytes, QString *error) {
    bytes.clear();
    const Descriptor d(OpenPlainFile(path, error));
    if (!d.isOpen()) return false;
    const QString tooLarge = path + QStringLiteral(" is larger than %1 bytes.").arg(limit);
    struct stat st {};
    if (::fstat(d.fd(), &st) == 0 && st.st_size > limit) return fail(error, tooLarge);
    // The file may grow while it is read: one byte more than allowed tells.
    bytes.resize(qsizetype(std::min<qint64>(limit + 1, std::max<qint64>(st.st_size, 0) + 1)));
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit) break;
            bytes.resize(qsizetype(std::min<qint64>(limit + 1, got * 2 + 4096)));
        }
        const ssize_t n = ::read(d.fd(), bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int code = errno;
            bytes.clear();
            return fail(error, QStringLiteral("Cannot read file %1: %2").arg(path, reason(code)));
        }
        if (n == 0) break;
        got += n;
    }
    if (got > limit) {
        bytes.clear();
        return fail(error, tooLarge);
    }
    bytes.resize(qsizetype(got));
    return true;
}

bool ReplaceFileByRename(const QString &path, const QByteArray &bytes, QString *error, const QString &within) {
    const QFileInfo info(path);
    const QString cannot = QStringLiteral("Cannot write file %1: ").arg(path);
    const Descriptor folder(
        ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isOpen()) return fail(error, cannot + reason(errno));
    if (!within.isEmpty()) {
        const QString inside = QFileInfo(within).canonicalFilePath();
        const QString here = PathOfDescriptor(folder.fd());
        if (inside.isEmpty() || here.isEmpty() ||
            (here != inside && !here.startsWith(inside == QLatin1String("/") ? inside : inside + QLatin1Char('/'))))
            return fail(error, cannot + QStringLiteral("its folder lies outside ") + within);
    }
    const QByteArray name = QFile::encodeName(info.fileName());

    // A new name that nothing else holds: O_EXCL never follows a link.
    QByteArray temp;
    Descriptor out;
    for (int attempt = 0; attempt < 20 && !out.isOpen(); ++attempt) {
        temp = '.' + name + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".part";
        out = Descriptor(
            ::openat(folder.fd(), temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!out.isOpen() && errno != EEXIST) return fail(error, cannot + reason(errno));
    }
    if (!out.isOpen()) return fail(error, cannot + reason(EEXIST));

    // The permissions of the file replaced carry over (never those of a link's target).
    struct stat old {};
    if (::fstatat(folder.fd(), name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode))
        ::fchmod(out.fd(), old.st_mode & 07777);

    int code = 0;
    if (!WriteWhole(out.fd(), bytes.constData(), bytes.size()) || ::fsync(out.fd()) != 0) code = errno ? errno : EIO;
    if (::close(out.release()) != 0 && code == 0) code = errno;
    // A rename replaces whatever stands under the name, a link included, and
    // never writes into what a link points at.
    if (code == 0 && ::renameat(folder.fd(), temp.constData(), folder.fd(), name.constData()) != 0) code = errno;
    if (code != 0) {
        ::unlinkat(folder.fd(), temp.constData(), 0);
        return fail(error, cannot + reason(code));
    }
    return true;
}
