#include "base/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace {

// 0x80-0x9F of Windows-1252; the undefined bytes map to themselves.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Tables {
    std::array<unsigned char, 256> upper{};
    Tables() {
        for (int i = 0; i < 256; ++i) upper[i] = static_cast<unsigned char>(i);
        for (int c = 'a'; c <= 'z'; ++c) upper[c] = static_cast<unsigned char>(c - 32);
        upper[0x9A] = 0x8A; // š Š
        upper[0x9C] = 0x8C; // œ Œ
        upper[0x9E] = 0x8E; // ž Ž
        upper[0xFF] = 0x9F; // ÿ Ÿ
        for (int c = 0xE0; c <= 0xFE; ++c)
            if (c != 0xF7) upper[c] = static_cast<unsigned char>(c - 32);
    }
};

const Tables &tables() {
    static const Tables t;
    return t;
}

// The first byte from i with its high bit set, or n; eight bytes at a time.
qsizetype asciiEnd(const unsigned char *p, qsizetype i, qsizetype n) {
    constexpr quint64 HighBits = 0x8080808080808080ULL;
    for (quint64 w; i + 8 <= n; i += 8) {
        std::memcpy(&w, p + i, 8);
        if (w & HighBits) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

} // namespace

namespace Cp1252 {

QChar decodeByte(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return QChar(High[b - 0x80]);
    return QChar(b);
}

QString decode(const QByteArray &bytes) {
    // Latin-1 is Windows-1252 but for 0x80-0x9F: those few are put right.
    QString out = QString::fromLatin1(bytes);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    QChar *d = nullptr;
    for (qsizetype i = 0; i < n; ++i) {
        i = asciiEnd(p, i, n);
        if (i >= n) break;
        if (p[i] <= 0x9F) {
            if (!d) d = out.data();
            d[i] = QChar(High[p[i] - 0x80]);
        }
    }
    return out;
}

int byteOf(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (int i = 0; i < 32; ++i)
        if (High[i] == u) return 0x80 + i;
    return -1;
}

QByteArray encode(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteOf(text[i]);
        out[i] = static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

bool fits(const QString &text) {
    for (QChar c : text)
        if (byteOf(c) < 0) return false;
    return true;
}

QChar upper(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) return (u >= 'a' && u <= 'z') ? QChar(u - 32) : c;
    if (u >= 0xA0 && u <= 0xFF) return decodeByte(tables().upper[u]);
    switch (u) {
    case 0x0161: return QChar(0x0160);
    case 0x0153: return QChar(0x0152);
    case 0x017E: return QChar(0x017D);
    default: return c;
    }
}

} // namespace Cp1252

QString FoldUpper(const QString &s) {
    QString out = s;
    QChar *d = out.data();
    for (qsizetype i = 0; i < out.size(); ++i) d[i] = Cp1252::upper(d[i]);
    return out;
}

bool SameText(const QString &a, const QString &b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (Cp1252::upper(a[i]) != Cp1252::upper(b[i])) return false;
    return true;
}

int CompareText(const QString &a, const QString &b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = Cp1252::upper(a[i]).unicode(), y = Cp1252::upper(b[i]).unicode();
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {

// The length of the valid UTF-8 sequence starting with the byte at i
// (1 for ASCII), or 0 when the bytes there are not one.
int utf8SequenceLength(const unsigned char *p, qsizetype i, qsizetype n) {
    const unsigned char c = p[i];
    if (c < 0x80) return 1;
    int len;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
    else return 0;
    if (i + len > n) return 0;
    for (int k = 1; k < len; ++k) {
        if ((p[i + k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// Valid UTF-8 with at least one multi-byte sequence.
bool looksUtf8(const QByteArray &b) {
    bool multi = false;
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData());
    const qsizetype n = b.size();
    for (qsizetype i = 0; i < n;) {
        i = asciiEnd(p, i, n);
        if (i >= n) break;
        const int len = utf8SequenceLength(p, i, n);
        if (len == 0) return false;
        multi = multi || len > 1;
        i += len;
    }
    return multi;
}

} // namespace

Utf8Scan ScanUtf8(const QByteArray &bytes) {
    Utf8Scan scan;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    const qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype bad = -1;
    for (qsizetype i = start; i < n;) {
        i = asciiEnd(p, i, n);
        if (i >= n) break;
        const int len = utf8SequenceLength(p, i, n);
        if (len == 0 && bad < 0) bad = i;
        if (len > 1) scan.multiByte = true;
        if (bad >= 0 && scan.multiByte) break;
        i += std::max(len, 1);
    }
    if (bad >= 0) {
        // Line breaks are single bytes, never part of a sequence: counted up
        // to the bad byte (CR LF, LF or a lone CR each end a line).
        int line = 1;
        for (qsizetype i = start; i < bad; ++i)
            if (p[i] == '\n' || (p[i] == '\r' && (i + 1 >= n || p[i + 1] != '\n'))) ++line;
        scan.firstBadLine = line;
    }
    return scan;
}

QString DecodeTextBytes(const QByteArray &bytes, TextEncoding *found) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        if (found) *found = TextEncoding::Utf8Bom;
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    }
    const bool littleEndian = bytes.startsWith("\xFF\xFE"), bigEndian = bytes.startsWith("\xFE\xFF");
    // Only whole UTF-16 is read as such, so that it is written back byte for byte.
    if ((littleEndian || bigEndian) && bytes.size() % 2 == 0) {
        QStringDecoder decode(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        const QString text = decode(QByteArrayView(bytes).sliced(2));
        if (!decode.hasError()) {
            if (found) *found = littleEndian ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
            return text;
        }
    }
    if (looksUtf8(bytes)) {
        if (found) *found = TextEncoding::Utf8;
        return QString::fromUtf8(bytes);
    }
    if (found) *found = TextEncoding::Cp1252;
    return Cp1252::decode(bytes);
}

QByteArray EncodeTextBytes(const QString &text, TextEncoding *used) {
    return EncodeTextBytesAs(text, TextEncoding::Cp1252, used);
}

QByteArray EncodeTextBytesAs(const QString &text, TextEncoding wanted, TextEncoding *used) {
    if (wanted == TextEncoding::Cp1252 && !Cp1252::fits(text)) wanted = TextEncoding::Utf8Bom;
    if (wanted == TextEncoding::Cp1252) {
        // Single bytes that happen to form multi-byte UTF-8 ("Ã©"), or that
        // begin like a UTF-16 mark ("ÿþ", "þÿ"), would read back as other
        // text: such a file is written as UTF-8 with a mark.
        QByteArray bytes = Cp1252::encode(text);
        const bool utf16Mark = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        if (!utf16Mark && !looksUtf8(bytes)) {
            if (used) *used = wanted;
            return bytes;
        }
        wanted = TextEncoding::Utf8Bom;
    }
    if (used) *used = wanted;
    switch (wanted) {
    case TextEncoding::Cp1252: return Cp1252::encode(text);
    case TextEncoding::Utf8: return text.toUtf8();
    case TextEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        const bool little = wanted == TextEncoding::Utf16Le;
        QStringEncoder encode(little ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
        return QByteArray(little ? "\xFF\xFE" : "\xFE\xFF") + QByteArray(encode(text));
    }
    }
    return {};
}

QString ReadTextFile(const QString &path, TextEncoding *found) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open file %1: %2").arg(path, f.errorString()).toStdString());
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Cannot read file %1: %2").arg(path, f.errorString()).toStdString());
    return DecodeTextBytes(bytes, found);
}

void WriteBytesFile(const QString &path, const QByteArray &bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw std::runtime_error(
            QStringLiteral("Cannot write file %1: %2").arg(path, f.errorString()).toStdString());
}

void WriteTextFile(const QString &path, const QString &text) {
    WriteBytesFile(path, EncodeTextBytes(text));
}

QString FindFileNoCase(const QString &folder, const QString &name) {
    QString dir = folder;
    if (!dir.isEmpty() && !dir.endsWith('/')) dir += '/';
    if (QFileInfo::exists(dir + name)) return dir + name;
    const QDir d(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries =
        d.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &e : entries)
        if (SameText(e, name)) return dir + e;
    return dir + name;
}
