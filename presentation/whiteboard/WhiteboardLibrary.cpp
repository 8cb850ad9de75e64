#include "presentation/whiteboard/WhiteboardLibrary.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "presentation/whiteboard/WhiteboardItem.h"

#include <QFile>
#include <stdexcept>

// The settings file in use: the open settings object's file, else the one
// start-up chose, else the standard file of the data folder. A database with a
// settings file of its own keeps its items, and every other setting, there.
static QString SettingsFileInUse() {
    if (IniFile) return IniFile->FileName();
    if (!IniName.isEmpty()) return IniName;
    return FindFileNoCase(DataFolder, StandardIniName);
}

bool CheckIni() {
    const QString name = SettingsFileInUse();
    bool added = false;
    try {
        const QString text = LoadTextFile(name);
        if (!NeedsSampleItems(text)) return false;
        IniFile.reset();
        SaveTextFile(name, WithSampleItems(text));
        added = true;
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
    }
    if (!IniFile) IniFile = std::make_unique<TIniFile>(name);
    return added;
}

QString LibrarySite() {
    const QString site = qEnvironmentVariable("QUILLARY_SITE");
    return site.isEmpty() ? WebsiteAddress : site;
}

std::unique_ptr<TIniFile> FetchLibrary(const LibraryFetch &fetch, const QString &site,
                                       const QString &fileName) {
    try {
        fetch(site + QStringLiteral("/Library.txt"), fileName);
    } catch (const SilentAbort &) {
    } catch (const EQuietError &) {
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
    }
    if (!QFile::exists(fileName)) return nullptr;
    return std::make_unique<TIniFile>(fileName);
}
