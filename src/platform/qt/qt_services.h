#pragma once

#include "platform/qt/sound.h"
#include "platform/services.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace tamberlight {

// A picture as Qt loaded it.
class QtPicture : public Picture {
public:
    explicit QtPicture(QImage image)
        : image_(std::move(image)) {}
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

// Any format Qt's image plugins read. Throws PlatformError when the file is no picture.
PictureHandle loadQtPicture(const std::string& path);

class QtServices : public Services {
public:
    QtServices();
    ~QtServices() override;

    // The window the dialogs belong to.
    void setDialogParent(QWidget* parent) { parent_ = parent; }

    std::string showOpen() override;
    std::optional<Colour> showColor() override;
    PictureHandle loadPicture(const std::string& path) override;
    void beep() override;
    void mediaCommand(const std::string& command) override;
    std::string executableDirectory() override;

private:
    Sound& sound();

    QPointer<QWidget> parent_;
    std::unique_ptr<Sound> sound_; // loaded on the first sound, not at start-up
};

} // namespace tamberlight
