// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZephSound.h"

#include "ZephArt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPointer>
#include <QUrl>

namespace kv {

QtHoverSound::QtHoverSound(QObject *parent, const QUrl &source)
    : QObject(parent), m_source(source.isEmpty() ? QUrl(zeph::hoverSoundUrl()) : source)
{}

namespace {

using CreateEffect = QObject *(*)(QObject *parent, const QUrl &source);

// Beside the program, then where it is installed, then where it was built.
CreateEffect loadPlayer()
{
    static const CreateEffect create = [] {
        const QString name = QStringLiteral("kronvale-hoversound.so");
        const QString folder = QCoreApplication::applicationDirPath();
        for (const QString &path :
             {QDir(folder).filePath(name),
              QDir::cleanPath(folder + QStringLiteral("/" KV_SOUND_MODULE_FROM_BIN "/") + name),
              QStringLiteral(KV_SOUND_MODULE_BUILT)}) {
            if (!QFileInfo(path).isFile())
                continue;
            QLibrary module(path);
            if (auto found = reinterpret_cast<CreateEffect>(module.resolve("kvCreateHoverEffect")))
                return found;
            qWarning("No hover sound: %s", qUtf8Printable(module.errorString()));
        }
        return CreateEffect(nullptr);
    }();
    return create;
}

} // namespace

void QtHoverSound::play()
{
    if (!m_loaded) {
        m_loaded = true;
        if (const CreateEffect create = loadPlayer())
            m_effect = create(this, m_source);
    }
    // QSoundEffect::play, a slot.
    if (m_effect)
        QMetaObject::invokeMethod(m_effect, "play");
}

HoverSound *defaultHoverSound()
{
    static QPointer<QtHoverSound> player;
    if (!player)
        player = new QtHoverSound(QCoreApplication::instance());
    return player;
}

} // namespace kv
