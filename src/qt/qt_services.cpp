// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/qt_services.h"

#include "platform/media_command.h"
#include "platform/platform_error.h"
#include "qt/modules.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <iostream>

namespace tamberlight {

PictureHandle loadQtPicture(const std::string& path, QSize shown) {
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    // A phone photo is more than Qt decodes whole by default. It is decoded at the size it is
    // shown at; the turn its orientation asks for comes after the scaling, so a photo taken
    // upright is scaled to the shown size turned.
    const QSize stored = reader.size();
    if (stored.isValid() && (stored.width() > shown.width() || stored.height() > shown.height())) {
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        reader.setScaledSize(turned ? shown.transposed() : shown);
    }
    QImage image = reader.read();
    if (image.isNull())
        throw PlatformError("cannot show " + path +
                            " as the dial picture: " + reader.errorString().toStdString());
    return std::make_shared<QtPicture>(std::move(image));
}

void printToStandardError(const std::string& message) {
    std::cerr << "tamberlight: " << message << std::endl;
}

namespace {

class Bell : public Sound {
public:
    void play(const std::string&) override { QApplication::beep(); }
    void beep() override { QApplication::beep(); }
    void stop() override {}
};

} // namespace

std::unique_ptr<Sound> loadSound(const ErrorSink& report) {
    std::string why;
    using Make = Sound* (*)(const ErrorSink*);
    if (auto make = reinterpret_cast<Make>(
            moduleFunction("libtamberlight_sound.so", "tamberlight_make_sound", why)))
        return std::unique_ptr<Sound>(make(&report));
    report("cannot load the sound module (" + why + "); the bell stands in for every sound");
    return std::make_unique<Bell>();
}

QtServices::QtServices(SettingsStore settings, ErrorSink report)
    : settings_(std::move(settings))
    , report_(std::move(report))
    , lastFolder_(QDir::homePath()) {}

QtServices::~QtServices() = default;

std::string QtServices::showOpen() {
    const QString chosen = QFileDialog::getOpenFileName(parent_.data(), QString(), lastFolder_);
    if (!chosen.isEmpty())
        lastFolder_ = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}

std::optional<Colour> QtServices::showColor() {
    const QColor colour = QColorDialog::getColor(lastColour_, parent_.data());
    if (!colour.isValid())
        return std::nullopt;
    lastColour_ = colour;
    return rgb(colour.red(), colour.green(), colour.blue());
}

PictureHandle QtServices::loadPicture(const std::string& path, float width, float height) {
    const qreal ratio = parent_ ? parent_->devicePixelRatioF() : qApp->devicePixelRatio();
    return loadQtPicture(path, (QSizeF(width, height) * ratio).toSize());
}

void QtServices::beep() {
    if (!silenced_)
        sound().beep();
}

void QtServices::mediaCommand(const std::string& command) {
    const std::string path = parsePlayCommand(command);
    if (!silenced_)
        sound().play(path);
}

void QtServices::endSounds() {
    silenced_ = true;
    if (sound_)
        sound_->stop();
}

std::optional<std::string> QtServices::readSettingsFile() {
    return settings_.read();
}

void QtServices::writeSettingsFile(std::string_view bytes) {
    settings_.write(bytes);
}

void QtServices::report(const std::string& message) {
    report_(message);
}

Sound& QtServices::sound() {
    if (!sound_)
        sound_ = loadSound(report_);
    return *sound_;
}

} // namespace tamberlight
