// The plain instruction texts kept in the catalogue between runs, one row
// a dance: its rowid, a digest of the stored instructions and footer the
// text was made from, and the text. A kept text is taken only when the
// dance's stored texts give the same digest now, so an edit made anywhere
// (this program, sqlite3, a second connection, a copy of the file whose
// rowids VACUUM renumbered) simply misses and is converted again.
// Nothing here decides a filter's answer: a row that is missing, or one the
// file cannot give, is converted again.

#include "core/filter/Filter.h"
#include "platform/sqlite/Database.h"

#include <sqlite3.h>

#include <cstring>

namespace {

const char *const StoreTable = InstructionTextsTable;

// More kept rows than dances plus this many (rows of deleted dances) and
// the rows of dances that are gone are removed.
constexpr qint64 SpareRows = 1000;

// Past this many dances written through the connection, the next pass
// reads the whole table rather than each of them.
constexpr qsizetype WrittenLimit = 2000;

bool storeUsable(Database *db) { return db && db->isOpen(); }

// The table as this version keeps it; an older layout is made again.
bool storeHasLayout(Database *db) {
    return db->hasTable(QLatin1String(StoreTable)) &&
           db->hasField(QLatin1String(StoreTable), QStringLiteral("Hash1")) &&
           db->hasField(QLatin1String(StoreTable), QStringLiteral("Id"));
}

// Four multiply-and-shift chains over the text's 8-byte words, two for
// each half of the digest. Each step is a one-to-one map of a chain's state
// for a given word, so texts that differ in one word always differ in both
// halves; the digest is the same on every machine and in every version.
constexpr quint64 M1 = 0x9E3779B97F4A7C15ull, M2 = 0xC2B2AE3D27D4EB4Full,
                  M3 = 0x165667B19E3779F9ull, M4 = 0xD6E8FEB86659FD93ull;

struct Chains {
    quint64 a0 = M3, a1 = M4, b0 = M1, b1 = M2;
    static quint64 step(quint64 s, quint64 w, quint64 m) {
        s = (s ^ w) * m;
        return s ^ (s >> 29);
    }
    void words(const char *p, qsizetype n) {
        qsizetype i = 0;
        for (; i + 16 <= n; i += 16) {
            quint64 w0, w1;
            std::memcpy(&w0, p + i, 8);
            std::memcpy(&w1, p + i + 8, 8);
            a0 = step(a0, w0, M1);
            a1 = step(a1, w1, M2);
            b0 = step(b0, w0, M3);
            b1 = step(b1, w1, M4);
        }
        for (; i < n; i += 8) {
            quint64 w = 0;
            std::memcpy(&w, p + i, size_t(std::min<qsizetype>(8, n - i)));
            a0 = step(a0, w, M1);
            b0 = step(b0, w, M3);
        }
    }
    // The length between the parts, so that no byte can move across.
    void mark(qsizetype n) {
        a1 = step(a1, quint64(n), M2);
        b1 = step(b1, quint64(n), M4);
    }
    static quint64 finish(quint64 x) {
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDull;
        x ^= x >> 33;
        x *= 0xC4CEB9FE1A85EC53ull;
        return x ^ (x >> 33);
    }
};

// A dance's two stored texts, from column `first` of a statement's row.
struct Stored {
    const char *instructions = nullptr, *footer = nullptr;
    qsizetype instructionBytes = 0, footerBytes = 0;
};

// False when either is not text: the pass reads such a dance as the dataset
// gives it.
bool storedTexts(sqlite3_stmt *st, int first, Stored *out) {
    const int t1 = sqlite3_column_type(st, first), t2 = sqlite3_column_type(st, first + 1);
    if ((t1 != SQLITE_TEXT && t1 != SQLITE_NULL) || (t2 != SQLITE_TEXT && t2 != SQLITE_NULL))
        return false;
    out->instructions = reinterpret_cast<const char *>(sqlite3_column_text(st, first));
    out->instructionBytes = sqlite3_column_bytes(st, first);
    out->footer = reinterpret_cast<const char *>(sqlite3_column_text(st, first + 1));
    out->footerBytes = sqlite3_column_bytes(st, first + 1);
    return true;
}

} // namespace

PlainTextCache::Digest PlainTextCache::DigestOf(const char *instructions,
                                                qsizetype instructionBytes, const char *footer,
                                                qsizetype footerBytes) {
    Chains c;
    c.words(instructions, instructionBytes);
    c.mark(instructionBytes);
    c.words(footer, footerBytes);
    c.mark(footerBytes);
    Digest d;
    d.h1 = Chains::finish(c.a0) ^ ((c.a1 << 17) | (c.a1 >> 47));
    d.h2 = Chains::finish(c.b0) ^ ((c.b1 << 41) | (c.b1 >> 23));
    d.bytes = instructionBytes + footerBytes;
    return d;
}

void PlainTextCache::convertInto(Row &row, const char *instructions, qsizetype instructionBytes,
                                 const char *footer, qsizetype footerBytes) {
    QString parts[2];
    if (instructionBytes > 0) parts[0] = convert(QString::fromUtf8(instructions, instructionBytes));
    if (footerBytes > 0) parts[1] = convert(QString::fromUtf8(footer, footerBytes));
    ++converted;
    row.text = Entry{parts[1].isEmpty() ? parts[0] : parts[0] + parts[1], QString(), false};
}

bool PlainTextCache::refreshRows() {
    // The kept texts are read on the first pass after a start; later passes
    // reuse what is held and convert only the dances whose texts changed.
    // The rows are brought up to date in place; those of dances no longer
    // met are dropped at the end.
    const quint32 refresh = ++refreshes;
    QList<qint64> converts;
    qsizetype met = 0;
    try {
        const bool readKept = !storeRead && storeHasLayout(store);
        const QString sql =
            readKept ? QStringLiteral("SELECT d.rowid, d.Instructions, d.Footer, t.Hash1, t.Hash2, "
                                      "t.Bytes, t.Plain FROM Dances d LEFT JOIN %1 t ON t.Id = d.rowid")
                           .arg(QLatin1String(StoreTable))
                     : QStringLiteral("SELECT rowid, Instructions, Footer FROM Dances");
        Statement s(store->handle(), sql);
        sqlite3_stmt *st = s.get();
        while (s.step()) {
            const qint64 rowid = sqlite3_column_int64(st, 0);
            Stored t;
            if (!storedTexts(st, 1, &t)) continue;
            const Digest d = DigestOf(t.instructions, t.instructionBytes, t.footer, t.footerBytes);
            Row &row = rows[rowid];
            row.seen = refresh;
            ++met;
            if (row.digest == d) continue;
            row.digest = d;
            if (readKept && sqlite3_column_type(st, 6) == SQLITE_TEXT &&
                quint64(sqlite3_column_int64(st, 3)) == d.h1 &&
                quint64(sqlite3_column_int64(st, 4)) == d.h2 &&
                sqlite3_column_int64(st, 5) == d.bytes) {
                const auto *kept = reinterpret_cast<const char *>(sqlite3_column_text(st, 6));
                row.text =
                    Entry{QString::fromUtf8(kept, sqlite3_column_bytes(st, 6)), QString(), false};
                continue;
            }
            convertInto(row, t.instructions, t.instructionBytes, t.footer, t.footerBytes);
            converts.append(rowid);
        }
    } catch (const DbError &) {
        rows.clear();
        return false;
    }
    if (met != rows.size())
        rows.removeIf([refresh](const auto &it) { return it.value().seen != refresh; });
    fresh.append(converts);
    storeRead = true;
    return true;
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
    // The texts held by rowid stay current after this write of our own (a
    // new table changes the schema), if nothing else changed them.
    const bool usable = heldRowsUsable(currentStamp());
    try {
        Batch batch(*store);
        const QString table = QLatin1String(StoreTable);
        if (store->hasTable(table) && !storeHasLayout(store))
            store->execRaw(QStringLiteral("DROP TABLE %1").arg(table));
        store->execRaw(
            QStringLiteral(
                "CREATE TABLE IF NOT EXISTS %1 (Id INTEGER PRIMARY KEY, Hash1 INTEGER NOT NULL, "
                "Hash2 INTEGER NOT NULL, Bytes INTEGER NOT NULL, Plain TEXT NOT NULL)")
                .arg(table));
        Statement count(store->handle(), QStringLiteral("SELECT (SELECT count(*) FROM %1), (SELECT count(*) FROM "
                                                        "Dances)")
                                             .arg(table));
        if (count.step() && sqlite3_column_int64(count.get(), 0) + fresh.size() >
                                sqlite3_column_int64(count.get(), 1) + SpareRows)
            store->execRaw(
                QStringLiteral("DELETE FROM %1 WHERE Id NOT IN (SELECT rowid FROM Dances)")
                    .arg(table));
        count.finalize();
        Statement insert(
            store->handle(),
            QStringLiteral("INSERT OR REPLACE INTO %1 (Id, Hash1, Hash2, Bytes, Plain) "
                           "VALUES (?, ?, ?, ?, ?)")
                .arg(table));
        for (const qint64 rowid : std::as_const(fresh)) {
            const auto it = rows.constFind(rowid);
            if (it == rows.constEnd()) continue;
            sqlite3_stmt *st = insert.get();
            sqlite3_bind_int64(st, 1, rowid);
            sqlite3_bind_int64(st, 2, qint64(it->digest.h1));
            sqlite3_bind_int64(st, 3, qint64(it->digest.h2));
            sqlite3_bind_int64(st, 4, it->digest.bytes);
            const QByteArray utf8 = it->text.plain.toUtf8();
            sqlite3_bind_text(st, 5, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            insert.step();
            insert.reset();
        }
        insert.finalize();
        batch.commit();
        fresh.clear();
        if (usable) rowsStamp = currentStamp();
    } catch (const DbError &) {
        // Kept for the next try.
    }
}

PlainTextCache::Stamp PlainTextCache::currentStamp() const {
    return store ? store->changeStamp() : Stamp();
}

bool PlainTextCache::heldRowsUsable(const Stamp &now) const {
    return rowsValid && !writtenOverflow && store && store->hasRowWriteListener(this) &&
           now.open == rowsStamp.open && now.dataVersion == rowsStamp.dataVersion &&
           now.schema == rowsStamp.schema;
}

void PlainTextCache::noteWrite(Database *db, const char *table, qint64 rowid) {
    if (db != store || !rowsValid || writtenOverflow || qstricmp(table, "Dances") != 0) return;
    if (written.size() >= WrittenLimit)
        writtenOverflow = true;
    else
        written.insert(rowid);
}

bool PlainTextCache::refreshWritten() {
    try {
        Statement s(store->handle(),
                    QStringLiteral("SELECT Instructions, Footer FROM Dances WHERE rowid = ?"));
        sqlite3_stmt *st = s.get();
        for (const qint64 rowid : std::as_const(written)) {
            sqlite3_bind_int64(st, 1, rowid);
            Stored t;
            // A dance deleted, or one whose texts the pass reads itself.
            if (!s.step() || !storedTexts(st, 0, &t)) {
                rows.remove(rowid);
                s.reset();
                continue;
            }
            const Digest d = DigestOf(t.instructions, t.instructionBytes, t.footer, t.footerBytes);
            Row &row = rows[rowid];
            if (row.digest != d) {
                row.digest = d;
                convertInto(row, t.instructions, t.instructionBytes, t.footer, t.footerBytes);
                fresh.append(rowid);
            }
            s.reset();
        }
    } catch (const DbError &) {
        rows.clear();
        return false;
    }
    written.clear();
    return true;
}

bool PlainTextCache::beginPass() {
    passTrusted = false;
    // Taken before anything is read: a commit made elsewhere while the texts
    // are read makes the next pass read them again. Unknown while a
    // transaction is open.
    const Stamp now = currentStamp();
    if (!now.known()) return false;
    if (!heldRowsUsable(now)) {
        rowsValid = false;
        // Told of every write from here on, so that a later pass need read
        // only the dances written through this connection.
        store->setRowWriteListener(this, [this](Database *db, const char *table, qint64 rowid) {
            noteWrite(db, table, rowid);
        });
        written.clear();
        writtenOverflow = false;
        if (!refreshRows()) return false;
        rowsValid = true;
    } else if (!written.isEmpty() && !refreshWritten()) {
        rowsValid = false;
        return false;
    }
    rowsStamp = passStamp = now;
    passTrusted = true;
    return true;
}

void PlainTextCache::endPass() {
    passTrusted = false;
}

bool PlainTextCache::rowsCurrent() const {
    return heldRowsUsable(currentStamp()) && written.isEmpty();
}

bool PlainTextCache::rowText(qint64 rowid, bool fold, QString *out) {
    // A write made during the pass (a hook) ends the trust at once.
    if (!passTrusted || rowid <= 0 || sqlite3_total_changes64(store->handle()) != passStamp.changes)
        return false;
    const auto it = rows.find(rowid);
    if (it == rows.end()) return false;
    *out = text(it->text, fold);
    return true;
}
