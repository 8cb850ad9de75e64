#include "programme/files/ExchangeFiles.h"

#include "programme/text/ProgrammeText.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

QStringView WithoutFinalLineEnd(const QString &text) {
    QStringView t(text);
    if (t.endsWith(CrLf)) t.chop(2);
    return t;
}

// A value as a message shows it: long texts cut, line breaks as blanks.
QString Shown(const QString &value) {
    QString v = value.left(40);
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (value.size() > 40) v += QStringLiteral("...");
    return v;
}

// The item as the event's stored programme gives it back once inserted:
// no-break spaces become blanks there, the older separator cuts the item in
// two, and a heading's text after " »" counts as a computed time.
bool ReadsBackAsStored(QStringView raw, QChar sep) {
    const ProgrammeRead back = ReadProgramme(QString(sep) + raw.toString() + sep, sep);
    if (back.items.size() != 2) return false; // the item and the average note
    QString expected = raw.toString();
    expected.replace(QChar(0x00A0), QLatin1Char(' '));
    return ItemText(back.items[0], sep) == expected;
}

// A programme file's item as the programme itself writes items: "N" alone,
// or a kind letter and "|"; a dance whose text is exactly what the program
// writes for the dance it reads as (so a "§" choice is a plain number), its
// key on one line; and one the stored programme gives back as it stands.
// Anything else would change when loaded.
bool KnownFileItem(QStringView raw, QChar sep) {
    if (raw == QLatin1String("N")) return true;
    if (!ReadsBackAsStored(raw, sep)) return false;
    if (raw.size() < 2 || raw[1] != u'|') return false;
    if (raw[0] == u'N' || raw[0] == u'O') return true;
    if (raw[0] != u'D') return false;
    const ItemsRead read = ReadExchange(raw.toString(), sep);
    if (read.items.size() != 1 || !read.messages.isEmpty()) return false;
    const DanceKey &key = read.items[0].key;
    for (const QString *part : {&key.Title, &key.Format, &key.Style})
        if (part->contains(QLatin1Char('\r')) || part->contains(QLatin1Char('\n'))) return false;
    return ItemText(read.items[0], sep) == raw;
}

bool IsWholeNumber(const QString &value) {
    bool ok = false;
    value.toLongLong(&ok);
    return ok && !value.startsWith(QLatin1Char('+')) && value.trimmed() == value;
}

} // namespace

// ---- programme files -------------------------------------------------------------

ProgrammeFileSave ProgrammeFileText(const QList<ProgrammeItem> &rows, const QList<bool> &marks, QChar sep) {
    QList<ProgrammeItem> chosen;
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (i < marks.size() && marks[i] && ItemIsWritten(rows[i])) chosen.append(rows[i]);
    // One marked row is the selected row, not a choice of rows.
    if (chosen.size() <= 1) {
        chosen.clear();
        for (const ProgrammeItem &row : rows)
            if (ItemIsWritten(row)) chosen.append(row);
    }
    return {ExchangeText(chosen, sep), int(chosen.size())};
}

QString ItemsSavedText(int count, const QString &name) {
    return QString::number(count) + QStringLiteral(" items saved as ") + name;
}

QString WrongSeparatorText(const QString &name) {
    return name + QStringLiteral("\rwas not written with the separator now in use.");
}

ProgrammeFileRead ReadProgrammeFile(const QString &fileText, QChar sep, const QString &name) {
    ProgrammeFileRead read;
    const QStringView text = WithoutFinalLineEnd(fileText);
    if (!text.isEmpty() && !text.endsWith(sep)) {
        read.error = WrongSeparatorText(name);
        return read;
    }
    ItemsRead items;
    for (const QStringView raw : text.split(sep, Qt::SkipEmptyParts)) {
        if (KnownFileItem(raw, sep)) items.items.append(ReadExchange(raw.toString(), sep).items);
        else items.messages.append(QStringLiteral("Unknown item: ") + raw.toString());
    }
    read.items = items.items;
    if (!items.messages.isEmpty()) {
        constexpr int Shown10 = 10;
        QStringList named;
        for (const QString &m : items.messages.mid(0, Shown10))
            named.append(Shown(m.mid(m.indexOf(QLatin1String(": ")) + 2)));
        read.unknown = name + QStringLiteral("\rholds items this program does not know; they are left out:\r") +
                       named.join(QLatin1Char('\r'));
        if (items.messages.size() > Shown10)
            read.unknown += QStringLiteral("\r... and ") + QString::number(items.messages.size() - Shown10) +
                            QStringLiteral(" more");
    }
    if (read.items.isEmpty() && read.unknown.isEmpty())
        read.error = name + QStringLiteral("\rholds no programme items.");
    return read;
}

bool ProgrammeHasItems(const QString &progText, QChar sep) {
    for (const QChar c : progText)
        if (c != sep) return true;
    return false;
}

QString InsertProgrammeFile(const QString &progText, QChar sep, int thisIndex, bool overwrite,
                            const QList<ProgrammeItem> &items) {
    QString text = overwrite || progText.isEmpty() ? QString(sep) : progText;
    if (overwrite) thisIndex = -1;
    QString inserted;
    for (const ProgrammeItem &item : items) {
        if (!ItemIsWritten(item)) continue;
        inserted += sep;
        inserted += ItemText(item, sep);
    }
    text.insert(ItemEndPos(text, sep, thisIndex) - 1, inserted);
    return text;
}

QString NoteWithFile(const QString &noteText, bool overwrite, const QString &fileText) {
    return (overwrite ? QString() : noteText) + fileText;
}

// ---- dance files ---------------------------------------------------------------------

QList<DanceColumn> DanceFileColumns(const QList<FieldInfo> &fields) {
    QList<DanceColumn> columns;
    for (const FieldInfo &f : fields) {
        DanceColumn c{f.name, DanceColumn::Text};
        if (f.isNumeric()) c.kind = DanceColumn::Number;
        else if (f.type != FieldType::Memo && f.size == 1) c.kind = DanceColumn::YesNo;
        columns.append(c);
    }
    return columns;
}

QString DanceFileText(const QStringList &values, const QList<DanceColumn> &columns, QChar sep) {
    QString text;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i < values.size())
            for (const QChar c : values[i]) {
                if (c == sep || c == DanceFileEscape) text += DanceFileEscape;
                text += c;
            }
        text += sep;
    }
    return text;
}

DanceFileRead ReadDanceFile(const QString &fileText, QChar sep, const QList<DanceColumn> &columns,
                            const QString &name) {
    DanceFileRead read;
    const QStringView text = WithoutFinalLineEnd(fileText);
    // The values between the separators, each escaped separator or escape
    // mark taken as the character it marks.
    QStringList pieces;
    QString piece;
    bool endsWithSep = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        endsWithSep = false;
        if (c == DanceFileEscape && i + 1 < text.size() && (text[i + 1] == sep || text[i + 1] == DanceFileEscape)) {
            piece += text[++i];
        } else if (c == sep) {
            pieces.append(piece);
            piece.clear();
            endsWithSep = true;
        } else {
            piece += c;
        }
    }
    if (!endsWithSep) {
        read.error = WrongSeparatorText(name);
        return read;
    }
    const auto column = [&](const char *wanted) {
        for (qsizetype i = 0; i < columns.size(); ++i)
            if (columns[i].name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0) return int(i);
        return -1;
    };
    const int notes = column("Notes"), music = column("Music");
    const int count = int(columns.size());
    QStringList values;
    if (pieces.size() > count && notes >= 0 && music == notes + 1) {
        // Music holds separators of its own: the fields around it are found
        // from both ends.
        const int after = count - music - 1;
        values = pieces.mid(0, notes);
        values.append(pieces[notes]);
        values.append(pieces.mid(notes + 1, pieces.size() - after - notes - 1).join(sep));
        values.append(pieces.mid(pieces.size() - after));
    } else {
        values = pieces.mid(0, count);
        while (values.size() < count) values.append(QString());
    }
    // Music lines end in CR alone.
    if (music >= 0) values[music].replace(CrLf, QStringLiteral("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));

    for (int i = 0; i < count; ++i) {
        const QString &v = values[i];
        bool bad = false;
        switch (columns[i].kind) {
        case DanceColumn::Number: bad = !v.isEmpty() && !IsWholeNumber(v); break;
        case DanceColumn::YesNo: bad = !v.isEmpty() && v != QLatin1String("Y"); break;
        case DanceColumn::Text:
            bad = v.isEmpty() && columns[i].name.compare(QLatin1String("Title"), Qt::CaseInsensitive) == 0;
            break;
        }
        if (bad) {
            read.error = name + QStringLiteral("\ris not a dance file: ") + columns[i].name + QStringLiteral(" holds ") +
                         (v.isEmpty() ? QStringLiteral("nothing") : Shown(v));
            return read;
        }
    }
    read.values = values;
    return read;
}
