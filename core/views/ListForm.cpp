#include "core/views/ListForm.h"

#include "base/Log.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/Help.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "platform/picture/StandardIcon.h"

#include <QAbstractTableModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

QString ChooserTypedChar;
TListForm *ListForm = nullptr;

namespace {
const QStringList DanceTitles = {QStringLiteral("Title"), QStringLiteral("Format"), QStringLiteral("Style")};
const QStringList EventTitles = {QStringLiteral("Org"), QStringLiteral("Date"), QStringLiteral("Event")};
constexpr int ChooserHelp = 45000;
constexpr int NoFilterHelp = 30400; // the filter's own topic
} // namespace

// The rows under their column titles.
class ChooserModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    QList<ChooserRow> rows;
    QStringList titles = DanceTitles;

    void reset(QList<ChooserRow> r, const QStringList &t) {
        beginResetModel();
        rows = std::move(r);
        titles = t;
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        return rows.at(index.row()).cells[index.column()];
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (role != Qt::DisplayRole || o != Qt::Horizontal) return {};
        return titles.value(section);
    }
};

// A change of the dances' rows (a filter, a post, a delete) makes the kept
// list stale.
class ChooserWatch : public DatasetObserver {
public:
    explicit ChooserWatch(TListForm *f) : form(f) {}
    void datasetChanged(Dataset &, DatasetChange change) override {
        if (change == DatasetChange::Data) form->ForgetRows();
    }
    TListForm *form;
};

TListForm::TListForm(QWidget *parent) : QDialog(parent), model(new ChooserModel(this)), watch(new ChooserWatch(this)) {
    setObjectName(QStringLiteral("ListForm"));
    setModal(true);
    CLab = new QLabel(this);
    CLab->setObjectName(QStringLiteral("CLab"));
    NoFilter = new QToolButton(this);
    NoFilter->setObjectName(QStringLiteral("NoFilter"));
    NoFilter->setIcon(LazyStandardIcon(QStyle::SP_DialogResetButton, this));
    NoFilter->setToolTip(QStringLiteral("Remove the filter"));
    NoFilter->setProperty("helpContext", NoFilterHelp);
    NF2 = new QPushButton(QStringLiteral("&F"), this);
    NF2->setObjectName(QStringLiteral("NF2"));
    NF2->setMaximumWidth(28);
    ListGrid = new QTableView(this);
    ListGrid->setObjectName(QStringLiteral("ListGrid"));
    ListGrid->setModel(model);
    ListGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ListGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListGrid->verticalHeader()->hide();
    ListGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListGrid->verticalHeader()->setDefaultSectionSize(ListGrid->fontMetrics().height() + 4);
    ListGrid->viewport()->installEventFilter(this);
    ListGrid->installEventFilter(this);
    ListSel = new QLineEdit(this);
    ListSel->setObjectName(QStringLiteral("ListSel"));
    ListSel->installEventFilter(this);
    auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        // Select stays the default button whichever button had the focus.
        b->setAutoDefault(false);
        return b;
    };
    DetButton = button(QStringLiteral("&Details"), "DetButton");
    None = button(QStringLiteral("&None"), "None");
    OKButton = button(QStringLiteral("&Select"), "OKButton");
    OKButton->setDefault(true);
    NewButton = button(QStringLiteral("New"), "NewButton");
    CancelBtn = button(QStringLiteral("&Cancel"), "CancelBtn");

    auto *top = new QHBoxLayout;
    top->addWidget(ListSel, 1);
    top->addWidget(NoFilter);
    top->addWidget(NF2);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {DetButton, None, OKButton, NewButton, CancelBtn}) buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    layout->addLayout(top);
    layout->addWidget(CLab);
    layout->addWidget(ListGrid, 1);
    layout->addLayout(buttons);

    connect(ListSel, &QLineEdit::textChanged, this, [this] { ListSelChange(); });
    connect(ListGrid, &QTableView::clicked, this, [this](const QModelIndex &i) { GridClick(i.row()); });
    connect(ListGrid, &QTableView::doubleClicked, this, [this] { SelectClick(); });
    connect(DetButton, &QPushButton::clicked, this, [this] { DetailsClick(); });
    connect(NoFilter, &QToolButton::clicked, this, [this] { NoFilterClick(); });
    connect(NF2, &QPushButton::clicked, this, [this] { NoFilterClick(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { SelectClick(); });
    connect(NewButton, &QPushButton::clicked, this, [this] { done(New); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(Cancelled); });
    connect(None, &QPushButton::clicked, this, [this] { done(NoneChosen); });
    connect(this, &QDialog::finished, this, [this] { ListGrid->hide(); });
    DancesData.addObserver(watch);
}

TListForm::~TListForm() {
    DancesData.removeObserver(watch);
    delete watch;
    if (ListForm == this) ListForm = nullptr;
}

TListForm *CreateListForm(QWidget *parent) {
    if (!ListForm) ListForm = new TListForm(parent);
    return ListForm;
}

int TListForm::RowCount() const { return int(model->rows.size()); }
const ChooserRow &TListForm::RowAt(int row) const { return model->rows.at(row); }

int TListForm::SelectedRow() const {
    const QModelIndex i = ListGrid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

QString TListForm::Chosen(const QString &column) const {
    const int row = SelectedRow();
    const int c = int(model->titles.indexOf(column));
    return row < 0 || c < 0 ? QString() : model->rows.at(row).cells[c];
}

qint64 TListForm::ChosenBookmark() const {
    const int row = SelectedRow();
    return row < 0 || row >= RowCount() ? 0 : model->rows.at(row).bookmark;
}

void TListForm::loadRows() {
    const bool dances = mode == ChooserMode::Dances;
    Dataset &ds = dances ? DancesData : EventsData;
    model->reset(ChooserRows(ds, mode), dances ? DanceTitles : EventTitles);
    const int widths[2][3] = {{160, 100, 110}, {165, 80, 125}};
    for (int c = 0; c < 3; ++c) ListGrid->setColumnWidth(c, widths[dances ? 0 : 1][c]);
    NoFilter->setVisible(ds.Filtered());
    NF2->setVisible(ds.Filtered());
    if (dances) loaded = true;
}

void TListForm::Prepare(ChooserMode m, const QString &otherText) {
    // 1.
    openedOnPage = TheMainWindow().ActivePage();
    OKButton->setEnabled(true);
    ListGrid->hide();
    {
        const QSignalBlocker quiet(ListSel);
        ListSel->clear();
    }
    CLab->clear();
    const bool events = m == ChooserMode::Events;
    DetButton->setVisible(!events);
    NewButton->setVisible(!events);
    // 2. and 3.
    if (m != mode) loaded = false;
    mode = m;
    if (events) loaded = false;
    if (!loaded) loadRows();
    else {
        NoFilter->setVisible(DancesData.Filtered());
        NF2->setVisible(DancesData.Filtered());
    }
    // 4.
    setWindowTitle(QStringLiteral("Select from %1 %2").arg(RowCount()).arg(events ? "events" : "dances"));
    WriteLog(windowTitle());
    // 5.
    place();
    ListGrid->show();
    // 6.
    QString start;
    bool selectAll = true;
    if (!ChooserTypedChar.isEmpty()) {
        start = ChooserTypedChar;
        ChooserTypedChar.clear();
        selectAll = false;
    } else if (!events && TheMainWindow().DancesPageActive()) {
        start = DancesData.active() ? DancesData.FieldByName(QStringLiteral("Title")).AsString() : QString();
    } else if (!events && !otherText.isEmpty()) {
        start = otherText;
    } else if (EventsData.active() && !EventsData.IsEmpty()) {
        start = EventsData.FieldByName(QStringLiteral("Org")).AsString();
    }
    ListSel->setText(start);
    caretAfterStart = !selectAll;
    if (selectAll) ListSel->selectAll();
    else ListSel->setCursorPosition(int(start.size()));
    // 7.
    if (start.isEmpty()) selectRow(std::min(remembered, RowCount() - 1));
    ListSel->setFocus();
}

void TListForm::place() {
    const QRect client = TheMainWindow().ClientGeometry();
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int height = client.isValid() ? client.height() : avail.height() * 3 / 4;
    const int w = std::max(width(), 440);
    const int right = client.isValid() ? client.right() : avail.right();
    setGeometry(std::max(avail.left(), right - w + 1), avail.top(), w, std::min(height, avail.height()));
}

void TListForm::setVisible(bool visible) {
    QDialog::setVisible(visible);
    // Shown before the window manager has made it active, the dialog hands
    // the box a tab focus, which selects its whole text: a typed character
    // keeps its caret after it, so the next key adds to it.
    if (visible && caretAfterStart) {
        ListSel->deselect();
        ListSel->setCursorPosition(int(ListSel->text().size()));
    }
}

// Esc and the close box answer as Cancel does: nothing is chosen.
void TListForm::reject() { done(Cancelled); }

int TListForm::Choose(ChooserMode m, const QString &otherText) {
    Prepare(m, otherText);
    return exec();
}

void TListForm::selectRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    const QModelIndex i = model->index(row, 0);
    ListGrid->setCurrentIndex(i);
    ListGrid->scrollTo(i, QAbstractItemView::PositionAtTop);
}

void TListForm::ListSelChange() {
    const QString text = ListSel->text();
    if (text.isEmpty()) return;
    CLab->clear();
    OKButton->setEnabled(true);
    const TypeAheadMatch m = MatchTypeAhead(model->rows, text);
    if (m.row >= 0) {
        selectRow(m.row);
        remembered = m.row;
    }
    if (!m.exact) {
        CLab->setText(m.message);
        OKButton->setEnabled(false);
    }
}

void TListForm::GridClick(int row) {
    {
        const QSignalBlocker quiet(ListSel);
        ListSel->clear();
    }
    CLab->clear();
    OKButton->setEnabled(true);
    if (row >= 0) remembered = row;
}

QString TListForm::HintFor(int row) const {
    if (row < 0 || row >= RowCount() || !Conn.isOpen()) return {};
    const QString org =
        EventsData.active() && !EventsData.IsEmpty() ? EventsData.FieldByName(QStringLiteral("Org")).AsString() : QString();
    return LastCalledHint(Conn, model->rows.at(row).cells[0], org, ProgrammeSeparator);
}

void TListForm::DetailsClick() {
    WriteLog(QStringLiteral("List - Details"));
    const int row = SelectedRow();
    if (mode != ChooserMode::Dances || row < 0) return;
    const ChooserRow &r = model->rows.at(row);
    TheMainWindow().ShowChosenDance(r.cells[0], r.cells[1], r.cells[2]);
}

void TListForm::NoFilterClick() {
    WriteLog(QStringLiteral("List - No Filter"));
    const bool events = mode == ChooserMode::Events;
    const FilterTable table = events ? FilterTable::Events : FilterTable::Dances;
    SetFilter(table, events || DancesFilter.HasConditions() ? 2 : 1);
    loadRows();
    setWindowTitle(QStringLiteral("Select from %1 %2").arg(RowCount()).arg(events ? "events" : "dances"));
    ListSelChange();
}

void TListForm::SelectClick() {
    if (!OKButton->isEnabled()) return;
    TheMainWindow().SetActivePage(openedOnPage);
    TheMainWindow().FocusSelection();
    if (EventChanged && EventsData.active() &&
        (EventsData.State() == DatasetState::Edit || EventsData.State() == DatasetState::Insert))
        EventsData.Post();
    done(Selected);
}

bool TListForm::eventFilter(QObject *watched, QEvent *event) {
    if ((watched == ListSel || watched == ListGrid) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Enter selects, as Select does, whichever button had the focus last.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SelectClick();
            return true;
        }
    }
    if (watched == ListSel && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            const int row = std::clamp(SelectedRow() + (key == Qt::Key_Down ? 1 : -1), 0, RowCount() - 1);
            selectRow(row);
            ListGrid->setFocus();
            return true;
        }
    }
    if (watched == ListGrid->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton) {
            const QModelIndex i = ListGrid->indexAt(me->position().toPoint());
            if (i.isValid()) {
                selectRow(i.row());
                GridClick(i.row());
                if (mode == ChooserMode::Dances)
                    QToolTip::showText(me->globalPosition().toPoint(), HintFor(i.row()), ListGrid);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TListForm::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F1) {
        // A control with a topic of its own answers for itself.
        const int own = focusWidget() ? focusWidget()->property("helpContext").toInt() : 0;
        OpenHelp(own > 0 ? own : ChooserHelp);
        return;
    }
    if (event->key() == Qt::Key_F10) {
        DetailsClick();
        return;
    }
    QDialog::keyPressEvent(event);
}
