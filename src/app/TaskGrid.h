// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

namespace kv {

class TaskTable;

// The task grid GridOfFiles: the task table's rows with row 0 as the title row,
// which stays on top while the task rows scroll under it (while it is a fixed
// row; the table's ordinary row 0 scrolls and is selected), whole-row selection
// that follows the table's current row, column borders that the user drags in
// the title row, and the program's own cell painting.
class TaskGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 20;
    static constexpr int kLineWidth = 1;
    static const QColor &bodyColor();     // RGB(255,255,193)
    static const QColor &titleColor();    // RGB(196,255,179)
    static const QColor &selectedColor(); // RGB(0,179,0)
    static const QColor &lineColor();

    explicit TaskGrid(TaskTable &table, QWidget *parent = nullptr);

    TaskTable &table() const { return m_table; }
    // The column of the focused cell of the current row.
    int focusColumn() const;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // The tool tip over a task row; none while unset.
    void setRowToolTip(std::function<QString(int row)> tip) { m_rowToolTip = std::move(tip); }

protected:
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool titleFixed() const;
    bool inTitleRow(const QPoint &pos) const;
    // The column whose right border lies under x in the title row, or -1.
    int borderAt(const QPoint &pos) const;
    // A task row that has scrolled under the title row is out of sight.
    void keepBelowTitle(int row);
    void followTable(int row);

    TaskTable &m_table;
    std::function<QString(int)> m_rowToolTip;
    int m_resizing = -1;
    int m_pressX = 0;
    int m_startWidth = 0;
    bool m_syncing = false;
};

// Paints one cell as GridOfFilesDrawCell does: the grid's standard look first,
// then the green selected row and the framed box of column 0.
class TaskGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TaskGridDelegate(TaskGrid &grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    TaskGrid &m_grid;
};

} // namespace kv
