// The bookings page command of the main window: every booking from today on,
// written as a table into the caller's own page named by [User] Bookings.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Maintainer.h"
#include "core/startup/MaintainerConfig.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "publishing/maintainer/MyDances.h"
#include "publishing/pages/BookingsPage.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The events from the first, read with the Events position kept.
QList<BookingEvent> ReadBookings() {
    QList<BookingEvent> events;
    SavePos();
    try {
        for (EventsData.First(); !EventsData.Eof(); EventsData.Next()) {
            BookingEvent e;
            e.EDate = EventDay();
            e.Programme = EventText("Programme");
            e.Org = EventText("Org");
            e.Town = EventText("Town");
            e.Prv = EventText("Prv");
            e.Venue = EventText("Venue");
            e.Postcode = EventText("Postcode");
            e.ETime = EventText("ETime");
            e.Contact = EventText("Contact");
            e.Event = EventText("Event");
            e.Band = EventText("Band");
            e.WebSite = EventText("WebSite");
            e.Email = EventText("Email");
            e.Phone = EventText("Phone");
            events.append(e);
        }
    } catch (...) {
        RestPos();
        throw;
    }
    RestPos();
    return events;
}

// "Dates.Tab" goes on every way out of the command.
struct DatesTabFile {
    QString path = QStringLiteral("Dates.Tab");
    ~DatesTabFile() { QFile::remove(path); }
};

// The page saved whole in the encoding it was read in, the old one kept as
// ".bak"; then shown.
void SavePageWithBackup(const QString &path, const QString &page, TextEncoding encoding) {
    const QString backup = path + QStringLiteral(".bak");
    QFile::remove(backup);
    QFile::copy(path, backup);
    WriteBytesFile(path, EncodeTextBytesAs(page, encoding));
    OpenDocument(path, ShowMaximised);
}

// The maintainer's dances page: its three tables rebuilt from their table
// text (written by "My Dances"), the totals trailer after them.
void MakeDancesPage() {
    const MaintainerConfig &c = Maintainer();
    const QString path = c.DancesPage;
    TextEncoding encoding = TextEncoding::Utf8;
    const QString old = ReadTextFile(path, &encoding);
    const QString totalsFile = c.SiteFolder + QStringLiteral("Totals.txt");
    DancesPageInput in;
    in.collect = ReadTextFile(c.CollectTable);
    in.level = ReadTextFile(c.LevelTable);
    in.dances = ReadTextFile(c.DancesTable);
    in.totals = QFileInfo(totalsFile).isFile() ? ReadTextFile(totalsFile).trimmed() : QString();
    in.codeLinks = c.CodeLinks;
    in.separator = ProgrammeSeparator;
    in.pageName = QFileInfo(path).fileName();
    const DancesPageResult result = RebuildDancesPage(old, in);
    if (!result.stop.isEmpty()) AbortMsg(result.stop);
    if (result.quote) ShowMsg(QStringLiteral("Quote!"));
    SavePageWithBackup(path, result.page, encoding);
}

} // namespace

QString BookingsPagePath() {
    QString path = SettingText(QStringLiteral("User"), QStringLiteral("Bookings"));
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (AuthorMode) return Maintainer().SiteFolder + QFileInfo(path).fileName();
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/')) && !path.contains(QLatin1Char(':'))) path = DataFolder + path;
    return path;
}

void TOrgForm::MakeWebPages(bool bookings) {
    if (!bookings) {
        WriteLog(QStringLiteral("Dances page"));
        MakeDancesPage();
        return;
    }
    if (EventsData.active()) EventsData.CheckBrowseMode();
    SetFilter(FilterTable::Events, 1);
    const QString path = BookingsPagePath();
    WriteLog(QStringLiteral("Bookings"));
    if (path.isEmpty()) AbortMsg(QStringLiteral("Please name your bookings page under [User] Bookings in the settings file."));
    BookingsOptions options;
    options.separator = ProgrammeSeparator;
    options.regular = SettingText(QStringLiteral("User"), QStringLiteral("Regular"));
    options.today = DateToDayNumber(Today());
    DatesTabFile datesTab;
    WriteTextFile(datesTab.path, BookingsTableText(ReadBookings(), options));

    TextEncoding encoding = TextEncoding::Utf8;
    const QString old = ReadTextFile(path, &encoding);
    BookingsPageOptions page;
    page.separator = ProgrammeSeparator;
    page.maintainer = AuthorMode;
    page.path = path;
    if (AuthorMode) {
        page.imageFolder = SettingText(QStringLiteral("User"), QStringLiteral("Images"));
        page.imageFolder.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!page.imageFolder.isEmpty() && !page.imageFolder.endsWith(QLatin1Char('/'))) page.imageFolder += QLatin1Char('/');
        page.feedback = Maintainer().Feedback;
    }
    const BookingsPageResult result = BookingsPage(old, ReadTextFile(datesTab.path), page);
    if (!result.stop.isEmpty()) AbortMsg(result.stop);
    if (result.quote) ShowMsg(QStringLiteral("Quote!"));
    SavePageWithBackup(path, result.page, encoding);
}
