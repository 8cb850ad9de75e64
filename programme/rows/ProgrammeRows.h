#pragma once
// The programme of the shown event as rows on the Events page: the scroll box
// `Body` with the rows, the column-title row above it, the row list with its
// selection, and the pools that keep released rows for reuse.

#include "programme/rows/ItemRows.h"
#include "programme/rows/RowLayout.h"
#include "programme/text/ProgrammeText.h"

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QScrollArea;
class QWidget;

class ProgrammeRows : public QObject, public RowEventSink {
    Q_OBJECT
public:
    // Places `Body`, `TitleRow` and `DummyItem` on the panel (`EvPanel`).
    explicit ProgrammeRows(QWidget *evPanel);
    ~ProgrammeRows() override;

    RowSettings settings;

    QWidget *EvPanel;
    QScrollArea *Body;
    QWidget *BodyArea;          // the widget inside Body that holds the rows
    TDance *TitleRow = nullptr;
    QLabel *DummyItem;

    QList<TItem *> ItemList;
    // The program-wide index of the selected row (RowLayout.h).
    int &ThisIndex = ::ThisIndex;
    TItem *ThisItem = nullptr;  // kept when ThisIndex becomes -1
    TItem *AnItem = nullptr;
    QList<TDance *> DancePool;
    QList<TNotes *> NotesPool;
    QList<THeading *> HeadingPool;

    bool FillingRows = false;
    // Counts the builds: a drag begun on rows built before ends quietly.
    int Builds = 0;
    // Set while an evaluation or a row drag runs: selecting does not scroll.
    bool NoScroll = false;

    // The rows are the session headings alone (the headings-only view).
    bool isPartial() const { return partial; }

    // Builds the column-title row from [Display]: column names in bold, only
    // the first letter when the label is narrower than 31 pixels, with hints.
    void BuildTitleRow();
    // Releases every row and deletes the pooled rows, so that the next build
    // makes them anew (after [Display] or the scale changed).
    void FreePools();

    // Releases the rows of the last build and builds one row per item, laid
    // top-down from 0 at the width of Body less 16.
    void BuildRows(const QList<ProgrammeItem> &items, bool headingsOnly = false);
    // Reads progText, shows the reader's messages, builds and colours the
    // rows. The caller stores read.stored when read.repaired is set.
    ProgrammeRead ShowProgramme(const QString &progText, bool headingsOnly = false);
    // Lays the rows out again after a row changed its height.
    void LayOutRows();

    // The rows as programme items, in display order.
    QList<ProgrammeItem> RowItems() const;
    // Serialises the rows into progText (left as it was when there are no
    // rows). Throws when the rows are the headings-only view, which would
    // lose every other item.
    void SerialiseRows(QString &progText) const;

    // The first child label of row with that name, or DummyItem.
    QLabel *FindItemLabel(TItem *row, const QString &name) const;
    // Hides the row, keeps it in the pool of its kind, takes it out of ItemList.
    void ReleaseItem(TItem *row);
    bool ItemIsSessionHeading(const TItem *row) const;
    // Null sets ThisIndex to -1 and keeps ThisItem.
    void SelectItem(TItem *row);
    void ScrollToSession();
    // Saving an event forgets the session last scrolled to.
    void ForgetSession() { lastSession = -1; }
    // Every row in its table colour, then ThisItem marked selected; while
    // KeepSelection is set, the rows marked before keep their mark.
    void RecolourRows();
    // Marks or unmarks one row, or rows first to last, keeping the others' marks.
    void MarkRow(TItem *row, bool on);
    void MarkRows(int first, int last, bool on);
    // Set by a press with Ctrl or Shift: several rows stay marked (for Copy
    // and Erase Selected); a plain press or showing the event clears it.
    bool KeepSelection = false;

    // The main window's handlers; without them a press selects the row and
    // the rest does nothing.
    void setEventSink(RowEventSink *sink) { outer = sink; }

    // RowEventSink: forwarded to the main window when it handles them.
    void ItemMouseDown(TItem *row, QMouseEvent *event) override;
    void ItemMouseUp(TItem *row, QMouseEvent *event) override;
    void ItemMouseMove(TItem *row, QMouseEvent *event) override;
    void ActionClick(TItem *row) override;
    void ItemClick(THeading *row) override;
    void TitleClick(TDance *row) override;
    void LastCRClick(TDance *row, QLabel *label) override;
    void LastHClick(TDance *row, QLabel *label) override;
    void NotesChange(TNotes *row) override;
    void NotesMouseDown(TNotes *row, QMouseEvent *event) override;
    void NotesRClick(TNotes *row) override;
    void NotesDblClick(TNotes *row) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TItem *RowFor(const ProgrammeItem &item, int width);
    void PlacePanel();

    RowEventSink *outer = nullptr;
    bool partial = false;
    int lastSession = -1;
};
