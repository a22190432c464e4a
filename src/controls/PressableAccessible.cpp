// SPDX-License-Identifier: GPL-3.0-or-later
#include "PressableAccessible.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace kv {

PressableAccessible::PressableAccessible(QWidget *widget, QAccessible::Role role,
                                         std::function<QString()> name, std::function<void()> press)
    : QAccessibleWidget(widget, role), m_name(std::move(name)), m_press(std::move(press))
{}

QString PressableAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    // A name set on the widget wins over the one it shows.
    const QString set = widget()->accessibleName();
    return set.isEmpty() ? m_name() : set;
}

QStringList PressableAccessible::actionNames() const
{
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
}

void PressableAccessible::doAction(const QString &actionName)
{
    if (actionName != pressAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    if (!widget()->isEnabled() || !widget()->isVisible())
        return;
    QTimer::singleShot(0, widget(), [press = m_press] { press(); });
}

QString spokenCaption(const QString &caption)
{
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        spoken += caption[i];
    }
    return spoken;
}

} // namespace kv
