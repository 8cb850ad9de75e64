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

bool FileChanged(const ScannedFile &source, const ScannedFile *target) {
    if (!target || target->size != source.size) return true;
    return std::abs(source.modified.msecsTo(target->modified)) > 2000;
}

bool CopyFileWhole(const QString &source, const QString &target, QString *error) {
    const QString temp = temporaryBeside(target);
    std::error_code ec;
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
        std::error_code ec;
        fs::rename(pathOf(temp), pathOf(target), ec);
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
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        if (f.fileName() != own) QFile::remove(f.absoluteFilePath());
}

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
    const bool ontoOpen = !hooks.openDatabase.isEmpty() && QFileInfo(target).canonicalFilePath() == hooks.openDatabase;
    if (ontoOpen && hooks.closeTables) hooks.closeTables();
    QString error;
    const bool copied = CopyDatabaseWhole(source, target, &error);
    if (ontoOpen && hooks.openTables) hooks.openTables();
    if (copied)
        Progress->AddLine(QStringLiteral("Quillary.MDB copied from ") + d.source + QStringLiteral(" to ") + d.target);
    else
        Progress->AddError(QStringLiteral("Unable to copy database.\r") + error);
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
        for (const QString &sub : source.folders) {
            const QString path = to + sub;
            if (!QDir().mkpath(path)) AbortMsg(QStringLiteral("Could not create directory:\r") + path);
        }
        const ScanResult target = scanner.scan(to, error, cancelled);
        if (target.cancelled) {
            outcome.cancelled = true;
            break;
        }
        QStringList names = source.files.keys();
        names.sort();
        for (const QString &rel : names) {
            if (CancelRun) break;
            const ScannedFile &file = source.files[rel];
            const auto found = target.files.constFind(rel);
            if (!FileChanged(file, found == target.files.constEnd() ? nullptr : &*found)) continue;
            QString failure;
            if (CopyFileWhole(from + rel, to + rel, &failure)) {
                ++outcome.copied;
                run.AddLine(QStringLiteral("Copied ") + rel);
            } else {
                QString line = QStringLiteral("ERROR - could not copy ") + rel + QStringLiteral("  ");
                if (rel.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
                    line += QStringLiteral("\rProgram may be currently running.");
                run.AddError(line + QLatin1Char('\r') + failure);
            }
        }
        if (CancelRun) {
            outcome.cancelled = true;
            break;
        }
        QStringList orphans;
        for (auto it = target.files.constBegin(); it != target.files.constEnd(); ++it)
            if (!source.files.contains(it.key()) && !source.underUnread(it.key())) orphans << it.key();
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
