#pragma once
// The "Gender names" dialog: new names for the man's and the woman's part.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TGenderForm : public QDialog {
    Q_OBJECT
public:
    explicit TGenderForm(QWidget *parent = nullptr);
    QLabel *Man, *Woman;
    QLineEdit *MNew, *WNew;
    QPushButton *OKBtn, *CancelBtn;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
