// Pressing, dragging and releasing programme rows: a press selects the row
// (Ctrl and Shift mark several), a drag moves it among its neighbours, a
// second press soon after the first shows the dance, and a press on a date
// column shows the event of that day.

#include "app/OrgForm.h"

#include "base/Clock.h"
#include "base/Log.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/rows/RowDrag.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>

namespace {

double NowDays() { return double(Now().toMSecsSinceEpoch()) / 86400000.0; }

int PointerY(const QMouseEvent *event) { return qRound(event->globalPosition().y()); }

QList<DragRow> Spans(const QList<TItem *> &rows) {
    QList<DragRow> spans;
    spans.reserve(rows.size());
    for (const TItem *row : rows) spans.append({row->y(), row->height()});
    return spans;
}

void PlaceRows(const QList<TItem *> &rows, const QList<DragRow> &spans) {
    for (qsizetype i = 0; i < rows.size() && i < spans.size(); ++i)
        if (rows[i]->y() != spans[i].top) rows[i]->move(rows[i]->x(), spans[i].top);
}

} // namespace

void TOrgForm::ItemMouseDown(TItem *row, QMouseEvent *event) {
    if (!row || !event || event->button() != Qt::LeftButton) return;
    LastDataControl = Body;
    // A press on a last-called date (a label of the row) shows that event,
    // with this row's dance selected in it.
    auto *label = qobject_cast<QLabel *>(row->childAt(event->position().toPoint()));
    if (label && LabelTagOf(label) == ComputedTag && !label->text().isEmpty()) {
        auto *dance = qobject_cast<TDance *>(row);
        ShowEventOfDay(label->text(), dance ? dance->key().Title : QString());
        return;
    }
    const double now = NowDays();
    if (IsDoublePress(LastPress, now)) {
        DetailsClick();
        return;
    }
    LastPress = now;
    ContList->hide();
    FieldEntered = false;
    Rows->NoScroll = true;
    const int previous = ThisIndex;
    const bool wasMarked = row->isSelected();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    Rows->KeepSelection = ctrl || shift;
    Rows->SelectItem(row);
    Drag.Start(row->y(), PointerY(event));
    Drag.rowsBuild = Rows->Builds;
    row->raise();
    if (ctrl) {
        Rows->MarkRow(row, !wasMarked);
    } else if (shift && previous >= 0 && ThisIndex >= 0) {
        Rows->MarkRows(std::min(previous, ThisIndex), std::max(previous, ThisIndex), true);
    }
}

void TOrgForm::ItemMouseMove(TItem *row, QMouseEvent *event) {
    if (!Drag.dragging || !event || Drag.rowsBuild != Rows->Builds) return;
    QList<TItem *> &rows = Rows->ItemList;
    const int index = int(rows.indexOf(row));
    if (index < 0) return;
    QList<DragRow> spans = Spans(rows);
    const int now = Drag.Move(spans, index, PointerY(event));
    if (now != index) {
        rows.swapItemsAt(index, now);
        ThisIndex = now;
    }
    PlaceRows(rows, spans);
}

void TOrgForm::ItemMouseUp(TItem *row, QMouseEvent *event) {
    if (!event || event->button() != Qt::LeftButton || !Drag.dragging) return;
    QList<TItem *> &rows = Rows->ItemList;
    Rows->NoScroll = false;
    if (!rows.contains(row) || Drag.rowsBuild != Rows->Builds) {
        // The rows were built anew meanwhile: they lie where they were built.
        QList<DragRow> none;
        Drag.Release(none, -1);
        return;
    }
    QList<DragRow> spans = Spans(rows);
    const bool displaced = Drag.Release(spans, int(rows.indexOf(row)));
    PlaceRows(rows, spans);
    Rows->SelectItem(row);
    if (displaced) {
        WriteLog(QStringLiteral("Row moved"));
        EventsChange();
    } else if (auto *heading = qobject_cast<THeading *>(row)) {
        // A heading pressed and released in place is a click on it.
        ItemClick(heading);
    }
}
