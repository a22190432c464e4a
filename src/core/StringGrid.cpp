// SPDX-License-Identifier: GPL-3.0-or-later
#include "StringGrid.h"

#include <algorithm>

namespace kv {

StringGrid::StringGrid(int colCount, int rowCount, QObject *parent)
    : QAbstractTableModel(parent), m_colCount(std::max(colCount, 1))
{
    m_rows.resize(std::max(rowCount, 1), QStringList(m_colCount));
}

int StringGrid::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_colCount;
}

int StringGrid::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant StringGrid::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.column(), index.row());
}

void StringGrid::setColCount(int count)
{
    count = std::max(count, 1);
    if (count == m_colCount)
        return;
    const bool growing = count > m_colCount;
    if (growing)
        beginInsertColumns({}, m_colCount, count - 1);
    else
        beginRemoveColumns({}, count, m_colCount - 1);
    m_colCount = count;
    for (QStringList &row : m_rows)
        row.resize(count);
    if (growing)
        endInsertColumns();
    else
        endRemoveColumns();
}

void StringGrid::setRowCount(int count)
{
    count = std::max(count, 1);
    const int old = int(m_rows.size());
    if (count == old)
        return;
    if (count > old) {
        beginInsertRows({}, old, count - 1);
        m_rows.resize(count, QStringList(m_colCount));
        endInsertRows();
        return;
    }
    if (m_fixedRows >= count) {
        m_fixedRows = count - 1;
        emit fixedRowsChanged(m_fixedRows);
    }
    beginRemoveRows({}, count, old - 1);
    m_rows.resize(count);
    endRemoveRows();
    updateCurrent(std::clamp(m_currentRow, m_fixedRows, count - 1));
}

void StringGrid::setFixedRows(int count)
{
    count = std::clamp(count, 0, rowCount() - 1);
    if (count == m_fixedRows)
        return;
    m_fixedRows = count;
    emit fixedRowsChanged(count);
    updateCurrent(std::max(m_currentRow, count));
}

void StringGrid::setCurrentRow(int row)
{
    if (row < m_fixedRows || row >= rowCount())
        return;
    updateCurrent(row);
}

QString StringGrid::cell(int col, int row) const
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= rowCount())
        return {};
    return m_rows.at(row).at(col);
}

void StringGrid::setCell(int col, int row, const QString &text)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= rowCount())
        return;
    QString &target = m_rows[row][col];
    if (target == text)
        return;
    target = text;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

void StringGrid::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    if (rowCount() == 1) {
        // The last row stays; it only loses its text.
        for (int c = 0; c < m_colCount; ++c)
            setCell(c, 0, {});
        return;
    }
    const int newCount = rowCount() - 1;
    if (m_fixedRows >= newCount) {
        m_fixedRows = newCount - 1;
        emit fixedRowsChanged(m_fixedRows);
    }
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    updateCurrent(std::clamp(m_currentRow, m_fixedRows, newCount - 1));
}

void StringGrid::updateCurrent(int row)
{
    if (row == m_currentRow)
        return;
    m_currentRow = row;
    emit currentRowChanged(row);
}

} // namespace kv
