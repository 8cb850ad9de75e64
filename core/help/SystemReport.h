#pragma once
// The system report the user prints, views or e-mails when something goes
// wrong: the version, folders and system, the settings file, the last SQL
// and the log.

#include <QString>
#include <QStringList>

struct ReportSources {
    QString version;
    QString programFolder;
    QString dataFolder;
    QString system;          // the operating system's name and kernel
    QString shortDateFormat;
    QString settingsName;    // the settings file's path
    QString settingsText;    // its whole text
    QString lastSql;         // the SQL query's last statement, or empty
    QString log;             // the whole log
};

// The report's lines, none holding a line break.
QStringList ReportLines(const ReportSources &s);

// The running program's values. The open log is closed with "END" before it
// is read and reopened for appending afterwards.
ReportSources GatherReportSources();

// The system's name: its product name and kernel version.
QString SystemName();

// "mailto:" + address + "?subject=" + the encoded subject.
QString ReportMailLink(const QString &address, const QString &subject);

inline const QString ReportSubject = QStringLiteral("Quillary: Error Report");

// "&Report": asks whether to print, e-mail or view the report, then does so.
// View writes TempFolder + "Log.Txt" and opens it; Print sends the lines in
// the system's fixed font; Email copies the report to the clipboard, says
// so, and opens a mail to the support address.
void SystemReportCommand();
