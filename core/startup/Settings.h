#pragma once
// The settings object, the folders and the state fixed at start-up, the
// defaults of the settings keys, and the option marks stored by item name.

#include "platform/ini/IniFile.h"

#include <QChar>
#include <QList>
#include <QString>
#include <memory>

// The settings object on the settings file in use. It is released and made
// again (the whiteboard does so after rewriting the file), so nobody keeps a
// pointer or reference to it across calls: always go through IniFile.
extern std::unique_ptr<TIniFile> IniFile;
// The settings file in use (full path).
extern QString IniName;
// The value of [System] DBName, and whether it names another database than
// the standard "Quillary.mdb".
extern QString DatabaseName;
extern bool NonStandardDB;

// Folders, each ending with "/". DataFolder and ProgramFolder live in
// base/AppState.h.
extern QString PrivateFolder;      // the user's documents folder + "Quillary/"
extern QString TempFolder;         // the user's own temporary folder
extern QString ProgramFilesFolder; // the parent of the program folder
extern QString BaseFolder;         // recorded music
extern QString ScrivletPath;       // the sibling HTML editor, or empty
extern QString RTFFile;            // DataFolder + "$$This.RTF"
extern QString ProgHtmPath;        // DataFolder + "Prog.htm"

// The first character of [System] Delim.
extern QChar ProgrammeSeparator;
// The decorative font of the special-character panel.
extern QString SpecialFont;
// Screen width * 10000 / the main window's design width, 0 when not set.
extern int ScreenScale;
// Index of "Location" among the [Recorded] keys, -1 when there is none.
extern int LocationColumn;
// The playback panel's normal size.
extern int PlayPanelWidth;
extern int PlayPanelHeight;
// Set while the main window's start-up runs.
extern bool StartingUp;

// The standard names.
inline const QString StandardDatabaseName = QStringLiteral("Quillary.mdb");
inline const QString StandardIniName = QStringLiteral("Quillary.ini");

// Makes a folder the data folder: DataFolder, RTFFile and ProgHtmPath.
void SetDataFolder(const QString &folder);
// The folders fixed first at start-up: the program folder as the data
// folder, the temporary folder and the program-files folder (the program
// folder's parent).
void InitStartFolders();
// The sibling HTML editor: "Scrivlet/Scrivlet" in the program-files folder,
// else "Scrivlet" on the search path, else empty.
QString FindScrivlet(const QString &programFilesFolder);

// Puts all of the above back to its state before start-up (tests).
void ResetSettingsState();

// The defaults of the [System], [User] and [Cards] keys. Booleans are "1"
// or "0". A key outside the table has the empty default.
QString SettingDefault(const QString &section, const QString &key);
// Reads a key with its default from the table; without a settings object
// the default itself.
QString SettingText(const QString &section, const QString &key);
int SettingInteger(const QString &section, const QString &key);
qint64 SettingInt64(const QString &section, const QString &key);
bool SettingBool(const QString &section, const QString &key);

// The database file: DatabaseName as it stands when it starts with "/" or
// holds ":", else the file of that name in DataFolder, whatever its case.
// Stored "\" separators become "/".
QString DatabasePath();
QString DatabasePathIn(const QString &folder, const QString &databaseName);

// The option menu items whose check marks are stored under [System] by the
// item's name.
struct OptionItem {
    QString name;
    QString caption;
    bool defaultChecked;
    bool ownHandler; // its click does more than store the mark
};
const QList<OptionItem> &OptionItems();

// Reads the item's mark from [System] with the given default and remembers it.
bool LoadMenuOption(const QString &item, bool def);
// LoadMenuOption for every option item with its default.
void LoadMenuOptions();
// The remembered mark; the item's default before it was loaded.
bool OptionChecked(const QString &item);
// Writes the mark and remembers it (only after the write succeeded).
void StoreOption(const QString &item, bool checked);
// Toggles the remembered mark and writes it; returns the new mark.
bool SaveChecked(const QString &item);

// The tune-book column: 0 hide, 1 the tune-book only, 2 both.
struct TolbrookChoice {
    int index;       // 0, 1 or 2
    QString caption; // the TolbrookM menu caption
    bool showBox;    // the Tolbrook box and its label are shown
};
// The item chosen by a stored value: 0 and 1 as they are, any other value 2.
int TolbrookIndex(int stored);
// Selecting an item stores its digit as [System] ShowTolbrook.
TolbrookChoice TolbrookClick(int index);
// The start-up selection from [System] ShowTolbrook.
TolbrookChoice LoadTolbrook();
