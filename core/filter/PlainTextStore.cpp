// The plain instruction texts kept in the catalogue between runs, found by
// the stored text's hashes and length (see PlainTextCache in Filter.h). A
// row is taken only when all three match; two texts whose first hash meets
// keep the later one, and the other is converted when it is needed.
// Nothing here decides a filter's answer: a row that is missing, or one the
// file cannot give, is converted again.

#include "core/filter/Filter.h"
#include "platform/sqlite/Database.h"

#include <sqlite3.h>

#include <cstring>

namespace {

const char *const StoreTable = InstructionTextsTable;

// More rows than this many per dance (old texts left by edits) and the
// table is emptied, to be filled again by the next switches.
constexpr qint64 RowsPerDance = 2;

bool storeUsable(Database *db) { return db && db->isOpen(); }

} // namespace

void PlainTextCache::loadStore() {
    storeRead = true;
    if (!storeUsable(store)) return;
    try {
        if (!store->hasTable(QLatin1String(StoreTable))) return;
        Statement s(store->handle(), QStringLiteral("SELECT H1, H2, Len, Plain FROM %1").arg(QLatin1String(StoreTable)));
        while (s.step()) {
            sqlite3_stmt *st = s.get();
            const Key key{size_t(sqlite3_column_int64(st, 0)), size_t(sqlite3_column_int64(st, 1)),
                          qsizetype(sqlite3_column_int64(st, 2))};
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, 3));
            const QString plain = QString::fromUtf8(text, sqlite3_column_bytes(st, 3));
            entries.insert(key, Entry{plain, QString(), false});
        }
    } catch (const DbError &) {
        // Unreadable: the texts are converted as they are needed.
    }
}

void PlainTextCache::keep() {
    if (fresh.isEmpty() || !storeUsable(store)) return;
    // Inside another transaction the rows would stand or fall with it; they
    // wait for a later switch instead.
    if (store->batchDepth() > 0) return;
    // A lock held by another program is not waited for: the switch goes on.
    sqlite3_busy_timeout(store->handle(), 0);
    struct Wait {
        Database *db;
        ~Wait() { sqlite3_busy_timeout(db->handle(), Database::BusyTimeoutMs); }
    } wait{store};
    // The texts remembered by rowid stay usable after this write of our
    // own, if nothing else changed since they were taken.
    const bool current = rowsValid && currentStamp() == rowsStamp;
    try {
        Batch batch(*store);
        const QString table = QLatin1String(StoreTable);
        store->execRaw(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (H1 INTEGER PRIMARY KEY, H2 INTEGER NOT NULL, "
                                      "Len INTEGER NOT NULL, Plain TEXT NOT NULL)")
                           .arg(table));
        Statement count(store->handle(), QStringLiteral("SELECT (SELECT count(*) FROM %1), (SELECT count(*) FROM "
                                                        "Dances)")
                                             .arg(table));
        if (count.step() &&
            sqlite3_column_int64(count.get(), 0) + fresh.size() > RowsPerDance * sqlite3_column_int64(count.get(), 1) + 1000)
            store->execRaw(QStringLiteral("DELETE FROM %1").arg(table));
        count.finalize();
        Statement insert(store->handle(),
                         QStringLiteral("INSERT OR REPLACE INTO %1 (H1, H2, Len, Plain) VALUES (?, ?, ?, ?)").arg(table));
        for (const Key &k : fresh) {
            const auto it = entries.constFind(k);
            if (it == entries.constEnd()) continue;
            sqlite3_stmt *st = insert.get();
            sqlite3_bind_int64(st, 1, qint64(k.h1));
            sqlite3_bind_int64(st, 2, qint64(k.h2));
            sqlite3_bind_int64(st, 3, qint64(k.length));
            const QByteArray utf8 = it->plain.toUtf8();
            sqlite3_bind_text(st, 4, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            insert.step();
            insert.reset();
        }
        insert.finalize();
        batch.commit();
        fresh.clear();
        if (current) rowsStamp = currentStamp();
    } catch (const DbError &) {
        // Kept for the next try.
    }
}

PlainTextCache::Stamp PlainTextCache::currentStamp() const {
    Stamp s;
    if (!store || !store->isOpen()) return s;
    sqlite3 *h = store->handle();
    s.open = store->openCount();
    s.changes = sqlite3_total_changes64(h);
    try {
        Statement data(h, QStringLiteral("PRAGMA data_version"));
        if (data.step()) s.dataVersion = sqlite3_column_int64(data.get(), 0);
        Statement schema(h, QStringLiteral("PRAGMA schema_version"));
        if (schema.step()) s.schema = sqlite3_column_int64(schema.get(), 0);
    } catch (const DbError &) {
        s.dataVersion = -1; // unknown: nothing remembered is used
    }
    return s;
}

bool PlainTextCache::beginPass() {
    passTrusted = passTaking = false;
    if (!store || !store->isOpen() || !sqlite3_get_autocommit(store->handle())) return false;
    passStamp = currentStamp();
    if (passStamp.dataVersion < 0 || passStamp.schema < 0) return false;
    passTaking = true;
    passTrusted = rowsValid && rowsStamp == passStamp;
    if (!passTrusted) {
        rows.clear();
        rowsValid = false;
    }
    return passTrusted;
}

void PlainTextCache::endPass() {
    const bool kept = passTaking && store && store->isOpen() &&
                      sqlite3_get_autocommit(store->handle()) && currentStamp() == passStamp;
    if (kept) {
        rowsStamp = passStamp;
        rowsValid = true;
    } else {
        rows.clear();
        rowsValid = false;
    }
    passTrusted = passTaking = false;
}

bool PlainTextCache::rowText(qint64 rowid, bool fold, QString *out) {
    // A write made during the pass (a hook) ends the trust at once.
    if (!passTrusted || rowid <= 0 || sqlite3_total_changes64(store->handle()) != passStamp.changes)
        return false;
    const auto it = rows.constFind(rowid);
    if (it == rows.constEnd()) return false;
    QString parts[2];
    const Key keys[2] = {it->first, it->second};
    for (int i = 0; i < 2; ++i) {
        if (keys[i].length == 0) continue;
        const auto e = entries.find(keys[i]);
        if (e == entries.end()) return false;
        parts[i] = text(*e, fold);
    }
    *out = parts[1].isEmpty() ? parts[0] : parts[0] + parts[1];
    return true;
}
