#include "base/Cp1252.h"
#include "base/Dates.h"
#include "core/database/SampleCatalogue.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "TablesFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

TEST_F(TablesTest, SampleOpensEventsThenDances) {
    useSample();
    ASSERT_TRUE(OpenDatabase());
    EXPECT_TRUE(logText().contains("Events Open"));
    EXPECT_TRUE(logText().indexOf("Events Open") < logText().indexOf("Dances Open"));
    EXPECT_EQ(EventsData.indexName(), QStringLiteral("EDate"));
    EXPECT_EQ(DancesData.indexName(), QStringLiteral("FST"));
    EXPECT_TRUE(EventsData.ControlsDisabled()) << "Events waits for the end of start-up";
    EXPECT_FALSE(DancesData.ControlsDisabled());
    EXPECT_FALSE(EventsData.AfterScroll);
    EXPECT_GT(EventsData.RecordCount(), 0);
    EXPECT_GT(DancesData.RecordCount(), 0);
}

TEST_F(TablesTest, MissingFileIsReportedAndNotCreated) {
    EXPECT_FALSE(OpenDatabase());
    ASSERT_EQ(answerer->texts().size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("File not found.\nCannot open Quillary database\n") + dbFile());
    EXPECT_FALSE(QFileInfo::exists(dbFile()));
    EXPECT_FALSE(Conn.isOpen());
}

// A damaged catalogue is reported once, naming the file, and nothing is written to it.
TEST_F(TablesTest, DamagedFileIsReportedAndLeftAsItWas) {
    useSample();
    const QByteArray whole = ReadFileBytes(dbFile());
    ASSERT_GE(whole.size(), 4096 * 4);
    QByteArray noise = whole.left(100);
    for (qsizetype i = 100; i < whole.size(); ++i) noise += char((i * 7919) >> 3);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"cut at a page", whole.left(4096 * 2)},
        {"cut mid-page", whole.left(4096 * 2 + 1000)},
        {"noise after the header", noise},
    };
    for (const auto &c : cases) {
        WriteFileBytes(dbFile(), c.bytes);
        answerer->clear();
        EXPECT_FALSE(OpenDatabase()) << c.name;
        ASSERT_EQ(answerer->texts().size(), 1) << c.name;
        EXPECT_TRUE(answerer->boxes[0].text.endsWith(QStringLiteral("Cannot open Quillary database\n") + dbFile())) << c.name;
        EXPECT_FALSE(Conn.isOpen()) << c.name;
        EXPECT_EQ(ReadFileBytes(dbFile()), c.bytes) << c.name;
    }
}

TEST_F(TablesTest, LeftoversOfAKilledRunAreRemovedOrLogged) {
    for (const char *name : {"Quillary.Sav", "Quillary.Sav-journal", "Quillary.ini.Ab12Cd", "Quillary.ini.backup"})
        WriteFileBytes(path(name), "x");
    CleanLeftovers(dbFile(), path("Quillary.ini"));
    EXPECT_FALSE(QFileInfo::exists(path("Quillary.Sav")));
    EXPECT_FALSE(QFileInfo::exists(path("Quillary.Sav-journal")));
    // A user's "Quillary.ini.backup" looks the same, so these are only logged.
    EXPECT_TRUE(QFileInfo::exists(path("Quillary.ini.Ab12Cd")));
    EXPECT_TRUE(QFileInfo::exists(path("Quillary.ini.backup")));
    EXPECT_TRUE(logText().contains(QStringLiteral("Left-over settings file ") + path("Quillary.ini.Ab12Cd")));
}

TEST_F(TablesTest, MissingOrderIndexIsRebuiltUnderItsName) {
    useDances({{"Jig", "Longways", "English"}, {"Old ####", "Longways", "English"}, {"Reel", "Square", "American"}});
    {
        Database db;
        db.open(dbFile());
        db.execRaw("DROP INDEX TSF");
    }
    writeIni("DOrder=TSF\r\n");
    ASSERT_TRUE(OpenDatabase());
    EXPECT_TRUE(answerer->sawText("Missing index TSF on Dances table.  Recreating."));
    EXPECT_TRUE(Conn.hasIndex("TSF"));
    EXPECT_EQ(Conn.indexColumns("TSF"), (QStringList{"Title", "Style", "Format"}));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Title LIKE '%####%'").toInt(), 0);
    EXPECT_TRUE(DancesData.active());
    EXPECT_EQ(DancesData.indexName(), QStringLiteral("TSF"));
    EXPECT_TRUE(window.calls.contains("DOrderBox 3"));
}

TEST_F(TablesTest, ALockedFileDeletesNothing) {
    useDances({{"Old ####", "Longways", "English"}});
    {
        Database db;
        db.open(dbFile());
        db.execRaw("DROP INDEX FST");
    }
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(dbFile().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    Database::BusyTimeoutMs = 20;
    try {
        OpenDatabase();
        ADD_FAILURE() << "the lock was not reported";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains("locked")) << e.text().toStdString();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    Conn.close();
    Database db;
    db.open(dbFile());
    Statement s(db.handle(), "SELECT count(*) FROM Dances");
    s.step();
    EXPECT_EQ(s.column(0).toInt(), 1);
}

TEST_F(TablesTest, DanceOrdersAndTheirBoxEntries) {
    struct Case {
        const char *setting, *name, *columns;
        int entry;
    };
    for (const Case &c : {Case{"FSRT", "FSRT", "(Format, Style, Rhythm, Title)", 2},
                          Case{"TSF", "TSF", "(Title, Style, Format)", 3}, Case{"xyz", "FST", "(Format, Style, Title)", 0},
                          Case{"tsf", "FST", "(Format, Style, Title)", 0}}) {
        const DanceOrder o = DanceOrderOf(c.setting);
        EXPECT_EQ(o.name, QString(c.name)) << c.setting;
        EXPECT_EQ(o.columns, QString(c.columns)) << c.setting;
        EXPECT_EQ(o.boxEntry, c.entry) << c.setting;
    }
    useDances({{"Jig", "Longways", "English"}});
    writeIni("DOrder=xyz\r\n");
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(DancesData.indexName(), QStringLiteral("FST"));
    EXPECT_TRUE(window.calls.contains("DOrderBox 0"));
}

TEST_F(TablesTest, CdColumnIsAddedOnce) {
    useDances({{"Jig", "Longways", "English"}});
    {
        Database db;
        db.open(dbFile());
        db.execRaw("ALTER TABLE Dances DROP COLUMN CD");
    }
    ASSERT_TRUE(OpenDatabase());
    EXPECT_TRUE(Conn.hasField("Dances", "CD"));
    EXPECT_NE(DancesData.FindField("CD"), nullptr);
    EXPECT_EQ(DancesData.FieldByName("CD").Size(), 1);
    EXPECT_EQ(logText().count("Adding field CD to Dances table."), 1);
    ResetTables();
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(logText().count("Adding field CD to Dances table."), 1);
}

TEST_F(TablesTest, NotesMigrationReplacesEveryOccurrenceIgnoringCase) {
    useDances({{"Jig", "Longways", "English"}, {"Reel", "Longways", "English"}});
    {
        Database db;
        db.open(dbFile());
        db.execRaw("UPDATE Dances SET Notes = 'http://WWW.Quillary.Freeserve.co.uk/a and www.quillary.freeserve.co.uk/b' "
                   "WHERE Title = 'Jig'");
        db.execRaw("UPDATE Dances SET Notes = 'see the book' WHERE Title = 'Reel'");
    }
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE Title = 'Jig'").toString(),
              QStringLiteral("http://www.quillary.org.uk/a and www.quillary.org.uk/b"));
    EXPECT_EQ(scalar("SELECT Notes FROM Dances WHERE Title = 'Reel'").toString(), QStringLiteral("see the book"));
    EXPECT_EQ(logText().count("in all Notes fields"), 1);
    ResetTables();
    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(logText().count("in all Notes fields"), 1) << "nothing left to change: no walk";
}

// The pass that looks for the old host decides alone whether the notes are
// walked: it must find every text the walk's search finds, and nothing else.
TEST_F(TablesTest, NotesPassFindsWhatTheWalkFinds) {
    const struct {
        const char *notes;
        bool blob;
        const char *after; // nullptr: left as it was, and no walk
    } cases[] = {
        {"see WWW.QUILLARY.FREESERVE.CO.UK/x", false, "see www.quillary.org.uk/x"},
        {"\xC3\xA9t\xC3\xA9 www.Quillary.freeserve.co.uk", false, "\xC3\xA9t\xC3\xA9 www.quillary.org.uk"},
        {"www.quillary.freeserve.co.uk", true, "www.quillary.org.uk"},
        {"www.quillary.freeserve.co.u", false, nullptr},
        {"www.quillary.free serve.co.uk", false, nullptr},
        // Letters that only look like the host's.
        {"www.qu\xC4\xB0llary.freeserve.co.uk", false, nullptr},
        {"www.quillary.free\xC5\xBF" "erve.co.uk", false, nullptr},
        {"www.quillary.freeserve.co.u\xE2\x84\xAA", false, nullptr},
        {"www.quillary.freeserve.co\xFF.uk", false, nullptr},
        {"", false, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.notes);
        ResetTables();
        WriteFileBytes(path("Log.Txt"), QByteArray());
        useDances({{"Jig", "Longways", "English"}, {"Reel", "Longways", "English"}});
        {
            Database db;
            db.open(dbFile());
            Statement s(db.handle(), "UPDATE Dances SET Notes = ? WHERE Title = 'Jig'");
            const QByteArray bytes(c.notes);
            s.bind(1, c.blob ? QVariant(bytes) : QVariant(QString::fromUtf8(bytes)));
            s.step();
        }
        ASSERT_TRUE(OpenDatabase());
        const QVariant notes = scalar("SELECT Notes FROM Dances WHERE Title = 'Jig'");
        const QString text = notes.typeId() == QMetaType::QByteArray ? QString::fromUtf8(notes.toByteArray()) : notes.toString();
        EXPECT_EQ(text, QString::fromUtf8(c.after ? c.after : c.notes));
        EXPECT_EQ(logText().count("in all Notes fields"), c.after ? 1 : 0);
        // As after the check it replaces, the free-SQL query holds the pass
        // (what "View SQL" and the error handler offer).
        EXPECT_TRUE(MyQuery.lastText().contains(QLatin1String("Notes"))) << MyQuery.lastText().toStdString();
    }
}

// The authors read in the notes pass are the list the plain statement gives,
// spelling and order, and are never used once the catalogue has changed.
TEST_F(TablesTest, AuthorsOfTheNotesPassAreThePlainListAndNeverStale) {
    const QString plain = QStringLiteral("Select Distinct Author from Dances Order by Author");
    const auto plainList = [&] {
        Query q(Conn);
        q.setText(plain);
        q.open();
        QStringList values;
        for (; !q.eof(); q.next()) values.append(q.fields(0).AsString());
        return values;
    };
    const auto fill = [&] {
        QList<QStringList> dances;
        const char *authors[] = {"smith", "Ann Fairley", "SMITH", "", "\xC3\xA9mile", "Smith", "\xC3\x89MILE",
                                 "ZZZ", "ann fairley", "Zoe", "zoe", "traditional"};
        int i = 0;
        for (const char *a : authors) dances.append({QStringLiteral("Dance %1").arg(i++), "Longways", "English", a});
        useDances(dances);
    };
    const struct {
        const char *name;
        std::function<void()> between;
        const char *added; // an author the list must then hold
    } cases[] = {
        {"nothing", [] {}, nullptr},
        {"this connection", [] { Conn.execRaw("UPDATE Dances SET Author = 'Quentin' WHERE Title = 'Dance 0'"); },
         "Quentin"},
        {"another connection",
         [this] {
             Database other;
             other.open(dbFile());
             other.execRaw("UPDATE Dances SET Author = 'Ursula' WHERE Title = 'Dance 1'");
         },
         "Ursula"},
        {"a rolled-back write",
         [] {
             Conn.execRaw("BEGIN");
             Conn.execRaw("UPDATE Dances SET Author = 'Vera' WHERE Title = 'Dance 2'");
             Conn.execRaw("ROLLBACK");
         },
         nullptr},
        {"a reopen",
         [] {
             Conn.close();
             OpenTables();
         },
         nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ResetTables();
        fill();
        ASSERT_TRUE(OpenDatabase());
        c.between();
        const QStringList got = DistinctDanceValues(QStringLiteral("Author"));
        EXPECT_EQ(got, plainList());
        if (c.added) {
            EXPECT_TRUE(got.contains(QLatin1String(c.added)));
        }
        EXPECT_EQ(DistinctDanceValues(QStringLiteral("Author")), plainList()) << "read again";
    }
    EXPECT_EQ(DistinctDanceValues(QStringLiteral("Style")), QStringList{"English"});
}

TEST_F(TablesTest, CompactionShrinksTheFileAndRecordsItsSize) {
    useDances({{"Jig", "Longways", "English"}});
    ASSERT_TRUE(OpenDatabase());
    {
        Batch b(Conn);
        Statement s(Conn.handle(), "INSERT INTO Dances (Title, Format, Style, Notes) VALUES (?, 'x', 'y', ?)");
        for (int i = 0; i < 300; ++i) {
            s.bindAll({QString::number(i), QString(2000, 'n')});
            s.step();
            s.reset();
        }
        b.commit();
    }
    RunSQL("Delete from Dances where Format = 'x'");
    const qint64 before = FileSizeOf(dbFile());
    CompressClick(CompressSender::Menu);
    const qint64 after = FileSizeOf(dbFile());
    EXPECT_LT(after, before / 4);
    EXPECT_EQ(answerer->texts().last(),
              QStringLiteral("Database compressed.\n\n Old size:   %1\nNew size:   %2").arg(before).arg(after));
    EXPECT_EQ(IniFile->ReadInt64("System", "DBSize", -1), after);
    EXPECT_TRUE(EventsData.active() && DancesData.active());
    EXPECT_EQ(DancesData.FieldByName("Title").AsString(), QStringLiteral("Jig"));
    EXPECT_FALSE(QFileInfo::exists(path("Quillary.Sav")));
}

TEST_F(TablesTest, FailedCompactionKeepsTheOriginal) {
    useDances({{"Jig", "Longways", "English"}});
    ASSERT_TRUE(OpenDatabase());
    Conn.close();
    const QByteArray original = ReadFileBytes(dbFile());
    // A folder in the way of the compacted copy, which goes beside the
    // database, not into the current folder.
    WriteFileBytes(path("Quillary.Sav/keep"), "x");
    WriteFileBytes(path("elsewhere/keep"), "x");
    QDir::setCurrent(path("elsewhere"));
    OpenTables();
    CompressClick(CompressSender::None);
    EXPECT_FALSE(answerer->sawText("Database compressed."));
    EXPECT_TRUE(answerer->texts().last().startsWith("Database compression failed")) << answerer->texts().last().toStdString();
    EXPECT_EQ(IniFile->ReadInt64("System", "DBSize", -1), -1);
    EXPECT_TRUE(DancesData.active());
    Conn.close();
    EXPECT_EQ(ReadFileBytes(dbFile()), original);
}

TEST_F(TablesTest, StartCompactsFirstTimeOnlyAndStandsOnToday) {
    useSample();
    ASSERT_TRUE(StartDatabase());
    EXPECT_TRUE(answerer->sawText("Database compressed."));
    const qint64 recorded = IniFile->ReadInt64("System", "DBSize", 0);
    EXPECT_EQ(recorded, FileSizeOf(dbFile()));
    // The sample's first event on or after 6 December 2026 is that day's.
    EXPECT_EQ(EventsData.FieldByName("EDate").AsString(), FormatEventDate(DateToDayNumber(QDate(2026, 12, 6))));
    EXPECT_TRUE(EventsData.AfterScroll);
    EXPECT_FALSE(EventsData.ControlsDisabled());
    answerer->clear();
    ResetTables();
    ASSERT_TRUE(StartDatabase());
    EXPECT_FALSE(answerer->sawText("Database compressed."));
    // The rule: strictly more than a fifth larger.
    EXPECT_TRUE(CompactionDue(1, 0, false));
    EXPECT_FALSE(CompactionDue(1200, 1000, false));
    EXPECT_TRUE(CompactionDue(1201, 1000, false));
}

TEST_F(TablesTest, AnotherDatabaseStandsOnTheLastEvent) {
    BuildSampleCatalogue(path("Other.mdb"), QDate(2026, 12, 6));
    writeIni("DBName=Other.mdb\r\n");
    ASSERT_TRUE(StartDatabase());
    EXPECT_FALSE(answerer->sawText("Database compressed."));
    EXPECT_TRUE(EventsData.Eof());
    EXPECT_EQ(EventsData.RecordIndex(), EventsData.VisibleCount() - 1);
}

TEST_F(TablesTest, BackupAndRestoreReturnToTheTables) {
    useSample();
    writeIni("DBSize=1\r\n[User]\r\nBackup=cp Quillary.mdb Backup.mdb\r\nRestore=cp Backup.mdb Quillary.mdb\r\n");
    ASSERT_TRUE(OpenDatabase());
    EventsData.AfterScroll = nullptr;
    runner.action = [this](const QString &program, const QStringList &args, int *code) {
        EXPECT_FALSE(Conn.isOpen()) << "the command runs on a closed database";
        if (program != "cp") return false;
        QFile::remove(path(args[1]));
        *code = QFile::copy(path(args[0]), path(args[1])) ? 0 : 1;
        return true;
    };
    DancesData.Last();
    const auto keptDance = DancesData.GetBookmark();
    EventsData.MoveBy(2);
    const auto keptEvent = EventsData.GetBookmark();
    window.calls.clear();
    BackupClick();
    EXPECT_EQ(runner.runs, (QStringList{"cp Quillary.mdb Backup.mdb"}));
    EXPECT_TRUE(Conn.isOpen());
    EXPECT_EQ(DancesData.GetBookmark(), keptDance);
    EXPECT_EQ(EventsData.GetBookmark(), keptEvent);
    EXPECT_TRUE(EventsData.AfterScroll) << "the Events handler is attached again";
    EXPECT_FALSE(QuietShow);
    EXPECT_EQ(window.calls.first(), QStringLiteral("Busy"));
    EXPECT_EQ(window.calls.last(), QStringLiteral("NotBusy"));

    RunSQL("Delete from Dances where Title = 'Tea Break'");
    const int dances = DancesData.RecordCount();
    answerer->script(ResultNo);
    RestoreClick();
    EXPECT_TRUE(Conn.isOpen() && DancesData.active()) << "No closes nothing";
    EXPECT_EQ(runner.runs.size(), 1);
    answerer->script(ResultYes);
    RestoreClick();
    EXPECT_EQ(DancesData.RecordCount(), dances + 1) << "back to the backup's records";
    EXPECT_EQ(DancesData.RecordIndex(), 0);
}

TEST_F(TablesTest, BackupWithoutCommandAndFailingCommandsStillReopen) {
    useSample();
    ASSERT_TRUE(OpenDatabase());
    answerer->script(ResultOK);
    BackupClick();
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("No Backup action defined."));
    EXPECT_EQ(answerer->boxes[0].helpContext, 51100);
    EXPECT_TRUE(Conn.isOpen());

    writeIni("[User]\r\nBackup=nothing-here --now\r\n");
    runner.action = [](const QString &, const QStringList &, int *) { return false; };
    try {
        BackupClick();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Unable to run \rnothing-here --now"));
    }
    EXPECT_EQ(runner.runs, (QStringList{"nothing-here --now"})) << "no shell is tried";
    EXPECT_TRUE(Conn.isOpen() && EventsData.active() && DancesData.active());

    runner.action = [](const QString &, const QStringList &, int *code) {
        *code = 3;
        return true;
    };
    BackupClick();
    EXPECT_TRUE(answerer->sawText("Error calling external routine"));
    EXPECT_TRUE(DancesData.active());

    writeIni("DBName=Other.mdb\r\n[User]\r\nBackup=cp a b\r\n");
    answerer->clear();
    answerer->script(ResultNo);
    BackupClick();
    EXPECT_EQ(answerer->texts(), (QStringList{"You are using Other.mdb\nAre you sure you want to do a standard back-up?"}));
}
