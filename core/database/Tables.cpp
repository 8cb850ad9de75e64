#include "core/database/Tables.h"

#include "base/Clock.h"
#include "base/Dates.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/RecordHooks.h"
#include "core/database/SqlRunner.h"
#include "core/services/MainWindowLink.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "core/startup/SettingsChoice.h"
#include "core/startup/StartupRules.h"
#include "platform/sqlite/JetSql.h"
#include "programme/rows/RowLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <sqlite3.h>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

Database Conn;
Query MyQuery(Conn);
Dataset EventsData(Conn, QStringLiteral("Events"));
Dataset DancesData(Conn, QStringLiteral("Dances"));
bool QuietShow = false;

const QString OldWebHost = QStringLiteral("www.quillary.freeserve.co.uk");
const QString NewWebHost = QStringLiteral("www.quillary.org.uk");

namespace {

const QString System = QStringLiteral("System");

// Records a backup keeps to return to once the tables are open again.
Dataset::Bookmark KeptEventsPos = 0;
Dataset::Bookmark KeptDancesPos = 0;

void attachHandlers() {
    for (Dataset *ds : {&EventsData, &DancesData}) {
        ds->BeforeDelete = BeforeDelete;
        ds->BeforeInsert = BeforeInsert;
        ds->AfterPost = AnyAfterPost;
        ds->OnFilterRecord = FilterRecord;
        ds->OnPostError = PostError;
    }
    EventsData.BeforePost = EventsBeforePost;
    DancesData.BeforePost = DancesBeforePost;
    DancesData.AfterPostFailed = DancesPostFailed;
    DancesData.AfterDeleteFailed = DancesDeleteFailed;
    DancesData.AfterScroll = DancesAfterScroll;
}

// Goes to a kept record; a record that is gone leaves the position as it is.
void returnTo(Dataset &ds, Dataset::Bookmark &kept) {
    if (kept) {
        try {
            ds.GotoBookmark(kept);
        } catch (const std::exception &) {
        }
    }
    kept = 0;
}

void syncPath(const QString &path, bool folder) {
    const int fd = ::open(QFile::encodeName(path).constData(), folder ? O_RDONLY | O_DIRECTORY : O_RDWR);
    if (fd < 0) throw DbError(QStringLiteral("Cannot open %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0 && !folder)
        throw DbError(QStringLiteral("Cannot write %1 to disk: %2").arg(path, QString::fromLocal8Bit(std::strerror(err))));
}

// Runs a command line; the tables open again whatever happens to it.
void runThenReopen(const QString &commandLine) {
    bool reopened = false;
    try {
        RunCommand(commandLine, [&] {
            reopened = true;
            ReopenDatabase();
        });
    } catch (...) {
        if (!reopened) ReopenDatabase();
        throw;
    }
}

} // namespace

DanceOrder DanceOrderOf(const QString &setting) {
    const QString s = setting.trimmed();
    if (s == QLatin1String("FTS")) return {s, QStringLiteral("(Format, Title, Style)"), 1};
    if (s == QLatin1String("FSRT")) return {s, QStringLiteral("(Format, Style, Rhythm, Title)"), 2};
    if (s == QLatin1String("TSF")) return {s, QStringLiteral("(Title, Style, Format)"), 3};
    return {QStringLiteral("FST"), QStringLiteral("(Format, Style, Title)"), 0};
}

qint64 FileSizeOf(const QString &name) {
    const QFileInfo fi(name);
    return fi.exists() && !fi.isDir() ? fi.size() : 0;
}

namespace {
// Opens Dances in the chosen order, rebuilding a missing index, and brings
// old catalogues up to date.
void openDances();
} // namespace

bool OpenDatabase() {
    try {
        Conn.open(DatabasePath());
    } catch (const DbError &e) {
        DatabaseOpenFailed(e.text());
        return false;
    }
    ThisIndex = -1;
    attachHandlers();

    EventsData.DisableControls();
    DancesData.DisableControls();
    EventsData.setIndexName(QStringLiteral("EDate"));
    try {
        EventsData.open();
        WriteLog(QStringLiteral("Events Open"));
        openDances();
    } catch (const DbError &e) {
        const int primary = e.code() & 0xFF;
        if (primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB) throw;
        // A damaged file: nothing more is read from it or written to it.
        EventsData.close();
        DancesData.close();
        EventsData.EnableControls();
        DancesData.EnableControls();
        Conn.close();
        DatabaseOpenFailed(QStringLiteral("The database file is damaged (") + e.text() +
                           QStringLiteral(").\rPlease restore it from a backup copy (Tools, Restore)."));
        return false;
    }
    return true;
}

namespace {
void openDances() {
    const DanceOrder order = DanceOrderOf(SettingText(System, QStringLiteral("DOrder")));
    DancesData.setIndexName(order.name);
    TheMainWindow().SetDOrderBox(order.boxEntry);
    // Only a missing index is rebuilt; any other failure is reported as it is.
    if (!SameText(Conn.indexTable(order.name), QStringLiteral("Dances"))) {
        TheMainWindow().HideSplash();
        RebuildDanceIndex(order.name);
    }
    DancesData.open();

    MigrateNotes();
    if (!Conn.hasField(QStringLiteral("Dances"), QStringLiteral("CD"))) {
        DancesData.close();
        WriteLog(QStringLiteral("Adding field CD to Dances table."));
        RunSQL(QStringLiteral("Alter table Dances Add Column CD Char(1)"));
        DancesData.open();
    }
    DancesData.EnableControls();
    WriteLog(QStringLiteral("Dances Open"));
}
} // namespace

void RebuildDanceIndex(const QString &order) {
    ShowMsg(QStringLiteral("Missing index ") + order + QStringLiteral(" on Dances table.  Recreating."));
    RunSQL(QStringLiteral("Delete from Dances where Title ALike \"%####%\""));
    RunSQL(QStringLiteral("Create Unique Index ") + order + QStringLiteral(" on Dances ") + DanceOrderOf(order).columns);
}

namespace {

// The authors read in the notes pass, for the rule editor's list.
struct KeptValues {
    QString field;
    QStringList values;
    Database::ChangeStamp stamp;
};
KeptValues KeptAuthors;

// Rows of the notes pass whose notes hold the old host.
qint64 OldHostRows = 0;
quint64 TallyRegisteredFor = 0;

// Whether UTF-8 text holds the old host, ignoring case as PosNoCase does.
// The host is plain ASCII, and in UTF-8 (valid or not) only ASCII bytes
// stand for ASCII characters, which fold by themselves: comparing bytes with
// their ASCII case folded finds exactly what a search of the decoded text
// finds.
bool holdsOldHost(const unsigned char *text, int size) {
    static const QByteArray host = OldWebHost.toLatin1().toUpper();
    const int m = int(host.size());
    const auto upper = [](unsigned char c) { return unsigned(c - 'a') < 26u ? char(c - 32) : char(c); };
    for (int i = 0; i + m <= size; ++i) {
        int k = 0;
        while (k < m && upper(text[i + k]) == host[k]) ++k;
        if (k == m) return true;
    }
    return false;
}

// Counts the rows whose notes hold the old host and keeps every row: as a
// WHERE term it lets one scan of Dances both list the authors and look for
// the host.
void tallyFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    const unsigned char *text = sqlite3_value_text(argv[0]);
    if (text && holdsOldHost(text, sqlite3_value_bytes(argv[0]))) ++OldHostRows;
    sqlite3_result_int(ctx, 1);
}

QString distinctSql(const QString &field, const QString &where = QString()) {
    return QStringLiteral("Select Distinct ") + field + QStringLiteral(" from Dances ") + where +
           QStringLiteral("Order by ") + field;
}

// Runs a query and gives its first column's values as its field gives them.
QStringList firstColumn(Query &q, const QString &sql) {
    QStringList values;
    try {
        q.setText(sql);
        q.open();
        for (; !q.eof(); q.next()) values.append(q.fields(0).AsString());
    } catch (...) {
        q.close();
        throw;
    }
    q.close();
    return values;
}

// One pass over Dances: the distinct authors in their order (the statement
// the rule editor's list is read with, plus a WHERE term that keeps every
// row), and whether any notes hold the old host. It runs in the free-SQL
// query, which then holds it as the latest statement, as it held the check
// this pass replaces.
bool notesHoldOldHost() {
    KeptAuthors = {};
    if (TallyRegisteredFor != Conn.openCount()) {
        const int rc = sqlite3_create_function_v2(Conn.handle(), "OldHostTally", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                                  nullptr, tallyFunction, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) throw Conn.errorFor(rc, QStringLiteral("OldHostTally"));
        TallyRegisteredFor = Conn.openCount();
    }
    OldHostRows = 0;
    const QString author = QStringLiteral("Author");
    const QStringList authors = firstColumn(MyQuery, distinctSql(author, QStringLiteral("where OldHostTally(Notes) ")));
    if (OldHostRows > 0) return true;
    KeptAuthors = {author, authors, Conn.changeStamp()};
    return false;
}

} // namespace

QStringList DistinctDanceValues(const QString &field) {
    if (!KeptAuthors.field.isEmpty() && KeptAuthors.field == field) {
        KeptValues kept;
        std::swap(kept, KeptAuthors);
        if (kept.stamp.known() && kept.stamp == Conn.changeStamp()) return kept.values;
    }
    Query q(Conn);
    return firstColumn(q, distinctSql(field));
}

void MigrateNotes() {
    if (!notesHoldOldHost()) return;
    WriteLog(QStringLiteral("Changing ") + OldWebHost + QStringLiteral(" to ") + NewWebHost +
             QStringLiteral(" in all Notes fields"));
    Batch batch(Conn);
    for (DancesData.First(); !DancesData.Eof(); DancesData.Next()) {
        Field &notes = DancesData.FieldByName(QStringLiteral("Notes"));
        const QString text = notes.AsString();
        if (PosNoCase(OldWebHost, text) == 0) continue;
        DancesData.Edit();
        notes.SetAsString(ReplaceText(text, OldWebHost, NewWebHost));
        DancesData.Post();
    }
    batch.commit();
}

void OpenTables() {
    if (!Conn.isOpen()) Conn.open(DatabasePath());
    EventsData.open();
    DancesData.open();
}

void CloseConn() {
    if (EventsData.Filtered()) SetFilter(EventsData, 1);
    if (DancesData.Filtered()) SetFilter(DancesData, 1);
    TestSave();
    MyQuery.close();
    Conn.close();
}

void CleanLeftovers(const QString &databasePath, const QString &iniPath) {
    const QDir folder = QFileInfo(databasePath).absoluteDir();
    for (const QString &name : {QStringLiteral("Quillary.Sav"), QStringLiteral("Quillary.Sav-journal")}) {
        const QString found = FindFileNoCase(folder.absolutePath() + QLatin1Char('/'), name);
        if (found.isEmpty() || !QFileInfo(found).isFile()) continue;
        if (QFile::remove(found)) WriteLog(QStringLiteral("Removed left-over ") + found);
    }
    if (iniPath.isEmpty()) return;
    const QFileInfo ini(iniPath);
    const QRegularExpression temp(QStringLiteral("^") + QRegularExpression::escape(ini.fileName()) +
                                  QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    for (const QString &name : ini.absoluteDir().entryList(QDir::Files))
        if (temp.match(name).hasMatch())
            WriteLog(QStringLiteral("Left-over settings file ") + ini.absoluteDir().filePath(name));
}

bool CompactDatabase(qint64 *oldSize, qint64 *newSize, QString *error) {
    // The connection's own file, and the copy beside it.
    const QString path = Conn.isOpen() ? Conn.path() : DatabasePath();
    const QString folder = QFileInfo(path).absolutePath();
    const QString sav = folder + QStringLiteral("/Quillary.Sav");
    *oldSize = FileSizeOf(path);
    CloseConn();
    bool ok = true;
    try {
        if (QFileInfo::exists(sav) && !QFile::remove(sav))
            throw DbError(QStringLiteral("Cannot delete the old copy ") + sav);
        {
            Database work;
            work.open(path);
            work.execRaw(QStringLiteral("VACUUM INTO ") + DoubleQuotes(sav));
        }
        syncPath(sav, false);
        {
            Database check;
            check.open(sav);
            Statement s(check.handle(), QStringLiteral("PRAGMA quick_check"));
            const QString verdict = s.step() ? s.columnText(0) : QString();
            if (verdict != QLatin1String("ok")) throw DbError(QStringLiteral("The compacted copy is damaged: ") + verdict);
        }
        if (::rename(QFile::encodeName(sav).constData(), QFile::encodeName(path).constData()) != 0)
            throw DbError(QStringLiteral("Cannot put the compacted copy in place: ") +
                          QString::fromLocal8Bit(std::strerror(errno)));
        syncPath(folder, true);
    } catch (const std::exception &e) {
        ok = false;
        *error = QString::fromUtf8(e.what());
        if (QFileInfo(sav).isFile()) QFile::remove(sav);
    }
    OpenTables();
    *newSize = FileSizeOf(path);
    return ok;
}

void CompressClick(CompressSender sender) {
    TheMainWindow().SplashStatus(QStringLiteral("Compressing database..."));
    qint64 oldSize = 0, newSize = 0;
    QString error;
    const bool ok = CompactDatabase(&oldSize, &newSize, &error);
    TheMainWindow().SplashStatus(QString());
    if (!ok) {
        ShowMsg(QStringLiteral("Database compression failed; the database is unchanged.\r") + error);
        return;
    }
    if (sender == CompressSender::ReleaseTool) return;
    ShowMsg(QStringLiteral("Database compressed.\r\r Old size:   ") + QString::number(oldSize) +
            QStringLiteral("\rNew size:   ") + QString::number(newSize));
    if (IniFile) IniFile->WriteInt64(System, QStringLiteral("DBSize"), newSize);
}

void BackupClick() {
    if (NonStandardDB &&
        !YesNo(QStringLiteral("You are using ") + DatabaseName + QStringLiteral("\rAre you sure you want to do a standard back-up?")))
        return;
    WriteLog(QStringLiteral("Backup"));
    const QString command = SettingText(QStringLiteral("User"), QStringLiteral("Backup"));
    if (command.isEmpty()) {
        OKHelpCancel(QStringLiteral("No Backup action defined."), 51100);
        return;
    }
    TheMainWindow().SetBusy(true);
    KeptEventsPos = EventsData.active() ? EventsData.GetBookmark() : 0;
    KeptDancesPos = DancesData.active() ? DancesData.GetBookmark() : 0;
    CloseConn();
    runThenReopen(command);
}

void RestoreClick() {
    WriteLog(QStringLiteral("Restore"));
    if (!YesNo(QStringLiteral("This will remove all changes since your last backup.\r\r"
                              "Are you sure you want to restore both Dances and Events?")))
        return;
    TheMainWindow().SetBusy(true);
    KeptEventsPos = 0;
    KeptDancesPos = 0;
    EventsData.Cancel();
    DancesData.Cancel();
    CloseConn();
    runThenReopen(SettingText(QStringLiteral("User"), QStringLiteral("Restore")));
}

void ReopenDatabase() {
    QuietShow = true;
    EventsData.AfterScroll = nullptr;
    try {
        OpenTables();
        returnTo(EventsData, KeptEventsPos);
        returnTo(DancesData, KeptDancesPos);
        TheMainWindow().ShowDance();
    } catch (...) {
        EventsData.AfterScroll = EventsAfterScroll;
        QuietShow = false;
        TheMainWindow().SetBusy(false);
        throw;
    }
    EventsData.AfterScroll = EventsAfterScroll;
    QuietShow = false;
    TheMainWindow().ShowEvent();
    if (EventsData.Modified()) EventsData.Post();
    TheMainWindow().SetBusy(false);
}

bool StartDatabase() {
    if (!OpenDatabase()) return false;
    if (CompactionDue(FileSizeOf(DatabasePath()), SettingInt64(System, QStringLiteral("DBSize")), NonStandardDB))
        CompressClick(CompressSender::None);
    const double today = DateToDayNumber(Today());
    if (NonStandardDB || !EventsData.Seek({today}, SeekMode::AfterEq)) EventsData.Last();
    EventsData.AfterScroll = EventsAfterScroll;
    EventsData.EnableControls();
    TheMainWindow().ShowDance();
    TheMainWindow().ShowEvent();
    return true;
}

void ResetTables() {
    Conn.close();
    MyQuery.SQL.clear();
    MyQuery.forgetLastText();
    for (Dataset *ds : {&EventsData, &DancesData}) {
        ds->SetFiltered(false);
        ds->setIndexName(QString());
        ds->OnFilterRecord = nullptr;
        ds->FilterColumns.clear();
        ds->BeforePost = ds->AfterPost = ds->BeforeDelete = ds->BeforeInsert = ds->AfterScroll = ds->BeforeScroll = nullptr;
        ds->AfterPostFailed = ds->AfterDeleteFailed = nullptr;
        ds->OnPostError = nullptr;
        while (ds->ControlsDisabled()) ds->EnableControls();
    }
    QuietShow = false;
    KeptAuthors = {};
    EventChanged = false;
    KeptEventsPos = KeptDancesPos = 0;
}
