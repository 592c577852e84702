// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/qt_services.h"

#include "platform/platform_error.h"
#include "qt/checked_file.h"
#include "qt/modules.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <iostream>
#include <mutex>
#include <thread>

namespace tamberlight {

PictureHandle loadQtPicture(const std::string& path, QSize shown) {
    if (const std::optional<std::string> kind = specialKind(path))
        throw PlatformError("cannot show " + path + " as the dial picture: it is " + *kind +
                            ", not a picture");
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

// Lets a thread hand a loaded picture to the window's thread for as long as the services live.
struct PictureMailbox {
    std::mutex lock;
    QObject* receiver;
};

QtServices::QtServices(SettingsStore settings, ErrorSink report)
    : settings_(std::move(settings))
    , report_(std::move(report))
    , pictures_(std::make_shared<PictureMailbox>())
    , lastFolder_(QDir::homePath()) {
    pictures_->receiver = new QObject;
}

QtServices::~QtServices() {
    const std::lock_guard closed(pictures_->lock);
    delete std::exchange(pictures_->receiver, nullptr);
}

std::string QtServices::showOpen() {
    const QString chosen = QFileDialog::getOpenFileName(parent_.data(), QString(), lastFolder_);
    if (!chosen.isEmpty())
        lastFolder_ = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}

std::optional<Colour> QtServices::showColour() {
    const QColor colour = QColorDialog::getColor(lastColour_, parent_.data());
    if (!colour.isValid())
        return std::nullopt;
    lastColour_ = colour;
    return rgb(colour.red(), colour.green(), colour.blue());
}

// The picture is read on a thread of its own: a file on a stalled disk holds up that thread
// alone, and the window goes on answering (and saving when the session ends).
void QtServices::loadPicture(const std::string& path, float width, float height, PictureDone done) {
    const qreal ratio = parent_ ? parent_->devicePixelRatioF() : qApp->devicePixelRatio();
    const QSize shown = (QSizeF(width, height) * ratio).toSize();
    const Boundary boundary =
        boundary_ ? boundary_ : [](const std::function<void()>& work) { work(); };
    std::thread([path, shown, done = std::move(done), boundary, mailbox = pictures_] {
        PictureHandle picture;
        std::string why;
        try {
            picture = loadQtPicture(path, shown);
        } catch (const PlatformError& error) {
            why = error.what();
        }
        const std::lock_guard open(mailbox->lock);
        if (mailbox->receiver != nullptr)
            QMetaObject::invokeMethod(
                mailbox->receiver, [=] { boundary([&] { done(picture, why); }); },
                Qt::QueuedConnection);
    }).detach();
}

void QtServices::beep() {
    if (!silenced_)
        sound().beep();
}

void QtServices::playSound(const std::string& path) {
    if (!silenced_)
        sound().play(path);
}

void QtServices::stopSound() {
    if (sound_)
        sound_->stop();
}

void QtServices::endSounds() {
    silenced_ = true;
    if (sound_)
        sound_->stop();
}

std::optional<std::string> QtServices::readSettingsFile() {
    if (const std::optional<std::filesystem::path> unsaved = settings_.unsavedCopy())
        report_("the settings that could not be saved when the last session ended are kept in " +
                unsaved->string() + "; they are not loaded");
    return settings_.read();
}

void QtServices::writeSettingsFile(std::string_view bytes) {
    // A save that went beside the file, or that is not yet on the disk, is told.
    if (const std::optional<std::string> notice = settings_.write(bytes))
        report_(*notice);
}

std::string QtServices::keepUnsavedSettings(std::string_view bytes) {
    return settings_.keepUnsaved(bytes).string();
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
