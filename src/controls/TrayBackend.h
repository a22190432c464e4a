// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;

namespace kv {

// What the tray icon hands to the notification area with each add and modify.
struct TrayNotifyData
{
    QIcon icon; // null: an empty slot
    QString tip;
};

// The mouse messages a notification area reports about an icon.
enum class TrayMouseMessage
{
    MouseMove,
    LeftButtonDown,
    LeftButtonUp,
    LeftButtonDoubleClick,
    RightButtonDown,
    RightButtonUp,
    MiddleButtonDown,
    MiddleButtonUp,
};

// The notification area as the tray icon sees it: one icon that is added,
// modified and deleted, and that reports mouse messages. Each call returns
// whether the host accepted it.
class TrayBackend : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool add(const TrayNotifyData &data) = 0;
    virtual bool modify(const TrayNotifyData &data) = 0;
    virtual bool remove(const TrayNotifyData &data) = 0;
    // Whether a host is there to show the icon.
    virtual bool hostPresent() const = 0;
    // A passive message beside the icon, shown until clicked; false where the
    // host shows none.
    virtual bool showMessage(const QString &title, const QString &text) = 0;
    // The icon's menu, for hosts that draw it themselves at the icon (null: none).
    // Elsewhere the icon opens it on a right click, and the host gets nothing.
    virtual void setMenu(QMenu *menu) { Q_UNUSED(menu) }
    // The names hosts list the icon under: a title for people and an id that
    // stays the same between sessions (empty: the application's name). Hosts
    // that show the icon alone get nothing.
    virtual void setItemNames(const QString &title, const QString &id)
    {
        Q_UNUSED(title)
        Q_UNUSED(id)
    }

signals:
    // In the order the host's messages describe the user's actions: a double
    // click is LeftButtonUp, LeftButtonDoubleClick, LeftButtonUp.
    void mouseMessage(kv::TrayMouseMessage message);
    // A tray host has started (again) and knows none of the icons added before.
    void hostReturned();
    // A host has come where there was none, or the last one has gone.
    void hostPresentChanged(bool present);
    // The user clicked the message shown last, which closes it.
    void messageClicked();
};

} // namespace kv

Q_DECLARE_METATYPE(kv::TrayMouseMessage)
