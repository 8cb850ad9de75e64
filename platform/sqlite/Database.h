#pragma once
// The one connection to the catalogue database (SQLite through its C API):
// opening with the checks that refuse a file that is not ours, the schema,
// field and index look-ups, transactions, and the bookkeeping that keeps the
// open datasets in step with bulk SQL.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <vector>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;
class Dataset;
class Query;

// A database failure: the text to show, the SQL that failed (may be empty)
// and the SQLite result code (0 for failures found by this layer).
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text, const QString &sql = QString(), int code = 0);
    QString text() const { return m_text; }
    QString sql() const { return m_sql; }
    int code() const { return m_code; }

private:
    QString m_text, m_sql;
    int m_code;
};

enum class FieldType { Text, Memo, Int16, Int32, Float, DateTime };

struct FieldInfo {
    QString name;
    FieldType type = FieldType::Memo;
    int size = 0;          // declared size of a sized text, else 0
    int index = 0;         // position in the table (or result) order
    QVariant defaultValue; // what a new record holds
    bool isNumeric() const {
        return type == FieldType::Int16 || type == FieldType::Int32 || type == FieldType::Float;
    }
};

// The field type of a declared column type ("VARCHAR(50)", "LONGTEXT",
// "SMALLINT", "DATETIME" ...); the size goes to *size.
FieldType FieldTypeOfDeclaration(const QString &declared, int *size);

// A table or column name as SQL names it: between double quotes, any double
// quote in it doubled.
QString QuoteIdentifier(const QString &name);
// The insert of a row that gives the columns named (already quoted) as "?"
// parameters in that order; with none, a row of the table's defaults.
QString InsertSql(const QString &table, const QStringList &quotedColumns);

// One prepared statement, finalised when it goes.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3 *db, const QString &sql); // prepares; throws DbError
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool valid() const { return m_stmt != nullptr; }
    sqlite3_stmt *get() const { return m_stmt; }
    const QString &sql() const { return m_sql; }
    void bind(int index, const QVariant &value); // 1-based
    void bindAll(const QVariantList &values);
    // Steps once: true for a row, false when done; throws DbError.
    bool step();
    void reset();
    void finalize();
    int columnCount() const;
    QVariant column(int index) const;
    QString columnText(int index) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
};

class Database {
public:
    // The schema version this program writes and reads.
    static constexpr int SchemaVersion = 1;
    // How long a statement waits for another connection's lock.
    static int BusyTimeoutMs;
    // Tests: connections opened from now on cannot make their journal files,
    // as in a folder the user may not write to (the file itself writable).
    static void SetJournalsRefused(bool refused);

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing database read-write; refuses (DbError) a missing,
    // read-only or foreign file, or one from a newer version, writing nothing
    // to it. Applies the numbered upgrades of an older one.
    void open(const QString &path);
    // Makes a new database from the schema; refuses an existing file.
    void create(const QString &path);
    // Deactivates the datasets and closes the queries (finalising their
    // statements), then the connection.
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }
    sqlite3 *handle() const { return m_db; }
    // Counts the opens of this object: what was learnt about one
    // connection's file is not taken for the next one's.
    quint64 openCount() const { return m_openCount; }

    // Runs SQLite statements as they stand (no translation, no results).
    void execRaw(const QString &sql);
    // Runs one statement of no results, prepared once and kept until the
    // connection closes (the savepoints a post opens and releases).
    void execKept(const QString &sql);
    // Adds one row with bound values (column name, value) and gives its rowid.
    qint64 insertRow(const QString &table, const QList<QPair<QString, QVariant>> &values);
    // The last error text of the connection, as SQLite words it.
    QString errorText() const;
    // Turns a failed SQLite call into a DbError (duplicate keys worded for
    // the record hooks).
    DbError errorFor(int rc, const QString &sql) const;

    QList<FieldInfo> fields(const QString &table) const;
    bool hasTable(const QString &table) const;
    bool hasField(const QString &table, const QString &field) const;
    bool hasIndex(const QString &name) const;
    QString indexTable(const QString &name) const;
    QStringList indexColumns(const QString &name) const;
    // A column's definition as the table's CREATE statement gives it (type,
    // constraints, collation), or "" when there is none.
    QString columnDefinition(const QString &table, const QString &column) const;
    QString userVersionText() const;

    // After bulk SQL: open datasets of the table drop rows that are gone and
    // re-read their record.
    void tableChanged(const QString &table);
    void allTablesChanged();

    // Tables written by the statements prepared while recording is on (the
    // query runner uses it to call tableChanged).
    void startRecordingWrites();
    QSet<QString> stopRecordingWrites();
    bool recordingWrites() const { return m_recording; }

    // Transaction depth of the open batches.
    int batchDepth() const { return m_batchDepth; }

    // What the connection has seen, so that something read earlier can be
    // known to still stand: the open of the file, the changes made on it,
    // commits by other connections and the schema (VACUUM changes it too).
    // Unknown (all empty) while the connection is closed or a transaction is
    // open, since what it wrote could still be undone.
    struct ChangeStamp {
        quint64 open = 0;
        qint64 changes = -1, dataVersion = -1, schema = -1;
        bool known() const { return open != 0 && dataVersion >= 0 && schema >= 0; }
        bool operator==(const ChangeStamp &) const = default;
    };
    ChangeStamp changeStamp() const;

    // Rows written through this connection, told as they are written:
    // inserts and updates always, deletes except those SQLite makes without
    // telling (a REPLACE conflict, a DELETE of a whole table). One listener
    // per owner; an empty one removes it.
    using RowWriteListener = std::function<void(Database *db, const char *table, qint64 rowid)>;
    void setRowWriteListener(const void *owner, RowWriteListener listener);
    bool hasRowWriteListener(const void *owner) const;

    // Registration of the objects that hold statements on this connection.
    void attach(Dataset *ds);
    void detach(Dataset *ds);
    void attach(Query *q);
    void detach(Query *q);
    QList<Dataset *> datasets() const { return m_datasets; }

private:
    friend class Batch;
    void configure();
    void applyUpgrades(int from);
    // Refuses a file whose Dances or Events table lacks a field the program
    // needs (only CD may be missing: start-up adds it), before any write.
    void checkFields() const;
    static int authorize(void *self, int action, const char *a, const char *b, const char *, const char *);
    static void rowWritten(void *self, int op, const char *db, const char *table, qint64 rowid);

    sqlite3 *m_db = nullptr;
    QString m_path;
    int m_batchDepth = 0;
    quint64 m_openCount = 0;
    bool m_recording = false;
    QSet<QString> m_written;
    QList<Dataset *> m_datasets;
    QList<Query *> m_queries;
    std::map<QString, Statement> m_kept;
    std::vector<std::pair<const void *, RowWriteListener>> m_rowListeners;
};

// A transaction: every write inside it happens whole or not at all. Batches
// nest (savepoints); one that goes without commit() rolls back, and the open
// datasets then drop what the rollback removed.
class Batch {
public:
    explicit Batch(Database &db);
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;
    void commit();

private:
    Database &m_db;
    int m_level;
    bool m_done = false;
};
