#pragma once
// The program's own text rules taught to SQLite: the NOCASE collation and the
// functions like, ucase, len, DateText and PlainText, all folding through the
// program's upper-casing table.

#include <QByteArray>
#include <QString>

struct sqlite3;

// Registers the collation and the functions on a connection; throws DbError.
void RegisterSqlFunctions(sqlite3 *db);

// The NOCASE order over UTF-8 text: code points compared after folding
// through the program's upper-casing table.
int NoCaseCompare(const char *a, int na, const char *b, int nb);

// Upper-cases UTF-8 text through the table; the byte length never changes.
QByteArray FoldUtf8(const QByteArray &text);

// The like match: "%" any run, "_" one character, every other character
// (also "[") stands for itself, compared after folding; escape (when not
// null) makes the next pattern character literal.
bool LikeMatch(const QByteArray &pattern, const QByteArray &text, uint escape = 0);

// A date's display text, as the date box shows it ("Sun 6-Dec-26", "None",
// "" for 0).
QString DayNumberText(double day);
// Reads a display text back ("Sun 6-Dec-26", "6-Dec-2026", "None", or a day
// number); false when it is no date or no date the program can show (a day
// number that is not finite, or outside the years 100 to 9999).
bool ParseDayNumberText(const QString &text, double *day);

// The visible text of RTF (text that is not RTF comes back as it stands),
// as the RTF reader gives it.
QString PlainTextOf(const QString &rtf);
