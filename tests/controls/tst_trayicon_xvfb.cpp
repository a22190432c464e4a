// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon in a real X11 tray host (trayer) on a private Xvfb, clicked
// through the X server with xdotool.

#include "QtTrayBackend.h"
#include "TrayIcon.h"
#include "XvfbServer.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <xcb/xcb.h>

class TestTrayIconOnX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void iconDocks();
    void smallIconIsCentred();
    void doubleClickReachesOnDblClick();
    void rightClickOpensPopupMenu();
    void trayHostGoesAndComesBack();

private:
    void startTrayHost();
    void stopTrayHost();
    bool embedded() const;
    bool docked() const;
    QPoint iconCentre() const { return m_backend->trayIcon()->geometry().center(); }
    void click(const QStringList &arguments);

    QProcess m_host;
    kv::QtTrayBackend *m_backend = nullptr;
    kv::TTrayIcon *m_tray = nullptr;
    QMenu m_menu;
    QStringList m_events;
    bool m_menuOpenOnRightClick = false;
};

void TestTrayIconOnX11::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("xdotool").isEmpty(), "xdotool is not installed");
    startTrayHost();

    m_backend = new kv::QtTrayBackend;
    m_tray = new kv::TTrayIcon(m_backend, nullptr);
    connect(m_tray, &kv::TTrayIcon::OnClick, [this] { m_events << "click"; });
    connect(m_tray, &kv::TTrayIcon::OnDblClick, [this] { m_events << "dblclick"; });
    connect(m_tray, &kv::TTrayIcon::OnRightClick, [this] {
        m_events << "rightclick";
        m_menuOpenOnRightClick = m_menu.isVisible();
    });
    m_menu.addAction(QStringLiteral("Close"));
    m_tray->setPopupMenu(&m_menu);
    QPixmap red(22, 22);
    red.fill(Qt::red);
    m_tray->setIcon(QIcon(red));
    m_tray->setToolTip(QStringLiteral("Tidewatch"));
    m_tray->setActive(true);
}

void TestTrayIconOnX11::cleanupTestCase()
{
    delete m_tray;
    stopTrayHost();
}

void TestTrayIconOnX11::iconDocks()
{
    QTRY_VERIFY_WITH_TIMEOUT(docked(), 10000);
}

// A picture smaller than the slot sits in its middle, at every scale factor.
void TestTrayIconOnX11::smallIconIsCentred()
{
    QPixmap red(16, 16);
    red.fill(Qt::red);
    m_tray->setIcon(QIcon(red));
    const QRect slot = m_backend->trayIcon()->geometry();
    QRect drawn;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const QImage shot = QGuiApplication::primaryScreen()
                                    ->grabWindow(0, slot.x(), slot.y(), slot.width(), slot.height())
                                    .toImage();
            drawn = QRect();
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (shot.pixelColor(x, y) == QColor(Qt::red))
                        drawn |= QRect(x, y, 1, 1);
            if (drawn.isEmpty())
                return false;
            const int left = drawn.left();
            const int right = shot.width() - 1 - drawn.right();
            const int top = drawn.top();
            const int bottom = shot.height() - 1 - drawn.bottom();
            return std::abs(left - right) <= 1 && std::abs(top - bottom) <= 1;
        }(),
        5000);
    QPixmap big(22, 22);
    big.fill(Qt::red);
    m_tray->setIcon(QIcon(big));
}

void TestTrayIconOnX11::doubleClickReachesOnDblClick()
{
    QTRY_VERIFY_WITH_TIMEOUT(docked(), 10000);
    m_events.clear();
    click({"click", "--repeat", "2", "--delay", "80", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(m_events, (QStringList{"click", "dblclick", "click"}), 5000);
}

void TestTrayIconOnX11::rightClickOpensPopupMenu()
{
    QTRY_VERIFY_WITH_TIMEOUT(docked(), 10000);
    m_events.clear();
    click({"click", "3"});
    QTRY_COMPARE_WITH_TIMEOUT(m_events, QStringList{"rightclick"}, 5000);
    QVERIFY(m_menuOpenOnRightClick);
    m_menu.hide();
}

void TestTrayIconOnX11::trayHostGoesAndComesBack()
{
    QTRY_VERIFY_WITH_TIMEOUT(docked(), 10000);
    QSignalSpy returned(m_backend, &kv::TrayBackend::hostReturned);
    QSignalSpy presence(m_tray, &kv::TTrayIcon::hostPresentChanged);
    QVERIFY(m_tray->hostPresent());
    stopTrayHost();
    QTRY_COMPARE_WITH_TIMEOUT(presence.count(), 1, 5000);
    QCOMPARE(presence.at(0).at(0).toBool(), false);
    QVERIFY(!m_tray->hostPresent());
    QVERIFY(!embedded());

    startTrayHost();
    QTRY_VERIFY_WITH_TIMEOUT(docked(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(returned.count() > 0, 5000);
    QCOMPARE(presence.count(), 2);
    QVERIFY(m_tray->hostPresent());
    m_events.clear();
    click({"click", "--repeat", "2", "--delay", "80", "1"});
    QTRY_VERIFY_WITH_TIMEOUT(m_events.contains("dblclick"), 5000);
}

void TestTrayIconOnX11::startTrayHost()
{
    m_host.start(QStringLiteral("trayer"),
                 {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"});
    QVERIFY2(m_host.waitForStarted(5000), "trayer did not start");
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
}

void TestTrayIconOnX11::stopTrayHost()
{
    if (m_host.state() == QProcess::NotRunning)
        return;
    m_host.terminate();
    if (!m_host.waitForFinished(5000))
        m_host.kill();
    m_host.waitForFinished(1000);
}

// Whether a window of ours has been reparented away from the root window: the
// host embeds the icon's window in its own.
bool TestTrayIconOnX11::embedded() const
{
    xcb_connection_t *connection =
        qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    for (const QWidget *widget : QApplication::topLevelWidgets()) {
        if (!widget->internalWinId() || !widget->isVisible())
            continue;
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(
            connection, xcb_query_tree(connection, xcb_window_t(widget->internalWinId())), nullptr);
        const bool away = tree && tree->parent != tree->root;
        std::free(tree);
        if (away)
            return true;
    }
    return false;
}

// Embedded, and its picture on the screen where the icon says it is.
bool TestTrayIconOnX11::docked() const
{
    if (!embedded())
        return false;
    const QPoint centre = iconCentre();
    const QImage shot =
        QGuiApplication::primaryScreen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage();
    return !shot.isNull() && shot.pixelColor(0, 0) == QColor(Qt::red);
}

void TestTrayIconOnX11::click(const QStringList &arguments)
{
    const QPoint at = iconCentre();
    QProcess xdotool;
    // No --sync: it waits for ever when the pointer is there already.
    xdotool.start(QStringLiteral("xdotool"),
                  QStringList{"mousemove", QString::number(at.x()), QString::number(at.y())} +
                      arguments);
    // The icon must answer the X server while xdotool runs.
    QTRY_VERIFY_WITH_TIMEOUT(xdotool.state() == QProcess::NotRunning, 10000);
    QCOMPARE(xdotool.exitCode(), 0);
}

int main(int argc, char *argv[])
{
    return kv::test::runOnXvfb<QApplication, TestTrayIconOnX11>(argc, argv);
}

#include "tst_trayicon_xvfb.moc"
