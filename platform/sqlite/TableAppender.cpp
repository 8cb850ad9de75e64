#include "platform/sqlite/TableAppender.h"

#include "platform/sqlite/Field.h"

namespace {

// A long run with ever new sets of columns keeps no more statements than this.
constexpr int MaxKeptInserts = 256;

} // namespace

TableAppender::TableAppender(Database &db, const QString &table)
    : m_db(db), m_table(table), m_fields(db.fields(table)) {}

TableAppender::~TableAppender() = default;

Statement &TableAppender::insertFor(const QByteArray &assigned) {
    if (auto it = m_inserts.constFind(assigned); it != m_inserts.constEnd()) return **it;
    QStringList names;
    for (int i = 0; i < m_fields.size(); ++i)
        if (assigned.at(i)) names.append(QuoteIdentifier(m_fields[i].name));
    if (m_inserts.size() >= MaxKeptInserts) m_inserts.clear();
    return *m_inserts.insert(assigned, std::make_shared<Statement>(m_db.handle(), InsertSql(m_table, names))).value();
}

void TableAppender::append(const QVariantList &values, const QByteArray &assigned) {
    if (values.size() != m_fields.size() || assigned.size() != m_fields.size())
        throw DbError(QStringLiteral("A row for the table %1 must give its %2 fields.").arg(m_table).arg(m_fields.size()));
    for (int i = 0; i < m_fields.size(); ++i)
        if (assigned.at(i) && !values[i].isNull())
            if (const QString fault = Field::SizeFault(m_fields[i], values[i].toString()); !fault.isEmpty())
                throw DbError(fault);
    Statement &insert = insertFor(assigned);
    int mark = 0;
    for (int i = 0; i < m_fields.size(); ++i)
        if (assigned.at(i)) insert.bind(++mark, values[i]);
    try {
        insert.step();
    } catch (...) {
        insert.reset();
        throw;
    }
    insert.reset();
}
