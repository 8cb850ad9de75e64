#pragma once
// The Music dialog: the live-music text and a grid of the recordings, one
// row each, with the columns of [Recorded]; a mark column chooses the line to
// play. It reaches the main window only through MainWindowLink.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TRecsForm;

class TMusForm : public QDialog {
public:
    explicit TMusForm(QWidget *parent = nullptr);

    QLineEdit *Live, *Searcher;
    QTableWidget *RGrid;
    QPushButton *OKBtn, *ExitBtn, *DelBtn, *HelpBtn, *BaseBtn;
    QLabel *Base;

    // Fills the dialog from the shown dance (the columns on the first show).
    void FormShow();
    void LiveClick();
    void RGridClick();
    // A right-click on a cell: a Location cell picks a file.
    void RGridRClick(int row, int column);
    void DelBtnClick();
    // OK (ok true) and Exit: builds, checks and saves the text.
    void BtnClick(bool ok);
    void BaseClick();
    // The search box over RecordingFileList, and its match list.
    void SearcherEnter();
    void SearcherChange();
    // A right-click on Help: the dance's music text as stored.
    void HelpRClick();
    TRecsForm *RecsForm() const { return recsForm; }
    // The columns are read again at the next show ([Recorded] was edited).
    void ForgetColumns() { columnsSet = false; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setColumns();
    void fitRows(int rows);
    QList<QStringList> gridRows() const;
    int columnTitled(const QString &title) const;
    bool columnsSet = false;
    TRecsForm *recsForm = nullptr;
    // The normalised RecordingFileList the search reads, kept until Exit.
    QString SearchList;
};

// The dialog, made on first use (owned by parent).
TMusForm &MusForm(QWidget *parent);
