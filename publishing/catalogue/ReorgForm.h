#pragma once
// The "Reorganise Dances" window: for each field, the value to replace and
// the value to replace it by; then the run.

#include <QDialog>
#include <QList>

class QLineEdit;
class QPushButton;

class TReorgForm : public QDialog {
    Q_OBJECT
public:
    explicit TReorgForm(QWidget *parent);

    void GoBtnClick();
    void ClearBtnClick();
    void HideList();

    QList<QLineEdit *> OldBoxes, NewBoxes; // "O_" and "N_" + field, in field order
    QPushButton *GoBtn, *HelpBtn, *ClearBtn, *ExitBtn;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // With the pick list showing, closing only hides it.
    void reject() override;
};
