#pragma once
// Appends rows to one table with no dataset in between: for a run of many
// new records (the CSV import), which the caller keeps in one transaction
// and after which it tells the open datasets (Database::tableChanged).
// Each set of assigned columns has its insert prepared once; the columns not
// assigned take the table's defaults, as a dataset's insert leaves them.

#include "platform/sqlite/Database.h"

#include <QByteArray>
#include <QHash>
#include <QVariantList>
#include <memory>

class TableAppender {
public:
    TableAppender(Database &db, const QString &table);
    ~TableAppender();

    const QList<FieldInfo> &fields() const { return m_fields; }

    // Adds a row: the columns with assigned[i] set take values[i] (both
    // sized as fields()). A text longer than its field is refused before
    // the table sees it; a failure (a duplicate key ...) throws DbError and
    // stores nothing of the row.
    void append(const QVariantList &values, const QByteArray &assigned);

private:
    Statement &insertFor(const QByteArray &assigned);

    Database &m_db;
    QString m_table;
    QList<FieldInfo> m_fields;
    QHash<QByteArray, std::shared_ptr<Statement>> m_inserts;
};
