#pragma once
// The "Dance not found" dialog: what to do about a programme item that names
// a dance the catalogue lacks.

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class TNFForm : public QDialog {
    Q_OBJECT
public:
    explicit TNFForm(QWidget *parent = nullptr);

    // Shows the text and waits: 1 after Note or Generate (NotFoundChoice
    // tells which), 2 after Exit or when the window is closed.
    int Execute(const QString &text);

    QPlainTextEdit *ErrMsg;
    QPushButton *NoteBtn;
    QPushButton *GenBtn;
    QPushButton *CancelBtn;
    QCheckBox *DoAllBox;
};
