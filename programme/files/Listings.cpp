#include "programme/files/Listings.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/TextRoutines.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/ProgrammeText.h"

#include <QHash>
#include <QRegularExpression>
#include <functional>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <algorithm>

namespace {

const QString SeparatorLine = QStringLiteral("\n") + QString(36, QLatin1Char('_')) + QStringLiteral("\n\n");

// A tune-page link in the notes gets "Music Link: " before the "http" that
// begins it.
QString WithMusicLinks(const QString &notes) {
    static const QString page = QStringLiteral("abc.aspx?T");
    QString out = notes;
    qsizetype at = PosNoCase(page, out);
    while (at > 0) {
        const qsizetype http = PosBackNoCase(QStringLiteral("http"), out, at);
        qsizetype next = at + page.size();
        if (http > 0 && !out.mid(http - 1 - 12, 12).startsWith(QLatin1String("Music Link: "))) {
            out.insert(http - 1, QStringLiteral("Music Link: "));
            next += 12;
        }
        at = next <= out.size() ? PosNoCase(page, out, next) : 0;
    }
    return out;
}

// The instructions as the listing takes them: dashes made plain, single
// line spacing.
QString ListedInstructions(const QString &rtf) {
    QString out = rtf;
    for (const char *dash : {"\\emdash ", "\\endash ", "\\emdash", "\\endash"})
        out.replace(QLatin1String(dash), QStringLiteral("-"));
    out.replace(QLatin1String("\\slmult0"), QLatin1String("\\slmult1"));
    return out;
}

void Add(QList<ListingPiece> &pieces, int kind, const QString &text) { pieces.append({kind, text, false}); }

void AddDance(QList<ListingPiece> &pieces, const ProgrammeItem &row, const DanceLookup &lookup) {
    const std::optional<DanceFields> dance = lookup.find(row.key);
    const auto value = [&](const char *name) { return dance ? dance->value(QLatin1String(name)) : QString(); };
    const QString shown = DisplayTitle(row.key.Title);
    const QString style = dance ? value("Style") : row.key.Style;
    const QString title = (style.contains(QLatin1String("Break")) ? QStringLiteral("Break:  ") : QString()) + shown;
    const QString instructions = value("Instructions");
    const QString plain = rtfPlainText(instructions);
    if (plain.trimmed().size() < 3) {
        Add(pieces, ListTitle, title);
        const QString format = dance ? value("Format") : row.key.Format;
        if (format != QLatin1String("Technique") && row.key.Title != QLatin1String("Waltz"))
            Add(pieces, ListTitle, QStringLiteral("\n\nNO INSTRUCTIONS"));
    } else {
        const QString firstLine = plain.section(QRegularExpression(QStringLiteral("[\r\n\v]")), 0, 0).trimmed();
        if (firstLine != title && firstLine != shown) Add(pieces, ListTitle, title + QStringLiteral("\n\n"));
        pieces.append({ListTitle, ListedInstructions(instructions), true});
    }
    const QString notes = value("Notes");
    if (!notes.trimmed().isEmpty()) {
        Add(pieces, ListBold, QStringLiteral("\n\nNotes: \n\n"));
        Add(pieces, ListItalic, WithMusicLinks(notes));
    }
    Add(pieces, ListTitle, SeparatorLine);
}

QTextCharFormat KindFormat(int kind, const QString &text) {
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Verdana")});
    f.setFontPointSize(kind == ListHeading || kind == ListTitle ? 16 : 12);
    if (kind == ListHeading || kind == ListTitle) f.setForeground(QColor(0x80, 0x00, 0x80));
    f.setFontWeight(kind == ListItalic ? QFont::Normal : QFont::Bold);
    f.setFontItalic(kind == ListItalic);
    f.setFontUnderline(kind == ListHeading && IsSessionHeading(text.trimmed()));
    return f;
}

} // namespace

QList<ListingPiece> BuildListing(const QList<ProgrammeItem> &rows, const ListingOptions &options,
                                 const DanceLookup &lookup) {
    QList<ListingPiece> pieces;
    Add(pieces, ListHeading, options.heading + QStringLiteral("\n\n"));
    Add(pieces, ListBold, options.info + QStringLiteral("\n\n"));
    bool afterNextTime = false;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ProgrammeItem &row = rows[i];
        if (row.isHeading() && IsSessionHeading(row.text)) afterNextTime = false;
        if (options.selectedOnly && !(i < options.marks.size() && options.marks[i])) continue;
        const bool skipped = afterNextTime && !options.nextTimeToo;
        switch (row.kind) {
        case ItemKind::Dance:
            if (row.key.Title.isEmpty() || skipped) break;
            AddDance(pieces, row, lookup);
            break;
        case ItemKind::Note: {
            const QString &text = row.text;
            if (text.isEmpty() || text.startsWith(QLatin1Char('!')) || text.contains(QLatin1String("Average Level")))
                break;
            if (text.startsWith(QLatin1Char('+'))) Add(pieces, ListBold, text.mid(1));
            else Add(pieces, text.size() < 30 ? ListBold : ListItalic, text);
            Add(pieces, ListTitle, SeparatorLine);
            break;
        }
        case ItemKind::Heading:
            if (IsNextTimeHeading(row.text)) afterNextTime = true;
            if (afterNextTime && !options.nextTimeToo) break;
            Add(pieces, ListHeading, row.text + QStringLiteral("\n"));
            Add(pieces, ListTitle, SeparatorLine);
            break;
        }
    }
    return pieces;
}

QString ListingRtf(const QList<ListingPiece> &pieces) {
    QTextDocument doc;
    QTextCursor cursor(&doc);
    for (const ListingPiece &piece : pieces) {
        cursor.movePosition(QTextCursor::End);
        if (piece.rtf) {
            QTextDocument part;
            ReadRtf(piece.text, &part);
            cursor.insertFragment(QTextDocumentFragment(&part));
            continue;
        }
        AddRTFLine(cursor, piece.text, piece.kind);
    }
    return WriteRtf(&doc);
}

void AddRTFLine(QTextCursor &cursor, const QString &text, int kind) {
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat block;
    block.setAlignment(kind == ListHeading ? Qt::AlignHCenter : Qt::AlignLeft);
    const QTextCharFormat format = KindFormat(kind, text);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) cursor.insertBlock(block, format);
        // A line begun by an earlier piece (the instructions' last
        // paragraph) keeps its own layout.
        else if (cursor.block().length() <= 1) cursor.setBlockFormat(block);
        cursor.insertText(lines[i], format);
    }
}

QString MarkMusicLinks(const QString &rtf) {
    static const QString link = QStringLiteral("Music Link:");
    QString out = rtf;
    qsizetype at = out.indexOf(link);
    while (at >= 0) {
        // The address ends at a blank, a line end or the next control word.
        qsizetype end = at + 20;
        while (end < out.size() && !QStringLiteral(" \r\n\\{}").contains(out[end])) ++end;
        out.insert(end, QStringLiteral("\\b0\\cf0 "));
        out.insert(at, QStringLiteral("\\cf1\\b "));
        at = out.indexOf(link, end + 16);
    }
    out.replace(QLatin1String("\\line "), QLatin1String("\\line\\tab "));
    return out;
}

QString ListingPlainText(const QString &plain) {
    QString out = plain;
    out.replace(QChar(0x00A0), QLatin1Char(' '));
    const QStringView crlf(u"\r\n");
    for (qsizetype i = out.size() - 1; i >= 0; --i) {
        if (out[i] == QChar(0x0B) && QStringView(out).sliced(i + 1).startsWith(crlf)) {
            out.remove(i, 3);
        } else if (QStringView(out).sliced(i).startsWith(crlf)) {
            const bool before = i >= 2 && QStringView(out).sliced(i - 2, 2) == crlf;
            const bool after = QStringView(out).sliced(i + 2).startsWith(crlf);
            if (!before && !after) out.insert(i, crlf);
        }
    }
    return out;
}

bool HasNextTime(const QString &progText) { return PosNoCase(QStringLiteral("O|Next time"), progText) > 0; }

int MarkedDances(const QList<ProgrammeItem> &rows, const QList<bool> &marks) {
    int n = 0;
    for (qsizetype i = 0; i < rows.size() && i < marks.size(); ++i)
        if (marks[i] && rows[i].isDance()) ++n;
    return n;
}

QString TitlesText(const QList<ProgrammeItem> &rows, const QList<bool> &marks, bool sorted) {
    const bool selected = MarkedDances(rows, marks) >= 2;
    QStringList titles;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!rows[i].isDance() || rows[i].key.Title.isEmpty()) continue;
        if (selected && !(i < marks.size() && marks[i])) continue;
        titles.append(rows[i].key.Title);
    }
    if (sorted)
        std::stable_sort(titles.begin(), titles.end(),
                         [](const QString &a, const QString &b) { return FoldUpper(a) < FoldUpper(b); });
    QString text;
    for (const QString &t : titles) text += DisplayTitle(t) + QStringLiteral("\r\n");
    return text;
}

QStringList BandTunes(const QList<EventRecord> &events, int current, const QString &org, bool ignoreOrg,
                      const DanceLookup &lookup, QChar sep) {
    // A dance met again (in another event, or in the organiser's scan) is
    // not read again.
    QHash<DanceKey, bool> known;
    const auto isOwnTune = [&](const DanceKey &key) {
        const auto it = known.constFind(key);
        if (it != known.constEnd()) return *it;
        const std::optional<DanceFields> dance = lookup.find(key);
        return known[key] = dance && dance->value(QStringLiteral("OwnTune")) == QLatin1String("Y");
    };
    const auto ownTunes = [&](const EventRecord &event, const std::function<void(const QString &)> &take) {
        const ProgrammeRead read = ReadProgramme(event.Programme, sep);
        for (const ProgrammeItem &item : read.items)
            if (item.isDance() && !item.key.Title.isEmpty() && isOwnTune(item.key)) take(item.key.Title);
    };
    QStringList titles;
    for (int i = std::min<int>(current, int(events.size())) - 1; i >= 0; --i)
        ownTunes(events[i], [&](const QString &t) {
            if (!titles.contains(t)) titles.append(t);
        });
    if (ignoreOrg)
        for (const EventRecord &event : events)
            if (event.Org == org) ownTunes(event, [&](const QString &t) { titles.removeAll(t); });
    std::sort(titles.begin(), titles.end(), [](const QString &a, const QString &b) { return FoldUpper(a) < FoldUpper(b); });
    return titles;
}
