#pragma once
// The main window over a small catalogue in the test's data folder: the
// tables opened as at start-up with the window's handlers, and every
// program-wide state of the Dances page reset around each test.

#include "app/OrgForm.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/filter/Tags.h"
#include "core/services/AppServices.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Database.h"
#include "presentation/fullscreen/Full.h"
#include "publishing/exchange/CsvImport.h"
#include "ModalDriver.h"
#include "ShowActive.h"
#include "WindowStateReset.h"
#include "tests/ModalWatchdog.h"

#include <QTabWidget>
#include <memory>

class DancePageTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        resetAll();
        WriteLog("START");
        writeIni("DOrder=FST\r\n");
        QFile::remove(path("Quillary.mdb"));
        Database db;
        db.create(path("Quillary.mdb"));
        SetHelpOpener([this](int context) { helps.append(context); });
        // A dialog nobody expected would wait for ever: close it and fail.
        watchdog.start();
    }
    void TearDown() override {
        watchdog.stop();
        EXPECT_FALSE(watchdog.fired) << "a dialog stayed open until the watchdog closed it";
        SetHelpOpener({});
        form.reset();
        resetAll();
        QuillaryTest::TearDown();
    }
    void resetAll() {
        ResetWindowState();
        InErrorHandler = ImportWindowExists = false;
        OrgForm = nullptr;
    }
    void writeIni(const QString &systemLines, const QString &more = QString()) {
        IniFile.reset();
        WriteFileBytes(path("Quillary.ini"),
                       ("[System]\r\n" + systemLines +
                        "[Recorded]\r\nRecording=\r\nTrk=\r\nFormat=\r\nBPM=\r\nRhythm=\r\nComments=\r\nLocation=\r\n" + more)
                           .toUtf8());
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        IniName = path("Quillary.ini");
        DatabaseName = SettingText("System", "DBName");
        NonStandardDB = !SameText(DatabaseName, StandardDatabaseName);
        LoadMenuOptions();
        LocationColumn = 6;
    }
    // Rows put in with plain SQL before the tables open.
    qint64 insert(const QString &table, const QList<QPair<QString, QVariant>> &values) {
        Database db;
        db.open(path("Quillary.mdb"));
        QStringList names, marks;
        QVariantList params;
        for (const auto &p : values) {
            names.append(p.first);
            marks.append("?");
            params.append(p.second);
        }
        Statement s(db.handle(), QString("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(","), marks.join(",")));
        s.bindAll(params);
        s.step();
        return scalarOn(db, "SELECT last_insert_rowid()").toLongLong();
    }
    qint64 addDance(const QString &t, const QString &f, const QString &s,
                    const QList<QPair<QString, QVariant>> &extra = {}) {
        return insert("Dances", QList<QPair<QString, QVariant>>{{"Title", t}, {"Format", f}, {"Style", s}} + extra);
    }
    qint64 addEvent(const QString &org, double date, const QString &event, const QString &programme,
                    const QList<QPair<QString, QVariant>> &extra = {}) {
        return insert("Events", QList<QPair<QString, QVariant>>{
                                    {"Org", org}, {"EDate", date}, {"Event", event}, {"Programme", programme}} +
                                    extra);
    }
    // Opens the tables as start-up does and makes the window.
    void open() {
        ASSERT_TRUE(OpenDatabase());
        form = std::make_unique<TOrgForm>();
        OrgForm = form.get();
        SetRecordHookHandlers(OrgForm);
        // Showing an event evaluates it, which offers the not-found choices
        // for its missing dances; these tests call LocateDance themselves.
        form->NoEvaluation = true;
        BindFilterDatasets(&Conn, &EventsData, &DancesData);
        EventsData.AfterScroll = ::EventsAfterScroll;
        EventsData.EnableControls();
        EventsData.First();
    }
    static QVariant scalarOn(Database &db, const QString &sql, const QVariantList &params = {}) {
        Statement s(db.handle(), sql);
        s.bindAll(params);
        return s.step() ? s.column(0) : QVariant();
    }
    QVariant scalar(const QString &sql, const QVariantList &params = {}) { return scalarOn(Conn, sql, params); }
    QString programmeOf(qint64 event) { return scalar("SELECT Programme FROM Events WHERE rowid=?", {event}).toString(); }
    QString shownTitle() { return DancesData.FieldByName("Title").AsString(); }
    DanceKey shownKey() { return CurrentDanceKey(DancesData); }
    // A Dances filter of one condition, switched on.
    void filterDances(const QString &field, const QString &value) {
        DancesFilter.Field[1] = field;
        DancesFilter.Value[1] = value;
        DancesFilter.Count = 1;
        SetFilter(FilterTable::Dances, 3);
        ASSERT_TRUE(DancesData.Filtered());
    }
    void filterEvents(const QString &field, const QString &value) {
        EventsFilter.Field[1] = field;
        EventsFilter.Value[1] = value;
        EventsFilter.Count = 1;
        SetFilter(FilterTable::Events, 3);
        ASSERT_TRUE(EventsData.Filtered());
    }
    // On screen and active (ShowActive.h).
    void showActive() { ShowMainWindowActive(form.get(), [this] { answerer->clear(); }); }
    QString logText() const { return QString::fromLatin1(ReadFileBytes(path("Log.Txt"))); }

    std::unique_ptr<TOrgForm> form;
    QList<int> helps;
    ModalWatchdog watchdog;
};

// "*" stands for the programme separator.
inline QString Prog(const char *text) {
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('*'), SepDot);
    return s;
}
