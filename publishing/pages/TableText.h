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

// A value from the catalogue as table text, made to stay one cell's text
// (or a quoted attribute value) whatever it holds: mark-up characters and
// "|" become references, so the page shows the value as typed; line breaks
// (CR LF, CR or LF) become lineBreak, so no value starts a row; a leading
// "!" or letter + "=" is escaped, so no value gives row, header or cell
// attributes.
QString TableTextValue(const QString &value, const QString &lineBreak);
// A web address for an href in table text: as HtmlHref makes it, with "|",
// blanks and control characters (line breaks) as "%" escapes, so it ends no
// cell or row.
// Empty for an address that is no web address or relative file name.
QString TableTextHref(const QString &address);

// The lines of a text, parted at CR LF, CR or LF.
QStringList SplitLines(const QString &text);
