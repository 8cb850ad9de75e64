#include "presentation/music/RecordingsGrid.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

int RecordingsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordingsModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_columns; }

QVariant RecordingsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns) return {};
    const RecRow &row = m_rows[index.row()];
    if (role == KindRole) return int(row.kind);
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    if (index.column() >= 4 || row.cells[index.column()].isEmpty()) return {};
    return row.cells[index.column()];
}

QVariant RecordingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section < m_labels.size() ? QVariant(m_labels[section]) : QVariant(section + 1);
}

Qt::ItemFlags RecordingsModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void RecordingsModel::setRows(QList<RecRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void RecordingsModel::setColumnCount(int columns) {
    if (columns == m_columns || columns < 0) return;
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void RecordingsModel::setHeaderLabels(const QStringList &labels) {
    m_labels = labels;
    if (m_columns > 0) emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

RecordingsGrid::RecordingsGrid(QWidget *parent) : QTableView(parent), m_model(new RecordingsModel(this)) {
    setModel(m_model);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                emit currentCellChanged(current.row(), current.column(), previous.row(), previous.column());
            });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit cellDoubleClicked(index.row(), index.column()); });
}

void RecordingsGrid::setRows(QList<RecRow> rows) {
    m_waiting = nullptr;
    const QSignalBlocker quiet(this);
    m_model->setRows(std::move(rows));
}

void RecordingsGrid::setRowsWhenNeeded(std::function<QList<RecRow>()> make) {
    m_waiting = std::move(make);
    if (isVisible()) makeWaitingRows();
}

void RecordingsGrid::makeWaitingRows() const {
    if (!m_waiting) return;
    const std::function<QList<RecRow>()> make = std::move(m_waiting);
    m_waiting = nullptr;
    const QSignalBlocker quiet(const_cast<RecordingsGrid *>(this));
    m_model->setRows(make());
}

void RecordingsGrid::showEvent(QShowEvent *event) {
    makeWaitingRows();
    QTableView::showEvent(event);
}

int RecordingsGrid::rowCount() const {
    makeWaitingRows();
    return m_model->rowCount();
}

int RecordingsGrid::currentRow() const {
    makeWaitingRows();
    return currentIndex().row();
}

const QList<RecRow> &RecordingsGrid::rows() const {
    makeWaitingRows();
    return m_model->rows();
}

QString RecordingsGrid::text(int row, int column) const {
    const QList<RecRow> &all = rows();
    if (row < 0 || row >= all.size() || column < 0 || column >= 4) return {};
    return all[row].cells[column];
}

QStringList RecordingsGrid::firstCells() const {
    QStringList cells;
    cells.reserve(rows().size());
    for (const RecRow &row : rows()) cells.append(row.cells[0]);
    return cells;
}

void RecordingsGrid::setCurrentCell(int row, int column) {
    makeWaitingRows();
    setCurrentIndex(m_model->index(row, column));
}
