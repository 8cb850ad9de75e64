#pragma once
// One value read back from a database file through a connection of its own,
// as another program would see what the window stored.

#include <QString>
#include <sqlite3.h>

// The first column of the first row of sql, with row bound to its one "?".
inline QString PlainRead(const QString &file, const QString &sql, qint64 row) {
    sqlite3 *db = nullptr;
    QString out;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
            sqlite3_bind_int64(st, 1, row);
            if (sqlite3_step(st) == SQLITE_ROW)
                out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}
