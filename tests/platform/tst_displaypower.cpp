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
    QTest::addColumn<QVariant>("kdeShortcuts");
    QTest::addColumn<bool>("switchedOff");
    QTest::addColumn<int>("mutterModeAfter");
    QTest::addColumn<QStringList>("invoked");
    const QStringList powerDevil{"Sleep", "Turn Off Screen", "Hibernate"};
    QTest::newRow("GNOME before KDE")
        << QVariant(0) << QVariant(powerDevil) << true << 3 << QStringList{};
    QTest::newRow("GNOME without power saving, then KDE")
        << QVariant(-1) << QVariant(powerDevil) << true << -1 << QStringList{"Turn Off Screen"};
    QTest::newRow("KDE Plasma") << QVariant() << QVariant(powerDevil) << true << 0
                                << QStringList{"Turn Off Screen"};
    QTest::newRow("KDE without the shortcut")
        << QVariant() << QVariant(QStringList{"Sleep"}) << false << 0 << QStringList{};
    QTest::newRow("neither, and no X display")
        << QVariant() << QVariant() << false << 0 << QStringList{};
}

void TestDisplayPower::desktopsInTurn()
{
    QFETCH(QVariant, mutterMode);
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

    if (mutter) {
        QDBusMessage get = QDBusMessage::createMethodCall(
            kMutter, kMutterPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        get << kMutter << QStringLiteral("PowerSaveMode");
        const QDBusMessage reply = m_bus->connection().call(get);
        QCOMPARE(reply.arguments().value(0).value<QDBusVariant>().variant().toInt(),
                 mutterModeAfter);
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
