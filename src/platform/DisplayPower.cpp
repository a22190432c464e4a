// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisplayPower.h"

#include "X11Dpms.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <optional>

namespace kv {

namespace {

const QString kMutterService = QStringLiteral("org.gnome.Mutter.DisplayConfig");
const QString kMutterPath = QStringLiteral("/org/gnome/Mutter/DisplayConfig");
const QString kPowerSaveMode = QStringLiteral("PowerSaveMode");
constexpr int kPowerSaveOn = 0;
constexpr int kPowerSaveOff = 3;
constexpr int kPowerSaveUnsupported = -1;

const QString kIdleService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kIdlePath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kIdleInterface = QStringLiteral("org.gnome.Mutter.IdleMonitor");

const QString kAccelService = QStringLiteral("org.kde.kglobalaccel");
const QString kPowerDevilPath = QStringLiteral("/component/org_kde_powerdevil");
const QString kAccelComponent = QStringLiteral("org.kde.kglobalaccel.Component");
const QString kTurnOffScreen = QStringLiteral("Turn Off Screen");

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// The screen goes off from a timer: a desktop that hangs must not hold the
// program for long.
constexpr int kTimeoutMs = 2000;

// A call that waits for its answer; null where it failed. Services that are not
// running are never started for it: a GNOME session with KDE installed would
// otherwise start KDE's shortcut daemon.
QDBusMessage ask(const QDBusConnection &bus, const QString &service, const QString &path,
                 const QString &interface, const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage ? reply : QDBusMessage();
}

QDBusMessage setPowerSaveMode(const QDBusConnection &bus, int mode)
{
    return ask(bus, kMutterService, kMutterPath, kProperties, QStringLiteral("Set"),
               {kMutterService, kPowerSaveMode, QVariant::fromValue(QDBusVariant(mode))});
}

// Mutter leaves a mode that another program set until that program changes it
// (GNOME's power daemon undoes only its own blanking): the next key press or
// pointer motion switches the monitors on again. One-shot, as Mutter's watch.
class ActivityWatch : public QObject
{
    Q_OBJECT

public:
    explicit ActivityWatch(const QDBusConnection &bus) : m_bus(bus)
    {
        // Listening before the watch is set: it may fire at once.
        m_bus.connect(kIdleService, kIdlePath, kIdleInterface, QStringLiteral("WatchFired"), this,
                      SLOT(onFired(uint)));
        // A Mutter that restarts has forgotten the watch, and set the mode anew.
        auto *gone = new QDBusServiceWatcher(kIdleService, m_bus,
                                             QDBusServiceWatcher::WatchForUnregistration, this);
        connect(gone, &QDBusServiceWatcher::serviceUnregistered, this, &QObject::deleteLater);
    }

    bool set()
    {
        const QDBusMessage watch = ask(m_bus, kIdleService, kIdlePath, kIdleInterface,
                                       QStringLiteral("AddUserActiveWatch"), {});
        if (watch.type() != QDBusMessage::ReplyMessage)
            return false;
        m_id = watch.arguments().value(0).toUInt();
        return true;
    }

private slots:
    void onFired(uint id)
    {
        if (!m_id || id != *m_id)
            return;
        setPowerSaveMode(m_bus, kPowerSaveOn);
        deleteLater();
    }

private:
    QDBusConnection m_bus;
    std::optional<uint> m_id;
};

} // namespace

bool MutterDisplayPower::switchOff()
{
    const QDBusMessage mode = ask(m_bus, kMutterService, kMutterPath, kProperties,
                                  QStringLiteral("Get"), {kMutterService, kPowerSaveMode});
    if (mode.type() != QDBusMessage::ReplyMessage)
        return false;
    // Mutter reports monitors that have no power saving as -1 and ignores the mode.
    const QVariant current = mode.arguments().value(0).value<QDBusVariant>().variant();
    if (!current.isValid() || current.toInt() == kPowerSaveUnsupported)
        return false;
    // Without the idle monitor nothing would switch them on again.
    if (ask(m_bus, kIdleService, kIdlePath, kIdleInterface, QStringLiteral("GetIdletime"), {})
            .type() != QDBusMessage::ReplyMessage)
        return false;
    if (setPowerSaveMode(m_bus, kPowerSaveOff).type() != QDBusMessage::ReplyMessage)
        return false;
    // Set after the mode, so that the activity that chose Stand Off cannot fire it.
    auto *watch = new ActivityWatch(m_bus); // its own until it fires
    if (!watch->set()) {
        delete watch;
        setPowerSaveMode(m_bus, kPowerSaveOn);
        return false;
    }
    return true;
}

bool PowerDevilDisplayPower::switchOff()
{
    // kglobalaccel takes any name and does nothing for one it does not know.
    const QDBusMessage names = ask(m_bus, kAccelService, kPowerDevilPath, kAccelComponent,
                                   QStringLiteral("shortcutNames"), {});
    if (!names.arguments().value(0).toStringList().contains(kTurnOffScreen))
        return false;
    return ask(m_bus, kAccelService, kPowerDevilPath, kAccelComponent,
               QStringLiteral("invokeShortcut"), {kTurnOffScreen})
               .type() == QDBusMessage::ReplyMessage;
}

bool X11DisplayPower::switchOff()
{
    return forceX11DisplayOff();
}

std::vector<std::unique_ptr<DisplayPowerPath>> displayPowerPaths(const QDBusConnection &sessionBus)
{
    std::vector<std::unique_ptr<DisplayPowerPath>> paths;
    paths.push_back(std::make_unique<MutterDisplayPower>(sessionBus));
    paths.push_back(std::make_unique<PowerDevilDisplayPower>(sessionBus));
    paths.push_back(std::make_unique<X11DisplayPower>());
    return paths;
}

bool switchDisplayOff(const QDBusConnection &sessionBus)
{
    for (const auto &path : displayPowerPaths(sessionBus))
        if (path->switchOff())
            return true;
    return false;
}

bool switchDisplayOff()
{
    return switchDisplayOff(QDBusConnection::sessionBus());
}

} // namespace kv

#include "DisplayPower.moc"
