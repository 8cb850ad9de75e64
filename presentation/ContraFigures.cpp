#include "presentation/ContraFigures.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/TextRoutines.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Query.h"
#include "programme/text/HeadingRoles.h"

#include <algorithm>

QString ContraExtrasAnswer;

const QStringList &ContraFigures() {
    static const QStringList figures{
        "Star through", "Swing through", "Balance & swing ptnr", "Balance & swing nbr", "Swing ptnr",
        "Swing nbr",    "Ones balance & swing", "Twos balance & swing", "Balance & swing", "Balance ring",
        "Petronella",   "Balance wave", "Balance", "Ones swing", "Twos swing",
        "Swing",        "Circle", "Star", "Rory O'More", "Promenade",
        "Hey",          "Do-si-do", "Ladies chain", "Down the hall", "R & L through",
        "Long lines",   "Gipsy", "Shuttle", "Cross trail", "Contra corners"};
    return figures;
}

const QList<QPair<QString, QString>> &ContraReplacements() {
    static const QList<QPair<QString, QString>> pairs{
        {"Start", ""},
        {" and ", " & "},
        {"they", " "},
        {" the ", " "},
        {"reels", ""},
        {"reel)", ""},
        {"neighbour", "nbr"},
        {"neighbor", "nbr"},
        {"new nbr", "nbr"},
        {"original nbr", "nbr"},
        {"next nbr", "nbr"},
        {"thru", "through"},
        {"inactives", "twos"},
        {"actives", "ones"},
        {"  ", " "},
        {".", " "},
        {"partner", "ptnr"},
        {"balance swing", "balance & swing"},
        {"Ptnr balance & swing", "Balance & swing ptnr"},
        {"Nbr balance & swing", "Balance & swing nbr"},
        {"Ptnr swing", "Swing ptnr"},
        {"Nbr swing", "Swing nbr"},
        {"Balance in a wave", "Balance wave"},
        {"Balance forward & back", "Balance"},
        {"Hey,", "Hey "},
        {"Reel", "Hey "},
        {"Down hall", "Down the hall"},
        {"Four in line", "Down the hall"},
        {"Down in a line", "Down the hall"},
        {"Right & left through", "R & L through"},
        {"Lines forward", "Long lines"},
        {"Mad Robin", "Shuttle"},
        {"Sliding doors", "Shuttle"},
        {"Gypsy", "Gipsy"}};
    return pairs;
}

QString NormaliseContraText(const QString &plain) {
    QString text = plain;
    for (const auto &[from, to] : ContraReplacements()) text = ReplaceText(text, from, to);
    return text;
}

QList<int> AnalyseFigures(const QString &plain) {
    QString text = NormaliseContraText(plain);
    QList<int> found;
    const QStringList &figures = ContraFigures();
    for (int i = 0; i < figures.size(); ++i) {
        const QString &name = figures[i];
        qsizetype at = PosNoCase(name, text);
        if (at == 0) continue;
        found.append(i);
        // Every occurrence goes, not only the first.
        const QString blot(name.size(), QLatin1Char('?'));
        while (at > 0) {
            text.replace(at - 1, name.size(), blot);
            at = PosNoCase(name, text, at + name.size());
        }
    }
    return found;
}

// ---- the candidates ---------------------------------------------------------------------

QString ContraData::toString() const {
    QString out = QStringLiteral("|");
    for (const ContraEntry &e : entries) {
        out += e.title;
        for (int f : e.figures) out += QLatin1Char('>') + QString::number(f);
        out += QStringLiteral(">|");
    }
    return out;
}

const ContraEntry *ContraData::find(const QString &title) const {
    for (const ContraEntry &e : entries)
        if (SameText(e.title, title)) return &e;
    return nullptr;
}

QStringList ContraData::matching(const QList<int> &must, const QList<int> &mustNot) const {
    QStringList out;
    for (const ContraEntry &e : entries) {
        const bool keep = std::all_of(must.begin(), must.end(), [&e](int f) { return e.figures.contains(f); }) &&
                          std::none_of(mustNot.begin(), mustNot.end(), [&e](int f) { return e.figures.contains(f); });
        if (keep) out << e.title;
    }
    std::sort(out.begin(), out.end(), [](const QString &a, const QString &b) { return CompareText(a, b) < 0; });
    return out;
}

namespace {

QHash<QString, QList<int>> &analysisCache() {
    static QHash<QString, QList<int>> cache;
    return cache;
}

} // namespace

void ClearContraCache() { analysisCache().clear(); }

ContraData ReadContraData(Database &db) {
    ContraData data;
    Query q(db);
    q.setText(QStringLiteral("Select Title, Instructions from Dances where Instructions <> \"\" and "
                             "(Style=\"American\" or Style=\"Break\" or Style ALike \"Patter%\")"));
    q.open();
    auto &cache = analysisCache();
    for (; !q.eof(); q.next()) {
        const QString rtf = q.fields(1).AsString();
        auto it = cache.constFind(rtf);
        if (it == cache.constEnd()) it = cache.insert(rtf, AnalyseFigures(rtfPlainText(rtf)));
        data.entries.append({q.fields(0).AsString(), *it});
    }
    q.close();
    return data;
}

ContraDance ReadContraDance(Database &db, const QString &title, const QString &format, const QString &style) {
    Query q(db);
    q.setText(QStringLiteral("Select Title, Format, Style, Instructions from Dances where Title = ? and "
                             "(Style=\"American\" or Style=\"Break\" or Style ALike \"Patter%\")"));
    QVariantList params{title};
    if (!format.isEmpty() || !style.isEmpty()) {
        q.SQL << QStringLiteral("and Format = ? and Style = ?");
        params << format << style;
    }
    q.open(params);
    ContraDance d;
    if (!q.eof()) {
        d = {q.fields(0).AsString(), q.fields(1).AsString(), q.fields(2).AsString(), q.fields(3).AsString(), true};
    }
    q.close();
    return d;
}

QList<ContraEntry> SectionEntries(const QList<ProgrammeItem> &items, int thisIndex, const ContraData &data,
                                  const std::function<bool()> &askExtras) {
    const int n = int(items.size());
    int start = std::clamp(thisIndex, 0, std::max(n - 1, 0));
    while (start > 0 && !(items[start].isHeading() && IsSessionHeading(items[start].text))) --start;
    QList<ContraEntry> kept;
    for (int i = start; i < n; ++i) {
        const ProgrammeItem &item = items[i];
        if (item.isHeading()) {
            if (i > start && IsSessionHeading(item.text)) break;
            if (PosNoCase(QStringLiteral("Extras"), item.text) > 0) {
                if (ContraExtrasAnswer.isEmpty())
                    ContraExtrasAnswer = askExtras && askExtras() ? QStringLiteral("Y") : QStringLiteral("N");
                if (ContraExtrasAnswer == QLatin1String("N")) break;
            }
            continue;
        }
        if (!item.isDance() || item.key.Title.isEmpty()) continue;
        if (const ContraEntry *e = data.find(item.key.Title)) kept.append(*e);
    }
    return kept;
}

// ---- the grid -----------------------------------------------------------------------------

int ContraGrid::figureOf(int handle) const {
    if (handle >= 1 && handle < columnCount()) return columns[handle - 1];
    const int label = handle - columnCount();
    if (label >= 1 && label <= unused.size()) return unused[label - 1];
    return -1;
}

ContraGrid BuildContraGrid(const QList<ContraEntry> &kept) {
    ContraGrid g;
    const int figures = int(ContraFigures().size());
    QList<int> totals(figures, 0);
    for (const ContraEntry &e : kept)
        for (int f : e.figures) ++totals[f];
    for (int f = 0; f < figures; ++f)
        if (totals[f] > 0) g.columns << f;
    // The unused line is filled from the last column down.
    for (int f = figures - 1; f >= 0; --f)
        if (totals[f] == 0) g.unused << f;
    for (const ContraEntry &e : kept) {
        g.titles << DisplayTitle(e.title);
        QList<bool> row;
        for (int f : g.columns) row << e.figures.contains(f);
        g.marks << row;
    }
    for (int f : g.columns) g.totals << totals[f];
    return g;
}

QString SplitHeader(const QString &name) {
    if (!name.contains(QLatin1Char(' '))) return name;
    const int n = int(name.size());
    const int middle = n / 2; // counted from 1
    auto blankAt = [&](int p) { return p >= 1 && p <= n && name[p - 1] == QLatin1Char(' '); };
    for (int d = 0; d <= n; ++d) {
        int at = 0;
        if (blankAt(middle + d)) at = middle + d;
        else if (blankAt(middle - d)) at = middle - d;
        if (at) return name.left(at - 1) + QLatin1Char('\r') + name.mid(at);
    }
    return name;
}

// ---- marks and the process view -----------------------------------------------------------

void ContraMarks::click(int handle) {
    if (must.removeAll(handle)) {
        mustNot << handle;
    } else if (!mustNot.removeAll(handle)) {
        must << handle;
    }
}

ContraMarks::State ContraMarks::state(int handle) const {
    if (must.contains(handle)) return Must;
    if (mustNot.contains(handle)) return MustNot;
    return None;
}

void ContraProcess::start(const QString &plain) {
    text = plain;
    step = 0;
    advance();
}

void ContraProcess::press() {
    if (!running()) return;
    const auto &pair = ContraReplacements()[step];
    text = ReplaceText(text, pair.first, pair.second);
    ++step;
    advance();
}

void ContraProcess::advance() {
    const auto &pairs = ContraReplacements();
    while (step < pairs.size() && PosNoCase(pairs[step].first, text) == 0) ++step;
}
