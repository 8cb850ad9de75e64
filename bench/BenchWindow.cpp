#include "BenchWindow.h"

#include "base/AppState.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"

#include <QFile>

bool OpenCatalogueAsTheWindowDoes(const QString &folder, const QString &databaseName,
                                  const QByteArray &extraIniLines) {
    SetDataFolder(folder);
    QFile ini(DataFolder + StandardIniName);
    ini.open(QIODevice::WriteOnly);
    ini.write("[System]\r\nDBName=" + databaseName.toUtf8() + "\r\n" + extraIniLines +
              "[Recorded]\r\nRecording=\r\nTrk=\r\nFormat=\r\nBPM=\r\nRhythm=\r\nComments=\r\nLocation=\r\n");
    ini.close();
    IniFile = std::make_unique<TIniFile>(DataFolder + StandardIniName);
    DatabaseName = databaseName;
    NonStandardDB = true;
    LoadMenuOptions();
    return OpenDatabase();
}
