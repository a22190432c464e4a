// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayIcon.h"

#include "QtTrayBackend.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QTimer>

namespace kv {

namespace {

// The host's mouse messages and the component's own re-tip request reach the
// component as events, like messages to a window of its own.
const QEvent::Type TrayCallbackMessage = QEvent::Type(QEvent::registerEventType());
const QEvent::Type TrayRetipMessage = QEvent::Type(QEvent::registerEventType());

class TrayCallbackEvent : public QEvent
{
public:
    explicit TrayCallbackEvent(TrayMouseMessage message)
        : QEvent(TrayCallbackMessage), message(message)
    {}
    const TrayMouseMessage message;
};

// The first `length` characters; counted in code points so that a cut never
// leaves half a surrogate pair behind.
QString firstCharacters(const QString &text, int length)
{
    qsizetype end = 0;
    for (int n = 0; n < length && end < text.size(); ++n) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                          text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

} // namespace

TTrayIcon::TTrayIcon(QObject *owner) : TTrayIcon(new QtTrayBackend, owner) {}

TTrayIcon::TTrayIcon(TrayBackend *backend, QObject *owner)
    : QObject(owner), m_backend(backend), m_animationTimer(new QTimer(this))
{
    m_backend->setParent(this);
    m_animationTimer->setObjectName(QStringLiteral("AnimationTimer"));
    m_animationTimer->setInterval(kDefaultAnimateInterval);
    connect(m_animationTimer, &QTimer::timeout, this, &TTrayIcon::AnimationTick);
    connect(m_backend, &TrayBackend::mouseMessage, this, [this](TrayMouseMessage message) {
        TrayCallbackEvent event(message);
        QCoreApplication::sendEvent(this, &event);
    });
    // A restarted host knows nothing of the icons added before.
    connect(m_backend, &TrayBackend::hostReturned, this, [this] {
        if (shownInTray())
            ShowInTray();
    });
    connect(m_backend, &TrayBackend::hostPresentChanged, this, &TTrayIcon::hostPresentChanged);
    connect(m_backend, &TrayBackend::messageClicked, this, &TTrayIcon::messageClicked);
}

TTrayIcon::~TTrayIcon()
{
    if (shownInTray())
        RemoveFromTray();
}

void TTrayIcon::setActive(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    if (m_designMode)
        return;
    if (value)
        ShowInTray();
    else
        RemoveFromTray();
}

void TTrayIcon::setAnimate(bool value)
{
    if (value && (!m_images || m_images->count() == 0 || !m_active))
        return;
    const bool wasRunning = m_animate;
    m_animate = value;
    if (value) {
        // Also on a restart: the picture on show now is the one to put back.
        SavedIcon = m_icon;
        FrameIndex = 0;
        m_animationTimer->start();
    } else {
        m_animationTimer->stop();
        // Only a running animation has an icon to put back; an idle one would
        // wipe the current icon with a stale or empty copy, so it sends the
        // current icon again instead.
        setIcon(wasRunning ? SavedIcon : QIcon(m_icon));
    }
}

void TTrayIcon::setAnimateInterval(int ms)
{
    if (ms <= 0)
        return;
    m_animateInterval = ms;
    m_animationTimer->setInterval(ms);
}

void TTrayIcon::setShowDesigning(bool value)
{
    if (!m_designMode || value == m_showDesigning)
        return;
    m_showDesigning = value;
    if (value)
        ShowInTray();
    else
        RemoveFromTray();
}

void TTrayIcon::setIcon(const QIcon &icon)
{
    if (&icon == &m_icon)
        return;
    m_icon = icon;
    RefreshInTray();
}

void TTrayIcon::setImages(TImageList *images)
{
    if (images == m_images)
        return;
    disconnect(m_imagesGone);
    m_images = images;
    if (images)
        m_imagesGone = connect(images, &QObject::destroyed, this, &TTrayIcon::Notification);
}

void TTrayIcon::setToolTip(const QString &text)
{
    m_toolTip = firstCharacters(text, kToolTipLength);
    RefreshInTray();
}

void TTrayIcon::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
    m_backend->setMenu(menu);
}

void TTrayIcon::setTitle(const QString &title)
{
    m_title = title;
    m_backend->setItemNames(m_title, m_id);
}

void TTrayIcon::setId(const QString &id)
{
    m_id = id;
    m_backend->setItemNames(m_title, m_id);
}

bool TTrayIcon::event(QEvent *event)
{
    return TrayWindowProc(event);
}

void TTrayIcon::AnimationTick()
{
    const int count = m_images ? m_images->count() : 0;
    if (count == 0)
        return; // nothing to show until the list has pictures again
    // Also wraps an index that a shrinking list has left past its end.
    FrameIndex = FrameIndex >= count - 1 ? 0 : FrameIndex + 1;
    setIcon(m_images->icon(FrameIndex));
}

void TTrayIcon::Notification(QObject *component)
{
    if (component != m_images)
        return;
    setAnimate(false);
    m_images = nullptr;
}

void TTrayIcon::PrepareNotifyData()
{
    m_notifyData.icon = m_icon;
    m_notifyData.tip = m_toolTip;
}

bool TTrayIcon::ShowInTray()
{
    PrepareNotifyData();
    const bool accepted = m_backend->add(m_notifyData);
    // An icon added before it has a tip is sent again once the event loop runs,
    // by then with the tip that its owner has set meanwhile.
    if (m_toolTip.isEmpty())
        QCoreApplication::postEvent(this, new QEvent(TrayRetipMessage));
    return accepted;
}

bool TTrayIcon::RefreshInTray()
{
    PrepareNotifyData();
    return m_active ? m_backend->modify(m_notifyData) : true;
}

bool TTrayIcon::RemoveFromTray()
{
    return m_backend->remove(m_notifyData);
}

bool TTrayIcon::showMessage(const QString &title, const QString &text)
{
    return shownInTray() && m_backend->showMessage(title, text);
}

void TTrayIcon::ShowMenuAtCursor()
{
    const QPoint at = QCursor::pos();
    // QMenu grabs mouse and keyboard itself and closes on a click elsewhere, so
    // no window needs bringing forward first.
    if (m_popupMenu)
        m_popupMenu->popup(at);
    emit OnRightClick(Qt::RightButton, Qt::NoModifier, at.x(), at.y());
}

bool TTrayIcon::TrayWindowProc(QEvent *message)
{
    if (message->type() == TrayRetipMessage) {
        setToolTip(m_toolTip);
        return true;
    }
    if (message->type() != TrayCallbackMessage)
        return QObject::event(message);
    switch (static_cast<TrayCallbackEvent *>(message)->message) {
    case TrayMouseMessage::LeftButtonUp:
        emit OnClick();
        break;
    case TrayMouseMessage::LeftButtonDoubleClick:
        emit OnDblClick();
        break;
    case TrayMouseMessage::RightButtonUp:
        ShowMenuAtCursor();
        break;
    default:
        break;
    }
    return true;
}

} // namespace kv
