#include "publishing/exchange/CsvExport.h"

#include "base/Cp1252.h"
#include "core/database/TableWalk.h"
#include "core/database/Tables.h"
#include "core/dialogs/Progress.h"
#include "platform/sqlite/Dataset.h"
#include "publishing/exchange/Csv.h"

#include <QCoreApplication>

QString ExportInfoText(bool filtered, int count) {
    QString text = QStringLiteral("The table is not filtered and contains %1 records.").arg(count);
    if (filtered) text.remove(QStringLiteral("not "));
    return text;
}

QString ExportInputFault(const QString &file, const QString &countText, int *count) {
    *count = 0;
    if (file.trimmed().isEmpty()) return QStringLiteral("Output file name must be specified.");
    bool ok = false;
    const int n = countText.trimmed().toInt(&ok);
    if (!ok || n < 0) return QStringLiteral("Record Count must be numeric.");
    *count = n;
    return QString();
}

int RunExport(const ExportJob &job) {
    Dataset &ds = *job.dataset;
    QList<int> fields = job.allFields ? QList<int>() : job.fields;
    if (job.allFields)
        for (int i = 0; i < ds.FieldCount(); ++i) fields.append(i);
    QList<bool> delimited;
    QStringList names;
    for (int f : fields) {
        const FieldType t = ds.Fields(f).DataType();
        delimited.append(job.delimitNumerics || (t != FieldType::Int16 && t != FieldType::Int32));
        names.append(ds.Fields(f).FieldName());
    }
    TProgress progress(QStringLiteral("Export"));
    progress.SetWidth(350);
    const int total = std::max(1, job.recordCount > 0 ? job.recordCount : ds.VisibleCount());
    QString text;
    int written = 0, shown = -1;
    {
        // The shown records come back afterwards, whole.
        TableWalk walk{&EventsData, &DancesData};
        // One read transaction for the walk: each row's reads then share the
        // file lock instead of taking and dropping it, and the lines come from
        // one consistent state of the file.
        Batch reading(*ds.database());
        if (job.recordCount == 0) ds.First();
        if (job.fieldNames) text += CsvLine(names, QList<bool>(names.size(), true), job.delimiter, job.separator);
        QStringList values;
        while (!ds.Eof() && !ds.IsEmpty()) {
            // The box is brought up to date when its percentage moves.
            const int percent = std::min(100, (written + 1) * 100 / total);
            if (percent != shown) {
                shown = percent;
                progress.SetPercent(percent);
                QCoreApplication::processEvents();
            }
            if (CancelRun) break;
            values.clear();
            for (int f : fields) values.append(ds.Fields(f).AsString());
            text += CsvLine(values, delimited, job.delimiter, job.separator);
            ++written;
            ds.Next();
            if (job.recordCount > 0 && written >= job.recordCount) break;
        }
        reading.commit();
    }
    WriteTextFile(job.file, text);
    progress.AddLine(QStringLiteral("Records output to %1: %2").arg(job.file).arg(written));
    progress.Finish();
    return written;
}
