// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZephColors.h"

#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QTimer;

namespace kv {

class HoverSound;

// An owner-drawn push button: eight frame styles, a hot look under the mouse,
// built-in dialog-button kinds, an optional popup menu, click repetition while
// held and a hover sound. It holds all state and behaviour; TZephButton
// publishes the settings as properties.
//
// Looks are drawn at once by the event that causes them (repaint()); a repaint
// that the button requests for a changed setting draws the resting look, while
// the window system's own repaints keep whatever look is showing.
class TZephCustomButton : public QWidget
{
    Q_OBJECT

public:
    enum TKind
    {
        skCustom,
        skOK,
        skCancel,
        skHelp,
        skYes,
        skNo,
        skClose,
        skAbort,
        skRetry,
        skIgnore,
        skAll,
        skSilly
    };
    Q_ENUM(TKind)
    enum TStyle
    {
        stFlat,
        stDefault,
        stNone,
        stRaised,
        stFlatDot,
        stRaisedDot,
        stFrameLowered,
        stFrameRaised
    };
    Q_ENUM(TStyle)
    enum TLayout
    {
        blGlyphLeft,
        blGlyphBottom,
        blGlyphRight,
        blGlyphTop
    };
    Q_ENUM(TLayout)
    enum TPositionPopup
    {
        puDown,
        puLeft,
        puRight
    };
    Q_ENUM(TPositionPopup)
    enum TColorMarginDefault
    {
        cmDefault,
        cmCustom
    };
    Q_ENUM(TColorMarginDefault)

    // What a click of a dialog kind makes its dialog return.
    enum TModalResult
    {
        mrNone = 0,
        mrOk = 1,
        mrCancel = 2,
        mrAbort = 3,
        mrRetry = 4,
        mrIgnore = 5,
        mrYes = 6,
        mrNo = 7,
        mrAll = 8
    };

    explicit TZephCustomButton(QWidget *parent = nullptr);
    ~TZephCustomButton() override;

    QSize sizeHint() const override { return QSize(75, 25); }

    bool repeatAction() const { return m_repeatAction; }
    void setRepeatAction(bool on) { m_repeatAction = on; }
    int repeatInterval() const;
    void setRepeatInterval(int ms);
    int repeatStartInterval() const;
    void setRepeatStartInterval(int ms);
    bool showFocused() const { return m_showFocused; }
    void setShowFocused(bool on) { m_showFocused = on; }
    bool cursorHandCustom() const { return m_cursorHandCustom; }
    void setCursorHandCustom(bool on) { m_cursorHandCustom = on; }
    TKind buttonKind() const { return m_kind; }
    void setButtonKind(TKind kind);
    TColor colorMarginLeftTop() const { return m_colorMarginLeftTop; }
    void setColorMarginLeftTop(TColor color);
    TColor colorMarginRightBottom() const { return m_colorMarginRightBottom; }
    void setColorMarginRightBottom(TColor color);
    TColorMarginDefault colorMarginStyle() const { return m_colorMarginStyle; }
    void setColorMarginStyle(TColorMarginDefault style);
    QString version() const;
    void setVersion(const QString &) {}
    bool popupMenuMark() const { return m_popupMenuMark; }
    void setPopupMenuMark(bool on);
    int popupMenuMarkGap() const { return m_popupMenuMarkGap; }
    void setPopupMenuMarkGap(int gap);
    TPositionPopup positionPopup() const { return m_positionPopup; }
    void setPositionPopup(TPositionPopup position) { m_positionPopup = position; }
    bool playMusic() const { return m_playMusic; }
    void setPlayMusic(bool on) { m_playMusic = on; }
    QMenu *popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu *menu);
    TColor hotTrackColor() const { return m_hotTrackColor; }
    void setHotTrackColor(TColor color) { m_hotTrackColor = color; }
    bool hotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on) { m_hotTrack = on; }
    int spacing() const { return m_spacing; }
    void setSpacing(int pixels);
    int spacingLayout() const { return m_spacingLayout; }
    void setSpacingLayout(int pixels);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int cells);
    int numGlyphsHot() const { return m_numGlyphsHot; }
    void setNumGlyphsHot(int cells);
    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &picture);
    QPixmap glyphHot() const { return m_glyphHot; }
    void setGlyphHot(const QPixmap &picture);
    TLayout layout() const { return m_layout; }
    void setLayout(TLayout layout);
    TStyle buttonStyle() const { return m_style; }
    void setButtonStyle(TStyle style);
    bool isCancel() const { return m_cancel; }
    void setCancel(bool on) { m_cancel = on; }
    bool isDefault() const { return m_default; }
    void setDefault(bool on) { m_default = on; }
    QString hintSecondLine() const { return m_hintSecondLine; }
    void setHintSecondLine(const QString &text);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    TColor color() const { return m_color; }
    void setColor(TColor color);
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool on);
    int helpContext() const { return m_helpContext; }
    void setHelpContext(int context) { m_helpContext = context; }
    bool tabStop() const { return focusPolicy() != Qt::NoFocus; }
    void setTabStop(bool on) { setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus); }

    // The hover sound player; not owned. Null means the shared Qt Multimedia one.
    void setHoverSound(HoverSound *sound) { m_sound = sound; }

public slots:
    // A click as by the mouse: OnClick, the kind's effect, and the popup menu.
    void click();

signals:
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseOver(kv::TZephCustomButton *Sender);
    void OnMouseOut(kv::TZephCustomButton *Sender);
    // An skHelp click asks the application for help on this context number.
    void OnHelp(int HelpContext);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Look
    {
        Resting,
        Hot,
        Pressed,
        Disabling
    };
    struct LookSpec
    {
        int frameWidth;
        bool sunken;
        bool hotGlyph;
        int pressOffset;
    };
    struct Box
    {
        int l, t, r, b;
        int w() const { return r - l; }
        int h() const { return b - t; }
    };

    // interaction
    void pointerAt(bool inside);
    void mouseEnter();
    void mouseLeave();
    void press(QMouseEvent *event, bool armClick);
    void openPopupMenu();
    void applyKindEffect();
    bool dialogKey(const QKeyEvent *event);
    bool dialogChar(const QKeyEvent *event);
    bool canTakeFocus() const;
    void focusChanged(QWidget *now);
    void watchWindowKeys();
    void grabAccelerator();
    void startRepeat();
    void stopRepeat();
    void repeatStartTick();
    void repeatTick();

    // settings
    void applyStyleSettings();
    static void styleColors(TStyle style, TColor *leftTop, TColor *rightBottom);
    void setNumGlyphsFor(const QPixmap &picture, int *cells);
    bool edgedStyle() const;
    void requestRepaint();
    void showLook(Look look);

    // drawing
    LookSpec lookSpec(Look look) const;
    void drawLook(QImage &canvas, Look look);
    QColor faceColor() const;
    QColor systemColor(TColor color) const;
    void drawFrame(QPainter &p, Box &face, const LookSpec &look, const QColor &brush) const;
    void drawEdge(QPainter &p, const Box &box, bool sunken) const;
    QRect drawGlyph(QPainter &p, const Box &face, const LookSpec &look, const QColor &brush);
    QRect drawCell(QPainter &p, const Box &face, const LookSpec &look, const QColor &brush,
                   const QPixmap &picture, int cells, bool hot);
    QPoint glyphOrigin(const Box &face, int cw, int ch) const;
    void drawPopupMark(QPainter &p, const QRect &glyph, int cw, const QColor &brush);
    void drawTransparent(QPainter &p, const QImage &image, QPoint at, const QColor &brush) const;
    void drawEmbossed(QPainter &p, const QImage &image, QPoint at);
    void drawFocusRect(QImage &canvas, const Box &face) const;
    void drawCaption(QPainter &p, const Box &face, const QRect &glyph, const LookSpec &look);

    // published settings
    bool m_repeatAction = false;
    bool m_showFocused = true;
    bool m_cursorHandCustom = true;
    TKind m_kind = skCustom;
    TColor m_colorMarginLeftTop = clBtnHighlight;
    TColor m_colorMarginRightBottom = clBtnShadow;
    TColorMarginDefault m_colorMarginStyle = cmDefault;
    bool m_popupMenuMark = false;
    int m_popupMenuMarkGap = 5;
    TPositionPopup m_positionPopup = puDown;
    bool m_playMusic = false;
    QPointer<QMenu> m_popupMenu;
    TColor m_hotTrackColor = clBlue;
    bool m_hotTrack = true;
    int m_spacing = 4;
    int m_spacingLayout = 3;
    int m_numGlyphs = 2;
    int m_numGlyphsHot = 2;
    QPixmap m_glyph;
    QPixmap m_glyphHot;
    TLayout m_layout = blGlyphLeft;
    TStyle m_style = stFlat;
    bool m_cancel = false;
    bool m_default = false;
    QString m_hintSecondLine;
    QString m_caption;
    TColor m_color = clWindow;
    bool m_parentColor = true;
    int m_helpContext = 0;

    // state
    Look m_shown = Look::Resting;
    QTimer *m_repeatTimer;
    QTimer *m_startTimer;
    QImage m_work;
    QImage m_mask;
    bool m_hot = false;
    bool m_defaultActive = false;
    bool m_focusMark = false;
    bool m_leftWhilePressed = false;
    int m_normalWidth = 0;
    int m_hotWidth = 1;
    bool m_dottedPen = false;
    TColor m_edgeLeftTop = clBtnHighlight;
    TColor m_edgeRightBottom = clBtnShadow;
    bool m_mouseInside = false;
    bool m_clickArmed = false;
    bool m_menuOpen = false;
    HoverSound *m_sound = nullptr;
    QPointer<QWidget> m_keyWindow;
    QMetaObject::Connection m_focusConnection;
    int m_acceleratorIds[2] = {0, 0}; // with and without Shift
};

// The skinned button as windows use it: every setting published as a property.
class TZephButton : public TZephCustomButton
{
    Q_OBJECT
    Q_PROPERTY(bool RepeatAction READ repeatAction WRITE setRepeatAction)
    Q_PROPERTY(int RepeatInterval READ repeatInterval WRITE setRepeatInterval)
    Q_PROPERTY(int RepeatStartInterval READ repeatStartInterval WRITE setRepeatStartInterval)
    Q_PROPERTY(bool ShowFocused READ showFocused WRITE setShowFocused)
    Q_PROPERTY(bool CursorHandCustom READ cursorHandCustom WRITE setCursorHandCustom)
    Q_PROPERTY(TZephCustomButton::TKind ButtonKind READ buttonKind WRITE setButtonKind)
    Q_PROPERTY(uint ColorMarginLeftTop READ colorMarginLeftTop WRITE setColorMarginLeftTop)
    Q_PROPERTY(
        uint ColorMarginRightBottom READ colorMarginRightBottom WRITE setColorMarginRightBottom)
    Q_PROPERTY(TZephCustomButton::TColorMarginDefault ColorMarginStyle READ colorMarginStyle WRITE
                   setColorMarginStyle)
    Q_PROPERTY(QString Version READ version WRITE setVersion)
    Q_PROPERTY(bool PopupMenuMark READ popupMenuMark WRITE setPopupMenuMark)
    Q_PROPERTY(int PopupMenuMarkGap READ popupMenuMarkGap WRITE setPopupMenuMarkGap)
    Q_PROPERTY(
        TZephCustomButton::TPositionPopup PositionPopup READ positionPopup WRITE setPositionPopup)
    Q_PROPERTY(bool PlayMusic READ playMusic WRITE setPlayMusic)
    Q_PROPERTY(QMenu *PopupMenu READ popupMenu WRITE setPopupMenu)
    Q_PROPERTY(uint HotTrackColor READ hotTrackColor WRITE setHotTrackColor)
    Q_PROPERTY(bool HotTrack READ hotTrack WRITE setHotTrack)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(int SpacingLayout READ spacingLayout WRITE setSpacingLayout)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int NumGlyphsHot READ numGlyphsHot WRITE setNumGlyphsHot)
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(QPixmap GlyphHot READ glyphHot WRITE setGlyphHot)
    Q_PROPERTY(TZephCustomButton::TLayout Layout READ layout WRITE setLayout)
    Q_PROPERTY(TZephCustomButton::TStyle ButtonStyle READ buttonStyle WRITE setButtonStyle)
    Q_PROPERTY(bool Cancel READ isCancel WRITE setCancel)
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)
    Q_PROPERTY(QString HintSecondLine READ hintSecondLine WRITE setHintSecondLine)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(uint Color READ color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ parentColor WRITE setParentColor)
    Q_PROPERTY(int HelpContext READ helpContext WRITE setHelpContext)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)

public:
    using TZephCustomButton::TZephCustomButton;
};

} // namespace kv
