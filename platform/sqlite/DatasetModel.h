#pragma once
// A table model over the rows a dataset shows, for table views; editable on
// request (a typed cell puts the dataset in edit on that row; memos are not
// edited in the cell).

#include "platform/sqlite/Dataset.h"

#include <QAbstractTableModel>
#include <QHash>
#include <functional>

class DatasetModel : public QAbstractTableModel, public DatasetObserver {
    Q_OBJECT
public:
    explicit DatasetModel(Dataset &dataset, QObject *parent = nullptr);
    ~DatasetModel() override;

    Dataset &dataset() const { return m_dataset; }
    // The field shown in a column ("" when there is none).
    QString fieldAt(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    void setEditable(bool on) { m_editable = on; }
    // A cell's text its field cannot take (a letter in a number column):
    // the cell keeps the field's value and this says why (field, text).
    std::function<void(const QString &, const QString &)> onRefused;

    void datasetChanged(Dataset &dataset, DatasetChange change) override;

signals:
    // The dataset's current record moved to this shown row (-1: none).
    void currentRowChanged(int row);

private:
    const QStringList &rowTexts(int row) const;

    Dataset &m_dataset;
    // The rows shown, by bookmark: the view is reset only when they change.
    std::vector<Dataset::Bookmark> m_shown;
    int m_rows = 0;
    int m_row = -1; // the record's row as last told
    int m_columns = 0;
    bool m_editable = false;
    mutable QHash<int, QStringList> m_cache;
};
