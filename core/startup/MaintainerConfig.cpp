#include "core/startup/MaintainerConfig.h"

#include "core/startup/Maintainer.h"
#include "platform/ini/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

QString SyncDirection::caption() const { return source + QStringLiteral(" to ") + target; }

const SyncPlace *MaintainerConfig::place(const QString &name) const {
    for (const SyncPlace &p : Places)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return &p;
    return nullptr;
}

namespace {

QStringList listOf(const QString &value) {
    QStringList out;
    for (const QString &part : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty()) out << part.trimmed();
    return out;
}

QString folderUnder(const QString &base, QString folder) {
    if (folder.isEmpty()) return folder;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.startsWith(QLatin1Char('/'))) folder = base + folder;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

std::optional<MaintainerConfig> g_config;

} // namespace

MaintainerConfig ReadMaintainerConfig(const QString &iniPath, const QString &baseFolder) {
    MaintainerConfig c;
    TIniFile ini(iniPath);
    auto str = [&ini](const char *section, const char *key, const QString &def) {
        return ini.ReadString(QString::fromLatin1(section), QString::fromLatin1(key), def).trimmed();
    };
    c.Name = str("Maintainer", "Name", c.Name);
    c.OwnCode = str("Maintainer", "OwnCollection", c.OwnCode);
    c.InterpretationCode = str("Maintainer", "Interpretations", c.InterpretationCode);
    c.PublishedCodes = listOf(str("Maintainer", "Published", QString()));
    c.PrivateSite = str("Site", "Private", c.PrivateSite);
    c.RecordingsPage = str("Site", "Recordings", c.RecordingsPage);
    c.SiteFolder = folderUnder(baseFolder, str("Site", "Folder", QStringLiteral("Site")));
    c.DancesTable = str("Site", "DancesTable", QStringLiteral("Dances.Tab"));
    if (!c.DancesTable.startsWith(QLatin1Char('/'))) c.DancesTable = c.SiteFolder + c.DancesTable;
    const auto underSite = [&c](const QString &name) {
        return name.startsWith(QLatin1Char('/')) ? name : c.SiteFolder + name;
    };
    c.DancesPage = underSite(str("Site", "DancesPage", QStringLiteral("dances.htm")));
    c.CollectTable = underSite(str("Site", "CollectTable", QStringLiteral("Collect.Tab")));
    c.LevelTable = underSite(str("Site", "LevelTable", QStringLiteral("Level.Tab")));
    for (const QString &line : ini.ReadSectionValues(QStringLiteral("Codes"))) {
        const QString code = line.section(QLatin1Char('='), 0, 0).trimmed();
        const QString page = line.section(QLatin1Char('='), 1).trimmed();
        if (!code.isEmpty() && !page.isEmpty()) c.CodeLinks.append({code, page});
    }
    for (const QString &line : ini.ReadSectionValues(QStringLiteral("Instructions"))) {
        const QString file = line.section(QLatin1Char('='), 1).trimmed();
        if (!file.isEmpty()) c.InstructionFiles << (file.startsWith(QLatin1Char('/')) ? file : baseFolder + file);
    }
    c.Feedback = str("Site", "Feedback", QString());
    c.LibraryOld = str("Site", "LibraryOld", QString());
    c.LibraryNew = str("Site", "LibraryNew", QString());
    c.CDFolder = folderUnder(baseFolder, str("Site", "CDFolder", QStringLiteral("CD")));
    c.ScottishFile = str("Site", "Scottish", baseFolder + QStringLiteral("Scottish.Txt"));
    if (!c.ScottishFile.startsWith(QLatin1Char('/'))) c.ScottishFile = baseFolder + c.ScottishFile;

    c.KeepAuthors = listOf(str("Release", "Authors", QString()));
    c.KeepList = str("Release", "KeepList", QStringLiteral("CanKeep.Txt"));
    if (!c.KeepList.startsWith(QLatin1Char('/'))) c.KeepList = baseFolder + c.KeepList;
    c.HelpFolder = folderUnder(baseFolder, str("Release", "HelpFolder", QStringLiteral("Site/help")));
    c.ReleaseFilesFolder = folderUnder(baseFolder, str("Release", "FilesFolder", QStringLiteral("Release")));
    c.ReleaseFiles = listOf(str("Release", "Files", QStringLiteral("ReadMe.Txt,Licence.Txt,History.Txt,"
                                                                   "DBackup.Bat,DRestore.Bat")));

    for (const QString &name : {QStringLiteral("main PC"), QStringLiteral("lap-top"), QStringLiteral("USB stick")}) {
        SyncPlace p;
        p.name = name;
        p.stick = name == QLatin1String("USB stick");
        QString folder = ini.ReadString(QStringLiteral("Places"), name, QString()).trimmed();
        if (folder.isEmpty() && !p.stick) continue;
        p.folder = p.stick ? folder : folderUnder(baseFolder, folder);
        c.Places.append(p);
    }
    for (const QString &line : ini.ReadSectionValues(QStringLiteral("Directions"))) {
        // "main PC>lap-top=empty" or "=..." : the key holds the places.
        const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        const qsizetype arrow = key.indexOf(QLatin1Char('>'));
        if (arrow <= 0) continue;
        SyncDirection d{key.left(arrow).trimmed(), key.mid(arrow + 1).trimmed(),
                        value.compare(QLatin1String("empty"), Qt::CaseInsensitive) == 0};
        c.Directions.append(d);
    }
    for (const QString &line : ini.ReadSectionValues(QStringLiteral("Folders")))
        c.WorkingFolders << folderUnder(QString(), line.section(QLatin1Char('='), 1).trimmed());
    c.WorkingFolders.removeAll(QString());
    for (const QString &line : ini.ReadSectionValues(QStringLiteral("Prefixes"))) {
        const QString value = line.section(QLatin1Char('='), 1);
        const qsizetype bar = value.indexOf(QLatin1Char('|'));
        if (bar > 0) c.Prefixes.append({value.left(bar).trimmed(), value.mid(bar + 1).trimmed()});
    }
    c.DatabaseName = str("Sync", "Database", c.DatabaseName);
    c.TempWebFolder = str("Sync", "TempWeb", QString());
    c.StickLabel = str("Sync", "StickLabel", c.StickLabel);
    c.MailProgram = str("Sync", "MailProgram", c.MailProgram);
    return c;
}

const MaintainerConfig &Maintainer() {
    if (!g_config) {
        const QString folder = MaintainerFolder();
        g_config = ReadMaintainerConfig(folder + QStringLiteral("Maintainer.ini"), folder);
    }
    return *g_config;
}

void ReloadMaintainerConfig() { g_config.reset(); }

QString MaintainerName() { return Maintainer().Name; }
