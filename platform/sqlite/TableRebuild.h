#pragma once
// Changing the size of a sized text column, which SQLite cannot alter in
// place: the table is built again beside the old one.

#include <QString>

class Database;

// Rebuilds the table with the column as VARCHAR(size), every other
// definition as it was: the rows are copied with their rowids, the old
// table dropped, the new one renamed, its indexes and triggers made again,
// the schema version kept; all in one transaction. Throws DbError for a
// missing table or column, a column that is not a sized text, or a size
// outside 1 to 255.
void RebuildWithColumnSize(Database &db, const QString &table, const QString &column, int size);
