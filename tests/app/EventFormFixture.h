#pragma once
// The main window on a small catalogue built from the schema: the tables
// open as start-up leaves them, the window showing the event asked for.

#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/services/AppServices.h"
#include "core/services/Help.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "programme/rows/ProgrammeRows.h"
#include "ShowActive.h"
#include "TestSupport.h"
#include "WindowStateReset.h"

#include <QApplication>
#include <QList>
#include <QTest>
#include <QPair>
#include <QVariant>
#include <sqlite3.h>

class EventFormTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetWindowState();
        ResetAppServices();
        ProgrammeSeparator = SepDot;
        SetHelpOpener([this](int context) { helps.append(context); });
        WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Quillary.mdb\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        db.create(path("Quillary.mdb"));
    }
    void TearDown() override {
        form.reset();
        OrgForm = nullptr;
        ResetWindowState();
        SetExceptionHandlerOff();
        SetHelpOpener({});
        db.close();
        QuillaryTest::TearDown();
    }
    static void SetExceptionHandlerOff();

    qint64 insert(const char *table, const QList<QPair<QString, QVariant>> &values) {
        return db.insertRow(QLatin1String(table), values);
    }
    qint64 addDance(const QString &title, const QList<QPair<QString, QVariant>> &extra = {}) {
        QList<QPair<QString, QVariant>> v{{"Title", title}, {"Format", "Longways"}, {"Style", "English"}};
        return insert("Dances", v + extra);
    }
    // An event days from today (6 December 2026).
    qint64 addEvent(const QString &org, int days, const QString &programme,
                    const QList<QPair<QString, QVariant>> &extra = {}) {
        QList<QPair<QString, QVariant>> v{{"Org", org},
                                          {"EDate", DateToDayNumber(QDate(2026, 12, 6).addDays(days))},
                                          {"Event", "Dance"},
                                          {"Programme", programme}};
        for (const auto &e : extra) {
            auto same = std::find_if(v.begin(), v.end(), [&](const auto &p) { return p.first == e.first; });
            if (same != v.end()) same->second = e.second;
            else v.append(e);
        }
        return insert("Events", v);
    }
    static QString Prog(const char *text) {
        QString s = QString::fromUtf8(text);
        s.replace(QLatin1Char('~'), SepDot);
        return s;
    }

    // Opens the catalogue and the window as start-up leaves them, on the event.
    void open(qint64 event) {
        db.close();
        ASSERT_TRUE(OpenDatabase());
        form = std::make_unique<TOrgForm>();
        OrgForm = form.get();
        SetRecordHookHandlers(OrgForm);
        form->Setup(form->EvPanel);
        form->Setup(form->DPanel);
        form->Setup(form->DancePage);
        EventsData.AfterScroll = EventsAfterScroll;
        EventsEnable();
        StartingUp = false;
        EventsData.GotoBookmark(event);
        form->ShowEvent(true);
        answerer->clear();
    }
    // On screen and active (ShowActive.h).
    void showActive() { ShowMainWindowActive(form.get(), [this] { answerer->clear(); }); }
    QVariant scalar(const QString &sql, const QVariantList &params = {}) {
        Statement s(Conn.handle(), sql);
        s.bindAll(params);
        return s.step() ? s.column(0) : QVariant();
    }
    QString field(const char *name) { return EventsData.FieldByName(QLatin1String(name)).AsString(); }
    QStringList captions() {
        QStringList out;
        for (TItem *row : form->Rows->ItemList) out.append(row->caption());
        return out;
    }

    Database db;
    std::unique_ptr<TOrgForm> form;
    QList<int> helps;
};

#include "core/services/ErrorRouting.h"
inline void EventFormTest::SetExceptionHandlerOff() { SetExceptionHandler({}); }
