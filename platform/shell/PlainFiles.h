#pragma once
// Files read and written with care for what a folder may hold besides plain
// files: a FIFO or a device under a recording's name never blocks the program
// nor is read for ever, and a link put in a file's place is never written
// through.

#include <QByteArray>
#include <QString>

// An open file or folder descriptor, closed with the object.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor &&other) noexcept : fd_(other.release()) {}
    Descriptor &operator=(Descriptor &&other) noexcept;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor();
    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // Hands the descriptor over; the object then closes nothing.
    int release() {
        const int kept = fd_;
        fd_ = -1;
        return kept;
    }

private:
    int fd_ = -1;
};

// Writes every byte, going on after an interrupted write; false with errno set.
bool WriteWhole(int fd, const char *data, qint64 size);

// The path the system resolved an open descriptor to; empty when it cannot tell.
QString PathOfDescriptor(int fd);

// Whether the path names a plain file; a link to one counts as one.
bool IsPlainFile(const QString &path);

// Opens a plain file (or a link to one) for reading without ever blocking on a
// FIFO or a device: the descriptor, which the caller closes, or -1 with the
// reason.
int OpenPlainFile(const QString &path, QString *error = nullptr);

// Reads a whole plain file of at most limit bytes; false with the reason when
// it is no plain file, cannot be read or is larger.
bool ReadPlainFile(const QString &path, qint64 limit, QByteArray &bytes, QString *error = nullptr);

// Writes the bytes under a new name beside the file and renames that over it:
// a link standing in the file's place is replaced, never its target, and a
// file already there keeps its permissions. With within given, the folder
// written to must lie inside that folder once opened (a folder swapped for a
// link is refused). False with the reason; the old file stays then.
bool ReplaceFileByRename(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                         const QString &within = QString());
