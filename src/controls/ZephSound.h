// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QUrl>

namespace kv {

// Plays the skinned button's hover sound. Playing never waits for the sound to
// end and never fails visibly, with or without a sound device.
class HoverSound
{
public:
    virtual ~HoverSound() = default;
    virtual void play() = 0;
};

// The hover sound through Qt Multimedia, which sits in a module loaded at the
// first play: programs whose buttons never sound neither map its libraries nor
// start an audio backend. Without the module the buttons stay silent.
class QtHoverSound : public QObject, public HoverSound
{
    Q_OBJECT

public:
    // The button's own sound, or another one (a wave file).
    explicit QtHoverSound(QObject *parent = nullptr, const QUrl &source = QUrl());
    void play() override;

private:
    QUrl m_source;
    QObject *m_effect = nullptr;
    bool m_loaded = false;
};

// The player shared by all buttons that were given none; it lives as long as
// the application object.
HoverSound *defaultHoverSound();

} // namespace kv
