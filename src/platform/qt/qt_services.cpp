#include "platform/qt/qt_services.h"

#include "platform/media_command.h"
#include "platform/platform_error.h"
#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QImageReader>
#include <dlfcn.h>
#include <iostream>

namespace tamberlight {

PictureHandle loadQtPicture(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    QImage image = reader.read();
    if (image.isNull())
        throw PlatformError("cannot load a picture from " + path + ": " +
                            reader.errorString().toStdString());
    return std::make_shared<QtPicture>(std::move(image));
}

namespace {

constexpr const char* SoundModule = "libtamberlight_sound.so";

class Bell : public Sound {
public:
    void play(const std::string&) override { QApplication::beep(); }
    void beep() override { QApplication::beep(); }
};

} // namespace

std::unique_ptr<Sound> loadSound() {
    // Beside the executable in a build, in the library folder once installed.
    const QString programDir = QCoreApplication::applicationDirPath();
    std::string why;
    for (const QString& dir :
         {programDir, programDir + QStringLiteral("/" TAMBERLIGHT_MODULE_DIR)}) {
        const std::string path =
            (dir + QLatin1Char('/') + QLatin1String(SoundModule)).toStdString();
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            why = ::dlerror();
            continue;
        }
        // The module stays loaded for the rest of the run: its players outlive any one call.
        using Make = Sound* (*)();
        if (auto make = reinterpret_cast<Make>(::dlsym(module, "tamberlight_make_sound")))
            return std::unique_ptr<Sound>(make());
        why = path + ": no sound factory";
    }
    std::cerr << "tamberlight: sound: cannot load the sound module (" << why
              << "); the bell stands for every sound" << std::endl;
    return std::make_unique<Bell>();
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

Sound& QtServices::sound() {
    if (!sound_)
        sound_ = loadSound();
    return *sound_;
}

} // namespace tamberlight
