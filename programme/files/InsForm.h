#pragma once
// The insert-from-list window: one label per title of WorkList, white when
// the catalogue lacks it, grey when known, purple when chosen; "Insert"
// puts the chosen dances after the selected programme row, "All" every
// known one. It inserts through InsertSink, which the main window implements.

#include "programme/files/InsertFromList.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QScrollArea;

class InsertSink {
public:
    virtual ~InsertSink() = default;
    // The Dances page shows a dance of a positional style.
    virtual bool PositionalShown() = 0;
    // The dances go after the selected row, in order.
    virtual void InsertDances(const QList<DanceKey> &keys) = 0;
};

class TInsForm : public QDialog {
    Q_OBJECT
public:
    TInsForm(const QStringList &titles, const SqlTitleCatalogue &catalogue, InsertSink &sink,
             QWidget *parent = nullptr);

    QScrollArea *Scroller;
    QWidget *SelPanel;
    QPushButton *SelButton, *AllBtn;
    QList<QLabel *> Labels;

    void FormCreate();
    void ItemClick(QLabel *label);
    void BtnClick(QPushButton *sender);
    TitleState State(int index) const { return states.value(index); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paint(int index);
    QStringList titles;
    const SqlTitleCatalogue &catalogue;
    InsertSink &sink;
    QList<TitleState> states;
};
