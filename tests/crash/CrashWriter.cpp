// The crash tests' writer: saves in a loop until it is killed, reporting each
// save on standard output after it is committed. Modes:
//   programme <db>        every event not yet updated, saved with its counts
//   settings <ini> <from> keys K0..K4 of [Crash] set to from, from+1, ...
//   compact <folder>      the catalogue "Quillary.mdb" there compacted again and again
//   hot <db>              a change left half-done: dances added in one
//                         transaction until some reached the file, then
//                         "ready", waiting to be killed (a hot journal)

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/TestAnswerer.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "programme/text/ProgrammeText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <cstdio>

namespace {

void report(const QString &line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

int savePrograms(const QString &path) {
    Database db;
    db.open(path);
    Dataset events(db, QStringLiteral("Events"));
    events.setIndexName(QStringLiteral("EDate"));
    events.open();
    SqlDanceLookup lookup(db);
    QList<qint64> todo;
    {
        Statement s(db.handle(), QStringLiteral("SELECT rowid FROM Events WHERE Updated <> 'Y' ORDER BY rowid"));
        while (s.step()) todo.append(s.column(0).toLongLong());
    }
    report(QStringLiteral("ready"));
    for (const qint64 rowid : todo) {
        events.GotoBookmark(rowid);
        events.Edit();
        const QString stored = events.FieldByName(QStringLiteral("Programme")).AsString();
        CallCounting counting(ReadProgramme(stored, SepDot).items, SepDot);
        counting.RemoveRows();
        counting.Locate([&](int, const DanceKey &key) { return lookup.locate(key); });
        counting.CheckLinks();
        counting.AskCallit();
        WriteEventSave(db, events, counting.plan, true, counting.FinalProgramme(stored));
        report(QString::number(rowid));
    }
    return 0;
}

int setKeys(const QString &path, int from) {
    TIniFile ini(path);
    report(QStringLiteral("ready"));
    for (int i = from;; ++i) {
        const QString key = QStringLiteral("K%1").arg(i % 5);
        ini.WriteString(QStringLiteral("Crash"), key, QString::number(i));
        report(key + QLatin1Char('=') + QString::number(i));
    }
}

int compact(const QString &folder) {
    DataFolder = folder + QLatin1Char('/');
    IniFile = std::make_unique<TIniFile>(DataFolder + QStringLiteral("Quillary.ini"));
    if (!OpenDatabase()) return 2;
    report(QStringLiteral("ready"));
    for (;;) {
        qint64 before = 0, after = 0;
        QString error;
        if (!CompactDatabase(&before, &after, &error)) {
            report(QStringLiteral("failed ") + error);
            return 3;
        }
        report(QStringLiteral("compacted"));
    }
}

int halfDone(const QString &path) {
    Database db;
    db.open(path);
    const qint64 before = QFileInfo(path).size();
    // A tiny cache, so the uncommitted pages spill into the file itself.
    db.execRaw(QStringLiteral("PRAGMA cache_size=2; BEGIN"));
    for (int i = 0; QFileInfo(path).size() <= before || i < 200; ++i) {
        db.insertRow(QStringLiteral("Dances"), {{QStringLiteral("Title"), QStringLiteral("Uncommitted %1").arg(i)},
                                                {QStringLiteral("Notes"), QString(400, QLatin1Char('n'))}});
        db.execRaw(QStringLiteral("UPDATE Dances SET Notes = 'changed' WHERE Title NOT LIKE 'Uncommitted%'"));
    }
    report(QStringLiteral("ready"));
    for (;;) QThread::sleep(60);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    TestAnswerer answerer;
    TestAnswerer::onUnscripted = [](const QString &) {};
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    try {
        if (mode == QLatin1String("programme")) return savePrograms(args.value(2));
        if (mode == QLatin1String("settings")) return setKeys(args.value(2), args.value(3).toInt());
        if (mode == QLatin1String("compact")) return compact(args.value(2));
        if (mode == QLatin1String("hot")) return halfDone(args.value(2));
    } catch (const std::exception &e) {
        report(QStringLiteral("error ") + QString::fromUtf8(e.what()));
        return 1;
    }
    return 2;
}
