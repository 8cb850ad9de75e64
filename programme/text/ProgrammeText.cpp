#include "programme/text/ProgrammeText.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "programme/text/HeadingRoles.h"

#include <QStringView>

const QString LegacySeparator = QString(QChar(0x0081)) + QLatin1Char('E');

namespace {

constexpr QChar NoBreakSpace{0x00A0};

// The recording choice after "§": its leading digits (none gives 0). A choice
// that is not a plain number is logged and the dance kept.
int RecordingChoice(QStringView digits, QStringView item) {
    qsizetype n = 0;
    while (n < digits.size() && digits[n] >= u'0' && digits[n] <= u'9') ++n;
    bool ok = n > 0;
    int value = 0;
    if (ok) {
        value = digits.first(n).toInt(&ok);
        if (!ok) value = 0;
    }
    if (!ok || n != digits.size())
        WriteLog(QStringLiteral("Recording choice not a number in ") + item.toString());
    return value;
}

// Formats and styles come from a short list of values: the reader shares one
// copy of each recent value instead of allocating it again for every dance.
QString Shared(QStringView text) {
    if (text.isEmpty()) return QString();
    thread_local QString recent[64];
    const unsigned slot = (unsigned(text.size()) * 31u + text.front().unicode() * 7u + text.back().unicode()) & 63u;
    QString &cached = recent[slot];
    if (cached != text) cached = text.toString();
    return cached;
}

void ReadDance(QStringView item, ProgrammeItem &dance) {
    QStringView rest = item.size() > 2 ? item.sliced(2) : QStringView();
    dance.kind = ItemKind::Dance;
    const qsizetype p1 = rest.indexOf(u'|');
    if (p1 < 0) {
        dance.key.Title = rest.toString();
        return;
    }
    dance.key.Title = rest.first(p1).toString();
    rest = rest.sliced(p1 + 1);
    const qsizetype p2 = rest.indexOf(u'|');
    if (p2 < 0) {
        dance.key.Format = Shared(rest);
        return;
    }
    dance.key.Format = Shared(rest.first(p2));
    QStringView style = rest.sliced(p2 + 1);
    const qsizetype s = style.indexOf(SectionSign);
    if (s >= 0) {
        dance.recording = RecordingChoice(style.sliced(s + 1), item);
        style = style.first(s);
    }
    dance.key.Style = Shared(style);
}

// Takes the items from the front of text, each up to the next separator (the
// last one to the end when no separator follows). Empty items are skipped.
void ReadItems(QStringView text, QChar sep, QList<ProgrammeItem> &items, QStringList &messages) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        qsizetype end = text.indexOf(sep, i);
        if (end < 0) end = n;
        const QStringView item = text.sliced(i, end - i);
        i = end + 1;
        if (item.isEmpty()) continue;
        switch (item[0].unicode()) {
        case u'O': {
            ProgrammeItem &heading = items.emplaceBack();
            heading.kind = ItemKind::Heading;
            if (item.size() > 2) heading.text = item.sliced(2).toString();
            break;
        }
        case u'N': {
            // "N" directly followed by the separator is the short empty note.
            ProgrammeItem &note = items.emplaceBack();
            if (item.size() > 2) note.text = item.sliced(2).toString();
            break;
        }
        case u'D':
            ReadDance(item, items.emplaceBack());
            break;
        default:
            messages.append(QStringLiteral("Unknown item: ") + item.toString());
            break;
        }
    }
}

QString CleanText(const QString &text, QChar sep) {
    if (!text.contains(sep)) return text;
    QString out = text;
    out.replace(sep, QLatin1Char(' '));
    return out;
}

// The text of a heading as stored: the evaluation shows a suggested time
// after " »", and only that suffix is dropped; a "»" typed inside stays.
QStringView StoredHeading(const QString &heading) {
    QStringView text(heading);
    const qsizetype g = text.indexOf(Guillemet);
    if (g > 0 && text[g - 1] == QLatin1Char(' ')) text = text.first(g - 1);
    return text;
}

// Counts what EmitItem would write.
struct SizeSink {
    qsizetype size = 0;
    void put(QChar) { ++size; }
    void put(QStringView text) { size += text.size(); }
    void putClean(QStringView text, QChar) { size += text.size(); }
    void putNumber(int n) { size += n < 10 ? 1 : QString::number(n).size(); }
};

// Writes into a buffer sized by SizeSink.
struct BufferSink {
    QChar *at;
    void put(QChar c) { *at++ = c; }
    void put(QStringView text) {
        std::copy(text.begin(), text.end(), at);
        at += text.size();
    }
    // A separator inside a note or heading text becomes a blank.
    void putClean(QStringView text, QChar sep) {
        for (const QChar c : text) *at++ = c == sep ? QChar(u' ') : c;
    }
    void putNumber(int n) {
        if (n < 10) put(QChar(u'0' + n));
        else put(QString::number(n));
    }
};

template <typename Sink>
void EmitItem(Sink &out, const ProgrammeItem &item, QChar sep) {
    switch (item.kind) {
    case ItemKind::Dance:
        out.put(QChar(u'D'));
        out.put(QChar(u'|'));
        out.put(item.key.Title);
        out.put(QChar(u'|'));
        out.put(item.key.Format);
        out.put(QChar(u'|'));
        out.put(item.key.Style);
        if (item.recording > 0) {
            out.put(SectionSign);
            out.putNumber(item.recording);
        }
        break;
    case ItemKind::Note:
        out.put(QChar(u'N'));
        out.put(QChar(u'|'));
        out.putClean(item.text, sep);
        break;
    case ItemKind::Heading:
        out.put(QChar(u'O'));
        out.put(QChar(u'|'));
        out.putClean(StoredHeading(item.text), sep);
        break;
    }
}

// Writes the items, each with the separator before and/or after it.
QString EmitItems(const QList<ProgrammeItem> &items, QChar sep, bool leading, bool before, bool after) {
    SizeSink size;
    if (leading) size.put(sep);
    for (const ProgrammeItem &item : items) {
        if (!ItemIsWritten(item)) continue;
        size.size += int(before) + int(after);
        EmitItem(size, item, sep);
    }
    QString out(size.size, Qt::Uninitialized);
    BufferSink sink{out.data()};
    if (leading) sink.put(sep);
    for (const ProgrammeItem &item : items) {
        if (!ItemIsWritten(item)) continue;
        if (before) sink.put(sep);
        EmitItem(sink, item, sep);
        if (after) sink.put(sep);
    }
    return out;
}

} // namespace

ProgrammeRead ReadProgramme(const QString &stored, QChar sep, bool headingsOnly) {
    ProgrammeRead read;
    read.stored = stored;
    read.partial = headingsOnly;
    if (stored.contains(NoBreakSpace)) {
        read.stored.replace(NoBreakSpace, QLatin1Char(' '));
        read.repaired = true;
        read.messages.append(QStringLiteral("Pseudo-blank $A0 replaced by real blank $20"));
    }
    QStringView work(read.stored);
    QString mended;
    // The pair is rare: look for its first character alone, which is fast.
    if (work.contains(QChar(0x0081)) && work.contains(LegacySeparator)) {
        mended = read.stored;
        mended.replace(LegacySeparator, QString(sep));
        work = mended;
    }
    if (work.isEmpty() || (work.size() == 1 && work[0] == sep)) return read;

    // A text edited by hand may lack the leading or the final separator: only
    // a real leading separator is dropped, and the last item ends at the end
    // of the text, so that the average note never joins it.
    if (work[0] == sep) work = work.sliced(1);
    read.items.reserve(work.size() / 16 + 2);
    ReadItems(work, sep, read.items, read.messages);
    read.items.append(ProgrammeItem::note(AverageLevelNote));
    if (headingsOnly)
        read.items.removeIf([](const ProgrammeItem &item) {
            return !item.isHeading() || !IsSessionHeading(item.text);
        });
    return read;
}

bool ItemIsWritten(const ProgrammeItem &item) { return !(item.isNote() && IsAverageLevelNote(item.text)); }

QString ItemText(const ProgrammeItem &item, QChar sep) {
    SizeSink size;
    EmitItem(size, item, sep);
    QString out(size.size, Qt::Uninitialized);
    BufferSink sink{out.data()};
    EmitItem(sink, item, sep);
    return out;
}

QString WriteProgramme(const QList<ProgrammeItem> &items, QChar sep, const QString &previous) {
    if (items.isEmpty()) return previous;
    return EmitItems(items, sep, true, false, true);
}

QString StoredProgramme(const QString &progText, QChar sep) {
    return progText.size() == 1 && progText[0] == sep ? QString() : progText;
}

void AppendToClip(QString &clip, const ProgrammeItem &item, QChar sep) {
    if (!ItemIsWritten(item)) return;
    clip += sep;
    clip += ItemText(item, sep);
}

QString ClipText(const QList<ProgrammeItem> &items, QChar sep) { return EmitItems(items, sep, false, true, false); }

QString ExchangeText(const QList<ProgrammeItem> &items, QChar sep) { return EmitItems(items, sep, false, false, true); }

ItemsRead ReadClip(const QString &clip, QChar sep) {
    ItemsRead read;
    QStringView text(clip);
    if (text.startsWith(sep)) text = text.sliced(1);
    ReadItems(text, sep, read.items, read.messages);
    return read;
}

ItemsRead ReadExchange(const QString &fileText, QChar sep) {
    ItemsRead read;
    QStringView text(fileText);
    if (text.endsWith(QLatin1String("\r\n"))) text.chop(2);
    ReadItems(text, sep, read.items, read.messages);
    return read;
}

int ItemEndPos(const QString &progText, QChar sep, int thisIndex) {
    if (progText.isEmpty()) return 1;
    if (thisIndex < 0) return 1;
    // Separator number thisIndex + 2 ends item thisIndex.
    const int wanted = thisIndex + 2;
    int count = 0;
    qsizetype last = -1;
    for (qsizetype i = 0; i < progText.size(); ++i) {
        if (progText[i] != sep) continue;
        last = i;
        if (++count == wanted) return int(i) + 1;
    }
    // Beyond the last item: the last separator; a text without one takes the
    // items at its end.
    return last >= 0 ? int(last) + 1 : int(progText.size()) + 1;
}

InsertResult InsertProgrammeItem(const QString &progText, QChar sep, int thisIndex, int rowsShown,
                                 const QString &codes) {
    InsertResult result;
    result.text = progText.isEmpty() ? QString(sep) : progText;
    result.thisIndex = thisIndex;
    const qsizetype n = codes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar code = codes[i];
        QString item;
        switch (code.unicode()) {
        case u'B': item = QStringLiteral("O|Break"); break;
        case u'D': item = QStringLiteral("D|||"); break;
        case u'E': item = QStringLiteral("O|Evening Dance"); break;
        case u'H': item = QStringLiteral("O|"); break;
        case u'I': item = QStringLiteral("O|Interval"); break;
        case u'J': item = QStringLiteral("O|Next time"); break;
        case u'N': item = QStringLiteral("N"); break;
        case u'W': item = QStringLiteral("O|Workshop"); break;
        case u'X': item = QStringLiteral("O|Extras"); break;
        case u'[': {
            qsizetype close = codes.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0) close = n;
            item = QStringLiteral("O|") + CleanText(codes.mid(i + 1, close - i - 1), sep);
            i = close;  // the "]" is consumed
            break;
        }
        default:
            // Stored outlines may end in a filler character of their own.
            if (n > 1 && i == n - 1) break;
            result.error = QStringLiteral("Unknown item: ") + code + QStringLiteral(" in ") + codes;
            return result;
        }
        if (item.isEmpty()) break;
        const int pos = ItemEndPos(result.text, sep, result.thisIndex);
        result.text.insert(pos - 1, sep + item);
        ++result.thisIndex;
    }
    if (result.thisIndex > rowsShown) result.thisIndex = rowsShown;
    return result;
}

QString ExtrasToNextTime(const QString &progText, QChar sep) {
    QString out = progText;
    out.replace(sep + QStringLiteral("O|Extras"), sep + QStringLiteral("O|Next time"));
    return out;
}

int FindDanceItem(const QString &text, QChar sep, const DanceKey &key, int from, bool fold) {
    QString needle = sep + QStringLiteral("D|") + key.Title + QLatin1Char('|') + key.Format + QLatin1Char('|')
                   + key.Style;
    const QString haystack = fold ? FoldUpper(text) : text;
    if (fold) needle = FoldUpper(needle);
    qsizetype at = std::max(from, 1) - 1;
    while ((at = haystack.indexOf(needle, at)) >= 0) {
        const qsizetype after = at + needle.size();
        // A longer Style with the same beginning is another dance.
        if (after < haystack.size() && (haystack[after] == sep || haystack[after] == SectionSign))
            return int(at) + 1;
        ++at;
    }
    return 0;
}
