// SPDX-License-Identifier: GPL-3.0-or-later
#include "StandardErrorBox.h"

#include <QMessageBox>

namespace kv {

void StandardErrorBox::present(const QString &text)
{
    if (m_open.contains(text))
        return;
    m_open << text;
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, m_owner);
    // Modal to its owner only: the tray, and a warning before the machine goes
    // off, still answer while the box waits for somebody.
    if (m_owner)
        box.setWindowModality(Qt::WindowModal);
    box.exec();
    m_open.removeOne(text);
}

} // namespace kv
