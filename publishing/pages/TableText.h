#pragma once
// The line table notation shared with the sibling HTML editor: one row a
// line, cells parted by "|" (a final "|" adds no cell); "!" + attributes +
// "|" at the front gives the row's TR attributes; a first cell "!" +
// attributes + "|" + content is a single header cell; a cell may begin with
// attributes a="note", w=site, e=address (quoted, or up to a blank).

#include <QChar>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct TableTextCell {
    QList<QPair<QChar, QString>> attributes; // letter (as written) and value
    QString content;
};

struct TableTextRow {
    bool hasRowAttributes = false;
    QString rowAttributes;
    bool headerCell = false;      // a single header cell
    QString headerAttributes;     // its attributes
    QString rest;                 // the line after the row attributes
    QList<TableTextCell> cells;   // the cells (not for a single header cell)
};

TableTextRow ParseTableTextRow(const QString &line);
// A cell's leading attributes taken off; leading blanks after each dropped.
TableTextCell ParseTableTextCell(const QString &cell);

// The lines of a text, parted at CR LF, CR or LF.
QStringList SplitLines(const QString &text);
