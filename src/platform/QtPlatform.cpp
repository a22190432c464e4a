// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtPlatform.h"

namespace kv {

namespace {

const char *const kVariable = "QT_QPA_PLATFORM";

} // namespace

QByteArray QtPlatform::chosenFor(const QProcessEnvironment &environment)
{
    // Qt reads an empty variable as unset.
    if (!environment.value(QString::fromLatin1(kVariable)).isEmpty())
        return {};
    const bool wayland =
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (wayland && !environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return QByteArrayLiteral("xcb");
    return {};
}

QtPlatform::QtPlatform()
{
    const QByteArray platform = chosenFor(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty())
        m_set = qputenv(kVariable, platform);
}

void QtPlatform::release()
{
    if (m_set)
        qunsetenv(kVariable);
    m_set = false;
}

} // namespace kv
