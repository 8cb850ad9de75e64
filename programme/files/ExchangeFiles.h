#pragma once
// Programme files ("*.Ev") and dance files ("*.Da"): what is written and what
// a file read back gives. Nothing is shown or stored here; the main window
// picks the files, asks the questions and shows the texts returned.
//
// A programme file is item sep item sep ... item sep on one line (CR LF
// inside note texts). A dance file is every Dances column's text followed by
// sep, in table order. Both carry the separator configured when written.

#include "platform/sqlite/Database.h"
#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>

// ---- programme files -----------------------------------------------------------

struct ProgrammeFileSave {
    QString text; // the file's text
    int count = 0; // the items written
};
// Save As: the rows marked in the selection colour when more than one is
// marked, else every row; the average note is never written. rows and marks
// run in parallel (a missing mark counts as unmarked).
ProgrammeFileSave ProgrammeFileText(const QList<ProgrammeItem> &rows, const QList<bool> &marks, QChar sep);
// count + " items saved as " + name.
QString ItemsSavedText(int count, const QString &name);

struct ProgrammeFileRead {
    QList<ProgrammeItem> items; // the known items, in file order
    QString error;              // set: the file is refused and nothing changes
    QString unknown;            // set: a message naming the items left out
};
// Reads a programme file's text (as LoadTextFile gives it). A text that is
// not empty and does not end with sep was written with the other separator
// or cut short: refused, naming the file. Unknown items (a kind the program
// does not know, or an item that would change when loaded: a dance not
// written as the program writes it, or whose key holds a line break) are
// left out and named in one message (at most 10). A file without items is
// refused too.
ProgrammeFileRead ReadProgrammeFile(const QString &fileText, QChar sep, const QString &name);

// Load From: the programme string with the items inserted after the selected
// row (thisIndex, -1 for none); overwrite starts from an empty programme.
QString InsertProgrammeFile(const QString &progText, QChar sep, int thisIndex, bool overwrite,
                            const QList<ProgrammeItem> &items);
// The shown programme holds at least one item (the overwrite question is
// asked only then).
bool ProgrammeHasItems(const QString &progText, QChar sep);

// "Load from..." into a note: the note's text after the file is added.
QString NoteWithFile(const QString &noteText, bool overwrite, const QString &fileText);

// ---- dance files -------------------------------------------------------------------

struct DanceColumn {
    enum Kind { Text, Number, YesNo };
    QString name;
    Kind kind = Text;
};
// The columns of a table as the database gives them, in table order: the
// numeric ones numbers, one-character texts yes/no.
QList<DanceColumn> DanceFileColumns(const QList<FieldInfo> &fields);

// The mark written before a separator or another such mark inside a dance
// file's value. A control character that typed text never holds, so a file
// written before values were marked reads as it always did.
inline constexpr QChar DanceFileEscape{0x0010};

// The dance file of one record: every column's text (Null as "") followed
// by sep; a separator or escape mark inside a value goes with the escape
// mark before it, so every value reads back as it was.
QString DanceFileText(const QStringList &values, const QList<DanceColumn> &columns, QChar sep);

struct DanceFileRead {
    QStringList values; // one per column, when error is empty
    QString error;
};
// Reads a dance file's text, escaped separators and marks as the characters
// they mark. With more separators than columns (a file written before
// values were marked, its recordings holding separators) the columns
// before Notes come from the front, those after Music from the back, Notes
// takes the next piece and Music the rest; otherwise field by field, missing
// fields empty (files of older catalogues). Music's CR LF and LF become CR. The whole
// file is checked before anything is used: it must end with sep, numbers hold
// digits or nothing, yes/no columns "" or "Y", and the Title is not empty.
DanceFileRead ReadDanceFile(const QString &fileText, QChar sep, const QList<DanceColumn> &columns,
                            const QString &name = QString());

// name + "\rwas not written with the separator now in use."
QString WrongSeparatorText(const QString &name);
