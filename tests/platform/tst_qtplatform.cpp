// SPDX-License-Identifier: GPL-3.0-or-later
// The windowing platform asked of Qt, by the session the program starts in.
#include "QtPlatform.h"

#include <QTest>

class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void chosenFor_data();
    void chosenFor();
};

void TestQtPlatform::chosenFor_data()
{
    // NAME=value, as in the environment; unset where absent.
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QByteArray>("platform");
    QTest::newRow("Wayland session with XWayland")
        << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
        << QByteArray("xcb");
    QTest::newRow("Wayland without X11")
        << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"} << QByteArray();
    QTest::newRow("the user's choice")
        << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}
        << QByteArray();
    QTest::newRow("empty choice, as Qt reads it")
        << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0", "QT_QPA_PLATFORM="}
        << QByteArray("xcb");
    QTest::newRow("X11 session") << QStringList{"XDG_SESSION_TYPE=x11", "DISPLAY=:0"}
                                 << QByteArray();
}

void TestQtPlatform::chosenFor()
{
    QFETCH(QStringList, environment);
    QProcessEnvironment env;
    for (const QString &entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    QTEST(kv::QtPlatform::chosenFor(env), "platform");
}

QTEST_GUILESS_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
