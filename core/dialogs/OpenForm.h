#pragma once
// The "Open" list (a rule set to open) and the "Gender names" dialog.

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TOpenForm : public QDialog {
    Q_OBJECT
public:
    explicit TOpenForm(QWidget *parent = nullptr);
    // A click on an entry chooses it: 1; Exit: 2.
    QListWidget *OpenList;
    QPushButton *ExitBtn;
    // The entry clicked last.
    QString Chosen() const;
};
extern TOpenForm *OpenForm;
TOpenForm *CreateOpenForm(QWidget *parent);
