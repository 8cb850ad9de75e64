#include "DbFixture.h"
#include "platform/sqlite/JetSql.h"
#include "platform/sqlite/Query.h"

namespace {

struct Case {
    const char *name;
    const char *jet;
    const char *sqlite; // expected translation
};

// The statements the program builds, as they are written in its dialect.
const QList<Case> Statements = {
    {"notes migration count", "Select Count(*) as T from (Select Top 1 Notes from Dances where Notes ALike \"%freeserve%\")",
     "Select Count(*) as T from (Select Notes from Dances where Notes LIKE '%freeserve%' LIMIT 1)"},
    {"add column", "Alter table Dances Add Column CD2 Char(1)",
     "Alter table Dances Add Column CD2 VARCHAR(1) NOT NULL ON CONFLICT REPLACE DEFAULT '' COLLATE NOCASE"},
    {"delete hashes", "Delete from Dances where Title ALike \"%####%\"", "Delete from Dances where Title LIKE '%####%'"},
    {"create index", "Create Unique Index FSTX on Dances (Format, Style, Title)",
     "Create Unique Index FSTX on Dances (Format, Style, Title)"},
    {"primary bracketed", "Create Unique Index Primary on Events (Org, Event)",
     "Create Unique Index [Primary] on Events (Org, Event)"},
    {"merge lookup", "Select * from Dances where Title='O''Neil' and Format='Longways' and Style='English'",
     "Select * from Dances where Title='O''Neil' and Format='Longways' and Style='English'"},
    {"clear marks", "Update Dances Set DFilter = Null", "Update Dances Set DFilter = Null"},
    {"formats", "Select Distinct Format, Count(Format) as C from Dances Group by Format",
     "Select Distinct Format, Count(Format) as C from Dances Group by Format"},
    {"odd formats", "Update Dances Set DFilter = \"Y\" where (not Style alike \"Scottish%\") and (Format = \"Square\" or Format = \"Circle\")",
     "Update Dances Set DFilter = 'Y' where (not Style LIKE 'Scottish%') and (Format = 'Square' or Format = 'Circle')"},
    {"set all", "Update Events Set Prv=\"Y\"", "Update Events Set Prv='Y'"},
    {"change all", "Update Dances Set Title=\"O\"\"Neil's\" where Title=\"Old\"",
     "Update Dances Set Title='O\"Neil''s' where Title='Old'"},
    {"delete events", "Delete from Events where EDate < #12/06/2026#", "Delete from Events where EDate < 46362"},
    {"delete filtered", "Delete from Dances\r\nWhere UCase([Title]) alike '%O''C%'",
     "Delete from Dances\r\nWhere UCase([Title]) LIKE '%O''C%'"},
    {"chooser events", "Select Distinct Org, EDate, Event from Events Order by Org, EDate Desc",
     "Select Distinct Org, EDate, Event from Events Order by Org, EDate Desc"},
    {"last called", "Select EDate from Events where Programme alike \"%Jig%\" and Org='Hall' Order by EDate Desc",
     "Select EDate from Events where Programme LIKE '%Jig%' and Org='Hall' Order by EDate Desc"},
    {"pick list", "Select Distinct [Title] as X from Dances\r\nwhere UCase([Title]) alike \"MA%\"",
     "Select Distinct [Title] as X from Dances\r\nwhere UCase([Title]) LIKE 'MA%'"},
    {"insert list", "Select Top 1 Title, Format, Style from Dances where Style <> 'Break' and Title='X'",
     "Select Title, Format, Style from Dances where Style <> 'Break' and Title='X' LIMIT 1"},
    {"recorded", "Select * from Dances where Music ALike \"%·%\"", "Select * from Dances where Music LIKE '%·%'"},
    {"contra", "Select Title, Instructions from Dances where Instructions <> \"\" and (Style=\"American\" or Style=\"Break\" or Style ALike \"Patter%\")",
     "Select Title, Instructions from Dances where Instructions <> '' and (Style='American' or Style='Break' or Style LIKE 'Patter%')"},
    {"rank", "Select Title, Count(Title) as Tot from Dances\r\nWhere Len(Title) > 1\r\nGroup By Title Order by Count(Title) desc",
     "Select Title, Count(Title) as Tot from Dances\r\nWhere Len(Title) > 1\r\nGroup By Title Order by Count(Title) desc"},
    {"pending", "Update Dances Set DFilter=\"Y\" where Len(Instructions) > 260 and Printed = \"\"",
     "Update Dances Set DFilter='Y' where Len(Instructions) > 260 and Printed = ''"},
    {"no key", "Update Dances Set DFilter = \"Y\" where OwnTune = \"Y\" and KeySig = \"\"",
     "Update Dances Set DFilter = 'Y' where OwnTune = 'Y' and KeySig = ''"},
    {"reorganise copy", "Select * into W from Dances where 1=1 and Format='Longways'",
     "Select * from Dances where 1=1 and Format='Longways'"},
    {"reorganise delete", "Delete from Dances where 1=1 and Format='Longways'",
     "Delete from Dances where 1=1 and Format='Longways'"},
    {"distinct top", "Select Distinct Top 2 Format from Dances;", "Select Distinct Format from Dances LIMIT 2"},
    {"date with time", "Select Org from Events where EDate >= #12/6/2026 7:30 PM#",
     "Select Org from Events where EDate >= 46362.8125"},
    {"into in a literal", "Select Title from Dances where Title = \"Dance Into the Night\"",
     "Select Title from Dances where Title = 'Dance Into the Night'"},
};

} // namespace

TEST_F(DbTest, TranslatesTheProgramsStatementsAndTheyRun) {
    addDance(QStringLiteral("Jig"), QStringLiteral("Longways"), QStringLiteral("English"));
    for (const Case &c : Statements) {
        JetStatement st;
        try {
            st = TranslateJet(QString::fromUtf8(c.jet));
        } catch (const DbError &e) {
            ADD_FAILURE() << c.name << ": " << e.text().toStdString();
            continue;
        }
        EXPECT_EQ(st.sql, QString::fromUtf8(c.sqlite)) << c.name;
        // Each runs on the fixture; the batch is rolled back afterwards.
        Batch b(db);
        if (QByteArray(c.name) == "primary bracketed") db.execRaw(QStringLiteral("DROP INDEX [Primary]"));
        Query q(db);
        q.setText(QString::fromUtf8(c.jet));
        try {
            if (st.sql.startsWith(QLatin1String("Select"), Qt::CaseSensitive) && st.intoTable.isEmpty()) q.open();
            else q.exec();
        } catch (const DbError &e) {
            ADD_FAILURE() << c.name << " failed to run: " << e.text().toStdString();
        }
    }
    EXPECT_EQ(TranslateJet(QStringLiteral("Select * into [W 2] from Dances")).intoTable, QStringLiteral("W 2"));
}

TEST_F(DbTest, DoubleQuotedValuesBecomeTextNotColumns) {
    addDance(QStringLiteral("Jig"), QStringLiteral("Format"), QStringLiteral("English"));
    addDance(QStringLiteral("Reel"), QStringLiteral("Longways"), QStringLiteral("English"));
    addDance(QStringLiteral("O\"Neil"), QStringLiteral("Square"), QStringLiteral("it's"));
    Query q(db);
    struct Check {
        const char *where;
        int count;
    };
    for (const Check &c : {Check{"Format = \"Format\"", 1}, Check{"Title = \"O\"\"Neil\"", 1}, Check{"Style = \"it's\"", 1},
                           Check{"Style = \"IT'S\"", 1}, Check{"Title = \"Title\"", 0}}) {
        q.setText(QStringLiteral("Select Count(*) as T from Dances where ") + QString::fromUtf8(c.where));
        q.open();
        EXPECT_EQ(q.FieldByName(QStringLiteral("T")).AsInteger(), c.count) << c.where;
    }
}

TEST(JetSql, DatesAndHelpers) {
    EXPECT_EQ(TranslateJet(QStringLiteral("Select #12/06/2026#")).sql, QStringLiteral("Select 46362"));
    EXPECT_EQ(TranslateJet(QStringLiteral("Select #2026-12-06#")).sql, QStringLiteral("Select 46362"));
    EXPECT_EQ(SqlDate(46362), QStringLiteral("#12/06/2026#"));
    EXPECT_EQ(SqlDate(46362.5), QStringLiteral("#12/06/2026 12:00:00#"));
    EXPECT_EQ(DoubleQuotes(QStringLiteral("it's")), QStringLiteral("'it''s'"));
    EXPECT_EQ(DoubleQuotes(QString()), QStringLiteral("''"));
    EXPECT_TRUE(HasIntoWord(QStringLiteral("Select * into W from Dances")));
    EXPECT_FALSE(HasIntoWord(QStringLiteral("Select * from Dances where Title = \"Dance Into the Night\"")));
    EXPECT_FALSE(HasIntoWord(QStringLiteral("Select [Into] from W")));
}

TEST(JetSql, MalformedInputGivesClearErrors) {
    struct Bad {
        const char *name;
        const char *sql;
        const char *message;
    };
    const QList<Bad> cases = {
        {"open double quote", "Select * from Dances where Title = \"Jig", "Unterminated text literal in SQL statement."},
        {"open single quote", "Select 'abc", "Unterminated text literal in SQL statement."},
        {"open bracket", "Select [Title from Dances", "Unterminated bracketed name in SQL statement."},
        {"open date", "Delete from Events where EDate < #12/06/2026", "Unterminated date literal in SQL statement."},
        {"bad date", "Select #13/45/2026#", "Invalid date literal #13/45/2026#."},
        {"not a date", "Select #soon#", "Invalid date literal #soon#."},
        {"two statements", "Delete from Dances; Delete from Events", "Only one SQL statement can be run at a time."},
        {"after a line comment", "Delete from Dances -- x\n; Delete from Events", "Only one SQL statement can be run at a time."},
        {"semicolon in a comment", "Delete from Dances /* ; */ where 1; Delete from Events",
         "Only one SQL statement can be run at a time."},
        {"semicolon in a backtick name", "Select `a;b` from Dances; Delete from Events",
         "Only one SQL statement can be run at a time."},
        {"empty", "  ; ", "The SQL statement is empty."},
        {"top word", "Select Top x Title from Dances", "Top must be followed by a whole number."},
        {"top percent", "Select Top 5 Percent Title from Dances", "Top ... Percent is not supported."},
        {"into nothing", "Select * into from Dances", "Into must be followed by a table name."},
    };
    for (const Bad &b : cases) {
        try {
            TranslateJet(QString::fromUtf8(b.sql));
            ADD_FAILURE() << b.name << ": no error";
        } catch (const DbError &e) {
            EXPECT_EQ(e.text(), QString::fromUtf8(b.message)) << b.name;
            EXPECT_EQ(e.sql(), QString::fromUtf8(b.sql)) << b.name;
        }
    }
    // A lone final semicolon is allowed.
    EXPECT_EQ(TranslateJet(QStringLiteral("Delete from Dances ;")).sql, QStringLiteral("Delete from Dances"));
}
