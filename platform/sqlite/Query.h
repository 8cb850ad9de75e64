#pragma once
// A forward-only query on the connection: the statement is kept as lines
// (callers append where-terms or edit the first line), translated from the
// program's SQL dialect when it runs.

#include "platform/sqlite/Database.h"
#include "platform/sqlite/Field.h"
#include "platform/sqlite/JetSql.h"

#include <memory>
#include <vector>

class Query : public FieldSource {
public:
    explicit Query(Database &db);
    ~Query() override;
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    // The statement, one entry per line.
    QStringList SQL;
    QString text() const { return SQL.join(QStringLiteral("\r\n")); }
    void setText(const QString &sql) { SQL = QStringList{sql}; }

    // Runs the statement as a query and stands on its first row; "?" marks
    // take the values in order.
    void open(const QVariantList &params = {});
    // Runs the statement and gives the number of rows it inserted, changed or
    // deleted (0 for any other statement); open datasets follow the change.
    int exec(const QVariantList &params = {});
    void close();

    bool active() const { return m_stmt.valid(); }
    bool eof() const { return m_eof; }
    void next();

    int fieldCount() const { return int(m_fields.size()); }
    Field &fields(int index) { return *m_fields.at(size_t(index)); }
    Field *FindField(const QString &name);
    Field &FieldByName(const QString &name);

    // The last statement run or tried (also when it failed), with any bound
    // values written into it as literals.
    QString lastText() const { return m_last; }
    void forgetLastText() { m_last.clear(); }

    Database *database() const { return m_db; }
    void databaseGone() { m_db = nullptr; }

    QVariant fieldValue(int index) const override;
    void setFieldValue(int index, const QVariant &value) override;

private:
    Database &db() const;
    void readRow();
    QString withValues(const QString &sql, const QVariantList &params) const;
    int runSelectInto(const JetStatement &statement, const QVariantList &params);

    Database *m_db;
    Statement m_stmt;
    bool m_eof = true;
    QVariantList m_row;
    std::vector<std::unique_ptr<Field>> m_fields;
    QString m_last;
};
