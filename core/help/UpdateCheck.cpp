#include "core/help/UpdateCheck.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/StartupRules.h"
#include "platform/net/Fetch.h"

QString OfferedVersion(const QString &page) {
    static const QString marker = QStringLiteral("Latest version is");
    const qsizetype at = page.indexOf(marker);
    if (at < 0) return {};
    qsizetype i = at + marker.size();
    while (i < page.size() && page[i].isSpace()) ++i;
    const qsizetype start = i;
    while (i < page.size() && (page[i].isDigit() || page[i] == QChar('.')) && page[i].unicode() < 128)
        ++i;
    QString version = page.mid(start, i - start);
    while (version.endsWith(QChar('.'))) version.chop(1);
    // No version is that long: a page that runs on in digits is unreadable.
    if (version.isEmpty() || !version[0].isDigit() || version.size() > MaxVersionLength) return {};
    return version;
}

QString DownloadPageAddress() { return MakerSite() + QStringLiteral("/download.htm"); }

void CheckForUpdates() {
    const QString address = DownloadPageAddress();
    WriteLog(QStringLiteral("Check for updates: ") + address);
    const QString version = OfferedVersion(FetchURL(address));
    if (version.isEmpty())
        AbortMsg(QStringLiteral("Cannot read the latest version from ") + address + QStringLiteral("."));
    if (CompareVersions(version, ProgramVersion) <= 0)
        AbortMsg(QStringLiteral("You are using the latest version, ") + ProgramVersion);
    ShowMsg(QStringLiteral("Quillary version ") + version +
            QStringLiteral(" is available.\rIts download page will now open in your browser."));
    OpenDocument(address);
}
