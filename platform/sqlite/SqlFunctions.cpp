#include "platform/sqlite/SqlFunctions.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Database.h"

#include <QDate>
#include <QRegularExpression>
#include <array>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace {

// Folded code points for U+0000..U+017F; everything above folds to itself.
struct FoldTable {
    std::array<char16_t, 0x180> map{};
    FoldTable() {
        for (int c = 0; c < 0x180; ++c) map[c] = Cp1252::upper(QChar(char16_t(c))).unicode();
    }
};

inline uint fold(uint c) {
    static const FoldTable t;
    return c < 0x180 ? t.map[c] : c;
}

// Decodes one code point and advances; a stray byte stands for itself.
inline uint nextCp(const unsigned char *&p, const unsigned char *end) {
    const uint c = *p++;
    if (c < 0x80) return c;
    int extra = 0;
    uint cp = 0;
    if ((c & 0xE0) == 0xC0) extra = 1, cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0) extra = 2, cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0) extra = 3, cp = c & 0x07;
    else return c;
    if (end - p < extra) return c;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return c;
    }
    for (int i = 0; i < extra; ++i) cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

void encodeCp(uint cp, unsigned char *out, int len) {
    if (len == 1) {
        out[0] = static_cast<unsigned char>(cp);
    } else if (len == 2) {
        out[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else if (len == 3) {
        out[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
}

int collate(void *, int na, const void *a, int nb, const void *b) {
    return NoCaseCompare(static_cast<const char *>(a), na, static_cast<const char *>(b), nb);
}

bool likeFrom(const unsigned char *p, const unsigned char *pe, const unsigned char *s,
              const unsigned char *se, uint esc) {
    while (p < pe) {
        uint c = nextCp(p, pe);
        if (c == '%' && c != esc) {
            // Collapse a run of wildcards: each "_" still needs one character.
            while (p < pe) {
                const unsigned char *q = p;
                const uint d = nextCp(q, pe);
                if (d == esc) break;
                if (d == '%') {
                    p = q;
                } else if (d == '_') {
                    if (s >= se) return false;
                    nextCp(s, se);
                    p = q;
                } else {
                    break;
                }
            }
            if (p >= pe) return true;
            for (;;) {
                if (likeFrom(p, pe, s, se, esc)) return true;
                if (s >= se) return false;
                nextCp(s, se);
            }
        }
        if (c == '_' && c != esc) {
            if (s >= se) return false;
            nextCp(s, se);
            continue;
        }
        if (esc && c == esc) {
            if (p >= pe) return false; // a pattern may not end in the escape
            c = nextCp(p, pe);
        }
        if (s >= se) return false;
        if (fold(nextCp(s, se)) != fold(c)) return false;
    }
    return s >= se;
}

QByteArray valueBytes(sqlite3_value *v) {
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return QByteArray(t ? t : "", sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QByteArray &bytes) {
    sqlite3_result_text(ctx, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void resultQString(sqlite3_context *ctx, const QString &text) { resultText(ctx, text.toUtf8()); }

bool anyNull(int argc, sqlite3_value **argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    uint esc = 0;
    if (argc == 3) {
        const QByteArray e = valueBytes(argv[2]);
        const auto *p = reinterpret_cast<const unsigned char *>(e.constData());
        const auto *end = p + e.size();
        if (p == end) return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
        esc = nextCp(p, end);
        if (p != end) return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
    }
    // Matched where SQLite holds the texts, without copying them: the
    // function runs once per row of a scan.
    const auto *p = sqlite3_value_text(argv[0]);
    const int np = sqlite3_value_bytes(argv[0]);
    const auto *s = sqlite3_value_text(argv[1]);
    const int ns = sqlite3_value_bytes(argv[1]);
    if (!p || !s) return sqlite3_result_error_nomem(ctx);
    sqlite3_result_int(ctx, likeFrom(p, p + np, s, s + ns, esc) ? 1 : 0);
}

void ucaseFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, FoldUtf8(valueBytes(argv[0])));
}

void lenFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QByteArray b = valueBytes(argv[0]);
    qint64 n = 0;
    for (char c : b)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    sqlite3_result_int64(ctx, n);
}

void dateTextFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return resultQString(ctx, DayNumberText(sqlite3_value_double(argv[0])));
    default:
        return resultText(ctx, valueBytes(argv[0]));
    }
}

void plainTextFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const QByteArray b = valueBytes(argv[0]);
    if (!b.startsWith("{\\rtf")) return resultText(ctx, b);
    resultQString(ctx, PlainTextOf(QString::fromUtf8(b)));
}

const char *const MonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const QDate DayZero(1899, 12, 30);

} // namespace

int NoCaseCompare(const char *a, int na, const char *b, int nb) {
    // A sort for Distinct compares mostly a value with a copy of itself.
    if (na == nb && std::memcmp(a, b, size_t(na)) == 0) return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(a);
    const auto *pe = p + na;
    const auto *q = reinterpret_cast<const unsigned char *>(b);
    const auto *qe = q + nb;
    while (p < pe && q < qe) {
        // The sorts of a scan compare mostly short ASCII words: those fold
        // by arithmetic, and equal bytes need no fold at all.
        uint x = *p, y = *q;
        if ((x | y) < 0x80) {
            ++p, ++q;
            if (x == y) continue;
            x -= (x - 'a' < 26u) ? 32 : 0;
            y -= (y - 'a' < 26u) ? 32 : 0;
            if (x != y) return x < y ? -1 : 1;
            continue;
        }
        x = fold(nextCp(p, pe)), y = fold(nextCp(q, qe));
        if (x != y) return x < y ? -1 : 1;
    }
    if (p < pe) return 1;
    if (q < qe) return -1;
    return 0;
}

QByteArray FoldUtf8(const QByteArray &text) {
    QByteArray out = text;
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    const auto *p = reinterpret_cast<const unsigned char *>(text.constData());
    const auto *end = p + text.size();
    while (p < end) {
        const unsigned char *start = p;
        const uint cp = nextCp(p, end);
        const uint f = fold(cp);
        const int len = int(p - start);
        // Every folded pair keeps its UTF-8 length (both sides below U+0800).
        if (f != cp && len == (cp < 0x80 ? 1 : 2))
            encodeCp(f, o + (start - reinterpret_cast<const unsigned char *>(text.constData())), len);
    }
    return out;
}

bool LikeMatch(const QByteArray &pattern, const QByteArray &text, uint escape) {
    const auto *p = reinterpret_cast<const unsigned char *>(pattern.constData());
    const auto *s = reinterpret_cast<const unsigned char *>(text.constData());
    return likeFrom(p, p + pattern.size(), s, s + text.size(), escape);
}

QString DayNumberText(double day) { return FormatEventDate(day); }

namespace {

// The dates the program can show: 1 January 100 to 31 December 9999.
bool showableDay(double day) {
    static const double first = double(DayZero.daysTo(QDate(100, 1, 1)));
    static const double last = double(DayZero.daysTo(QDate(9999, 12, 31)));
    return std::isfinite(day) && day >= first && day < last + 1;
}

} // namespace

bool ParseDayNumberText(const QString &text, double *day) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    if (SameText(t, QStringLiteral("None"))) {
        *day = NoDate;
        return true;
    }
    bool ok = false;
    const double n = t.toDouble(&ok);
    if (ok) {
        if (!showableDay(n)) return false;
        *day = n;
        return true;
    }
    static const QRegularExpression re(
        QStringLiteral("^(?:[A-Za-z]{3,9},?\\s+)?(\\d{1,2})[-\\s]([A-Za-z]{3})[A-Za-z]*[-\\s](\\d{2}|\\d{4})$"));
    const auto m = re.match(t);
    if (!m.hasMatch()) return false;
    int month = 0;
    for (int i = 0; i < 12; ++i)
        if (SameText(m.captured(2), QLatin1String(MonthNames[i]))) month = i + 1;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) year += year < 50 ? 2000 : 1900;
    const QDate d(year, month, m.captured(1).toInt());
    if (!d.isValid() || !showableDay(double(DayZero.daysTo(d)))) return false;
    *day = double(DayZero.daysTo(d));
    return true;
}

QString PlainTextOf(const QString &rtf) { return rtfPlainText(rtf); }

void RegisterSqlFunctions(sqlite3 *db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, collate, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_function_v2(db, "ucase", 1, flags, nullptr, ucaseFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_function_v2(db, "len", 1, flags, nullptr, lenFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_function_v2(db, "DateText", 1, flags, nullptr, dateTextFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_create_function_v2(db, "PlainText", 1, flags, nullptr, plainTextFunction, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("Cannot register the text functions: ") + QString::fromUtf8(sqlite3_errmsg(db)), {}, rc);
}
