#pragma once
// The programme editor's commands as plain logic over the rows (as items,
// in display order, with their selection marks) and the programme string.
// Nothing is shown here: the main window asks the questions, releases the
// rows named, shows the texts returned and marks the event edited.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QString>

// A session heading row: a heading whose text starts a session.
bool IsSessionRow(const ProgrammeItem &row);
// The computed average row, found by its text wherever it stands.
bool IsAverageRow(const ProgrammeItem &row);

// The first row of the section holding row `from`: upwards to a session
// heading or row 0. -1 when there are no rows.
int SectionStart(const QList<ProgrammeItem> &rows, int from);

enum class ClipCommand { Selected, All, Section, CutSection };

struct ClipResult {
    QString clip;          // the new programme clipboard
    QList<int> released;   // rows a cut takes away, last first
};

// Copy Selected, Copy All, Copy Section and Cut Section. progText is the
// serialised programme; marks holds the rows in the selection colour.
// keepClip: the user chose to add to the items already copied. A command
// that finds nothing to copy leaves the clipboard as it was.
ClipResult CopyToClip(ClipCommand command, const QList<ProgrammeItem> &rows, const QList<bool> &marks,
                      int thisIndex, const QString &progText, QChar sep, const QString &clip, bool keepClip);

// Paste: the clipboard after the selected row, between the notes
// "Inserted ..." and "End inserted".
QString PasteClip(const QString &progText, QChar sep, int thisIndex, const QString &clip);

// How many rows before index reach the programme string (not the average row).
int WrittenIndex(const QList<ProgrammeItem> &rows, int index);
// Completing a move: the clipboard lands right before the item at
// headingIndex, counted in written items (progText serialised after the cut).
QString InsertBeforeRow(const QString &progText, QChar sep, int headingIndex, const QString &clip);

// Erase Section: the rows to release, last first. The section searched is the
// one above the selected row (row 0 when that is selected); its start row
// goes, then every row up to the next session heading or the average row.
QList<int> EraseSectionRows(const QList<ProgrammeItem> &rows, int thisIndex);
// The marked rows, last first (Erase Selected).
QList<int> MarkedRows(const QList<bool> &marks);
// Clear empties: the dance rows without a Title, last first.
QList<int> EmptyDanceRows(const QList<ProgrammeItem> &rows);

// The selection after a row was deleted: -2 when no rows are left (the
// programme becomes empty), else the row to select.
int SelectionAfterDelete(int rowsLeft, int thisIndex);

struct BlankResult {
    QList<ProgrammeItem> rows;     // dances blanked, Next time headings now "Extras"
    bool lastWasNextTime = false;  // the last heading was a Next time heading
};
// Blank dances: every dance outside a Next time section loses its dance and
// its recording choice; the dances kept under a Next time heading go under
// "Extras". The heading's "Next time" is matched in exact case.
BlankResult BlankDances(const QList<ProgrammeItem> &rows);
// Yes to "Add \"Extras\"?": four blank dances (behind an "Extras" heading
// unless the last heading was a Next time one) at the end and before every
// session heading but the first row. progText is the blanked rows serialised.
QString AddExtras(const QString &progText, QChar sep, const QList<ProgrammeItem> &rows, bool lastWasNextTime);

// Copy Event's "&Next time": the items of every section under a heading
// beginning with "Next time" (exact case), without the heading; a second
// such section follows a blank heading. Nothing kept gives "".
QString NextTimeProgramme(const QString &programme, QChar sep);

// The heading box's Enter: "interval" and "break" get a capital; a pause
// heading loses every "»".
QString EnteredHeading(const QString &text);

// Putting a chosen dance on the dance row `target`:
// the row holds another dance, so the user is asked whether to replace it;
bool AsksReplace(const ProgrammeItem &target, const QString &chosenTitle);
// another dance row already holds the chosen dance ("Waltz" may come often);
bool AlreadyOnProgramme(const QList<ProgrammeItem> &rows, int target, const QString &chosenTitle);
// the blank dance row after the target, which the next choice fills; -1 none.
int NextBlankDance(const QList<ProgrammeItem> &rows, int target);
