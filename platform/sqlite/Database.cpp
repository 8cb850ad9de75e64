#include "platform/sqlite/Database.h"

#include "base/Cp1252.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/JetSql.h"
#include "platform/sqlite/Query.h"
#include "platform/sqlite/SqlFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cctype>
#include <cstring>
#include <sqlite3.h>

static void initSchemaResource() { Q_INIT_RESOURCE(schema); }

namespace {

QVariant defaultOf(const QVariant &declared) {
    if (declared.isNull()) return QVariant();
    const QString d = declared.toString().trimmed();
    if (d.isEmpty() || SameText(d, QStringLiteral("NULL"))) return QVariant();
    if (d.size() >= 2 && d.startsWith('\'') && d.endsWith('\''))
        return d.mid(1, d.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    bool ok = false;
    const qint64 i = d.toLongLong(&ok);
    if (ok) return i;
    const double f = d.toDouble(&ok);
    if (ok) return f;
    return d;
}

QString unquoteId(QString name) {
    if (name.size() >= 2) {
        const QChar a = name.front(), b = name.back();
        if ((a == '"' && b == '"') || (a == '[' && b == ']') || (a == '`' && b == '`') ||
            (a == '\'' && b == '\''))
            name = name.mid(1, name.size() - 2);
    }
    return name;
}

// A connection to the file, or DbError with SQLite's own words.
// The file layer of a folder where no file can be made: the database itself
// opens, its journals do not (the test seam for an unwritable folder).
constexpr const char *NoJournalVfs = "quillary-nojournal";
bool refuseJournals = false;
int (*defaultOpen)(sqlite3_vfs *, sqlite3_filename, sqlite3_file *, int, int *) = nullptr;

int openRefusingJournals(sqlite3_vfs *vfs, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags) {
    constexpr int journals = SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_TEMP_JOURNAL | SQLITE_OPEN_SUBJOURNAL |
                             SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL;
    if (flags & journals) return SQLITE_CANTOPEN;
    return defaultOpen(vfs, name, file, flags, outFlags);
}

const char *vfsName() {
    if (!refuseJournals) return nullptr;
    static sqlite3_vfs shim = [] {
        sqlite3_vfs *base = sqlite3_vfs_find(nullptr);
        sqlite3_vfs copy = *base;
        defaultOpen = base->xOpen;
        copy.xOpen = openRefusingJournals;
        copy.zName = NoJournalVfs;
        copy.pNext = nullptr;
        return copy;
    }();
    static const bool registered = sqlite3_vfs_register(&shim, 0) == SQLITE_OK;
    return registered ? NoJournalVfs : nullptr;
}

// A write to an open database that cannot make its journal file: the
// folder holding the database does not let files be made.
QString journalWorded(sqlite3 *db, int ext, const QString &msg) {
    if ((ext & 0xFF) != SQLITE_CANTOPEN && ext != SQLITE_READONLY_DIRECTORY) return msg;
    const char *file = sqlite3_db_filename(db, "main");
    const QString name = file && *file ? QFile::decodeName(file) : QStringLiteral("the database");
    return QStringLiteral("Cannot save to %1: its folder does not let Quillary make the journal file beside it. "
                          "The change is not saved. (%2)")
        .arg(QDir::toNativeSeparators(name), msg);
}

sqlite3 *openHandle(const QString &path, int flags) {
    const QByteArray native = QFile::encodeName(path);
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(native.constData(), &db, flags, vfsName());
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw DbError(msg, {}, rc);
    }
    return db;
}

} // namespace

void Database::SetJournalsRefused(bool refused) { refuseJournals = refused; }

DbError::DbError(const QString &text, const QString &sql, int code)
    : std::runtime_error(text.toStdString()), m_text(text), m_sql(sql), m_code(code) {}

QString QuoteIdentifier(const QString &name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString InsertSql(const QString &table, const QStringList &quotedColumns) {
    if (quotedColumns.isEmpty()) return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QuoteIdentifier(table));
    QStringList marks;
    for (qsizetype i = 0; i < quotedColumns.size(); ++i) marks.append(QStringLiteral("?"));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(QuoteIdentifier(table), quotedColumns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

FieldType FieldTypeOfDeclaration(const QString &declared, int *size) {
    *size = 0;
    const QString d = FoldUpper(declared.trimmed());
    static const QRegularExpression sized(QStringLiteral("^(VARCHAR|CHAR|TEXT|NVARCHAR|NCHAR)\\s*\\(\\s*(\\d+)\\s*\\)"));
    const auto m = sized.match(d);
    if (m.hasMatch()) {
        *size = m.captured(2).toInt();
        return FieldType::Text;
    }
    if (d.startsWith(QLatin1String("SMALLINT")) || d.startsWith(QLatin1String("SHORT")) ||
        d.startsWith(QLatin1String("TINYINT")) || d.startsWith(QLatin1String("BYTE")))
        return FieldType::Int16;
    if (d.contains(QLatin1String("INT")) || d.startsWith(QLatin1String("LONG ")) || d == QLatin1String("LONG") ||
        d.startsWith(QLatin1String("COUNTER")))
        return FieldType::Int32;
    if (d.startsWith(QLatin1String("REAL")) || d.startsWith(QLatin1String("FLOAT")) ||
        d.startsWith(QLatin1String("DOUBLE")) || d.startsWith(QLatin1String("NUMERIC")) ||
        d.startsWith(QLatin1String("DECIMAL")) || d.startsWith(QLatin1String("CURRENCY")))
        return FieldType::Float;
    if (d.startsWith(QLatin1String("DATE")) || d.startsWith(QLatin1String("TIME"))) return FieldType::DateTime;
    return FieldType::Memo;
}

// ---- Statement -------------------------------------------------------------

Statement::Statement(sqlite3 *db, const QString &sql) : m_db(db), m_sql(sql) {
    // SQLite reads a statement only up to a NUL, which would cut a value short.
    if (sql.contains(QChar(0)))
        throw DbError(QStringLiteral("A value holds a NUL character (code 0), which cannot be used in the database."),
                      sql, SQLITE_MISUSE);
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, &tail);
    if (rc != SQLITE_OK) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        m_stmt = nullptr;
        throw DbError(msg, sql, sqlite3_extended_errcode(db));
    }
    if (!m_stmt) throw DbError(QStringLiteral("The SQL statement is empty."), sql, SQLITE_MISUSE);
    // Only blanks and comments may follow: a second statement is refused, never dropped.
    for (const char *p = tail; p && *p;) {
        if (std::isspace(static_cast<unsigned char>(*p)) || *p == ';') { ++p; continue; }
        if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n') ++p;
            continue;
        }
        if (p[0] == '/' && p[1] == '*') {
            const char *close = std::strstr(p + 2, "*/");
            p = close ? close + 2 : p + std::strlen(p);
            continue;
        }
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DbError(QStringLiteral("Only one SQL statement can be run at a time."), sql, SQLITE_MISUSE);
    }
}

Statement::~Statement() { finalize(); }

Statement::Statement(Statement &&other) noexcept
    : m_db(other.m_db), m_stmt(other.m_stmt), m_sql(std::move(other.m_sql)) {
    other.m_stmt = nullptr;
}

Statement &Statement::operator=(Statement &&other) noexcept {
    if (this != &other) {
        finalize();
        m_db = other.m_db;
        m_stmt = other.m_stmt;
        m_sql = std::move(other.m_sql);
        other.m_stmt = nullptr;
    }
    return *this;
}

void Statement::finalize() {
    if (m_stmt) sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

void Statement::bind(int index, const QVariant &value) {
    int rc;
    if (value.isNull() || !value.isValid()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = value.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            // A NUL typed or pasted into a value means nothing: it goes.
            QByteArray t = value.toString().toUtf8();
            if (memchr(t.constData(), 0, size_t(t.size()))) t.replace('\0', QByteArray());
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)), m_sql, rc);
}

void Statement::bindAll(const QVariantList &values) {
    const int n = sqlite3_bind_parameter_count(m_stmt);
    if (values.size() != n)
        throw DbError(QStringLiteral("The statement needs %1 values but was given %2.").arg(n).arg(values.size()), m_sql);
    for (int i = 0; i < n; ++i) bind(i + 1, values[i]);
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int ext = sqlite3_extended_errcode(m_db);
    QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_reset(m_stmt);
    if ((ext & 0xFF) == SQLITE_CONSTRAINT && (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)) {
        QString cols = msg.section(QLatin1Char(':'), 1).trimmed();
        static const QRegularExpression tablePrefix(QStringLiteral("[^,\\s]+\\."));
        cols.replace(tablePrefix, QString());
        msg = QStringLiteral("The record cannot be saved: it would create duplicate values in the unique index (%1).")
                  .arg(cols);
    } else if ((ext & 0xFF) == SQLITE_BUSY || (ext & 0xFF) == SQLITE_LOCKED) {
        msg = QStringLiteral("The database is locked by another program (%1).").arg(msg);
    } else {
        msg = journalWorded(m_db, ext, msg);
    }
    throw DbError(msg, m_sql, ext);
}

void Statement::reset() {
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

int Statement::columnCount() const { return sqlite3_column_count(m_stmt); }

QVariant Statement::column(int index) const {
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_stmt, index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, index);
    case SQLITE_TEXT:
        return columnText(index);
    case SQLITE_BLOB: {
        const auto *p = static_cast<const char *>(sqlite3_column_blob(m_stmt, index));
        return QByteArray(p, sqlite3_column_bytes(m_stmt, index));
    }
    default:
        return QVariant();
    }
}

QString Statement::columnText(int index) const {
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, index));
    return QString::fromUtf8(t, sqlite3_column_bytes(m_stmt, index));
}

// ---- Database --------------------------------------------------------------

int Database::BusyTimeoutMs = 5000;

Database::Database() = default;

Database::~Database() {
    close();
    for (Dataset *ds : m_datasets) ds->databaseGone();
    for (Query *q : m_queries) q->databaseGone();
}

void Database::configure() {
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    RegisterSqlFunctions(m_db);
    sqlite3_set_authorizer(m_db, &Database::authorize, this);
    sqlite3_update_hook(m_db, &Database::rowWritten, this);
}

Database::ChangeStamp Database::changeStamp() const {
    ChangeStamp s;
    if (!m_db || !sqlite3_get_autocommit(m_db)) return s;
    try {
        Statement data(m_db, QStringLiteral("PRAGMA data_version"));
        Statement schema(m_db, QStringLiteral("PRAGMA schema_version"));
        if (!data.step() || !schema.step()) return s;
        s.dataVersion = sqlite3_column_int64(data.get(), 0);
        s.schema = sqlite3_column_int64(schema.get(), 0);
    } catch (const DbError &) {
        return s;
    }
    s.open = m_openCount;
    s.changes = sqlite3_total_changes64(m_db);
    return s;
}

void Database::rowWritten(void *self, int, const char *, const char *table, qint64 rowid) {
    auto *db = static_cast<Database *>(self);
    for (const auto &[owner, listener] : db->m_rowListeners)
        listener(db, table, rowid);
}

void Database::setRowWriteListener(const void *owner, RowWriteListener listener) {
    for (auto it = m_rowListeners.begin(); it != m_rowListeners.end(); ++it)
        if (it->first == owner) {
            m_rowListeners.erase(it);
            break;
        }
    if (listener) m_rowListeners.emplace_back(owner, std::move(listener));
}

bool Database::hasRowWriteListener(const void *owner) const {
    for (const auto &entry : m_rowListeners)
        if (entry.first == owner) return true;
    return false;
}

void Database::open(const QString &path) {
    close();
    const QFileInfo fi(path);
    if (!fi.exists()) throw DbError(QStringLiteral("File not found."));
    if (fi.isDir()) throw DbError(QStringLiteral("The name is a folder, not a database file."));
    QByteArray header;
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("The file cannot be read."));
        header = f.read(100);
    }
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16))) {
        if (header.mid(4, 15) == "Standard Jet DB" || header.mid(4, 15) == "Standard ACE DB")
            throw DbError(QStringLiteral("The file is a Microsoft Access database, which this version of "
                                         "Quillary cannot read."));
        throw DbError(QStringLiteral("The file is not a Quillary database."));
    }
    if (!(fi.permissions() & QFileDevice::WriteOwner) || !fi.isWritable())
        throw DbError(QStringLiteral("The file is read-only."));

    m_db = openHandle(path, SQLITE_OPEN_READWRITE);
    m_path = path;
    ++m_openCount;
    try {
        if (sqlite3_db_readonly(m_db, "main") == 1) throw DbError(QStringLiteral("The file is read-only."));
        configure();
        int version = 0;
        try {
            Statement v(m_db, QStringLiteral("PRAGMA user_version"));
            v.step();
            version = int(v.column(0).toLongLong());
            Statement t(m_db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
            t.step();
        } catch (const DbError &e) {
            const int primary = e.code() & 0xFF;
            if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw;
            throw DbError(QStringLiteral("The file is not a Quillary database."), {}, e.code());
        }
        if (version > SchemaVersion)
            throw DbError(QStringLiteral("The file comes from a newer version of Quillary (database version %1); "
                                         "this version reads versions up to %2.")
                              .arg(version)
                              .arg(SchemaVersion));
        if (!hasTable(QStringLiteral("Dances")) || !hasTable(QStringLiteral("Events")))
            throw DbError(QStringLiteral("The file is not a Quillary database: it has no Dances and Events tables."));
        checkFields();
        {
            Statement j(m_db, QStringLiteral("PRAGMA journal_mode"));
            if (j.step() && !SameText(j.columnText(0), QStringLiteral("delete"))) {
                j.finalize();
                execRaw(QStringLiteral("PRAGMA journal_mode=DELETE"));
            }
        }
        execRaw(QStringLiteral("PRAGMA synchronous=FULL"));
        if (version < SchemaVersion) applyUpgrades(version);
    } catch (...) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_path.clear();
        throw;
    }
}

namespace {
// The fields of Dances and Events as the schema makes them.
const QList<QPair<QString, QStringList>> &SchemaFields() {
    static const QList<QPair<QString, QStringList>> fields = [] {
        initSchemaResource();
        QFile schemaFile(QStringLiteral(":/database/schema.sql"));
        if (!schemaFile.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("The database schema is missing."));
        sqlite3 *mem = nullptr;
        sqlite3_open(":memory:", &mem);
        QList<QPair<QString, QStringList>> out;
        sqlite3_exec(mem, schemaFile.readAll().constData(), nullptr, nullptr, nullptr);
        for (const QString &table : {QStringLiteral("Dances"), QStringLiteral("Events")}) {
            QStringList names;
            Statement s(mem, QStringLiteral("SELECT name FROM pragma_table_info(?)"));
            s.bind(1, table);
            while (s.step()) names.append(s.columnText(0));
            s.finalize();
            out.append({table, names});
        }
        sqlite3_close(mem);
        return out;
    }();
    return fields;
}
} // namespace

void Database::checkFields() const {
    for (const auto &[table, names] : SchemaFields()) {
        QSet<QString> have;
        for (const FieldInfo &f : fields(table)) have.insert(FoldUpper(f.name));
        for (const QString &name : names) {
            if (have.contains(FoldUpper(name))) continue;
            if (table == QLatin1String("Dances") && name == QLatin1String("CD")) continue;
            throw DbError(QStringLiteral("The file is not a Quillary database: its %1 table has no field %2.")
                              .arg(table, name));
        }
    }
}

void Database::applyUpgrades(int from) {
    // Upgrade n takes a file from version n-1 to n; version 1 is the first
    // schema, so a file without a version only gets its number.
    for (int v = from + 1; v <= SchemaVersion; ++v) {
        Batch b(*this);
        execRaw(QStringLiteral("PRAGMA user_version=%1").arg(v));
        b.commit();
    }
}

void Database::create(const QString &path) {
    close();
    if (QFileInfo::exists(path)) throw DbError(QStringLiteral("The file already exists."));
    initSchemaResource();
    QFile schemaFile(QStringLiteral(":/database/schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("The database schema is missing."));
    const QString schema = QString::fromUtf8(schemaFile.readAll());

    m_db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    m_path = path;
    ++m_openCount;
    try {
        configure();
        execRaw(QStringLiteral("PRAGMA journal_mode=DELETE"));
        execRaw(QStringLiteral("PRAGMA synchronous=FULL"));
        Batch b(*this);
        execRaw(schema);
        execRaw(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion));
        b.commit();
    } catch (...) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_path.clear();
        QFile::remove(path);
        throw;
    }
}

void Database::close() {
    if (!m_db) return;
    for (Dataset *ds : QList<Dataset *>(m_datasets)) ds->connectionClosing();
    for (Query *q : QList<Query *>(m_queries)) q->close();
    m_kept.clear();
    // A statement still held elsewhere keeps the closed connection alive
    // until it is finalised.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_path.clear();
    m_batchDepth = 0;
}

void Database::execRaw(const QString &sql) {
    if (!m_db) throw DbError(QStringLiteral("The database is not open."), sql);
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : errorText();
        sqlite3_free(err);
        const int ext = sqlite3_extended_errcode(m_db);
        throw DbError(journalWorded(m_db, ext, msg), sql, ext);
    }
}

void Database::execKept(const QString &sql) {
    if (!m_db) throw DbError(QStringLiteral("The database is not open."), sql);
    auto it = m_kept.find(sql);
    if (it == m_kept.end()) it = m_kept.emplace(sql, Statement(m_db, sql)).first;
    it->second.step();
    it->second.reset();
}

QString Database::errorText() const {
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("The database is not open.");
}

DbError Database::errorFor(int rc, const QString &sql) const { return DbError(errorText(), sql, rc); }

QList<FieldInfo> Database::fields(const QString &table) const {
    QList<FieldInfo> out;
    if (!m_db) return out;
    Statement s(m_db, QStringLiteral("SELECT name, type, dflt_value FROM pragma_table_info(?) ORDER BY cid"));
    s.bind(1, table);
    while (s.step()) {
        FieldInfo f;
        f.name = s.columnText(0);
        f.type = FieldTypeOfDeclaration(s.columnText(1), &f.size);
        f.index = int(out.size());
        f.defaultValue = defaultOf(s.column(2));
        out.append(f);
    }
    return out;
}

bool Database::hasTable(const QString &table) const {
    if (!m_db) return false;
    Statement s(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"));
    s.bind(1, table);
    return s.step();
}

bool Database::hasField(const QString &table, const QString &field) const {
    for (const FieldInfo &f : fields(table))
        if (SameText(f.name, field)) return true;
    return false;
}

bool Database::hasIndex(const QString &name) const { return !indexTable(name).isEmpty(); }

QString Database::indexTable(const QString &name) const {
    if (!m_db) return QString();
    Statement s(m_db, QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE type='index' AND name=? COLLATE NOCASE"));
    s.bind(1, name);
    return s.step() ? s.columnText(0) : QString();
}

QStringList Database::indexColumns(const QString &name) const {
    QStringList out;
    if (!m_db) return out;
    Statement s(m_db, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"));
    s.bind(1, name);
    while (s.step()) out.append(s.columnText(0));
    return out;
}

QString Database::columnDefinition(const QString &table, const QString &column) const {
    if (!m_db) return QString();
    Statement s(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"));
    s.bind(1, table);
    if (!s.step()) return QString();
    const QString sql = s.columnText(0);
    QList<JetToken> tokens;
    try {
        tokens = TokenizeJet(sql);
    } catch (const DbError &) {
        return QString();
    }
    // Walk the column list: definitions split at commas outside parentheses.
    int depth = 0;
    QString current;
    QStringList defs;
    for (const JetToken &t : tokens) {
        if (t.kind == JetToken::Punct && t.text == QLatin1String("(")) {
            if (depth++ == 0) continue;
        } else if (t.kind == JetToken::Punct && t.text == QLatin1String(")")) {
            if (--depth == 0) {
                defs.append(current.trimmed());
                current.clear();
                continue;
            }
        } else if (depth == 1 && t.kind == JetToken::Punct && t.text == QLatin1String(",")) {
            defs.append(current.trimmed());
            current.clear();
            continue;
        }
        if (depth >= 1) current += t.text;
    }
    for (const QString &def : defs) {
        QList<JetToken> parts = TokenizeJet(def);
        int first = 0;
        while (first < parts.size() && parts[first].kind == JetToken::Space) ++first;
        if (first >= parts.size()) continue;
        if (SameText(unquoteId(parts[first].text), column)) {
            QString rest;
            for (int i = first + 1; i < parts.size(); ++i) rest += parts[i].text;
            return rest.trimmed();
        }
    }
    return QString();
}

QString Database::userVersionText() const {
    if (!m_db) return QString();
    Statement v(m_db, QStringLiteral("PRAGMA user_version"));
    v.step();
    return v.columnText(0);
}

void Database::tableChanged(const QString &table) {
    for (Dataset *ds : QList<Dataset *>(m_datasets))
        if (SameText(ds->tableName(), table)) ds->resync();
}

void Database::allTablesChanged() {
    for (Dataset *ds : QList<Dataset *>(m_datasets)) ds->resync();
}

void Database::startRecordingWrites() {
    m_written.clear();
    m_recording = true;
}

QSet<QString> Database::stopRecordingWrites() {
    m_recording = false;
    return std::exchange(m_written, {});
}

int Database::authorize(void *self, int action, const char *a, const char *, const char *, const char *) {
    auto *db = static_cast<Database *>(self);
    if (db->m_recording && a &&
        (action == SQLITE_INSERT || action == SQLITE_UPDATE || action == SQLITE_DELETE)) {
        const QString table = QString::fromUtf8(a);
        if (!table.startsWith(QLatin1String("sqlite_"), Qt::CaseSensitive)) db->m_written.insert(table);
    }
    return SQLITE_OK;
}

void Database::attach(Dataset *ds) {
    if (!m_datasets.contains(ds)) m_datasets.append(ds);
}
void Database::detach(Dataset *ds) { m_datasets.removeAll(ds); }
void Database::attach(Query *q) {
    if (!m_queries.contains(q)) m_queries.append(q);
}
void Database::detach(Query *q) { m_queries.removeAll(q); }

// ---- Batch -----------------------------------------------------------------

Batch::Batch(Database &db) : m_db(db), m_level(db.m_batchDepth + 1) {
    // A nested savepoint's statements are kept (a run of posts inside one
    // transaction); the outermost release commits, and keeps its own wording
    // of a lock held elsewhere.
    const QString sql = QStringLiteral("SAVEPOINT batch%1").arg(m_level);
    if (m_level > 1) db.execKept(sql);
    else db.execRaw(sql);
    db.m_batchDepth = m_level;
}

void Batch::commit() {
    if (m_done) return;
    const QString sql = QStringLiteral("RELEASE batch%1").arg(m_level);
    if (m_level > 1) m_db.execKept(sql);
    else m_db.execRaw(sql);
    m_done = true;
    m_db.m_batchDepth = m_level - 1;
}

Batch::~Batch() {
    if (m_done) return;
    m_db.m_batchDepth = m_level - 1;
    if (!m_db.isOpen()) return;
    try {
        m_db.execRaw(QStringLiteral("ROLLBACK TO batch%1").arg(m_level));
        m_db.execRaw(QStringLiteral("RELEASE batch%1").arg(m_level));
    } catch (...) {
        // The engine may have rolled the transaction back itself already.
    }
    // The outermost batch leaves no transaction open, whatever refused its
    // end: a commit refused by a lock held elsewhere would otherwise keep
    // every later write inside it, never committed.
    if (m_level == 1 && !sqlite3_get_autocommit(m_db.handle())) {
        try {
            m_db.execRaw(QStringLiteral("ROLLBACK"));
        } catch (...) {
        }
    }
    try {
        m_db.allTablesChanged();
    } catch (...) {
    }
}

qint64 Database::insertRow(const QString &table, const QList<QPair<QString, QVariant>> &values) {
    QStringList names, marks;
    QVariantList params;
    for (const auto &v : values) {
        names.append(QLatin1Char('"') + v.first + QLatin1Char('"'));
        marks.append(QStringLiteral("?"));
        params.append(v.second);
    }
    Statement s(handle(), QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                              .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    s.bindAll(params);
    s.step();
    return sqlite3_last_insert_rowid(handle());
}
