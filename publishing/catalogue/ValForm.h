#pragma once
// The "Validate Dances" dialog: which checks to run, then the walk.

#include <QDialog>

class QCheckBox;
class QPushButton;

class TValForm : public QDialog {
    Q_OBJECT
public:
    explicit TValForm(QWidget *parent);
    void HelpBtnClick();

    QCheckBox *Lvl, *Music, *Links;
    QPushButton *OKBtn, *CancelBtn, *HelpBtn;
};

// The options asked for, the dances checked in the Dances order, and the
// failing dance (or the end) shown with the result.
void ValidateDances(QWidget *owner);
