// SPDX-License-Identifier: GPL-3.0-or-later
// Pixels of the skinned button's looks, rendered offscreen.

#include "ZephButton.h"
#include "zephbutton_support.h"

#include <QMouseEvent>
#include <QTest>

using kv::TZephButton;
using B = kv::TZephCustomButton;
using namespace zephtest;

namespace {

enum class Look
{
    Resting,
    Hot,
    Pressed
};

// A 75 x 25 button on a form; looks are reached through the mouse.
struct Rig
{
    QWidget form;
    TZephButton *button = new TZephButton(&form);

    Rig()
    {
        form.resize(200, 80);
        button->move(10, 10);
        form.show();
    }
    QImage look(Look which)
    {
        if (which != Look::Resting)
            enter(button);
        if (which == Look::Pressed)
            QTest::mousePress(button, Qt::LeftButton, {}, QPoint(37, 12));
        return shot(button);
    }
};

// A glyph with a red marker pixel at (1, 1) on blue, so its origin can be found.
QPixmap markedGlyph(int w = 18, int h = 18)
{
    return picture(w, h, [&](QPainter &p) {
        p.fillRect(1, 1, w - 2, h - 2, Qt::blue);
        p.fillRect(1, 1, 1, 1, Qt::red);
    });
}

QPoint markerOrigin(const QImage &image)
{
    return boxOf(image, Qt::red).topLeft() - QPoint(1, 1);
}

} // namespace

class TestZephButtonPaint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTestLook(); }
    void frames_data();
    void frames();
    void dottedFrame();
    void focusRectangle_data();
    void focusRectangle();
    void glyphPlacement_data();
    void glyphPlacement();
    void popupMark_data();
    void popupMark();
    void disabledGlyph_data();
    void disabledGlyph();
    void transparentColourIsTheBottomLeftPixel();
    void hotGlyphChoice_data();
    void hotGlyphChoice();
    void pressOffset_data();
    void pressOffset();
    void captionColours_data();
    void captionColours();
};

void TestZephButtonPaint::frames_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("look");
    QTest::addColumn<int>("width");
    QTest::addColumn<QColor>("leftTop");
    QTest::addColumn<QColor>("rightBottom");
    QTest::addColumn<QColor>("face");
    QTest::addColumn<int>("edgeAt"); // -1: no 3-D edge
    QTest::addColumn<bool>("edgeSunken");
    const int rest = int(Look::Resting), hot = int(Look::Hot), pressed = int(Look::Pressed);
    const QColor none;
    auto row = [](const char *name) { return &QTest::newRow(name); };
    *row("flat rest") << int(B::stFlat) << rest << 0 << none << none << kBackground << -1 << false;
    *row("flat hot") << int(B::stFlat) << hot << 1 << kHighlight << kShadow << kBackground << -1
                     << false;
    *row("flat pressed") << int(B::stFlat) << pressed << 1 << kShadow << kHighlight << kBackground
                         << -1 << false;
    *row("default rest") << int(B::stDefault) << rest << 1 << kHighlight << kBlack << kFace << 1
                         << false;
    *row("default pressed") << int(B::stDefault) << pressed << 1 << kBlack << kHighlight << kFace
                            << 1 << true;
    *row("none hot") << int(B::stNone) << hot << 0 << none << none << kBackground << -1 << false;
    *row("raised rest") << int(B::stRaised) << rest << 2 << kHighlight << kShadow << kBackground
                        << -1 << false;
    *row("raised pressed") << int(B::stRaised) << pressed << 2 << kShadow << kHighlight
                           << kBackground << -1 << false;
    *row("lowered rest") << int(B::stFrameLowered) << rest << 1 << kShadow << kHighlight << kFace
                         << 1 << false;
    *row("lowered pressed") << int(B::stFrameLowered) << pressed << 1 << kHighlight << kShadow
                            << kFace << 1 << true;
    *row("frame raised rest") << int(B::stFrameRaised) << rest << 1 << kHighlight << kShadow
                              << kFace << 2 << false;
    *row("frame raised hot") << int(B::stFrameRaised) << hot << 1 << kHighlight << kShadow << kFace
                             << 2 << false;
}

void TestZephButtonPaint::frames()
{
    QFETCH(int, style);
    QFETCH(int, look);
    QFETCH(int, width);
    QFETCH(QColor, leftTop);
    QFETCH(QColor, rightBottom);
    QFETCH(QColor, face);
    QFETCH(int, edgeAt);
    QFETCH(bool, edgeSunken);
    Rig rig;
    rig.button->setButtonStyle(B::TStyle(style));
    const QImage image = rig.look(Look(look));
    const int W = image.width(), H = image.height();
    for (int i = 0; i < width; ++i) {
        QCOMPARE(at(image, i, H / 2), leftTop);
        QCOMPARE(at(image, W / 2, i), leftTop);
        QCOMPARE(at(image, i, i), leftTop);
        QCOMPARE(at(image, W - 1 - i, H / 2), rightBottom);
        QCOMPARE(at(image, W / 2, H - 1 - i), rightBottom);
        QCOMPARE(at(image, i, H - 1 - i), rightBottom); // the far corners are the second colour's
        QCOMPARE(at(image, W - 1 - i, i), rightBottom);
    }
    if (edgeAt < 0) {
        QCOMPARE(at(image, width, H / 2), face);
        return;
    }
    if (edgeAt > width) // the inset of stFrameRaised
        QCOMPARE(at(image, width, H / 2), kFace);
    const QColor edgeLeftTop = edgeSunken ? kShadow : kHighlight;
    const QColor edgeRightBottom = edgeSunken ? kHighlight : kShadow;
    QCOMPARE(at(image, edgeAt, H / 2), edgeLeftTop);
    QCOMPARE(at(image, W / 2, edgeAt), edgeLeftTop);
    QCOMPARE(at(image, W - 1 - edgeAt, H / 2), edgeRightBottom);
    QCOMPARE(at(image, edgeAt, H - 1 - edgeAt), edgeRightBottom);
    QCOMPARE(at(image, edgeAt + 1, H / 2), kFace);
}

// Three pixels on, three off, running on from the left side into the top.
void TestZephButtonPaint::dottedFrame()
{
    Rig rig;
    rig.button->setButtonStyle(B::stFlatDot);
    const QImage image = rig.look(Look::Hot);
    const int H = image.height();
    for (int x = 0; x < image.width() - 1; ++x) {
        const int step = (H - 1) + x; // pixels drawn before, bottom of the left side first
        QCOMPARE(at(image, x, 0), step % 6 < 3 ? kHighlight : kBackground);
    }
    QCOMPARE(at(image, 0, H - 2), kHighlight);
    QCOMPARE(at(image, 0, H - 5), kBackground);
}

void TestZephButtonPaint::focusRectangle_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("showFocused");
    QTest::addColumn<bool>("expected");
    QTest::newRow("default") << int(B::stDefault) << true << true;
    QTest::newRow("frame raised") << int(B::stFrameRaised) << true << true;
    QTest::newRow("default, not shown") << int(B::stDefault) << false << false;
    QTest::newRow("raised never") << int(B::stRaised) << true << false;
}

void TestZephButtonPaint::focusRectangle()
{
    QFETCH(int, style);
    QFETCH(bool, showFocused);
    QFETCH(bool, expected);
    Rig rig;
    rig.button->setButtonStyle(B::TStyle(style));
    rig.button->setShowFocused(showFocused);
    rig.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.form));
    rig.button->setFocus();
    QVERIFY(rig.button->hasFocus());
    const QImage image = shot(rig.button);
    // Face (1, 1, 74, 24), one more inset for stFrameRaised; the rectangle 3 inside.
    const int f = style == B::stFrameRaised ? 2 : 1;
    const QColor inverted(255 - kFace.red(), 255 - kFace.green(), 255 - kFace.blue());
    const QColor face = style == B::stRaised ? kBackground : kFace;
    QCOMPARE(at(image, f + 3, f + 3), expected ? inverted : face);
    QCOMPARE(at(image, f + 4, f + 3), face);
    QCOMPARE(at(image, f + 3, f + 5), expected ? inverted : face);
    QCOMPARE(at(image, 75 - f - 4, 25 - f - 4), expected ? inverted : face);
    QCOMPARE(at(image, f + 4, f + 4), face);
}

void TestZephButtonPaint::glyphPlacement_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("look");
    const int rest = int(Look::Resting);
    QTest::newRow("no caption") << int(B::blGlyphLeft) << "" << rest;
    QTest::newRow("no caption, pressed") << int(B::blGlyphTop) << "" << int(Look::Pressed);
    QTest::newRow("left") << int(B::blGlyphLeft) << "Go on" << rest;
    QTest::newRow("right") << int(B::blGlyphRight) << "Go on" << rest;
    QTest::newRow("top") << int(B::blGlyphTop) << "Go on" << rest;
    QTest::newRow("bottom") << int(B::blGlyphBottom) << "Go on" << rest;
}

void TestZephButtonPaint::glyphPlacement()
{
    QFETCH(int, layout);
    QFETCH(QString, caption);
    QFETCH(int, look);
    Rig rig;
    rig.button->resize(120, 60);
    rig.button->setCaption(caption);
    rig.button->setLayout(B::TLayout(layout));
    rig.button->setSpacingLayout(-2);
    rig.button->setGlyph(markedGlyph());
    const QImage image = rig.look(Look(look));
    // stFlat: no frame at rest, one pixel while hot or pressed.
    const int frame = look == int(Look::Resting) ? 0 : 1;
    const int W = 120 - 2 * frame, H = 60 - 2 * frame;
    const QFontMetrics fm(rig.button->font());
    const int tw = fm.horizontalAdvance(caption), th = fm.height(), sl = -2;
    QPoint expected(frame + (W - 18) / 2, frame + (H - 18) / 2);
    if (!caption.isEmpty()) {
        switch (layout) {
        case B::blGlyphLeft:
            expected.setX(frame + (W - (tw + 18)) / 2 - sl);
            break;
        case B::blGlyphRight:
            expected.setX(frame + (W + tw - 18) / 2 + sl);
            break;
        case B::blGlyphTop:
            expected.ry() -= th / 2 + sl;
            break;
        case B::blGlyphBottom:
            expected.ry() += th / 2 + sl;
            break;
        }
    }
    if (look == int(Look::Pressed))
        expected += QPoint(1, 1);
    QCOMPARE(markerOrigin(image), expected);
    if (caption.isEmpty())
        return;
    // The caption keeps to its side of the glyph.
    const QRect text = boxOf(image, kText);
    const QRect glyph(expected, QSize(18, 18));
    switch (layout) {
    case B::blGlyphLeft:
        QVERIFY(text.left() >= glyph.right() + 1 + 4);
        break;
    case B::blGlyphRight:
        QVERIFY(text.right() < glyph.left() - 4);
        break;
    case B::blGlyphTop:
        QVERIFY(text.top() >= glyph.bottom() + 1 + 4);
        break;
    case B::blGlyphBottom:
        QVERIFY(text.bottom() < glyph.top() - 8);
        break;
    }
}

void TestZephButtonPaint::popupMark_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("gap");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("no caption") << "" << int(B::blGlyphLeft) << 5 << true << true;
    QTest::newRow("no caption, gap 1") << "" << int(B::blGlyphRight) << 1 << true << true;
    QTest::newRow("caption, glyph on top") << "Go" << int(B::blGlyphTop) << 5 << true << true;
    QTest::newRow("caption, glyph left") << "Go" << int(B::blGlyphLeft) << 5 << true << false;
    QTest::newRow("caption, glyph right") << "Go" << int(B::blGlyphRight) << 5 << true << false;
    QTest::newRow("disabled") << "" << int(B::blGlyphLeft) << 5 << false << true;
}

void TestZephButtonPaint::popupMark()
{
    QFETCH(QString, caption);
    QFETCH(int, layout);
    QFETCH(int, gap);
    QFETCH(bool, enabled);
    QFETCH(bool, drawn);
    Rig rig;
    rig.button->resize(75, 60);
    rig.button->setCaption(caption);
    rig.button->setLayout(B::TLayout(layout));
    rig.button->setPopupMenuMarkGap(gap);
    rig.button->setGlyph(
        picture(18, 18, [](QPainter &p) { p.fillRect(1, 1, 16, 16, Qt::yellow); }));
    rig.button->setPopupMenuMark(true);
    rig.button->setEnabled(enabled);
    QPalette pal = rig.button->palette(); // caption ink apart from the arrow's black
    pal.setColor(QPalette::WindowText, Qt::darkGreen);
    rig.button->setPalette(pal);
    const QImage image = shot(rig.button);
    const QPoint glyph = enabled ? boxOf(image, Qt::yellow).topLeft() - QPoint(1, 1)
                                 : QPoint((75 - 18) / 2 - 5, (60 - 18) / 2);
    if (caption.isEmpty())
        QCOMPARE(glyph, QPoint((75 - 18) / 2 - 5, (60 - 18) / 2));
    const QPoint arrow = glyph + QPoint(18 + gap, (18 - 3) / 2);
    const QColor ink = enabled ? kBlack : kShadow;
    if (!drawn) {
        QCOMPARE(countOf(image, kBlack), 0);
        return;
    }
    for (int x = 0; x < 5; ++x)
        QCOMPARE(at(image, arrow.x() + x, arrow.y()), ink);
    QCOMPARE(at(image, arrow.x() + 2, arrow.y() + 2), ink);
    QCOMPARE(at(image, arrow.x(), arrow.y() + 2), kBackground);
    if (!enabled)
        QCOMPARE(at(image, arrow.x() + 5, arrow.y() + 1), kHighlight);
}

void TestZephButtonPaint::disabledGlyph_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<bool>("secondCell");
    QTest::newRow("1") << 1 << false;
    QTest::newRow("2") << 2 << true;
    QTest::newRow("3") << 3 << false;
    QTest::newRow("4") << 4 << false;
}

void TestZephButtonPaint::disabledGlyph()
{
    QFETCH(int, cells);
    QFETCH(bool, secondCell);
    Rig rig;
    // Cell 1 light yellow with one black pixel at (2, 2); cell 2 green.
    rig.button->setGlyph(picture(18 * cells, 18, [&](QPainter &p) {
        p.fillRect(1, 0, 16, 17, Qt::yellow);
        p.fillRect(2, 2, 1, 1, Qt::black);
        if (cells > 1)
            p.fillRect(19, 0, 16, 17, Qt::green);
    }));
    rig.button->setNumGlyphs(cells);
    rig.button->setEnabled(false);
    const QImage image = shot(rig.button);
    const QPoint g((75 - 18) / 2, (25 - 18) / 2);
    if (secondCell) {
        QCOMPARE(at(image, g.x() + 5, g.y() + 5), QColor(Qt::green));
        QCOMPARE(countOf(image, Qt::yellow), 0);
        return;
    }
    QCOMPARE(countOf(image, Qt::yellow), 0);
    QCOMPARE(countOf(image, Qt::green), 0);
    QCOMPARE(at(image, g.x() + 2, g.y() + 2), kShadow);
    QCOMPARE(at(image, g.x() + 3, g.y() + 3), kHighlight);
    QCOMPARE(at(image, g.x() + 8, g.y() + 8), kBackground);
}

void TestZephButtonPaint::transparentColourIsTheBottomLeftPixel()
{
    Rig rig;
    QImage glyph(18, 18, QImage::Format_RGB32);
    glyph.fill(Qt::green);
    glyph.setPixelColor(5, 5, kMagenta);
    rig.button->setGlyph(QPixmap::fromImage(glyph));
    const QImage image = shot(rig.button);
    QCOMPARE(countOf(image, Qt::green), 0);
    QCOMPARE(countOf(image, kMagenta), 1);
}

void TestZephButtonPaint::hotGlyphChoice_data()
{
    QTest::addColumn<bool>("glyph");
    QTest::addColumn<bool>("hotGlyph");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("glyph only") << true << false << QColor(Qt::yellow);
    QTest::newRow("both") << true << true << QColor(Qt::cyan);
    QTest::newRow("hot only") << false << true << kBackground;
}

void TestZephButtonPaint::hotGlyphChoice()
{
    QFETCH(bool, glyph);
    QFETCH(bool, hotGlyph);
    QFETCH(QColor, shown);
    Rig rig;
    auto filled = [](Qt::GlobalColor c) {
        return picture(18, 18, [c](QPainter &p) { p.fillRect(1, 1, 16, 16, c); });
    };
    if (glyph)
        rig.button->setGlyph(filled(Qt::yellow));
    if (hotGlyph)
        rig.button->setGlyphHot(filled(Qt::cyan));
    enter(rig.button);
    QCOMPARE(at(shot(rig.button), 37, 12), shown);
}

void TestZephButtonPaint::pressOffset_data()
{
    QTest::addColumn<bool>("withGlyph");
    QTest::newRow("caption") << false;
    QTest::newRow("glyph and caption") << true;
}

void TestZephButtonPaint::pressOffset()
{
    QFETCH(bool, withGlyph);
    Rig rig;
    rig.button->setCaption(QStringLiteral("Press"));
    if (withGlyph)
        rig.button->setGlyph(markedGlyph());
    enter(rig.button);
    const QImage hot = shot(rig.button);
    QTest::mousePress(rig.button, Qt::LeftButton, {}, QPoint(37, 12));
    const QImage pressed = shot(rig.button);
    QVERIFY(!boxOf(hot, kHotBlue).isEmpty());
    QCOMPARE(boxOf(pressed, kHotBlue), boxOf(hot, kHotBlue).translated(1, 1));
    if (withGlyph)
        QCOMPARE(markerOrigin(pressed), markerOrigin(hot) + QPoint(1, 1));
}

void TestZephButtonPaint::captionColours_data()
{
    QTest::addColumn<bool>("hotTrack");
    QTest::addColumn<bool>("hot");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QColor>("ink");
    QTest::newRow("rest") << true << false << true << kText;
    QTest::newRow("hot") << true << true << true << kHotBlue;
    QTest::newRow("hot, no hot track") << false << true << true << kText;
    QTest::newRow("disabled") << true << false << false << kShadow;
}

void TestZephButtonPaint::captionColours()
{
    QFETCH(bool, hotTrack);
    QFETCH(bool, hot);
    QFETCH(bool, enabled);
    QFETCH(QColor, ink);
    Rig rig;
    rig.button->setCaption(QStringLiteral("&Mm"));
    rig.button->setHotTrack(hotTrack);
    if (hot)
        enter(rig.button);
    rig.button->setEnabled(enabled);
    const QImage image = shot(rig.button);
    const QRect text = boxOf(image, ink);
    QVERIFY(!text.isEmpty());
    // Centred; "&" is measured but not drawn, and underlines the "M".
    const QFontMetrics fm(rig.button->font());
    const int tw = fm.horizontalAdvance(QStringLiteral("&Mm"));
    const int left = (75 - tw) / 2;
    QVERIFY(text.left() >= left && text.right() < left + tw);
    QVERIFY(text.bottom() > (25 - fm.height()) / 2 + fm.ascent());
    if (enabled)
        return;
    // Drawn three times: the font colour is covered by the shadow colour, and the
    // highlight shows one pixel right and down.
    QCOMPARE(countOf(image, kText), 0);
    QCOMPARE(boxOf(image, kHighlight).bottomRight(), text.bottomRight() + QPoint(1, 1));
}

QTEST_MAIN(TestZephButtonPaint)
#include "tst_zephbutton_paint.moc"
