#include "platform/sqlite/Query.h"

#include "base/Cp1252.h"
#include "platform/sqlite/TableRebuild.h"

#include <sqlite3.h>

namespace {

// Ends the recording of written tables however the statement ends.
struct WriteRecorder {
    Database &db;
    bool stopped = false;
    explicit WriteRecorder(Database &d) : db(d) { db.startRecordingWrites(); }
    QSet<QString> stop() {
        stopped = true;
        return db.stopRecordingWrites();
    }
    ~WriteRecorder() {
        if (!stopped) db.stopRecordingWrites();
    }
};

} // namespace

Query::Query(Database &db) : m_db(&db) { db.attach(this); }

Query::~Query() {
    close();
    if (m_db) m_db->detach(this);
}

Database &Query::db() const {
    if (!m_db || !m_db->isOpen()) throw DbError(QStringLiteral("The database is not open."), text());
    return *m_db;
}

void Query::close() {
    m_stmt.finalize();
    m_eof = true;
    m_row.clear();
}

QString Query::withValues(const QString &sql, const QVariantList &params) const {
    if (params.isEmpty()) return sql;
    QList<JetToken> tokens;
    try {
        tokens = TokenizeJet(sql);
    } catch (const DbError &) {
        return sql;
    }
    QString out;
    int next = 0;
    for (const JetToken &t : tokens) {
        if (t.kind == JetToken::Param && next < params.size()) {
            const QVariant &v = params[next++];
            if (v.isNull() || !v.isValid()) out += QStringLiteral("Null");
            else if (v.typeId() == QMetaType::QString) out += DoubleQuotes(v.toString());
            else out += v.toString();
        } else {
            out += t.text;
        }
    }
    return out;
}

void Query::open(const QVariantList &params) {
    close();
    const QString sql = text();
    m_last = withValues(sql, params);
    Database &d = db();
    const JetStatement st = TranslateJet(sql);
    if (!st.intoTable.isEmpty())
        throw DbError(QStringLiteral("A Select ... into statement changes the database; it cannot be opened as a query."), sql);
    Statement s(d.handle(), st.sql);
    s.bindAll(params);
    m_fields.clear();
    const int n = s.columnCount();
    std::vector<bool> typed(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        FieldInfo f;
        f.name = QString::fromUtf8(sqlite3_column_name(s.get(), i));
        f.index = i;
        if (const char *decl = sqlite3_column_decltype(s.get(), i)) {
            f.type = FieldTypeOfDeclaration(QString::fromUtf8(decl), &f.size);
            typed[size_t(i)] = true;
        }
        m_fields.push_back(std::make_unique<Field>(this, f));
    }
    m_stmt = std::move(s);
    m_eof = !m_stmt.step();
    if (!m_eof) {
        readRow();
        // An expression column takes the type of its first value.
        for (int i = 0; i < n; ++i) {
            if (typed[size_t(i)]) continue;
            FieldInfo f = m_fields[size_t(i)]->info();
            const int t = sqlite3_column_type(m_stmt.get(), i);
            f.type = t == SQLITE_INTEGER ? FieldType::Int32 : t == SQLITE_FLOAT ? FieldType::Float : FieldType::Memo;
            m_fields[size_t(i)] = std::make_unique<Field>(this, f);
        }
    }
}

void Query::readRow() {
    m_row.clear();
    const int n = m_stmt.columnCount();
    m_row.reserve(n);
    for (int i = 0; i < n; ++i) m_row.append(m_stmt.column(i));
}

void Query::next() {
    if (m_eof || !m_stmt.valid()) return;
    m_eof = !m_stmt.step();
    if (m_eof) m_row.clear();
    else readRow();
}

int Query::exec(const QVariantList &params) {
    close();
    const QString sql = text();
    m_last = withValues(sql, params);
    Database &d = db();
    const JetStatement st = TranslateJet(sql);
    const sqlite3_int64 before = sqlite3_total_changes64(d.handle());
    QSet<QString> written;
    {
        WriteRecorder recorder(d);
        if (!st.intoTable.isEmpty()) {
            runSelectInto(st, params);
        } else if (!st.alterTable.isEmpty()) {
            RebuildWithColumnSize(d, st.alterTable, st.alterColumn, st.alterSize);
        } else {
            Statement s(d.handle(), st.sql);
            s.bindAll(params);
            while (s.step()) {
            }
        }
        written = recorder.stop();
    }
    const int changed = int(sqlite3_total_changes64(d.handle()) - before);
    for (const QString &table : written) d.tableChanged(table);
    return changed;
}

int Query::runSelectInto(const JetStatement &st, const QVariantList &params) {
    Database &d = db();
    QStringList columns;
    {
        Statement select(d.handle(), st.sql);
        const int n = select.columnCount();
        for (int i = 0; i < n; ++i) {
            const QString name = QString::fromUtf8(sqlite3_column_name(select.get(), i));
            QString definition;
            const char *table = sqlite3_column_table_name(select.get(), i);
            const char *origin = sqlite3_column_origin_name(select.get(), i);
            if (table && origin)
                definition = d.columnDefinition(QString::fromUtf8(table), QString::fromUtf8(origin));
            if (definition.isEmpty())
                if (const char *decl = sqlite3_column_decltype(select.get(), i)) definition = QString::fromUtf8(decl);
            columns.append((QuoteIdentifier(name) + QLatin1Char(' ') + definition).trimmed());
        }
    }
    Batch batch(d);
    Statement create(d.handle(), QStringLiteral("CREATE TABLE %1 (%2)").arg(QuoteIdentifier(st.intoTable), columns.join(QStringLiteral(", "))));
    create.step();
    Statement insert(d.handle(), QStringLiteral("INSERT INTO %1 %2").arg(QuoteIdentifier(st.intoTable), st.sql));
    insert.bindAll(params);
    insert.step();
    const int n = sqlite3_changes(d.handle());
    batch.commit();
    return n;
}

Field *Query::FindField(const QString &name) {
    for (auto &f : m_fields)
        if (SameText(f->FieldName(), name)) return f.get();
    return nullptr;
}

Field &Query::FieldByName(const QString &name) {
    if (Field *f = FindField(name)) return *f;
    throw DbError(QStringLiteral("Field '%1' not found in the query.").arg(name), text());
}

QVariant Query::fieldValue(int index) const {
    if (index < 0 || index >= m_row.size()) return QVariant();
    return m_row[index];
}

void Query::setFieldValue(int, const QVariant &) {
    throw DbError(QStringLiteral("A query's fields cannot be changed."), text());
}
