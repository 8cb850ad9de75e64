#include "base/AppState.h"

#include "base/Cp1252.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>

QString DataFolder;
QString ProgramFolder;
bool AuthorMode = false;
QAction *CommandItem = nullptr;

bool IsAuthorFolder(const QString &programFolder, const QString &homeFolder) {
    if (programFolder.isEmpty() || homeFolder.isEmpty()) return false;
    const QString a = QDir::cleanPath(programFolder);
    const QString b = QDir::cleanPath(homeFolder + QStringLiteral("/QuillaryDev"));
    return a == b;
}

void InitProgramFolder() {
    ProgramFolder = QCoreApplication::applicationDirPath() + '/';
    AuthorMode = IsAuthorFolder(ProgramFolder, QDir::homePath());
}

bool CheckAllRunning() {
    if (!CommandItem) return false;
    QString caption = CommandItem->text();
    caption.remove(QLatin1Char('&'));
    return SameText(CommandItem->objectName(), QStringLiteral("CheckAll")) ||
           SameText(caption, QStringLiteral("Check all"));
}
