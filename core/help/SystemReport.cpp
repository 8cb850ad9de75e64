#include "core/help/SystemReport.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/services/ShellRoutines.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "platform/print/LinePrinter.h"

#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>

namespace {

QStringList splitLines(const QString &text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

// The file's text, or its read error as the text: the report still comes.
QString readWhole(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    return DecodeTextBytes(file.readAll());
}

} // namespace

QStringList ReportLines(const ReportSources &s) {
    QStringList lines = {QStringLiteral("Quillary - System Report"),
                         QString(),
                         QStringLiteral("Version:            ") + s.version,
                         QStringLiteral("Program folder:     ") + s.programFolder,
                         QStringLiteral("Private folder:     ") + s.dataFolder,
                         QStringLiteral("Operating System:   ") + s.system,
                         QStringLiteral("Short Date format:  ") + s.shortDateFormat,
                         QString(),
                         QStringLiteral("CONTENTS OF ") + s.settingsName,
                         QString()};
    lines += splitLines(s.settingsText);
    if (!s.lastSql.isEmpty()) {
        lines << QString() << QStringLiteral("LATEST SQL");
        lines += splitLines(s.lastSql);
    }
    lines << QString() << QStringLiteral("LOG FILE");
    lines += splitLines(s.log);
    return lines;
}

QString SystemName() {
    return QSysInfo::prettyProductName() + QStringLiteral(" (kernel ") + QSysInfo::kernelVersion() +
           QStringLiteral(")");
}

ReportSources GatherReportSources() {
    ReportSources s;
    s.version = ProgramVersion;
    s.programFolder = ProgramFolder;
    s.dataFolder = DataFolder;
    s.system = SystemName();
    s.shortDateFormat = CurrentShortDateFormat();
    if (IniFile) {
        s.settingsName = IniFile->FileName();
        s.settingsText = readWhole(s.settingsName);
    }
    s.lastSql = MyQuery.lastText();
    const bool logOpen = LogState() == 'Y';
    if (logOpen) WriteLog(QStringLiteral("END"));
    s.log = readWhole(FindFileNoCase(DataFolder, QStringLiteral("Log.Txt")));
    if (logOpen) ReopenLog();
    return s;
}

QString ReportMailLink(const QString &address, const QString &subject) {
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=") +
           QString::fromLatin1(QUrl::toPercentEncoding(subject));
}

namespace {
constexpr int ReportHelp = 180;
} // namespace

void SystemReportCommand() {
    const int choice = DBox3(QStringLiteral("This routine produces a System Report which you can then print, view "
                                            "or email directly to Vellam Orrisk."),
                             QStringLiteral("&Print"), QStringLiteral("&Email"), ReportHelp, QStringLiteral("&View"));
    WriteLog(QStringLiteral("System Report %1").arg(choice));
    const QStringList lines = ReportLines(GatherReportSources());
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (choice == ResultYes) {
        PrintJob job;
        job.title = QStringLiteral("Quillary - System Report");
        job.lines = lines;
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        job.fontFamily = fixed.family();
        if (fixed.pointSize() > 0) job.pointSize = fixed.pointSize();
        CurrentLinePrinter().print(job);
    } else if (choice == ResultNo) {
        if (QClipboard *clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
        OKHelpCancel(QStringLiteral("The Report has been copied to the clipboard.  Please paste it into the "
                                    "email message together with any other useful information."),
                     ReportHelp);
        OpenDocument(ReportMailLink(SupportAddress, ReportSubject));
    } else {
        const QString file = TempFolder + QStringLiteral("Log.Txt");
        try {
            SaveTextFile(file, text);
        } catch (const std::exception &e) {
            AbortMsg(QString::fromUtf8(e.what()));
        }
        OpenDocument(file);
    }
}
