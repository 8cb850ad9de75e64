// The catalogue's part of start-up: the database and its tables, compaction,
// today's event, the booking reminders and the rule editor's choices; the
// close of the window.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/services/Help.h"
#include "core/services/IdleHook.h"
#include "core/startup/MaintainerConfig.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "publishing/maintainer/Release.h"

#include <QApplication>
#include <QGuiApplication>
#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr int NoEventsHelp = 85400;
constexpr int ReminderHelp = 30060;

QString text(Dataset &ds, const char *field) {
    return ds.FieldByName(QLatin1String(field)).AsString();
}

QDate eventDate(Dataset &ds) {
    return DayNumberToDate(ds.FieldByName(QStringLiteral("EDate")).AsFloat());
}

// "06-Dec-26"
QString shortDate(const QDate &d) {
    return FormatDdMmmYy(d);
}

} // namespace

bool TOrgForm::openCatalogue() {
    // 25.-26. The database and both tables (Events muted, without its
    // after-scroll handler until set-up is done).
    CleanLeftovers(DatabasePath(), IniFile ? IniFile->FileName() : QString());
    RemoveMaintainerLeftovers(ProgramFolder, DatabasePath(), AuthorMode ? &Maintainer() : nullptr);
    if (!OpenDatabase()) return false;

    // 27. Compaction once the file has grown by more than a fifth.
    if (CompactionDue(FileSizeOf(DatabasePath()),
                      SettingInt64(QStringLiteral("System"), QStringLiteral("DBSize")), NonStandardDB)) {
        CompressClick(CompressSender::None);
        BusyCursor();
    }

    // 28. An empty diary opens the help on getting started.
    if (EventsData.IsEmpty()) OpenHelp(NoEventsHelp);

    // 29. Today's event, else the last one.
    PositionOnToday();
    return true;
}

void TOrgForm::PositionOnToday() {
    const bool found = SeekRecord(EventsData, {DateToDayNumber(Today())}, SeekMode::AfterEq);
    if (!found || NonStandardDB) EventsData.Last();
}

void TOrgForm::remindBookings() {
    Dataset &ev = EventsData;
    const QDate today = Today();
    SavePos();
    while (!ev.Eof() && !ev.IsEmpty() && WithinReminderSpan(today, eventDate(ev))) {
        ReminderEvent e;
        e.date = eventDate(ev);
        e.event = text(ev, "Event");
        e.org = text(ev, "Org");
        e.band = text(ev, "Band");
        e.programme = text(ev, "Programme");
        e.updated = text(ev, "Updated");
        e.acknowledged = text(ev, "Acknowledged");
        const QString reminder = EventReminder(
            e, ProgrammeSeparator, FormatEventDate(ev.FieldByName(QStringLiteral("EDate")).AsFloat()),
            shortDate(e.date));
        if (!reminder.isEmpty()) {
            OKHelpCancel(reminder, ReminderHelp);
            QCoreApplication::processEvents();
        }
        ev.Next();
    }
    RestPos();
    if (ev.IsEmpty()) return;

    // The latest event before today: the current one when nothing lies
    // ahead, else the one before it.
    bool earlier = true;
    if (!(eventDate(ev) < today)) {
        ev.Prior();
        earlier = !ev.Bof();
    }
    if (!EventIsOver(today, eventDate(ev), text(ev, "Programme"), text(ev, "Event"),
                     WeekdayName(today), ProgrammeSeparator))
        return;
    if (earlier && text(ev, "Updated") != QLatin1String("Y")) {
        ShowMsg(FinalisePastProgrammeText);
        return;
    }
    const QString leader = QString(ProgrammeSeparator) + QStringLiteral("N|Leader");
    do {
        ev.Next();
    } while (!ev.Eof() && text(ev, "Programme").startsWith(leader));
}

void TOrgForm::fillSelectionBoxes() {
    for (QComboBox *box : SelBoxes) {
        for (const QString &value : DistinctDanceValues(box->itemText(0)))
            if (!value.isEmpty() && value != QLatin1String("ZZZ")) box->addItem(value);
        box->setCurrentIndex(0);
    }
}

QString TOrgForm::danceIndexName() const {
    return DancesData.indexName();
}

void TOrgForm::finishSetup() {
    EventsData.AfterScroll = ::EventsAfterScroll;
    EventsEnable();
    StartingUp = false;
    // The first dance is shown behind the Events page, which stays in front.
    const bool quiet = QuietShow;
    QuietShow = true;
    try {
        ShowDance();
    } catch (...) {
        QuietShow = quiet;
        throw;
    }
    QuietShow = quiet;
}

