#pragma once
// The one translator from the SQL dialect the program writes (values in
// double quotes, #mm/dd/yyyy# dates, ALike, Select Top n, Select ... into,
// Alter table ... Add Column C Char(n), Alter Column C Text(n)) to SQLite.

#include <QList>
#include <QString>

struct JetToken {
    enum Kind { Space, Word, Number, String, DString, Bracket, Date, Punct, Param };
    Kind kind = Space;
    QString text; // as written, quotes included
};

// Splits a statement into tokens; an unterminated literal throws DbError.
QList<JetToken> TokenizeJet(const QString &sql);

struct JetStatement {
    QString sql;       // SQLite text; for a select-into, the select alone
    QString intoTable; // the new table of a select-into, else ""
    // "Alter Table T Alter [Column] C Text(n)": SQLite cannot change a column,
    // so the table is rebuilt (RebuildWithColumnSize); sql is then empty.
    QString alterTable, alterColumn;
    int alterSize = 0;
};

// Translates one statement; throws DbError for malformed input or text after
// the statement.
JetStatement TranslateJet(const QString &sql);

// True when the word INTO stands outside literals and brackets.
bool HasIntoWord(const QString &sql);

// A quoted SQL string literal: single quotes, inner single quotes doubled.
QString DoubleQuotes(const QString &s);
// A day number as the dialect's date literal, "#mm/dd/yyyy#".
QString SqlDate(double day);
