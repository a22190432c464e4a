// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>

namespace kv {

// Calls `slot` of `receiver` after every change of the model's cells or rows.
template <typename Receiver, typename Slot>
void onEveryChange(const QAbstractItemModel *model, Receiver *receiver, Slot slot)
{
    QObject::connect(model, &QAbstractItemModel::dataChanged, receiver, slot);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, receiver, slot);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, receiver, slot);
    QObject::connect(model, &QAbstractItemModel::modelReset, receiver, slot);
}

} // namespace kv
