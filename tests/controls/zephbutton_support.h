// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the skinned button tests: a palette whose system colours all differ,
// a font without antialiasing so that text pixels have exact colours, and small
// picture and pixel helpers.

#include "ZephButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace zephtest {

inline const QColor kFace(0xc0, 0xc0, 0xc0);       // clBtnFace
inline const QColor kShadow(0x80, 0x80, 0x80);     // clBtnShadow
inline const QColor kHighlight(0xff, 0xff, 0xff);  // clBtnHighlight
inline const QColor kWindow(0xf0, 0xf8, 0xe0);     // clWindow
inline const QColor kBackground(0xd4, 0xd0, 0xc8); // a parent's background
inline const QColor kText(0x00, 0x00, 0x00);
inline const QColor kBlack(0, 0, 0);
inline const QColor kHotBlue(0, 0, 0xff);
inline const QColor kMagenta(0xff, 0x00, 0xff);

inline void useTestLook()
{
    QPalette pal;
    pal.setColor(QPalette::Button, kFace);
    pal.setColor(QPalette::Dark, kShadow);
    pal.setColor(QPalette::Light, kHighlight);
    pal.setColor(QPalette::Base, kWindow);
    pal.setColor(QPalette::Window, kBackground);
    pal.setColor(QPalette::WindowText, kText);
    QApplication::setPalette(pal);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    QApplication::setFont(font);
}

// A picture of w x h on magenta (bottom-left stays magenta) painted by fill.
template <typename Fill> QPixmap picture(int w, int h, Fill fill)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kMagenta);
    QPainter p(&image);
    fill(p);
    p.end();
    image.setPixelColor(0, h - 1, kMagenta);
    return QPixmap::fromImage(image);
}

inline QPixmap plain(int w, int h)
{
    return picture(w, h, [](QPainter &) {});
}

inline QImage shot(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor at(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

// The bounding box of all pixels of one colour.
inline QRect boxOf(const QImage &image, const QColor &color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == color)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

inline int countOf(const QImage &image, const QColor &color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
    }
    return n;
}

inline void enter(QWidget *w)
{
    const QPointF p(w->width() / 2, w->height() / 2);
    QEnterEvent e(p, w->mapToGlobal(p), w->mapToGlobal(p));
    QApplication::sendEvent(w, &e);
}

inline void leave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

} // namespace zephtest
