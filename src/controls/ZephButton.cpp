// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZephButton.h"

#include "PressableAccessible.h"
#include "ZephArt.h"
#include "ZephSound.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QTimer>
#include <QToolTip>

namespace kv {

namespace {

struct KindInfo
{
    const char *stem; // picture resources stem + "GZephB" (grey) and stem + "ZephB" (hot)
    const char *caption;
    bool cancel;
    bool isDefault;
    int modalResult;
};

using B = TZephCustomButton;

// Indexed by TKind.
const KindInfo kKinds[] = {
    {nullptr, nullptr, false, false, B::mrNone},
    {"DA", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "OK"), false, true, B::mrOk},
    {"IKSIC", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "Cancel"), true, false, B::mrCancel},
    //: Captions of the predefined kinds of the skinned button; "&" marks the access key.
    {"POMOC", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&Help"), false, false, B::mrNone},
    {"DA", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&Yes"), false, true, B::mrYes},
    {"NE", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&No"), true, false, B::mrNo},
    {"EXIT", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&Close"), false, false, B::mrNone},
    {"IKSIC", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "Abort"), false, false, B::mrAbort},
    {"RETRI", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&Retry"), false, false, B::mrRetry},
    {"IGNO", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&Ignore"), false, false, B::mrIgnore},
    {"SVE", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&All"), false, false, B::mrAll},
    //: A joke kind of the button library, with a silly face for a picture; no window of the
    //: program shows it.
    {"GLUPI", QT_TRANSLATE_NOOP("kv::TZephCustomButton", "&Silly"), false, false, B::mrNone},
};

constexpr int kStartInterval = 50;

// The character after the first single "&" of a caption; "&&" is a literal "&".
QChar accelerator(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1];
        ++i;
    }
    return {};
}

// A push button to assistive tools: its caption, or for a glyph alone the
// command it performs (the accessible name or tool tip set for it), names it.
class ZephButtonAccessible : public PressableAccessible
{
public:
    explicit ZephButtonAccessible(TZephCustomButton *button)
        : PressableAccessible(
              button, QAccessible::Button,
              [button] {
                  const QString caption = spokenCaption(button->caption());
                  return caption.isEmpty() ? button->toolTip() : caption;
              },
              [button] { button->click(); }),
          m_button(button)
    {}

    QAccessible::State state() const override
    {
        QAccessible::State s = PressableAccessible::state();
        s.hasPopup = m_button->popupMenu() != nullptr;
        s.defaultButton = m_button->isDefault();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = PressableAccessible::actionNames();
        if (m_button->popupMenu())
            names.insert(1, showMenuAction());
        return names;
    }

    void doAction(const QString &actionName) override
    {
        // A click opens the popup menu as well.
        PressableAccessible::doAction(actionName == showMenuAction() ? pressAction() : actionName);
    }

private:
    TZephCustomButton *m_button;
};

QAccessibleInterface *accessibleButton(const QString &className, QObject *object)
{
    if (className != QLatin1String("kv::TZephCustomButton"))
        return nullptr;
    return new ZephButtonAccessible(static_cast<TZephCustomButton *>(object));
}

} // namespace

TZephCustomButton::TZephCustomButton(QWidget *parent)
    : QWidget(parent), m_repeatTimer(new QTimer(this)), m_startTimer(new QTimer(this))
{
    static const bool accessible = (QAccessible::installFactory(accessibleButton), true);
    Q_UNUSED(accessible);
    setGeometry(0, 0, 75, 25);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (QTimer *timer : {m_repeatTimer, m_startTimer}) {
        timer->setInterval(kStartInterval);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(m_startTimer, &QTimer::timeout, this, &TZephCustomButton::repeatStartTick);
    connect(m_repeatTimer, &QTimer::timeout, this, &TZephCustomButton::repeatTick);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this,
                                [this](QWidget *, QWidget *now) { focusChanged(now); });
    watchWindowKeys();
}

TZephCustomButton::~TZephCustomButton()
{
    // QWidget's destructor still moves the focus, when this part is gone.
    disconnect(m_focusConnection);
    if (m_keyWindow)
        m_keyWindow->removeEventFilter(this);
}

// --- settings ------------------------------------------------------------------

QString TZephCustomButton::version() const
{
    return QStringLiteral("TZephButton 1.0 for Qt");
}

int TZephCustomButton::repeatInterval() const
{
    return m_repeatTimer->interval();
}

void TZephCustomButton::setRepeatInterval(int ms)
{
    m_repeatTimer->setInterval(qMax(0, ms));
}

int TZephCustomButton::repeatStartInterval() const
{
    return m_startTimer->interval();
}

void TZephCustomButton::setRepeatStartInterval(int ms)
{
    m_startTimer->setInterval(qMax(0, ms));
}

void TZephCustomButton::setButtonKind(TKind kind)
{
    if (kind < skCustom || kind > skSilly)
        return;
    if (kind != m_kind) {
        m_kind = kind;
        m_glyph = QPixmap();
        m_glyphHot = QPixmap();
        m_work = QImage();
        m_mask = QImage();
    }
    const KindInfo &info = kKinds[kind];
    if (info.stem) {
        const QString stem = QLatin1String(info.stem);
        m_glyph = zeph::picture(stem + QLatin1String("GZephB"));
        m_glyphHot = zeph::picture(stem + QLatin1String("ZephB"));
    }
    if (info.caption)
        setCaption(tr(info.caption));
    if (kind != skCustom) {
        setNumGlyphs(1);
        setNumGlyphsHot(1);
    }
    requestRepaint();
    m_cancel = info.cancel;
    m_default = info.isDefault;
}

void TZephCustomButton::setGlyph(const QPixmap &picture)
{
    m_glyph = picture;
    setNumGlyphsFor(m_glyph, &m_numGlyphs);
    m_kind = skCustom;
}

void TZephCustomButton::setGlyphHot(const QPixmap &picture)
{
    m_glyphHot = picture;
    setNumGlyphsFor(m_glyphHot, &m_numGlyphsHot);
    m_kind = skCustom;
}

// A strip of square cells gives its cell count; anything else one cell, except
// a strip that is not a whole number of squares, which keeps the count.
void TZephCustomButton::setNumGlyphsFor(const QPixmap &picture, int *cells)
{
    // Always repaint: a new picture with the same cell count must show too.
    requestRepaint();
    if (picture.isNull())
        return;
    const int w = picture.width();
    const int h = picture.height();
    if (w < h || w / h < 2)
        *cells = 1;
    if (w % h == 0)
        *cells = w / h > 4 ? 1 : w / h;
}

void TZephCustomButton::setNumGlyphs(int cells)
{
    cells = qBound(1, cells, 4);
    if (cells == m_numGlyphs)
        return;
    m_numGlyphs = cells;
    requestRepaint();
}

void TZephCustomButton::setNumGlyphsHot(int cells)
{
    cells = qBound(1, cells, 4);
    if (cells == m_numGlyphsHot)
        return;
    m_numGlyphsHot = cells;
    requestRepaint();
}

void TZephCustomButton::styleColors(TStyle style, TColor *leftTop, TColor *rightBottom)
{
    *leftTop = style == stFrameLowered ? clBtnShadow : clBtnHighlight;
    *rightBottom = style == stDefault        ? clBlack
                   : style == stFrameLowered ? clBtnHighlight
                                             : clBtnShadow;
}

void TZephCustomButton::setButtonStyle(TStyle style)
{
    if (style < stFlat || style > stFrameRaised)
        return;
    m_style = style;
    applyStyleSettings();
    requestRepaint();
}

void TZephCustomButton::applyStyleSettings()
{
    struct Widths
    {
        int normal, hot;
        bool dotted;
    };
    static constexpr Widths kWidths[] = {
        {0, 1, false}, // stFlat
        {1, 1, false}, // stDefault
        {0, 0, false}, // stNone: pen unchanged
        {2, 2, false}, // stRaised
        {0, 1, true},  // stFlatDot
        {2, 2, true},  // stRaisedDot
        {1, 1, false}, // stFrameLowered
        {1, 1, false}, // stFrameRaised
    };
    m_normalWidth = kWidths[m_style].normal;
    m_hotWidth = kWidths[m_style].hot;
    if (m_style != stNone)
        m_dottedPen = kWidths[m_style].dotted;
    if (edgedStyle()) {
        m_parentColor = false;
        m_color = clBtnFace;
    }
    if (m_style == stNone)
        return;
    if (m_colorMarginStyle == cmDefault) {
        styleColors(m_style, &m_colorMarginLeftTop, &m_colorMarginRightBottom);
    }
    m_edgeLeftTop = m_colorMarginLeftTop;
    m_edgeRightBottom = m_colorMarginRightBottom;
}

void TZephCustomButton::setColorMarginStyle(TColorMarginDefault style)
{
    if (style != cmDefault && style != cmCustom)
        return;
    m_colorMarginStyle = style;
    if (style == cmDefault && m_style != stNone) {
        styleColors(m_style, &m_colorMarginLeftTop, &m_colorMarginRightBottom);
        m_edgeLeftTop = m_colorMarginLeftTop;
        m_edgeRightBottom = m_colorMarginRightBottom;
    }
    requestRepaint();
}

void TZephCustomButton::setColorMarginLeftTop(TColor color)
{
    if (color == m_colorMarginLeftTop)
        return;
    m_colorMarginLeftTop = color;
    m_edgeLeftTop = color;
    TColor leftTop, rightBottom;
    styleColors(m_style, &leftTop, &rightBottom);
    if (m_colorMarginStyle == cmDefault && m_style != stNone && color != leftTop)
        m_colorMarginStyle = cmCustom;
    requestRepaint();
}

void TZephCustomButton::setColorMarginRightBottom(TColor color)
{
    if (color == m_colorMarginRightBottom)
        return;
    m_colorMarginRightBottom = color;
    m_edgeRightBottom = color;
    TColor leftTop, rightBottom;
    styleColors(m_style, &leftTop, &rightBottom);
    if (m_colorMarginStyle == cmDefault && m_style != stNone && color != rightBottom)
        m_colorMarginStyle = cmCustom;
    requestRepaint();
}

void TZephCustomButton::setPopupMenuMark(bool on)
{
    m_popupMenuMark = on;
    requestRepaint();
}

void TZephCustomButton::setPopupMenuMarkGap(int gap)
{
    gap = qBound(1, gap, 5);
    if (gap == m_popupMenuMarkGap)
        return;
    m_popupMenuMarkGap = gap;
    requestRepaint();
}

void TZephCustomButton::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
    if (menu)
        requestRepaint();
}

void TZephCustomButton::setSpacing(int pixels)
{
    pixels = qBound(1, pixels, 5);
    if (pixels == m_spacing)
        return;
    m_spacing = pixels;
    requestRepaint();
}

void TZephCustomButton::setSpacingLayout(int pixels)
{
    pixels = qBound(-5, pixels, 5);
    if (pixels == m_spacingLayout)
        return;
    m_spacingLayout = pixels;
    requestRepaint();
}

void TZephCustomButton::setLayout(TLayout layout)
{
    if (layout < blGlyphLeft || layout > blGlyphTop)
        return;
    m_layout = layout;
    requestRepaint();
}

void TZephCustomButton::setHintSecondLine(const QString &text)
{
    m_hintSecondLine = text;
    if (!toolTip().isEmpty() && !text.isEmpty())
        setToolTip(toolTip() + QChar(13) + text);
}

void TZephCustomButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    grabAccelerator();
    requestRepaint();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

void TZephCustomButton::setColor(TColor color)
{
    m_parentColor = false;
    m_color = edgedStyle() ? clBtnFace : color;
    requestRepaint();
}

void TZephCustomButton::setParentColor(bool on)
{
    m_parentColor = on;
    requestRepaint();
}

bool TZephCustomButton::edgedStyle() const
{
    return m_style == stDefault || m_style == stFrameLowered || m_style == stFrameRaised;
}

void TZephCustomButton::requestRepaint()
{
    m_shown = Look::Resting;
    update();
}

void TZephCustomButton::showLook(Look look)
{
    m_shown = look;
    repaint();
}

// --- mouse -----------------------------------------------------------------------

void TZephCustomButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    pointerAt(true);
}

void TZephCustomButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    pointerAt(false);
}

// Qt holds back leave and enter events while a button is held; the moves that
// still arrive stand in for them, so that leaving while pressed shows at once.
void TZephCustomButton::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        pointerAt(rect().contains(event->position().toPoint()));
}

void TZephCustomButton::pointerAt(bool inside)
{
    if (inside == m_mouseInside)
        return;
    m_mouseInside = inside;
    if (m_menuOpen)
        return; // looked at again when the menu closes
    if (inside)
        mouseEnter();
    else
        mouseLeave();
}

void TZephCustomButton::mouseEnter()
{
    if (!isEnabled())
        return;
    const QPointer<TZephCustomButton> alive(this);
    emit OnMouseOver(this);
    if (!alive)
        return;
    if (edgedStyle() && m_popupMenu)
        setFocus(Qt::MouseFocusReason);
    if (m_cursorHandCustom) {
        const std::optional<QCursor> hand = zeph::handCursor();
        if (hand)
            setCursor(*hand);
        else
            unsetCursor();
    }
    m_hot = true;
    if (m_playMusic)
        (m_sound ? m_sound : defaultHoverSound())->play();
    if (m_style == stFlat)
        applyStyleSettings();
    showLook(Look::Hot);
    m_leftWhilePressed = false;
}

void TZephCustomButton::mouseLeave()
{
    if (!isEnabled())
        return;
    const QPointer<TZephCustomButton> alive(this);
    emit OnMouseOut(this);
    if (!alive)
        return;
    if (m_cursorHandCustom)
        unsetCursor();
    stopRepeat();
    m_hot = false;
    showLook(Look::Resting);
    m_leftWhilePressed = true;
}

void TZephCustomButton::mousePressEvent(QMouseEvent *event)
{
    press(event, true);
}

void TZephCustomButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const QPointer<TZephCustomButton> alive(this);
    emit OnDblClick();
    if (!alive)
        return;
    // The release that follows a double click is no click of its own.
    press(event, false);
    if (alive)
        click();
}

void TZephCustomButton::press(QMouseEvent *event, bool armClick)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    m_clickArmed = armClick;
    if (m_repeatAction)
        startRepeat();
    m_hot = true;
    showLook(Look::Pressed);
    if (!m_popupMenu)
        return;
    const QPointer<TZephCustomButton> alive(this);
    openPopupMenu();
    if (!alive)
        return;
    m_clickArmed = false; // the menu took the release
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TZephCustomButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const bool armed = std::exchange(m_clickArmed, false);
    // Before the click, whose handler may run an event loop (a message box):
    // the repeats end with the hold.
    stopRepeat();
    const QPointer<TZephCustomButton> alive(this);
    if (armed && rect().contains(event->position().toPoint())) {
        click();
        if (!alive)
            return;
    }
    if (m_leftWhilePressed)
        return;
    showLook(Look::Hot);
    if (edgedStyle())
        setFocus(Qt::MouseFocusReason);
    emit OnMouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

// --- click, kinds and the popup menu ------------------------------------------------

void TZephCustomButton::click()
{
    const QPointer<TZephCustomButton> alive(this);
    emit OnClick();
    if (!alive)
        return;
    applyKindEffect();
    if (!alive || !m_popupMenu || !isEnabled())
        return;
    if (m_repeatAction)
        startRepeat();
    m_hot = true;
    showLook(Look::Pressed);
    openPopupMenu();
}

void TZephCustomButton::applyKindEffect()
{
    QWidget *form = window() == this ? nullptr : window();
    switch (m_kind) {
    case skHelp:
        for (QWidget *w = this; w; w = w->parentWidget()) {
            // Only TZephButton publishes its own context as a property.
            const int context = w == this ? m_helpContext : w->property("HelpContext").toInt();
            if (context != 0) {
                emit OnHelp(context);
                return;
            }
        }
        return;
    case skClose:
        if (form)
            form->close();
        return;
    default:
        break;
    }
    const int result = kKinds[m_kind].modalResult;
    auto *dialog = qobject_cast<QDialog *>(form);
    if (result == mrNone || !dialog)
        return;
    // A dialog shown without a modal loop keeps the result and stays open.
    if (dialog->isModal())
        dialog->done(result);
    else
        dialog->setResult(result);
}

void TZephCustomButton::openPopupMenu()
{
    QMenu *menu = m_popupMenu;
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    QPoint at;
    switch (m_positionPopup) {
    case puDown:
        at = QPoint(origin.x() - 1, origin.y() + height());
        break;
    case puLeft: // the menu's right edge at origin.x() - 1
        at = QPoint(origin.x() - 1 - menu->sizeHint().width(), origin.y());
        break;
    case puRight:
        at = QPoint(origin.x() + width() + 1, origin.y());
        break;
    }
    const QPointer<TZephCustomButton> alive(this);
    const bool insideBefore = m_mouseInside;
    m_menuOpen = true;
    menu->exec(at);
    if (!alive)
        return;
    m_menuOpen = false;
    m_hot = false;
    showLook(Look::Resting);
    stopRepeat();
    // The pointer may have moved while the menu held it.
    const bool inside = rect().contains(mapFromGlobal(QCursor::pos()));
    m_mouseInside = inside;
    if (inside != insideBefore) {
        if (inside)
            mouseEnter();
        else
            mouseLeave();
    }
}

// --- repetition ---------------------------------------------------------------

void TZephCustomButton::startRepeat()
{
    if (m_startTimer->interval() > 0)
        m_startTimer->start();
}

// Stopped whether or not RepeatAction is still set: a timer left running after
// the setting was cleared would click on its own once it is set again.
void TZephCustomButton::stopRepeat()
{
    m_startTimer->stop();
    m_repeatTimer->stop();
}

void TZephCustomButton::repeatStartTick()
{
    if (!m_repeatAction)
        return;
    m_startTimer->stop();
    if (m_repeatTimer->interval() > 0)
        m_repeatTimer->start();
}

void TZephCustomButton::repeatTick()
{
    if (m_repeatAction)
        emit OnClick();
}

// --- focus and keys -------------------------------------------------------------

void TZephCustomButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (event->reason() != Qt::PopupFocusReason && edgedStyle())
        m_focusMark = true;
}

void TZephCustomButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    // An open popup menu borrows the focus; the pressed look stays meanwhile.
    if (event->reason() == Qt::PopupFocusReason || !edgedStyle())
        return;
    m_focusMark = false;
    if (m_showFocused)
        requestRepaint();
}

void TZephCustomButton::focusChanged(QWidget *now)
{
    if (!now || now->window() != window() || window() == this)
        return;
    auto *button = qobject_cast<TZephCustomButton *>(now);
    m_defaultActive = button ? button == this : m_default;
    if (edgedStyle() && m_focusMark && m_showFocused)
        requestRepaint();
}

// Keys that no control of the window took reach the window; every button of the
// window watches there for Enter, Esc and its accelerator.
void TZephCustomButton::watchWindowKeys()
{
    QWidget *form = window() == this ? nullptr : window();
    if (form == m_keyWindow)
        return;
    if (m_keyWindow)
        m_keyWindow->removeEventFilter(this);
    m_keyWindow = form;
    if (form)
        form->installEventFilter(this);
}

// Alt with the accelerator reaches the button through the window's shortcuts,
// before the focused control could take the key. Shift makes no difference.
void TZephCustomButton::grabAccelerator()
{
    for (int &id : m_acceleratorIds) {
        if (id)
            releaseShortcut(id);
        id = 0;
    }
    const QKeySequence keys = QKeySequence::mnemonic(m_caption);
    if (keys.isEmpty())
        return;
    const QKeyCombination alt = keys[0];
    m_acceleratorIds[0] = grabShortcut(keys);
    m_acceleratorIds[1] =
        grabShortcut(QKeyCombination(alt.keyboardModifiers() | Qt::ShiftModifier, alt.key()));
}

bool TZephCustomButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_keyWindow)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::WindowActivate: {
        // A window that gives no control the focus holds it itself, as when it
        // opens with only untabbable buttons: Enter goes to the Default button.
        const QWidget *focus = QApplication::focusWidget();
        if (!focus || focus->window() != m_keyWindow)
            focusChanged(m_keyWindow);
        break;
    }
    case QEvent::WindowBlocked:
        // A modal window takes the release of a held button.
        stopRepeat();
        m_clickArmed = false;
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (dialogKey(key) || dialogChar(key)) {
            key->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool TZephCustomButton::dialogKey(const QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if (!((enter && m_defaultActive) || (escape && m_cancel)))
        return false;
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (!canTakeFocus())
        return false;
    click();
    return true;
}

bool TZephCustomButton::dialogChar(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    QChar typed;
    if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        typed = QChar(event->key());
    else if (event->text().size() == 1)
        typed = event->text().at(0);
    const QChar mark = accelerator(m_caption);
    if (mark.isNull() || typed.isNull() || typed.toLower() != mark.toLower())
        return false;
    if (!canTakeFocus())
        return false;
    click();
    return true;
}

bool TZephCustomButton::canTakeFocus() const
{
    return isVisible() && isEnabled();
}

// --- framework notifications ----------------------------------------------------

void TZephCustomButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            // No release can reach a disabled button; stop what a press started.
            stopRepeat();
            m_clickArmed = false;
            m_hot = false;
            showLook(Look::Disabling);
        }
        requestRepaint();
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        if (edgedStyle())
            m_color = clBtnFace;
        if (m_parentColor)
            requestRepaint();
        break;
    case QEvent::FontChange:
        requestRepaint();
        break;
    default:
        break;
    }
}

void TZephCustomButton::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A hidden button gets no release either.
    stopRepeat();
    m_clickArmed = false;
    // Nor a leave when its window hides under the pointer: without this it
    // would open hot the next time the window is shown.
    pointerAt(false);
}

bool TZephCustomButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Show:
        watchWindowKeys();
        break;
    case QEvent::ToolTip:
        // The second line of the hint follows a carriage return, which Qt's tool
        // tips would not break at.
        if (toolTip().contains(QChar(13))) {
            QString text = toolTip();
            text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QChar(13), QChar(10));
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text, this);
            return true;
        }
        break;
    case QEvent::Shortcut:
        if (const int id = static_cast<QShortcutEvent *>(event)->shortcutId();
            id == m_acceleratorIds[0] || id == m_acceleratorIds[1]) {
            if (canTakeFocus())
                click();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

} // namespace kv
