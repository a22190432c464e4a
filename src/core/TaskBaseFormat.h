// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace kv {

class TaskTable;

// The task base file: the column count, the row count (title row included), then
// every task cell, one a line, column by column; CR LF line ends, UTF-8 text.
namespace TaskBaseFormat {

constexpr int kMaxRows = 255; // the title row and 254 tasks

// What a base holds: the row count and the task cells, column by column.
struct Contents
{
    int rowCount = 1;
    QStringList cells; // 6 x (rowCount - 1), column 0 of every task first
    QString cell(int col, int row) const { return cells.at(col * (rowCount - 1) + row - 1); }
};

QByteArray encode(const TaskTable &table);

// Reads a whole base. Line ends may be LF, CR or CR LF; a 0x1A byte ends the
// file; lines missing at the end read as empty cells. Text that is not UTF-8 is
// read as Windows-1251. Returns nothing for a base whose column count is 1 or
// less (an empty file among them): such a base leaves the table as it is.
// Throws kv::Error for anything it cannot take, and never allocates from a count
// it has not checked.
std::optional<Contents> decode(const QByteArray &bytes);

// Replaces every task of the table with the base's tasks.
void apply(const Contents &contents, TaskTable &table);

} // namespace TaskBaseFormat
} // namespace kv
