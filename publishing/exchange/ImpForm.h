#pragma once
// The import dialog: the file's first line beside the table's fields, the
// map the user builds between them, and the run.

#include "publishing/exchange/CsvImport.h"

#include <QDialog>

class Dataset;
class QCheckBox;
class QPushButton;
class QTableWidget;

class TImpForm : public QDialog {
    Q_OBJECT
public:
    TImpForm(QWidget *parent, bool isDances);
    ~TImpForm() override;

    // Fills the grids from the file's first line; false (after its message)
    // when the line has too many fields.
    bool prepare(const QByteArray &bytes);
    void OutFieldsClick(int row);
    void IdentBtnClick();
    void ImportClick();
    void HelpBtnClick();

    QTableWidget *InFields, *OutFields;
    QPushButton *ImportBtn, *IdentBtn, *HelpBtn, *ExitBtn;
    QCheckBox *HasNames;

private:
    Dataset *m_dataset;
    QString m_keyField;
    bool m_isDances;
    QByteArray m_bytes;
    ImportFieldMap m_map;
};

// The Tools menu's "Import Events" and "Import Dances": the file box in the
// data folder, then the dialog.
void DoImport(QWidget *owner, bool isDances);
