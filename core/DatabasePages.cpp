#include "core/DatabasePages.h"

#include "core/DatabaseTools.h"
#include "core/SqlRunner.h"
#include "core/Tables.h"
#include "platform/sqlite/DatasetModel.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

namespace {

const QStringList YesNoFields = {"Printed", "Callit", "OwnTune", "Prv", "Updated", "Acknowledged", "IsRec"};

} // namespace

DatabasePages::DatabasePages(QMainWindow *window) : QObject(window), m_window(window) {
    m_pages = new QTabWidget(window);
    m_pages->setObjectName(QStringLiteral("PC"));
    window->setCentralWidget(m_pages);
    m_events = addPage(EventsData, QStringLiteral("Events"), QStringLiteral("EventsGrid"));
    m_dances = addPage(DancesData, QStringLiteral("Dances"), QStringLiteral("DancesGrid"));
    buildMenus();
    SetMainWindowLink(this);
}

DatabasePages::~DatabasePages() {
    if (&TheMainWindow() == this) SetMainWindowLink(nullptr);
    while (m_busy > 0) SetBusy(false);
}

QTableView *DatabasePages::addPage(Dataset &dataset, const QString &title, const QString &name) {
    auto *view = new QTableView(m_pages);
    view->setObjectName(name);
    auto *model = new DatasetModel(dataset, view);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setDefaultSectionSize(22);
    m_pages->addTab(view, title);
    connect(model, &DatasetModel::currentRowChanged, view, [this, view](int row) { follow(view, row); });
    connect(view, &QTableView::clicked, this,
            [this, view, &dataset](const QModelIndex &index) { cellClicked(view, dataset, index.row(), index.column()); });
    return view;
}

void DatabasePages::follow(QTableView *view, int row) {
    if (row < 0) return;
    const QModelIndex current = view->currentIndex();
    if (current.isValid() && current.row() == row) return;
    const QModelIndex target = view->model()->index(row, current.isValid() ? current.column() : 0);
    view->setCurrentIndex(target);
    view->scrollTo(target);
}

void DatabasePages::cellClicked(QTableView *view, Dataset &dataset, int row, int column) {
    auto *model = static_cast<DatasetModel *>(view->model());
    m_focus.table = dataset.tableName();
    m_focus.field = model->fieldAt(column);
    m_focus.text = model->data(model->index(row, column)).toString();
    m_focus.isCheckBox = YesNoFields.contains(m_focus.field);
    m_hasFocus = !m_focus.field.isEmpty();
    if (dataset.active() && row != dataset.RecordIndex()) dataset.SetRecordIndex(row);
}

bool DatabasePages::Focus(FocusControl *focus) {
    if (!m_hasFocus) return false;
    *focus = m_focus;
    return true;
}

void DatabasePages::ShowDance() { follow(m_dances, DancesData.active() ? DancesData.RecordIndex() : -1); }

void DatabasePages::ShowEvent() { follow(m_events, EventsData.active() ? EventsData.RecordIndex() : -1); }

void DatabasePages::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busy;
    } else if (m_busy > 0) {
        QApplication::restoreOverrideCursor();
        --m_busy;
    }
}

void DatabasePages::CloseMainWindow() {
    QTimer::singleShot(0, m_window, [w = m_window] { w->close(); });
}

void DatabasePages::buildMenus() {
    auto add = [this](QMenu *menu, const QString &caption, const QString &name, int help, std::function<void()> run) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(name);
        if (help) a->setProperty("HelpContext", help);
        connect(a, &QAction::triggered, this, [run] { run(); });
        return a;
    };
    auto focus = [this]() -> const FocusControl * { return m_hasFocus ? &m_focus : nullptr; };
    auto ask = [this](const QString &caption, const QString &prompt, QString *value) {
        bool ok = false;
        const QString text = QInputDialog::getText(m_window, caption, prompt, QLineEdit::Normal, *value, &ok);
        if (ok) *value = text;
        return ok;
    };
    auto choose = [this](const QString &caption, const QString &folder, const QString &filter) {
        const QStringList parts = filter.split(QLatin1Char('|'));
        const QString qtFilter = parts.size() == 2 ? parts[0] + QStringLiteral(" (") + parts[1] + QLatin1Char(')') : filter;
        return QFileDialog::getOpenFileName(m_window, caption, folder, qtFilter);
    };

    QMenu *tools = m_window->menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("ToolsM"));
    add(tools, QStringLiteral("Set all"), QStringLiteral("SetAll"), 51650, [focus] { SetAllClick(focus()); });
    add(tools, QStringLiteral("Change all"), QStringLiteral("ChangeAll"), 51620, [focus, ask] { ChangeAllClick(focus(), ask); });
    add(tools, QStringLiteral("Delete Events"), QStringLiteral("DeleteEvents"), 58500, [] {
        DeleteEventsClick(EventsData.active() && !EventsData.IsEmpty()
                              ? EventsData.FieldByName(QStringLiteral("EDate")).AsString()
                              : QString());
    });
    add(tools, QStringLiteral("Delete Dances"), QStringLiteral("DeleteDances"), 58650, [] { DeleteDancesClick(FilterDef{}); });
    add(tools, QStringLiteral("Remove \"Called\""), QStringLiteral("RemoveCalled"), 58700, [] { RemoveCalledClick(); });
    tools->addSeparator();
    add(tools, QStringLiteral("View SQL"), QStringLiteral("ViewSQL"), 0, [] { ViewSQLClick(); });
    add(tools, QStringLiteral("Rerun SQL"), QStringLiteral("RerunSQL"), 0, [] { RerunSQLClick(); });
    tools->addSeparator();
    add(tools, QStringLiteral("Compress"), QStringLiteral("Compress"), 0, [] { CompressClick(CompressSender::Menu); });
    add(tools, QStringLiteral("Backup"), QStringLiteral("BackupM"), 0, [] { BackupClick(); });
    add(tools, QStringLiteral("Restore"), QStringLiteral("RestoreM"), 0, [] { RestoreClick(); });
    tools->addSeparator();
    add(tools, QStringLiteral("&DOS shell"), QStringLiteral("DosShell"), 58400, [] { DosShellClick(); });
    add(tools, QStringLiteral("Edit Ini file"), QStringLiteral("EditIni"), 58410, [] { EditIniClick(); });
    add(tools, QStringLiteral("Edit Template"), QStringLiteral("EditTemplate"), 58420, [] { EditTemplateClick(); });
    add(tools, QStringLiteral("To Do"), QStringLiteral("ToDo"), 51700, [] { ToDoClick(); });

    QMenu *settings = m_window->menuBar()->addMenu(QStringLiteral("&Settings"));
    settings->setObjectName(QStringLiteral("SettingsM"));
    add(settings, QStringLiteral("Switch database"), QStringLiteral("SwitchDatabase"), 51500,
        [choose] { SwitchDatabaseClick(choose); });
    add(settings, QStringLiteral("Check delimiter"), QStringLiteral("CheckDelimiter"), 51550, [] { CheckDelimiterClick(); });
}
