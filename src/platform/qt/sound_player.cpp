#include "platform/qt/sound_player.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <memory>
#include <numbers>

namespace tamberlight {

namespace {

constexpr int ToneRate = 44100;
constexpr double ToneHertz = 880.0;
constexpr double ToneSeconds = 0.2;
constexpr double FadeSeconds = 0.01;

QByteArray makeTone() {
    const int samples = static_cast<int>(ToneRate * ToneSeconds);
    const int fade = static_cast<int>(ToneRate * FadeSeconds);
    QByteArray pcm(samples * static_cast<int>(sizeof(std::int16_t)), Qt::Uninitialized);
    auto* out = reinterpret_cast<std::int16_t*>(pcm.data());
    for (int i = 0; i < samples; ++i) {
        const double envelope = std::min(
            {1.0, static_cast<double>(i) / fade, static_cast<double>(samples - 1 - i) / fade});
        const double wave = std::sin(2 * std::numbers::pi * ToneHertz * i / ToneRate);
        out[i] = static_cast<std::int16_t>(std::lround(wave * envelope * 0.5 * 32767));
    }
    return pcm;
}

} // namespace

SoundPlayer::SoundPlayer()
    : tone_(makeTone()) {}

void SoundPlayer::play(const std::string& path) {
    const QString file = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    if (!QFileInfo(file).isFile()) {
        playFailed(file, QStringLiteral("no such file"));
        return;
    }
    // Without any output the media framework plays into nothing and reports no error.
    if (QMediaDevices::audioOutputs().isEmpty()) {
        playFailed(file, QStringLiteral("no audio output"));
        return;
    }
    auto* player = new QMediaPlayer(this);
    player->setAudioOutput(new QAudioOutput(player));
    // Qt may report one failure more than once; the user hears one beep for it.
    auto failed = std::make_shared<bool>(false);
    auto fail = [this, player, file, failed](const QString& why) {
        if (*failed)
            return;
        *failed = true;
        playFailed(file, why);
        player->deleteLater();
    };
    connect(player, &QMediaPlayer::errorOccurred, this,
            [fail](QMediaPlayer::Error, const QString& why) { fail(why); });
    connect(player, &QMediaPlayer::mediaStatusChanged, this,
            [player, fail](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::InvalidMedia)
                    fail(QStringLiteral("not a sound this system can play"));
                else if (status == QMediaPlayer::EndOfMedia)
                    player->deleteLater();
            });
    player->setSource(QUrl::fromLocalFile(file));
    player->play();
}

void SoundPlayer::beep() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        QApplication::beep();
        return;
    }
    QAudioFormat format;
    format.setSampleRate(ToneRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    auto* sink = new QAudioSink(device, format, this);
    auto* buffer = new QBuffer(sink);
    buffer->setData(tone_);
    buffer->open(QIODevice::ReadOnly);
    connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        if (state == QAudio::IdleState || state == QAudio::StoppedState)
            sink->deleteLater();
    });
    sink->start(buffer);
}

void SoundPlayer::playFailed(const QString& path, const QString& why) {
    std::cerr << "tamberlight: cannot play " << path.toStdString() << ": " << why.toStdString()
              << "; beeping instead\n";
    beep();
}

} // namespace tamberlight

extern "C" __attribute__((visibility("default"))) tamberlight::Sound* tamberlight_make_sound() {
    return new tamberlight::SoundPlayer;
}
