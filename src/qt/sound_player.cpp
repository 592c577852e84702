// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/sound_player.h"

#include "qt/checked_file.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>

namespace tamberlight {

namespace {

constexpr int ToneRate = 44100;
constexpr double ToneHertz = 880.0;
constexpr double ToneSeconds = 0.4;
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

SoundPlayer::SoundPlayer(ErrorSink report)
    : report_(std::move(report))
    , tone_(makeTone()) {}

SoundPlayer::~SoundPlayer() {
    stop();
}

void SoundPlayer::stop() {
    for (QAudioSink* sink : findChildren<QAudioSink*>(Qt::FindDirectChildrenOnly)) {
        sink->stop();
        delete sink;
    }
    for (QMediaPlayer* player : findChildren<QMediaPlayer*>(Qt::FindDirectChildrenOnly)) {
        player->stop();
        delete player;
    }
}

// Without any output the media framework plays into nothing and reports no error.
bool SoundPlayer::canBeHeard() {
    if (!QMediaDevices::audioOutputs().isEmpty()) {
        toldSilent_ = false;
        return true;
    }
    if (!toldSilent_)
        report_("there is no audio output, so alarms cannot be heard; the clock goes on");
    toldSilent_ = true;
    return false;
}

// A new sound ends the one before it, so that sounds never pile up: each player and each tone
// is stopped at once and goes when the event loop next runs (it may be the one now reporting).
void SoundPlayer::hush() {
    for (QAudioSink* sink : findChildren<QAudioSink*>(Qt::FindDirectChildrenOnly)) {
        sink->stop();
        sink->deleteLater();
    }
    for (QMediaPlayer* player : findChildren<QMediaPlayer*>(Qt::FindDirectChildrenOnly)) {
        player->stop();
        player->deleteLater();
    }
}

void SoundPlayer::play(const std::string& path) {
    hush();
    const QString file = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    // A named pipe or a device is never opened: it could hold the player up for good.
    if (const std::optional<std::string> kind = specialKind(file.toStdString())) {
        playFailed(file, QString::fromStdString("it is " + *kind + ", not a sound file"));
        return;
    }
    if (path.empty() || !QFileInfo(file).isFile()) {
        playFailed(file, QStringLiteral("no such file"));
        return;
    }
    if (!canBeHeard()) {
        QApplication::beep();
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
    // A picture or a silent video loads as media like any other, only without sound.
    connect(
        player, &QMediaPlayer::mediaStatusChanged, this,
        [player, fail](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::InvalidMedia)
                fail(QStringLiteral("not a sound this system can play"));
            else if ((status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::EndOfMedia) &&
                     !player->hasAudio())
                fail(QStringLiteral("it holds no sound"));
            else if (status == QMediaPlayer::EndOfMedia)
                player->deleteLater();
        });
    player->setSource(QUrl::fromLocalFile(file));
    player->play();
}

void SoundPlayer::beep() {
    hush();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!canBeHeard() || device.isNull()) {
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
    // The sink turns idle once it has handed the whole tone to the audio server, before the
    // server has played it: deleting it then would cut the tone to a click. It stays until the
    // tone has been played out, with room for the server's buffering.
    sink->start(buffer);
    QTimer::singleShot(static_cast<int>(ToneSeconds * 1000) + 1000, sink, [sink] {
        sink->stop();
        sink->deleteLater();
    });
}

void SoundPlayer::playFailed(const QString& path, const QString& why) {
    report_("cannot play " + path.toStdString() + ": " + why.toStdString() + "; beeping instead");
    beep();
}

} // namespace tamberlight

extern "C" __attribute__((visibility("default"))) tamberlight::Sound*
tamberlight_make_sound(const tamberlight::ErrorSink* report) {
    return new tamberlight::SoundPlayer(*report);
}
