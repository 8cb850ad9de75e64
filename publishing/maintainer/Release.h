#pragma once
// The maintainer's release: the "Install" folder in the program's folder
// receives the program (its help pages travel inside it), the accompanying
// files, a cleaned copy of the database and a starter settings file. The
// working database is only read: the copy is made with VACUUM INTO a
// temporary file, cleaned on a connection of its own in one transaction and
// renamed into place, so a failure leaves the Install folder's old copy.

#include "core/startup/MaintainerConfig.h"

#include <QDate>
#include <QString>
#include <QStringList>

class Database;

struct ReleaseInput {
    QString programFolder;   // ends with "/"
    QString programFile;     // the running program
    QStringList recordings;  // the settings' [Recordings] as "key=value" lines
    QDate today;
    QChar separator;         // the programme separator
};

struct ReleaseOutcome {
    int dances = 0;
    int instructionsRemoved = 0;
    int eventsDeleted = 0;
};

// What the release database keeps of a dance's music: its live text.
QString ReleaseMusic(const QString &music, QChar separator);
// A programme without its note items; "" when nothing else is left.
QString ProgrammeWithoutNotes(const QString &stored, QChar separator);
// The programme is marked as not available: its first item is the note "-".
bool ProgrammeNotAvailable(const QString &stored, QChar separator);
// The release settings file's text.
QString ReleaseSettingsText(const QStringList &recordings);

// Cleans a release database in place, in one transaction.
ReleaseOutcome CleanReleaseDatabase(Database &release, const MaintainerConfig &c, const QDate &today, QChar separator);

// The whole release (steps logged; every failure shown and abandoning).
ReleaseOutcome MakeRelease(Database &working, const MaintainerConfig &c, const ReleaseInput &in);

// At program start: the temporaries a killed release left in the Install
// folder, and the database copies a killed copy between machines left beside
// the database and (given the maintainer's places) in each machine's folder.
void RemoveMaintainerLeftovers(const QString &programFolder, const QString &databasePath,
                               const MaintainerConfig *places = nullptr);
