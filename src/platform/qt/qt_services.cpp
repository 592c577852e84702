#include "platform/qt/qt_services.h"

#include "platform/media_command.h"
#include "platform/platform_error.h"
#include "platform/qt/sound_player.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QImageReader>

namespace tamberlight {

PictureHandle loadQtPicture(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    QImage image = reader.read();
    if (image.isNull())
        throw PlatformError("cannot load a picture from " + path + ": " +
                            reader.errorString().toStdString());
    return std::make_shared<QtPicture>(std::move(image));
}

QtServices::QtServices() = default;
QtServices::~QtServices() = default;

std::string QtServices::showOpen() {
    return QFileDialog::getOpenFileName(parent_.data()).toStdString();
}

std::optional<Colour> QtServices::showColor() {
    const QColor colour = QColorDialog::getColor(Qt::black, parent_.data());
    if (!colour.isValid())
        return std::nullopt;
    return rgb(colour.red(), colour.green(), colour.blue());
}

PictureHandle QtServices::loadPicture(const std::string& path) {
    return loadQtPicture(path);
}

void QtServices::beep() {
    sound().beep();
}

void QtServices::mediaCommand(const std::string& command) {
    sound().play(parsePlayCommand(command));
}

std::string QtServices::executableDirectory() {
    return QCoreApplication::applicationDirPath().toStdString();
}

SoundPlayer& QtServices::sound() {
    if (!sound_)
        sound_ = std::make_unique<SoundPlayer>();
    return *sound_;
}

} // namespace tamberlight
