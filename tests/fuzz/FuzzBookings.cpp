// The bookings page reader and the table text on any text: the caller's page
// is read (its old table found or refused, never a search without end) and a
// page made from it reads the same from the second making on; any value put
// into table text stays one cell's text without attributes; a table made
// from any booking gives rows of five cells, links only to http(s).
#include "FuzzSupport.h"
#include "base/Dates.h"
#include "publishing/pages/BookingsPage.h"
#include "publishing/pages/TableText.h"

#include <QDate>
#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {

void CheckPage(const QString &text, QChar sep, bool maintainer) {
    const BookingsPageOptions o{QString(), maintainer, sep, QStringLiteral("b.htm"), QString()};
    const QString table = QStringLiteral("!BgColor=LightGreen|Date|Location\r\nSat 1 Jan|a=\"x\" Town|w=http://x.org e=a@b.org 1|\r\n");
    const BookingsPageResult once = BookingsPage(text, table, o);
    if (!once.stop.isEmpty()) return;
    const BookingsPageResult twice = BookingsPage(once.page, table, o);
    if (!twice.stop.isEmpty() || BookingsPage(twice.page, table, o).page != twice.page) std::abort();
}

void CheckValue(const QString &text) {
    const QString v = TableTextValue(text, QStringLiteral("<Br>"));
    const QString line = QStringLiteral("d|a=\"") + TableTextValue(text, QStringLiteral("&#013;&#010;")) +
                         QStringLiteral("\" ") + v + QLatin1Char('|') + v + QStringLiteral("|x");
    if (SplitLines(line).size() != 1) std::abort();
    const TableTextRow row = ParseTableTextRow(line);
    if (row.hasRowAttributes || row.headerCell || row.cells.size() != 4 || row.cells[1].attributes.size() != 1 ||
        !row.cells[2].attributes.isEmpty() || row.cells[2].content != v)
        std::abort();
    for (const QChar c : TableTextHref(text))
        if (c == QLatin1Char('|') || c == QLatin1Char('"') || c.unicode() <= ' ') std::abort();
}

void CheckTable(const QString &text, QChar sep) {
    const QStringList f = text.split(QLatin1Char('\t'));
    BookingEvent e;
    e.EDate = DateToDayNumber(QDate(2027, 1, 9));
    QString *fields[] = {&e.Programme, &e.Org, &e.Town, &e.Prv, &e.Venue, &e.Postcode, &e.ETime,
                         &e.Contact, &e.Event, &e.Band, &e.WebSite, &e.Email, &e.Phone};
    for (qsizetype i = 0; i < f.size() && i < 13; ++i) *fields[i] = f[i];
    QString table;
    try {
        table = BookingsTableText({e}, {sep, QString(), 0});
    } catch (...) {
        return; // refused with its message
    }
    const QStringList lines = table.split(QStringLiteral("\r\n"));
    for (qsizetype i = 2; i + 1 < lines.size(); ++i) {
        const TableTextRow row = ParseTableTextRow(lines[i]);
        if (row.hasRowAttributes || row.headerCell || row.cells.size() != 5) std::abort();
        for (const TableTextCell &cell : row.cells)
            for (const auto &[letter, value] : cell.attributes)
                if (letter == QLatin1Char('w') && !value.startsWith(QLatin1String("http://")) &&
                    !value.startsWith(QLatin1String("https://")))
                    std::abort();
    }
    TableHtml html;
    AppendTableTextHtml(html, table, {QString(), false, false, sep});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const QChar sep = data[0] & 1 ? QChar(0x20AC) : QChar(0xB7);
    const QString text = FuzzText(data + 1, size - 1);
    CheckPage(text, sep, data[0] & 2);
    CheckValue(text);
    CheckTable(text, sep);
    // The text as table text itself.
    TableHtml html;
    AppendTableTextHtml(html, text, {QStringLiteral("i/"), bool(data[0] & 2), bool(data[0] & 4), sep});
    return 0;
}
