// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the start benchmark: a bare Qt window with a tray icon,
// built as the program is, doing nothing else.
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkCyan);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(480, 320);
    window.show();
    return app.exec();
}
