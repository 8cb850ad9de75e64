#pragma once
// Copying the maintainer's working folders and database between two places
// (the main PC, the lap-top, the USB stick): only new or changed files are
// copied, each whole (a temporary name, then renamed over the target) and
// keeping its modification time; target files without a source are offered
// for deletion, never under a folder whose scan failed and never after a
// Cancel. Messages go through the message layer, lines to the progress box.

#include "core/startup/MaintainerConfig.h"
#include "publishing/maintainer/FolderScan.h"

#include <QString>
#include <functional>

// A file counts as changed when the target is missing, the sizes differ or
// the modification times lie more than 2 seconds apart (FAT keeps 2-second
// times).
bool FileChanged(const ScannedFile &source, const ScannedFile *target);

// Copies a file to a temporary name in the target's folder, gives it the
// source's modification time and renames it over the target. False with
// *error ("Error code " + errno + ":  " + its text) when it failed; the
// target is then as it was.
bool CopyFileWhole(const QString &source, const QString &target, QString *error);

// Copies a database with SQLite's backup API into a temporary file beside
// the target, then renames it over the target. False with *error.
bool CopyDatabaseWhole(const QString &source, const QString &target, QString *error);

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
