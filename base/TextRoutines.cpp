#include "base/TextRoutines.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/Cp1252.h"

#include <algorithm>

QStringList SplitList;
QString TitleArticle;
bool TitleBang = false;

QString UpperCaseDE(const QString &s) {
    QString out = s;
    auto *d = reinterpret_cast<char16_t *>(out.data());
    const qsizetype n = out.size();
    qsizetype i = 0;
#ifdef __SSE2__
    // Eight characters at a time (the filter folds every dance's
    // instructions): a lower-case letter is one whose distance from 'a' is
    // below 26 as an unsigned number.
    const __m128i a = _mm_set1_epi16(short(u'a')), flip = _mm_set1_epi16(short(0x8000));
    const __m128i below = _mm_set1_epi16(short(26 ^ 0x8000)), step = _mm_set1_epi16(32);
    const __m128i ae = _mm_set1_epi16(short(0xE4)), oe = _mm_set1_epi16(short(0xF6)),
                  ue = _mm_set1_epi16(short(0xFC));
    for (; i + 8 <= n; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d + i));
        const __m128i distance = _mm_xor_si128(_mm_sub_epi16(c, a), flip);
        __m128i lower = _mm_cmplt_epi16(distance, below);
        lower = _mm_or_si128(lower, _mm_cmpeq_epi16(c, ae));
        lower = _mm_or_si128(lower, _mm_cmpeq_epi16(c, oe));
        lower = _mm_or_si128(lower, _mm_cmpeq_epi16(c, ue));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(d + i), _mm_sub_epi16(c, _mm_and_si128(lower, step)));
    }
#endif
    for (; i < n; ++i) {
        const char16_t c = d[i];
        if ((c >= 'a' && c <= 'z') || c == 0xE4 || c == 0xF6 || c == 0xFC) d[i] = char16_t(c - 32);
    }
    return out;
}

void MySplit(const QString &text, const QString &delimiter) {
    SplitList.clear();
    const qsizetype d = delimiter.size(), n = text.size();
    if (d == 0) {
        if (n > 0) SplitList.append(text);
        return;
    }
    // off is where the rest of the text begins. Each pass takes the piece up
    // to the delimiter, starting at the delimiter's length, and drops the
    // rest up to and including the delimiter's first character; the next
    // piece therefore starts just after the whole delimiter.
    qsizetype off = 0;
    while (off < n) {
        const qsizetype at = text.indexOf(delimiter, off);
        const qsizetype p = at < 0 ? n - off + 1 : at - off + 1;
        const qsizetype count = p - d;
        SplitList.append(count > 0 ? text.mid(off + d - 1, count) : QString());
        off += p;
    }
    // What follows a final delimiter is one more, empty, piece. A longer
    // delimiter leaves its tail as a last rest, which gave that piece above.
    if (d == 1 && text.endsWith(delimiter)) SplitList.append(QString());
}

QString MyJoin(const QString &delimiter) {
    return SplitList.join(delimiter);
}

QString TrimPunct(const QString &s) {
    auto strip = [](QChar c) {
        return c.unicode() <= 32 || c == QChar(',') || c == QChar('-') || c == QChar(':');
    };
    qsizetype from = 0, to = s.size();
    while (from < to && strip(s[from]))
        ++from;
    while (to > from && strip(s[to - 1]))
        --to;
    return s.mid(from, to - from);
}

QString PadLeft(const QString &s, int n) {
    n = std::max(n, 0);
    if (s.size() == n) return s;
    if (s.size() < n) return QString(n - s.size(), QChar(' ')) + s;
    return QString(n, QChar('*'));
}

QString PadRight(const QString &s, int n) {
    n = std::max(n, 0);
    if (s.size() < n) return s + QString(n - s.size(), QChar(' '));
    return s.left(n);
}

QString AddBackslash(const QString &path) {
    return path.endsWith(QChar('/')) ? path : path + QChar('/');
}

QString AddSlash(const QString &s) {
    return s.isEmpty() || s.endsWith(QChar('/')) ? s : s + QChar('/');
}

namespace {

// Lines cut at CR LF, lone CR or lone LF, each written back ending in CR LF.
QString WithCrLf(const QString &text) {
    const qsizetype n = text.size();
    QString out;
    out.reserve(n + n / 32 + 2);
    const QChar *t = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = t[i];
        if (c == QChar('\r')) {
            out += QStringLiteral("\r\n");
            if (i + 1 < n && t[i + 1] == QChar('\n')) ++i;
        } else if (c == QChar('\n')) {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    if (n > 0 && t[n - 1] != QChar('\r') && t[n - 1] != QChar('\n')) out += QStringLiteral("\r\n");
    return out;
}

} // namespace

QString LoadTextFile(const QString &name) {
    return WithCrLf(ReadTextFile(name));
}

void SaveTextFile(const QString &name, const QString &text) {
    WriteTextFile(name, WithCrLf(text));
}

const QStringList &TitleArticles() {
    static const QStringList articles = {QStringLiteral("The"), QStringLiteral("A"),   QStringLiteral("La"),
                                         QStringLiteral("Le"),  QStringLiteral("An"),  QStringLiteral("Les"),
                                         QStringLiteral("Die")};
    return articles;
}

QString DisplayTitle(const QString &title) {
    QString t = title;
    TitleBang = t.startsWith(QChar('!'));
    if (TitleBang) t.remove(0, 1);
    TitleArticle.clear();
    const qsizetype blank = t.lastIndexOf(QChar(' '));
    // The blank must be at the fourth character or later, right after a comma.
    if (blank >= 3 && t[blank - 1] == QChar(',')) {
        const QString word = t.mid(blank + 1);
        if (TitleArticles().contains(word)) {
            TitleArticle = word;
            return word + QChar(' ') + t.left(blank - 1);
        }
    }
    return t;
}

QString MessageValue(const QString &value) {
    constexpr qsizetype Shown = 100;
    return value.size() <= Shown ? value : value.left(Shown) + QStringLiteral("...");
}
