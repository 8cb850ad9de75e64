#pragma once
// Counting the dances of a finished event as called, and the writes that end
// a save: which rows count, the questions, and one transaction for the new
// counts, the "Callit" changes, the event's Updated mark, its programme and
// its post.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class Database;
class Dataset;

// Who asked for the save.
enum class SaveSender {
    None,       // serialise the rows only
    EventsData, // the Events dataset's own post
    SaveE,      // the Save command of the Events menu: counts calls
    Other       // a navigation or editing command
};

// The question before counting: it mentions the "Extras" heading when the
// programme has one.
QString CountQuestion(const QString &progText, QChar sep);
// The warning after counting when the event has no fee.
inline const QString FeeWarning = QStringLiteral("Warning - fee not specified.");
// The question for a dance on the "Callit" list that reaches n calls.
QString CallitQuestion(const QString &title, int n);

// Whether counting may run, before the question is asked: only for the Save
// command, while Updated is empty, once the event is over, and not for a
// programme that begins with a note beginning with "-".
bool CountingMayRun(SaveSender sender, const QString &updated, bool eventOver, const QString &progText,
                    QChar sep);
// Whether any dance row has a title (only then is the question asked).
bool HasTitledDance(const QList<ProgrammeItem> &rows);

// The rows deleted before counting, from the last to the first: every dance
// row without a title, then the last real item (the row before the average
// note) when it is an "Extras" heading. Indexes are those of rows.
QList<int> CountingRemovals(const QList<ProgrammeItem> &rows);

// The rows the counting visits: dances with a title and notes, up to an
// "Extras" or "Next time" heading; a session heading starts counting again.
struct CountingWalk {
    QList<int> dances;
    QList<int> notes;
};
CountingWalk WalkForCounting(const QList<ProgrammeItem> &rows);

// A dance found for counting.
struct LocatedDance {
    qint64 rowid = 0;
    QString title;   // as the Dances record holds it
    QString lvl;     // the level's text
    QVariant called; // Null when never counted
    bool callit = false;
};
// Finds the dance of a row. Nothing: the dance was turned into a note and is
// not counted. An exception abandons the save before anything is written.
using DanceLocator = std::function<std::optional<LocatedDance>(int row, const DanceKey &key)>;

// The writes of the counting.
struct CallCountPlan {
    QList<QPair<qint64, int>> increments; // rowid, calls to add
    QList<qint64> callitCleared;          // rowids leaving the "Callit" list
    bool isEmpty() const { return increments.isEmpty() && callitCleared.isEmpty(); }
};

// The note a dance item becomes when the not-found choice makes it one.
QString DeletedDanceNote(const DanceKey &key);

// The counting of one save, on the rows as programme items. The steps run
// in this order, each asking its questions through the message layer:
// RemoveRows, Locate (every dance first, so that leaving the not-found
// dialog ends the save with nothing written), CheckLinks, AskCallit.
class CallCounting {
public:
    CallCounting(const QList<ProgrammeItem> &rows, QChar sep);

    QList<ProgrammeItem> rows;

    // Deletes the rows of CountingRemovals; gives their indexes, last first.
    QList<int> RemoveRows();
    // Locates each dance to count, in row order.
    void Locate(const DanceLocator &locate);
    // Rows the locator turned into notes.
    const QList<int> &turnedToNotes() const { return notes; }
    // The link check of each note to count; notes left empty are deleted.
    // Gives the deleted indexes, last first.
    QList<int> CheckLinks();
    bool notesChanged() const { return linksChanged; }
    // Asks about each "Callit" dance whose new count is a multiple of 5, and
    // fills plan.
    void AskCallit();
    CallCountPlan plan;

    // The programme string of the rows, with every "Extras" heading made
    // "Next time".
    QString FinalProgramme(const QString &previous) const;

private:
    QChar sep;
    CountingWalk walk;
    bool walked = false;
    QList<QPair<int, LocatedDance>> located;
    QList<int> notes;
    bool linksChanged = false;
};

// Writes the save in one transaction: the plan's counts (by rowid) and
// "Callit" changes, Updated "Y" when markUpdated, the programme, and the
// post of the Events record (put into edit when it is not). On any failure
// everything is rolled back, the record stays in edit with Updated and
// Programme as they were, and the error goes on.
void WriteEventSave(Database &db, Dataset &events, const CallCountPlan &plan, bool markUpdated,
                    const QString &programme);
