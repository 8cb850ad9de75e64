#include "platform/sqlite/Dataset.h"

#include "base/Cp1252.h"
#include "base/Messages.h"
#include "platform/sqlite/SqlFunctions.h"

#include <QSet>
#include <algorithm>
#include <cstring>
#include <limits>
#include <sqlite3.h>

namespace {

constexpr int MemoShownChars = 200;
// For beforeScroll: which record comes is not known beforehand.
constexpr qint64 AnyRow = std::numeric_limits<qint64>::min();

} // namespace

Dataset::Dataset(Database &db, const QString &table) : m_db(&db), m_table(table) { db.attach(this); }

Dataset::~Dataset() {
    finalizeStatements();
    if (m_db) m_db->detach(this);
}

Database &Dataset::db() const {
    if (!m_db || !m_db->isOpen()) throw DbError(QStringLiteral("The database is not open."));
    return *m_db;
}

void Dataset::checkActive() const {
    if (!m_active) throw DbError(QStringLiteral("The table %1 is not open.").arg(m_table));
}

// ---- set-up -----------------------------------------------------------------

void Dataset::loadFields() {
    const QList<FieldInfo> infos = db().fields(m_table);
    if (infos.isEmpty()) throw DbError(QStringLiteral("The table %1 does not exist.").arg(m_table));
    bool same = infos.size() == m_infos.size();
    for (int i = 0; same && i < infos.size(); ++i)
        same = infos[i].name == m_infos[i].name && infos[i].type == m_infos[i].type && infos[i].size == m_infos[i].size;
    if (same) return; // keeps the Field objects that callers may hold
    m_infos = infos;
    m_fields.clear();
    m_names.clear();
    m_smallFields.clear();
    for (const FieldInfo &f : infos) {
        m_fields.push_back(std::make_unique<Field>(this, f));
        m_names.insert(FoldUpper(f.name), f.index);
        if (f.type != FieldType::Memo) m_smallFields.push_back(f.index);
    }
}

void Dataset::setupIndex() {
    m_key.clear();
    if (m_indexName.isEmpty()) {
        m_orderBy = QStringLiteral("ORDER BY rowid");
        m_orderByDesc = QStringLiteral("ORDER BY rowid DESC");
        return;
    }
    const QString table = db().indexTable(m_indexName);
    if (table.isEmpty() || !SameText(table, m_table))
        throw DbError(QStringLiteral("The index %1 of table %2 does not exist.").arg(m_indexName, m_table));
    Statement s(db().handle(),
                QStringLiteral("SELECT name, desc, coll FROM pragma_index_xinfo(?) WHERE key=1 ORDER BY seqno"));
    s.bind(1, m_indexName);
    QStringList order, reversed;
    while (s.step()) {
        const QString column = s.columnText(0);
        const auto it = m_names.constFind(FoldUpper(column));
        if (it == m_names.constEnd())
            throw DbError(QStringLiteral("The index %1 uses a column that is not in table %2.").arg(m_indexName, m_table));
        const QString coll = s.columnText(2);
        const bool desc = s.column(1).toLongLong() != 0;
        m_key.push_back({*it, SameText(coll, QStringLiteral("NOCASE")), desc});
        const QString term = QuoteIdentifier(m_infos[*it].name) + QStringLiteral(" COLLATE ") + coll;
        order.append(term + (desc ? QStringLiteral(" DESC") : QString()));
        reversed.append(term + (desc ? QString() : QStringLiteral(" DESC")));
    }
    order.append(QStringLiteral("rowid"));
    reversed.append(QStringLiteral("rowid DESC"));
    m_orderBy = QStringLiteral("ORDER BY ") + order.join(QStringLiteral(", "));
    m_orderByDesc = QStringLiteral("ORDER BY ") + reversed.join(QStringLiteral(", "));
}

QStringList Dataset::indexFieldNames() const {
    QStringList out;
    for (const KeyColumn &k : m_key) out.append(m_infos[k.field].name);
    return out;
}

void Dataset::finalizeStatements() {
    m_seek.clear();
    m_readSmall.finalize();
    m_readKey.finalize();
    m_readRow.finalize();
    m_readColumn.clear();
    m_writes.clear();
    m_writeOnce.finalize();
}

void Dataset::setIndexName(const QString &name) {
    if (!m_active) {
        m_indexName = name;
        return;
    }
    if (SameText(name, m_indexName)) return;
    CheckBrowseMode();
    const QString previous = m_indexName;
    m_indexName = name;
    try {
        setupIndex();
    } catch (...) {
        m_indexName = previous;
        setupIndex();
        throw;
    }
    m_readKey.finalize();
    m_seek.clear();
    const qint64 current = m_rec.rowid;
    QSet<qint64> shown;
    if (m_filtered) shown = QSet<qint64>(m_visible.begin(), m_visible.end());
    loadKeys(false);
    if (m_filtered) {
        m_visible.clear();
        for (qint64 k : m_keys)
            if (shown.contains(k)) m_visible.push_back(k);
    }
    invalidatePositions();
    m_pos = current ? posOf(current) : (rows().empty() ? -1 : 0);
    notify(DatasetChange::Data);
}

void Dataset::open() {
    if (m_active) return;
    db();
    loadFields();
    setupIndex();
    loadKeys(true);
    m_active = true;
    m_state = DatasetState::Browse;
    m_modified = false;
    moveTo(rows().empty() ? -1 : 0);
    m_bof = true;
    m_eof = rows().empty();
    notify(DatasetChange::Data);
    if (AfterScroll) AfterScroll(*this);
}

void Dataset::close() {
    if (!m_active) return;
    m_active = false;
    m_state = DatasetState::Inactive;
    m_modified = false;
    m_inBeforePost = false;
    m_keys.clear();
    m_visible.clear();
    invalidatePositions();
    m_pos = -1;
    m_bof = m_eof = true;
    m_rec = Record{};
    m_saved = Record{};
    finalizeStatements();
    notify(DatasetChange::Data);
}

void Dataset::connectionClosing() {
    close();
    finalizeStatements();
}

void Dataset::requery() {
    checkActive();
    CheckBrowseMode();
    beforeScroll(AnyRow);
    const qint64 current = m_rec.rowid;
    loadKeys(true);
    int pos = current ? posOf(current) : -1;
    if (pos < 0 && !rows().empty()) pos = 0;
    moveTo(pos);
    m_bof = pos <= 0;
    m_eof = rows().empty();
    notify(DatasetChange::Data);
    if (AfterScroll) AfterScroll(*this);
}

// ---- rows and the filter ------------------------------------------------------

void Dataset::loadKeys(bool runFilter) {
    std::vector<qint64> keys, shown;
    const bool filtering = runFilter && m_filtered && OnFilterRecord;
    if (!filtering) {
        Statement s(db().handle(), QStringLiteral("SELECT rowid FROM %1 %2").arg(QuoteIdentifier(m_table), m_orderBy));
        while (s.step()) keys.push_back(sqlite3_column_int64(s.get(), 0));
        m_keys.swap(keys);
        if (runFilter && m_filtered) m_visible = m_keys; // filtering without a hook shows every row
        invalidatePositions();
        return;
    }
    QStringList columns;
    std::vector<int> columnOf(size_t(m_infos.size()), -1);
    if (FilterColumns.isEmpty()) {
        for (const FieldInfo &f : m_infos) {
            columnOf[size_t(f.index)] = int(columns.size()) + 1;
            columns.append(QuoteIdentifier(f.name));
        }
    } else {
        for (const QString &name : FilterColumns) {
            const auto it = m_names.constFind(FoldUpper(name));
            if (it == m_names.constEnd() || columnOf[size_t(*it)] >= 0) continue;
            columnOf[size_t(*it)] = int(columns.size()) + 1;
            columns.append(QuoteIdentifier(m_infos[*it].name));
        }
    }
    const QString select = columns.isEmpty() ? QString() : QStringLiteral(", ") + columns.join(QStringLiteral(", "));
    Statement s(db().handle(), QStringLiteral("SELECT rowid%1 FROM %2 %3").arg(select, QuoteIdentifier(m_table), m_orderBy));
    Candidate c;
    c.stmt = &s;
    c.columnOf = columnOf;
    const int n = int(m_infos.size());
    c.values = QVariantList(n);
    c.loaded.assign(size_t(n), 0);
    m_candidate = &c;
    bool failed = false;
    try {
        while (s.step()) {
            c.rowid = sqlite3_column_int64(s.get(), 0);
            std::fill(c.loaded.begin(), c.loaded.end(), 0);
            keys.push_back(c.rowid);
            if (OnFilterRecord(*this)) shown.push_back(c.rowid);
        }
    } catch (...) {
        failed = true;
    }
    m_candidate = nullptr;
    if (failed) {
        // A hook that fails switches filtering off.
        m_filtered = false;
        s.finalize();
        loadKeys(false);
        return;
    }
    m_keys.swap(keys);
    m_visible.swap(shown);
    invalidatePositions();
}

bool Dataset::runHook() {
    if (!m_filtered || !OnFilterRecord) return true;
    try {
        return OnFilterRecord(*this);
    } catch (...) {
        m_filtered = false;
        invalidatePositions();
        return true;
    }
}

void Dataset::SetFiltered(bool on) {
    if (on == m_filtered) return;
    if (!m_active) {
        m_filtered = on;
        return;
    }
    CheckBrowseMode();
    beforeScroll(AnyRow);
    const qint64 current = m_rec.rowid;
    const auto it = std::find(m_keys.begin(), m_keys.end(), current);
    const int keyIndex = it == m_keys.end() ? -1 : int(it - m_keys.begin());
    m_filtered = on;
    if (on) loadKeys(true);
    invalidatePositions();
    finishFilterChange(current, keyIndex);
}

void Dataset::Refilter() {
    checkActive();
    if (!m_filtered) return;
    CheckBrowseMode();
    beforeScroll(AnyRow);
    const qint64 current = m_rec.rowid;
    const auto it = std::find(m_keys.begin(), m_keys.end(), current);
    const int keyIndex = it == m_keys.end() ? -1 : int(it - m_keys.begin());
    loadKeys(true);
    finishFilterChange(current, keyIndex);
}

// After the shown rows changed: the record stays when still shown, else the
// next shown one in index order takes its place (else the previous).
void Dataset::finishFilterChange(qint64 current, int oldKeyIndex) {
    int pos = current ? posOf(current) : -1;
    if (pos < 0 && !rows().empty()) {
        if (!m_filtered || oldKeyIndex < 0) {
            pos = 0;
        } else {
            const QSet<qint64> shown(m_visible.begin(), m_visible.end());
            for (int k = oldKeyIndex + 1; k < int(m_keys.size()) && pos < 0; ++k)
                if (shown.contains(m_keys[size_t(k)])) pos = posOf(m_keys[size_t(k)]);
            for (int k = std::min(oldKeyIndex, int(m_keys.size())) - 1; k >= 0 && pos < 0; --k)
                if (shown.contains(m_keys[size_t(k)])) pos = posOf(m_keys[size_t(k)]);
        }
    }
    moveTo(pos);
    m_bof = pos <= 0;
    m_eof = rows().empty();
    notify(DatasetChange::Data);
    if (m_rec.rowid != current && AfterScroll) AfterScroll(*this);
}

int Dataset::posOf(qint64 rowid) const {
    if (!m_rowPosValid) {
        const auto &r = rows();
        m_rowPos.clear();
        m_rowPos.reserve(qsizetype(r.size()));
        for (size_t i = 0; i < r.size(); ++i) m_rowPos.insert(r[i], int(i));
        m_rowPosValid = true;
    }
    return m_rowPos.value(rowid, -1);
}

// ---- the record ---------------------------------------------------------------

Dataset::Record Dataset::blankRecord() const {
    Record r;
    const int n = int(m_infos.size());
    r.values = QVariantList(n);
    r.loaded.assign(size_t(n), 1);
    r.assigned.assign(size_t(n), 0);
    for (int i = 0; i < n; ++i) r.values[i] = m_infos[i].defaultValue;
    return r;
}

void Dataset::moveTo(int pos) {
    const auto &r = rows();
    if (pos < 0 || pos >= int(r.size())) {
        m_pos = -1;
        Record empty;
        const int n = int(m_infos.size());
        empty.values = QVariantList(n);
        empty.loaded.assign(size_t(n), 1);
        empty.assigned.assign(size_t(n), 0);
        m_rec = empty;
        return;
    }
    m_pos = pos;
    readRecord(r[size_t(pos)]);
}

QString Dataset::smallColumns() const {
    QStringList cols;
    for (int f : m_smallFields) cols.append(QuoteIdentifier(m_infos[f].name));
    if (cols.isEmpty()) cols.append(QStringLiteral("rowid"));
    return cols.join(QStringLiteral(", "));
}

// The record of a row whose small fields a statement holds from column
// `first` on; a null statement gives the row as gone (it reads empty).
Dataset::Record Dataset::recordFrom(const Statement *s, int first, qint64 rowid) const {
    const int n = int(m_infos.size());
    Record r;
    r.rowid = rowid;
    r.values = QVariantList(n);
    r.loaded.assign(size_t(n), s ? 0 : 1);
    r.assigned.assign(size_t(n), 0);
    if (!s) return r;
    for (size_t i = 0; i < m_smallFields.size(); ++i) {
        const int f = m_smallFields[i];
        r.values[f] = s->column(first + int(i));
        r.loaded[size_t(f)] = 1;
    }
    return r;
}

void Dataset::readRecord(qint64 rowid) {
    if (!m_readSmall.valid())
        m_readSmall = Statement(db().handle(),
                                QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(smallColumns(), QuoteIdentifier(m_table)));
    m_readSmall.bind(1, rowid);
    // The record's buffers are reused: a walk reads one row after another.
    const int n = int(m_infos.size());
    const bool found = m_readSmall.step();
    if (m_rec.values.size() != n) m_rec.values = QVariantList(n);
    m_rec.rowid = rowid;
    m_rec.loaded.assign(size_t(n), found ? 0 : 1);
    m_rec.assigned.assign(size_t(n), 0);
    if (found)
        for (size_t i = 0; i < m_smallFields.size(); ++i) {
            const int f = m_smallFields[i];
            m_rec.values[f] = m_readSmall.column(int(i));
            m_rec.loaded[size_t(f)] = 1;
        }
    else
        std::fill(m_rec.values.begin(), m_rec.values.end(), QVariant());
    m_readSmall.reset();
}

QVariant Dataset::fetchColumn(int field, qint64 rowid) const {
    if (m_readColumn.size() != size_t(m_infos.size())) {
        m_readColumn.clear();
        m_readColumn.resize(size_t(m_infos.size()));
    }
    Statement &s = m_readColumn[size_t(field)];
    if (!s.valid())
        s = Statement(db().handle(), QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                         .arg(QuoteIdentifier(m_infos[field].name), QuoteIdentifier(m_table)));
    s.bind(1, rowid);
    QVariant v;
    if (s.step()) v = s.column(0);
    s.reset();
    return v;
}

QVariant Dataset::fieldValue(int index) const {
    if (index < 0 || index >= m_infos.size()) return QVariant();
    if (m_candidate) {
        Candidate &c = *m_candidate;
        if (!c.loaded[size_t(index)]) {
            const int col = c.columnOf.empty() ? -1 : c.columnOf[size_t(index)];
            if (col >= 0 && c.stmt) {
                c.values[index] = c.stmt->column(col);
            } else {
                c.values[index] = fetchColumn(index, c.rowid);
            }
            c.loaded[size_t(index)] = 1;
        }
        return c.values[index];
    }
    checkActive();
    if (m_rec.values.isEmpty()) return QVariant();
    if (!m_rec.loaded[size_t(index)]) {
        m_rec.values[index] = m_rec.rowid ? fetchColumn(index, m_rec.rowid) : m_infos[index].defaultValue;
        m_rec.loaded[size_t(index)] = 1;
    }
    return m_rec.values[index];
}

void Dataset::setFieldValue(int index, const QVariant &value) {
    checkActive();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        throw DbError(QStringLiteral("The table %1 is not in edit or insert mode.").arg(m_table));
    m_rec.values[index] = value;
    m_rec.loaded[size_t(index)] = 1;
    m_rec.assigned[size_t(index)] = 1;
    m_modified = true;
    notify(DatasetChange::Record);
}

Field *Dataset::FindField(const QString &name) {
    const auto it = m_names.constFind(FoldUpper(name));
    return it == m_names.constEnd() ? nullptr : m_fields[size_t(*it)].get();
}

Field &Dataset::FieldByName(const QString &name) {
    if (Field *f = FindField(name)) return *f;
    throw DbError(QStringLiteral("Field '%1' not found in table %2.").arg(name, m_table));
}

QVariantList Dataset::rowValues(int visibleRow) const {
    const auto &r = rows();
    if (!m_active || visibleRow < 0 || visibleRow >= int(r.size())) return {};
    if (!m_readRow.valid()) {
        QStringList cols;
        for (const FieldInfo &f : m_infos)
            cols.append(f.type == FieldType::Memo ? QStringLiteral("substr(%1, 1, %2)").arg(QuoteIdentifier(f.name)).arg(MemoShownChars)
                                                  : QuoteIdentifier(f.name));
        m_readRow = Statement(db().handle(), QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                                 .arg(cols.join(QStringLiteral(", ")), QuoteIdentifier(m_table)));
    }
    m_readRow.bind(1, r[size_t(visibleRow)]);
    QVariantList out;
    if (m_readRow.step()) {
        for (int i = 0; i < m_infos.size(); ++i) out.append(m_readRow.column(i));
    }
    m_readRow.reset();
    return out;
}

// ---- moving -----------------------------------------------------------------

bool Dataset::IsEmpty() const { return rows().empty() && m_state != DatasetState::Insert; }

void Dataset::scrolled() {
    notify(DatasetChange::Scroll);
    if (AfterScroll) AfterScroll(*this);
}

void Dataset::beforeScroll(qint64 coming) {
    if (BeforeScroll && (coming == AnyRow || coming != m_rec.rowid || m_pos < 0)) BeforeScroll(*this);
}

void Dataset::First() {
    checkActive();
    CheckBrowseMode();
    if (!rows().empty()) beforeScroll(rows().front());
    moveTo(rows().empty() ? -1 : 0);
    m_bof = true;
    m_eof = rows().empty();
    scrolled();
}

void Dataset::Last() {
    checkActive();
    CheckBrowseMode();
    if (!rows().empty()) beforeScroll(rows().back());
    const int n = int(rows().size());
    moveTo(n - 1);
    m_eof = true;
    m_bof = n == 0;
    scrolled();
}

void Dataset::Next() { MoveBy(1); }
void Dataset::Prior() { MoveBy(-1); }

int Dataset::MoveBy(int distance) {
    checkActive();
    CheckBrowseMode();
    if (distance != 0 && !rows().empty())
        beforeScroll(rows()[size_t(std::clamp(m_pos + distance, 0, int(rows().size()) - 1))]);
    const int n = int(rows().size());
    if (n == 0) {
        m_bof = m_eof = true;
        scrolled();
        return 0;
    }
    int target = m_pos + distance;
    if (distance > 0) {
        m_bof = false;
        m_eof = target >= n;
        if (m_eof) target = n - 1;
    } else if (distance < 0) {
        m_eof = false;
        m_bof = target < 0;
        if (m_bof) target = 0;
    }
    const int moved = target - m_pos;
    if (moved != 0 || m_pos < 0) moveTo(target);
    scrolled();
    return moved;
}

void Dataset::SetRecordIndex(int index) {
    checkActive();
    if (index == m_pos) return;
    MoveBy(index - m_pos);
}

Dataset::KeyValue Dataset::keyValueFor(int column, const QVariant &v) const {
    KeyValue k;
    if (v.isNull() || !v.isValid()) return k;
    const FieldInfo &f = m_infos[m_key[size_t(column)].field];
    const int t = v.typeId();
    const bool number = t == QMetaType::LongLong || t == QMetaType::Int || t == QMetaType::Double ||
                        t == QMetaType::UInt || t == QMetaType::Float || t == QMetaType::Short;
    if (number) {
        if (f.type == FieldType::Text || f.type == FieldType::Memo) {
            k.cls = 2;
            k.bytes = Field::TextOf(FieldInfo{}, v).toUtf8();
        } else {
            k.cls = 1;
            k.number = v.toDouble();
        }
        return k;
    }
    if (t == QMetaType::QByteArray) {
        k.cls = 3;
        k.bytes = v.toByteArray();
        return k;
    }
    const QString s = v.toString();
    if (f.isNumeric() || f.type == FieldType::DateTime) {
        bool ok = false;
        const double d = s.trimmed().toDouble(&ok);
        if (ok) {
            k.cls = 1;
            k.number = d;
            return k;
        }
    }
    k.cls = 2;
    k.bytes = s.toUtf8();
    return k;
}

std::vector<Dataset::KeyValue> Dataset::keyOf(qint64 rowid) const {
    std::vector<KeyValue> out;
    if (!m_readKey.valid()) {
        QStringList cols;
        for (const KeyColumn &k : m_key) cols.append(QuoteIdentifier(m_infos[k.field].name));
        m_readKey = Statement(db().handle(), QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                                 .arg(cols.join(QStringLiteral(", ")), QuoteIdentifier(m_table)));
    }
    m_readKey.bind(1, rowid);
    if (m_readKey.step()) {
        for (size_t i = 0; i < m_key.size(); ++i) {
            sqlite3_stmt *st = m_readKey.get();
            KeyValue k;
            switch (sqlite3_column_type(st, int(i))) {
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                k.cls = 1;
                k.number = sqlite3_column_double(st, int(i));
                break;
            case SQLITE_TEXT:
                k.cls = 2;
                k.bytes = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st, int(i))),
                                     sqlite3_column_bytes(st, int(i)));
                break;
            case SQLITE_BLOB:
                k.cls = 3;
                k.bytes = QByteArray(static_cast<const char *>(sqlite3_column_blob(st, int(i))),
                                     sqlite3_column_bytes(st, int(i)));
                break;
            default:
                break;
            }
            out.push_back(k);
        }
    }
    m_readKey.reset();
    return out;
}

// Compares a row's key with a key (its first `columns` columns) in the
// index's order: Null, numbers, text by the column's collation, blobs.
int Dataset::compareWithKey(qint64 probe, const std::vector<KeyValue> &key, int columns) const {
    const std::vector<KeyValue> row = keyOf(probe);
    for (int c = 0; c < columns && c < int(row.size()); ++c) {
        const KeyValue &a = row[size_t(c)];
        const KeyValue &b = key[size_t(c)];
        int r = 0;
        if (a.cls != b.cls) {
            r = a.cls < b.cls ? -1 : 1;
        } else if (a.cls == 1) {
            r = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
        } else if (a.cls == 2 && m_key[size_t(c)].noCase) {
            r = NoCaseCompare(a.bytes.constData(), int(a.bytes.size()), b.bytes.constData(), int(b.bytes.size()));
        } else if (a.cls >= 2) {
            const int n = int(std::min(a.bytes.size(), b.bytes.size()));
            r = std::memcmp(a.bytes.constData(), b.bytes.constData(), size_t(n));
            if (r == 0) r = a.bytes.size() < b.bytes.size() ? -1 : a.bytes.size() > b.bytes.size() ? 1 : 0;
            r = r < 0 ? -1 : r > 0 ? 1 : 0;
        }
        if (m_key[size_t(c)].desc) r = -r;
        if (r != 0) return r;
    }
    return 0;
}

// The first place in list whose row sorts after the key (upper) or not
// before it (lower); rowid breaks ties when given (non-zero).
int Dataset::lowerBound(const std::vector<qint64> &list, const std::vector<KeyValue> &key, int columns,
                        qint64 rowid, bool upper) const {
    int lo = 0, hi = int(list.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const qint64 probe = list[size_t(mid)];
        int r = compareWithKey(probe, key, columns);
        if (r == 0 && rowid) r = probe < rowid ? -1 : probe > rowid ? 1 : 0;
        if (r < 0 || (upper && r == 0)) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

int Dataset::placeRow(std::vector<qint64> &list, qint64 rowid, const std::vector<KeyValue> &key) const {
    list.erase(std::remove(list.begin(), list.end(), rowid), list.end());
    int at;
    if (m_key.empty()) at = int(std::lower_bound(list.begin(), list.end(), rowid) - list.begin());
    else at = lowerBound(list, key, int(m_key.size()), rowid, false);
    list.insert(list.begin() + at, rowid);
    return at;
}

// The row a seek lands on, found by the index itself; 0 when none. Rows
// with Null in a key column take no part in the comparisons. The same
// statement reads the row's record, so that a seek is one read.
qint64 Dataset::seekBySql(SeekMode mode, const std::vector<KeyValue> &key, Record &found) {
    const int columns = int(key.size());
    const int slot = int(mode) * 16 + columns;
    auto it = m_seek.find(slot);
    if (it == m_seek.end()) {
        QStringList names, marks;
        for (int c = 0; c < columns; ++c) {
            names.append(QuoteIdentifier(m_infos[m_key[size_t(c)].field].name));
            marks.append(QStringLiteral("?%1").arg(c + 1));
        }
        QString where;
        const bool equal = mode == SeekMode::FirstEq || mode == SeekMode::LastEq;
        if (equal) {
            QStringList terms;
            for (int c = 0; c < columns; ++c) terms.append(names[c] + QStringLiteral("=") + marks[c]);
            where = terms.join(QStringLiteral(" AND "));
        } else {
            const QString op = mode == SeekMode::AfterEq ? QStringLiteral(">=")
                               : mode == SeekMode::After ? QStringLiteral(">")
                               : mode == SeekMode::BeforeEq ? QStringLiteral("<=")
                                                            : QStringLiteral("<");
            where = columns == 1 ? names[0] + op + marks[0]
                                 : QStringLiteral("(") + names.join(QStringLiteral(", ")) + QStringLiteral(") ") + op +
                                       QStringLiteral(" (") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
        }
        const bool backwards = mode == SeekMode::LastEq || mode == SeekMode::BeforeEq || mode == SeekMode::Before;
        it = m_seek.emplace(slot, Statement(db().handle(), QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 %4 LIMIT 1")
                                                                .arg(smallColumns(), QuoteIdentifier(m_table), where,
                                                                     backwards ? m_orderByDesc : m_orderBy)))
                 .first;
    }
    Statement &s = it->second;
    for (int c = 0; c < columns; ++c) {
        const KeyValue &k = key[size_t(c)];
        s.bind(c + 1, k.cls == 1 ? QVariant(k.number) : k.cls == 3 ? QVariant(k.bytes) : QVariant(QString::fromUtf8(k.bytes)));
    }
    const qint64 rowid = s.step() ? sqlite3_column_int64(s.get(), 0) : 0;
    if (rowid) found = recordFrom(&s, 1, rowid);
    s.reset();
    return rowid;
}

bool Dataset::Seek(const QVariantList &key, SeekMode mode) {
    checkActive();
    CheckBrowseMode();
    if (m_key.empty()) throw DbError(QStringLiteral("The table %1 has no index to seek on.").arg(m_table));
    const int columns = int(std::min<qsizetype>(key.size(), qsizetype(m_key.size())));
    if (columns == 0) return false;
    std::vector<KeyValue> k;
    bool plain = true; // no Null to look for and no descending column
    for (int c = 0; c < columns; ++c) {
        k.push_back(keyValueFor(c, key[c]));
        plain = plain && k.back().cls != 0 && !m_key[size_t(c)].desc;
    }
    // An equal seek under a filter wants the first (last) shown equal row,
    // which the index alone cannot tell.
    const bool equalShown = m_filtered && (mode == SeekMode::FirstEq || mode == SeekMode::LastEq);
    Record found;
    qint64 rowid = plain && !equalShown ? seekBySql(mode, k, found) : 0;
    const bool mayMissNulls = mode == SeekMode::BeforeEq || mode == SeekMode::Before;
    if (!plain || equalShown || (rowid == 0 && mayMissNulls)) {
        // The index order itself, Nulls first: a binary search over the rows.
        const int n = int(m_keys.size());
        int found = -1;
        switch (mode) {
        case SeekMode::FirstEq:
            // On a partial key the filter may hide the first equal rows.
            for (int lo = lowerBound(m_keys, k, columns, 0, false);
                 lo < n && compareWithKey(m_keys[size_t(lo)], k, columns) == 0; ++lo)
                if (!m_filtered || posOf(m_keys[size_t(lo)]) >= 0) {
                    found = lo;
                    break;
                }
            break;
        case SeekMode::LastEq:
            for (int hi = lowerBound(m_keys, k, columns, 0, true) - 1;
                 hi >= 0 && compareWithKey(m_keys[size_t(hi)], k, columns) == 0; --hi)
                if (!m_filtered || posOf(m_keys[size_t(hi)]) >= 0) {
                    found = hi;
                    break;
                }
            break;
        case SeekMode::AfterEq:
            found = lowerBound(m_keys, k, columns, 0, false);
            break;
        case SeekMode::After:
            found = lowerBound(m_keys, k, columns, 0, true);
            break;
        case SeekMode::BeforeEq:
            found = lowerBound(m_keys, k, columns, 0, true) - 1;
            break;
        case SeekMode::Before:
            found = lowerBound(m_keys, k, columns, 0, false) - 1;
            break;
        }
        rowid = found >= 0 && found < n ? m_keys[size_t(found)] : 0;
    }
    if (rowid == 0) return false;
    if (posOf(rowid) < 0) return false; // hidden by the filter
    beforeScroll(rowid);
    const int pos = posOf(rowid);
    if (pos < 0) return false;
    if (found.rowid == rowid) {
        m_pos = pos;
        m_rec = std::move(found);
    } else {
        moveTo(pos);
    }
    m_bof = m_eof = false;
    scrolled();
    return true;
}

// ---- bookmarks ---------------------------------------------------------------

Dataset::Bookmark Dataset::GetBookmark() const { return m_pos >= 0 ? m_rec.rowid : 0; }

bool Dataset::BookmarkValid(Bookmark bookmark) const { return m_active && bookmark && posOf(bookmark) >= 0; }

void Dataset::GotoBookmark(Bookmark bookmark) {
    checkActive();
    CheckBrowseMode();
    auto notFound = [this] {
        return DbError(QStringLiteral("Record not found in table %1: it was deleted or is not shown.").arg(m_table));
    };
    if (!bookmark || posOf(bookmark) < 0) throw notFound();
    beforeScroll(bookmark);
    const int pos = posOf(bookmark);
    if (pos < 0) throw notFound();
    moveTo(pos);
    m_bof = m_eof = false;
    scrolled();
}

// ---- editing -----------------------------------------------------------------

void Dataset::Edit() {
    checkActive();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert) return;
    if (rows().empty()) return Insert();
    m_saved = m_rec;
    m_state = DatasetState::Edit;
    m_modified = false;
    notify(DatasetChange::Data);
}

void Dataset::Insert() {
    checkActive();
    CheckBrowseMode();
    if (BeforeInsert) BeforeInsert(*this);
    beforeScroll(AnyRow);
    m_insertReturn = m_rec.rowid;
    m_rec = blankRecord();
    m_state = DatasetState::Insert;
    m_modified = false;
    notify(DatasetChange::Data);
    if (AfterScroll) AfterScroll(*this);
}

void Dataset::Append() { Insert(); }

void Dataset::Cancel() {
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert) return;
    const bool inserting = m_state == DatasetState::Insert;
    m_state = DatasetState::Browse;
    m_modified = false;
    if (inserting) {
        int pos = m_insertReturn ? posOf(m_insertReturn) : -1;
        if (pos < 0 && !rows().empty()) pos = std::clamp(m_pos, 0, int(rows().size()) - 1);
        moveTo(pos);
    } else {
        m_rec = m_saved;
    }
    notify(DatasetChange::Data);
}

void Dataset::CheckBrowseMode() {
    if (!m_active) return;
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert) return;
    if (m_disabled == 0)
        for (DatasetObserver *o : QList<DatasetObserver *>(m_observers)) o->writePending(*this);
    if (m_modified) Post();
    else Cancel();
}

void Dataset::Post() {
    checkActive();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert) return;
    if (m_inBeforePost) {
        // A post from inside before-post writes at once.
        writeRecord(true);
        m_writtenInHook = true;
        return;
    }
    if (m_disabled == 0)
        for (DatasetObserver *o : QList<DatasetObserver *>(m_observers)) o->writePending(*this);
    // The record as typed, kept until its transaction is committed.
    DatasetState typedState = m_state;
    Record typed = m_rec;
    bool committing = false;
    try {
        // What before-post writes elsewhere stands or falls with the record.
        Batch batch(db());
        m_writtenInHook = false;
        if (BeforePost) {
            m_inBeforePost = true;
            try {
                BeforePost(*this);
            } catch (...) {
                m_inBeforePost = false;
                throw;
            }
            m_inBeforePost = false;
        }
        if (m_state != DatasetState::Edit && m_state != DatasetState::Insert) {
            // Posted from inside the hook, or cancelled there (which undoes its writes).
            if (m_writtenInHook) {
                committing = true;
                batch.commit();
            }
            return;
        }
        typedState = m_state;
        typed = m_rec;
        writeRecord(false);
        committing = true;
        batch.commit();
    } catch (...) {
        // The rollback is done: what the hook wrote elsewhere is undone.
        if (committing) keepTyped(typedState, std::move(typed));
        if (AfterPostFailed) AfterPostFailed(*this);
        if (committing) {
            // The database refused the commit itself (a lock held elsewhere,
            // a full disk): a post error like a refused write.
            try {
                throw;
            } catch (const DbError &e) {
                PostErrorAction action = PostErrorAction::Fail;
                if (OnPostError) OnPostError(*this, e, action);
                if (action == PostErrorAction::Abort) throw SilentAbort();
                throw;
            }
        }
        throw;
    }
    if (AfterPost) AfterPost(*this);
}

Dataset::Typed Dataset::TypedRecord() const { return {m_state, m_rec}; }

void Dataset::PutBackTyped(Typed typed) {
    if (typed.state == DatasetState::Edit || typed.state == DatasetState::Insert)
        keepTyped(typed.state, std::move(typed.record));
}

void Dataset::keepTyped(DatasetState state, Record typed) {
    if (!m_active || !m_db || !m_db->isOpen()) return;
    const qint64 shown = GetBookmark();
    if (state == DatasetState::Edit) {
        // Stored, the row may have left the filter, which it matched before.
        if (m_filtered && posOf(typed.rowid) < 0 &&
            std::find(m_keys.begin(), m_keys.end(), typed.rowid) != m_keys.end()) {
            placeRow(m_visible, typed.rowid, m_key.empty() ? std::vector<KeyValue>{} : keyOf(typed.rowid));
            invalidatePositions();
        }
        const int pos = posOf(typed.rowid);
        if (pos < 0) return;
        m_pos = pos;
        m_bof = m_eof = false;
    }
    m_state = state;
    m_rec = std::move(typed);
    m_modified = true;
    notify(DatasetChange::Data);
    if (AfterScroll && (state == DatasetState::Insert || m_rec.rowid != shown)) AfterScroll(*this);
}

// The insert or update for a set of assigned fields, prepared once and kept
// for the next posts that assign the same fields (a run of imported records
// leaves different fields blank). While writes are being recorded each
// statement is prepared afresh, since the record of written tables is made
// when a statement is prepared.
Statement &Dataset::writeStatement(const QString &sql) {
    if (db().recordingWrites()) {
        m_writes.clear();
        m_writeOnce = Statement(db().handle(), sql);
        return m_writeOnce;
    }
    auto it = m_writes.find(sql);
    if (it != m_writes.end()) return it->second;
    if (m_writes.size() >= 32) m_writes.clear();
    return m_writes.emplace(sql, Statement(db().handle(), sql)).first->second;
}

void Dataset::writeRecord(bool runAfterPost) {
    const bool inserting = m_state == DatasetState::Insert;
    qint64 rowid = m_rec.rowid;
    bool keyAssigned = inserting;
    try {
        QStringList names;
        QVariantList values;
        for (int i = 0; i < m_infos.size(); ++i) {
            if (!m_rec.assigned[size_t(i)]) continue;
            const FieldInfo &f = m_infos[i];
            const QVariant &v = m_rec.values[i];
            if (!v.isNull())
                if (const QString fault = Field::SizeFault(f, v.toString()); !fault.isEmpty()) throw DbError(fault);
            names.append(QuoteIdentifier(f.name));
            values.append(v);
            for (const KeyColumn &k : m_key)
                if (k.field == i) keyAssigned = true;
        }
        if (inserting) {
            Statement &s = writeStatement(InsertSql(m_table, names));
            s.bindAll(values);
            s.step();
            s.reset();
            rowid = sqlite3_last_insert_rowid(db().handle());
        } else if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : names) sets.append(n + QStringLiteral("=?"));
            Statement &s = writeStatement(
                QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(QuoteIdentifier(m_table), sets.join(QStringLiteral(", "))));
            values.append(rowid);
            s.bindAll(values);
            s.step();
            s.reset();
        }
    } catch (const DbError &e) {
        PostErrorAction action = PostErrorAction::Fail;
        if (OnPostError) OnPostError(*this, e, action);
        if (action == PostErrorAction::Abort) throw SilentAbort();
        throw;
    }

    m_state = DatasetState::Browse;
    m_modified = false;
    readRecord(rowid);

    int placedAt = -1;
    if (keyAssigned) {
        const std::vector<KeyValue> key = m_key.empty() ? std::vector<KeyValue>{} : keyOf(rowid);
        placedAt = placeRow(m_keys, rowid, key);
        invalidatePositions();
    }
    if (!m_filtered) {
        // Where the row was placed is known: no need to index every row again.
        m_pos = placedAt >= 0 ? placedAt : posOf(rowid);
    } else {
        const auto old = std::find(m_visible.begin(), m_visible.end(), rowid);
        const int oldIndex = old == m_visible.end() ? -1 : int(old - m_visible.begin());
        const bool shown = runHook();
        if (!m_filtered) {
            m_pos = posOf(rowid);
        } else if (shown) {
            if (keyAssigned || oldIndex < 0) {
                const std::vector<KeyValue> key = m_key.empty() ? std::vector<KeyValue>{} : keyOf(rowid);
                placeRow(m_visible, rowid, key);
            }
            invalidatePositions();
            m_pos = posOf(rowid);
        } else {
            // Hidden now: the next shown row takes its place (else the previous).
            int at = oldIndex;
            if (at >= 0) {
                m_visible.erase(m_visible.begin() + at);
            } else {
                const std::vector<KeyValue> key = m_key.empty() ? std::vector<KeyValue>{} : keyOf(rowid);
                at = m_key.empty() ? int(std::lower_bound(m_visible.begin(), m_visible.end(), rowid) - m_visible.begin())
                                   : lowerBound(m_visible, key, int(m_key.size()), rowid, false);
            }
            invalidatePositions();
            const int n = int(m_visible.size());
            moveTo(n == 0 ? -1 : std::min(at, n - 1));
        }
    }
    m_bof = m_eof = rows().empty();
    notify(DatasetChange::Data);
    if (runAfterPost && AfterPost) AfterPost(*this);
}

void Dataset::Delete() {
    checkActive();
    if (m_state == DatasetState::Insert) return Cancel();
    if (m_state == DatasetState::Edit) Cancel();
    if (m_pos < 0) throw DbError(QStringLiteral("Cannot delete: the table %1 shows no record.").arg(m_table));
    const qint64 rowid = m_rec.rowid;
    try {
        // What before-delete writes elsewhere stands or falls with the delete.
        Batch batch(db());
        if (BeforeDelete) BeforeDelete(*this);
        Statement s(db().handle(), QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(QuoteIdentifier(m_table)));
        s.bind(1, rowid);
        s.step();
        s.finalize();
        batch.commit();
    } catch (...) {
        // The rollback is done: what the hook wrote elsewhere is undone.
        if (AfterDeleteFailed) AfterDeleteFailed(*this);
        throw;
    }
    int at = posOf(rowid);
    if (at < 0) at = m_pos;
    m_keys.erase(std::remove(m_keys.begin(), m_keys.end(), rowid), m_keys.end());
    if (m_filtered) m_visible.erase(std::remove(m_visible.begin(), m_visible.end(), rowid), m_visible.end());
    invalidatePositions();
    const int n = int(rows().size());
    if (n == 0) {
        moveTo(-1);
        m_bof = m_eof = true;
    } else if (at < n) {
        moveTo(at);
        m_bof = m_eof = false;
    } else {
        moveTo(n - 1);
        m_bof = false;
        m_eof = true;
    }
    notify(DatasetChange::Data);
    if (AfterScroll) AfterScroll(*this);
}

// ---- bulk changes --------------------------------------------------------------

int Dataset::positionAfterLoss(const std::vector<qint64> &oldRows, int oldPos) const {
    for (int i = oldPos + 1; i < int(oldRows.size()); ++i) {
        const int p = posOf(oldRows[size_t(i)]);
        if (p >= 0) return p;
    }
    for (int i = std::min(oldPos, int(oldRows.size())) - 1; i >= 0; --i) {
        const int p = posOf(oldRows[size_t(i)]);
        if (p >= 0) return p;
    }
    return rows().empty() ? -1 : 0;
}

void Dataset::resync() {
    if (!m_active || !m_db || !m_db->isOpen()) return;
    const qint64 current = m_rec.rowid;
    const std::vector<qint64> oldRows = rows();
    const int oldPos = m_pos;
    const QSet<qint64> oldKeys(m_keys.begin(), m_keys.end());
    const QSet<qint64> oldShown(m_visible.begin(), m_visible.end());
    loadKeys(false);
    if (m_filtered) {
        std::vector<qint64> shown;
        for (qint64 k : m_keys) {
            if (oldShown.contains(k)) {
                shown.push_back(k);
            } else if (!oldKeys.contains(k) && OnFilterRecord) {
                // A row added by the bulk SQL goes through the filter.
                Candidate c;
                c.rowid = k;
                c.values = QVariantList(m_infos.size());
                c.loaded.assign(size_t(m_infos.size()), 0);
                m_candidate = &c;
                bool accept = false;
                try {
                    accept = OnFilterRecord(*this);
                } catch (...) {
                    m_candidate = nullptr;
                    m_filtered = false;
                    break;
                }
                m_candidate = nullptr;
                if (accept) shown.push_back(k);
            }
        }
        if (m_filtered) m_visible.swap(shown);
    }
    invalidatePositions();
    int pos = current ? posOf(current) : -1;
    if (pos < 0 && oldPos >= 0) pos = positionAfterLoss(oldRows, oldPos);
    if (pos < 0 && !rows().empty()) pos = 0;
    if (m_state == DatasetState::Edit && current && posOf(current) < 0) {
        m_state = DatasetState::Browse; // the row being edited is gone
        m_modified = false;
    }
    if (m_state == DatasetState::Browse) moveTo(pos);
    else m_pos = pos;
    if (rows().empty()) m_bof = m_eof = true;
    else m_bof = m_eof = false;
    notify(DatasetChange::Data);
    if (m_state == DatasetState::Browse && m_rec.rowid != current && AfterScroll) AfterScroll(*this);
}

// ---- observers ----------------------------------------------------------------

void Dataset::DisableControls() { ++m_disabled; }

void Dataset::EnableControls() {
    if (m_disabled == 0) return;
    if (--m_disabled == 0) notify(DatasetChange::Data);
}

void Dataset::addObserver(DatasetObserver *observer) {
    if (!m_observers.contains(observer)) m_observers.append(observer);
}

void Dataset::removeObserver(DatasetObserver *observer) { m_observers.removeAll(observer); }

void Dataset::notify(DatasetChange change) {
    if (m_disabled > 0) return;
    for (DatasetObserver *o : QList<DatasetObserver *>(m_observers)) o->datasetChanged(*this, change);
}
