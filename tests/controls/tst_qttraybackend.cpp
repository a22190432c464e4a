// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTrayBackend.h"

#include <QApplication>
#include <QTest>

using kv::TrayMouseMessage;

class TestQtTrayBackend : public QObject
{
    Q_OBJECT

private slots:
    void activationsBecomeMouseMessages_data();
    void activationsBecomeMouseMessages();
    void iconWithoutPictureOrHost();
};

void TestQtTrayBackend::activationsBecomeMouseMessages_data()
{
    // T Trigger, D DoubleClick, C Context, M MiddleClick, U Unknown; "." lets
    // the event loop run, as the time between two presses does.
    QTest::addColumn<QString>("activations");
    QTest::addColumn<QString>("messages");
    QTest::newRow("click") << "T"
                           << "up";
    QTest::newRow("double click") << "T.D"
                                  << "up dbl up";
    QTest::newRow("double click, trigger repeated") << "T.TD"
                                                    << "up dbl up";
    QTest::newRow("two clicks") << "T.T"
                                << "up up";
    QTest::newRow("right") << "C"
                           << "right";
    QTest::newRow("middle, unknown") << "MU"
                                     << "middle";
}

void TestQtTrayBackend::activationsBecomeMouseMessages()
{
    QFETCH(QString, activations);
    kv::QtTrayBackend backend;
    QStringList messages;
    connect(&backend, &kv::TrayBackend::mouseMessage, [&](TrayMouseMessage message) {
        switch (message) {
        case TrayMouseMessage::LeftButtonUp:
            messages << "up";
            break;
        case TrayMouseMessage::LeftButtonDoubleClick:
            messages << "dbl";
            break;
        case TrayMouseMessage::RightButtonUp:
            messages << "right";
            break;
        case TrayMouseMessage::MiddleButtonUp:
            messages << "middle";
            break;
        default:
            messages << "other";
        }
    });
    QSystemTrayIcon *tray = backend.trayIcon();
    for (QChar c : activations) {
        if (c == '.')
            QCoreApplication::processEvents();
        else
            emit tray->activated(c == 'T'   ? QSystemTrayIcon::Trigger
                                 : c == 'D' ? QSystemTrayIcon::DoubleClick
                                 : c == 'C' ? QSystemTrayIcon::Context
                                 : c == 'M' ? QSystemTrayIcon::MiddleClick
                                            : QSystemTrayIcon::Unknown);
    }
    QCoreApplication::processEvents();
    QTEST(messages.join(' '), "messages");
}

void TestQtTrayBackend::iconWithoutPictureOrHost()
{
    kv::QtTrayBackend backend;
    // The offscreen platform has no tray, and Qt would complain of it on show.
    QVERIFY(!backend.hostPresent());
    QVERIFY(!backend.add({QIcon(), QString()}));
    QVERIFY(!backend.trayIcon()->isVisible());
    // Shown as an empty slot once a host is there.
    QVERIFY(!backend.trayIcon()->icon().isNull());
    QVERIFY(backend.remove({}));
    QVERIFY(!backend.trayIcon()->isVisible());
}

QTEST_MAIN(TestQtTrayBackend)
#include "tst_qttraybackend.moc"
