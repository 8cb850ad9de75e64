#include "platform/sqlite/DatasetModel.h"

namespace {
constexpr int CachedRows = 512;
}

DatasetModel::DatasetModel(Dataset &dataset, QObject *parent) : QAbstractTableModel(parent), m_dataset(dataset) {
    if (m_dataset.active()) {
        m_shown = m_dataset.VisibleBookmarks();
        m_rows = int(m_shown.size());
        m_columns = m_dataset.FieldCount();
        m_row = m_dataset.RecordIndex();
    }
    m_dataset.addObserver(this);
}

DatasetModel::~DatasetModel() { m_dataset.removeObserver(this); }

QString DatasetModel::fieldAt(int column) const {
    const QList<FieldInfo> &infos = m_dataset.fieldInfos();
    return column >= 0 && column < infos.size() ? infos[column].name : QString();
}

int DatasetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows; }

int DatasetModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_columns; }

const QStringList &DatasetModel::rowTexts(int row) const {
    auto it = m_cache.find(row);
    if (it != m_cache.end()) return *it;
    if (m_cache.size() >= CachedRows) m_cache.clear();
    QStringList texts;
    const QVariantList values = m_dataset.rowValues(row);
    const QList<FieldInfo> &infos = m_dataset.fieldInfos();
    for (int i = 0; i < values.size() && i < infos.size(); ++i) {
        QString t = Field::TextOf(infos[i], values[i]);
        // A memo shows its first line.
        const qsizetype br = t.indexOf(QLatin1Char('\r'));
        if (br >= 0) t.truncate(br);
        const qsizetype lf = t.indexOf(QLatin1Char('\n'));
        if (lf >= 0) t.truncate(lf);
        texts.append(t);
    }
    return *m_cache.insert(row, texts);
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole) || index.row() >= m_rows ||
        index.column() >= m_columns)
        return QVariant();
    // The record being edited shows what was typed.
    if (m_dataset.State() != DatasetState::Browse && index.row() == m_dataset.RecordIndex())
        return m_dataset.Fields(index.column()).AsString();
    const QStringList &texts = rowTexts(index.row());
    return index.column() < texts.size() ? texts[index.column()] : QString();
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Horizontal) return fieldAt(section);
    return section + 1;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const QList<FieldInfo> &infos = m_dataset.fieldInfos();
    if (m_editable && index.column() < infos.size() && infos[index.column()].type != FieldType::Memo)
        f |= Qt::ItemIsEditable;
    return f;
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || index.row() >= m_rows) return false;
    Field &field = m_dataset.Fields(index.column());
    if (field.AsString() == value.toString() && m_dataset.RecordIndex() == index.row()) return false;
    if (m_dataset.RecordIndex() != index.row()) {
        m_dataset.CheckBrowseMode();
        m_dataset.SetRecordIndex(index.row());
    }
    if (onRefused) {
        // Refused before the record goes into edit: nothing is left to post.
        try {
            Field::FromText(m_dataset.fieldInfos().at(index.column()), value.toString());
        } catch (const DbError &) {
            onRefused(field.FieldName(), value.toString());
            return false;
        }
    }
    if (m_dataset.State() == DatasetState::Browse) m_dataset.Edit();
    m_dataset.Fields(index.column()).SetAsString(value.toString());
    return true;
}

void DatasetModel::datasetChanged(Dataset &dataset, DatasetChange change) {
    switch (change) {
    case DatasetChange::Data: {
        m_cache.clear();
        std::vector<Dataset::Bookmark> shown;
        if (dataset.active()) shown = dataset.VisibleBookmarks();
        const int columns = dataset.active() ? dataset.FieldCount() : 0;
        if (shown == m_shown && columns == m_columns) {
            // The same rows (an edit began, was posted or cancelled): a reset
            // would close the cell editor and lose the view's current cell.
            // The view's current row may already be ahead of the record (a
            // cell edit committed on leaving its row): told only of a move.
            if (m_rows > 0 && m_columns > 0) emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
            if (dataset.RecordIndex() == m_row) break;
        } else {
            beginResetModel();
            m_shown = std::move(shown);
            m_rows = int(m_shown.size());
            m_columns = columns;
            endResetModel();
        }
        m_row = dataset.RecordIndex();
        emit currentRowChanged(m_row);
        break;
    }
    case DatasetChange::Record: {
        const int row = dataset.RecordIndex();
        m_cache.remove(row);
        if (row >= 0 && row < m_rows) emit dataChanged(index(row, 0), index(row, m_columns - 1));
        break;
    }
    case DatasetChange::Scroll:
        m_row = dataset.RecordIndex();
        emit currentRowChanged(m_row);
        break;
    }
}
