// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing of the skinned button's looks. Everything is drawn into an image the
// size of the button, pixel by pixel where the look depends on single pixels
// (frames, edges, the focus rectangle), then shown in one piece.

#include "ZephArt.h"
#include "ZephButton.h"

#include <QPainter>
#include <QtMath>

namespace kv {

namespace {

int half(int x)
{
    return x / 2; // truncates toward zero, also for negative x
}

// A one-pixel pen walking axis-parallel lines the way the platform's LineTo does:
// the end point is left out, and a dotted pattern runs on from one line to the
// next until the pen is moved. Gaps are filled with the background colour.
class PixelPen
{
public:
    PixelPen(QPainter &p, bool dotted, QColor background)
        : m_p(p), m_dotted(dotted), m_background(background)
    {}
    void moveTo(int x, int y)
    {
        m_x = x;
        m_y = y;
        m_step = 0;
    }
    void lineTo(int x, int y, const QColor &color)
    {
        const int dx = x > m_x ? 1 : x < m_x ? -1 : 0;
        const int dy = y > m_y ? 1 : y < m_y ? -1 : 0;
        while (m_x != x || m_y != y) {
            const bool ink = !m_dotted || m_step % 6 < 3; // three on, three off
            m_p.fillRect(m_x, m_y, 1, 1, ink ? color : m_background);
            ++m_step;
            m_x += dx;
            m_y += dy;
        }
    }

private:
    QPainter &m_p;
    bool m_dotted;
    QColor m_background;
    int m_x = 0;
    int m_y = 0;
    int m_step = 0;
};

void fillLine(QPainter &p, int x, int y, int w, int h, const QColor &color)
{
    if (w > 0 && h > 0)
        p.fillRect(x, y, w, h, color);
}

// The nearest of black and white, as a colour bitmap becomes a monochrome one.
bool isDark(QRgb pixel)
{
    return qAlpha(pixel) >= 128 && qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 383;
}

} // namespace

TZephCustomButton::LookSpec TZephCustomButton::lookSpec(Look look) const
{
    switch (look) {
    case Look::Hot:
        return {m_hotWidth, false, true, 0};
    case Look::Pressed:
        return {m_hotWidth, true, true, 1};
    case Look::Disabling:
        return {m_hotWidth, false, true, 0};
    case Look::Resting:
        break;
    }
    return {m_normalWidth, false, false, 0};
}

QColor TZephCustomButton::systemColor(TColor color) const
{
    return colorToQColor(color, palette());
}

QColor TZephCustomButton::faceColor() const
{
    if (edgedStyle())
        return systemColor(clBtnFace);
    if (m_parentColor && parentWidget()) {
        const QWidget *parent = parentWidget();
        return parent->palette().color(QPalette::Active, parent->backgroundRole());
    }
    return systemColor(m_color);
}

void TZephCustomButton::paintEvent(QPaintEvent *)
{
    const qreal dpr = devicePixelRatioF();
    QImage canvas(size() * dpr, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(dpr);
    drawLook(canvas, m_shown);
    QPainter(this).drawImage(0, 0, canvas);
}

void TZephCustomButton::drawLook(QImage &canvas, Look which)
{
    const LookSpec look = lookSpec(which);
    const QColor brush = faceColor();
    Box face{0, 0, width(), height()};
    {
        QPainter p(&canvas);
        drawFrame(p, face, look, brush);
        if (face.w() > 0 && face.h() > 0)
            p.fillRect(face.l, face.t, face.w(), face.h(), brush);
        if (m_style == stFrameRaised)
            face = {face.l + 1, face.t + 1, face.r - 1, face.b - 1};
        if (edgedStyle())
            drawEdge(p, face, look.sunken);
        const QRect glyph = drawGlyph(p, face, look, brush);
        p.end();
        if (edgedStyle() && m_showFocused && m_focusMark)
            drawFocusRect(canvas, face);
        p.begin(&canvas);
        drawCaption(p, face, glyph, look);
    }
}

// Rings from the outside in: left and top in the first colour, right and bottom
// in the second; sunken looks swap the colours. Shrinks face to the inside.
void TZephCustomButton::drawFrame(QPainter &p, Box &face, const LookSpec &look,
                                  const QColor &brush) const
{
    const QColor leftTop = systemColor(look.sunken ? m_edgeRightBottom : m_edgeLeftTop);
    const QColor rightBottom = systemColor(look.sunken ? m_edgeLeftTop : m_edgeRightBottom);
    PixelPen pen(p, m_dottedPen, brush);
    face.r -= 1;
    face.b -= 1;
    for (int i = 0; i < look.frameWidth; ++i) {
        pen.moveTo(face.l, face.b);
        pen.lineTo(face.l, face.t, leftTop);
        pen.lineTo(face.r, face.t, leftTop);
        pen.moveTo(face.r, face.t);
        pen.lineTo(face.r, face.b, rightBottom);
        pen.lineTo(face.l - 1, face.b, rightBottom);
        face = {face.l + 1, face.t + 1, face.r - 1, face.b - 1};
    }
    face.r += 1;
    face.b += 1;
}

// The platform's single 3-D edge with its middle filled: top and left first,
// then bottom and right, which take the two far corners.
void TZephCustomButton::drawEdge(QPainter &p, const Box &box, bool sunken) const
{
    const QColor light = systemColor(clBtnHighlight);
    const QColor dark = systemColor(clBtnShadow);
    const QColor &leftTop = sunken ? dark : light;
    const QColor &rightBottom = sunken ? light : dark;
    fillLine(p, box.l, box.t, box.w(), 1, leftTop);
    fillLine(p, box.l, box.t, 1, box.h(), leftTop);
    fillLine(p, box.l, box.b - 1, box.w(), 1, rightBottom);
    fillLine(p, box.r - 1, box.t, 1, box.h(), rightBottom);
    fillLine(p, box.l + 1, box.t + 1, box.w() - 2, box.h() - 2, systemColor(clBtnFace));
}

// Draws the glyph the look calls for and returns where it stands.
QRect TZephCustomButton::drawGlyph(QPainter &p, const Box &face, const LookSpec &look,
                                   const QColor &brush)
{
    const bool glyphEmpty = m_glyph.isNull();
    const bool hotEmpty = m_glyphHot.isNull();
    if (!look.hotGlyph || hotEmpty)
        return drawCell(p, face, look, brush, m_glyph, m_numGlyphs, false);
    if (glyphEmpty)
        return {};
    if (isEnabled())
        return drawCell(p, face, look, brush, m_glyphHot, m_numGlyphsHot, true);
    return drawCell(p, face, look, brush, m_glyph, m_numGlyphs, false);
}

// One cell of a glyph strip: the first, or for a disabled button with two cells
// the second; a disabled button with any other count gets the first embossed.
// The hot glyph always shows its first cell as it is.
QRect TZephCustomButton::drawCell(QPainter &p, const Box &face, const LookSpec &look,
                                  const QColor &brush, const QPixmap &picture, int cells, bool hot)
{
    if (picture.isNull())
        return {};
    const QImage source = picture.toImage();
    const int cw = source.width() / cells;
    const int ch = source.height();
    const bool disabled = !isEnabled() && !hot;
    if (disabled && cells == 2)
        m_work = source.copy(cw, 0, source.width() - cw, ch).scaled(qMax(cw, 1), ch);
    else
        m_work = source.copy(0, 0, cw, ch);
    const QPoint origin = glyphOrigin(face, cw, ch) + QPoint(look.pressOffset, look.pressOffset);
    const QRect glyph(origin, QSize(cw, ch));
    if (cw > 0) {
        if (disabled && cells != 2)
            drawEmbossed(p, m_work, origin);
        else
            drawTransparent(p, m_work, origin, brush);
    }
    drawPopupMark(p, glyph, cw, brush);
    return glyph;
}

QPoint TZephCustomButton::glyphOrigin(const Box &face, int cw, int ch) const
{
    const int W = face.w();
    const int H = face.h();
    const int sl = m_spacingLayout;
    const int centreX = face.l + half(W - cw);
    const int centreY = face.t + half(H - ch);
    if (m_caption.isEmpty())
        return {m_popupMenuMark ? centreX - 5 : centreX, centreY};
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(m_caption);
    const int th = fm.height();
    switch (m_layout) {
    case blGlyphLeft:
        return {face.l + half(W - (tw + cw)) - sl, centreY};
    case blGlyphRight:
        return {face.l + half(W + tw - cw) + sl, centreY};
    case blGlyphTop:
        return {centreX, centreY - half(th) - sl};
    case blGlyphBottom:
        return {centreX, centreY + half(th) + sl};
    }
    return {centreX, centreY};
}

void TZephCustomButton::drawPopupMark(QPainter &p, const QRect &glyph, int cw, const QColor &brush)
{
    const bool besideGlyph = m_layout == blGlyphTop || m_layout == blGlyphBottom;
    if (m_glyph.isNull() || !m_popupMenuMark || !(besideGlyph || m_caption.isEmpty()))
        return;
    const QImage &mark = zeph::popupMark();
    if (mark.isNull())
        return;
    const QPoint at(glyph.left() + cw + m_popupMenuMarkGap,
                    glyph.top() + half(glyph.height() - mark.height()));
    if (isEnabled())
        drawTransparent(p, mark, at, brush);
    else
        drawEmbossed(p, mark, at);
}

// The image with every pixel of its bottom-left colour painted in the face colour.
void TZephCustomButton::drawTransparent(QPainter &p, const QImage &image, QPoint at,
                                        const QColor &brush) const
{
    if (image.isNull())
        return;
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = copy.pixel(0, copy.height() - 1);
    const QRgb face = brush.rgb();
    for (int y = 0; y < copy.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x) {
            if (line[x] == key)
                line[x] = face;
        }
    }
    p.drawImage(at, copy);
}

// The disabled look: the dark pixels of the image, once in the highlight colour
// one pixel right and down, then in the shadow colour in place.
void TZephCustomButton::drawEmbossed(QPainter &p, const QImage &image, QPoint at)
{
    if (image.isNull())
        return;
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    m_mask = QImage(source.size(), QImage::Format_ARGB32);
    for (const auto &[color, offset] :
         {std::pair{systemColor(clBtnHighlight), 1}, std::pair{systemColor(clBtnShadow), 0}}) {
        const QRgb ink = color.rgb();
        for (int y = 0; y < source.height(); ++y) {
            const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
            auto *out = reinterpret_cast<QRgb *>(m_mask.scanLine(y));
            for (int x = 0; x < source.width(); ++x)
                out[x] = isDark(in[x]) ? ink : 0u;
        }
        p.drawImage(at + QPoint(offset, offset), m_mask);
    }
}

// The platform's dotted focus rectangle: every other pixel of the outline
// inverted, in a pattern fixed to the button's corner.
void TZephCustomButton::drawFocusRect(QImage &canvas, const Box &face) const
{
    const Box r{face.l + 3, face.t + 3, face.r - 3, face.b - 3};
    if (r.w() <= 0 || r.h() <= 0)
        return;
    const qreal dpr = canvas.devicePixelRatio();
    auto invert = [&](int x, int y) {
        if ((x + y) % 2 != 0)
            return;
        for (int dy = qFloor(y * dpr); dy < qFloor((y + 1) * dpr); ++dy) {
            for (int dx = qFloor(x * dpr); dx < qFloor((x + 1) * dpr); ++dx) {
                if (canvas.valid(dx, dy))
                    canvas.setPixel(dx, dy, canvas.pixel(dx, dy) ^ 0x00FFFFFFu);
            }
        }
    };
    for (int x = r.l; x < r.r; ++x) {
        invert(x, r.t);
        if (r.b - 1 > r.t)
            invert(x, r.b - 1);
    }
    for (int y = r.t + 1; y < r.b - 1; ++y) {
        invert(r.l, y);
        if (r.r - 1 > r.l)
            invert(r.r - 1, y);
    }
}

void TZephCustomButton::drawCaption(QPainter &p, const Box &face, const QRect &glyph,
                                    const LookSpec &look)
{
    if (m_caption.isEmpty())
        return;
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(m_caption);
    const int th = fm.height();
    QRect text;
    if (m_glyph.isNull()) {
        const int p0 = look.pressOffset;
        text = QRect(face.l + half(face.w() - tw) + p0, face.t + half(face.h() - th) + p0, tw, th);
    } else {
        const int gw = glyph.width();
        const int gh = glyph.height();
        int tx = 0;
        int ty = 0;
        switch (m_layout) {
        case blGlyphLeft:
            tx = glyph.left() + gw + m_spacing;
            ty = glyph.top() + half(gh - th);
            break;
        case blGlyphRight:
            tx = glyph.left() - tw - m_spacing;
            ty = glyph.top() + half(gh - th);
            break;
        case blGlyphTop:
            tx = glyph.left() - half(tw) + half(gw);
            ty = glyph.top() + gh + m_spacing;
            break;
        case blGlyphBottom:
            tx = glyph.left() - half(tw) + half(gw);
            ty = glyph.top() - 8 - m_spacing - half(th);
            break;
        }
        text = QRect(tx, ty, tw, th);
    }
    const QColor fontColor = palette().color(QPalette::Active, foregroundRole());
    QColor color = m_hotTrack && m_hot ? systemColor(m_hotTrackColor) : fontColor;
    p.setFont(font());
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextExpandTabs;
    auto draw = [&](const QRect &r, const QColor &c) {
        p.setPen(c);
        p.drawText(r, flags, m_caption);
    };
    if (!isEnabled()) {
        draw(text, fontColor);
        draw(text.translated(1, 1), systemColor(clBtnHighlight));
        color = systemColor(clBtnShadow);
    }
    draw(text, color);
}

} // namespace kv
