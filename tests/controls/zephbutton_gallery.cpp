// SPDX-License-Identifier: GPL-3.0-or-later
// Renders every skinned button style in every look into one PNG sheet, for a
// person to look at: zephbutton_gallery [output.png]
// Rows are the styles; column groups are a caption alone, a kind's glyph with
// its caption, and a glyph with the popup-menu mark but no caption. The last two
// rows show every kind at rest and hot.

#include "ZephButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

using kv::TZephButton;
using B = kv::TZephCustomButton;

namespace {

enum class Look
{
    Resting,
    Hot,
    Pressed,
    Focused,
    Disabled
};

const char *const kStyleNames[] = {"stFlat",    "stDefault",   "stNone",         "stRaised",
                                   "stFlatDot", "stRaisedDot", "stFrameLowered", "stFrameRaised"};
const char *const kLookNames[] = {"rest", "hot", "pressed", "focused", "disabled"};

QImage render(QWidget &form, B::TStyle style, int variant, Look look)
{
    auto *button = new TZephButton(&form);
    button->setGeometry(10, 10, 96, 30);
    button->setButtonStyle(style);
    if (variant == 1) {
        button->setButtonKind(B::skOK);
    } else if (variant == 2) {
        button->setButtonKind(B::skRetry);
        button->setCaption(QString());
        button->setPopupMenuMark(true);
    } else {
        button->setCaption(QStringLiteral("&Caption"));
    }
    if (look == Look::Disabled)
        button->setEnabled(false);
    button->show();
    if (look == Look::Focused)
        button->setFocus();
    const QPointF centre(48, 15);
    if (look == Look::Hot || look == Look::Pressed) {
        QEnterEvent enter(centre, button->mapToGlobal(centre), button->mapToGlobal(centre));
        QApplication::sendEvent(button, &enter);
    }
    if (look == Look::Pressed) {
        QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &press);
    }
    const QImage image = button->grab().toImage();
    delete button;
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zephbutton_gallery.png");
    QWidget form;
    form.resize(200, 60);
    form.show();
    form.activateWindow(); // focus rectangles show only in the active window
    QApplication::processEvents();

    constexpr int kLooks = 5;
    constexpr int kCellW = 104;
    constexpr int kCellH = 38;
    constexpr int kLabelW = 110;
    constexpr int kHeaderH = 40;
    QImage sheet(kLabelW + 3 * kLooks * kCellW, kHeaderH + 10 * kCellH, QImage::Format_RGB32);
    sheet.fill(form.palette().color(QPalette::Window));
    QPainter p(&sheet);
    p.setPen(Qt::black);
    const char *const groups[] = {"caption", "kind skOK", "glyph + popup mark"};
    for (int group = 0; group < 3; ++group) {
        const int x = kLabelW + group * kLooks * kCellW;
        p.drawText(x, 14, QString::fromLatin1(groups[group]));
        for (int look = 0; look < kLooks; ++look)
            p.drawText(x + look * kCellW, 32, QString::fromLatin1(kLookNames[look]));
    }
    for (int style = 0; style < 8; ++style) {
        const int y = kHeaderH + style * kCellH;
        p.drawText(4, y + 20, QString::fromLatin1(kStyleNames[style]));
        for (int group = 0; group < 3; ++group) {
            for (int look = 0; look < kLooks; ++look) {
                const QImage cell = render(form, B::TStyle(style), group, Look(look));
                p.drawImage(kLabelW + (group * kLooks + look) * kCellW, y, cell);
            }
        }
    }
    for (int row = 0; row < 2; ++row) {
        const int y = kHeaderH + (8 + row) * kCellH;
        p.drawText(4, y + 20, QString::fromLatin1(row ? "kinds, hot" : "kinds, stRaised"));
        for (int kind = B::skOK; kind <= B::skSilly; ++kind) {
            auto *button = new TZephButton(&form);
            button->setGeometry(10, 10, 96, 30);
            button->setButtonStyle(B::stRaised);
            button->setButtonKind(B::TKind(kind));
            button->show();
            if (row) {
                QEnterEvent enter(QPointF(48, 15), QPointF(), QPointF());
                QApplication::sendEvent(button, &enter);
            }
            p.drawImage(kLabelW + (kind - 1) * kCellW, y, button->grab().toImage());
            delete button;
        }
    }
    p.end();
    return sheet.save(out) ? 0 : 1;
}
