#include "core/dances/DanceItems.h"

#include "core/dances/DanceLocate.h"
#include "platform/sqlite/Database.h"
#include "programme/text/ProgrammeText.h"

#include <functional>
#include <utility>
#include <vector>

namespace {

// Rewrites each item of key: make gets the item as it stands (without
// separators, its recording choice included) and the length of its key part.
QString rewriteItems(const QString &programme, QChar sep, const DanceKey &key, int *count,
                     const std::function<QString(const QString &item, int keyLength)> &make) {
    if (count) *count = 0;
    const int keyLength = int(DanceItemText(key).size());
    int pos = FindDanceItem(programme, sep, key, 1, true);
    if (pos == 0) return programme;
    QString out;
    out.reserve(programme.size() + 32);
    qsizetype copied = 0; // 0-based: what is already in out
    while (pos > 0) {
        const qsizetype itemStart = pos; // 0-based index just after the separator
        qsizetype itemEnd = programme.indexOf(sep, itemStart + keyLength);
        if (itemEnd < 0) itemEnd = programme.size(); // a text cut short: the item runs to its end
        out += QStringView(programme).mid(copied, itemStart - copied);
        out += make(programme.mid(itemStart, itemEnd - itemStart), keyLength);
        copied = itemEnd;
        if (count) ++*count;
        if (itemEnd >= programme.size()) break;
        pos = FindDanceItem(programme, sep, key, int(itemEnd) + 1, true);
    }
    out += QStringView(programme).mid(copied);
    return out;
}

// "%" + the text with like's wild cards escaped by "\" + "%".
QString containsPattern(const QString &text) {
    QString p = QStringLiteral("%");
    for (QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) p += QLatin1Char('\\');
        p += c;
    }
    return p + QLatin1Char('%');
}

int rewriteEverywhere(Database &db, QChar sep, const DanceKey &key,
                      const std::function<QString(const QString &, int *)> &rewrite) {
    std::vector<std::pair<qint64, QString>> changed;
    {
        // Only rows that hold the key somewhere, folded, come back to be checked.
        Statement s(db.handle(),
                    QStringLiteral("SELECT rowid, Programme FROM Events WHERE Programme LIKE ? ESCAPE '\\'"));
        s.bind(1, containsPattern(sep + DanceItemText(key)));
        while (s.step()) {
            const QString programme = s.columnText(1);
            int n = 0;
            const QString rewritten = rewrite(programme, &n);
            if (n > 0) changed.emplace_back(s.column(0).toLongLong(), rewritten);
        }
    }
    if (changed.empty()) return 0;
    Batch batch(db);
    Statement update(db.handle(), QStringLiteral("UPDATE Events SET Programme=? WHERE rowid=?"));
    for (const auto &[rowid, programme] : changed) {
        update.bind(1, programme);
        update.bind(2, rowid);
        update.step();
        update.reset();
    }
    update.finalize();
    batch.commit();
    db.tableChanged(QStringLiteral("Events"));
    return int(changed.size());
}

} // namespace

QString DanceItemsToNotes(const QString &programme, QChar sep, const DanceKey &key, int *count) {
    return rewriteItems(programme, sep, key, count, [](const QString &item, int keyLength) {
        return QLatin1Char('N') + item.mid(1, keyLength - 1) + DanceDeletedSuffix;
    });
}

QString RenameDanceItems(const QString &programme, QChar sep, const DanceKey &oldKey, const DanceKey &newKey,
                         int *count) {
    const QString renamed = DanceItemText(newKey);
    return rewriteItems(programme, sep, oldKey, count,
                        [&renamed](const QString &item, int keyLength) { return renamed + item.mid(keyLength); });
}

int DanceItemsToNotesEverywhere(Database &db, QChar sep, const DanceKey &key) {
    return rewriteEverywhere(db, sep, key, [&](const QString &p, int *n) { return DanceItemsToNotes(p, sep, key, n); });
}

int RenameDanceItemsEverywhere(Database &db, QChar sep, const DanceKey &oldKey, const DanceKey &newKey) {
    return rewriteEverywhere(db, sep, oldKey,
                             [&](const QString &p, int *n) { return RenameDanceItems(p, sep, oldKey, newKey, n); });
}
