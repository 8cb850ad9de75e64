#include "publishing/pages/HtmlWalk.h"

#include <QStringView>
#include <algorithm>
#include <array>

namespace {

bool IsHtmlSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

bool IsAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

QChar AsciiUpper(QChar c) {
    const char16_t u = c.unicode();
    return u >= 'a' && u <= 'z' ? QChar(char16_t(u - 32)) : c;
}

QString AsciiUpper(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (const QChar c : s)
        out += AsciiUpper(c);
    return out;
}

// Whether page holds mark (an upper-case tag name with "<" or "</" before
// it) at i, case ignored, followed by a blank, "/" or ">": a tag of that
// name and no longer one.
bool TagAt(const QString &page, qsizetype i, QStringView mark) {
    if (i + mark.size() >= page.size()) return false;
    for (qsizetype k = 0; k < mark.size(); ++k)
        if (AsciiUpper(page[i + k]) != mark[k]) return false;
    const QChar after = page[i + mark.size()];
    return IsHtmlSpace(after) || after == QLatin1Char('/') || after == QLatin1Char('>');
}

// Reads a start or end tag from its "<" (its name starts with a letter):
// the index just past its ">", or -1 when the page ends first. A quoted
// value runs to its closing quote whatever it holds; an unquoted one to a
// blank or ">".
qsizetype ReadTag(const QString &page, qsizetype i, HtmlStartTag *tag) {
    const qsizetype size = page.size();
    qsizetype p = i + 1;
    if (page[p] == QLatin1Char('/')) ++p;
    const qsizetype nameStart = p;
    while (p < size && !IsHtmlSpace(page[p]) && page[p] != QLatin1Char('/') &&
           page[p] != QLatin1Char('>'))
        ++p;
    if (tag) tag->name = AsciiUpper(QStringView(page).mid(nameStart, p - nameStart));
    for (;;) {
        while (p < size && (IsHtmlSpace(page[p]) || page[p] == QLatin1Char('/')))
            ++p;
        if (p >= size) return -1;
        if (page[p] == QLatin1Char('>')) return p + 1;
        // The first character always belongs to the name, even an "=".
        const qsizetype nameAt = p++;
        while (p < size && !IsHtmlSpace(page[p]) && page[p] != QLatin1Char('/') &&
               page[p] != QLatin1Char('>') && page[p] != QLatin1Char('='))
            ++p;
        const qsizetype nameEnd = p;
        QString value;
        while (p < size && IsHtmlSpace(page[p]))
            ++p;
        if (p < size && page[p] == QLatin1Char('=')) {
            ++p;
            while (p < size && IsHtmlSpace(page[p]))
                ++p;
            if (p >= size) return -1;
            const QChar quote = page[p];
            if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
                const qsizetype close = page.indexOf(quote, p + 1);
                if (close < 0) return -1;
                value = page.mid(p + 1, close - p - 1);
                p = close + 1;
            } else {
                const qsizetype valueAt = p;
                while (p < size && !IsHtmlSpace(page[p]) && page[p] != QLatin1Char('>'))
                    ++p;
                value = page.mid(valueAt, p - valueAt);
            }
        }
        if (tag)
            tag->attributes.append(
                {AsciiUpper(QStringView(page).mid(nameAt, nameEnd - nameAt)), value});
    }
}

// Past the end of a comment whose "<!--" ends just before from, or -1.
// "<!-->" and "<!--->" are whole comments; "-->" and "--!>" end one.
qsizetype CommentEnd(const QString &page, qsizetype from) {
    const qsizetype size = page.size();
    if (from < size && page[from] == QLatin1Char('>')) return from + 1;
    if (from + 1 < size && page[from] == QLatin1Char('-') && page[from + 1] == QLatin1Char('>'))
        return from + 2;
    for (qsizetype k = from; k + 1 < size; ++k) {
        if (page[k] != QLatin1Char('-') || page[k + 1] != QLatin1Char('-')) continue;
        qsizetype m = k + 2;
        while (m < size && page[m] == QLatin1Char('-'))
            ++m;
        if (m < size && page[m] == QLatin1Char('>')) return m + 1;
        if (m + 1 < size && page[m] == QLatin1Char('!') && page[m + 1] == QLatin1Char('>'))
            return m + 2;
        k = m - 1;
    }
    return -1;
}

// The "<" of the end tag of a script whose text starts at from, or -1. In
// a script, "<!--" ... "-->" may hold a "<script>" whose "</script>" does
// not end the element.
qsizetype ScriptTextEnd(const QString &page, qsizetype from) {
    enum { Data, Escaped, DoubleEscaped } state = Data;
    int dashes = 0;
    for (qsizetype i = from; i < page.size(); ++i) {
        const QChar c = page[i];
        if (state != Data && c == QLatin1Char('-')) {
            ++dashes;
            continue;
        }
        if (state != Data && c == QLatin1Char('>') && dashes >= 2) {
            state = Data;
            dashes = 0;
            continue;
        }
        dashes = 0;
        if (c != QLatin1Char('<')) continue;
        if (state == Data) {
            if (TagAt(page, i, u"</SCRIPT")) return i;
            if (QStringView(page).mid(i, 4) == u"<!--") {
                state = Escaped;
                dashes = 2;
                i += 3;
            }
        } else if (state == Escaped) {
            if (TagAt(page, i, u"</SCRIPT")) return i;
            if (TagAt(page, i, u"<SCRIPT")) {
                state = DoubleEscaped;
                i += 6;
            }
        } else if (TagAt(page, i, u"</SCRIPT")) {
            state = Escaped;
            i += 7;
        }
    }
    return -1;
}

// Elements whose text holds no tags, up to their own end tag.
bool HoldsText(const QString &name) {
    static const std::array<QString, 9> names = {
        QStringLiteral("SCRIPT"),   QStringLiteral("STYLE"),    QStringLiteral("TITLE"),
        QStringLiteral("TEXTAREA"), QStringLiteral("XMP"),      QStringLiteral("IFRAME"),
        QStringLiteral("NOEMBED"),  QStringLiteral("NOFRAMES"), QStringLiteral("NOSCRIPT")};
    return std::find(names.begin(), names.end(), name) != names.end();
}

qsizetype TextEnd(const QString &page, qsizetype from, const QString &name) {
    if (name == QLatin1String("SCRIPT")) return ScriptTextEnd(page, from);
    const QString mark = QStringLiteral("</") + name;
    for (qsizetype i = page.indexOf(QLatin1String("</"), from); i >= 0;
         i = page.indexOf(QLatin1String("</"), i + 1))
        if (TagAt(page, i, mark)) return i;
    return -1;
}

bool IsLineEnd(QChar c) {
    const char16_t u = c.unicode();
    return u == '\n' || u == '\r' || u == 0x2028 || u == 0x2029;
}

bool IsNamePart(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '$' || (u > 127 && !c.isSpace() && u != 0x2028 && u != 0x2029);
}

// Words after which a "/" starts a regular expression, not a division.
bool BeforeOperand(QStringView word) {
    static const std::array<const char16_t *, 14> words = {
        u"return", u"typeof", u"instanceof", u"in", u"of",   u"new",   u"delete",
        u"void",   u"throw",  u"case",       u"do", u"else", u"yield", u"await"};
    for (const char16_t *w : words)
        if (word == QStringView(w)) return true;
    return false;
}

} // namespace

QString HtmlStartTag::attribute(const QString &upperName) const {
    for (const auto &[name, value] : attributes)
        if (name == upperName) return value;
    return QString();
}

HtmlWalkEnd WalkHtml(const QString &page, const std::function<bool(const HtmlStartTag &)> &visit) {
    const qsizetype size = page.size();
    for (qsizetype i = page.indexOf(QLatin1Char('<')); i >= 0 && i + 1 < size;
         i = page.indexOf(QLatin1Char('<'), i)) {
        const QChar c = page[i + 1];
        if (c == QLatin1Char('!') || c == QLatin1Char('?') ||
            (c == QLatin1Char('/') && i + 2 < size && !IsAsciiLetter(page[i + 2]))) {
            // A comment, or a declaration, "<?...>" or "</" without a name,
            // each up to the next ">".
            const bool comment = QStringView(page).mid(i, 4) == u"<!--";
            const qsizetype end =
                comment ? CommentEnd(page, i + 4) : page.indexOf(QLatin1Char('>'), i + 2);
            if (end < 0) return {HtmlWalkEnd::Comment, i, {}};
            i = comment ? end : end + 1;
        } else if (c == QLatin1Char('/') && i + 2 < size) {
            const qsizetype end = ReadTag(page, i, nullptr);
            if (end < 0) return {HtmlWalkEnd::Tag, i, {}};
            i = end;
        } else if (IsAsciiLetter(c)) {
            HtmlStartTag tag;
            tag.start = i;
            tag.end = ReadTag(page, i, &tag);
            if (tag.end < 0) return {HtmlWalkEnd::Tag, i, {}};
            i = tag.end;
            if (HoldsText(tag.name)) {
                tag.textEnd = TextEnd(page, tag.end, tag.name);
                if (tag.textEnd < 0) return {HtmlWalkEnd::Element, tag.start, tag.name};
                i = tag.textEnd;
            }
            if (!visit(tag)) return {HtmlWalkEnd::Text, i, {}};
        } else {
            ++i; // a "<" in the text
        }
    }
    return {};
}

qsizetype FindScriptCode(const QString &script, const QString &code) {
    const qsizetype size = script.size();
    const QStringView s(script);
    bool operand = false;  // what went before ends an operand: a "/" divides
    bool lineStart = true; // only blanks and comments since the line began
    qsizetype i = 0;
    // Past the line's end (or the text's).
    const auto lineEnd = [&](qsizetype from) {
        while (from < size && !IsLineEnd(s[from]))
            ++from;
        return from;
    };
    while (i < size) {
        const QChar c = s[i];
        if (IsLineEnd(c)) {
            lineStart = true;
            ++i;
            continue;
        }
        if (c.isSpace()) {
            ++i;
            continue;
        }
        const QChar next = i + 1 < size ? s[i + 1] : QChar();
        if ((c == QLatin1Char('/') && next == QLatin1Char('/')) || s.mid(i, 4) == u"<!--" ||
            (lineStart && s.mid(i, 3) == u"-->")) {
            i = lineEnd(i);
            continue;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype close = script.indexOf(QLatin1String("*/"), i + 2);
            if (close < 0) return -1;
            for (qsizetype k = i; k < close; ++k)
                if (IsLineEnd(s[k])) lineStart = true;
            i = close + 2;
            continue;
        }
        lineStart = false;
        if (s.mid(i, code.size()) == code) return i;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') ||
            (c == QLatin1Char('/') && !operand)) {
            // A string ends at its quote or, unfinished, at the line's end;
            // a template may span lines; a regular expression's "/" inside
            // [...] does not end it.
            bool inClass = false;
            qsizetype j = i + 1;
            while (j < size) {
                const QChar d = s[j];
                if (d == QLatin1Char('\\')) {
                    j += j + 2 < size && s[j + 1] == QLatin1Char('\r') &&
                                 s[j + 2] == QLatin1Char('\n')
                             ? 3
                             : 2;
                    continue;
                }
                if (c != QLatin1Char('`') && IsLineEnd(d)) break;
                if (c == QLatin1Char('/')) {
                    if (d == QLatin1Char('['))
                        inClass = true;
                    else if (d == QLatin1Char(']'))
                        inClass = false;
                    else if (d == QLatin1Char('/') && !inClass)
                        break;
                } else if (d == c) {
                    break;
                }
                ++j;
            }
            if (c == QLatin1Char('`') && j >= size) return -1;
            i = j < size && !IsLineEnd(s[j]) ? j + 1 : j;
            operand = true;
            continue;
        }
        if (IsNamePart(c)) {
            const qsizetype from = i;
            while (i < size && IsNamePart(s[i]))
                ++i;
            operand = !BeforeOperand(s.mid(from, i - from));
            continue;
        }
        operand = c == QLatin1Char(')') || c == QLatin1Char(']');
        ++i;
    }
    return -1;
}
