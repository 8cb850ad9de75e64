#pragma once
// The help system: turns the program's help requests (a context number from
// OpenHelp, a message box's Help button, F1) into the help window showing
// that context's page.

#include "core/help/HelpMap.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class THelpWindow;

// The context of the contents page: "Show Help", and F1 where no control
// has a context of its own.
inline constexpr int HelpContents = 10000;

class THookHelpSystem : public QObject {
    Q_OBJECT
public:
    // Becomes the help opener and watches F1 in the whole application.
    explicit THookHelpSystem(HelpMap map = HelpMap::compiledIn());
    // Closes the help window and restores the default opener.
    ~THookHelpSystem() override;

    // An application help request: 1 (show context) and 8 (context pop-up)
    // show the context's page, 13 stores the pop-up position; false for a
    // request it does not handle.
    bool HelpRequest(int command, qintptr data);
    // Shows the page of a context number; an unknown one shows the contents
    // and is logged.
    void ShowContext(int context);
    // Closes the help window.
    void CloseHelp();

    // The window while it exists.
    THelpWindow *Window() const;
    QPoint PopupPosition() const { return popupPos; }
    const HelpMap &Map() const { return map; }

    // The context F1 opens for a widget: its "helpContext" property or that
    // of its nearest parent, else 0.
    static int ContextOf(const QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HelpMap map;
    QPointer<THelpWindow> window;
    QPoint popupPos;
};

// The one help system, made at start-up and freed at shutdown; null before.
extern THookHelpSystem *HelpHook;
void CreateHelpHook();
void FreeHelpHook();
// Closes the help window, when there is one (the main window closing).
void CloseHelpWindow();
