#include "publishing/catalogue/Resize.h"

#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "platform/sqlite/Dataset.h"

QList<ResizeRow> ResizeRows(Dataset &ds) {
    QList<ResizeRow> rows;
    for (const FieldInfo &f : ds.fieldInfos())
        if (f.type == FieldType::Text && f.size > 0) rows.append({f.name, f.size, QString()});
    return rows;
}

QString ResizeFault(const QString &table, const QList<ResizeRow> &rows) {
    for (const ResizeRow &r : rows) {
        if (r.box.trimmed().isEmpty()) continue;
        bool ok = false;
        const int n = r.box.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > 255)
            return QStringLiteral("%1: \"%2\" is not a length from 1 to 255.").arg(r.field, r.box);
        Statement s(Conn.handle(), QStringLiteral("SELECT max(length(\"%1\")) FROM \"%2\"").arg(r.field, table));
        const int longest = s.step() ? s.column(0).toInt() : 0;
        if (n < longest)
            return QStringLiteral("%1: a value of %2 characters is stored, longer than the new length %3.")
                .arg(r.field)
                .arg(longest)
                .arg(n);
    }
    return QString();
}

void ApplyResize(Dataset &ds, const QList<ResizeRow> &rows) {
    const QString table = ds.tableName();
    const bool wasOpen = ds.active();
    ds.close();
    try {
        Batch batch(Conn);
        for (const ResizeRow &r : rows)
            if (!r.box.trimmed().isEmpty())
                RunSQL(QStringLiteral("Alter Table %1 Alter Column %2 Text(%3)").arg(table, r.field).arg(r.box.trimmed().toInt()));
        batch.commit();
    } catch (...) {
        if (wasOpen) ds.open();
        throw;
    }
    if (wasOpen) ds.open();
}
