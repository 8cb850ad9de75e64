#include "core/startup/Settings.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "programme/rows/RowLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <cstdlib>

std::unique_ptr<TIniFile> IniFile;
QString IniName;
QString DatabaseName = StandardDatabaseName;
bool NonStandardDB = false;

QString PrivateFolder;
QString TempFolder;
QString ProgramFilesFolder;
QString BaseFolder;
QString ScrivletPath;
QString RTFFile;
QString ProgHtmPath;

QChar ProgrammeSeparator = SepDot;
QString SpecialFont;
int ScreenScale = 0;
int LocationColumn = -1;
int PlayPanelWidth = 0;
int PlayPanelHeight = 0;
bool StartingUp = false;

namespace {

const QList<OptionItem> &optionTable() {
    static const QList<OptionItem> items = {
        {QStringLiteral("IntEditor"), QStringLiteral("Internal Editor"), true, false},
        {QStringLiteral("UsePrimary"), QStringLiteral("Use Primary Font"), true, false},
        {QStringLiteral("IntPlayer"), QStringLiteral("Internal Player"), true, false},
        {QStringLiteral("ShowBars"), QStringLiteral("Show scroll-bars"), true, false},
        {QStringLiteral("ShowTitles"), QStringLiteral("Show titles"), true, true},
        {QStringLiteral("UseFooter"), QStringLiteral("Use footer"), true, false},
        {QStringLiteral("Refine"), QStringLiteral("Refine"), true, false},
        {QStringLiteral("UseCSS"), QStringLiteral("Use CSS"), true, false},
        {QStringLiteral("Warn"), QStringLiteral("Warn"), true, false},
        {QStringLiteral("ShowRules"), QStringLiteral("Rules"), true, true},
        {QStringLiteral("RecDets"), QStringLiteral("Recordings"), true, true},
        {QStringLiteral("PlayABC"), QStringLiteral("Play ABC"), true, false},
        {QStringLiteral("ToFit"), QStringLiteral("To fit"), false, true},
        {QStringLiteral("Folders"), QStringLiteral("Folders"), false, true},
        {QStringLiteral("Gender"), QStringLiteral("Gender-free"), false, true},
        {QStringLiteral("NumLock"), QStringLiteral("NumLock"), false, false},
    };
    return items;
}

// Folded "SECTION\nKEY" -> default text.
const QHash<QString, QString> &defaultTable() {
    static const QHash<QString, QString> table = [] {
        const QString one = QStringLiteral("1"), zero = QStringLiteral("0"), empty;
        const struct {
            const char *section, *key;
            QString value;
        } rows[] = {
            {"System", "DBName", StandardDatabaseName},
            {"System", "Delim", QString(SepDot)},
            {"System", "DOrder", QStringLiteral("FST")},
            {"System", "DBSize", zero},
            {"System", "Version", empty},
            {"System", "ShowTolbrook", one},
            {"System", "Notes", QStringLiteral("4")},
            {"System", "CPeriod", QStringLiteral("18")},
            {"System", "CTimes", QStringLiteral("10")},
            {"System", "Name", empty},
            {"System", "RFolder", QStringLiteral("My Music")},
            {"System", "FolderSize", QStringLiteral("12")},
            {"System", "FullWidth", zero},
            {"System", "FullHeight", zero},
            {"System", "FullSize", one},
            {"System", "Volume", QStringLiteral("100")},
            {"System", "Speed", QStringLiteral("100")},
            {"System", "Hand", zero},
            {"System", "Man", QStringLiteral("Lark")},
            {"System", "Woman", QStringLiteral("Raven")},
            {"User", "Editor", empty},
            {"User", "Backup", empty},
            {"User", "Restore", empty},
            {"User", "Bookings", empty},
            {"User", "Interval", QStringLiteral("30")},
            {"User", "Break", QStringLiteral("30")},
            {"User", "Images", empty},
            {"User", "ABC", empty},
            {"User", "Template", QStringLiteral("Template.RTF")},
            {"User", "Zoom", QStringLiteral("100")},
            {"User", "Regular", empty},
            {"Cards", "DFont", QStringLiteral("Arial")},
            {"Cards", "DSize", QStringLiteral("12")},
            {"Cards", "HalfLines", zero},
        };
        QHash<QString, QString> t;
        auto id = [](const QString &s, const QString &k) {
            return FoldUpper(s) + '\n' + FoldUpper(k);
        };
        for (const auto &r : rows)
            t.insert(id(QLatin1String(r.section), QLatin1String(r.key)), r.value);
        for (const OptionItem &o : optionTable())
            t.insert(id(QStringLiteral("System"), o.name), o.defaultChecked ? one : zero);
        return t;
    }();
    return table;
}

QHash<QString, bool> &optionMarks() {
    static QHash<QString, bool> marks;
    return marks;
}

bool parseDefaultInteger(const QString &text, qint64 *out) {
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 10);
    if (ok) *out = v;
    return ok;
}

} // namespace

void ResetSettingsState() {
    IniFile.reset();
    IniName.clear();
    DatabaseName = StandardDatabaseName;
    NonStandardDB = false;
    PrivateFolder.clear();
    TempFolder.clear();
    ProgramFilesFolder.clear();
    BaseFolder.clear();
    ScrivletPath.clear();
    RTFFile.clear();
    ProgHtmPath.clear();
    ProgrammeSeparator = SepDot;
    SpecialFont.clear();
    ScreenScale = 0;
    LocationColumn = -1;
    PlayPanelWidth = 0;
    PlayPanelHeight = 0;
    ThisIndex = -1;
    StartingUp = false;
    optionMarks().clear();
    TIniFile::ResetBackups();
}

void SetDataFolder(const QString &folder) {
    DataFolder = folder;
    RTFFile = DataFolder + QStringLiteral("$$This.RTF");
    ProgHtmPath = DataFolder + QStringLiteral("Prog.htm");
}

namespace {

// The user's own folder for what the program writes to show or play ("List.Txt",
// sounds): in the shared temporary folder another user could put a link
// under one of those names, and a save writes through a link into its
// target. The runtime folder is the user's alone; failing that, a new folder
// of our own is made in the temporary folder.
QString OwnTempFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime + QStringLiteral("/Quillary")))
        return runtime + QStringLiteral("/Quillary/");
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/Quillary-XXXXXX"));
    if (::mkdtemp(pattern.data())) return QFile::decodeName(pattern) + '/';
    return QDir::tempPath() + '/';
}

} // namespace

void InitStartFolders() {
    SetDataFolder(ProgramFolder);
    TempFolder = OwnTempFolder();
    const QString parent = QDir::cleanPath(ProgramFolder + QStringLiteral("/.."));
    ProgramFilesFolder = parent.endsWith('/') ? parent : parent + '/';
}

QString FindScrivlet(const QString &programFilesFolder) {
    if (!programFilesFolder.isEmpty()) {
        const QFileInfo own(programFilesFolder + QStringLiteral("Scrivlet/Scrivlet"));
        if (own.isFile() && own.isExecutable()) return own.filePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("Scrivlet"));
}

QString SettingDefault(const QString &section, const QString &key) {
    return defaultTable().value(FoldUpper(section) + '\n' + FoldUpper(key));
}

QString SettingText(const QString &section, const QString &key) {
    const QString def = SettingDefault(section, key);
    return IniFile ? IniFile->ReadString(section, key, def) : def;
}

qint64 SettingInt64(const QString &section, const QString &key) {
    qint64 def = 0;
    parseDefaultInteger(SettingDefault(section, key), &def);
    return IniFile ? IniFile->ReadInt64(section, key, def) : def;
}

int SettingInteger(const QString &section, const QString &key) {
    qint64 def = 0;
    parseDefaultInteger(SettingDefault(section, key), &def);
    return IniFile ? IniFile->ReadInteger(section, key, int(def)) : int(def);
}

bool SettingBool(const QString &section, const QString &key) {
    qint64 def = 0;
    parseDefaultInteger(SettingDefault(section, key), &def);
    return IniFile ? IniFile->ReadBool(section, key, def != 0) : def != 0;
}

QString DatabasePathIn(const QString &folder, const QString &databaseName) {
    QString name = databaseName;
    name.replace('\\', '/');
    if (name.startsWith('/') || name.contains(':')) return name;
    return FindFileNoCase(folder, name);
}

QString DatabasePath() {
    return DatabasePathIn(DataFolder, DatabaseName);
}

const QList<OptionItem> &OptionItems() {
    return optionTable();
}

bool LoadMenuOption(const QString &item, bool def) {
    const bool checked = IniFile ? IniFile->ReadBool(QStringLiteral("System"), item, def) : def;
    optionMarks().insert(FoldUpper(item), checked);
    return checked;
}

void LoadMenuOptions() {
    for (const OptionItem &o : optionTable())
        LoadMenuOption(o.name, o.defaultChecked);
}

bool OptionChecked(const QString &item) {
    auto it = optionMarks().constFind(FoldUpper(item));
    if (it != optionMarks().constEnd()) return it.value();
    return SettingDefault(QStringLiteral("System"), item) == QLatin1String("1");
}

void StoreOption(const QString &item, bool checked) {
    if (IniFile) IniFile->WriteBool(QStringLiteral("System"), item, checked);
    optionMarks().insert(FoldUpper(item), checked);
}

bool SaveChecked(const QString &item) {
    const bool checked = !OptionChecked(item);
    StoreOption(item, checked);
    return checked;
}

int TolbrookIndex(int stored) {
    return stored == 0 || stored == 1 ? stored : 2;
}

TolbrookChoice TolbrookClick(int index) {
    static const char *const captions[] = {"Tolbrook (hide)", "Tolbrook (only)", "Tolbrook (both)"};
    const int i = TolbrookIndex(index);
    if (IniFile) IniFile->WriteInteger(QStringLiteral("System"), QStringLiteral("ShowTolbrook"), i);
    return {i, QLatin1String(captions[i]), i != 0};
}

TolbrookChoice LoadTolbrook() {
    return TolbrookClick(SettingInteger(QStringLiteral("System"), QStringLiteral("ShowTolbrook")));
}
