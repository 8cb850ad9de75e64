#pragma once
// Which settings file and data folder a run uses: the standard settings
// file, a database's own ".Ini" file, or the private per-user copy when the
// program folder cannot be written.

#include <QString>

struct SettingsChoice {
    bool found = false;   // the standard settings file exists
    QString standardPath; // the standard settings file, as found
    QString iniPath;      // the settings file to use
    QString databaseName; // [System] DBName of the standard file
    bool nonStandard = false;
    QString twinName; // the ".Ini" file's name when it is used, else empty
};

// Looks at a data folder: reads DBName from its "Quillary.ini" and, for
// another database than the standard one, uses the file named like that
// database with the extension ".Ini" when the folder holds one. Names are
// matched whatever their case; a DBName with a path gives its file name.
SettingsChoice ChooseSettingsFile(const QString &folder);

// path + " not found.  Quillary cannot run.", or for a folder of that name
// path + " is a folder, not a settings file.  Quillary cannot run."
QString SettingsNotFoundText(const QString &path);
// The warning shown for another database than the standard one.
QString NonStandardWarning(const SettingsChoice &choice);

// Chooses the settings file in DataFolder and opens IniFile on it, setting
// IniName, DatabaseName and NonStandardDB. Another database turns AuthorMode
// off and shows its warning. False, with nothing shown, when the folder has
// no settings file.
bool OpenSettingsFile();

// Probes that the settings file can be written. When it cannot, DataFolder
// becomes the private folder under documentsFolder, where the standard
// database and settings file are copied on the first such start (after
// asking), and the standard settings file there is used. False when the run
// must end (no documents folder, the copy refused or failed). On success the
// process's current folder is DataFolder.
bool CheckDataFolder(const QString &documentsFolder);
// The user's documents folder, empty when unknown.
QString DocumentsFolder();

// The database would not open: shows why and, for another database than the
// standard one, switches DataFolder's standard settings file back to the
// standard database.
void DatabaseOpenFailed(const QString &error);
