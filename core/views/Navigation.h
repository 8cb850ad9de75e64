#pragma once
// What the main window's page, record and programme-row commands decide,
// without the window: the captions, the order of the pages, the walk along
// the programme rows, the step to an organiser's next event, and the
// addresses the field shortcuts open.

#include <QList>
#include <QString>

class Dataset;

enum class PageKind { Rules, Events, Dances, Recordings, Folders };

// "Quillary: Events", ...; the Rules page names the rule set when there is one.
QString PageCaption(PageKind page, const QString &ruleSetName = QString());

// The page F6 (forward) or Shift+F6 goes to among the shown tabs, wrapping
// round; current when no other tab shows.
int StepPage(const QList<bool> &shown, int current, bool forward);

// "Notes (n lines)", "Notes (1 line)", "No Notes".
QString NotesCaption(int lines);

// The walk of "Next dance" (+1), "Previous dance" (-1) or a plain select (0)
// along the rows; titled[i] is true for a dance row with a title.
struct RowWalk {
    int index = -1;     // the row to select (ThisIndex when left unchanged)
    bool found = false; // false: the walk left the list, the button greys
};
RowWalk WalkProgramme(const QList<bool> &titled, int thisIndex, int direction, bool fullScreen);

// Moves the events one record along the "Primary" index (Org, date, event)
// to the same organiser's next (+1) or previous (-1) event. False when there
// is none: the dataset stays on the event it was on. Either way the index is
// "EDate" afterwards. Run with the dataset's controls disabled.
bool StepWithinOrg(Dataset &events, int direction);

// The addresses of the Events page's field shortcuts, their values
// percent-encoded so that "#", "?" or "%" cannot cut the link.
QString MapAddress(const QString &postcode);
QString MailAddress(const QString &address, const QString &org, const QString &event, const QString &dateText);
QString WebAddress(const QString &text);
