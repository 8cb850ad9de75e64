#pragma once
// Copying the maintainer's working folders and database between two places
// (the main PC, the lap-top, the USB stick): only files new or newer on the
// source are copied, each whole (a temporary name, then renamed over the
// target) and keeping its modification time, the target's old copy kept
// beside it as ".bak"; files and a database newer on the target are listed
// and replaced only when the user agrees. Target files without a source are
// offered for deletion, never under a folder whose scan failed and never
// after a Cancel. Symbolic links are passed over and reported, on either
// side: every folder from a place's folder down to a file is opened without
// following a link just before the file is read, written or deleted, and a
// link met there stops the copy of that working folder with a line naming
// it. Messages go through the message layer, lines to the progress box.

#include "core/startup/MaintainerConfig.h"
#include "publishing/maintainer/FolderScan.h"

#include <QString>
#include <functional>

// Which copy of a file is the newer. Times within 2 seconds are the same
// (FAT keeps 2-second times); then a size that differs counts the source as
// newer unless its time is the earlier. A missing target: the source.
enum class CopyState { Same, SourceNewer, TargetNewer };
CopyState CompareCopies(const ScannedFile &source, const ScannedFile *target);

// Copies a file to a temporary name in the target's folder, gives it the
// source's modification time and renames it over the target. False with
// *error ("Error code " + errno + ":  " + its text) when it failed; the
// target is then as it was.
bool CopyFileWhole(const QString &source, const QString &target, QString *error);

// Copies a database with SQLite's backup API into a temporary file beside
// the target, then renames it over the target (a journal of the file
// replaced goes first). Neither file is reached through a link. A source
// with a change left half-done (its journal) is refused. False with *error.
bool CopyDatabaseWhole(const QString &source, const QString &target, QString *error);

// Opens a database once through SQLite, so that the journal of a change a
// killed program left half-done is rolled back into it; that journal would
// otherwise be rolled back into whatever file next has the database's name.
// Neither is reached through a link. False with *error when a journal is
// still there afterwards.
bool SettleDatabaseJournal(const QString &database, QString *error);

// Removes a copy's temporaries ("~" + name + ".part", "~qcopy" + counter +
// ".part", and a database's journal of either) left in a folder (not below)
// by a killed run, each logged; with onlyFor set, only those of that file
// name (any case), of its ".bak", and the counted ones. Returns how many
// were removed.
int RemoveCopyLeftovers(const QString &folder, const QString &onlyFor = QString());

// A working folder's path in the other place's layout: the main PC and the
// stick keep the first prefix of each pair, the lap-top the second.
QString TranslateFolder(const QString &folder, const QString &fromPlace, const QString &toPlace,
                        const MaintainerConfig &c);

// What the running program does around a copy onto its own open database.
struct SyncHooks {
    QString openDatabase;              // canonical path of the open database, "" when none
    std::function<void()> closeTables; // before the open database is replaced
    std::function<void()> openTables;  // after
    FolderScan *scanner = nullptr;     // null: the plain folder scan
};

struct SyncOutcome {
    int copied = 0;
    int deleted = 0;
    int errors = 0;
    bool cancelled = false;
};

// The whole copy command for one direction (from the menu item).
SyncOutcome RunSync(const MaintainerConfig &c, const SyncDirection &direction, const SyncHooks &hooks);
