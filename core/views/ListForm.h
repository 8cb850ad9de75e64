#pragma once
// The chooser: a dance (Title, Format, Style) or an event (Org, Date, Event)
// picked from the rows its dataset shows, with a type-ahead box. Made once
// at start-up and reused; it reaches the main window through MainWindowLink.

#include "core/views/Chooser.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class ChooserModel;
class ChooserWatch;

// The character typed on the main window that opened the chooser (the
// programme editor sets it); the chooser's box starts with it, once.
extern QString ChooserTypedChar;

class TListForm : public QDialog {
    Q_OBJECT
public:
    enum Result { Selected = 1, Cancelled = 2, New = 4, NoneChosen = 9 };

    explicit TListForm(QWidget *parent = nullptr);
    ~TListForm() override;

    // Shows the chooser modally: 1 Select (or a double-click), 2 Cancel,
    // 4 New, 9 None. otherText: the current text of the window that asks
    // (dances mode, from a window other than the main one).
    int Choose(ChooserMode mode, const QString &otherText = QString());
    // The chosen row's cell under that column title ("Title", "Org", "Date", ...).
    QString Chosen(const QString &column) const;
    // A record the chosen row stands for (0 when none is chosen).
    qint64 ChosenBookmark() const;

    // The steps on show, without showing (Choose runs them first).
    void Prepare(ChooserMode mode, const QString &otherText = QString());
    // The row list is read again on the next dances listing.
    void ForgetRows() { loaded = false; }
    int RowCount() const;
    const ChooserRow &RowAt(int row) const;
    int SelectedRow() const;
    // A row's hint for the dance it shows (right-click).
    QString HintFor(int row) const;

    // ---- controls
    QLabel *CLab;
    QToolButton *NoFilter;
    QPushButton *NF2;
    QTableView *ListGrid;
    QLineEdit *ListSel;
    QPushButton *DetButton, *None, *OKButton, *NewButton, *CancelBtn;

    // ---- actions
    void ListSelChange();
    void GridClick(int row);
    void DetailsClick();
    void NoFilterClick();
    void SelectClick();

    void setVisible(bool visible) override;
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void loadRows();
    void selectRow(int row);
    void place();

    ChooserMode mode = ChooserMode::Dances;
    ChooserModel *model;
    ChooserWatch *watch;
    bool loaded = false;
    int remembered = 0;
    int openedOnPage = -1;
    bool caretAfterStart = false;  // the box starts with a typed character
};

extern TListForm *ListForm;
// Makes the program's chooser (once; start-up).
TListForm *CreateListForm(QWidget *parent);
