#pragma once
// The chooser's list without its window: the rows a dataset shows, read in
// one statement and sorted by the program's fold; the type-ahead match; the
// "last called" hint.

#include <QList>
#include <QString>
#include <QVariant>

class Database;
class Dataset;

enum class ChooserMode { Dances, Events };

struct ChooserRow {
    QString cells[3];    // Title, Format, Style; or Org, the shown date, Event
    QVariant date;       // events: EDate
    qint64 bookmark = 0; // a record the row stands for
};

// The distinct rows of the listed dataset's shown records: dances by Title
// then Style, events by Org then date (latest first). Events are told apart
// by their stored date, so two of one day (a time of day on one of them)
// are two rows, though their shown dates read the same.
QList<ChooserRow> ChooserRows(Dataset &dataset, ChooserMode mode);

// The type-ahead: the first row whose first column begins with the text
// (folded); when none does, the text is shortened until one does.
struct TypeAheadMatch {
    int row = -1;       // -1: not even the first character matches
    bool exact = false; // the whole text matched
    QString message;    // "No values starting " + text when it did not
};
TypeAheadMatch MatchTypeAhead(const QList<ChooserRow> &rows, const QString &text);

// The chooser's hint for a dance: its shown title, then "Last called for"
// the organiser and the date of the organiser's latest event whose
// programme holds the dance, or "Never called for" the organiser.
QString LastCalledHint(Database &db, const QString &title, const QString &org, QChar separator);
