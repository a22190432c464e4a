// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ImageList.h"
#include "TrayBackend.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;

namespace kv {

// One icon with a tool-tip in the desktop's notification area. The host's mouse
// messages become events: a click, a double click, and a right click that opens
// PopupMenu at the mouse position. With an image list the icon can be animated
// through the list's pictures.
//
// The icon is in the tray while Active is true (in design mode: while
// ShowDesigning is true), and comes back by itself when the tray host restarts.
// HostPresent tells whether there is a tray to show it at all.
class TTrayIcon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ active WRITE setActive)
    Q_PROPERTY(bool Animate READ animate WRITE setAnimate)
    Q_PROPERTY(int AnimateInterval READ animateInterval WRITE setAnimateInterval)
    Q_PROPERTY(bool ShowDesigning READ showDesigning WRITE setShowDesigning)
    Q_PROPERTY(QIcon Icon READ icon WRITE setIcon)
    Q_PROPERTY(kv::TImageList *Images READ images WRITE setImages)
    Q_PROPERTY(QString ToolTip READ toolTip WRITE setToolTip)
    Q_PROPERTY(QMenu *PopupMenu READ popupMenu WRITE setPopupMenu)
    Q_PROPERTY(QString Title READ title WRITE setTitle)
    Q_PROPERTY(QString Id READ id WRITE setId)
    Q_PROPERTY(bool HostPresent READ hostPresent NOTIFY hostPresentChanged)

public:
    static constexpr int kToolTipLength = 62;           // characters
    static constexpr int kDefaultAnimateInterval = 100; // ms

    // In the desktop's notification area.
    explicit TTrayIcon(QObject *owner = nullptr);
    // On the given backend, which the component takes over.
    TTrayIcon(TrayBackend *backend, QObject *owner);
    ~TTrayIcon() override;

    bool active() const { return m_active; }
    void setActive(bool value);

    bool animate() const { return m_animate; }
    // Switching on is refused, changing nothing, without pictures in Images or
    // while not Active. Switching on keeps the icon on show, also while already
    // animating, and switching off puts it back.
    void setAnimate(bool value);

    int animateInterval() const { return m_animateInterval; }
    // Values of 0 or below are ignored.
    void setAnimateInterval(int ms);

    bool showDesigning() const { return m_showDesigning; }
    // Ignored outside design mode.
    void setShowDesigning(bool value);

    const QIcon &icon() const { return m_icon; }
    void setIcon(const QIcon &icon);
    // Takes the picture into Icon without telling the tray, as loading a stored
    // window layout does; the next refresh carries it.
    void readIcon(const QIcon &icon) { m_icon = icon; }

    TImageList *images() const { return m_images; }
    void setImages(TImageList *images);

    const QString &toolTip() const { return m_toolTip; }
    // Keeps the first kToolTipLength characters.
    void setToolTip(const QString &text);

    // A passive message beside the icon, in place of the one before; false while
    // the icon is not in a tray that shows messages.
    bool showMessage(const QString &title, const QString &text);

    QMenu *popupMenu() const { return m_popupMenu; }
    // Also handed to hosts that draw the menu themselves.
    void setPopupMenu(QMenu *menu);

    // What hosts that list their icons call this one: a title for people, and
    // an id that stays the same between sessions, such as the desktop file's
    // name. Empty: the application's name.
    const QString &title() const { return m_title; }
    void setTitle(const QString &title);
    const QString &id() const { return m_id; }
    void setId(const QString &id);

    bool hostPresent() const { return m_backend->hostPresent(); }

    // Design mode: the component sits on a window being designed, where Active
    // only stores its value and ShowDesigning decides whether the icon shows.
    // Set it before anything else.
    bool designMode() const { return m_designMode; }
    void setDesignMode(bool on) { m_designMode = on; }

signals:
    void OnClick();
    void OnDblClick();
    // Always the right button with no modifiers; x and y in screen coordinates.
    void OnRightClick(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // A tray host has come where there was none, or the last one has gone.
    void hostPresentChanged(bool present);
    // The user clicked the message, which closes it.
    void messageClicked();

protected:
    bool event(QEvent *event) override;

private slots:
    void AnimationTick();

private:
    void Notification(QObject *component);
    void PrepareNotifyData();
    bool ShowInTray();
    bool RefreshInTray();
    bool RemoveFromTray();
    void ShowMenuAtCursor();
    bool TrayWindowProc(QEvent *message);
    bool shownInTray() const { return m_designMode ? m_showDesigning : m_active; }

    TrayBackend *m_backend;
    TrayNotifyData m_notifyData;
    QTimer *m_animationTimer;
    bool m_active = false;
    bool m_animate = false;
    int m_animateInterval = kDefaultAnimateInterval;
    bool m_showDesigning = false;
    bool m_designMode = false;
    QIcon m_icon;
    QIcon SavedIcon;
    int FrameIndex = 0;
    TImageList *m_images = nullptr;
    QMetaObject::Connection m_imagesGone;
    QString m_toolTip;
    QPointer<QMenu> m_popupMenu;
    QString m_title;
    QString m_id;
};

} // namespace kv
