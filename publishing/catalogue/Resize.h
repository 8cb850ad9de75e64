#pragma once
// New sizes for the sized text fields of a table: the checks of the typed
// lengths and the statements that apply them together.

#include <QList>
#include <QString>

class Dataset;

struct ResizeRow {
    QString field;
    int current = 0;
    QString box; // the new length as typed; "" leaves the field alone
};

// One row per sized text field of the dataset, in field order.
QList<ResizeRow> ResizeRows(Dataset &dataset);

// The first box that cannot be applied, as a message naming the field and
// the length; "" when all can. A length is a whole number from 1 to 255 and
// not below the longest value the field holds.
QString ResizeFault(const QString &table, const QList<ResizeRow> &rows);

// Runs "Alter Table T Alter Column F Text(n)" for each filled box, in field
// order, in one transaction, with the dataset closed meanwhile. Throws
// DbError, having changed nothing, when a statement fails.
void ApplyResize(Dataset &dataset, const QList<ResizeRow> &rows);
