#pragma once
// The maintainer's own configuration: "Maintainer.ini" in the maintainer
// folder. Everything the site tools, the release and the copy between
// machines need that is the maintainer's and not the program's: his name,
// his collection codes, the site copy, the keep rules of a release, the
// places and working folders of the copy. A missing file or key gives our
// default (resources/maintainer/Maintainer.ini is a commented sample).

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One place the working folders are copied between: a folder standing for a
// machine, or the stick (found by its volume label).
struct SyncPlace {
    QString name;   // "main PC", "lap-top", "USB stick"
    QString folder; // ends with "/"; for the stick: the folder on the volume
    bool stick = false;
};

// One copy command of the menu: its caption, its places and whether the
// source's temporary web folder may be emptied first.
struct SyncDirection {
    QString source, target;
    bool offerEmpty = false;
    QString caption() const;
};

struct MaintainerConfig {
    QString Name = QStringLiteral("Vellam Orrisk");
    QString OwnCode = QStringLiteral("KRAV");
    QString InterpretationCode = QStringLiteral("MOXE");
    QStringList PublishedCodes;  // collections printed as books
    QString PrivateSite = QStringLiteral("/private/");
    QString RecordingsPage = QStringLiteral("recordings.htm");
    QString SiteFolder;             // the local copy of the site
    QString DancesTable;            // the dances table's table text
    QString DancesPage;             // the site's dances page, rebuilt by "My Dances"
    QString CollectTable, LevelTable; // its other two tables' table text
    QList<QPair<QString, QString>> CodeLinks; // collection code, its page on the site
    QStringList InstructionFiles;   // his instruction collections (text with " .WE" and ".DT" lines)
    QString Feedback;               // the feedback link put under the bookings table
    QString LibraryOld, LibraryNew; // the outside library's address, http and https
    QString CDFolder;               // the dance-book disc's pages
    QString ScottishFile;           // the list opened by "Scottish"
    // Release.
    QStringList KeepAuthors;        // besides "Traditional"
    QString KeepList;               // "CanKeep.Txt"
    QString HelpFolder;             // the help pages a release carries
    QStringList ReleaseFiles;       // the five accompanying files
    QString ReleaseFilesFolder;
    // Copying between machines.
    QList<SyncPlace> Places;
    QList<SyncDirection> Directions;
    QStringList WorkingFolders;     // relative to a place's folder, in the main PC's layout
    QList<QPair<QString, QString>> Prefixes; // main PC's prefix, lap-top's prefix
    QString DatabaseName = QStringLiteral("Quillary.mdb");
    QString TempWebFolder;          // emptied on request before copying
    QString StickLabel = QStringLiteral("VELLAM");
    QString MailProgram = QStringLiteral("thunderbird");

    const SyncPlace *place(const QString &name) const;
};

// Reads a configuration file (a missing file gives the defaults). Relative
// folders are taken under baseFolder (ending with "/").
MaintainerConfig ReadMaintainerConfig(const QString &iniPath, const QString &baseFolder);
// The configuration of the run: read from the maintainer folder on first use.
const MaintainerConfig &Maintainer();
// Forgets the configuration read, so the next use reads the file again.
void ReloadMaintainerConfig();
