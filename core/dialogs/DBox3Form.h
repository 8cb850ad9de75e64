#pragma once
// The modal three-button box: a message with up to three buttons, an
// optional Help button with a question-mark glyph, and an optional
// "don't ask again" check box.

#include "base/Messages.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

class TDBox3Form : public QDialog {
    Q_OBJECT
public:
    explicit TDBox3Form(QWidget *parent = nullptr);

    // Fills the box from the request, shows it modally in the centre of the
    // screen and gives the dialog result (6, 7, 2; 0 when closed otherwise)
    // and the check box's state.
    BoxResult Execute(const BoxRequest &request);

    QFrame *P;
    QLabel *Msg;
    QLabel *HelpImg;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *CancelBtn;
    QCheckBox *DontAsk;

    // The help context of the box: F1 opens it, and so does a "&Help" Button2.
    int HelpContext = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Button2Click();
    void centreOnScreen();
};

// The one reused box; null until the message windows first need it. A box
// asked for while this one is up gets a box of its own.
extern TDBox3Form *DBox3Form;
