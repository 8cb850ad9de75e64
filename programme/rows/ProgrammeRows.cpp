#include "programme/rows/ProgrammeRows.h"

#include "base/Messages.h"
#include "programme/text/HeadingRoles.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <stdexcept>

namespace {

// The distance between the column-title row and the first programme row.
constexpr int TitleRowGap = 16;

bool CanFocus(const QWidget *w) { return w && w->isVisible() && w->isEnabled(); }

QString TitleHint(const QString &caption) {
    if (caption == QLatin1String("L")) return QStringLiteral("Level (1-9)");
    if (caption == QLatin1String("C")) return QStringLiteral("Number of times called");
    if (caption == QLatin1String("R")) return QStringLiteral("Number of times called recently");
    if (caption == QLatin1String("LastC")) return QStringLiteral("Last date called anywhere");
    if (caption == QLatin1String("LastH")) return QStringLiteral("Last date called for this Org (\"Here\")");
    return QString();
}

} // namespace

ProgrammeRows::ProgrammeRows(QWidget *evPanel) : QObject(evPanel), EvPanel(evPanel) {
    if (EvPanel->objectName().isEmpty()) EvPanel->setObjectName(QStringLiteral("EvPanel"));
    Body = new QScrollArea(EvPanel);
    Body->setObjectName(QStringLiteral("Body"));
    Body->setFrameShape(QFrame::NoFrame);
    Body->setWidgetResizable(false);
    BodyArea = new QWidget;
    BodyArea->setObjectName(QStringLiteral("BodyArea"));
    BodyArea->resize(0, 0);
    Body->setWidget(BodyArea);
    DummyItem = new QLabel(EvPanel);
    DummyItem->setObjectName(QStringLiteral("DummyItem"));
    DummyItem->hide();
    EvPanel->installEventFilter(this);
    BuildTitleRow();
}

ProgrammeRows::~ProgrammeRows() {
    // The rows call back into this object: they go first.
    if (EvPanel) EvPanel->removeEventFilter(this);
    delete TitleRow;
    delete Body;
    delete DummyItem;
}

bool ProgrammeRows::eventFilter(QObject *watched, QEvent *event) {
    if (watched == EvPanel && event->type() == QEvent::Resize) {
        PlacePanel();
        LayOutRows();
    }
    return QObject::eventFilter(watched, event);
}

void ProgrammeRows::PlacePanel() {
    Body->setGeometry(0, TitleRowGap, EvPanel->width(), std::max(0, EvPanel->height() - TitleRowGap));
    if (TitleRow) TitleRow->setGeometry(0, 0, std::max(0, Body->width() - 16), TitleRow->height());
}

void ProgrammeRows::BuildTitleRow() {
    if (ThisItem == TitleRow) ThisItem = nullptr;
    delete TitleRow;
    TitleRow = new TDance(EvPanel, nullptr, DanceRowGeometry(settings.display, settings.scale, false), false);
    TitleRow->setObjectName(QStringLiteral("TitleRow"));
    for (QLabel *label : TitleRow->columns) {
        const QString name = label->objectName();
        const QString caption = label->width() < 31 ? name.left(1) : name;
        label->setText(caption);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setToolTip(TitleHint(caption));
    }
    TitleRow->applyColour({RowGrey, Black, White, false});
    PlacePanel();
    TitleRow->stackUnder(Body);
    TitleRow->show();
}

void ProgrammeRows::FreePools() {
    for (qsizetype i = ItemList.size() - 1; i >= 0; --i) ReleaseItem(ItemList[i]);
    const auto forget = [this](TItem *row) {
        if (ThisItem == row) ThisItem = nullptr;
        if (AnItem == row) AnItem = nullptr;
        delete row;
    };
    for (TItem *row : DancePool) forget(row);
    for (TItem *row : NotesPool) forget(row);
    for (TItem *row : HeadingPool) forget(row);
    DancePool.clear();
    NotesPool.clear();
    HeadingPool.clear();
}

TItem *ProgrammeRows::RowFor(const ProgrammeItem &item, int width) {
    switch (item.kind) {
    case ItemKind::Dance: {
        TDance *row = nullptr;
        if (!DancePool.isEmpty()) {
            row = DancePool.takeFirst();
            row->clearForReuse();
        } else {
            row = new TDance(BodyArea, this, DanceRowGeometry(settings.display, settings.scale, true),
                             settings.scale.large);
        }
        row->resize(width, row->height());
        row->setKey(item.key);
        row->Recording = item.recording;
        return row;
    }
    case ItemKind::Heading: {
        THeading *row = HeadingPool.isEmpty()
                            ? new THeading(BodyArea, this, HeadingRowGeometry(settings.display, settings.scale))
                            : HeadingPool.takeFirst();
        if (row->Time) row->Time->clear();
        row->resize(width, row->height());
        row->setCaption(item.text);
        return row;
    }
    case ItemKind::Note: {
        TNotes *row =
            NotesPool.isEmpty() ? new TNotes(BodyArea, this, NotesRowGeometry(settings.scale)) : NotesPool.takeFirst();
        row->separator = settings.separator;
        row->resize(width, row->height());
        row->Notes->resize(std::max(0, width - 18), row->Notes->height());
        row->setText(item.text);
        row->fitToText();
        return row;
    }
    }
    return nullptr;
}

void ProgrammeRows::BuildRows(const QList<ProgrammeItem> &items, bool headingsOnly) {
    FillingRows = true;
    ++Builds;
    const qsizetype previous = ItemList.size();
    // A released row may come back for another item: the selection keeps its
    // index, not the row.
    if (ItemList.contains(ThisItem)) ThisItem = nullptr;
    for (qsizetype i = ItemList.size() - 1; i >= 0; --i) ReleaseItem(ItemList[i]);
    ItemList.clear();
    ItemList.reserve(previous > 0 ? previous + 10 : 30);
    partial = headingsOnly;
    const int width = std::max(0, Body->width() - 16);
    int top = 0;
    for (const ProgrammeItem &item : items) {
        if (headingsOnly && !(item.isHeading() && IsSessionHeading(item.text))) continue;
        TItem *row = RowFor(item, width);
        row->move(0, top);
        top += row->height();
        ItemList.append(row);
        row->show();
    }
    BodyArea->resize(width, top);
    FillingRows = false;
}

ProgrammeRead ProgrammeRows::ShowProgramme(const QString &progText, bool headingsOnly) {
    const ProgrammeRead read = ReadProgramme(progText, settings.separator, headingsOnly);
    for (const QString &message : read.messages) ShowMsg(message);
    BuildRows(read.items, read.partial);
    // The selected index survives the rebuild.
    if (ThisIndex >= 0 && ThisIndex < ItemList.size() && CanFocus(ItemList[ThisIndex]))
        SelectItem(ItemList[ThisIndex]);
    else
        RecolourRows();
    return read;
}

void ProgrammeRows::LayOutRows() {
    const int width = std::max(0, Body->width() - 16);
    int top = 0;
    for (TItem *row : ItemList) {
        row->setGeometry(0, top, width, row->height());
        if (auto *notes = qobject_cast<TNotes *>(row)) {
            notes->Notes->resize(std::max(0, width - 18), notes->Notes->height());
            notes->fitToText();
        }
        top += row->height();
    }
    BodyArea->resize(width, top);
}

QList<ProgrammeItem> ProgrammeRows::RowItems() const {
    QList<ProgrammeItem> items;
    items.reserve(ItemList.size());
    for (const TItem *row : ItemList) {
        if (auto *dance = qobject_cast<const TDance *>(row))
            items.append(ProgrammeItem::dance(dance->key(), dance->Recording));
        else if (auto *notes = qobject_cast<const TNotes *>(row))
            items.append(ProgrammeItem::note(notes->text()));
        else
            items.append(ProgrammeItem::heading(row->caption()));
    }
    return items;
}

void ProgrammeRows::SerialiseRows(QString &progText) const {
    if (partial) throw std::logic_error("The headings-only view holds the session headings alone and cannot be saved");
    progText = WriteProgramme(RowItems(), settings.separator, progText);
}

QLabel *ProgrammeRows::FindItemLabel(TItem *row, const QString &name) const {
    if (row)
        for (QObject *child : row->children())
            if (auto *label = qobject_cast<QLabel *>(child); label && SameText(label->objectName(), name)) return label;
    return DummyItem;
}

void ProgrammeRows::ReleaseItem(TItem *row) {
    if (!row) return;
    row->hide();
    if (auto *dance = qobject_cast<TDance *>(row)) DancePool.append(dance);
    else if (auto *notes = qobject_cast<TNotes *>(row)) NotesPool.append(notes);
    else if (auto *heading = qobject_cast<THeading *>(row)) HeadingPool.append(heading);
    ItemList.removeOne(row);
}

bool ProgrammeRows::ItemIsSessionHeading(const TItem *row) const {
    return qobject_cast<const THeading *>(row) && IsSessionHeading(row->caption());
}

void ProgrammeRows::SelectItem(TItem *row) {
    if (!row) {
        ThisIndex = -1;
        RecolourRows();
        return;
    }
    // Marks kept by Ctrl and Shift stay as they are when the row selected
    // does not change.
    const bool same = row == ThisItem && ItemList.contains(row);
    ThisItem = row;
    ThisIndex = int(ItemList.indexOf(row));
    if (ThisIndex >= 0) {
        if (CanFocus(row) && !NoScroll) ScrollToSession();
    } else if (CanFocus(TitleRow)) {
        TitleRow->setFocus();
    }
    // Stands in for the idle-time colouring.
    if (!(same && KeepSelection)) RecolourRows();
}

void ProgrammeRows::ScrollToSession() {
    if (ThisIndex < 0 || ThisIndex >= ItemList.size() || !ThisItem) return;
    int session = ThisIndex;
    while (session > 0 && !ItemIsSessionHeading(ItemList[session])) --session;
    if (session != lastSession) {
        // The session heading comes to the top of the scroll box.
        Body->verticalScrollBar()->setValue(ItemList[session]->y());
        lastSession = session;
    }
    Body->ensureWidgetVisible(ThisItem, 0, 0);
    ThisItem->setFocus();
}

void ProgrammeRows::RecolourRows() {
    QList<bool> marks;
    marks.reserve(ItemList.size());
    for (const TItem *row : ItemList) marks.append(row == ThisItem || (KeepSelection && row->isSelected()));
    const QList<RowColour> colours = RowColours(RowItems(), marks);
    for (qsizetype i = 0; i < ItemList.size(); ++i) ItemList[i]->applyColour(colours[i]);
}

void ProgrammeRows::MarkRow(TItem *row, bool on) {
    const int at = int(ItemList.indexOf(row));
    if (at >= 0) MarkRows(at, at, on);
}

void ProgrammeRows::MarkRows(int first, int last, bool on) {
    QList<bool> marks;
    marks.reserve(ItemList.size());
    for (const TItem *r : ItemList) marks.append(r->isSelected());
    for (int i = std::max(first, 0); i <= last && i < marks.size(); ++i) marks[i] = on;
    const QList<RowColour> colours = RowColours(RowItems(), marks);
    for (qsizetype i = 0; i < ItemList.size(); ++i) ItemList[i]->applyColour(colours[i]);
}

// Without the main window as the sink (a list of rows on its own): a press on
// a row or on its "+" selects it; the rest does nothing.

void ProgrammeRows::ItemMouseDown(TItem *row, QMouseEvent *event) {
    if (outer) return outer->ItemMouseDown(row, event);
    SelectItem(row);
}

void ProgrammeRows::ItemMouseUp(TItem *row, QMouseEvent *event) {
    if (outer) outer->ItemMouseUp(row, event);
}

void ProgrammeRows::ItemMouseMove(TItem *row, QMouseEvent *event) {
    if (outer) outer->ItemMouseMove(row, event);
}

void ProgrammeRows::ActionClick(TItem *row) {
    if (outer) return outer->ActionClick(row);
    SelectItem(row);
}

void ProgrammeRows::ItemClick(THeading *row) {
    if (outer) outer->ItemClick(row);
}

void ProgrammeRows::TitleClick(TDance *row) {
    if (outer) outer->TitleClick(row);
}

void ProgrammeRows::LastCRClick(TDance *row, QLabel *label) {
    if (outer) outer->LastCRClick(row, label);
}

void ProgrammeRows::LastHClick(TDance *row, QLabel *label) {
    if (outer) outer->LastHClick(row, label);
}

void ProgrammeRows::NotesChange(TNotes *row) {
    if (outer) return outer->NotesChange(row);
    if (!FillingRows && row->fitToText()) LayOutRows();
}

void ProgrammeRows::NotesMouseDown(TNotes *row, QMouseEvent *event) {
    if (outer) return outer->NotesMouseDown(row, event);
    SelectItem(row);
}

void ProgrammeRows::NotesRClick(TNotes *row) {
    if (outer) outer->NotesRClick(row);
}

void ProgrammeRows::NotesDblClick(TNotes *row) {
    if (outer) outer->NotesDblClick(row);
}
