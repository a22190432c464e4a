// SPDX-License-Identifier: GPL-3.0-or-later
// Switching the screen off through the desktops' own services, played by mocks
// on a private bus that stands in for the session bus; no X display is reached.
#include "DisplayPower.h"
#include "MockBus.h"

#include <QTest>
#include <memory>

using kv::test::DBusMock;

namespace {

const QString kMutter = QStringLiteral("org.gnome.Mutter.DisplayConfig");
const QString kMutterPath = QStringLiteral("/org/gnome/Mutter/DisplayConfig");
const QString kAccel = QStringLiteral("org.kde.kglobalaccel");
const QString kPowerDevilPath = QStringLiteral("/component/org_kde_powerdevil");
const QString kComponent = QStringLiteral("org.kde.kglobalaccel.Component");
const QString kIdleMonitor = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kIdlePath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
constexpr uint kWatch = 7;

int powerSaveMode(const QDBusConnection &bus)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kMutter, kMutterPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kMutter << QStringLiteral("PowerSaveMode");
    return bus.call(get).arguments().value(0).value<QDBusVariant>().variant().toInt();
}

} // namespace

class TestDisplayPower : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void desktopsInTurn_data();
    void desktopsInTurn();

private:
    std::unique_ptr<kv::test::PrivateBus> m_bus;
};

void TestDisplayPower::initTestCase()
{
    // The last way is the X server's: never the developer's own display.
    qunsetenv("DISPLAY");
    m_bus = std::make_unique<kv::test::PrivateBus>();
    QVERIFY2(m_bus->isRunning(), "the private bus did not start");
}

void TestDisplayPower::desktopsInTurn_data()
{
    // Invalid: that desktop's service is not on the bus.
    QTest::addColumn<QVariant>("mutterMode");
    // Mutter's idle monitor: absent, setting watches, or refusing them.
    QTest::addColumn<QString>("idleMonitor");
    QTest::addColumn<QVariant>("kdeShortcuts");
    QTest::addColumn<bool>("switchedOff");
    QTest::addColumn<int>("mutterModeAfter");
    QTest::addColumn<QStringList>("invoked");
    const QStringList powerDevil{"Sleep", "Turn Off Screen", "Hibernate"};
    const QString watches = QStringLiteral("watches");
    QTest::newRow("GNOME before KDE")
        << QVariant(0) << watches << QVariant(powerDevil) << true << 3 << QStringList{};
    QTest::newRow("GNOME without power saving, then KDE")
        << QVariant(-1) << watches << QVariant(powerDevil) << true << -1
        << QStringList{"Turn Off Screen"};
    QTest::newRow("GNOME without its idle monitor, then KDE")
        << QVariant(0) << QString() << QVariant(powerDevil) << true << 0
        << QStringList{"Turn Off Screen"};
    QTest::newRow("GNOME refusing the watch, then KDE")
        << QVariant(0) << QStringLiteral("refuses") << QVariant(powerDevil) << true << 0
        << QStringList{"Turn Off Screen"};
    QTest::newRow("KDE Plasma") << QVariant() << QString() << QVariant(powerDevil) << true << 0
                                << QStringList{"Turn Off Screen"};
    QTest::newRow("KDE without the shortcut")
        << QVariant() << QString() << QVariant(QStringList{"Sleep"}) << false << 0 << QStringList{};
    QTest::newRow("neither, and no X display")
        << QVariant() << QString() << QVariant() << false << 0 << QStringList{};
}

void TestDisplayPower::desktopsInTurn()
{
    QFETCH(QVariant, mutterMode);
    QFETCH(QString, idleMonitor);
    QFETCH(QVariant, kdeShortcuts);
    QFETCH(int, mutterModeAfter);
    std::unique_ptr<DBusMock> mutter;
    if (mutterMode.isValid()) {
        mutter = std::make_unique<DBusMock>(*m_bus, kMutter, kMutterPath,
                                            QStringList{kMutter, kMutterPath, kMutter});
        QVERIFY2(mutter->waitUntilServing(), "python3-dbusmock is missing");
        QCOMPARE(mutter
                     ->call(QStringLiteral("AddProperty"),
                            {kMutter, QStringLiteral("PowerSaveMode"),
                             QVariant::fromValue(QDBusVariant(mutterMode.toInt()))})
                     .type(),
                 QDBusMessage::ReplyMessage);
    }
    std::unique_ptr<DBusMock> idle;
    if (!idleMonitor.isEmpty()) {
        idle = std::make_unique<DBusMock>(*m_bus, kIdleMonitor, kIdlePath,
                                          QStringList{kIdleMonitor, kIdlePath, kIdleMonitor});
        QVERIFY2(idle->waitUntilServing(), "python3-dbusmock is missing");
        QVERIFY(idle->addMethod(kIdleMonitor, QStringLiteral("GetIdletime"), QString(),
                                QStringLiteral("t"), QStringLiteral("ret = 0")));
        QVERIFY(idle->addMethod(kIdleMonitor, QStringLiteral("AddUserActiveWatch"), QString(),
                                QStringLiteral("u"),
                                idleMonitor == QLatin1String("watches")
                                    ? QStringLiteral("ret = %1").arg(kWatch)
                                    : QStringLiteral("raise dbus.exceptions.DBusException("
                                                     "'no', name='org.freedesktop.DBus.Error."
                                                     "AccessDenied')")));
    }
    std::unique_ptr<DBusMock> kde;
    if (kdeShortcuts.isValid()) {
        kde = std::make_unique<DBusMock>(*m_bus, kAccel, kPowerDevilPath,
                                         QStringList{kAccel, kPowerDevilPath, kComponent});
        QVERIFY2(kde->waitUntilServing(), "python3-dbusmock is missing");
        const QString names = kdeShortcuts.toStringList().join(QStringLiteral("', '"));
        QVERIFY(kde->addMethod(kComponent, QStringLiteral("shortcutNames"), QString(),
                               QStringLiteral("as"), QStringLiteral("ret = ['%1']").arg(names)));
        QVERIFY(kde->addMethod(kComponent, QStringLiteral("invokeShortcut"), QStringLiteral("s"),
                               QString(), QString()));
    }

    QTEST(kv::switchDisplayOff(m_bus->connection()), "switchedOff");

    if (mutter)
        QCOMPARE(powerSaveMode(m_bus->connection()), mutterModeAfter);
    if (mutterModeAfter == 3) {
        // Another program's watch leaves the screen off; ours, the user back, turns it on.
        QVERIFY(idle->emitSignal(kIdleMonitor, "WatchFired", "u", {kWatch + 1}));
        QTest::qWait(200);
        QCOMPARE(powerSaveMode(m_bus->connection()), 3);
        QVERIFY(idle->emitSignal(kIdleMonitor, "WatchFired", "u", {kWatch}));
        QTRY_COMPARE(powerSaveMode(m_bus->connection()), 0);
    }
    QStringList invoked;
    if (kde)
        for (const kv::test::MockCall &call : kde->calls())
            if (call.method == QLatin1String("invokeShortcut"))
                invoked << call.args.value(0).toString();
    QTEST(invoked, "invoked");
}

QTEST_GUILESS_MAIN(TestDisplayPower)
#include "tst_displaypower.moc"
