// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageList.h"
#include "RecordingTrayBackend.h"
#include "TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QTest>
#include <QTimer>

using kv::TrayMouseMessage;
using Calls = QList<kv::RecordingTrayBackend::Call>;

namespace {

const QList<QPair<QColor, QString>> kColours = {
    {Qt::red, "R"}, {Qt::green, "G"}, {Qt::blue, "B"}, {Qt::yellow, "Y"}};

QIcon solid(const QString &name)
{
    QPixmap picture(16, 16);
    for (const auto &[colour, n] : kColours)
        if (n == name)
            picture.fill(colour);
    return QIcon(picture);
}

QString nameOf(const QIcon &icon)
{
    if (icon.isNull())
        return QStringLiteral("-");
    const QColor colour = icon.pixmap(16).toImage().pixelColor(0, 0);
    for (const auto &[c, name] : kColours)
        if (c == colour)
            return name;
    return QStringLiteral("?");
}

// "add R tip", "modify - ", "remove ..."
QStringList describe(const Calls &calls)
{
    static const char *const operations[] = {"add", "modify", "remove"};
    QStringList lines;
    for (const auto &call : calls)
        lines << QStringLiteral("%1 %2 %3")
                     .arg(QLatin1String(operations[call.operation]), nameOf(call.data.icon),
                          call.data.tip);
    return lines;
}

// Hands its records over when the tray icon destroys it.
struct KeptBackend : kv::RecordingTrayBackend
{
    explicit KeptBackend(Calls *keep) : keep(keep) {}
    ~KeptBackend() override { *keep = calls; }
    Calls *keep;
};

struct Rig
{
    kv::RecordingTrayBackend *backend = new kv::RecordingTrayBackend;
    kv::TTrayIcon tray{backend, nullptr};
    kv::TImageList list;
    QStringList events;

    Rig()
    {
        QObject::connect(&tray, &kv::TTrayIcon::OnClick, [this] { events << "click"; });
        QObject::connect(&tray, &kv::TTrayIcon::OnDblClick, [this] { events << "dblclick"; });
        QObject::connect(&tray, &kv::TTrayIcon::OnRightClick, [this] { events << "rightclick"; });
    }
    void addPictures(const QString &names)
    {
        for (const QString &name : names.split(' '))
            list.add(solid(name).pixmap(16));
    }
    // Active with icon Y, tip "T", animating through the given pictures.
    void startAnimation(const QString &pictures)
    {
        addPictures(pictures);
        tray.setImages(&list);
        tray.setToolTip(QStringLiteral("T"));
        tray.setIcon(solid("Y"));
        tray.setActive(true);
        tray.setAnimate(true);
        QVERIFY(tray.animate());
        backend->calls.clear();
    }
    QString tick()
    {
        QMetaObject::invokeMethod(&tray, "AnimationTick");
        return nameOf(tray.icon());
    }
    QStringList takeCalls()
    {
        QCoreApplication::processEvents();
        const QStringList lines = describe(backend->calls);
        backend->calls.clear();
        return lines;
    }
    QTimer *timer() const { return tray.findChild<QTimer *>(QStringLiteral("AnimationTimer")); }
};

} // namespace

class TestTrayIcon : public QObject
{
    Q_OBJECT

private slots:
    void toolTipKeeps62Characters_data();
    void toolTipKeeps62Characters();
    void addsOnceRemovesOnceSendsNothingWhileInactive();
    void iconWithoutTipIsSentAgainFromTheEventLoop_data();
    void iconWithoutTipIsSentAgainFromTheEventLoop();
    void storedSettingsOrder();
    void animationIsRefused_data();
    void animationIsRefused();
    void animationShowsNextPictureEachTick_data();
    void animationShowsNextPictureEachTick();
    void stoppingPutsBackTheIconShownAtTheStart();
    void removedImageListStopsTheAnimation();
    void shrunkImageListKeepsTheIndexInside_data();
    void shrunkImageListKeepsTheIndexInside();
    void animateIntervalIgnoresNonPositive_data();
    void animateIntervalIgnoresNonPositive();
    void mouseMessagesRaiseEvents_data();
    void mouseMessagesRaiseEvents();
    void rightReleaseOpensMenuAtCursorBeforeOnRightClick();
    void trayPresenceAcrossHostRestartAndDestruction_data();
    void trayPresenceAcrossHostRestartAndDestruction();
};

void TestTrayIcon::toolTipKeeps62Characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");
    const QString face = QString::fromUcs4(U"\U0001F600");
    QTest::newRow("62") << QString(62, 'a') << QString(62, 'a');
    QTest::newRow("63") << QString(62, 'a') + 'b' << QString(62, 'a');
    QTest::newRow("100") << QString(100, 'c') << QString(62, 'c');
    QTest::newRow("pairs") << face.repeated(63) << face.repeated(62);
    QTest::newRow("pair at the cut") << QString(61, 'a') + face + face << QString(61, 'a') + face;
}

void TestTrayIcon::toolTipKeeps62Characters()
{
    QFETCH(QString, text);
    QFETCH(QString, kept);
    Rig rig;
    rig.tray.setActive(true);
    rig.takeCalls();
    rig.tray.setToolTip(text);
    QCOMPARE(rig.tray.toolTip(), kept);
    QCOMPARE(rig.takeCalls(), QStringList{"modify - " + kept});
}

void TestTrayIcon::addsOnceRemovesOnceSendsNothingWhileInactive()
{
    Rig rig;
    rig.tray.setIcon(solid("R"));
    rig.tray.setToolTip(QStringLiteral("T"));
    rig.tray.setAnimateInterval(50);
    QCOMPARE(rig.takeCalls(), QStringList());

    rig.tray.setActive(true);
    rig.tray.setActive(true);
    QCOMPARE(rig.takeCalls(), QStringList{"add R T"});
    rig.tray.setIcon(rig.tray.icon()); // its own icon: nothing to do
    QCOMPARE(rig.takeCalls(), QStringList());
    rig.tray.setIcon(solid("G"));
    QCOMPARE(rig.takeCalls(), QStringList{"modify G T"});
    rig.tray.setActive(false);
    rig.tray.setActive(false);
    QCOMPARE(rig.takeCalls(), QStringList{"remove G T"});
}

void TestTrayIcon::iconWithoutTipIsSentAgainFromTheEventLoop_data()
{
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("deactivate");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("with tip") << "T" << false << QStringList{"add - T"};
    QTest::newRow("without tip") << "" << false << QStringList{"add - ", "modify - "};
    QTest::newRow("removed before the loop runs")
        << "" << true << QStringList{"add - ", "remove - "};
}

void TestTrayIcon::iconWithoutTipIsSentAgainFromTheEventLoop()
{
    QFETCH(QString, tip);
    QFETCH(bool, deactivate);
    Rig rig;
    rig.tray.setToolTip(tip);
    rig.tray.setActive(true);
    if (deactivate)
        rig.tray.setActive(false);
    QTEST(rig.takeCalls(), "calls");
}

void TestTrayIcon::storedSettingsOrder()
{
    // The order in which a window's stored layout sets the properties.
    Rig rig;
    rig.tray.setActive(true);
    rig.tray.setAnimate(false);
    rig.tray.setShowDesigning(false);
    rig.tray.readIcon(solid("R"));
    rig.tray.setToolTip(QStringLiteral("Tidewatch"));
    QCOMPARE(rig.takeCalls(),
             (QStringList{"add - ", "modify - ", "modify R Tidewatch", "modify R Tidewatch"}));
}

void TestTrayIcon::animationIsRefused_data()
{
    QTest::addColumn<QString>("pictures");
    QTest::addColumn<bool>("withList");
    QTest::addColumn<bool>("active");
    QTest::newRow("no list") << "R" << false << true;
    QTest::newRow("empty list") << "" << true << true;
    QTest::newRow("not active") << "R" << true << false;
}

void TestTrayIcon::animationIsRefused()
{
    QFETCH(QString, pictures);
    QFETCH(bool, withList);
    QFETCH(bool, active);
    Rig rig;
    if (!pictures.isEmpty())
        rig.addPictures(pictures);
    rig.tray.setImages(withList ? &rig.list : nullptr);
    rig.tray.setIcon(solid("Y"));
    rig.tray.setToolTip(QStringLiteral("T"));
    rig.tray.setActive(active);
    rig.takeCalls();
    rig.tray.setAnimate(true);
    QVERIFY(!rig.tray.animate());
    QVERIFY(!rig.timer()->isActive());
    QCOMPARE(rig.takeCalls(), QStringList());
}

void TestTrayIcon::animationShowsNextPictureEachTick_data()
{
    QTest::addColumn<QString>("pictures");
    QTest::addColumn<QString>("shown");
    QTest::newRow("three") << "R G B"
                           << "G B R G";
    QTest::newRow("one") << "R"
                         << "R R R";
}

void TestTrayIcon::animationShowsNextPictureEachTick()
{
    QFETCH(QString, pictures);
    QFETCH(QString, shown);
    Rig rig;
    rig.tray.setAnimateInterval(40);
    rig.startAnimation(pictures);
    QVERIFY(rig.timer()->isActive());
    QCOMPARE(rig.timer()->interval(), 40);
    QStringList frames;
    for (int i = 0; i < shown.count(' ') + 1; ++i)
        frames << rig.tick();
    QCOMPARE(frames.join(' '), shown);
    QCOMPARE(rig.takeCalls().size(), frames.size());
}

void TestTrayIcon::stoppingPutsBackTheIconShownAtTheStart()
{
    Rig rig;
    rig.startAnimation("R G B");
    QCOMPARE(rig.tick(), "G");
    rig.takeCalls();
    rig.tray.setAnimate(false);
    QVERIFY(!rig.timer()->isActive());
    QCOMPARE(rig.takeCalls(), QStringList{"modify Y T"});
    rig.tray.setAnimate(true);
    QCOMPARE(rig.tick(), "G");
    QCOMPARE(rig.tick(), "B");
    rig.tray.setAnimate(true); // restarts the cycle, now coming back to B
    QCOMPARE(rig.tick(), "G");
    rig.takeCalls();
    rig.tray.setAnimate(false);
    QCOMPARE(rig.takeCalls(), QStringList{"modify B T"});
    rig.tray.setIcon(solid("R"));
    rig.takeCalls();
    rig.tray.setAnimate(false); // idle: the current icon stays and is sent again
    QCOMPARE(nameOf(rig.tray.icon()), "R");
    QCOMPARE(rig.takeCalls(), QStringList{"modify R T"});
}

void TestTrayIcon::removedImageListStopsTheAnimation()
{
    Rig rig;
    auto *list = new kv::TImageList;
    list->add(solid("R").pixmap(16));
    list->add(solid("G").pixmap(16));
    rig.tray.setImages(list);
    rig.tray.setIcon(solid("Y"));
    rig.tray.setActive(true);
    rig.tray.setAnimate(true);
    QCOMPARE(rig.tick(), "G");
    delete list;
    QVERIFY(!rig.tray.animate());
    QVERIFY(!rig.timer()->isActive());
    QCOMPARE(rig.tray.images(), nullptr);
    QCOMPARE(nameOf(rig.tray.icon()), "Y");
}

void TestTrayIcon::shrunkImageListKeepsTheIndexInside_data()
{
    QTest::addColumn<int>("keep");     // pictures left of R G B while B shows
    QTest::addColumn<QString>("next"); // empty: the tick changes nothing
    QTest::newRow("two left") << 2 << "R";
    QTest::newRow("one left") << 1 << "R";
    QTest::newRow("none left") << 0 << "";
    QTest::newRow("list unset") << -1 << "";
}

void TestTrayIcon::shrunkImageListKeepsTheIndexInside()
{
    QFETCH(int, keep);
    QFETCH(QString, next);
    Rig rig;
    rig.startAnimation("R G B");
    rig.tick();
    QCOMPARE(rig.tick(), "B");
    rig.takeCalls();
    if (keep < 0)
        rig.tray.setImages(nullptr);
    while (rig.list.count() > qMax(keep, 0))
        rig.list.remove(rig.list.count() - 1);
    QCOMPARE(rig.tick(), next.isEmpty() ? "B" : next);
    QCOMPARE(rig.takeCalls().size(), next.isEmpty() ? 0 : 1);
}

void TestTrayIcon::animateIntervalIgnoresNonPositive_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("kept");
    QTest::newRow("0") << 0 << 250;
    QTest::newRow("-5") << -5 << 250;
    QTest::newRow("1") << 1 << 1;
}

void TestTrayIcon::animateIntervalIgnoresNonPositive()
{
    QFETCH(int, value);
    QFETCH(int, kept);
    Rig rig;
    QCOMPARE(rig.tray.animateInterval(), 100);
    QCOMPARE(rig.timer()->interval(), 100);
    rig.tray.setAnimateInterval(250);
    rig.tray.setAnimateInterval(value);
    QCOMPARE(rig.tray.animateInterval(), kept);
    QCOMPARE(rig.timer()->interval(), kept);
}

void TestTrayIcon::mouseMessagesRaiseEvents_data()
{
    QTest::addColumn<QList<TrayMouseMessage>>("messages");
    QTest::addColumn<QStringList>("events");
    using M = TrayMouseMessage;
    QTest::newRow("click") << QList{M::LeftButtonDown, M::LeftButtonUp} << QStringList{"click"};
    QTest::newRow("double click") << QList{M::LeftButtonDown, M::LeftButtonUp,
                                           M::LeftButtonDoubleClick, M::LeftButtonUp}
                                  << QStringList{"click", "dblclick", "click"};
    QTest::newRow("right click") << QList{M::RightButtonDown, M::RightButtonUp}
                                 << QStringList{"rightclick"};
    QTest::newRow("others") << QList{M::MouseMove, M::MiddleButtonDown, M::MiddleButtonUp}
                            << QStringList();
}

void TestTrayIcon::mouseMessagesRaiseEvents()
{
    QFETCH(QList<TrayMouseMessage>, messages);
    Rig rig;
    for (TrayMouseMessage message : messages)
        emit rig.backend->mouseMessage(message);
    QTEST(rig.events, "events");
}

void TestTrayIcon::rightReleaseOpensMenuAtCursorBeforeOnRightClick()
{
    Rig rig;
    QPointer<QMenu> menu = new QMenu;
    menu->addAction(QStringLiteral("Close"));
    rig.tray.setPopupMenu(menu);
    QCOMPARE(rig.backend->menu, menu); // for hosts that draw it at the icon
    QCursor::setPos(130, 150);
    QList<QVariantList> calls;
    connect(
        &rig.tray, &kv::TTrayIcon::OnRightClick,
        [&](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
            calls << QVariantList{
                button, int(shift), x, y, menu && menu->isVisible(), menu ? menu->pos() : QPoint()};
        });
    emit rig.backend->mouseMessage(TrayMouseMessage::RightButtonUp);
    QCOMPARE(calls.value(0), (QVariantList{Qt::RightButton, 0, 130, 150, true, QPoint(130, 150)}));

    delete menu.data(); // the component does not hold on to a menu that is gone
    emit rig.backend->mouseMessage(TrayMouseMessage::RightButtonUp);
    QCOMPARE(rig.tray.popupMenu(), nullptr);
    QCOMPARE(calls.size(), 2);
}

void TestTrayIcon::trayPresenceAcrossHostRestartAndDestruction_data()
{
    QTest::addColumn<bool>("designing");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("showDesigning");
    QTest::addColumn<QStringList>("calls");
    const QStringList shown{"add R T", "add R T", "remove R T"};
    QTest::newRow("inactive") << false << false << false << QStringList();
    QTest::newRow("active") << false << true << false << shown;
    QTest::newRow("show designing, running") << false << false << true << QStringList();
    QTest::newRow("active, designing") << true << true << false << QStringList();
    QTest::newRow("show designing, designing") << true << false << true << shown;
}

void TestTrayIcon::trayPresenceAcrossHostRestartAndDestruction()
{
    QFETCH(bool, designing);
    QFETCH(bool, active);
    QFETCH(bool, showDesigning);
    Calls calls;
    {
        auto *backend = new KeptBackend(&calls);
        kv::TTrayIcon tray(backend, nullptr);
        tray.setDesignMode(designing);
        tray.setIcon(solid("R"));
        tray.setToolTip(QStringLiteral("T"));
        tray.setActive(active);
        tray.setShowDesigning(showDesigning);
        QCOMPARE(tray.showDesigning(), designing && showDesigning);
        emit backend->hostReturned();
    }
    QTEST(describe(calls), "calls");
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
