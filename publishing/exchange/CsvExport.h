#pragma once
// The export of the Events or the Dances table, as filtered, to a delimited
// text file: the checks of the dialog's input and the run.

#include <QChar>
#include <QList>
#include <QString>

class Dataset;

// "The table is not filtered and contains n records.", without "not " for a
// filtered table.
QString ExportInfoText(bool filtered, int count);

// The dialog's input checked: "" when it can run, else the message to show.
// A count that is not a whole number gives its message and *count 0.
QString ExportInputFault(const QString &file, const QString &countText, int *count);

struct ExportJob {
    Dataset *dataset = nullptr;
    QString file;
    QChar delimiter = QLatin1Char('"');
    QChar separator = QLatin1Char(',');
    bool delimitNumerics = false;
    bool fieldNames = false;
    bool allFields = true;
    QList<int> fields; // without allFields, the exported fields in field order
    int recordCount = 0; // 0: every record from the first; n: n from the current one
};

// Writes the file (by the write rule, whole) with the progress box "Export";
// the controls of both tables are disabled meanwhile. A Cancel keeps the
// lines written so far. Gives the number of records written; throws
// std::runtime_error when the file cannot be written.
int RunExport(const ExportJob &job);
