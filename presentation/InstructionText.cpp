#include "presentation/InstructionText.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"

#include <QStringList>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString ParWord = QStringLiteral("\\par ");

bool isLower(QChar c) { return c.unicode() >= 'a' && c.unicode() <= 'z'; }
bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// Backslashes directly before a 0-based index.
int backslashesBefore(const QString &text, qsizetype index) {
    int run = 0;
    for (qsizetype k = index - 1; k >= 0 && text[k] == u'\\'; --k) ++run;
    return run;
}

// Every unescaped occurrence of a word (starting with a backslash) replaced.
QString replaceWord(const QString &text, const QString &word, const QString &by) {
    QString out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(word, from);
        if (at < 0) break;
        if (backslashesBefore(text, at) % 2 != 0) {
            out += QStringView(text).mid(from, at + 1 - from);
            from = at + 1;
            continue;
        }
        out += QStringView(text).mid(from, at - from);
        out += by;
        from = at + word.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

QString LayoutPrefix(const CardLayout &layout) {
    QString p = QStringLiteral("\\pard");
    if (!layout.lineSpacing.isEmpty()) p += QLatin1String("\\sl-") + layout.lineSpacing;
    if (!layout.paraGap.isEmpty()) p += QLatin1String("\\sa") + layout.paraGap;
    p += QLatin1String("\\slmult0");
    for (int t : layout.tabStops) p += QLatin1String("\\tx") + QString::number(t);
    return p;
}

QString HangingIndentPrefixFor(int firstTab) {
    return QLatin1String("\\fi-") + QString::number(firstTab) + QLatin1String("\\li") + QString::number(firstTab);
}

int RTFWordPos(const QString &word, const QString &text, int start) {
    qsizetype p = std::max(1, start);
    while (p <= text.size()) {
        p = PosNoCase(word, text, p);
        if (p == 0) return 0;
        const qsizetype after = p - 1 + word.size();
        const bool wordEnds = after >= text.size() || !isLower(text[after]);
        if (wordEnds && backslashesBefore(text, p - 1) % 2 == 0) return int(p);
        ++p;
    }
    return 0;
}

QString StripLayout(const QString &rtf) {
    static const QStringList words = {"\\sl", "\\slmult0", "\\tx", "\\sa", "\\pard", "\\fi", "\\li", "\\fs12"};
    QString s = rtf;
    for (const QString &word : words) {
        int p = RTFWordPos(word, s, 1);
        while (p > 0) {
            const qsizetype i = p - 1;
            qsizetype j = i + 1;
            while (j < s.size() && (s[j] == u'-' || isDigit(s[j]) || isLower(s[j]))) ++j;
            s.remove(i, j - i);
            if (i < s.size() && s[i] == u' ') {
                // A control word just before needs the blank as its delimiter.
                qsizetype k = i - 1;
                while (k >= 0 && s[k] != u' ' && s[k] != u'\\') --k;
                if (!(k >= 0 && s[k] == u'\\')) s.remove(i, 1);
            }
            p = RTFWordPos(word, s, int(i) + 1);
        }
    }
    return s;
}

QString DoubleHalfLines(const QString &rtf, bool halfLines, InstructionBox box) {
    if (!halfLines || box != InstructionBox::EditorInstructions) return rtf;
    if (rtf.contains(ParWord + CrLf + ParWord) || !rtf.contains(QLatin1String("A1"))) return rtf;
    QString s = replaceWord(rtf, ParWord, ParWord + CrLf + ParWord);
    return replaceWord(s, CrLf + QLatin1String("\\par }"), QStringLiteral("}"));
}

QString LayoutLines(const QString &rtf, bool &tabBlockOpen, const CardLayout &layout) {
    // Lines as a string list holds them: a final CR LF ends the last line
    // and makes no empty line of its own.
    const bool endsWithBreak = rtf.endsWith(CrLf);
    QStringList lines = (endsWithBreak ? rtf.chopped(2) : rtf).split(CrLf);
    // The header: every line before the first text line. The last line (the
    // document's end) is not treated either.
    int first = -1;
    for (int i = 0; i < lines.size() && first < 0; ++i)
        if (RTFWordPos(QStringLiteral("\\viewkind"), lines[i]) > 0) first = i;
    for (int i = 0; i < lines.size() && first < 0; ++i)
        if (!lines[i].startsWith(u'{')) first = i;
    if (first < 0) return rtf;

    const QString prefix = LayoutPrefix(layout);
    const QString hanging = prefix + layout.hangingIndentPrefix;
    const QString special = QStringLiteral("\\par \\f1\\fs16");
    bool half = false;
    for (int i = first; i < lines.size() - 1; ++i) {
        QString &line = lines[i];
        int at = 5;
        if (const int u = RTFWordPos(QStringLiteral("\\uc"), line); u > 0) {
            if (u + 4 > 9) at = u + 4;
        } else if (const int v = RTFWordPos(QStringLiteral("\\viewkind"), line); v > 0) {
            if (v + 10 > 9) at = v + 10;
        }
        if (line.startsWith(ParWord)) {
            // Formatting that ends with the previous paragraph goes back to it.
            for (;;) {
                QString moved;
                for (const char *w : {"\\b0", "\\i0", "\\ulnone"}) {
                    const QString word = QString::fromLatin1(w);
                    if (!QStringView(line).mid(5).startsWith(word)) continue;
                    const qsizetype after = 5 + word.size();
                    if (after < line.size() && line[after].isLetterOrNumber()) continue;
                    moved = word;
                    break;
                }
                if (moved.isEmpty()) break;
                qsizetype len = moved.size();
                if (5 + len < line.size() && line[5 + len] == u' ') {
                    moved += u' ';
                    ++len;
                }
                line.remove(5, len);
                lines[i - 1] += moved;
            }
        }
        if (line == ParWord && layout.halfLines) {
            line = QStringLiteral("\\par \\pard\\fs12");
            half = true;
            continue;
        }
        const bool holdsTab = RTFWordPos(QStringLiteral("\\tab"), line) > 0;
        const bool isSpecial = line == special;
        const qsizetype insertAt = std::min<qsizetype>(at - 1, line.size());
        if ((tabBlockOpen || half) && !holdsTab && !isSpecial) {
            tabBlockOpen = false;
            line.insert(insertAt, prefix);
        } else if ((i == first || !tabBlockOpen || half) && holdsTab) {
            tabBlockOpen = true;
            line.insert(insertAt, hanging);
        }
        if (half && !isSpecial) {
            const qsizetype p = MustPos(QStringLiteral("\\pard"), line);
            line.insert(p - 1 + 5, QStringLiteral("\\fs24"));
            half = false;
        }
    }
    return lines.join(CrLf) + (endsWithBreak ? CrLf : QString());
}

LayoutResult LayoutText(const QString &rtf, bool tabBlockOpen, const CardLayout &layout, InstructionBox box) {
    LayoutResult r;
    r.tabBlockOpen = tabBlockOpen;
    if (RTFWordPos(QStringLiteral("\\intbl"), rtf) > 0) {
        r.text = r.stored = rtf;
        r.table = true;
        return r;
    }
    QString s = StripLayout(rtf);
    s = DoubleHalfLines(s, layout.halfLines, box);
    r.stored = s;
    r.text = LayoutLines(s, r.tabBlockOpen, layout);
    return r;
}

QString TrimRTF(const QString &rtf) {
    static const QStringList pieces = {"\n", "\r", "\\par ", "\\pard", "\\fs24", "\\fs24 ", "\\fs12", "}", "\\i", "\\b ", "\\u "};
    static const int frontPieces = 7;
    QString s = rtf;
    for (;;) {
        const QString before = s;
        for (int k = 0; k < frontPieces; ++k)
            if (s.startsWith(pieces[k])) s.remove(0, pieces[k].size());
        for (const QString &piece : pieces) {
            if (!s.endsWith(piece)) continue;
            const qsizetype at = s.size() - piece.size();
            const bool checked = piece.startsWith(u'\\') || piece == QLatin1String("}");
            if (checked && backslashesBefore(s, at) % 2 != 0) continue; // escaped text
            s.chop(piece.size());
        }
        if (s == before) break;
    }
    return s;
}

RtfFontSpot FindRtfFontSize(const QString &s) {
    RtfFontSpot spot;
    const qsizetype p = s.indexOf(QLatin1String("fcharset0 "));
    if (p >= 0) {
        const qsizetype end = s.indexOf(u';', p + 10);
        if (end >= 0) spot.name = {p + 10, end};
    }
    // Whole size words only: "\fswiss" of a font table is passed over.
    const auto sizeWord = [&s](qsizetype from) -> qsizetype {
        for (int p = RTFWordPos(QStringLiteral("\\fs"), s, int(from) + 1); p > 0;
             p = RTFWordPos(QStringLiteral("\\fs"), s, p + 1))
            if (p - 1 + 3 < s.size() && isDigit(s[p - 1 + 3])) return p - 1;
        return -1;
    };
    const qsizetype first = sizeWord(0);
    if (first < 0) return spot;
    qsizetype at = first;
    const qsizetype second = sizeWord(first + 3);
    if (second >= 0 && QStringView(s).mid(first, second - first).contains(QLatin1String("Title"))) at = second;
    qsizetype end = at + 3;
    while (end < s.size() && isDigit(s[end])) ++end;
    spot.size = {at + 3, end};
    return spot;
}

QString SetRtfFontSize(const QString &rtf, bool usePrimary, const QString &fontName, const QString &halfPoints) {
    if (!usePrimary) return rtf;
    QString s = rtf;
    RtfFontSpot spot = FindRtfFontSize(s);
    if (!fontName.isEmpty() && spot.name.first >= 0) {
        s.replace(spot.name.first, spot.name.second - spot.name.first, fontName);
        spot = FindRtfFontSize(s);
    }
    if (spot.size.second > spot.size.first) s.replace(spot.size.first, spot.size.second - spot.size.first, halfPoints);
    return s;
}

std::optional<QString> TuneFromInstructions(const TuneSource &source) {
    QString text = source.plainText;
    if (source.showTitles) {
        const qsizetype p = text.indexOf(QLatin1String("\r\n\r"));
        if (p >= 0) text = text.mid(p + 4);
    }
    const qsizetype end = text.indexOf(CrLf);
    if (end < 0) return std::nullopt;
    if (SameText(source.format, QStringLiteral("Technique")) || SameText(source.style, QStringLiteral("Positional")) ||
        PosNoCase(QStringLiteral("Break"), source.style) > 0)
        return std::nullopt;
    const QString line = text.left(end);
    QString tune;
    if (const qsizetype tab = line.lastIndexOf(u'\t'); tab >= 0) {
        tune = line.mid(tab + 1);
    } else {
        const qsizetype mark = line.lastIndexOf(QChar(15));
        if (mark < 0) return std::nullopt;
        tune = line.mid(mark + 1);
        if (tune.startsWith(u' ')) tune.remove(0, 1);
    }
    if (tune.endsWith(u' ')) tune.chop(1);
    if (SameText(source.ownTune, QStringLiteral("Y"))) {
        const QString rhythm = QLatin1String(" (") + source.rhythm + QLatin1String(")");
        if (const qsizetype p = PosNoCase(rhythm, tune); p > 0) tune.remove(p - 1, rhythm.size());
        if (source.collection.size() > 4) tune += QLatin1String(" in ") + source.collection;
    }
    if (tune.isEmpty()) return std::nullopt;
    return tune;
}
