#include "platform/sqlite/TableRebuild.h"

#include "base/Cp1252.h"
#include "platform/sqlite/Database.h"

#include <QRegularExpression>

namespace {

QString quoted(const QString &name) { return QLatin1Char('"') + QString(name).replace('"', "\"\"") + QLatin1Char('"'); }

} // namespace

void RebuildWithColumnSize(Database &db, const QString &table, const QString &column, int size) {
    const QString statement = QStringLiteral("Alter Table %1 Alter Column %2 Text(%3)").arg(table, column).arg(size);
    if (size < 1 || size > 255) throw DbError(QStringLiteral("A text column holds 1 to 255 characters."), statement);
    const QList<FieldInfo> fields = db.fields(table);
    if (fields.isEmpty()) throw DbError(QStringLiteral("There is no table %1.").arg(table), statement);
    QString name; // the table's own spelling
    {
        Statement s(db.handle(), QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"));
        s.bind(1, table);
        if (s.step()) name = s.columnText(0);
    }
    QStringList definitions, columns;
    bool found = false;
    static const QRegularExpression sized(QStringLiteral("^VARCHAR\\(\\d+\\)"), QRegularExpression::CaseInsensitiveOption);
    for (const FieldInfo &f : fields) {
        QString definition = db.columnDefinition(name, f.name);
        if (SameText(f.name, column)) {
            if (f.type != FieldType::Text || !sized.match(definition).hasMatch())
                throw DbError(QStringLiteral("The field %1 is not a sized text field.").arg(f.name), statement);
            definition.replace(sized, QStringLiteral("VARCHAR(%1)").arg(size));
            found = true;
        }
        definitions.append(quoted(f.name) + QLatin1Char(' ') + definition);
        columns.append(quoted(f.name));
    }
    if (!found) throw DbError(QStringLiteral("There is no field %1 in %2.").arg(column, name), statement);

    QStringList extras; // indexes and triggers, made again after the rename
    {
        Statement s(db.handle(), QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name=? AND type IN "
                                                "('index','trigger') AND sql IS NOT NULL ORDER BY rowid"));
        s.bind(1, name);
        while (s.step()) extras.append(s.columnText(0));
    }
    const QString scratch = name + QStringLiteral("_resized");
    const QString list = columns.join(QStringLiteral(", "));
    Batch batch(db);
    db.execRaw(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(scratch), definitions.join(QStringLiteral(", "))));
    db.execRaw(QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT rowid, %2 FROM %3").arg(quoted(scratch), list, quoted(name)));
    db.execRaw(QStringLiteral("DROP TABLE %1").arg(quoted(name)));
    db.execRaw(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(scratch), quoted(name)));
    for (const QString &sql : extras) db.execRaw(sql);
    batch.commit();
    db.tableChanged(name);
}
