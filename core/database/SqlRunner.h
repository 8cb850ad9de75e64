#pragma once
// The SQL runner: any statement through the one query, with a count.

#include <QString>

// A statement beginning "Select" (any case) without the word "into" outside
// its literals counts its rows ("Select Count(*) as T from (...)"); any other
// statement runs and gives the rows it changed. The query is closed after.
int RunSQL(const QString &sql);
// The last statement into "SQL.Txt" in DataFolder, opened in the editor;
// "No SQL yet generated." before the first.
void ViewSQLClick();
// Runs "SQL.Txt" again and shows n + " records selected/changed.".
void RerunSQLClick();
