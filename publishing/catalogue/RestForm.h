#pragma once
// The "Resize fields" dialog: a row for each sized text field with its
// length and a box for the new one.

#include "publishing/catalogue/Resize.h"

#include <QDialog>

class Dataset;
class QLineEdit;
class QPushButton;

class TRestForm : public QDialog {
    Q_OBJECT
public:
    TRestForm(QWidget *parent, Dataset &dataset);
    void OKButtonClick();

    QList<QLineEdit *> NewLengths;
    QPushButton *OKButton, *CancelButton;

private:
    Dataset &m_dataset;
    QList<ResizeRow> m_rows;
};

// The Tools menu's "Resize Events" and "Resize Dances", with the Events
// record hooks off meanwhile.
void ShowResizeForm(QWidget *owner, bool dances);
