// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StatusNotifierNames.h"
#include "TrayBackend.h"

#include <QAbstractNativeEventFilter>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

namespace kv {

// The desktop's notification area through QSystemTrayIcon: an X11 tray host, or
// a StatusNotifier host on D-Bus (Wayland, KDE Plasma, GNOME's AppIndicator
// extension).
//
// Qt reports a double click as Trigger, DoubleClick (some platforms repeat the
// Trigger before the DoubleClick); the backend turns that into the release,
// double click, release that the tray icon expects. Qt docks the icon again by
// itself when an X11 tray host restarts; the backend watches for the host's
// announcement too and reports it as hostReturned(). It follows hosts coming
// and going: the X11 tray selection's owner, and the StatusNotifier watcher
// with the hosts themselves.
//
// Where Qt's icon is a StatusNotifierItem, the host draws the menu at the icon
// and has no double click: its activation (a left click) counts as one.
class QtTrayBackend : public TrayBackend, private QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit QtTrayBackend(QObject *parent = nullptr);
    ~QtTrayBackend() override;

    bool add(const TrayNotifyData &data) override;
    bool modify(const TrayNotifyData &data) override;
    bool remove(const TrayNotifyData &data) override;
    bool hostPresent() const override { return m_hostPresent; }
    bool showMessage(const QString &title, const QString &text) override;
    void setMenu(QMenu *menu) override;
    void setItemNames(const QString &title, const QString &id) override;

    QSystemTrayIcon *trayIcon() const { return m_tray; }

private slots:
    void recheckHost();
    void busNameChanged(const QString &name, const QString &oldOwner, const QString &newOwner);

private:
    void apply(const TrayNotifyData &data);
    void showIfHosted();
    void watchX11Host();
    void watchStatusNotifierHosts();
    bool statusNotifierHostPresent();
    // Qt's item on the bus, while it is there.
    QObject *statusNotifierItem() const;
    void exportMenu();
    void activated(QSystemTrayIcon::ActivationReason reason);
    void queueLeftButtonUp();
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool isTrayManagerAnnouncement(void *event) const;

    QSystemTrayIcon *m_tray;
    QIcon m_emptyIcon;
    int m_queuedReleases = 0;
    bool m_added = false;
    bool m_hostPresent = false;
    bool m_statusNotifierItem = false; // Qt's icon is one, not an X11 tray icon
    bool m_sawHostName = false;
    QPointer<QMenu> m_menu;
    QString m_title;
    QString m_id;
    QPointer<StatusNotifierNames> m_names;
    quint32 m_managerAtom = 0;
    quint32 m_trayAtom = 0;   // _NET_SYSTEM_TRAY_S<screen>
    quint32 m_hostWindow = 0; // the owner of that selection
};

} // namespace kv
