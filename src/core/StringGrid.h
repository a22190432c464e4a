// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace kv {

// A grid of text cells with a current row and leading fixed (title) rows, the
// model behind the task grid. Fixed rows are always fewer than rows: lowering the
// row count to the fixed row count or below lowers the fixed row count with it.
// Rows that come into being start with empty cells; rows that go are forgotten.
class StringGrid : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(int currentRow READ currentRow WRITE setCurrentRow NOTIFY currentRowChanged)
    Q_PROPERTY(int fixedRows READ fixedRows WRITE setFixedRows NOTIFY fixedRowsChanged)

public:
    StringGrid(int colCount, int rowCount, QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = {}) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setColCount(int count);
    // At least one row always remains.
    void setRowCount(int count);

    int fixedRows() const { return m_fixedRows; }
    // Clamped below the row count; a current row inside the fixed rows moves to
    // the first row after them.
    void setFixedRows(int count);

    int currentRow() const { return m_currentRow; }
    // A fixed row or a row past the end cannot become current; such calls are ignored.
    void setCurrentRow(int row);

    // Cells outside the grid read as empty; writing one is ignored.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);

    // Removes one row, the rows below it moving up.
    void removeRow(int row);

signals:
    void currentRowChanged(int row);
    void fixedRowsChanged(int count);

private:
    void updateCurrent(int row);

    int m_colCount;
    QList<QStringList> m_rows;
    int m_fixedRows = 0;
    int m_currentRow = 0;
};

} // namespace kv
