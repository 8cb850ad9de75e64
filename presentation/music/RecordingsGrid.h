#pragma once
// The Recordings page's grid: a table view over the collate's rows, so that
// a refresh hands its rows over whole instead of making an item per cell.
// It answers the calls the page makes of a table widget: row count, a
// cell's text, the current row, and the current-cell and double-click
// signals. Rows given while the grid is hidden are made when it is first
// shown or read, so a refresh at start-up leaves its collate until the
// caller opens the page.

#include "presentation/music/RecordingsCatalogue.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <functional>

class RecordingsModel : public QAbstractTableModel {
public:
    // Every cell of a row answers the row's kind under this role.
    static constexpr int KindRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The rows replace the old ones whole: as a table widget's cleared
    // cells, no row is current afterwards.
    void setRows(QList<RecRow> rows);
    const QList<RecRow> &rows() const { return m_rows; }
    void setColumnCount(int columns);
    void setHeaderLabels(const QStringList &labels);

private:
    QList<RecRow> m_rows;
    int m_columns = 4;
    QStringList m_labels;
};

class RecordingsGrid : public QTableView {
    Q_OBJECT
public:
    explicit RecordingsGrid(QWidget *parent = nullptr);

    int rowCount() const;
    int columnCount() const { return m_model->columnCount(); }
    void setColumnCount(int columns) { m_model->setColumnCount(columns); }
    void setHorizontalHeaderLabels(const QStringList &labels) { m_model->setHeaderLabels(labels); }
    // A cell's text ("" outside the grid).
    QString text(int row, int column) const;
    // The first cells of every row, in order.
    QStringList firstCells() const;
    int currentRow() const;
    void setCurrentCell(int row, int column);
    // The rows now; or, from make, when the grid is shown or read (at once
    // when it is showing). Rows come in without the current-cell signal.
    void setRows(QList<RecRow> rows);
    void setRowsWhenNeeded(std::function<QList<RecRow>()> make);
    const QList<RecRow> &rows() const;

signals:
    void currentCellChanged(int row, int column, int previousRow, int previousColumn);
    void cellDoubleClicked(int row, int column);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void makeWaitingRows() const;

    RecordingsModel *m_model;
    mutable std::function<QList<RecRow>()> m_waiting;
};
