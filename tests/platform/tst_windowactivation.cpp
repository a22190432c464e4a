// SPDX-License-Identifier: GPL-3.0-or-later
// A window brought back at a second start, on a private X server with a
// window manager (openbox), as under GNOME's XWayland.
#include "WindowActivation.h"
#include "XvfbServer.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display *display()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// The atoms or the text of a window's property.
QList<Atom> atoms(QWidget &window, const char *name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    QList<Atom> result;
    if (XGetWindowProperty(display(), window.winId(), XInternAtom(display(), name, False), 0, 1024,
                           False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (format == 32)
            result =
                QList<Atom>(reinterpret_cast<Atom *>(data), reinterpret_cast<Atom *>(data) + count);
        else if (format == 8)
            for (unsigned long i = 0; i < count; ++i)
                result << Atom(data[i]);
        XFree(data);
    }
    return result;
}

QByteArray text(QWidget &window, const char *name)
{
    QByteArray result;
    for (const Atom byte : atoms(window, name))
        result += char(byte);
    return result;
}

// The X server's time now, from a property change on a connection of its own
// (Qt reads the events of its own).
unsigned long serverTime()
{
    Display *x = XOpenDisplay(nullptr);
    if (!x)
        return 0;
    const Window window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(x, window, PropertyChangeMask);
    XChangeProperty(x, window, XInternAtom(x, "KV_TEST_TIME", False), XA_STRING, 8, PropModeAppend,
                    nullptr, 0);
    XEvent event;
    XWindowEvent(x, window, PropertyChangeMask, &event);
    XCloseDisplay(x);
    return event.xproperty.time;
}

} // namespace

class TestWindowActivation : public QObject
{
    Q_OBJECT

private slots:
    void bringsTheWindowBack_data();
    void bringsTheWindowBack();
    void startupTime_data();
    void startupTime();
};

void TestWindowActivation::bringsTheWindowBack_data()
{
    QTest::addColumn<bool>("withStartupId");
    QTest::newRow("started by a launcher") << true;
    QTest::newRow("started from a terminal") << false;
}

void TestWindowActivation::bringsTheWindowBack()
{
    QFETCH(bool, withStartupId);
    QWidget window;
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The user types in another window.
    QWidget other;
    other.resize(200, 100);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &other);

    const QByteArray startupId = withStartupId
                                     ? "kv-test-" + QByteArray::number(qApp->applicationPid()) +
                                           "_TIME" + QByteArray::number(qulonglong(serverTime()))
                                     : QByteArray();
    kv::WindowActivation::activate(&window, startupId);
    if (withStartupId) {
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        QCOMPARE(text(window, "_NET_STARTUP_ID"), startupId);
    } else {
        const Atom attention = XInternAtom(display(), "_NET_WM_STATE_DEMANDS_ATTENTION", False);
        QTRY_VERIFY(atoms(window, "_NET_WM_STATE").contains(attention));
        QCOMPARE(QApplication::activeWindow(), &other);
    }
}

void TestWindowActivation::startupTime_data()
{
    QTest::addColumn<QByteArray>("startupId");
    QTest::addColumn<qulonglong>("time"); // 0: none usable
    QTest::newRow("a launcher's") << QByteArray("gnome-shell/kronvale/12-0-host_TIME51234")
                                  << 51234ULL;
    QTest::newRow("the last mark counts") << QByteArray("a_TIME1_TIME2") << 2ULL;
    QTest::newRow("empty") << QByteArray() << 0ULL;
    QTest::newRow("no time") << QByteArray("kronvale-12-host") << 0ULL;
    QTest::newRow("mark alone") << QByteArray("x_TIME") << 0ULL;
    QTest::newRow("not a number") << QByteArray("x_TIMEnow") << 0ULL;
    QTest::newRow("a number and more") << QByteArray("x_TIME12abc") << 0ULL;
    QTest::newRow("blank before") << QByteArray("x_TIME 12") << 0ULL;
    QTest::newRow("negative") << QByteArray("x_TIME-12") << 0ULL;
    QTest::newRow("current time") << QByteArray("x_TIME0") << 0ULL;
    QTest::newRow("largest") << QByteArray("x_TIME4294967295") << 4294967295ULL;
    QTest::newRow("wider than an X time") << QByteArray("x_TIME4294967296") << 0ULL;
}

void TestWindowActivation::startupTime()
{
    QFETCH(QByteArray, startupId);
    QFETCH(qulonglong, time);
    QCOMPARE(qulonglong(kv::WindowActivation::startupTime(startupId).value_or(0)), time);
}

int main(int argc, char *argv[])
{
    return kv::test::runOnXvfb<QApplication, TestWindowActivation>(
        argc, argv, kv::test::XvfbServer::WithWindowManager);
}
#include "tst_windowactivation.moc"
