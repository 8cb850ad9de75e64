#pragma once
// The programme string of an event: reading it into items, writing items back,
// and the edits made on the string itself.
//
// Stored form: empty, or sep item sep item ... item sep, where sep is the
// programme separator ("·" or "€"). Items: "D|" Title "|" Format "|" Style
// with an optional "§" n, "N|" text (or "N" alone), "O|" heading text.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>

// An older form of the separator, the bytes 0x81 0x45: a stored programme
// read back takes it for the separator.
extern const QString LegacySeparator;

// What reading a stored programme gives. Nothing is shown or written here:
// the caller shows the messages and, when repaired is set, stores `stored`.
struct ProgrammeRead {
    QList<ProgrammeItem> items;  // ends with the "Average Level: ?" note unless empty
    QStringList messages;        // texts to show, in order
    QString stored;              // the stored text after the no-break-space repair
    bool repaired = false;       // stored differs from the text given
    bool partial = false;        // the headings-only view: session headings alone
};

// Reads a stored programme. With headingsOnly, every item but the session
// headings is left out (the average note too) and the result is partial.
ProgrammeRead ReadProgramme(const QString &stored, QChar sep, bool headingsOnly = false);

// One item as the programme string holds it, without separators. The
// separator inside a note or heading text becomes a blank; a heading loses a
// computed " »" suffix.
QString ItemText(const ProgrammeItem &item, QChar sep);
// False for the average-level note, which is never written.
bool ItemIsWritten(const ProgrammeItem &item);

// The writer: sep, then each written item followed by sep. No items at all
// leaves the text as it was (previous is returned).
QString WriteProgramme(const QList<ProgrammeItem> &items, QChar sep, const QString &previous);
// The text as stored in the Events table: one separator alone becomes empty.
QString StoredProgramme(const QString &progText, QChar sep);

// The programme clipboard: sep item sep item ... sep item, no final separator.
void AppendToClip(QString &clip, const ProgrammeItem &item, QChar sep);
QString ClipText(const QList<ProgrammeItem> &items, QChar sep);
// The exchange-file form: item sep item sep ... item sep, nothing in front.
QString ExchangeText(const QList<ProgrammeItem> &items, QChar sep);

struct ItemsRead {
    QList<ProgrammeItem> items;
    QStringList messages;
};
// Reads the clipboard and exchange-file forms with the programme's own item
// rules; no average note is added. A final CR LF of a file is ignored.
ItemsRead ReadClip(const QString &clip, QChar sep);
ItemsRead ReadExchange(const QString &fileText, QChar sep);

// The 1-based position in progText before which text of the form sep + items
// is inserted to follow the selected row: 1 for no selection (-1), the
// separator ending item k for selection k, the last separator for a selection
// beyond the last item or for a text without items (1 when empty).
int ItemEndPos(const QString &progText, QChar sep, int thisIndex);

struct InsertResult {
    QString text;       // the programme string with the items inserted
    int thisIndex = -1; // the selection, moved onto the last inserted item
    QString error;      // "Unknown item: " + code + " in " + codes, or empty
};
// Inserts the items of a code string after the selected row. Codes: B Break,
// D blank dance, E Evening Dance, H blank heading, I Interval, J Next time,
// N empty note, W Workshop, X Extras, "[" text "]" a heading of that text.
// rowsShown: the number of rows on show before the run. A final character of
// a longer string that is no code is ignored; any other unknown code stops the
// run with the error, keeping the items already inserted.
InsertResult InsertProgrammeItem(const QString &progText, QChar sep, int thisIndex, int rowsShown,
                                 const QString &codes);

// Finalising an event: every "O|Extras" that begins an item becomes
// "O|Next time" (only where a separator precedes it, so note texts stay).
QString ExtrasToNextTime(const QString &progText, QChar sep);

// The 1-based position of the separator that begins the dance item of key at
// or after position from, 0 when none: sep + "D|" Title "|" Format "|" Style,
// followed by sep or "§". Exact case unless fold is set, which compares
// through the program's case fold.
int FindDanceItem(const QString &text, QChar sep, const DanceKey &key, int from = 1, bool fold = false);
