#include "TablesFixture.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "core/database/SampleCatalogue.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"

#include <QFile>

void TablesTest::SetUp() {
    QuillaryTest::SetUp();
    ResetTables();
    SetProcessRunner(&runner);
    SetDocumentOpener(&opener);
    SetMainWindowLink(&window);
    writeIni();
    WriteLog("START");
}

void TablesTest::TearDown() {
    ResetTables();
    SetMainWindowLink(nullptr);
    SetDocumentOpener(nullptr);
    SetProcessRunner(nullptr);
    Database::BusyTimeoutMs = 5000;
    QuillaryTest::TearDown();
}

void TablesTest::writeIni(const QString &systemLines) {
    IniFile.reset();
    WriteFileBytes(path("Quillary.ini"), ("[System]\r\n" + systemLines).toUtf8());
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    IniName = path("Quillary.ini");
    DatabaseName = SettingText("System", "DBName");
    NonStandardDB = !SameText(DatabaseName, StandardDatabaseName);
}

void TablesTest::useSample() { BuildSampleCatalogue(dbFile(), QDate(2026, 12, 6)); }

void TablesTest::useDances(const QList<QStringList> &dances) {
    QFile::remove(dbFile());
    Database db;
    db.create(dbFile());
    Statement s(db.handle(), "INSERT INTO Dances (Title, Format, Style, Author) VALUES (?,?,?,?)");
    for (const QStringList &d : dances) {
        s.bindAll({d.value(0), d.value(1), d.value(2), d.value(3)});
        s.step();
        s.reset();
    }
}

QString TablesTest::logText() const { return QString::fromLatin1(ReadFileBytes(path("Log.Txt"))); }

QVariant TablesTest::scalar(const QString &sql, const QVariantList &params) {
    Statement s(Conn.handle(), sql);
    s.bindAll(params);
    return s.step() ? s.column(0) : QVariant();
}
