#pragma once
// What the database logic asks of the main window: show the current event
// and dance again, the busy cursor, the splash window's status, the order
// box, the focus control. The window installs itself; without it these do
// nothing (the splash status is logged), so the logic runs in tests as it is.

#include "programme/text/ProgrammeItem.h"

#include <QList>
#include <QRect>
#include <QString>

class QWidget;
class RichEdit;
class TMyPlayer;

// The control the user last filtered on or focused: its table ("Events" or
// "Dances"), its field, its text, and whether it is a check box.
struct FocusControl {
    QString table;
    QString field;
    QString text;
    bool isCheckBox = false;
};

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;
    virtual void ShowDance() {}
    virtual void ShowEvent() {}
    virtual void SetBusy(bool) {}
    // The splash window's status line ("" clears it).
    virtual void SplashStatus(const QString &text);
    virtual void HideSplash() {}
    // The Dances order box shows this entry.
    virtual void SetDOrderBox(int) {}
    // The Dances page leaves its table view.
    virtual void FormView() {}
    virtual void CloseMainWindow() {}
    // The focus control; false when there is none.
    virtual bool Focus(FocusControl *) { return false; }
    // The chooser's part: the page in front (an index of the page control),
    // whether it is the Dances page, a dance found and shown there, the
    // selection button focused, the main window's client area on screen.
    virtual int ActivePage() const { return -1; }
    virtual void SetActivePage(int) {}
    virtual bool DancesPageActive() const { return false; }
    virtual void ShowChosenDance(const QString &, const QString &, const QString &) {}
    virtual void FocusSelection() {}
    virtual QRect ClientGeometry() const { return {}; }
    // A settings section of the programme display changed: the row pools
    // go, the column-title row is rebuilt and the event shown again.
    virtual void RebuildProgrammeDisplay() {}
    // The text of a box of the Dances page by its field ("Title" gives the
    // title as shown, with a moved article in front).
    virtual QString DanceBox(const QString &) { return {}; }
    // Switches the dances filter (the filter command's mode).
    virtual void SetDancesFilter(int) {}
    // The Dances page shows its form view.
    virtual void FormViewClick() {}

    // ---- what the Music dialog asks -------------------------------------
    // The Dances page's Title box.
    virtual QString DanceTitle() { return QString(); }
    // The recording line chosen by the selected programme row when that row
    // is this dance; -1 when it is not.
    virtual int ProgrammeMusicLine(const QString &title) {
        Q_UNUSED(title);
        return -1;
    }
    // That row chooses line n; the event counts as changed.
    virtual void SetProgrammeMusicLine(int n) { Q_UNUSED(n); }
    // Stores the music text in the dance, saves it and reloads the play controls.
    virtual void SaveDanceMusic(const QString &text) { Q_UNUSED(text); }
    // Lets the user choose the recordings' base folder, starting from start.
    virtual void SetBase(const QString &start) { Q_UNUSED(start); }
    // Plays a file of the match list (relative to the base folder), the play
    // panel shown on host; a second call stops it.
    virtual void PlayMatch(const QString &path, QWidget *host) {
        Q_UNUSED(path);
        Q_UNUSED(host);
    }

    // The pick list of earlier values under an edit of another window (its
    // name "O_" or "N_" + the field): as typed, every value, hidden.
    virtual void DropList(QWidget *) {}
    virtual void RightClick(QWidget *) {}
    virtual void ClosePopList() {}
    virtual bool PopListShowing() const { return false; }

    // ---- what the full-screen display asks -------------------------------
    // The shown event's programme rows as items; ThisIndex is the current one.
    virtual QList<ProgrammeItem> ProgrammeItems() const { return {}; }
    // Selects row index (the Events page becomes the saved page).
    virtual void SelectProgrammeRow(int index) { Q_UNUSED(index); }
    // The selected dance row's dance located and shown on the main window.
    virtual void ShowSelectedDance() {}
    // The previous (-1) or next (+1) dance of the programme, shown.
    virtual void StepProgrammeDance(int direction) { Q_UNUSED(direction); }
    // The Dances page's instructions, as shown for the current dance.
    virtual RichEdit *InstructionsControl() { return nullptr; }
    // A box of the shown dance ("Notes", "Called", "KeySig", "Format",
    // "Style", "Title" as shown) or event ("Org", "ETime", "Band").
    virtual QString ShownField(const QString &field) { Q_UNUSED(field); return {}; }
    // The shown event's date as a day number (the no-date value when none).
    virtual double ShownEventDate() const { return 1095730; }
    // The play panel shows (the dance has a recording to play).
    virtual bool PlayPanelShown() const { return false; }
    // Play or stop, as the Play button does.
    virtual void PlayOrStop() {}
    // The program's one player, or null before anything played.
    virtual TMyPlayer *MediaPlayer() { return nullptr; }
    // The Folders page is the page the display was opened from; the Dances page was.
    virtual bool FoldersPageSaved() const { return false; }
    virtual bool DancesPageSaved() const { return false; }
    // After a key the display handled: the lock keys' indicator and sounds.
    virtual void LockKeys(int key) { Q_UNUSED(key); }
    // A double-click at caret (0-based) in a text without a memo of its own
    // (the display's, the instruction editor's): the link there is followed
    // as a double-click in the notes follows it; no link does nothing.
    virtual void FollowNoteLinkAt(const QString &text, int caret) { Q_UNUSED(text); Q_UNUSED(caret); }
};

// Installs the window's link (not owned); null restores the silent one.
void SetMainWindowLink(MainWindowLink *link);
MainWindowLink &TheMainWindow();
