#pragma once
// The database of the run: the one connection, the free-SQL query, the two
// table datasets; opening them with the upkeep of an older file, the Dances
// orders and their indexes, compaction, backup and restore.

#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/Query.h"

extern Database Conn;
extern Query MyQuery;
extern Dataset EventsData;
extern Dataset DancesData;
// While set, showing a dance does not bring the Dances page to the front.
extern bool QuietShow;

// One sort order of the Dances page: its index name, columns and entry in
// the order box.
struct DanceOrder {
    QString name;
    QString columns;
    int boxEntry;
};
// "FTS", "FSRT" and "TSF" select themselves; anything else is "FST".
DanceOrder DanceOrderOf(const QString &setting);

// The maker's web site, old and new, as Notes links name them.
extern const QString OldWebHost;
extern const QString NewWebHost;

// Opens the connection on DatabasePath() and both datasets with their
// handlers and indexes, rebuilding a missing Dances index, and runs the
// upkeep (Notes links, the CD column). False when the file cannot be
// opened: the reason is shown and the run must end. Events is left with its
// controls disabled and without its after-scroll handler.
bool OpenDatabase();
// Deletes the dances whose title holds "####" and creates the order's index.
void RebuildDanceIndex(const QString &order);
// Rewrites the old web host in every Notes field (one transaction); nothing
// happens when no Notes field holds it. The pass that looks for it also
// reads the authors of the rule editor's list (DistinctDanceValues).
void MigrateNotes();
// The values of a Dances field, spelt and ordered as "Select Distinct " +
// field + " from Dances Order by " + field gives them. The authors read
// while the notes were checked serve once, while nothing has changed the
// catalogue since (a write by this program or another, a reopen, a schema
// change); otherwise the values are read again.
QStringList DistinctDanceValues(const QString &field);

// The connection (when closed) and both datasets open again.
void OpenTables();
// Filters off, pending edits saved, datasets and connection closed.
void CloseConn();

// What a killed run left beside the database and the settings file: the
// compaction copy "Quillary.Sav" and its journal are removed; a settings
// write's temporary file ("Quillary.ini." + six letters or digits) is only
// logged, since a user's own "Quillary.ini.backup" looks the same.
void CleanLeftovers(const QString &databasePath, const QString &iniPath);

enum class CompressSender { None, Menu, ReleaseTool };
// Compacts the open database into "Quillary.Sav" beside it and puts that in
// its place; the datasets reopen in every case. False (with *error) when it
// failed: the original file is then untouched.
bool CompactDatabase(qint64 *oldSize, qint64 *newSize, QString *error);
// The Compress command: compacts, then (unless from the release tool) shows
// both sizes and records the new one as [System] DBSize.
void CompressClick(CompressSender sender);

void BackupClick();
void RestoreClick();
// After a backup or restore command: the tables open again, on the kept
// records when a backup kept them.
void ReopenDatabase();

// A file's size in bytes, 0 when it is not there.
qint64 FileSizeOf(const QString &name);

// Start-up's database steps: open, compact when the file has grown, stand
// Events on today's event (else the last), attach the Events after-scroll
// handler and enable its controls. False when the run must end.
bool StartDatabase();

// Closes everything and forgets handlers, filters and kept positions (tests).
void ResetTables();
