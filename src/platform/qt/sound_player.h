#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <string>

namespace tamberlight {

// Plays sound files and the beep through the system's audio output. Every play is its own
// player, so plays overlap and go on while the clock runs. A play that fails beeps instead and
// says why in one line on standard error.
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    SoundPlayer();

    void play(const std::string& path);
    // A short tone of our own: many desktops mute the toolkit's bell. The bell is used only
    // where there is no audio output at all.
    void beep();

private:
    void playFailed(const QString& path, const QString& why);

    QByteArray tone_;
};

} // namespace tamberlight
