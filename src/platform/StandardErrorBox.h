// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Errors.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace kv {

// The program's one error box: error icon, OK button, the program's title as
// caption. A message already on screen is not stacked a second time, so an
// error that recurs at every tick shows one box until it is acknowledged.
class StandardErrorBox : public ErrorSink
{
public:
    explicit StandardErrorBox(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }

protected:
    void present(const QString &text) override;

private:
    QPointer<QWidget> m_owner;
    QStringList m_open;
};

} // namespace kv
