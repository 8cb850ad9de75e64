#include "DbFixture.h"
#include "platform/sqlite/Query.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

QString openError(Database &db, const QString &path) {
    try {
        db.open(path);
    } catch (const DbError &e) {
        return e.text();
    }
    return QStringLiteral("(opened)");
}

} // namespace

TEST_F(DbTest, OpenRefusesFilesThatAreNotOurs) {
    db.close();
    Database other;

    const QString missing = path(QStringLiteral("None.mdb"));
    EXPECT_EQ(openError(other, missing), QStringLiteral("File not found."));
    EXPECT_FALSE(QFileInfo::exists(missing)) << "opening must never create the file";

    struct Case {
        const char *name;
        QByteArray bytes;
        const char *message;
    };
    QByteArray access(2048, '\0');
    access.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    const QList<Case> cases = {
        {"access", access, "The file is a Microsoft Access database, which this version of Quillary cannot read."},
        {"text", QByteArray("Title,Format\r\nJig,Longways\r\n").repeated(10), "The file is not a Quillary database."},
        {"empty", QByteArray(), "The file is not a Quillary database."},
    };
    for (const Case &c : cases) {
        const QString p = path(QString::fromLatin1(c.name) + QStringLiteral(".mdb"));
        WriteFileBytes(p, c.bytes);
        EXPECT_EQ(openError(other, p), QString::fromUtf8(c.message)) << c.name;
        EXPECT_EQ(ReadFileBytes(p), c.bytes) << c.name << ": bytes must stay unchanged";
        EXPECT_FALSE(other.isOpen());
    }
}

TEST_F(DbTest, OpenRefusesNewerVersionReadOnlyAndForeignSqlite) {
    db.execRaw(QStringLiteral("PRAGMA user_version=2"));
    db.close();
    const QByteArray before = ReadFileBytes(dbPath);
    Database other;
    EXPECT_TRUE(openError(other, dbPath).startsWith(QStringLiteral("The file comes from a newer version of Quillary")));
    EXPECT_EQ(ReadFileBytes(dbPath), before);

    // A file marked read-only is refused even for a user who could write it.
    const QString ro = path(QStringLiteral("ReadOnly.mdb"));
    {
        Database d;
        d.create(ro);
    }
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(openError(other, ro), QStringLiteral("The file is read-only."));
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // An SQLite file of another program: no Dances and Events tables.
    const QString foreign = path(QStringLiteral("Foreign.mdb"));
    sqlite3 *raw = nullptr;
    sqlite3_open(foreign.toUtf8().constData(), &raw);
    sqlite3_exec(raw, "CREATE TABLE Songs (Name TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    EXPECT_EQ(openError(other, foreign),
              QStringLiteral("The file is not a Quillary database: it has no Dances and Events tables."));

    // Tables of those names with other fields: refused before anything is written.
    const QString lookalike = path(QStringLiteral("Lookalike.mdb"));
    sqlite3_open(lookalike.toUtf8().constData(), &raw);
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL; CREATE TABLE Dances (Name TEXT); CREATE TABLE Events (Name TEXT)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    const QByteArray lookalikeBytes = ReadFileBytes(lookalike);
    EXPECT_EQ(openError(other, lookalike),
              QStringLiteral("The file is not a Quillary database: its Dances table has no field Title."));
    EXPECT_EQ(ReadFileBytes(lookalike), lookalikeBytes);
}

TEST_F(DbTest, OneStatementOnlyAndNoNulInTheText) {
    // A second statement behind a comment or a backtick name is refused, never dropped.
    for (const char *sql : {"UPDATE Dances SET Title = 'x'; DELETE FROM Events",
                            "UPDATE Dances SET Title = 'x' /* c */; DELETE FROM Events"}) {
        EXPECT_THROW(Statement(db.handle(), QString::fromUtf8(sql)), DbError) << sql;
    }
    EXPECT_NO_THROW(Statement(db.handle(), QStringLiteral("SELECT 1; -- done")));
    try {
        Statement(db.handle(), QStringLiteral("SELECT 'a") + QChar(0) + QStringLiteral("b'"));
        ADD_FAILURE() << "a NUL in the text was taken";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("NUL"))) << e.text().toStdString();
    }
    // A NUL in a bound value goes; the rest is stored.
    const qint64 id = addDance(QStringLiteral("A") + QChar(0) + QStringLiteral("B"), "Circle", "English");
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM Dances WHERE rowid = ?"), {id}).toString(), QStringLiteral("AB"));
}

TEST_F(DbTest, CreateRefusesExistingFileAndOpenUpgradesVersionZero) {
    Database other;
    EXPECT_THROW(other.create(dbPath), DbError);
    EXPECT_TRUE(QFileInfo::exists(dbPath));
    db.execRaw(QStringLiteral("PRAGMA user_version=0"));
    db.close();
    db.open(dbPath);
    EXPECT_EQ(db.userVersionText(), QStringLiteral("1"));
}

TEST_F(DbTest, DoubleQuotedStringFallbackIsOff) {
    // With the fallback on, "Nothing" would silently be the text 'Nothing'.
    EXPECT_THROW(db.execRaw(QStringLiteral("UPDATE Dances SET Title = \"Nothing\"")), DbError);
}

TEST_F(DbTest, FieldsGiveTypesAndSizes) {
    const QList<FieldInfo> f = db.fields(QStringLiteral("Dances"));
    ASSERT_EQ(f.size(), 25);
    EXPECT_EQ(f[13].name, QStringLiteral("KeySig"));
    EXPECT_EQ(f[13].index, 13);
    EXPECT_EQ(f[13].size, 20);
    EXPECT_EQ(f[4].type, FieldType::Int16);  // Lvl
    EXPECT_EQ(f[12].type, FieldType::Int32); // Called
    EXPECT_EQ(f[16].type, FieldType::Memo);  // Instructions
    EXPECT_TRUE(f[12].defaultValue.isNull());
    EXPECT_EQ(db.fields(QStringLiteral("Events"))[1].type, FieldType::DateTime);
    EXPECT_TRUE(db.fields(QStringLiteral("Nothing")).isEmpty());
}

TEST_F(DbTest, NullIntoTextBecomesEmptyAndDuplicateKeyIsWorded) {
    addDance(QStringLiteral("Jig"), QStringLiteral("Longways"), QStringLiteral("English"));
    db.execRaw(QStringLiteral("UPDATE Dances SET Notes = NULL, Printed = NULL"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Notes || '|' || Printed FROM Dances")).toString(), QStringLiteral("|"));
    try {
        addDance(QStringLiteral("JIG"), QStringLiteral("longways"), QStringLiteral("English"));
        FAIL() << "a key differing only in case must be refused";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("create duplicate values"))) << e.text().toStdString();
        EXPECT_EQ(e.code(), SQLITE_CONSTRAINT_UNIQUE);
    }
}

TEST_F(DbTest, BatchesNestAndRollBack) {
    {
        Batch outer(db);
        addDance(QStringLiteral("A"), QStringLiteral("F"), QStringLiteral("S"));
        try {
            Batch inner(db);
            addDance(QStringLiteral("B"), QStringLiteral("F"), QStringLiteral("S"));
            EXPECT_EQ(db.batchDepth(), 2);
            throw std::runtime_error("stop");
        } catch (const std::runtime_error &) {
        }
        EXPECT_EQ(db.batchDepth(), 1);
        outer.commit();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(Title) FROM Dances")).toString(), QStringLiteral("A"));
    {
        Batch forgotten(db);
        addDance(QStringLiteral("C"), QStringLiteral("F"), QStringLiteral("S"));
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Dances")).toInt(), 1);
    EXPECT_EQ(db.batchDepth(), 0);
}

TEST_F(DbTest, CloseFinalisesOpenQueries) {
    addDance(QStringLiteral("A"), QStringLiteral("F"), QStringLiteral("S"));
    Query q(db);
    q.setText(QStringLiteral("Select Title from Dances"));
    q.open();
    EXPECT_TRUE(q.active());
    db.close();
    EXPECT_FALSE(q.active());
    EXPECT_THROW(q.open(), DbError);
}

// A catalogue in a folder where no journal file can be made: it opens and
// reads, and a write is refused with a message naming the file, which stays
// as it was.
TEST_F(DbTest, FolderWithoutRoomForTheJournal) {
    db.close();
    const QByteArray before = ReadFileBytes(dbPath);
    Database::SetJournalsRefused(true);
    Database other;
    EXPECT_EQ(openError(other, dbPath), QStringLiteral("(opened)"));
    Database::SetJournalsRefused(false);
    ASSERT_TRUE(other.isOpen());
    EXPECT_NO_THROW(Statement(other.handle(), QStringLiteral("SELECT count(*) FROM Dances")).step());
    try {
        Statement(other.handle(), QStringLiteral("INSERT INTO Dances (Title, Format, Style) VALUES ('A', 'B', 'C')")).step();
        ADD_FAILURE() << "the write was taken";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Cannot save to ") + dbPath)) << e.text().toStdString();
    }
    EXPECT_THROW(other.execRaw(QStringLiteral("DELETE FROM Dances")), DbError);
    other.close();
    EXPECT_EQ(ReadFileBytes(dbPath), before);
}
