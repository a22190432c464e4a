// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeferredIconStyle.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

using kv::DeferredIconStyle;

namespace {

bool imagePluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return !maps.open(QIODevice::ReadOnly) || maps.readAll().contains("/imageformats/");
}

} // namespace

class TestDeferredIconStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(new DeferredIconStyle(QStringLiteral("Fusion"))); }
    // First: the menu bar builds without reading a picture.
    void menuBarLoadsNoImagePlugin();
    void iconsLookTheSame_data();
    void iconsLookTheSame();
};

void TestDeferredIconStyle::menuBarLoadsNoImagePlugin()
{
    QVERIFY(!imagePluginLoaded());
    QMenuBar bar;
    bar.addMenu(QStringLiteral("&File"));
    QVERIFY(!imagePluginLoaded());
}

void TestDeferredIconStyle::iconsLookTheSame_data()
{
    QTest::addColumn<QStyle::StandardPixmap>("which");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("horizontal") << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::LeftToRight;
    QTest::newRow("horizontal, right to left")
        << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::RightToLeft;
    QTest::newRow("vertical") << QStyle::SP_ToolBarVerticalExtensionButton << Qt::LeftToRight;
    QTest::newRow("another icon") << QStyle::SP_DialogOkButton << Qt::LeftToRight;
}

void TestDeferredIconStyle::iconsLookTheSame()
{
    QFETCH(QStyle::StandardPixmap, which);
    QFETCH(Qt::LayoutDirection, direction);
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    QStyleOption option;
    option.direction = direction;
    const QIcon expected = plain->standardIcon(which, &option);
    const QIcon icon = QApplication::style()->standardIcon(which, &option);
    QVERIFY(!icon.isNull());
    for (const int size : {8, 16, 32})
        QCOMPARE(icon.pixmap(size).toImage(), expected.pixmap(size).toImage());
}

QTEST_MAIN(TestDeferredIconStyle)
#include "tst_deferrediconstyle.moc"
