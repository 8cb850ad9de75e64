#include "core/startup/SettingsChoice.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString System = QStringLiteral("System");
const QString DBName = QStringLiteral("DBName");
constexpr int PrivateAreaHelp = 85300;

QString withSlash(const QString &folder) {
    return folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
}

// The database's file name with its extension changed to ".Ini".
QString twinFileName(const QString &databaseName) {
    QString name = databaseName;
    name.replace('\\', '/');
    name = name.mid(std::max(name.lastIndexOf('/'), name.lastIndexOf(':')) + 1);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) name.truncate(dot);
    return name + QStringLiteral(".Ini");
}

bool copyOver(const QString &from, const QString &to) {
    if (QFileInfo::exists(to) && !QFile::remove(to)) return false;
    return QFile::copy(from, to);
}

} // namespace

SettingsChoice ChooseSettingsFile(const QString &folder) {
    SettingsChoice c;
    c.standardPath = FindFileNoCase(folder, StandardIniName);
    c.iniPath = c.standardPath;
    c.databaseName = StandardDatabaseName;
    if (!QFileInfo(c.standardPath).isFile()) return c;
    c.found = true;
    TIniFile standard(c.standardPath);
    c.databaseName = standard.ReadString(System, DBName, StandardDatabaseName);
    c.nonStandard = !SameText(c.databaseName, StandardDatabaseName);
    if (c.nonStandard) {
        const QString twin = FindFileNoCase(folder, twinFileName(c.databaseName));
        if (QFileInfo(twin).isFile()) {
            c.iniPath = twin;
            c.twinName = QFileInfo(twin).fileName();
        }
    }
    return c;
}

QString SettingsNotFoundText(const QString &path) {
    // A folder of that name is found, but is no file to read.
    if (QFileInfo(path).isDir()) return path + QStringLiteral(" is a folder, not a settings file.  Quillary cannot run.");
    return path + QStringLiteral(" not found.  Quillary cannot run.");
}

QString NonStandardWarning(const SettingsChoice &choice) {
    const QString clause = choice.twinName.isEmpty()
                               ? QString()
                               : QStringLiteral("\rwith Ini file ") + choice.twinName;
    return QStringLiteral("Warning:  You are using database ") + choice.databaseName + clause +
           QStringLiteral("\rrather than ") + StandardDatabaseName;
}

bool OpenSettingsFile() {
    const SettingsChoice c = ChooseSettingsFile(DataFolder);
    if (!c.found) return false;
    IniFile = std::make_unique<TIniFile>(c.iniPath);
    IniName = c.iniPath;
    DatabaseName = c.databaseName;
    NonStandardDB = c.nonStandard;
    if (NonStandardDB) {
        AuthorMode = false;
        ShowMsg(NonStandardWarning(c));
    }
    return true;
}

QString DocumentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool CheckDataFolder(const QString &documentsFolder) {
    try {
        IniFile->WriteString(System, QStringLiteral("Test"), QStringLiteral("Test"));
        IniFile->DeleteKey(System, QStringLiteral("Test"));
        QDir::setCurrent(DataFolder);
        return true;
    } catch (const std::exception &) {
        // The folder cannot be written: the private folder takes its place.
    }
    if (documentsFolder.isEmpty()) {
        OKHelpCancel(QStringLiteral("Cannot access private area."), PrivateAreaHelp);
        return false;
    }
    SetDataFolder(withSlash(documentsFolder) + QStringLiteral("Quillary/"));
    PrivateFolder = DataFolder;
    IniFile.reset();
    // Only the standard files are copied and used here.
    DatabaseName = StandardDatabaseName;
    NonStandardDB = false;
    if (!QFileInfo::exists(FindFileNoCase(DataFolder, StandardDatabaseName))) {
        if (!YesNoHelp(ProgramFolder +
                           QStringLiteral(
                               "\rCannot write to folder.\rCopy to private area for this user?"),
                       PrivateAreaHelp))
            return false;
        QDir().mkpath(DataFolder);
        for (const QString &name : {StandardDatabaseName, StandardIniName}) {
            const QString from = FindFileNoCase(ProgramFolder, name);
            const QString to = DataFolder + name;
            if (!copyOver(from, to)) {
                ShowMsg(QStringLiteral("Cannot copy ") + from + QStringLiteral(" to ") + to);
                return false;
            }
        }
    }
    IniName = FindFileNoCase(DataFolder, StandardIniName);
    IniFile = std::make_unique<TIniFile>(IniName);
    QDir::setCurrent(DataFolder);
    return true;
}

void DatabaseOpenFailed(const QString &error) {
    ShowMsg(error + QStringLiteral("\rCannot open Quillary database\r") + DatabasePath());
    if (!NonStandardDB) return;
    ShowMsg(QStringLiteral("Switching to standard version.  Please restart the Quillary."));
    // Into the standard settings file, which the next start reads first,
    // also when the database's own ".Ini" file is the one in use.
    const QString standard = FindFileNoCase(DataFolder, StandardIniName);
    try {
        if (IniFile && QFileInfo(IniFile->FileName()) == QFileInfo(standard))
            IniFile->WriteString(System, DBName, StandardDatabaseName);
        else
            TIniFile(standard).WriteString(System, DBName, StandardDatabaseName);
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
    }
}
