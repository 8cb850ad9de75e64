#pragma once
// The dance lists of the Dances menu: by format (RTF), by date found in the
// dance's own texts, alphabetically, by author, a field ranked by frequency;
// the history of a dance over the diary ("When"); and the working sets that
// mark dances through DFilter (waiting for their card, a programme's dances,
// own tunes without a key signature). The text builders are pure; the
// commands read the run's tables and write the files in the current folder.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class Database;
class Dataset;

// One dance as the lists read it.
struct ListDance {
    QString Title, Format, Style, Collection, Author, Rhythm, Called, Lvl;
    QString Instructions; // read only for the list by date
};

// ---- pure builders ------------------------------------------------------------------

// The first year in a text: a "1" or "2" followed by three digits, or "'"
// followed by two digits ("19" + the two). "" when none or shorter than 4.
QString YearOf(const QString &text);
// The year of a dance for the list by date: its collection (unless a MOXE
// code), its author, then its instructions with the RTF head and language
// codes left out. "" when none.
QString DanceYear(const ListDance &dance);

// A text list's first lines: the title, ".  " + the filter's description
// when one is given, then two line breaks.
QString ListHead(const QString &title, const QString &filterDescription);

QString ByDateText(const QList<ListDance> &dances, const QString &filterDescription);
QString AlphaText(const QList<ListDance> &dances, const QString &filterDescription);
QString ByAuthorText(const QList<ListDance> &dances, const QString &filterDescription);

// The RTF list grouped by Format and Style, dances in the order given.
// maintainerCheck adds a line for each dance lacking its collection or level.
QString ByFormatRtf(const QList<ListDance> &dances, const QString &filterDescription, bool maintainerCheck);

// The ranking query's first and last lines for a field; the filter's terms
// and "Len(field) > 1" go between them.
QString RankSelect(const QString &field);
QString RankGroup(const QString &field);
struct RankRow {
    QString value;
    int total = 0;
};
QString RankText(const QString &field, const QList<RankRow> &rows, const QString &filterDescription);

// One event of the diary as the history reads it.
struct WhenEvent {
    double EDate = 0;
    QString Org;
    QString Programme;
};
// Whether the dance item at position pos (its separator) lies under a
// "Next time" heading with no other heading between.
bool InNextTimePart(const QString &programme, QChar sep, int pos);
// The entries "date: Org" of the events, last first, whose programme calls
// the dance outside a "Next time" part; events on the current event's date
// are left out.
QStringList WhenEntries(const QList<WhenEvent> &events, const DanceKey &key, QChar sep, double currentDate);

// The No key list's lines.
QString NoKeyText(const QList<ListDance> &dances);

// ---- reading the catalogue ----------------------------------------------------------

// The dances the dataset shows, in its order. withInstructions also reads
// the instructions.
QList<ListDance> ReadListDances(Database &db, Dataset &dances, bool withInstructions = false);
// The diary in the Events dataset's order (every event, whatever it shows).
QList<WhenEvent> ReadWhenEvents(Database &db, const std::vector<qint64> &order);

// ---- the commands ----------------------------------------------------------------------

// The Dances filter's description while it is on, else "".
QString DancesFilterDescription();
// "Remove filter?" while the Dances filter is on: Yes switches it off.
void AskRemoveFilter();

// Each writes its file in the current folder and opens it.
void ByDateList();
void AlphaList();
void ByAuthorList();
// "No filter active." (false) outside maintainer mode with no filter; in
// maintainer mode the maintainer's own filter is applied first.
bool ByFormatList();
// False when field is not a column of Dances.
bool RankList(const QString &field);

// Working sets. Each clears the marks and sets them in one transaction and
// gives how many dances are marked.
int MarkPendingDances();
int MarkDancesByRowid(const QList<qint64> &rowids);
int MarkNoKeyDances();
// The rowids of the dances of the programme's dance rows with a title; a
// key the table lacks is left out.
QList<qint64> ProgrammeDanceRowids(Database &db, const QList<DanceKey> &keys);
