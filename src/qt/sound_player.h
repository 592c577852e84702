// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "qt/sound.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <string>

namespace tamberlight {

// Plays sound files and the beep through the system's audio output, one at a time: a new sound
// ends the one before it. A play that fails, or a file that holds no sound (a picture chosen by
// mistake), beeps instead and says why in one line.
class SoundPlayer : public QObject, public Sound {
    Q_OBJECT
public:
    explicit SoundPlayer(ErrorSink report);
    ~SoundPlayer() override;

    void play(const std::string& path) override;
    // A short tone of our own: many desktops mute the toolkit's bell. The bell is used only
    // where there is no audio output at all.
    void beep() override;
    void stop() override;

private:
    void hush();
    void playFailed(const QString& path, const QString& why);
    // Whether the system has an audio output; without one the user is told once.
    bool canBeHeard();

    ErrorSink report_;
    QByteArray tone_;
    bool toldSilent_ = false;
};

} // namespace tamberlight

// What the sound module gives the program that loads it.
extern "C" tamberlight::Sound* tamberlight_make_sound(const tamberlight::ErrorSink* report);
