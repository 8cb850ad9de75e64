#include "publishing/exchange/CsvImport.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/TextRoutines.h"
#include "base/Messages.h"
#include "core/dances/DanceRecord.h"
#include "core/database/TableWalk.h"
#include "core/dialogs/Progress.h"
#include "core/services/MainWindowLink.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/TableAppender.h"
#include "publishing/exchange/Csv.h"

#include <QCoreApplication>

bool ImportWindowExists = false;

bool ImportFieldMap::click(int output, int input) {
    const int fed = source(output);
    if (fed >= 0) {
        m_feeds[fed] = -1;
        return false;
    }
    if (input < 0 || input >= m_feeds.size()) return false;
    m_feeds[input] = output;
    return true;
}

void ImportFieldMap::identical(int n) {
    m_feeds.fill(-1);
    for (int i = 0; i < n && i < m_feeds.size(); ++i) m_feeds[i] = i;
}

QStringList ImportPreview(const QByteArray &bytes) {
    CsvReader reader = CsvReader::fromBytes(bytes);
    QStringList fields;
    reader.readRecord(&fields, false);
    for (QString &field : fields)
        if (field.size() > MaxPreviewChars) field.truncate(MaxPreviewChars);
    return fields;
}

namespace {

// A value as the progress box quotes it: cut short, a NUL shown as "\0".
QString shown(const QString &value) { return MessageValue(value).replace(QChar(0), QStringLiteral("\\0")); }

// Puts the dataset's hooks and controls back however the run ends.
class RunGuard {
public:
    explicit RunGuard(Dataset &ds)
        : m_ds(ds), m_postError(ds.OnPostError), m_afterScroll(ds.AfterScroll), m_window(ImportWindowExists) {
        ds.OnPostError = nullptr;
        ds.AfterScroll = nullptr;
        ds.DisableControls();
        ImportWindowExists = true;
    }
    ~RunGuard() {
        if (m_ds.State() == DatasetState::Insert) m_ds.Cancel();
        m_ds.OnPostError = m_postError;
        m_ds.AfterScroll = m_afterScroll;
        m_ds.EnableControls();
        ImportWindowExists = m_window;
    }

private:
    Dataset &m_ds;
    std::function<void(Dataset &, const DbError &, PostErrorAction &)> m_postError;
    std::function<void(Dataset &)> m_afterScroll;
    bool m_window;
};

// Why a text cannot go into the field, or "" when it can; the field's value
// goes to *value.
QString valueFault(const FieldInfo &field, const QString &text, QVariant *value) {
    // The database would cut the text at it without a word.
    if (text.contains(QChar(0))) return QStringLiteral("A value may not hold a NUL character.");
    if (const QString fault = Field::SizeFault(field, text); !fault.isEmpty()) return fault;
    try {
        *value = Field::FromText(field, text);
    } catch (const DbError &e) {
        return e.text();
    }
    return QString();
}

// The record of one line, built field by field and then stored straight into
// the table: the record hooks have nothing to do while the import runs, and
// the dataset learns of the new rows once, at the end.
class RecordWriter {
public:
    RecordWriter(const ImportJob &job, TProgress &progress)
        : job(job), progress(progress), table(*job.dataset->database(), job.dataset->tableName()),
          fields(table.fields()), values(fields.size()), assigned(fields.size(), 0) {
        key = indexOf(job.keyField);
        format = indexOf(QStringLiteral("Format"));
        style = indexOf(QStringLiteral("Style"));
    }

    // True when the line's record was stored.
    bool write(const QStringList &line, bool endedInQuotes) {
        assigned.fill(0);
        struct Refusal {
            QString value, field, error;
        };
        QList<Refusal> refused;
        for (int i = 0; i < line.size(); ++i) {
            const int out = job.map.feeds(i);
            if (out < 0 || out >= fields.size() || line.at(i).isEmpty()) continue;
            const QString fault = valueFault(fields[out], line.at(i), &values[out]);
            if (fault.isEmpty()) assigned[out] = 1;
            else refused.append({line.at(i), fields[out].name, fault});
        }
        const QString keyText = shown(text(key));
        if (endedInQuotes) progress.AddError(QStringLiteral("End of file found within quoted string: ") + keyText);
        for (const Refusal &r : refused) {
            progress.AddLine(r.error);
            progress.AddError(QStringLiteral("Invalid value: ") + shown(r.value) + QStringLiteral("  Field: ") + r.field +
                              QStringLiteral("  ") + job.keyField + QStringLiteral(": ") + keyText);
        }
        if (!refused.isEmpty()) return false;
        if (job.isDances) {
            const QString keyFault = DanceKeyFault({text(key), text(format), text(style)});
            if (!keyFault.isEmpty()) {
                progress.AddError(keyFault + QStringLiteral(":  ") + keyText);
                return false;
            }
        }
        try {
            table.append(values, assigned);
        } catch (const DbError &e) {
            const QString error = e.text().contains(QLatin1String("create duplicate values")) ? QStringLiteral("Duplicate key")
                                                                                               : e.text();
            progress.AddError(error + QStringLiteral(":  ") + keyText);
            return false;
        }
        progress.AddLine(keyText);
        return true;
    }

private:
    int indexOf(const QString &name) const {
        for (int i = 0; i < fields.size(); ++i)
            if (SameText(fields[i].name, name)) return i;
        return -1;
    }
    // A field's text as the record holds it: the line's value, else the default.
    QString text(int field) const {
        if (field < 0) return QString();
        return Field::TextOf(fields[field], assigned.at(field) ? values[field] : fields[field].defaultValue);
    }

    const ImportJob &job;
    TProgress &progress;
    TableAppender table;
    const QList<FieldInfo> fields;
    QVariantList values;
    QByteArray assigned;
    int key = -1, format = -1, style = -1;
};

} // namespace

ImportEnd RunImport(const ImportJob &job, int *stored) {
    if (stored) *stored = 0;
    CsvReader reader = CsvReader::fromBytes(job.bytes);
    if (reader.size() == 0) {
        ShowMsg(QStringLiteral("Input file is empty."));
        return ImportEnd::Empty;
    }
    // A file marked as UTF-8 that is not is refused whole; an unmarked one
    // with UTF-8 in it as well is read by the rule, and the box says so.
    const bool utf8Mark = job.bytes.startsWith("\xEF\xBB\xBF");
    const bool utf16 = job.bytes.startsWith("\xFF\xFE") || job.bytes.startsWith("\xFE\xFF");
    const Utf8Scan scan = utf16 ? Utf8Scan{} : ScanUtf8(job.bytes);
    if (utf8Mark && scan.firstBadLine > 0) {
        ShowMsg(QStringLiteral("Line %1 holds a byte that is not UTF-8, though the file is marked as UTF-8.\r"
                               "Nothing was imported.")
                    .arg(scan.firstBadLine));
        return ImportEnd::Failed;
    }
    Dataset &ds = *job.dataset;
    TProgress progress(job.caption);
    progress.SetWidth(350);
    if (!utf8Mark && scan.multiByte && scan.firstBadLine > 0)
        progress.AddLine(QStringLiteral("Read as Windows-1252: line %1 holds a byte that is not UTF-8.").arg(scan.firstBadLine));
    ImportEnd end = ImportEnd::Committed;
    int count = 0, shown = -1;
    {
        // The record shown before comes back afterwards, whole.
        TableWalk walk{&ds};
        RunGuard guard(ds);
        try {
            Batch batch(*ds.database());
            RecordWriter writer(job, progress);
            if (job.hasNames) reader.skipRecord();
            QStringList fields;
            while (reader.readRecord(&fields, true)) {
                if (reader.blankRecord()) continue;
                // The box is brought up to date when its percentage moves.
                const int percent = int(reader.position() * 100 / reader.size());
                if (percent != shown) {
                    shown = percent;
                    progress.SetPercent(percent);
                    QCoreApplication::processEvents();
                }
                if (CancelRun) {
                    end = ImportEnd::Cancelled;
                    break;
                }
                if (fields.size() > MaxImportFields) {
                    progress.AddError(QStringLiteral("Line %1 has more than %2 fields.")
                                          .arg(reader.lineNumber())
                                          .arg(MaxImportFields));
                    end = ImportEnd::Failed;
                    break;
                }
                if (writer.write(fields, reader.endedInQuotes())) ++count;
            }
            if (end == ImportEnd::Committed) {
                batch.commit();
                ds.database()->tableChanged(ds.tableName());
            }
        } catch (const std::exception &e) {
            const DbError *db = dynamic_cast<const DbError *>(&e);
            progress.AddError(db ? db->text() : QString::fromLocal8Bit(e.what()));
            end = ImportEnd::Failed;
        }
    }
    if (end == ImportEnd::Cancelled) progress.AddLine(QStringLiteral("Import cancelled: nothing was imported."));
    else if (end == ImportEnd::Failed) progress.AddLine(QStringLiteral("Import ended: nothing was imported."));
    else if (stored) *stored = count;
    progress.Finish();
    TheMainWindow().ShowDance();
    return end;
}
