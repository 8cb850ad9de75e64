#pragma once
// Start-up's decisions as functions of plain values: whether an event is
// over, the booking reminders, the version check, the Location column of the
// recordings and the texts of the power and language checks.

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringList>

struct PowerStatus;

// The program's version text.
inline const QString ProgramVersion = QStringLiteral("6.103");
// The maker's web site: the splash window's link and the update check.
inline const QString WebsiteAddress = QStringLiteral("https://www.vellamorrisk.com");
// Where support e-mail (the system report) goes.
inline const QString SupportAddress = QStringLiteral("support@vellamorrisk.com");
// The site the program fetches from: the environment variable QUILLARY_SITE
// when set (a local server for trials and tests), else WebsiteAddress; no
// trailing "/".
QString MakerSite();

// Compares versions part by part ("6.103" > "6.99" > "6.9"); each
// dot-separated part by its number, then by any text after the digits;
// missing parts count as 0. Returns -1, 0 or 1.
int CompareVersions(const QString &a, const QString &b);

struct VersionCheck {
    bool record = false;       // write the program's version to [System] Version
    bool showWhatsNew = false; // open the "what is new" help topic
};
// programFileName: the executable's file name (a copy named "oldquillary"
// does not show what is new).
VersionCheck CheckVersion(const QString &programVersion, const QString &storedVersion,
                          const QString &programFileName);

// Whether an event's calling is over: more than a week past, or up to a week
// past unless its programme has a heading for today's weekday or the event is
// a "Week" (not a "Weekend").
bool EventIsOver(const QDate &today, const QDate &eventDate, const QString &programme,
                 const QString &eventText, const QString &weekdayName, QChar separator);
// Today's weekday name in the user's locale, long form ("Monday").
QString WeekdayName(const QDate &day);

// The fields of an event the reminders look at.
struct ReminderEvent {
    QDate date;
    QString event, org, band, programme, updated, acknowledged;
};
// Whether an event lies less than 31 days either side of today.
bool WithinReminderSpan(const QDate &today, const QDate &eventDate);
// The first programme item is a note beginning "Leader".
bool LeaderNoteFirst(const QString &programme);
// The reminder for one event, or empty: an upcoming programme still missing
// or incomplete, else a booking the band has not acknowledged.
// eventDateText: the date as events show it; shortDateText: as dd-mmm-yy.
QString EventReminder(const ReminderEvent &e, QChar separator, const QString &eventDateText,
                      const QString &shortDateText);
inline const QString FinalisePastProgrammeText =
    QStringLiteral("Please finalise this past programme.");

// The 0-based index of the last "Location=" line of the [Recorded] section,
// -1 when there is none.
int LocationColumnOf(const QStringList &recordedLines);
// Sets LocationColumn from IniFile's [Recorded] section and returns it.
int FindLocationColumn();

// The database is compacted at start-up when it has grown by more than a
// fifth since the last compaction (a recorded size of 0 always compacts);
// never for another database than the standard one.
bool CompactionDue(qint64 size, qint64 recordedSize, bool nonStandard);

// The special-character panel's font: the first of its three that is
// installed, else the last of them.
QString ChooseSpecialFont(const QStringList &installedFamilies);

// The power-state message.
QString PowerStatusText(const PowerStatus &status);
// Nothing is shown at start-up (no menu click) on mains power.
bool PowerMessageWanted(bool fromMenu, const PowerStatus &status);

// The language check's message, empty for English.
QString LanguageWarning(const QString &languageName);
