// SPDX-License-Identifier: GPL-3.0-or-later
// The hover sound's player, in a module of its own: Qt Multimedia and the audio
// libraries beneath it are mapped only when a button first sounds.
#include <QSoundEffect>
#include <QUrl>

extern "C" Q_DECL_EXPORT QObject *kvCreateHoverEffect(QObject *parent, const QUrl &source)
{
    auto *effect = new QSoundEffect(parent);
    effect->setSource(source);
    return effect;
}
