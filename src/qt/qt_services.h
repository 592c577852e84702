// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/services.h"
#include "qt/settings_store.h"
#include "qt/sound.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

namespace tamberlight {

struct PictureMailbox;

// A picture as Qt loaded it.
class QtPicture : public Picture {
public:
    explicit QtPicture(QImage image)
        : image_(std::move(image)) {}
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

// Any format Qt's image plugins read, decoded at the size it is shown at in device pixels and
// turned upright as the photo's orientation says. Throws PlatformError when it is no picture;
// a named pipe, a device or a folder is never opened.
PictureHandle loadQtPicture(const std::string& path, QSize shown);

// "tamberlight: " and the message, on standard error.
void printToStandardError(const std::string& message);

class QtServices : public Services {
public:
    QtServices(SettingsStore settings, ErrorSink report = printToStandardError);
    ~QtServices() override;

    // The window the dialogs belong to.
    void setDialogParent(QWidget* parent) { parent_ = parent; }
    // What runs the work that arrives later (a loaded picture) as the window runs its handlers.
    using Boundary = std::function<void(const std::function<void()>& work)>;
    void setBoundary(Boundary boundary) { boundary_ = std::move(boundary); }
    // The window is closing: every sound ends now, and none starts until it is let again.
    void endSounds();
    void allowSounds() { silenced_ = false; }

    std::string showOpen() override;
    std::optional<Colour> showColour() override;
    void loadPicture(const std::string& path, float width, float height, PictureDone done) override;
    void beep() override;
    void playSound(const std::string& path) override;
    void stopSound() override;
    std::optional<std::string> readSettingsFile() override;
    void writeSettingsFile(std::string_view bytes) override;
    std::string keepUnsavedSettings(std::string_view bytes) override;
    void report(const std::string& message) override;

private:
    Sound& sound();

    SettingsStore settings_;
    ErrorSink report_;
    QPointer<QWidget> parent_;
    Boundary boundary_;
    // Where a picture loaded on a thread of its own is handed back; the thread finds nothing
    // there once these services are gone.
    std::shared_ptr<PictureMailbox> pictures_;
    // The one dialog object remembers where it was last: the folder of the file chosen last
    // and the colour chosen last.
    QString lastFolder_;
    QColor lastColour_ = Qt::black;
    std::unique_ptr<Sound> sound_; // loaded on the first sound, not at start-up
    bool silenced_ = false;
};

} // namespace tamberlight
