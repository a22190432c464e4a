// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowActivation.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <cstring>
#include <optional>

namespace kv {

namespace {

Atom atom(Display *display, const char *name)
{
    return XInternAtom(display, name, False);
}

// Ends the launcher's start-up feedback (a busy cursor, a spinning entry): the
// start it shows ended in this window. The message goes to the root window in
// pieces of 20 bytes, the first of one type, the rest of another.
void sendStartupComplete(Display *display, Window window, const QByteArray &startupId)
{
    QByteArray quoted = startupId;
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    const QByteArray message = "remove: ID=\"" + quoted + '"';
    const Atom begin = atom(display, "_NET_STARTUP_INFO_BEGIN");
    const Atom more = atom(display, "_NET_STARTUP_INFO");
    constexpr qsizetype kPiece = 20;
    // The terminating zero goes too.
    for (qsizetype at = 0; at <= message.size(); at += kPiece) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = at == 0 ? begin : more;
        event.xclient.format = 8;
        const qsizetype length = std::min(kPiece, message.size() + 1 - at);
        std::memcpy(event.xclient.data.b, message.constData() + at, size_t(length));
        XSendEvent(display, DefaultRootWindow(display), False, PropertyChangeMask, &event);
    }
}

bool activateOnX11(QWidget *window, const QByteArray &startupId)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const std::optional<unsigned long> time = WindowActivation::startupTime(startupId);
    if (!x11 || !x11->display() || !time)
        return false;
    Display *display = x11->display();
    const Window id = window->winId();
    XChangeProperty(display, id, atom(display, "_NET_STARTUP_ID"), atom(display, "UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(startupId.data()),
                    int(startupId.size()));
    // From an application (1), at the moment of the user's action, which is
    // later than anything the user did in another window before.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = atom(display, "_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;
    event.xclient.data.l[1] = long(*time);
    event.xclient.data.l[2] = 0;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    sendStartupComplete(display, id, startupId);
    XFlush(display);
    return true;
}

// Asked of the window manager at every call: Qt asks only while it takes the
// window for inactive, and once until it sees it activated, and under XWayland
// it misses focus that went to a Wayland window.
bool askAttentionOnX11(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display())
        return false;
    Display *display = x11->display();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window->winId();
    event.xclient.message_type = atom(display, "_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1; // add
    event.xclient.data.l[1] = long(atom(display, "_NET_WM_STATE_DEMANDS_ATTENTION"));
    event.xclient.data.l[3] = 1; // from an application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
    return true;
}

bool activateOnWayland(QWidget *window, const QByteArray &token)
{
    QWindow *handle = window->windowHandle();
    if (token.isEmpty() || !handle)
        return false;
    // Qt's xdg-shell integration hands the compositor the token it finds here,
    // as it asks; the programs that tasks start must not inherit a spent one.
    qputenv("XDG_ACTIVATION_TOKEN", token);
    handle->requestActivate();
    qunsetenv("XDG_ACTIVATION_TOKEN");
    return true;
}

} // namespace

std::optional<unsigned long> WindowActivation::startupTime(const QByteArray &startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return std::nullopt;
    const QByteArray digits = startupId.mid(at + 5);
    bool number = false;
    const qulonglong time = digits.toULongLong(&number);
    // Digits only, and an X time is 32 bits wide. 0 is CurrentTime, which a
    // window manager reads as "no user action known".
    const bool plain = !digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), [](char c) {
        return c >= '0' && c <= '9';
    });
    if (!number || !plain || time == 0 || time > 0xFFFFFFFFULL)
        return std::nullopt;
    return static_cast<unsigned long>(time);
}

void WindowActivation::activate(QWidget *window, const QByteArray &token)
{
    const QString platform = QGuiApplication::platformName();
    const bool done =
        platform == QLatin1String("xcb") ? activateOnX11(window, token) || askAttentionOnX11(window)
        : platform.startsWith(QLatin1String("wayland")) ? activateOnWayland(window, token)
                                                        : false;
    if (!done)
        QApplication::alert(window);
}

} // namespace kv
