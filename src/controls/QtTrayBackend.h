// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TrayBackend.h"

#include <QAbstractNativeEventFilter>
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
// with its hosts.
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

    QSystemTrayIcon *trayIcon() const { return m_tray; }

private slots:
    void recheckHost();

private:
    void apply(const TrayNotifyData &data);
    void showIfHosted();
    void watchX11Host();
    void watchStatusNotifierHosts();
    void activated(QSystemTrayIcon::ActivationReason reason);
    void queueLeftButtonUp();
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool isTrayManagerAnnouncement(void *event) const;

    QSystemTrayIcon *m_tray;
    QIcon m_emptyIcon;
    int m_queuedReleases = 0;
    bool m_added = false;
    bool m_hostPresent = false;
    quint32 m_managerAtom = 0;
    quint32 m_trayAtom = 0;   // _NET_SYSTEM_TRAY_S<screen>
    quint32 m_hostWindow = 0; // the owner of that selection
};

} // namespace kv
