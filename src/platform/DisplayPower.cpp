// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisplayPower.h"

#include "X11Dpms.h"

#include <QDBusMessage>
#include <QDBusVariant>

namespace kv {

namespace {

const QString kMutterService = QStringLiteral("org.gnome.Mutter.DisplayConfig");
const QString kMutterPath = QStringLiteral("/org/gnome/Mutter/DisplayConfig");
const QString kPowerSaveMode = QStringLiteral("PowerSaveMode");
constexpr int kPowerSaveOff = 3;
constexpr int kPowerSaveUnsupported = -1;

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
    return ask(m_bus, kMutterService, kMutterPath, kProperties, QStringLiteral("Set"),
               {kMutterService, kPowerSaveMode, QVariant::fromValue(QDBusVariant(kPowerSaveOff))})
               .type() == QDBusMessage::ReplyMessage;
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
