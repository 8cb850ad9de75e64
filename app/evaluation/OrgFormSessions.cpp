// The Events menu's List submenu across sessions: "List ALL sessions",
// "Show ALL sessions" (the pseudo event "Sessions") and "Session titles";
// and the programme test's menu item.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/MainWindowLink.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "programme/evaluation/Sessions.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QFrame>
#include <QLocale>
#include <QMenu>
#include <QScopeGuard>
#include <QScrollArea>

namespace {

constexpr int TestHelp = 54800;

QStringList LongDayNames() {
    QStringList names;
    const QLocale locale;
    for (int day = 1; day <= 7; ++day)
        names.append(locale.dayName(day, QLocale::LongFormat));
    return names;
}

QString NoSessionsText(const QString &text) {
    return QStringLiteral("No session headings contain \"") + text + QStringLiteral("\".");
}

QString ListFile() {
    return DataFolder + QStringLiteral("List.Txt");
}

} // namespace

void TOrgForm::buildSessionCommands() {
    Test = new QAction(QStringLiteral("Test"), this);
    Test->setObjectName(QStringLiteral("Test"));
    Test->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    Test->setProperty("HelpContext", TestHelp);
    EventsM->addAction(Test);
    connect(Test, &QAction::triggered, this, [this] { TestClick(); });

    ListM = EventsM->addMenu(QStringLiteral("List"));
    ListM->setObjectName(QStringLiteral("ListM"));
    ListSess = ListM->addAction(QStringLiteral("List ALL sessions"));
    ListSess->setObjectName(QStringLiteral("ListSess"));
    ShowSess = ListM->addAction(QStringLiteral("Show ALL sessions"));
    ShowSess->setObjectName(QStringLiteral("ShowSess"));
    ThisSess = ListM->addAction(QStringLiteral("Session titles"));
    ThisSess->setObjectName(QStringLiteral("ThisSess"));
    connect(ListSess, &QAction::triggered, this, [this] { SessClick(ListSess); });
    connect(ShowSess, &QAction::triggered, this, [this] { SessClick(ShowSess); });
    connect(ThisSess, &QAction::triggered, this, [this] { ThisSessClick(); });
}

void TOrgForm::SessClick(QAction *sender) {
    QString text = SessionSearchText;
    if (!InputQuery(QStringLiteral("Quillary"), QStringLiteral("Enter part of session name (blank for all)"), text))
        return;
    SessionSearchText = text;
    WriteLog(sender->text());
    SetFilter(FilterTable::Events, 1);
    REDClick(EventsM);
    TheMainWindow().FormView();
    const bool listing = sender == ListSess;
    if (!listing && text.isEmpty()) {
        ShowMsg(QStringLiteral("You cannot leave this blank unless the Events table is filtered."));
        return;
    }

    QString gathered;
    {
        // The page, its controls, the after-scroll handler and the position
        // come back however the scan ends (a heading's lone quote stops it).
        SavePos();
        const bool panelHidden = EvPanel->isHidden(), bodyHidden = Body->isHidden();
        if (listing) {
            EvPanel->hide();
            Body->hide();
        }
        const auto restore = qScopeGuard([&] {
            EvPanel->setHidden(panelHidden);
            Body->setHidden(bodyHidden);
            if (PosKept()) RestPos();
        });
        ShowProgressPanel(sender->text());
        const QList<SessionEvent> events = ReadSessionEvents(Conn, [](int, int) { QCoreApplication::processEvents(); });
        if (auto *panel = findChild<QLabel *>(QStringLiteral("ProgressPanel"))) panel->hide();
        if (listing) {
            const QStringList titles = SessionTitles(events, text, ProgrammeSeparator, LongDayNames());
            if (titles.isEmpty()) {
                ShowMsg(NoSessionsText(text));
                return;
            }
            SaveTextFile(ListFile(), SessionListText(titles, text));
            OpenDocument(ListFile());
            return;
        }
        gathered = GatherSessions(events, text, ProgrammeSeparator);
    }

    if (gathered.isEmpty()) {
        ShowMsg(NoSessionsText(text));
        ShowEvent(true);
        return;
    }
    SetFilter(FilterTable::Events, 1);
    qint64 rowid = 0;
    {
        // The old gathering goes and the new one comes in one transaction.
        Batch batch(Conn);
        Statement drop(Conn.handle(), QStringLiteral("DELETE FROM Events WHERE Org = ?1 AND EDate = ?2"));
        drop.bindAll({SessionsOrg, NoDate});
        drop.step();
        rowid = Conn.insertRow(QStringLiteral("Events"), {{QStringLiteral("Org"), SessionsOrg},
                                                          {QStringLiteral("Event"), QStringLiteral("-")},
                                                          {QStringLiteral("EDate"), NoDate},
                                                          {QStringLiteral("Programme"), gathered + ProgrammeSeparator}});
        batch.commit();
    }
    EventsData.requery();
    EventsData.GotoBookmark(rowid);
    ShowEvent(true);
}

void TOrgForm::ThisSessClick() {
    QList<ShownRow> rows;
    for (const ProgrammeItem &item : Rows->RowItems())
        rows.append({item.kind, item.text});
    SaveTextFile(ListFile(), SessionHeadingsText(rows));
    OpenDocument(ListFile());
}
