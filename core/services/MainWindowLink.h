#pragma once
// What the database logic asks of the main window: show the current event
// and dance again, the busy cursor, the splash window's status, the order
// box, the focus control. The window installs itself; without it these do
// nothing (the splash status is logged), so the logic runs in tests as it is.

#include <QString>

class QWidget;

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
    // The pick list of earlier values under an edit of another window (its
    // name "O_" or "N_" + the field): as typed, every value, hidden.
    virtual void DropList(QWidget *) {}
    virtual void RightClick(QWidget *) {}
    virtual void ClosePopList() {}
    virtual bool PopListShowing() const { return false; }
};

// Installs the window's link (not owned); null restores the silent one.
void SetMainWindowLink(MainWindowLink *link);
MainWindowLink &TheMainWindow();
