#pragma once
// The contra-figures window: the dances of the selected programme section
// against the figures their instructions name, the figures none of them
// uses, and the must / must-not marks that list other suitable dances of the
// catalogue to inspect, add or remove. The analysis is in ContraFigures.h.

#include "presentation/ContraFigures.h"

#include <QDialog>

class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class RichEdit;

// What the window asks of the main window.
class ContraHost {
public:
    virtual ~ContraHost() = default;
    virtual QList<ProgrammeItem> ContraItems() const = 0;
    virtual int ContraThisIndex() const = 0;
    // Selects the first programme row whose shown title is this one.
    virtual void ContraSelectRow(const QString &displayTitle) = 0;
    // Moves the Dances table to the dance.
    virtual void ContraLocate(const DanceKey &key) = 0;
    // Puts the current dance into the programme at the selection.
    virtual void ContraAdd() = 0;
    // Deletes the selected programme row.
    virtual void ContraRemove() = 0;
};

class TContraForm : public QDialog {
    Q_OBJECT
public:
    TContraForm(ContraHost *host, QWidget *parent = nullptr);

    QTableWidget *Grid;
    QFrame *UnusedLine;
    QLabel *UnusedCaption;
    QPushButton *CancelBtn;
    QListWidget *TList;
    QFrame *IPanel;
    QLabel *SFormat, *SStyle, *STitle;
    RichEdit *Inst;
    QPlainTextEdit *UsedList;
    QPushButton *AddBtn, *RemBtn, *CloseBtn, *ShowBtn, *StopBtn;

    // Builds everything from the catalogue and the programme; also after
    // Add and Remove. The grid has no figure column when nothing was kept.
    void FormInit();
    bool HasFigures() const { return grid.columnCount() > 1; }

    void GridSelectCell(int row, int column);
    void DoClick(int handle);
    void UnusedClick(int handle) { DoClick(handle); }
    void UnusedRefresh();
    void TListClick(QListWidgetItem *item);
    void AddBtnClick();
    void RemBtnClick();
    void CloseBtnClick();
    void ShowBtnClick();
    void StopBtnClick();
    void ShowRecognisedFigures();

    const ContraGrid &GridModel() const { return grid; }
    const ContraMarks &Marks() const { return marks; }
    const ContraData &Data() const { return data; }
    // The unused line's labels, in order (position 1 first).
    QList<QLabel *> UnusedLabels() const { return unusedLabels; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showDance(const QString &title, const QString &format, const QString &style, const QString &rtf);
    void layOutUnused();

    ContraHost *host;
    ContraData data;
    ContraGrid grid;
    ContraMarks marks;
    ContraProcess process;
    QString shownTitle;
    QString savedRtf;
    QList<QLabel *> unusedLabels;
};

// The Events menu's "Test Contra": the window over the shown programme,
// modal while it has a figure column.
void RunContraForm(ContraHost *host, QWidget *parent);
