#pragma once
// The main window's keyboard table: which command a key press runs on the
// Events, Dances, Recordings and Folders pages, in the pick list, the heading
// box and the Dances grid. Plain logic: the window gathers the state, runs the
// command and keeps the selected row in range.

#include <QChar>
#include <QKeySequence>
#include <QList>
#include <Qt>

enum class KeyPage { Rules, Events, Dances, Recordings, Folders };

struct KeyContext {
    KeyPage page = KeyPage::Events;
    bool gridShowing = false;     // the Dances or Events grid (table view)
    bool gridMemoFocus = false;   // the table view's memo editor has the focus
    bool splashShowing = false;
    bool fieldEntered = false;    // a data field was entered
    bool popListShowing = false;
    bool memoFocus = false;       // a note's memo has the focus
    bool newTextShowing = false;  // the heading box
    bool danceRowSelected = false;
    int key = 0;
    Qt::KeyboardModifiers modifiers;
};

enum class KeyCommand {
    None,
    HideNewText, NewTextEnter, PasteMemo,
    GridFirst, GridLast, GridPageUp, GridPageDown, GridPrior, GridNext, GridPriorGroup, GridNextGroup,
    PreviousPage,
    PickEnter, PickDown, PickUp,
    RowPrior, RowNext, RowMoveUp, RowMoveDown, SessionPrior, SessionNext,
    RowPageUp, RowPageDown, RowMovePageUp, RowMovePageDown, RowFirst, RowLast,
    EventPrior, EventFirst, EventPriorOfOrg, EventNext, EventLast, EventNextOfOrg,
    InsertDance, DeleteRow, Details, ChooseForRow, FindEvent,
    DancePrior, DanceFirst, DancePriorInProgramme, DanceNext, DanceLast, DanceNextInProgramme, FindDance,
    RecordingsNextFolder, RecordingsPriorFolder, FoldersRefill,
};

struct KeyDecision {
    KeyCommand command = KeyCommand::None;
    QChar typed;          // the type-ahead character for the find commands
    bool taken = false;   // the key stops here
    bool reachedTable = false;  // the lock-key panels are refreshed
};

KeyDecision DecideKey(const KeyContext &state);

// The row a page key selects: rows are counted from `from` in its direction
// until their heights exceed the height of the row area.
int PageRow(const QList<int> &heights, int from, int areaHeight, bool down);

// The keys a text box keeps although the window has a command on them: cut,
// copy, paste and select all (Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A, Shift+Delete,
// Ctrl+Insert, Shift+Insert).
bool TextBoxKeepsKey(QKeyCombination key);
// Whether the window's command on a Ctrl key runs although the focused box
// has a use of its own for the key (Ctrl+E, end of line on X11).
// windowKeys: the shortcuts of the window's commands that can run now.
bool WindowKeyWins(QKeyCombination key, const QList<QKeySequence> &windowKeys);
