#pragma once
// The "Open" chooser, doing the least the Rules page needs until the main
// window's small dialogs come: a list of names; a click on one closes it
// with result 1, "E&xit" with result 2.

#include <QDialog>

class QListWidget;
class QPushButton;

class TOpenForm : public QDialog {
    Q_OBJECT
public:
    explicit TOpenForm(QWidget *parent = nullptr);
    QListWidget *OpenList;
    QPushButton *ExitBtn;
    // The name chosen, when the result is 1.
    QString chosen() const;
};
