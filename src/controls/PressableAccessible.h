// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>
#include <functional>

namespace kv {

// A clickable widget as assistive tools see it: a role, a name, and a Press
// action that clicks it from the event loop, as a mouse click would, so that a
// modal dialog opened by the click does not hold up the tool's call.
class PressableAccessible : public QAccessibleWidget
{
public:
    PressableAccessible(QWidget *widget, QAccessible::Role role, std::function<QString()> name,
                        std::function<void()> press);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    std::function<QString()> m_name;
    std::function<void()> m_press;
};

// A caption as read aloud: without the access key's "&" ("&&" reads "&").
QString spokenCaption(const QString &caption);

} // namespace kv
