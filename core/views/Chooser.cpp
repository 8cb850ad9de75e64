#include "core/views/Chooser.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"

#include <QSet>
#include <algorithm>

namespace {

struct Keyed {
    ChooserRow row;
    QString k0, k1; // folded sort keys
    double date = 0;
};

} // namespace

QList<ChooserRow> ChooserRows(Dataset &dataset, ChooserMode mode) {
    QList<ChooserRow> out;
    Database *db = dataset.database();
    if (!db || !dataset.active()) return out;
    const bool dances = mode == ChooserMode::Dances;
    const std::vector<Dataset::Bookmark> shown = dataset.VisibleBookmarks();
    const bool all = !dataset.Filtered();
    QSet<qint64> keep;
    if (!all) keep = QSet<qint64>(shown.begin(), shown.end());
    Statement s(db->handle(), dances ? QStringLiteral("SELECT rowid, Title, Format, Style FROM Dances")
                                     : QStringLiteral("SELECT rowid, Org, EDate, Event FROM Events"));
    std::vector<Keyed> rows;
    rows.reserve(shown.size());
    while (s.step()) {
        if (!all && !keep.contains(s.column(0).toLongLong())) continue;
        Keyed k;
        k.row.bookmark = s.column(0).toLongLong();
        k.row.cells[0] = s.columnText(1);
        k.row.cells[2] = s.columnText(3);
        if (dances) {
            k.row.cells[1] = s.columnText(2);
            k.k1 = FoldUpper(k.row.cells[2]);
        } else {
            k.row.date = s.column(2);
            k.date = k.row.date.isNull() ? 0 : k.row.date.toDouble();
            k.row.cells[1] = k.row.date.isNull() ? QString() : FormatEventDate(k.date);
            k.k1 = FoldUpper(k.row.cells[2]);
        }
        k.k0 = FoldUpper(k.row.cells[0]);
        rows.push_back(std::move(k));
    }
    std::sort(rows.begin(), rows.end(), [dances](const Keyed &a, const Keyed &b) {
        if (const int c = a.k0.compare(b.k0)) return c < 0;
        if (!dances && a.date != b.date) return a.date > b.date;
        if (const int c = a.k1.compare(b.k1)) return c < 0;
        if (dances) return a.row.cells[1] < b.row.cells[1];
        return a.row.cells[2] < b.row.cells[2];
    });
    out.reserve(qsizetype(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChooserRow &r = rows[i].row;
        if (!out.isEmpty()) {
            const ChooserRow &p = out.last();
            const bool sameDate = dances ? p.cells[1] == r.cells[1]
                                         : p.date.isNull() == r.date.isNull() &&
                                               p.date.toDouble() == r.date.toDouble();
            if (p.cells[0] == r.cells[0] && sameDate && p.cells[2] == r.cells[2]) continue;
        }
        out.append(r);
    }
    return out;
}

TypeAheadMatch MatchTypeAhead(const QList<ChooserRow> &rows, const QString &text) {
    TypeAheadMatch m;
    QString typed = text;
    while (!typed.isEmpty()) {
        const QString folded = FoldUpper(typed);
        // The rows are sorted by their folded first column: the first that
        // begins with the text is where the text would be inserted.
        auto at = std::lower_bound(rows.begin(), rows.end(), folded, [](const ChooserRow &r, const QString &t) {
            return FoldUpper(r.cells[0]).compare(t) < 0;
        });
        if (at != rows.end() && FoldUpper(at->cells[0]).startsWith(folded)) {
            m.row = int(at - rows.begin());
            break;
        }
        typed.chop(1);
    }
    m.exact = m.row >= 0 && typed.size() == text.size();
    if (!m.exact && !text.isEmpty()) m.message = QStringLiteral("No values starting ") + text;
    return m;
}

QString LastCalledHint(Database &db, const QString &title, const QString &org, QChar separator) {
    QString escaped = title;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    const QString pattern = QStringLiteral("%") + separator + QStringLiteral("D|") + escaped + QStringLiteral("|%");
    Statement s(db.handle(), QStringLiteral("SELECT EDate FROM Events WHERE Programme LIKE ? ESCAPE '\\' "
                                            "AND Org = ? ORDER BY EDate DESC"));
    s.bindAll({pattern, org});
    const QString shown = DisplayTitle(title);
    if (s.step() && !s.column(0).isNull())
        return shown + QStringLiteral("\rLast called for ") + org + QLatin1Char('\r') +
               FormatEventDate(s.column(0).toDouble());
    return shown + QStringLiteral("\rNever called for ") + org;
}
