#include "publishing/pages/TableText.h"

#include "publishing/pages/Html.h"

#include <QRegularExpression>

QStringList SplitLines(const QString &text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return text.split(breaks);
}

TableTextCell ParseTableTextCell(const QString &cell) {
    TableTextCell c;
    QString rest = cell;
    while (rest.size() >= 2 && rest[0].isLetter() && rest[0].unicode() < 128 && rest[1] == QLatin1Char('=')) {
        QString value;
        qsizetype end;
        if (rest.size() > 2 && rest[2] == QLatin1Char('"')) {
            const qsizetype close = rest.indexOf(QLatin1Char('"'), 3);
            value = rest.mid(3, (close < 0 ? rest.size() : close) - 3);
            end = close < 0 ? rest.size() : close + 1;
        } else {
            const qsizetype blank = rest.indexOf(QLatin1Char(' '), 2);
            end = blank < 0 ? rest.size() : blank;
            value = rest.mid(2, end - 2);
        }
        c.attributes.append({rest[0], value});
        rest.remove(0, end);
        qsizetype blanks = 0;
        while (blanks < rest.size() && rest[blanks] == QLatin1Char(' ')) ++blanks;
        rest.remove(0, blanks);
    }
    c.content = rest;
    return c;
}

TableTextRow ParseTableTextRow(const QString &line) {
    TableTextRow row;
    QString rest = line;
    if (rest.startsWith(QLatin1Char('!'))) {
        const qsizetype bar = rest.indexOf(QLatin1Char('|'));
        row.hasRowAttributes = true;
        row.rowAttributes = rest.mid(1, (bar < 0 ? rest.size() : bar) - 1);
        rest = bar < 0 ? QString() : rest.mid(bar + 1);
    }
    row.rest = rest;
    if (rest.startsWith(QLatin1Char('!'))) {
        const qsizetype bar = rest.indexOf(QLatin1Char('|'));
        row.headerCell = true;
        row.headerAttributes = rest.mid(1, (bar < 0 ? rest.size() : bar) - 1);
        row.cells.append({{}, bar < 0 ? QString() : rest.mid(bar + 1)});
        return row;
    }
    QStringList cells = rest.split(QLatin1Char('|'));
    if (cells.size() > 1 && cells.last().isEmpty()) cells.removeLast();
    for (const QString &cell : cells) row.cells.append(ParseTableTextCell(cell));
    return row;
}

QString TableTextValue(const QString &value, const QString &lineBreak) {
    QString v = HtmlValue(value, QChar());
    v.replace(QLatin1Char('|'), QLatin1String("&#124;"));
    v.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    v.replace(QLatin1Char('\n'), lineBreak);
    // A cell drops the blanks after an attribute, so look past them.
    qsizetype i = 0;
    while (i < v.size() && v[i] == QLatin1Char(' ')) ++i;
    if (i < v.size() && v[i] == QLatin1Char('!'))
        v.replace(i, 1, QLatin1String("&#33;"));
    else if (i + 1 < v.size() && v[i].isLetter() && v[i].unicode() < 128 && v[i + 1] == QLatin1Char('='))
        v.replace(i + 1, 1, QLatin1String("&#61;"));
    return v;
}

QString TableTextHref(const QString &address) {
    const QString href = HtmlHref(address);
    QString out;
    for (const QChar c : href) {
        if (c.unicode() <= ' ' || c == QLatin1Char('|') || c.unicode() == 0x7F)
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}
