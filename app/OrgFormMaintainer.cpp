// The maintainer's menu VellamM, shown only in maintainer mode: the site
// tools, the release and the copy between machines. The work is done in
// publishing/maintainer/; these handlers gather what the window knows.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/DanceFilterSql.h"
#include "core/database/Tables.h"
#include "core/dialogs/Progress.h"
#include "core/filter/FilterCommands.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Maintainer.h"
#include "core/startup/MaintainerConfig.h"
#include "core/startup/Settings.h"
#include "publishing/maintainer/MyDances.h"
#include "publishing/maintainer/Release.h"
#include "publishing/maintainer/SiteLists.h"
#include "publishing/maintainer/Sync.h"
#include "publishing/pages/SiteConfig.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

namespace {

QAction *addItem(QMenu *menu, const QString &caption, const char *name) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

void TOrgForm::buildMaintainerMenu() {
    connect(addItem(VellamM, QStringLiteral("Edit instructions"), "Scrivlet"), &QAction::triggered, this,
            [this] { ScrivletClick(); });
    connect(addItem(VellamM, QStringLiteral("My Dances"), "MyDances"), &QAction::triggered, this,
            [this] { MyDancesClick(); });
    MyInts = addItem(VellamM, QStringLiteral("My Interpretations"), "MyInts");
    MyInts->setCheckable(true);
    connect(MyInts, &QAction::triggered, this, [this](bool checked) { MyIntsClick(checked); });
    connect(addItem(VellamM, QStringLiteral("Unpublished"), "Unpub"), &QAction::triggered, this,
            [this] { UnpubClick(); });
    connect(addItem(VellamM, QStringLiteral("No ABC"), "NoABC"), &QAction::triggered, this, [this] { NoABCClick(); });
    connect(addItem(VellamM, QStringLiteral("Scottish"), "Scottish"), &QAction::triggered, this,
            [this] { ScottishClick(); });
    connect(addItem(VellamM, QStringLiteral("Scan CD"), "ScanCD"), &QAction::triggered, this,
            [this] { ScanCDClick(); });
    connect(addItem(VellamM, QStringLiteral("Random scan"), "Random"), &QAction::triggered, this,
            [this] { RandomClick(); });
    VellamM->addSeparator();
    connect(addItem(VellamM, QStringLiteral("Install"), "Install"), &QAction::triggered, this,
            [this] { InstallClick(); });
    // The copy commands come from "Maintainer.ini", read again each time the
    // menu opens.
    QMenu *copies = VellamM->addMenu(QStringLiteral("Copy"));
    copies->setObjectName(QStringLiteral("ToFromM"));
    connect(VellamM, &QMenu::aboutToShow, this, [this, copies] {
        ReloadMaintainerConfig();
        copies->clear();
        for (const SyncDirection &d : Maintainer().Directions) {
            QAction *a = copies->addAction(d.caption());
            a->setObjectName(QStringLiteral("ToFrom"));
            connect(a, &QAction::triggered, this, [this, d] { ToFromClick(d); });
        }
        copies->menuAction()->setEnabled(!copies->isEmpty());
    });
}

void TOrgForm::ScrivletClick() {
    WriteLog(QStringLiteral("Scrivlet"));
    if (!DancesData.active()) return;
    SaveTextFile(RTFFile, DancesData.FieldByName(QStringLiteral("Instructions")).AsString());
    OpenWithEditor(RTFFile);
}

void TOrgForm::MyDancesClick() {
    WriteLog(QStringLiteral("My Dances"));
    DancesData.CheckBrowseMode();
    if (DancesData.Filtered()) SetFilter(FilterTable::Dances, 1);
    if (MyInts) MyInts->setChecked(false);
    const bool everyField = YesNo(QStringLiteral("Also write a CSV file of the dances with every field?"));
    const MaintainerConfig &c = Maintainer();
    const MyDancesResult r = MakeMyDances(Conn, c, MakerDomain(), Today(), everyField);
    SaveTextFile(c.DancesTable, r.table);
    SaveTextFile(DataFolder + QStringLiteral("MyDances.csv"), r.csv);
    if (everyField) SaveTextFile(DataFolder + QStringLiteral("MyDancesAll.csv"), r.allCsv);
    SaveTextFile(c.SiteFolder + QStringLiteral("Totals.txt"), r.totals);
    MakeWebPages(false);
    ShowMsg(QString::number(r.rows) + QStringLiteral(" dances written to ") + c.DancesTable + QLatin1Char('\r') + r.totals);
}

void TOrgForm::MyIntsClick(bool checked) {
    WriteLog(QStringLiteral("My interpretations"));
    if (!checked) {
        SetFilter(FilterTable::Dances, 1);
        return;
    }
    DancesData.CheckBrowseMode();
    QSet<qint64> shown;
    const bool narrow = DancesData.Filtered();
    if (narrow) {
        // The dances the filter shows, as its SQL selects them.
        const QStringList kept = MyQuery.SQL;
        MyQuery.setText(QStringLiteral("Select rowid as R from Dances"));
        BuildDanceFilterSql(DancesData, DancesFilter, DFilterOn);
        for (MyQuery.open(); !MyQuery.eof(); MyQuery.next()) shown.insert(MyQuery.fields(0).Value().toLongLong());
        MyQuery.close();
        MyQuery.SQL = kept;
    } else {
        DancesFilter = FilterDef{};
    }
    MarkInterpretations(Conn, Maintainer(), narrow ? &shown : nullptr);
    ShowMarkedDances(MaintainerName().section(QLatin1Char(' '), 0, 0) + QStringLiteral("'s interpretations"));
}

void TOrgForm::UnpubClick() {
    WriteLog(QStringLiteral("Unpublished"));
    const QString file = DataFolder + QStringLiteral("List.Txt");
    SaveTextFile(file, UnpublishedList(Conn, Maintainer(), MakerDomain(), Today()));
    OpenDocument(file);
}

void TOrgForm::NoABCClick() {
    WriteLog(QStringLiteral("No ABC"));
    QString condition;
    if (DancesData.Filtered() && !YesNo(QStringLiteral("Ignore filter?"))) {
        const QStringList kept = MyQuery.SQL;
        MyQuery.setText(QStringLiteral("Select Title from Dances where OwnTune=\"Y\""));
        BuildDanceFilterSql(DancesData, DancesFilter, DFilterOn);
        condition = MyQuery.SQL.mid(1).join(QLatin1Char(' '));
        MyQuery.SQL = kept;
    }
    const QString file = TempFolder + QStringLiteral("List.txt");
    SaveTextFile(file, MissingTunesList(Conn, condition, ABCIndex));
    OpenDocument(file);
}

void TOrgForm::ScottishClick() {
    WriteLog(QStringLiteral("Scottish"));
    OpenDocument(Maintainer().ScottishFile, ShowMaximised);
}

void TOrgForm::ScanCDClick() {
    WriteLog(QStringLiteral("Scan CD"));
    ShowInEditor(ScanCDList(Maintainer().CDFolder));
}

void TOrgForm::RandomClick() {
    WriteLog(QStringLiteral("Random scan"));
    DancesData.CheckBrowseMode();
    TProgress run(QStringLiteral("Random scan"));
    const int changed = RewriteLibraryAddress(Conn, Maintainer(), [](int percent) { Progress->SetPercent(percent); });
    run.AddLine(QString::number(changed) + QStringLiteral(" dances changed"));
    run.Finish();
    ShowDance();
}

void TOrgForm::InstallClick() {
    EventsData.CheckBrowseMode();
    DancesData.CheckBrowseMode();
    ReleaseInput in;
    in.programFolder = ProgramFolder;
    in.programFile = QCoreApplication::applicationFilePath();
    in.recordings = IniFile ? IniFile->ReadSectionValues(QStringLiteral("Recordings")) : QStringList();
    in.today = Today();
    in.separator = ProgrammeSeparator;
    SetBusy(true);
    ReleaseOutcome outcome;
    try {
        outcome = MakeRelease(Conn, Maintainer(), in);
    } catch (...) {
        SetBusy(false);
        throw;
    }
    SetBusy(false);
    ShowMsg(QStringLiteral("Install folder ready: ") + QString::number(outcome.dances) + QStringLiteral(" dances, ") +
            QString::number(outcome.instructionsRemoved) + QStringLiteral(" without instructions, ") +
            QString::number(outcome.eventsDeleted) + QStringLiteral(" events deleted."));
}

void TOrgForm::ToFromClick(const SyncDirection &direction) {
    EventsData.CheckBrowseMode();
    DancesData.CheckBrowseMode();
    SyncHooks hooks;
    hooks.openDatabase = Conn.isOpen() ? QFileInfo(Conn.path()).canonicalFilePath() : QString();
    hooks.closeTables = [] { CloseConn(); };
    hooks.openTables = [] { ReopenDatabase(); };
    RunSync(Maintainer(), direction, hooks);
}
