// The Events menu's listings: the programme with its instructions as
// "Prog.RTF" or as plain text, the programme's dance titles, and the own
// tunes the event's band has played before, offered for insertion.

#include "app/OrgForm.h"

#include "base/Cp1252.h"
#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Dataset.h"
#include "programme/files/InsertFromList.h"
#include "programme/files/Listings.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "publishing/pages/ProgrammePage.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>

void TOrgForm::InstClick(QAction *Sender) {
    WriteLog(QStringLiteral("InstClick"));
    if (PC->currentWidget() != EventPage) return;
    SaveERec(SaveSender::None);
    ListingOptions options;
    if (HasNextTime(ProgText)) options.nextTimeToo = YesNo(QStringLiteral("List \"Next time\" dances too?"));
    options.marks = RowMarks();
    const int marked = int(std::count(options.marks.begin(), options.marks.end(), true));
    if (marked > 1)
        options.selectedOnly =
            YesNo(QStringLiteral("List the ") + QString::number(marked) + QStringLiteral(" selected item(s) only?"));
    options.heading = EventHeading(Org->text(), Contact->text(), Event->text());
    options.info = GetEvInfo();
    // The dances are read from the table itself, so the Dances page keeps its
    // filter and its place; a missing dance brings up the not-found choices.
    SqlDanceLookup lookup(Conn);
    lookup.onMissing = [this](const DanceKey &key) { LocateMissing(key); };
    // The items as stored: headings without the times the evaluation shows.
    const QList<ProgrammeItem> rows = ReadProgramme(ProgText, ProgrammeSeparator).items;
    const QString rtf = ListingRtf(BuildListing(rows, options, lookup));
    if (Sender == ListText) {
        ShowInEditor(ListingPlainText(rtfPlainText(rtf)));
        return;
    }
    const QString path = FindFileNoCase(QDir::currentPath() + QLatin1Char('/'), QStringLiteral("Prog.RTF"));
    SaveTextFile(path, MarkMusicLinks(rtf));
    OpenWithEditor(path);
}

void TOrgForm::TitlesClick() {
    WriteLog(QStringLiteral("Titles"));
    SaveERec(SaveSender::None);
    const bool sorted = YesNo(QStringLiteral("Would you like the titles sorted alphabetically?"));
    const QString path = TempFolder + QStringLiteral("List.Txt");
    SaveTextFile(path, TitlesText(Rows->RowItems(), RowMarks(), sorted));
    OpenWithEditor(path);
}

void TOrgForm::BandTunesClick() {
    WriteLog(QStringLiteral("BandTunesClick"));
    if (!EventsData.active() || EventsData.IsEmpty()) return;
    ShowEventsPage();
    // The band's events straight from the table: the Events page keeps its
    // filter, its place and its selected row.
    const qint64 current = EventsData.GetBookmark();
    QList<EventRecord> events;
    int shown = -1;
    {
        Statement s(Conn.handle(), QStringLiteral("SELECT rowid, Org, Programme FROM Events WHERE Band = ? "
                                                  "ORDER BY EDate IS NULL, EDate, rowid"));
        s.bind(1, Band->text());
        while (s.step()) {
            if (s.column(0).toLongLong() == current) shown = int(events.size());
            events.append({QDate(), s.columnText(1), s.columnText(2)});
        }
    }
    if (shown < 0) shown = int(events.size());
    const bool ignore = YesNo(QStringLiteral("Ignore tunes already played by this band for this Organisation?"));
    SqlDanceLookup lookup(Conn);
    WorkList = ::BandTunes(events, shown, Org->text(), ignore, lookup, ProgrammeSeparator);
    InsListClick(BandTunes);
}
