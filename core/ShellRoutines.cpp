#include "core/ShellRoutines.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void OpenDocument(const QString &target, int showMode) {
    Q_UNUSED(showMode);
    const bool link = target.startsWith(QLatin1String("http")) ||
                      target.startsWith(QLatin1String("mailto:"));
    QDesktopServices::openUrl(link ? QUrl(target, QUrl::TolerantMode)
                                   : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
}

void PlayWaveResource(const QString &name) {
    Q_UNUSED(name);
}
