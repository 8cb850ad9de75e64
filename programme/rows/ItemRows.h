#pragma once
// The row controls of a programme on the Events page: a panel per item with
// the red "+" at its left; dance rows carry one label per display column,
// notes rows a memo, heading rows their caption and an optional time.

#include "programme/rows/RowLayout.h"

#include <QFrame>
#include <QList>
#include <QString>

class QContextMenuEvent;
class QLabel;
class QMouseEvent;
class QPlainTextEdit;
class TDance;
class THeading;
class TItem;
class TNotes;

// Where the rows send what the user does to them. The main window handles
// these; a row list without it (a test, a listing) only selects the row.
class RowEventSink {
public:
    virtual ~RowEventSink() = default;
    virtual void ItemMouseDown(TItem *row, QMouseEvent *event) = 0;
    virtual void ItemMouseUp(TItem *row, QMouseEvent *event) = 0;
    // The pointer moved with a button down since a press on the row.
    virtual void ItemMouseMove(TItem *row, QMouseEvent *event) = 0;
    virtual void ActionClick(TItem *row) = 0;
    virtual void ItemClick(THeading *row) = 0;
    virtual void TitleClick(TDance *row) = 0;
    virtual void LastCRClick(TDance *row, QLabel *label) = 0;
    virtual void LastHClick(TDance *row, QLabel *label) = 0;
    virtual void NotesChange(TNotes *row) = 0;
    virtual void NotesMouseDown(TNotes *row, QMouseEvent *event) = 0;
    virtual void NotesRClick(TNotes *row) = 0;
    virtual void NotesDblClick(TNotes *row) = 0;
};

// The tag a label carries (see LabelTag); -1 for none.
int LabelTagOf(const QWidget *label);

class TItem : public QFrame {
    Q_OBJECT
public:
    // sink null: a row that routes nothing (the column-title row).
    TItem(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry);

    int Tag = 1;
    QLabel *Action = nullptr;

    QString caption() const { return rowCaption; }
    void setCaption(const QString &text);

    // The table colour of the row; the selection mark shows over it.
    virtual void applyColour(const RowColour &colour);
    RowColour colour() const { return tableColour; }
    bool isSelected() const { return selected; }
    void setSelected(bool on);
    // The background on show (the selection colour while marked).
    Rgb background() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual void showColours();

    RowEventSink *sink;
    RowColour tableColour;
    bool selected = false;
    QString rowCaption;
};

class TDance : public TItem {
    Q_OBJECT
public:
    // growLarge: a programme row with the Large option (font 3/2 wider).
    TDance(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry, bool growLarge);

    QLabel *Title = nullptr;
    QLabel *Format = nullptr;
    QLabel *Style = nullptr;
    int Recording = 0;
    // The column labels in display order (Title, Format, Style among them
    // when [Display] names them).
    QList<QLabel *> columns;

    DanceKey key() const;
    void setKey(const DanceKey &key);
    // Empties every caption, hint and evaluation colour, for reuse.
    void clearForReuse();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
};

class TNotes : public TItem {
    Q_OBJECT
public:
    TNotes(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry);

    QPlainTextEdit *Notes = nullptr;
    // The programme separator: typed into the memo it becomes a blank.
    QChar separator;

    // The note as the programme holds it (line breaks CR LF).
    QString text() const;
    // Sets the text without calling NotesChange.
    void setText(const QString &text);
    // Memo height from its word-wrapped text, row 4 pixels higher; true when
    // the row's height changed.
    bool fitToText();
    void applyColour(const RowColour &colour) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showColours() override;

private:
    void memoChanged();
    bool settingText = false;
};

class THeading : public TItem {
    Q_OBJECT
public:
    THeading(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry);

    QLabel *Time = nullptr;  // present when [Display] has "Time"
};

// Label colours set by the evaluation and dropped again on reuse.
void SetLabelColour(QLabel *label, const Rgb &background);
void ClearLabelColour(QLabel *label);
