#pragma once
// The main window's message panel: a label shown in front of the window
// ("Trying to run..." while another program starts), hidden again by its own
// timer so that it never touches the playback clock.

#include "core/services/ShellRoutines.h"

#include <QFrame>

class QLabel;
class QTimer;

class TMsgPanel : public QFrame, public MessagePanelView {
    Q_OBJECT
public:
    // A child of the main window; installs itself as the message panel.
    explicit TMsgPanel(QWidget *mainWindow);
    ~TMsgPanel() override;

    void showPanel(const QString &text) override;
    void hidePanel() override;

    QLabel *MsgLabel;
    // Hides the panel 5 seconds after it was shown.
    QTimer *HideTimer;
};
