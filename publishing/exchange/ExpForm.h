#pragma once
// The export dialog: the file, the delimiter and separator, the choice of
// fields and of how many records, then the run.

#include <QDialog>
#include <QList>

class Dataset;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TExpForm : public QDialog {
    Q_OBJECT
public:
    TExpForm(QWidget *parent, bool isDances);

    // Shows the dialog until it is left or accepted with valid input, then
    // runs the export.
    void DoExport();
    void SelFieldsClick();
    void HelpBtnClick();

    QLineEdit *ExportTo, *Delimiter, *Separator, *RecCount;
    QLabel *Info;
    QCheckBox *DelimNums, *FNames, *SelFields;
    QPushButton *ExportBtn, *ExitBtn, *HelpBtn;
    QWidget *FNPanel;
    QList<QCheckBox *> FieldBoxes;

private:
    Dataset *m_dataset;
};

// The Tools menu's "Export Events" and "Export Dances".
void DoExport(QWidget *owner, bool isDances);
