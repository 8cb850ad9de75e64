#include "base/FastStrings.h"

#include "base/Cp1252.h"
#include "base/Messages.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {

// The upper-case table spread over every UTF-16 code unit, so that a search
// folds a character with one look-up and still agrees with FoldUpper for
// characters outside the code page; and its inverse: the other character
// that folds to a given one (the table pairs each capital with one small
// letter), or the character itself.
struct FoldTable {
    std::array<char16_t, 65536> map;
    std::array<char16_t, 65536> other;
    FoldTable() {
        for (int u = 0; u < 65536; ++u) {
            map[u] = Cp1252::upper(QChar(char16_t(u))).unicode();
            other[u] = char16_t(u);
        }
        for (int u = 0; u < 65536; ++u) {
            if (map[u] == u) continue;
            if (other[map[u]] != map[u])
                throw std::logic_error("FastStrings: two characters fold to one capital");
            other[map[u]] = char16_t(u);
        }
    }
};

const FoldTable &foldTable() {
    static const FoldTable table;
    return table;
}

// The characters without the copy that QString::utf16() makes of static text.
const char16_t *chars(const QString &s) {
    return reinterpret_cast<const char16_t *>(s.constData());
}

struct Exact {
    char16_t operator()(char16_t c) const { return c; }
    char16_t other(char16_t c) const { return c; }
};

struct Folded {
    const FoldTable *table;
    char16_t operator()(char16_t c) const { return table->map[c]; }
    char16_t other(char16_t c) const { return table->other[c]; }
};

// Horspool search over UTF-16. The skip table is indexed by the low byte of
// the text's own character, so the scan needs no fold: each pattern position
// sets the entries of both characters that fold to its character. Characters
// that share a low byte share an entry; since a later pattern position always
// gives the smaller shift, the shared entry is the smallest of theirs, which
// never skips a match.
template <typename Map> class Horspool {
public:
    Horspool(const char16_t *pattern, qsizetype length, Map map)
        : p(pattern), m(length), fold(map), last(map(pattern[length - 1])),
          lastOther(map.other(last)) {
        skip.fill(std::int32_t(std::min<qsizetype>(m, INT32_MAX)));
        for (qsizetype i = 0; i < m - 1; ++i) {
            const char16_t c = fold(p[i]);
            const auto shift = std::int32_t(std::min<qsizetype>(m - 1 - i, INT32_MAX));
            skip[c & 0xFF] = shift;
            skip[fold.other(c) & 0xFF] = shift;
        }
    }

    // 0-based index of the first match at or after from, or -1.
    qsizetype find(const char16_t *t, qsizetype n, qsizetype from) const {
        if (from + m > n) return -1;
        // w walks the text character under the window's last position.
        const char16_t *w = t + from + m - 1;
        const char16_t *const end = t + n;
        while (w < end) {
            const char16_t c = *w;
            if (c == last || c == lastOther) {
                const char16_t *s = w - (m - 1);
                qsizetype k = m - 2;
                while (k >= 0 && fold(s[k]) == fold(p[k]))
                    --k;
                if (k < 0) return s - t;
            }
            w += skip[c & 0xFF];
        }
        return -1;
    }

private:
    const char16_t *p;
    qsizetype m;
    Map fold;
    char16_t last, lastOther;
    std::array<std::int32_t, 256> skip;
};

// The replace loop for one kind of comparison.
template <typename Map>
QString replaceAll(const QString &text, const QString &oldText, const QString &newText, Map map,
                   bool wordEnds = false) {
    const qsizetype n = text.size(), m = oldText.size(), k = newText.size();
    const char16_t *t = chars(text);
    const Horspool<Map> searcher(chars(oldText), m, map);
    // An old text ending in a letter matches only where no letter follows.
    const bool checkEnd = wordEnds && oldText.back().isLetter();
    auto next = [&](qsizetype from) {
        qsizetype hit = n - from >= m ? searcher.find(t, n, from) : -1;
        while (checkEnd && hit >= 0 && hit + m < n && QChar(t[hit + m]).isLetter())
            hit = n - (hit + 1) >= m ? searcher.find(t, n, hit + 1) : -1;
        return hit;
    };
    qsizetype hit = next(0);
    if (hit < 0) return text; // nothing to copy

    // Room for the worst case when the text grows, within reason; beyond that
    // the output grows by half whenever a piece does not fit.
    qsizetype size = k > m ? std::min(n * k / m, 4 * n + k) : n;
    QString out(size, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    qsizetype used = 0;
    auto put = [&](const char16_t *src, qsizetype len) {
        if (used + len > size) {
            while (used + len > size)
                size = size + (size + 1) / 2;
            out.resize(size);
            d = reinterpret_cast<char16_t *>(out.data());
        }
        if (len > 0) std::memcpy(d + used, src, size_t(len) * sizeof(char16_t));
        used += len;
    };

    const char16_t *nw = chars(newText);
    qsizetype from = 0;
    while (hit >= 0) {
        put(t + from, hit - from);
        put(nw, k);
        from = hit + m;
        hit = next(from);
    }
    put(t + from, n - from);
    out.resize(used);
    return out;
}

QString hexOfControl(const QString &sub) {
    if (sub.size() == 1 && sub[0].unicode() < 32)
        return QStringLiteral("$%1").arg(sub[0].unicode(), 2, 16, QChar('0')).toUpper();
    return sub;
}

} // namespace

qsizetype PosNoCase(const QString &sub, const QString &text, qsizetype start) {
    if (start < 1)
        throw std::logic_error(
            QStringLiteral("Assertion failed: PosNoCase start %1 is below 1 (FastStrings)")
                .arg(start)
                .toStdString());
    const qsizetype m = sub.size(), n = text.size();
    if (m == 0) return 1;
    if (m > n || start - 1 > n - m) return 0;
    const Horspool<Folded> searcher(chars(sub), m, Folded{&foldTable()});
    return searcher.find(chars(text), n, start - 1) + 1;
}

qsizetype PosBackNoCase(const QString &sub, const QString &text, qsizetype start) {
    const qsizetype m = sub.size(), n = text.size();
    if (m == 0 || m > n) return 0;
    const char16_t *fold = foldTable().map.data();
    const char16_t *t = chars(text), *p = chars(sub);
    const qsizetype lastBegin = n - m;
    const qsizetype from = start <= 0 ? lastBegin : std::min(start - 1, lastBegin);
    const char16_t first = fold[p[0]];
    for (qsizetype pos = from; pos >= 0; --pos) {
        if (fold[t[pos]] != first) continue;
        qsizetype k = m - 1;
        while (k > 0 && fold[t[pos + k]] == fold[p[k]])
            --k;
        if (k == 0) return pos + 1;
    }
    return 0;
}

qsizetype MustPos(const QString &sub, const QString &text, qsizetype start) {
    const qsizetype pos = PosNoCase(sub, text, start);
    if (pos > 0) return pos;
    QString msg = QStringLiteral("The text:\r") + hexOfControl(sub) +
                  QStringLiteral("\rwas not found in\r") + text.left(100) + QStringLiteral(" ...");
    if (start > 1) msg += QStringLiteral("\rwhen searching beyond position %1").arg(start);
    // The blanks widen the box.
    msg += QString(20, ' ');
    ShowMsgUnlogged(msg);
    throw SilentAbort();
}

QString FastReplaceStr(const QString &text, const QString &oldText, const QString &newText,
                       bool caseSensitive, bool wordEnds) {
    if (text.isEmpty() || oldText.isEmpty()) return text;
    if (caseSensitive) return replaceAll(text, oldText, newText, Exact{}, wordEnds);
    return replaceAll(text, oldText, newText, Folded{&foldTable()}, wordEnds);
}

QString ReplaceText(const QString &text, const QString &oldText, const QString &newText) {
    return FastReplaceStr(text, oldText, newText, false);
}

QString MultiReplace(const QString &text, const QString &olds, const QString &news,
                     bool caseSensitive, bool wordEnds) {
    // Takes the piece before the first "|" (all of it when there is none).
    auto takeFirst = [](QString &list) {
        const qsizetype bar = list.indexOf(QChar('|'));
        QString piece = bar < 0 ? list : list.left(bar);
        list = bar < 0 ? QString() : list.mid(bar + 1);
        return piece;
    };
    QString result = text, restOld = olds, restNew = news, trace;
    while (!restOld.isEmpty()) {
        const QString oldText = takeFirst(restOld);
        const QString newText = takeFirst(restNew);
        trace += QStringLiteral("[") + oldText + QStringLiteral("]  >  [") + newText +
                 QStringLiteral("]\r\n");
        result = FastReplaceStr(result, oldText, newText, caseSensitive, wordEnds);
        if (restOld.isEmpty() != restNew.isEmpty()) {
            ShowMsgUnlogged(QStringLiteral("MultiReplace must use same number of elements.\r\r") +
                            trace);
            throw SilentAbort();
        }
    }
    return result;
}
