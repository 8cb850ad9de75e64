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
#include <cstring>
#include <filesystem>
#include <sqlite3.h>

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const QString &path) { return fs::path(QFile::encodeName(path).toStdString()); }

QString errnoText(int code) {
    return QStringLiteral("Error code ") + QString::number(code) + QStringLiteral(":  ") +
           QString::fromLocal8Bit(std::strerror(code));
}

// A temporary name in the target's folder; "~" keeps it out of every scan.
QString temporaryBeside(const QString &target) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/~") + info.fileName() + QStringLiteral(".part");
}

bool usesSecondLayout(const QString &place) { return place.compare(QLatin1String("lap-top"), Qt::CaseInsensitive) == 0; }

QString capitalised(const QString &name) { return name.isEmpty() ? name : name.left(1).toUpper() + name.mid(1); }

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
    const QString temp = temporaryBeside(target);
    std::error_code ec;
    // A temporary of a killed run, or a link in its place, goes first: the
    // copy opens its file by name and would write through a link.
    fs::remove(pathOf(temp), ec);
    ec.clear();
    fs::copy_file(pathOf(source), pathOf(temp), fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        const auto time = fs::last_write_time(pathOf(source), ec);
        if (!ec) fs::last_write_time(pathOf(temp), time, ec);
    }
    if (!ec) fs::rename(pathOf(temp), pathOf(target), ec);
    if (ec) {
        if (error) *error = errnoText(ec.value());
        std::error_code ignored;
        fs::remove(pathOf(temp), ignored);
        return false;
    }
    return true;
}

bool ReplaceKeepingBak(const QString &source, const QString &target, QString *error) {
    if (QFileInfo(target).isFile() && !CopyFileWhole(target, target + QStringLiteral(".bak"), error)) return false;
    return CopyFileWhole(source, target, error);
}

int RemoveCopyLeftovers(const QString &folder, const QString &onlyFor) {
    int removed = 0;
    const QDir dir(folder);
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString name = f.fileName();
        if (!CopyTemporary(name)) continue;
        const QString part = QLatin1Char('~') + onlyFor + QStringLiteral(".part");
        if (!onlyFor.isEmpty() && !SameText(name, part) && !SameText(name, part + QStringLiteral("-journal")))
            continue;
        if (QFile::remove(f.absoluteFilePath())) {
            ++removed;
            WriteLog(QStringLiteral("Removed left-over ") + f.absoluteFilePath());
        }
    }
    return removed;
}

bool CopyDatabaseWhole(const QString &source, const QString &target, QString *error) {
    const QString temp = temporaryBeside(target);
    QFile::remove(temp);
    sqlite3 *from = nullptr;
    sqlite3 *to = nullptr;
    QString failure;
    if (sqlite3_open_v2(QFile::encodeName(source).constData(), &from, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        failure = QString::fromUtf8(sqlite3_errmsg(from));
    } else if (sqlite3_open_v2(QFile::encodeName(temp).constData(), &to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                               nullptr) != SQLITE_OK) {
        failure = QString::fromUtf8(sqlite3_errmsg(to));
    } else {
        sqlite3_busy_timeout(from, 5000);
        sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
        if (!backup) {
            failure = QString::fromUtf8(sqlite3_errmsg(to));
        } else {
            const int rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE) failure = QString::fromUtf8(sqlite3_errstr(rc));
        }
    }
    sqlite3_close(from);
    sqlite3_close(to);
    if (failure.isEmpty()) {
        // The source's time, so the next copy finds the two the same.
        std::error_code ec;
        const auto time = fs::last_write_time(pathOf(source), ec);
        if (!ec) fs::last_write_time(pathOf(temp), time, ec);
        if (!ec) fs::rename(pathOf(temp), pathOf(target), ec);
        if (ec) failure = errnoText(ec.value());
    }
    if (!failure.isEmpty()) {
        QFile::remove(temp);
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

void emptyFolder(const QString &folder) {
    // Emptying through a link would empty a folder outside the trees.
    if (QFileInfo(QDir::cleanPath(folder)).isSymLink()) {
        ShowMsg(folder + QStringLiteral(" is a link: nothing was deleted from it."));
        return;
    }
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        if (f.fileName() != own) QFile::remove(f.absoluteFilePath());
}

ScannedFile scannedOf(const QFileInfo &info) { return ScannedFile{info.size(), info.lastModified()}; }

// The database: copied when the source's is newer; one newer on the target
// is replaced only when the user agrees. The target's old copy stays as ".bak".
void copyDatabase(const MaintainerConfig &c, const SyncDirection &d, const QString &sourceRoot,
                  const QString &targetRoot, const SyncHooks &hooks) {
    QString source = FindFileNoCase(sourceRoot, c.DatabaseName);
    QString target = FindFileNoCase(targetRoot, c.DatabaseName);
    if (source.isEmpty()) source = sourceRoot + c.DatabaseName;
    if (target.isEmpty()) target = targetRoot + c.DatabaseName;
    if (!QFileInfo(source).isFile()) {
        Progress->AddError(QStringLiteral("Unable to copy database."));
        return;
    }
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink()) {
        Progress->AddError(QStringLiteral("Unable to copy database.\r") + target +
                           QStringLiteral(" is a link: it was left as it is."));
        return;
    }
    if (targetInfo.exists()) {
        const ScannedFile there = scannedOf(targetInfo);
        switch (CompareCopies(scannedOf(QFileInfo(source)), &there)) {
        case CopyState::Same:
            Progress->AddLine(QStringLiteral("Quillary.MDB is the same on ") + d.target + QStringLiteral(": not copied"));
            return;
        case CopyState::TargetNewer:
            Progress->AddLine(QStringLiteral("Quillary.MDB is newer on ") + d.target);
            if (!YesNo(QStringLiteral("Quillary.MDB on ") + d.target + QStringLiteral(" is newer than on ") + d.source +
                       QStringLiteral(".\rReplace it with the older copy? The newer one is kept as ") +
                       targetInfo.fileName() + QStringLiteral(".bak."))) {
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
    const bool copied = (!targetInfo.exists() || CopyFileWhole(target, target + QStringLiteral(".bak"), &error)) &&
                        CopyDatabaseWhole(source, target, &error);
    if (ontoOpen && hooks.openTables) hooks.openTables();
    if (copied)
        Progress->AddLine(QStringLiteral("Quillary.MDB copied from ") + d.source + QStringLiteral(" to ") + d.target);
    else
        Progress->AddError(QStringLiteral("Unable to copy database.\r") + error);
}

// Copies a file, its target's old copy kept as ".bak"; reports either way.
bool copyOne(const QString &from, const QString &to, const QString &rel, TProgress &run) {
    QString failure;
    if (ReplaceKeepingBak(from + rel, to + rel, &failure)) {
        run.AddLine(QStringLiteral("Copied ") + rel);
        return true;
    }
    QString line = QStringLiteral("ERROR - could not copy ") + rel + QStringLiteral("  ");
    if (rel.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        line += QStringLiteral("\rProgram may be currently running.");
    run.AddError(line + QLatin1Char('\r') + failure);
    return false;
}

// The target's files that are newer than the source's: listed, then replaced
// only on Yes.
int offerNewerOnTarget(const QStringList &newer, const QString &from, const QString &to, const SyncDirection &d,
                       TProgress &run) {
    if (newer.isEmpty()) return 0;
    for (const QString &rel : newer) run.AddLine(QStringLiteral("Newer on ") + d.target + QStringLiteral(": ") + rel);
    constexpr int shown = 15;
    QString list = QStringList(newer.mid(0, shown)).join(QLatin1Char('\r'));
    if (newer.size() > shown)
        list += QStringLiteral("\r... and ") + QString::number(newer.size() - shown) + QStringLiteral(" more");
    if (!YesNo(QStringLiteral("These files in ") + to + QStringLiteral(" are newer on ") + d.target +
               QStringLiteral(" than on ") + d.source + QStringLiteral(":\r") + list +
               QStringLiteral("\rReplace them with the older copies? The newer ones are kept beside them as "
                              "\".bak\"."))) {
        run.AddLine(QStringLiteral("Kept the newer files on ") + d.target);
        return 0;
    }
    int copied = 0;
    for (const QString &rel : newer)
        if (copyOne(from, to, rel, run)) ++copied;
    return copied;
}

// The relative path is a link of the tree or lies under one.
bool throughLink(const QString &rel, const QStringList &links) {
    for (const QString &link : links)
        if (rel == link || rel.startsWith(link + QLatin1Char('/'))) return true;
    return false;
}

// Offers the deletion of the target's files without a source; false on Cancel.
bool offerDeletions(const QStringList &files, const QString &targetFolder, const QString &targetPlace,
                    SyncOutcome &outcome) {
    if (files.isEmpty()) return true;
    const bool all = YesNo(targetFolder + files.first() + QStringLiteral("\rDelete all such non-matching files on ") +
                           targetPlace + QStringLiteral(" without asking?"));
    for (const QString &rel : files) {
        const QString path = targetFolder + rel;
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
                    OpenDocument(path);
                    viewed = true;
                    continue;
                }
                return false; // Cancel, or the box closed
            }
        }
        if (remove && QFile::remove(path)) {
            ++outcome.deleted;
            Progress->AddLine(QStringLiteral("Deleted ") + rel);
        }
    }
    return true;
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
    // A killed copy's temporary database, whichever way that copy went.
    RemoveCopyLeftovers(sourceRoot, c.DatabaseName);
    RemoveCopyLeftovers(targetRoot, c.DatabaseName);
    if (d.offerEmpty && !c.TempWebFolder.isEmpty() &&
        YesNo(QStringLiteral("Delete all files from folders before copying?")))
        emptyFolder(sourceRoot + c.TempWebFolder);
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
        const QString from = sourceRoot + TranslateFolder(folder, QStringLiteral("main PC"), d.source, c);
        const QString to = targetRoot + TranslateFolder(folder, QStringLiteral("main PC"), d.target, c);
        if (!QFileInfo(from).isDir()) {
            run.AddError(from + QStringLiteral(" not found."));
            continue;
        }
        const ScanResult source = scanner.scan(from, error, cancelled);
        if (source.cancelled) {
            outcome.cancelled = true;
            break;
        }
        const ScanResult target = QFileInfo(to).isDir() ? scanner.scan(to, error, cancelled) : ScanResult();
        if (target.cancelled) {
            outcome.cancelled = true;
            break;
        }
        // Links are never followed: the source's are not copied, nothing is
        // written under the target's.
        for (const QString &rel : source.links) run.AddLine(QStringLiteral("Passed over the link ") + from + rel);
        for (const QString &rel : target.links) run.AddLine(QStringLiteral("Passed over the link ") + to + rel);
        for (const QString &rel : target.leftovers)
            if (QFile::remove(to + rel)) WriteLog(QStringLiteral("Removed left-over ") + to + rel);
        for (const QString &sub : source.folders) {
            if (throughLink(sub, target.links)) continue;
            const QString path = to + sub;
            if (!QDir().mkpath(path)) AbortMsg(QStringLiteral("Could not create directory:\r") + path);
        }
        QStringList names = source.files.keys();
        names.sort();
        QStringList newerOnTarget;
        for (const QString &rel : names) {
            if (CancelRun) break;
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
                if (copyOne(from, to, rel, run)) ++outcome.copied;
                break;
            }
        }
        if (!CancelRun) outcome.copied += offerNewerOnTarget(newerOnTarget, from, to, d, run);
        if (CancelRun) {
            outcome.cancelled = true;
            break;
        }
        QStringList orphans;
        for (auto it = target.files.constBegin(); it != target.files.constEnd(); ++it)
            // What a source link stands for is not known: nothing under it is offered.
            if (!source.files.contains(it.key()) && !source.underUnread(it.key()) &&
                !throughLink(it.key(), source.links))
                orphans << it.key();
        orphans.sort();
        if (!offerDeletions(orphans, to, d.target, outcome)) {
            outcome.cancelled = true;
            break;
        }
    }
    outcome.errors = ProgressErrorCount;
    // 6.
    run.Finish();
    return outcome;
}
