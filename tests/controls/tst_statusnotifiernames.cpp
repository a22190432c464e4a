// SPDX-License-Identifier: GPL-3.0-or-later
#include "MockBus.h"
#include "StatusNotifierNames.h"

#include <QDBusMetaType>
#include <QDBusVariant>
#include <QTest>

namespace {

const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString itemPath = QStringLiteral("/StatusNotifierItem");

// Types of Qt's own, as Qt's item has for its pictures and tool tip.
struct Picture
{
    int size = 0;
    QString name;
};
using Pictures = QList<Picture>;
QDBusArgument &operator<<(QDBusArgument &arg, const Picture &picture)
{
    arg.beginStructure();
    arg << picture.size << picture.name;
    arg.endStructure();
    return arg;
}
const QDBusArgument &operator>>(const QDBusArgument &arg, Picture &picture)
{
    arg.beginStructure();
    arg >> picture.size >> picture.name;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(Picture)

namespace {

// Qt's item as the bus sees it: an adaptor that names the item after the
// application.
class QtItemAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Title READ name)
    Q_PROPERTY(QString Id READ name)
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(Pictures IconPixmap READ pixmaps)
    Q_PROPERTY(Picture ToolTip READ toolTip)

public:
    explicit QtItemAdaptor(QObject *item) : QDBusAbstractAdaptor(item) {}
    QString name() const { return QStringLiteral("kronvale"); }
    QString category() const { return QStringLiteral("ApplicationStatus"); }
    Pictures pixmaps() const { return {{16, QStringLiteral("clock")}}; }
    Picture toolTip() const { return {0, QStringLiteral("Tidewatch")}; }
    QList<int> activations;

public slots:
    void Activate(int x, int y) { activations << x << y; }

signals:
    void NewIcon();
};

} // namespace

class TestStatusNotifierNames : public QObject
{
    Q_OBJECT

private slots:
    void namesOfItsOwnTheRestQts();
    void heard() { ++m_heard; }

private:
    int m_heard = 0;
};

void TestStatusNotifierNames::namesOfItsOwnTheRestQts()
{
    kv::test::PrivateBus bus;
    QVERIFY(bus.isRunning());
    QDBusConnection server = bus.connection();
    qDBusRegisterMetaType<Picture>();
    qDBusRegisterMetaType<Pictures>();
    QObject item;
    auto *qt = new QtItemAdaptor(&item);
    QVERIFY(server.registerObject(itemPath, &item));
    QVERIFY(kv::StatusNotifierNames::attach(&item, {}, {}));
    QVERIFY2(!kv::StatusNotifierNames::attach(&item, {}, {}), "attached twice");

    QDBusConnection host =
        QDBusConnection::connectToBus(QString::fromUtf8(bus.address()), QStringLiteral("host"));
    // The host is in this thread too: its calls let the item answer meanwhile.
    const auto call = [&](const QString &interface, const char *method,
                          const QVariantList &arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(server.baseService(), itemPath,
                                                              interface, QLatin1String(method));
        message.setArguments(arguments);
        return host.call(message, QDBus::BlockWithGui).arguments().value(0);
    };
    const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
    const auto get = [&](const char *name) {
        return call(properties, "Get", {itemInterface, QLatin1String(name)})
            .value<QDBusVariant>()
            .variant()
            .toString();
    };
    // Without names of the owner's, Qt's.
    QCOMPARE(get("Title"), QStringLiteral("kronvale"));

    auto *names = item.findChild<kv::StatusNotifierNames *>();
    names->setNames(QStringLiteral("Kronvale"), QStringLiteral("example.Kronvale"));
    QCOMPARE(get("Title"), QStringLiteral("Kronvale"));
    QCOMPARE(get("Id"), QStringLiteral("example.Kronvale"));
    QCOMPARE(get("Category"), QStringLiteral("ApplicationStatus"));

    // All at once, with Qt's values in Qt's types, as GDBus hosts read them.
    const auto values = qdbus_cast<QVariantMap>(call(properties, "GetAll", {itemInterface}));
    QCOMPARE(values.value(QStringLiteral("Title")).toString(), QStringLiteral("Kronvale"));
    const auto pictures = qdbus_cast<Pictures>(values.value(QStringLiteral("IconPixmap")));
    QCOMPARE(pictures.value(0).name, QStringLiteral("clock"));
    QCOMPARE(qdbus_cast<Picture>(values.value(QStringLiteral("ToolTip"))).name,
             QStringLiteral("Tidewatch"));

    call(itemInterface, "Activate", {3, 4});
    QCOMPARE(qt->activations, (QList<int>{3, 4}));

    // Qt's signals reach the bus, once.
    QVERIFY(host.connect(server.baseService(), itemPath, itemInterface, QStringLiteral("NewIcon"),
                         this, SLOT(heard())));
    emit qt->NewIcon();
    QTRY_COMPARE(m_heard, 1);
    QTest::qWait(100);
    QCOMPARE(m_heard, 1);

    // What hosts read of the interface, from ours.
    const QString xml =
        call(QStringLiteral("org.freedesktop.DBus.Introspectable"), "Introspect", {}).toString();
    QVERIFY2(xml.contains(QLatin1String("name=\"IconPixmap\" type=\"a(iiay)\"")), qPrintable(xml));
}

QTEST_GUILESS_MAIN(TestStatusNotifierNames)
#include "tst_statusnotifiernames.moc"
