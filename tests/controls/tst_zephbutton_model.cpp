// SPDX-License-Identifier: GPL-3.0-or-later
// Settings of the skinned button: kinds, glyph cell counts, frame colours,
// ranges, the hint, and the artwork it is built with.

#include "ZephArt.h"
#include "ZephButton.h"
#include "zephbutton_support.h"

#include <QFile>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

using kv::TZephButton;
using B = kv::TZephCustomButton;
using namespace zephtest;

class TestZephButtonModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTestLook(); }
    void cellCountFollowsPicture_data();
    void cellCountFollowsPicture();
    void kindSetsPicturesCaptionAndFlags_data();
    void kindSetsPicturesCaptionAndFlags();
    void samePictureStillMakesTheKindCustom();
    void settingTheSameKindAgainReloads();
    void customKindDropsPictures();
    void frameColoursSwitchToCustom_data();
    void frameColoursSwitchToCustom();
    void defaultColourStyleRestoresTheStyleColours();
    void edgedStylesPinTheFaceColour();
    void hintSecondLine_data();
    void hintSecondLine();
    void rangesAreKept_data();
    void rangesAreKept();
    void enumerationsAndVersionArePublished();
    void colourValues_data();
    void colourValues();
    void artwork();
};

void TestZephButtonModel::cellCountFollowsPicture_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");
    for (const char *property : {"Glyph", "GlyphHot"}) {
        auto row = [&](const char *name, int w, int start, int expected) {
            QTest::addRow("%s %s", property, name) << property << w << start << expected;
        };
        row("two squares", 36, 3, 2);
        row("one square", 18, 3, 1);
        row("four squares", 72, 1, 4);
        row("five squares", 90, 3, 1);
        row("not whole squares keeps", 40, 3, 3);
        row("narrower than high", 10, 3, 1);
    }
}

void TestZephButtonModel::cellCountFollowsPicture()
{
    QFETCH(QString, property);
    QFETCH(int, width);
    QFETCH(int, start);
    QFETCH(int, expected);
    const QByteArray count = property == QLatin1String("Glyph") ? "NumGlyphs" : "NumGlyphsHot";
    TZephButton b;
    b.setProperty(count, start);
    b.setProperty(property.toLatin1(), plain(width, 18));
    QCOMPARE(b.property(count).toInt(), expected);
}

void TestZephButtonModel::kindSetsPicturesCaptionAndFlags_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<int>("size");
    QTest::newRow("OK") << int(B::skOK) << "OK" << false << true << 18;
    QTest::newRow("Cancel") << int(B::skCancel) << "Cancel" << true << false << 18;
    QTest::newRow("Help") << int(B::skHelp) << "&Help" << false << false << 18;
    QTest::newRow("Yes") << int(B::skYes) << "&Yes" << false << true << 18;
    QTest::newRow("No") << int(B::skNo) << "&No" << true << false << 18;
    QTest::newRow("Close") << int(B::skClose) << "&Close" << false << false << 18;
    QTest::newRow("Abort") << int(B::skAbort) << "Abort" << false << false << 18;
    QTest::newRow("Retry") << int(B::skRetry) << "&Retry" << false << false << 18;
    QTest::newRow("Ignore") << int(B::skIgnore) << "&Ignore" << false << false << 18;
    QTest::newRow("All") << int(B::skAll) << "&All" << false << false << 18;
    QTest::newRow("Silly") << int(B::skSilly) << "&Silly" << false << false << 19;
}

void TestZephButtonModel::kindSetsPicturesCaptionAndFlags()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(bool, cancel);
    QFETCH(bool, isDefault);
    QFETCH(int, size);
    TZephButton b;
    b.setCaption(QStringLiteral("before"));
    b.setCancel(!cancel);
    b.setDefault(!isDefault);
    b.setButtonKind(B::TKind(kind));
    QCOMPARE(b.caption(), caption);
    QCOMPARE(b.isCancel(), cancel);
    QCOMPARE(b.isDefault(), isDefault);
    QCOMPARE(b.numGlyphs(), 1);
    QCOMPARE(b.numGlyphsHot(), 1);
    for (const QPixmap &pic : {b.glyph(), b.glyphHot()}) {
        QCOMPARE(pic.size(), QSize(size, size));
        QCOMPARE(pic.toImage().pixelColor(0, size - 1), kMagenta);
    }
    QVERIFY(b.glyph().toImage() != b.glyphHot().toImage());
}

void TestZephButtonModel::samePictureStillMakesTheKindCustom()
{
    TZephButton b;
    b.setButtonKind(B::skCancel);
    b.setGlyph(b.glyph());
    QCOMPARE(b.buttonKind(), B::skCustom);
    QVERIFY(b.isCancel()); // the kind's flags stay
    QCOMPARE(b.caption(), QStringLiteral("Cancel"));

    b.setButtonKind(B::skOK);
    b.setGlyphHot(plain(36, 18));
    QCOMPARE(b.buttonKind(), B::skCustom);
    QCOMPARE(b.numGlyphsHot(), 2);
    QVERIFY(b.isDefault());
}

void TestZephButtonModel::settingTheSameKindAgainReloads()
{
    TZephButton b;
    b.setButtonKind(B::skOK);
    b.setCaption(QStringLiteral("Fine"));
    b.setNumGlyphs(3);
    b.setCancel(true);
    b.setButtonKind(B::skOK);
    QCOMPARE(b.caption(), QStringLiteral("OK"));
    QCOMPARE(b.numGlyphs(), 1);
    QVERIFY(!b.isCancel());
    QCOMPARE(b.glyph().size(), QSize(18, 18));
}

void TestZephButtonModel::customKindDropsPictures()
{
    TZephButton b;
    b.setButtonKind(B::skYes);
    b.setButtonKind(B::skCustom);
    QVERIFY(b.glyph().isNull());
    QVERIFY(b.glyphHot().isNull());
    QCOMPARE(b.caption(), QStringLiteral("&Yes"));
    QVERIFY(!b.isDefault());
    QVERIFY(!b.isCancel());
}

void TestZephButtonModel::frameColoursSwitchToCustom_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("leftTop");
    QTest::addColumn<uint>("color");
    QTest::addColumn<int>("expected");
    const uint red = 0x0000FF;
    QTest::newRow("lowered, shadow left-top")
        << int(B::stFrameLowered) << true << uint(kv::clBtnShadow) << int(B::cmDefault);
    QTest::newRow("raised, shadow left-top")
        << int(B::stRaised) << true << uint(kv::clBtnShadow) << int(B::cmCustom);
    QTest::newRow("default, black right-bottom")
        << int(B::stDefault) << false << uint(kv::clBlack) << int(B::cmDefault);
    QTest::newRow("default, shadow right-bottom")
        << int(B::stDefault) << false << uint(kv::clBtnShadow) << int(B::cmCustom);
    QTest::newRow("lowered, highlight right-bottom")
        << int(B::stFrameLowered) << false << uint(kv::clBtnHighlight) << int(B::cmDefault);
    QTest::newRow("flat, red right-bottom") << int(B::stFlat) << false << red << int(B::cmCustom);
    QTest::newRow("none, red left-top") << int(B::stNone) << true << red << int(B::cmDefault);
}

void TestZephButtonModel::frameColoursSwitchToCustom()
{
    QFETCH(int, style);
    QFETCH(bool, leftTop);
    QFETCH(uint, color);
    QFETCH(int, expected);
    TZephButton b;
    b.setButtonStyle(B::TStyle(style));
    if (leftTop)
        b.setColorMarginLeftTop(color);
    else
        b.setColorMarginRightBottom(color);
    QCOMPARE(int(b.colorMarginStyle()), expected);
    QCOMPARE(leftTop ? b.colorMarginLeftTop() : b.colorMarginRightBottom(), color);
}

void TestZephButtonModel::defaultColourStyleRestoresTheStyleColours()
{
    TZephButton b;
    b.setButtonStyle(B::stRaised);
    b.setColorMarginLeftTop(0x0000FF);
    b.setButtonStyle(B::stDefault); // custom colours survive a style change
    QCOMPARE(b.colorMarginLeftTop(), 0x0000FFu);
    QCOMPARE(b.colorMarginRightBottom(), kv::clBtnShadow);
    b.setColorMarginStyle(B::cmDefault);
    QCOMPARE(b.colorMarginLeftTop(), kv::clBtnHighlight);
    QCOMPARE(b.colorMarginRightBottom(), kv::clBlack);
    b.setButtonStyle(B::stNone); // touches no colour
    b.setColorMarginStyle(B::cmDefault);
    QCOMPARE(b.colorMarginRightBottom(), kv::clBlack);
}

void TestZephButtonModel::edgedStylesPinTheFaceColour()
{
    TZephButton b;
    QVERIFY(b.parentColor());
    QCOMPARE(b.color(), kv::clWindow);
    b.setButtonStyle(B::stFrameLowered);
    QVERIFY(!b.parentColor());
    QCOMPARE(b.color(), kv::clBtnFace);
    b.setColor(0x0000FF);
    QCOMPARE(b.color(), kv::clBtnFace);
    b.setButtonStyle(B::stRaised);
    b.setColor(0x0000FF);
    QCOMPARE(b.color(), 0x0000FFu);
}

void TestZephButtonModel::hintSecondLine_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");
    QTest::newRow("appended") << "Hint" << QStringList{"more"} << "Hint\rmore";
    QTest::newRow("each time again") << "Hint" << QStringList{"a", "b"} << "Hint\ra\rb";
    QTest::newRow("no hint") << "" << QStringList{"more"} << "";
    QTest::newRow("empty line") << "Hint" << QStringList{""} << "Hint";
}

void TestZephButtonModel::hintSecondLine()
{
    QFETCH(QString, hint);
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    TZephButton b;
    b.setToolTip(hint);
    for (const QString &line : lines)
        b.setHintSecondLine(line);
    QCOMPARE(b.toolTip(), expected);
    QCOMPARE(b.hintSecondLine(), lines.last());
    // Shown as separate lines.
    if (expected.isEmpty())
        return;
    b.show();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), b.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&b, &help);
    QTRY_COMPARE(QToolTip::text(), QString(expected).replace(QChar(13), QChar(10)));
    QToolTip::hideText();
}

void TestZephButtonModel::rangesAreKept_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("Spacing low") << QByteArray("Spacing") << 0 << 1;
    QTest::newRow("Spacing high") << QByteArray("Spacing") << 9 << 5;
    QTest::newRow("SpacingLayout low") << QByteArray("SpacingLayout") << -9 << -5;
    QTest::newRow("SpacingLayout high") << QByteArray("SpacingLayout") << 6 << 5;
    QTest::newRow("PopupMenuMarkGap") << QByteArray("PopupMenuMarkGap") << 0 << 1;
    QTest::newRow("NumGlyphs") << QByteArray("NumGlyphs") << 5 << 4;
    QTest::newRow("NumGlyphsHot") << QByteArray("NumGlyphsHot") << 0 << 1;
    QTest::newRow("RepeatInterval") << QByteArray("RepeatInterval") << -5 << 0;
}

void TestZephButtonModel::rangesAreKept()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    QFETCH(int, expected);
    TZephButton b;
    b.setProperty(property, value);
    QCOMPARE(b.property(property).toInt(), expected);
}

void TestZephButtonModel::enumerationsAndVersionArePublished()
{
    TZephButton b;
    QVERIFY(b.setProperty("ButtonStyle", QStringLiteral("stRaisedDot")));
    QCOMPARE(b.buttonStyle(), B::stRaisedDot);
    QVERIFY(b.setProperty("ButtonKind", QStringLiteral("skNo")));
    QCOMPARE(b.caption(), QStringLiteral("&No"));
    const QString version = b.property("Version").toString();
    QVERIFY(!version.isEmpty());
    b.setProperty("Version", QStringLiteral("other"));
    QCOMPARE(b.property("Version").toString(), version);
}

void TestZephButtonModel::colourValues_data()
{
    QTest::addColumn<uint>("value");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("red") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("blue") << uint(kv::clBlue) << QColor(0, 0, 255);
    QTest::newRow("mixed") << 0x00123456u << QColor(0x56, 0x34, 0x12);
    QTest::newRow("clBtnFace") << uint(kv::clBtnFace) << kFace;
    QTest::newRow("clBtnShadow") << uint(kv::clBtnShadow) << kShadow;
    QTest::newRow("clBtnHighlight") << uint(kv::clBtnHighlight) << kHighlight;
    QTest::newRow("clWindow") << uint(kv::clWindow) << kWindow;
}

void TestZephButtonModel::colourValues()
{
    QFETCH(uint, value);
    QFETCH(QColor, expected);
    QCOMPARE(kv::colorToQColor(value, QApplication::palette()), expected);
}

void TestZephButtonModel::artwork()
{
    const QImage mark = kv::zeph::popupMark();
    QCOMPARE(mark.size(), QSize(5, 3));
    const char *rows[] = {"XXXXX", ".XXX.", "..X.."};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            QCOMPARE(mark.pixelColor(x, y), rows[y][x] == 'X' ? kBlack : kMagenta);
    }

    QFile cursorFile(QStringLiteral(":/button/HANDZephB"));
    QVERIFY(cursorFile.open(QIODevice::ReadOnly));
    const auto cursor = kv::zeph::readMonochromeCursor(cursorFile.readAll());
    QVERIFY(cursor);
    QCOMPARE(cursor->image.size(), QSize(32, 32));
    QCOMPARE(qAlpha(cursor->image.pixel(0, 31)), 0);
    QCOMPARE(qAlpha(cursor->image.pixel(cursor->hotSpot)), 255); // the fingertip
    QVERIFY(!kv::zeph::readMonochromeCursor(QByteArray(70, '\0')));

    QFile sound(QStringLiteral(":/button/PREKO"));
    QVERIFY(sound.open(QIODevice::ReadOnly));
    const QByteArray wav = sound.readAll();
    QVERIFY(wav.size() >= 44);
    auto number = [&](int at, int bytes) {
        quint32 value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = value << 8 | quint8(wav.at(at + i));
        return value;
    };
    auto u16 = [&](int at) { return number(at, 2); };
    auto u32 = [&](int at) { return number(at, 4); };
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(u16(20), 1u);     // PCM
    QCOMPARE(u16(22), 1u);     // mono
    QCOMPARE(u32(24), 22050u); // samples a second
    QCOMPARE(u16(34), 16u);    // bits a sample
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    QCOMPARE(u32(40), 297u * 2);
}

QTEST_MAIN(TestZephButtonModel)
#include "tst_zephbutton_model.moc"
