// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaskGrid.h"

#include "TaskTable.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace kv {

namespace {
constexpr int kColumnWidths[TaskTable::kColumnCount] = {23, 159, 137, 290, 64, 64};
constexpr int kBorderGrip = 3;
} // namespace

const QColor &TaskGrid::bodyColor()
{
    static const QColor color(255, 255, 193);
    return color;
}

const QColor &TaskGrid::titleColor()
{
    static const QColor color(196, 255, 179);
    return color;
}

const QColor &TaskGrid::selectedColor()
{
    static const QColor color(0, 179, 0);
    return color;
}

const QColor &TaskGrid::lineColor()
{
    static const QColor color(192, 192, 192);
    return color;
}

TaskGrid::TaskGrid(TaskTable &table, QWidget *parent) : QTableView(parent), m_table(table)
{
    setModel(&table);
    setItemDelegate(new TaskGridDelegate(*this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight + kLineWidth);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    for (int col = 0; col < TaskTable::kColumnCount; ++col)
        setColumnWidth(col, kColumnWidths[col] + kLineWidth);
    setShowGrid(false);
    setWordWrap(false);
    setFrameShape(QFrame::NoFrame);
    // The painting follows the table's current row, not the view's selection.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::ClickFocus);
    setTabKeyNavigation(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    viewport()->setMouseTracking(true);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, bodyColor());
    setPalette(pal);

    connect(&table, &TaskTable::currentRowChanged, this, &TaskGrid::followTable);
    connect(&table, &QAbstractItemModel::modelReset, viewport(), qOverload<>(&QWidget::update));
    connect(&table, &QAbstractItemModel::rowsRemoved, viewport(), qOverload<>(&QWidget::update));
    connect(&table, &QAbstractItemModel::rowsInserted, viewport(), qOverload<>(&QWidget::update));
    connect(&table, &TaskTable::fixedRowsChanged, viewport(), qOverload<>(&QWidget::update));
}

int TaskGrid::focusColumn() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : 0;
}

void TaskGrid::followTable(int row)
{
    if (m_syncing)
        return;
    m_syncing = true;
    const QModelIndex index = model()->index(row, focusColumn());
    setCurrentIndex(index);
    if (row > 0)
        scrollTo(index);
    m_syncing = false;
    viewport()->update();
}

void TaskGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_syncing && current.isValid() && current.row() != m_table.currentRow()) {
        m_table.setCurrentRow(current.row());
        // A title row cannot become current; the cursor stays on the table's row.
        if (m_table.currentRow() != current.row())
            followTable(m_table.currentRow());
    }
    // Also while dragging, when the view does not scroll to the new row itself.
    if (current.isValid())
        keepBelowTitle(current.row());
    viewport()->update();
}

void TaskGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (index.isValid())
        keepBelowTitle(index.row());
}

bool TaskGrid::titleFixed() const
{
    return m_table.fixedRows() > 0;
}

void TaskGrid::keepBelowTitle(int row)
{
    // Scrolling is by whole rows, so one row up brings it just below the title
    // row; at the end of the range the view aligns the last row to the bottom
    // instead, which can leave a row half under the title row.
    if (titleFixed() && row > 0 && rowViewportPosition(row) < rowHeight(0))
        verticalScrollBar()->setValue(row - 1);
}

void TaskGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // The scroll moved the title row's pixels along with the rest.
    viewport()->update();
}

void TaskGrid::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (!titleFixed() || rowViewportPosition(0) >= 0)
        return;
    // A fixed row: painted over the task row scrolled under it.
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int col = 0; col < model()->columnCount(); ++col) {
        option.rect = QRect(columnViewportPosition(col), 0, columnWidth(col), rowHeight(0));
        itemDelegate()->paint(&painter, option, model()->index(0, col));
    }
}

bool TaskGrid::inTitleRow(const QPoint &pos) const
{
    // A fixed title row stays on top; an ordinary one scrolls with the rest.
    const int top = titleFixed() ? 0 : rowViewportPosition(0);
    return model()->rowCount() > 0 && pos.y() >= top && pos.y() < top + rowHeight(0);
}

int TaskGrid::borderAt(const QPoint &pos) const
{
    if (!inTitleRow(pos))
        return -1;
    for (int col = 0; col < TaskTable::kColumnCount; ++col) {
        const int right = columnViewportPosition(col) + columnWidth(col);
        if (std::abs(pos.x() - right) <= kBorderGrip)
            return col;
    }
    return -1;
}

void TaskGrid::mousePressEvent(QMouseEvent *event)
{
    const int border =
        event->button() == Qt::LeftButton ? borderAt(event->position().toPoint()) : -1;
    if (border >= 0) {
        m_resizing = border;
        m_pressX = event->position().toPoint().x();
        m_startWidth = columnWidth(border);
        return;
    }
    // A click on the fixed title row selects nothing, nor the task row under it.
    if (titleFixed() && inTitleRow(event->position().toPoint()))
        return;
    QTableView::mousePressEvent(event);
}

void TaskGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_resizing >= 0) {
        setColumnWidth(m_resizing, std::max(1, m_startWidth + pos.x() - m_pressX));
        return;
    }
    if (borderAt(pos) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
    if (event->buttons() != Qt::NoButton)
        QTableView::mouseMoveEvent(event);
}

void TaskGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_resizing >= 0) {
        m_resizing = -1;
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void TaskGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click is two presses to the grid; it neither edits nor opens.
    mousePressEvent(event);
}

bool TaskGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const QPoint pos = static_cast<QHelpEvent *>(event)->pos();
    const int row = inTitleRow(pos) ? -1 : rowAt(pos.y());
    const QString tip = m_rowToolTip && row >= 1 ? m_rowToolTip(row) : QString();
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    // Shown until the pointer leaves the row, so the next row gets its own.
    const QRect place(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
    QToolTip::showText(viewport()->mapToGlobal(pos), tip, viewport(), place);
    return true;
}

void TaskGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void TaskGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

TaskGridDelegate::TaskGridDelegate(TaskGrid &grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

void TaskGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const TaskTable &table = m_grid.table();
    const int row = index.row();
    const int col = index.column();
    // The cell proper; its right and bottom pixels carry the grid lines.
    const QRect cell = option.rect.adjusted(0, 0, -TaskGrid::kLineWidth, -TaskGrid::kLineWidth);
    // Row 0 looks like the title row, also while the table has no task; once it
    // is an ordinary row among tasks (after opening a base into an empty table)
    // it is selected like any other.
    const bool selected =
        row == table.currentRow() && (row > 0 || (table.fixedRows() == 0 && table.hasTasks()));
    const bool title = row == 0 && !selected;
    const bool focused = selected && m_grid.hasFocus() && col == m_grid.focusColumn();
    const QPalette &pal = m_grid.palette();
    // No cell shows more than this; laying out a huge cell whole would stall
    // every repaint.
    const QString text = index.data().toString().left(1000);

    painter->save();
    painter->setFont(m_grid.font());

    // The grid's standard drawing.
    QColor background = title ? TaskGrid::titleColor() : TaskGrid::bodyColor();
    QColor foreground = pal.color(QPalette::Active, QPalette::Text);
    if (selected) {
        background = pal.color(QPalette::Active, QPalette::Highlight);
        foreground = pal.color(QPalette::Active, QPalette::HighlightedText);
    }
    painter->fillRect(cell, background);
    painter->setPen(foreground);
    const QRect textRect = cell.adjusted(2, 2, 0, 0);
    painter->setClipRect(cell);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->setClipping(false);
    painter->setPen(TaskGrid::lineColor());
    painter->drawLine(option.rect.left(), option.rect.bottom(), option.rect.right(),
                      option.rect.bottom());
    if (title)
        painter->drawLine(option.rect.right(), option.rect.top(), option.rect.right(),
                          option.rect.bottom());

    // The program's painting: the selected row green except the focused cell.
    if (table.rowCount() > 1 && selected && !focused) {
        background = TaskGrid::selectedColor();
        painter->fillRect(cell, background);
        painter->setPen(foreground);
        painter->setClipRect(cell);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->setClipping(false);
    }
    // Column 0 of a task row: a framed box in the cell's colour that hides the
    // fired mark.
    if (col == 0 && row >= 1) {
        painter->setPen(TaskGrid::lineColor());
        painter->setBrush(background);
        painter->drawRect(cell.left(), cell.top(), cell.width() - 1, cell.height());
    }
    painter->restore();
}

} // namespace kv
