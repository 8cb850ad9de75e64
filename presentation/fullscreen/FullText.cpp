#include "presentation/fullscreen/FullText.h"

#include "base/FastStrings.h"
#include "base/Messages.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/sqlite/Database.h"

#include <QColor>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString EmptyPair = QStringLiteral("\r\n\\par \r\n\\par ");

// Colours as the display states them, turned from BGR once.
const QColor BreakColour(0xC0, 0x00, 0xC0);
const QColor RecordingColour(0x78, 0x2E, 0x00);
const QColor DividerColour(0x80, 0x00, 0x80);
const QColor NotesColour(0x00, 0x00, 0xA0);

// Inserts text line by line (CR LF, CR or LF end a line) in one format.
void InsertLines(QTextCursor &cursor, const QString &text, const QTextCharFormat &format) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(breaks);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) cursor.insertBlock(cursor.blockFormat(), format);
        cursor.insertText(lines[i], format);
    }
}

QTextCharFormat Coloured(const QColor &colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(QFont::Normal);
    format.setFontItalic(false);
    format.setFontUnderline(false);
    return format;
}

} // namespace

QString ExpandMainNotes(const QString &notes, const MainDanceLookup &lookup) {
    const QString marker = QStringLiteral("Main=\"");
    const qsizetype at = notes.indexOf(marker);
    if (at < 0) return notes;
    const qsizetype close = notes.indexOf(QLatin1Char('"'), at + marker.size());
    if (close < 0) return notes;
    const QString title = notes.mid(at + marker.size(), close - at - marker.size());
    const QString rest = notes.left(at) + notes.mid(close + 1);
    const std::optional<MainDance> main = lookup ? lookup(title) : std::nullopt;
    if (!main) AbortMsg(title + QStringLiteral(": Main Dance not found."));
    if (main->title != title) AbortMsg(title + QStringLiteral(": Capitalisation is wrong."));
    if (main->notes.isEmpty()) {
        ShowMsg(QStringLiteral("Main Dance has no notes to include!"));
        return rest;
    }
    return rest + CrLf + CrLf + main->notes;
}

MainDanceLookup CatalogueMainDance(Database &db) {
    return [&db](const QString &title) -> std::optional<MainDance> {
        Statement select(db.handle(), QStringLiteral("Select Title, Notes from Dances where Title = ?1 order by (Title = ?1 collate binary) desc"));
        select.bind(1, title);
        if (!select.step()) return std::nullopt;
        return MainDance{select.columnText(0), select.columnText(1)};
    };
}

int DividerLength(int zoom) { return 11000 / std::max(zoom, 1); }

FullTextResult DanceFullText(const FullTextInput &in) {
    // 2. Narrow lines at a large zoom.
    const QString instructions = in.zoom > 200 ? NarrowTabs(in.instructions) : in.instructions;

    // 3.-5. Break prefix, recording line and notes go in through the
    // document, so the writer escapes what the user typed.
    QTextDocument doc;
    ReadRtf(instructions, &doc);
    QTextCursor cursor(&doc);
    if (in.isBreak) {
        cursor.movePosition(QTextCursor::Start);
        QTextCharFormat first = cursor.charFormat();
        QTextCharFormat word = first;
        word.setForeground(BreakColour);
        cursor.insertText(QStringLiteral("Break:"), word);
        cursor.insertText(QStringLiteral("  "), first);
    }
    cursor.movePosition(QTextCursor::End);
    QString line;
    for (const auto &[key, value] : in.recording)
        if (!value.isEmpty()) line += key + QLatin1Char('=') + value + QStringLiteral("  ");
    if (!line.isEmpty()) {
        const QTextCharFormat format = Coloured(RecordingColour);
        cursor.insertBlock(cursor.blockFormat(), format);
        cursor.insertBlock(cursor.blockFormat(), format);
        cursor.insertText(line, format);
    }
    if (!in.notes.isEmpty()) {
        QTextCharFormat divider = Coloured(DividerColour);
        divider.setFontPointSize(12);
        divider.setBackground(Qt::white);
        cursor.insertBlock(cursor.blockFormat(), divider);
        cursor.insertText(QString(DividerLength(in.zoom), QLatin1Char('_')), divider);
        QTextCharFormat notes = Coloured(NotesColour);
        notes.setFontPointSize(12);
        notes.setFontWeight(QFont::Bold);
        cursor.insertBlock(cursor.blockFormat(), notes);
        cursor.insertBlock(cursor.blockFormat(), notes);
        InsertLines(cursor, in.notes, notes);
    }
    // 8. (on the document: it works on bold runs; the words it changes are
    // none of the gender-free list's).
    if (in.swap) SwapHeadsSides(&doc, in.title);
    QString rtf = WriteRtf(&doc);

    // 7., 9., 10.
    if (in.genderFree) rtf = GenderFree(rtf, in.man, in.woman);
    rtf = ShrinkBlankLines(rtf);
    FullTextResult result;
    result.rtf = CurlQuotes(rtf, &result.unmatchedQuotes);
    return result;
}

QString NarrowTabs(const QString &rtf) {
    const QString tab = QStringLiteral("\\tab ");
    const QString gap = QStringLiteral("\\b    \\b0 ");
    const QString doubleTab = tab + tab;
    if (rtf.contains(doubleTab)) return FastReplaceStr(rtf, doubleTab, gap, true);
    const qsizetype a1 = rtf.indexOf(QLatin1String("A1"));
    const qsizetype at = rtf.indexOf(tab);
    if (a1 < 0 || at < 0 || at > a1) return rtf;
    return rtf.left(at) + gap + rtf.mid(at + tab.size());
}

QString GenderFree(const QString &rtf, const QString &man, const QString &woman) {
    static const QString olds = QStringLiteral(
        "lady|woman|ladies|women| man|men's| men|(man|(men|gentleman|gentlemen|gent|same-sex| sex|"
        "\\b 1L\\|\\b 2L\\|\\b 3L\\|\\b 4L\\|\\b 1M\\|\\b 2M\\|\\b 3M\\|\\b 4M\\");
    QString news = QStringLiteral(
        "Raven|Raven|Ravens|Ravens| Lark|Larks'| Larks|(Lark|(Larks|Lark|Larks|Lark|same-role| role|"
        "\\b 1 Raven\\|\\b 2 Raven\\|\\b 3 Raven\\|\\b 4 Raven\\|\\b 1 Lark\\|\\b 2 Lark\\|\\b 3 Lark\\|\\b 4 Lark\\");
    news = FastReplaceStr(news, QStringLiteral("Raven"), woman, true);
    news = FastReplaceStr(news, QStringLiteral("Lark"), man, true);
    return MultiReplace(rtf, olds, news, false, true);
}

void SwapHeadsSides(QTextDocument *doc, const QString &title) {
    // A bold run that begins with one of the words: the RTF may or may not
    // say "\b" just before it (bold can carry on from the line above).
    static const std::pair<QString, QString> swap[] = {
        {QStringLiteral("up and down"), QStringLiteral("across")}, {QStringLiteral("Up and down"), QStringLiteral("Across")},
        {QStringLiteral("up & down"), QStringLiteral("across")},   {QStringLiteral("Up & down"), QStringLiteral("Across")},
        {QStringLiteral("across"), QStringLiteral("up and down")}, {QStringLiteral("Across"), QStringLiteral("Up and down")},
        {QStringLiteral("head"), QStringLiteral("side")},          {QStringLiteral("Head"), QStringLiteral("Side")},
        {QStringLiteral("side"), QStringLiteral("head")},          {QStringLiteral("Side"), QStringLiteral("Head")},
    };
    struct Hit {
        int position;
        int length;
        QString replacement;
        QTextCharFormat format;
    };
    QList<Hit> hits;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        // The title line ("Heads Up") is no instruction.
        if (block == doc->begin() && !title.isEmpty() && block.text() == title) continue;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().fontWeight() < QFont::Bold) continue;
            const QString text = fragment.text();
            for (const auto &[from, to] : swap)
                if (text.startsWith(from)) {
                    hits.append({fragment.position(), int(from.size()), to, fragment.charFormat()});
                    break;
                }
        }
    }
    // From the end, so earlier positions stay valid.
    for (auto it = hits.crbegin(); it != hits.crend(); ++it) {
        QTextCursor cursor(doc);
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + it->length, QTextCursor::KeepAnchor);
        cursor.insertText(it->replacement, it->format);
    }
}

QString SwapHeadsSides(const QString &rtf) {
    QTextDocument doc;
    ReadRtf(rtf, &doc);
    SwapHeadsSides(&doc);
    return WriteRtf(&doc);
}

QString ShrinkBlankLines(const QString &rtf) {
    QString out = FastReplaceStr(rtf, QStringLiteral("\\fs12"), QStringLiteral("\\fs8"), true);
    return FastReplaceStr(out, EmptyPair, QStringLiteral("\\par \\fs8\r\n\\par \\fs24 "), true);
}

QString CurlQuotes(const QString &rtf, bool *odd) {
    QString out;
    out.reserve(rtf.size() + 32);
    int count = 0;
    for (QChar c : rtf)
        if (c == QLatin1Char('"')) ++count;
    if (odd) *odd = count % 2 != 0;
    // From the last backwards: closing, opening, closing ...
    int seen = 0;
    for (QChar c : rtf) {
        if (c != QLatin1Char('"')) {
            out += c;
            continue;
        }
        const int fromEnd = count - seen++; // 1 for the last quote
        out += fromEnd % 2 == 1 ? QStringLiteral("\\'94") : QStringLiteral("\\'93");
    }
    return out;
}

void DrawFractions(QTextDocument *doc) {
    struct Fraction {
        QChar ch;
        QString numerator, denominator;
        QColor colour;
    };
    const Fraction fractions[] = {
        {QChar(0xBC), QStringLiteral("1"), QStringLiteral("4"), QColor(0xFF, 0xFF, 0x00)},
        {QChar(0xBD), QStringLiteral("1"), QStringLiteral("2"), QColor(0xFE, 0xAB, 0xAB)},
        {QChar(0xBE), QStringLiteral("3"), QStringLiteral("4"), QColor(0x62, 0xFF, 0x62)},
    };
    for (const Fraction &f : fractions) {
        QTextCursor found(doc);
        while (!(found = doc->find(QString(f.ch), found)).isNull()) {
            QTextCharFormat format = found.charFormat();
            format.setFontWeight(QFont::Bold);
            format.setFontPointSize(10);
            format.setBackground(f.colour);
            QTextCharFormat raised = format;
            raised.setBaselineOffset(35);
            const int start = found.selectionStart();
            found.insertText(f.numerator, raised);
            found.insertText(QStringLiteral("/"), format);
            found.insertText(f.denominator, format);
            if (start > 0) {
                QTextCursor digit(doc);
                digit.setPosition(start - 1);
                digit.setPosition(start, QTextCursor::KeepAnchor);
                const QString d = digit.selectedText();
                if (d.size() == 1 && d[0] >= QLatin1Char('1') && d[0] <= QLatin1Char('9')) {
                    QTextCharFormat back;
                    back.setBackground(f.colour);
                    digit.mergeCharFormat(back);
                }
            }
        }
    }
}

QString NotesRowText(const QString &text, const QString &org, const QString &time, const QString &band) {
    const QString body = text.startsWith(QLatin1Char('!')) ? text.mid(1) : text;
    if (body.size() >= 650) return body;
    QString head = QStringLiteral("Organisation: ") + org;
    if (!time.isEmpty()) head += CrLf + QStringLiteral("Time: ") + time;
    if (!band.isEmpty() && band != QLatin1String("Recorded")) head += CrLf + QStringLiteral("Band: ") + band;
    return head + CrLf + CrLf + body;
}

QString NotesViewRtf(const QString &notes) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat format;
    format.setFontPointSize(10); // the size the shrunk blank lines return to
    InsertLines(cursor, notes, format);
    QString rtf = WriteRtf(&doc);
    rtf = FastReplaceStr(rtf, EmptyPair, QStringLiteral("\\par \\fs8\r\n\\par \\fs20 "), true);
    rtf = FastReplaceStr(rtf, QStringLiteral("\\ldblquote "), QStringLiteral("\""), true);
    rtf = FastReplaceStr(rtf, QStringLiteral("\\rdblquote "), QStringLiteral("\""), true);
    return FastReplaceStr(rtf, QStringLiteral("\\emdash "), QStringLiteral("-"), true);
}

const QStringList &SquareHeadings() {
    static const QStringList headings = {
        QStringLiteral("\nFifth figure:"), QStringLiteral("\nFourth figure:"), QStringLiteral("\nThird figure:"),
        QStringLiteral("\nSecond figure:"), QStringLiteral("\nFirst figure:"), QStringLiteral("\nBreak:"),
        QStringLiteral("\nFigure:"), QStringLiteral("\nCloser:"), QStringLiteral("\nMiddle:"),
        QStringLiteral("\nOpener:")};
    return headings;
}

int HeadingTarget(const QString &plain, int top, bool forward) {
    const QStringList &headings = SquareHeadings();
    const QString before = plain.left(top + 20);
    int current = -1;
    for (int i = 0; i < 9 && current < 0; ++i)
        if (before.contains(headings[i])) current = i;
    // The line of a heading starts after its line feed.
    auto lineOf = [&](const QString &heading) {
        const qsizetype at = plain.indexOf(heading);
        return at < 0 ? -1 : int(at + 1);
    };
    if (!forward) {
        if (current < 0) return 0;
        for (int i = current + 1; i < headings.size(); ++i) {
            const int at = lineOf(headings[i]);
            if (at >= 0) return at < top ? at : 0;
        }
        return 0;
    }
    if (current > 0) {
        const int at = lineOf(headings[current - 1]);
        if (at >= 0) return at;
    }
    for (const char *first : {"\nFirst figure:", "\nFigure:", "\nOpener:", "\nSecond figure:", "\nA1:"}) {
        const int at = lineOf(QString::fromLatin1(first));
        if (at >= 0) return at;
    }
    return -1;
}
