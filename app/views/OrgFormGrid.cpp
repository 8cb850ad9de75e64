// The table view of Events or Dances: switching to and from it, editing in
// its cells (the record hooks run as in form view), the filtered column's
// colour.

#include "app/OrgForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/FieldRules.h"
#include "core/database/Tables.h"
#include "core/dialogs/MsgPanel.h"
#include "core/filter/FilterCommands.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/DatasetModel.h"

#include <QAbstractItemDelegate>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>

namespace {

const QColor FilterColour(255, 255, 128);

// Paints the filtered column in the filter colour.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString field;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        auto *model = qobject_cast<const DatasetModel *>(index.model());
        if (!field.isEmpty() && model && SameText(model->fieldAt(index.column()), field))
            option->backgroundBrush = FilterColour;
    }
};

// Keeps the table view over the client area, and posts or cancels with
// Enter and Esc. It holds the window and the view themselves, never the main
// window's members: it still sees events while the window is being destroyed.
class GridWatch : public QObject {
public:
    GridWatch(QMainWindow *window, QTableView *grid) : QObject(window), window(window), grid(grid) {
        window->installEventFilter(this);
        grid->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (!grid) return false;
        if (watched == window && event->type() == QEvent::Resize && !grid->isHidden())
            grid->setGeometry(window->centralWidget()->geometry());
        if (watched == grid && event->type() == QEvent::KeyPress) {
            auto *model = qobject_cast<DatasetModel *>(grid->model());
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (model && model->dataset().State() != DatasetState::Browse) {
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    model->dataset().Post();
                    return true;
                }
                if (key == Qt::Key_Escape) {
                    model->dataset().Cancel();
                    return true;
                }
            }
        }
        return false;
    }

private:
    QMainWindow *window;
    QPointer<QTableView> grid;
};

} // namespace

void InstallGrid(TOrgForm *form) {
    QTableView *grid = form->Grid;
    grid->setParent(form);
    grid->hide();
    auto *delegate = new GridDelegate(grid);
    grid->setItemDelegate(delegate);
    grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    QObject::connect(grid, &QTableView::doubleClicked, form, [form] { form->FormViewClick(); });
    QObject::connect(delegate, &QAbstractItemDelegate::closeEditor, form,
                     [grid](QWidget *, QAbstractItemDelegate::EndEditHint hint) {
                         auto *model = qobject_cast<DatasetModel *>(grid->model());
                         if (!model || model->dataset().State() == DatasetState::Browse) return;
                         if (hint == QAbstractItemDelegate::RevertModelCache) model->dataset().Cancel();
                         else if (hint == QAbstractItemDelegate::SubmitModelCache) model->dataset().Post();
                     });
    new GridWatch(form, grid);
}

void TOrgForm::ShowGrid(bool events) {
    Dataset &ds = events ? EventsData : DancesData;
    GridOnEvents = events;
    auto *old = qobject_cast<DatasetModel *>(Grid->model());
    if (!old || &old->dataset() != &ds) {
        auto *model = new DatasetModel(ds, Grid);
        model->setEditable(true);
        model->onRefused = [](const QString &field, const QString &) { ShowMsg(NumberBoxFault(field)); };
        Grid->setModel(model);
        delete old;
        // The record and the grid's row move together.
        connect(model, &DatasetModel::currentRowChanged, Grid, [this](int row) {
            if (row >= 0 && Grid->currentIndex().row() != row)
                Grid->setCurrentIndex(Grid->model()->index(row, std::max(Grid->currentIndex().column(), 0)));
        });
        connect(Grid->selectionModel(), &QItemSelectionModel::currentRowChanged, Grid,
                [this, model](const QModelIndex &now, const QModelIndex &before) {
                    Dataset &d = model->dataset();
                    if (!now.isValid() || now.row() == d.RecordIndex()) return;
                    if (before.isValid() && d.State() != DatasetState::Browse) d.Post();
                    if (d.RecordIndex() != now.row()) d.SetRecordIndex(now.row());
                });
        // Rows come and go under the table (an import, a copy, a delete):
        // its caption counts the rows it shows.
        connect(model, &QAbstractItemModel::modelReset, Grid, [this, events] {
            const FilterTable table = events ? FilterTable::Events : FilterTable::Dances;
            if (GridShows(table)) ShowRecordCount(table);
        });
    }
    auto *model = static_cast<DatasetModel *>(Grid->model());
    const int charWidth = Grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < model->columnCount(); ++c) {
        Grid->setColumnHidden(c, false);
        const bool narrow = !events && ds.fieldInfos().value(c).type == FieldType::Int16;
        Grid->setColumnWidth(c, narrow ? std::max(charWidth + 8, Grid->horizontalHeader()->minimumSectionSize())
                                       : 100);
    }
    ShowRecordCount(events ? FilterTable::Events : FilterTable::Dances);
    // (A window not on screen yet is left to its start-up.)
    if (isVisible()) showMaximized();
    Grid->setGeometry(centralWidget()->geometry());
    Grid->setVerticalScrollBarPolicy(OptionChecked(QStringLiteral("ShowBars")) ? Qt::ScrollBarAsNeeded
                                                                              : Qt::ScrollBarAlwaysOff);
    // The grid opens on the current record: made current before the grid
    // takes the focus, which would otherwise move the record to the first row.
    if (ds.RecordIndex() >= 0)
        Grid->setCurrentIndex(model->index(ds.RecordIndex(), std::max(Grid->currentIndex().column(), 0)));
    Grid->raise();
    Grid->show();
    Grid->setFocus();
    if (ds.RecordIndex() >= 0) Grid->selectRow(ds.RecordIndex());
}

void TOrgForm::HideGrid() {
    if (Grid->isHidden()) return;
    // The memo editor goes with the table, its edit stored or dropped first.
    SettleMemo();
    CloseMemo();
    // A cell still being typed into is kept, as Enter would keep it.
    if (QWidget *editor = Grid->indexWidget(Grid->currentIndex())) {
        emit Grid->itemDelegate()->commitData(editor);
        emit Grid->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    }
    auto *model = qobject_cast<DatasetModel *>(Grid->model());
    if (model && model->dataset().State() != DatasetState::Browse) model->dataset().CheckBrowseMode();
    Grid->hide();
    // Whichever way the form comes back, it shows the record the table left
    // current, programme included.
    if (EventRowsStale && PC->currentWidget() == EventPage) ShowEvent(true);
}

void TOrgForm::FormViewClick() {
    QWidget *page = PC->currentWidget();
    if (page == RulePage || page == FolderPage) return;
    if (!Grid->isHidden()) {
        WriteLog(QStringLiteral("Form view"));
        setWindowTitle(QStringLiteral("Quillary"));
        if (ThisIndex == -1) ThisIndex = 0;
        // The table may have changed the event: it is shown whole again.
        if (page == EventPage && GridOnEvents) EventRowsStale = true;
        HideGrid();
        MsgPanel->hide();
        FocusIfPossible(TitleBtn);
        if (page == DancePage) ShowDance();
        return;
    }
    WriteLog(QStringLiteral("Grid view"));
    ShowGrid(page == EventPage);
}

void TOrgForm::FormView() { EnsureFormView(); }

bool TOrgForm::GridShows(FilterTable table) const {
    return !Grid->isHidden() && GridOnEvents == (table == FilterTable::Events);
}

QString TOrgForm::GridField() const {
    auto *model = qobject_cast<DatasetModel *>(Grid->model());
    return model ? model->fieldAt(Grid->currentIndex().column()) : QString();
}

void TOrgForm::PaintGridColumn(const QString &field) {
    if (auto *delegate = dynamic_cast<GridDelegate *>(Grid->itemDelegate())) delegate->field = field;
    Grid->viewport()->update();
}

void TOrgForm::SetGridView(FilterTable table, bool grid) {
    PC->setCurrentWidget(table == FilterTable::Events ? EventPage : DancePage);
    if (grid != GridShows(table)) FormViewClick();
}
