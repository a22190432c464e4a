// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZephSound.h"

#include "ZephArt.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace kv {

QtHoverSound::QtHoverSound(QObject *parent, const QUrl &source)
    : QObject(parent), m_source(source.isEmpty() ? QUrl(zeph::hoverSoundUrl()) : source)
{}

void QtHoverSound::play()
{
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        m_effect->setSource(m_source);
    }
    m_effect->play();
}

HoverSound *defaultHoverSound()
{
    static QPointer<QtHoverSound> player;
    if (!player)
        player = new QtHoverSound(QCoreApplication::instance());
    return player;
}

} // namespace kv
