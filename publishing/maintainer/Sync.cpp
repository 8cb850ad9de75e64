#include "publishing/maintainer/Sync.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dialogs/Progress.h"
#include "core/services/ShellRoutines.h"
#include "platform/probes/MachineProbes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool usesSecondLayout(const QString &place) { return place.compare(QLatin1String("lap-top"), Qt::CaseInsensitive) == 0; }

QString capitalised(const QString &name) { return name.isEmpty() ? name : name.left(1).toUpper() + name.mid(1); }

// A file by its full path: its folder opened as it stands, and its name.
struct FileInFolder {
    explicit FileInFolder(const QString &path)
        : folder(QFileInfo(path).absolutePath()), name(QFileInfo(path).fileName()), bytes(QFile::encodeName(name)) {}
    // The name SQLite opens: the folder's real path, so that with
    // SQLITE_OPEN_NOFOLLOW nothing but a link put there since is refused.
    QByteArray forSqlite(const QString &other = QString()) const {
        return QFile::encodeName(folder.realPath() + (other.isEmpty() ? name : other));
    }
    // The entry's mode without following a link; 0 when there is none.
    mode_t mode(const QByteArray &entry) const {
        struct stat st {};
        return ::fstatat(folder.fd(), entry.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? st.st_mode : 0;
    }
    PlaceFolder folder;
    QString name;
    QByteArray bytes;
};

QString linkText(const QString &path) { return path + QStringLiteral(" is a link: it was not followed."); }

} // namespace

CopyState CompareCopies(const ScannedFile &source, const ScannedFile *target) {
    if (!target) return CopyState::SourceNewer;
    const qint64 ahead = target->modified.msecsTo(source.modified);
    if (ahead > 2000) return CopyState::SourceNewer;
    if (ahead < -2000) return CopyState::TargetNewer;
    if (source.size == target->size) return CopyState::Same;
    return ahead >= 0 ? CopyState::SourceNewer : CopyState::TargetNewer;
}

bool CopyFileWhole(const QString &source, const QString &target, QString *error) {
    const Descriptor in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    int code = in.isOpen() ? 0 : errno;
    struct stat st {};
    if (!code && ::fstat(in.fd(), &st) != 0) code = errno;
    if (!code && !S_ISREG(st.st_mode)) code = EINVAL;
    if (!code) {
        const PlaceFolder folder(QFileInfo(target).absolutePath());
        code = folder.isOpen() ? WriteCopyIn(in.fd(), st, folder.fd(), QFileInfo(target).fileName()) : ENOENT;
    }
    if (code && error) *error = ErrnoText(code);
    return !code;
}

int RemoveCopyLeftovers(const QString &folder, const QString &onlyFor) {
    static const QRegularExpression counted(QStringLiteral("^~qcopy\\d+\\.part(-journal)?$"));
    QStringList own;
    for (const QString &name : {onlyFor, BakName(onlyFor)})
        own << QLatin1Char('~') + name + QStringLiteral(".part") << QLatin1Char('~') + name + QStringLiteral(".part-journal");
    int removed = 0;
    const QDir dir(folder);
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString name = f.fileName();
        if (!CopyTemporary(name)) continue;
        if (!onlyFor.isEmpty() && !counted.match(name).hasMatch() &&
            std::none_of(own.cbegin(), own.cend(), [&name](const QString &o) { return SameText(name, o); }))
            continue;
        if (QFile::remove(f.absoluteFilePath())) {
            ++removed;
            WriteLog(QStringLiteral("Removed left-over ") + f.absoluteFilePath());
        }
    }
    return removed;
}

bool SettleDatabaseJournal(const QString &database, QString *error) {
    const FileInFolder file(database);
    const QByteArray journal = file.bytes + "-journal";
    const QString journalPath = database + QStringLiteral("-journal");
    // Without a database the journal belongs to nothing: the copy that
    // lands there removes it first.
    if (!file.folder.isOpen() || file.mode(journal) == 0 || file.mode(file.bytes) == 0) return true;
    if (S_ISLNK(file.mode(journal)) || S_ISLNK(file.mode(file.bytes))) {
        if (error) *error = linkText(S_ISLNK(file.mode(journal)) ? journalPath : database);
        return false;
    }
    // Reading the schema rolls a hot journal back (and deletes it).
    sqlite3 *db = nullptr;
    QString failure;
    if (sqlite3_open_v2(file.forSqlite().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr) ==
        SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK)
            failure = QString::fromUtf8(sqlite3_errmsg(db));
    } else {
        failure = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    if (file.mode(journal) == 0) {
        WriteLog(QStringLiteral("Rolled back ") + journalPath);
        return true;
    }
    if (error)
        *error = journalPath + QStringLiteral(" could not be rolled back") +
                 (failure.isEmpty() ? QString() : QStringLiteral(" (") + failure + QLatin1Char(')')) +
                 QStringLiteral(": the database was left as it is.");
    return false;
}

bool CopyDatabaseWhole(const QString &source, const QString &target, QString *error) {
    const FileInFolder from(source), to(target);
    QString failure;
    if (!from.folder.isOpen() || !to.folder.isOpen()) {
        failure = (from.folder.isOpen() ? target : source) + QStringLiteral(" not found.");
    } else if (S_ISLNK(from.mode(from.bytes))) {
        failure = linkText(source);
    } else if (S_ISLNK(to.mode(to.bytes))) {
        failure = linkText(target);
    }
    if (!failure.isEmpty()) {
        if (error) *error = failure;
        return false;
    }
    const QString tempName = TemporaryIn(to.folder.fd(), to.name);
    const QByteArray temp = QFile::encodeName(tempName);
    sqlite3 *in = nullptr;
    sqlite3 *out = nullptr;
    constexpr int write = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW;
    if (sqlite3_open_v2(from.forSqlite().constData(), &in, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr) !=
        SQLITE_OK) {
        failure = QString::fromUtf8(sqlite3_errmsg(in));
    } else if (sqlite3_open_v2(to.forSqlite(tempName).constData(), &out, write, nullptr) != SQLITE_OK) {
        failure = QString::fromUtf8(sqlite3_errmsg(out));
    } else {
        sqlite3_busy_timeout(in, 5000);
        sqlite3_backup *backup = sqlite3_backup_init(out, "main", in, "main");
        if (!backup) {
            failure = QString::fromUtf8(sqlite3_errmsg(out));
        } else {
            const int rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE) failure = QString::fromUtf8(sqlite3_errstr(rc));
        }
    }
    sqlite3_close(in);
    sqlite3_close(out);
    // A read-only reader cannot roll a change left half-done back.
    if (!failure.isEmpty() && from.mode(from.bytes + "-journal") != 0)
        failure = source + QStringLiteral("-journal holds a change left half-done: open ") + source +
                  QStringLiteral(" in the program once, then copy again.");
    if (failure.isEmpty()) {
        // The source's time, so the next copy finds the two the same.
        struct stat st {};
        if (::fstatat(from.folder.fd(), from.bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
            ::utimensat(to.folder.fd(), temp.constData(), times, AT_SYMLINK_NOFOLLOW);
        }
        // The journal of the file replaced would be rolled back into the copy.
        ::unlinkat(to.folder.fd(), (to.bytes + "-journal").constData(), 0);
        if (::renameat(to.folder.fd(), temp.constData(), to.folder.fd(), to.bytes.constData()) != 0)
            failure = ErrnoText(errno);
    }
    if (!failure.isEmpty()) {
        ::unlinkat(to.folder.fd(), temp.constData(), 0);
        ::unlinkat(to.folder.fd(), (temp + "-journal").constData(), 0);
        if (error) *error = failure;
        return false;
    }
    return true;
}

QString TranslateFolder(const QString &folder, const QString &fromPlace, const QString &toPlace,
                        const MaintainerConfig &c) {
    const bool fromSecond = usesSecondLayout(fromPlace);
    if (fromSecond == usesSecondLayout(toPlace)) return folder;
    for (const auto &[first, second] : c.Prefixes) {
        const QString &from = fromSecond ? second : first;
        const QString &to = fromSecond ? first : second;
        if (folder.startsWith(from)) return to + folder.mid(from.size());
    }
    return folder;
}

namespace {

// The folder of a place: the stick's on the volume with the label.
QString placeRoot(const MaintainerConfig &c, const QString &name) {
    const SyncPlace *place = c.place(name);
    if (!place) AbortMsg(name + QStringLiteral(" not found."));
    QString root = place->folder;
    if (place->stick) {
        const QString mount = CurrentMachineProbes().volumeWithLabel(c.StickLabel);
        if (mount.isEmpty()) AbortMsg(c.StickLabel + QStringLiteral(" not found."));
        root = mount + place->folder;
    }
    if (!root.endsWith(QLatin1Char('/'))) root += QLatin1Char('/');
    if (!QFileInfo(root).isDir()) AbortMsg(root + QStringLiteral(" not found."));
    return root;
}

// Empties a folder of a place (its files, not the program's own); nothing
// when a link is on its way.
void emptyFolder(const PlaceFolder &place, const QString &rel) {
    const QString folder = place.path() + rel;
    PathStop stop;
    const FolderHandle dir = place.open(rel, false, &stop);
    if (!dir.isOpen()) {
        if (stop.kind == PathStop::Link)
            ShowMsg(QDir::cleanPath(stop.path) == QDir::cleanPath(folder)
                        ? folder + QStringLiteral(" is a link: nothing was deleted from it.")
                        : stop.path + QStringLiteral(" is a link: nothing was deleted from ") + folder +
                              QLatin1Char('.'));
        else if (stop.kind == PathStop::Failed)
            ShowMsg(stop.text());
        return;
    }
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QList<FolderEntry> entries;
    ListFolder(dir.fd(), &entries);
    for (const FolderEntry &e : entries)
        if (e.kind == FolderEntry::File && e.name != own) ::unlinkat(dir.fd(), QFile::encodeName(e.name).constData(), 0);
}

ScannedFile scannedOf(const QFileInfo &info) { return ScannedFile{info.size(), info.lastModified()}; }

// The database: copied when the source's is newer; one newer on the target
// is replaced only when the user agrees. The target's old copy stays as
// ".bak", made after a change the target's program left half-done is rolled
// back, so that neither file gets it.
void copyDatabase(const MaintainerConfig &c, const SyncDirection &d, const QString &sourceRoot,
                  const QString &targetRoot, const SyncHooks &hooks) {
    QString source = FindFileNoCase(sourceRoot, c.DatabaseName);
    QString target = FindFileNoCase(targetRoot, c.DatabaseName);
    if (source.isEmpty()) source = sourceRoot + c.DatabaseName;
    if (target.isEmpty()) target = targetRoot + c.DatabaseName;
    const QFileInfo sourceInfo(source);
    if (sourceInfo.isSymLink()) {
        Progress->AddError(QStringLiteral("Unable to copy database.\r") + linkText(source));
        return;
    }
    if (!sourceInfo.isFile()) {
        Progress->AddError(QStringLiteral("Unable to copy database."));
        return;
    }
    const QFileInfo targetInfo(target);
    const QString bak = targetInfo.absolutePath() + QLatin1Char('/') + BakName(targetInfo.fileName());
    if (targetInfo.isSymLink()) {
        Progress->AddError(QStringLiteral("Unable to copy database.\r") + target +
                           QStringLiteral(" is a link: it was left as it is."));
        return;
    }
    if (targetInfo.exists()) {
        const ScannedFile there = scannedOf(targetInfo);
        switch (CompareCopies(scannedOf(sourceInfo), &there)) {
        case CopyState::Same:
            Progress->AddLine(QStringLiteral("Quillary.MDB is the same on ") + d.target + QStringLiteral(": not copied"));
            return;
        case CopyState::TargetNewer:
            Progress->AddLine(QStringLiteral("Quillary.MDB is newer on ") + d.target);
            if (!YesNo(QStringLiteral("Quillary.MDB on ") + d.target + QStringLiteral(" is newer than on ") + d.source +
                       QStringLiteral(".\rReplace it with the older copy? The newer one is kept as ") +
                       QFileInfo(bak).fileName() + QLatin1Char('.'))) {
                Progress->AddLine(QStringLiteral("Quillary.MDB kept on ") + d.target);
                return;
            }
            break;
        case CopyState::SourceNewer:
            break;
        }
    }
    const bool ontoOpen = !hooks.openDatabase.isEmpty() && targetInfo.canonicalFilePath() == hooks.openDatabase;
    if (ontoOpen && hooks.closeTables) hooks.closeTables();
    QString error;
    const bool there = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
    const bool copied = SettleDatabaseJournal(target, &error) &&
                        (!there || CopyDatabaseWhole(target, bak, &error)) && CopyDatabaseWhole(source, target, &error);
    if (ontoOpen && hooks.openTables) hooks.openTables();
    if (copied)
        Progress->AddLine(QStringLiteral("Quillary.MDB copied from ") + d.source + QStringLiteral(" to ") + d.target);
    else
        Progress->AddError(QStringLiteral("Unable to copy database.\r") + error);
}

// One working folder being copied: its places and relative paths, and
// whether a link met on the way has stopped it.
struct FolderCopy {
    const PlaceFolder &from, &to;
    QString folder;         // as configured, for the messages
    QString fromRel, toRel; // below the places' folders, ending with "/"
    bool halted = false;

    QString fromPath() const { return from.path() + fromRel; }
    QString toPath() const { return to.path() + toRel; }
    // A link on the way: the line naming it, and the folder stops.
    QString halt(const PathStop &stop) {
        halted = true;
        return stop.path + QStringLiteral(" is a link: the copy of ") + folder + QStringLiteral(" stopped there.");
    }
};

// Copies a file, its target's old copy kept as ".bak"; reports either way.
bool copyOne(FolderCopy &f, const QString &rel, TProgress &run) {
    PathStop stop;
    if (CopyPlaceFile(f.from, f.fromRel + rel, f.to, f.toRel + rel, true, &stop)) {
        run.AddLine(QStringLiteral("Copied ") + rel);
        return true;
    }
    QString line = QStringLiteral("ERROR - could not copy ") + rel + QStringLiteral("  ");
    if (rel.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        line += QStringLiteral("\rProgram may be currently running.");
    run.AddError(line + QLatin1Char('\r') + (stop.kind == PathStop::Link ? f.halt(stop) : stop.text()));
    return false;
}

// The target's files that are newer than the source's: listed, then replaced
// only on Yes.
int offerNewerOnTarget(const QStringList &newer, FolderCopy &f, const SyncDirection &d, TProgress &run) {
    if (newer.isEmpty()) return 0;
    for (const QString &rel : newer) run.AddLine(QStringLiteral("Newer on ") + d.target + QStringLiteral(": ") + rel);
    constexpr int shown = 15;
    QString list = QStringList(newer.mid(0, shown)).join(QLatin1Char('\r'));
    if (newer.size() > shown)
        list += QStringLiteral("\r... and ") + QString::number(newer.size() - shown) + QStringLiteral(" more");
    if (!YesNo(QStringLiteral("These files in ") + f.toPath() + QStringLiteral(" are newer on ") + d.target +
               QStringLiteral(" than on ") + d.source + QStringLiteral(":\r") + list +
               QStringLiteral("\rReplace them with the older copies? The newer ones are kept beside them as "
                              "\".bak\"."))) {
        run.AddLine(QStringLiteral("Kept the newer files on ") + d.target);
        return 0;
    }
    int copied = 0;
    for (const QString &rel : newer) {
        if (copyOne(f, rel, run)) ++copied;
        if (f.halted) break;
    }
    return copied;
}

// The relative path is a link of the tree or lies under one.
bool throughLink(const QString &rel, const QStringList &links) {
    for (const QString &link : links)
        if (rel == link || rel.startsWith(link + QLatin1Char('/'))) return true;
    return false;
}

// Offers the deletion of the target's files without a source; false on Cancel.
bool offerDeletions(const QStringList &files, FolderCopy &f, const QString &targetPlace, SyncOutcome &outcome) {
    if (files.isEmpty()) return true;
    const QString targetFolder = f.toPath();
    const bool all = YesNo(targetFolder + files.first() + QStringLiteral("\rDelete all such non-matching files on ") +
                           targetPlace + QStringLiteral(" without asking?"));
    for (const QString &rel : files) {
        bool remove = all;
        if (!all) {
            bool viewed = false;
            for (;;) {
                const int r = DBox3(rel + QStringLiteral("\rDelete from ") + targetFolder + QLatin1Char('?'),
                                    QStringLiteral("&Yes"), QStringLiteral("&No"), 0,
                                    viewed ? QStringLiteral("Cancel") : QStringLiteral("&View"));
                if (r == ResultYes || r == ResultNo) {
                    remove = r == ResultYes;
                    break;
                }
                if (r == ResultCancel && !viewed) {
                    OpenDocument(targetFolder + rel);
                    viewed = true;
                    continue;
                }
                return false; // Cancel, or the box closed
            }
        }
        if (!remove) continue;
        PathStop stop;
        if (RemovePlaceFile(f.to, f.toRel + rel, &stop)) {
            ++outcome.deleted;
            Progress->AddLine(QStringLiteral("Deleted ") + rel);
        } else if (stop.kind == PathStop::Link) {
            Progress->AddError(QStringLiteral("Not deleted: ") + rel + QLatin1Char('\r') + f.halt(stop));
            return true;
        } else if (stop.kind != PathStop::Missing) {
            Progress->AddError(QStringLiteral("Not deleted: ") + rel + QLatin1Char('\r') + stop.text());
        }
    }
    return true;
}

// A working folder's relative path, ending with "/" ("" for the place's folder).
QString folderRel(const QString &rel) {
    return rel.isEmpty() || rel.endsWith(QLatin1Char('/')) ? rel : rel + QLatin1Char('/');
}

} // namespace

SyncOutcome RunSync(const MaintainerConfig &c, const SyncDirection &d, const SyncHooks &hooks) {
    SyncOutcome outcome;
    WriteLog(QStringLiteral("Copy ") + d.caption());
    // 1. The mail client's profile is among the folders copied.
    if (CurrentMachineProbes().programRunning(c.MailProgram))
        AbortMsg(QStringLiteral("Please close ") + capitalised(c.MailProgram) + QStringLiteral(" and try again."));
    // 2.-3. Source and target.
    const QString sourceRoot = placeRoot(c, d.source);
    const QString targetRoot = placeRoot(c, d.target);
    // The places' folders are the user's paths, reached as they stand; all
    // below them is reached without following a link.
    const PlaceFolder sourcePlace(sourceRoot), targetPlace(targetRoot);
    if (!sourcePlace.isOpen()) AbortMsg(sourceRoot + QStringLiteral(" not found."));
    if (!targetPlace.isOpen()) AbortMsg(targetRoot + QStringLiteral(" not found."));
    // A killed copy's temporary database, whichever way that copy went.
    RemoveCopyLeftovers(sourceRoot, c.DatabaseName);
    RemoveCopyLeftovers(targetRoot, c.DatabaseName);
    if (d.offerEmpty && !c.TempWebFolder.isEmpty() &&
        YesNo(QStringLiteral("Delete all files from folders before copying?")))
        emptyFolder(sourcePlace, folderRel(c.TempWebFolder));
    // 4. The database.
    TProgress run(QStringLiteral("Copy from ") + d.source + QStringLiteral(" to ") + d.target);
    copyDatabase(c, d, sourceRoot, targetRoot, hooks);
    // 5. The working folders.
    FolderScan plain;
    FolderScan &scanner = hooks.scanner ? *hooks.scanner : plain;
    auto error = [](const QString &line) { Progress->AddError(line); };
    auto cancelled = [] {
        QCoreApplication::processEvents();
        return CancelRun;
    };
    for (const QString &folder : c.WorkingFolders) {
        run.AddLine(QStringLiteral("**** From ") + folder + QStringLiteral(" ****"));
        // The folders are named in the main PC's layout.
        FolderCopy f{sourcePlace, targetPlace, folder,
                     folderRel(TranslateFolder(folder, QStringLiteral("main PC"), d.source, c)),
                     folderRel(TranslateFolder(folder, QStringLiteral("main PC"), d.target, c))};
        const QString from = f.fromPath(), to = f.toPath();
        PathStop stop;
        ScanResult source;
        {
            const FolderHandle dir = sourcePlace.open(f.fromRel, false, &stop);
            if (!dir.isOpen()) {
                run.AddError(stop.kind == PathStop::Missing ? from + QStringLiteral(" not found.")
                             : stop.kind == PathStop::Link  ? f.halt(stop)
                                                            : stop.text());
                continue;
            }
            source = scanner.scan(dir.fd(), from, error, cancelled);
        }
        if (source.cancelled) {
            outcome.cancelled = true;
            break;
        }
        ScanResult target;
        {
            const FolderHandle dir = targetPlace.open(f.toRel, false, &stop);
            if (dir.isOpen()) {
                target = scanner.scan(dir.fd(), to, error, cancelled);
            } else if (stop.kind != PathStop::Missing) {
                run.AddError(stop.kind == PathStop::Link ? f.halt(stop) : stop.text());
                continue;
            }
        }
        if (target.cancelled) {
            outcome.cancelled = true;
            break;
        }
        // Links are never followed: the source's are not copied, nothing is
        // written under the target's.
        for (const QString &rel : source.links) run.AddLine(QStringLiteral("Passed over the link ") + from + rel);
        for (const QString &rel : target.links) run.AddLine(QStringLiteral("Passed over the link ") + to + rel);
        for (const QString &rel : target.leftovers)
            if (RemovePlaceFile(targetPlace, f.toRel + rel, &stop))
                WriteLog(QStringLiteral("Removed left-over ") + to + rel);
        for (const QString &sub : source.folders) {
            if (throughLink(sub, target.links)) continue;
            targetPlace.open(f.toRel + sub, true, &stop);
            if (stop.kind == PathStop::Link) {
                run.AddError(f.halt(stop));
                break;
            }
            if (stop) AbortMsg(QStringLiteral("Could not create directory:\r") + to + sub);
        }
        if (f.halted) continue;
        QStringList names = source.files.keys();
        names.sort();
        QStringList newerOnTarget;
        for (const QString &rel : names) {
            if (CancelRun || f.halted) break;
            if (throughLink(rel, target.links)) {
                run.AddLine(QStringLiteral("Not copied through a link: ") + rel);
                continue;
            }
            const auto found = target.files.constFind(rel);
            switch (CompareCopies(source.files[rel], found == target.files.constEnd() ? nullptr : &*found)) {
            case CopyState::Same:
                break;
            case CopyState::TargetNewer:
                newerOnTarget << rel;
                break;
            case CopyState::SourceNewer:
                if (copyOne(f, rel, run)) ++outcome.copied;
                break;
            }
        }
        if (!CancelRun && !f.halted) outcome.copied += offerNewerOnTarget(newerOnTarget, f, d, run);
        if (CancelRun) {
            outcome.cancelled = true;
            break;
        }
        if (f.halted) continue;
        QStringList orphans;
        for (auto it = target.files.constBegin(); it != target.files.constEnd(); ++it)
            // What a source link stands for is not known: nothing under it is offered.
            if (!source.files.contains(it.key()) && !source.underUnread(it.key()) &&
                !throughLink(it.key(), source.links))
                orphans << it.key();
        orphans.sort();
        if (!offerDeletions(orphans, f, d.target, outcome)) {
            outcome.cancelled = true;
            break;
        }
    }
    outcome.errors = ProgressErrorCount;
    // 6.
    run.Finish();
    return outcome;
}
