// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

// A colour as the colour dialog gives it: red in the lowest byte, then green, then blue.
using Colour = std::uint32_t;

constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 |
           static_cast<Colour>(blue) << 16;
}
constexpr int redOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// A loaded picture; only the toolkit that loaded it knows how to draw it.
class Picture {
public:
    virtual ~Picture() = default;
};
using PictureHandle = std::shared_ptr<const Picture>;

// What the window needs from outside itself. The toolkit implements it for real; tests
// answer the dialogs and record the sounds.
class Services {
public:
    virtual ~Services() = default;

    // The open-file dialog: the chosen file's full path, or "" when nothing was chosen.
    virtual std::string showOpen() = 0;
    // The colour dialog: the chosen colour, or nothing when the dialog was cancelled.
    virtual std::optional<Colour> showColour() = 0;
    // Loads the picture for showing stretched to this size in pixels and hands it to done, or
    // hands done nothing and why when the path names no readable picture. done may run at once
    // or later, on the window's thread and within its boundary: a picture on a slow or stalled
    // disk never holds the window up.
    using PictureDone = std::function<void(PictureHandle picture, const std::string& why)>;
    virtual void loadPicture(const std::string& path, float width, float height,
                             PictureDone done) = 0;
    // Each sound ends the one before it.
    virtual void beep() = 0;
    // Plays a sound file; returns at once and the sound plays on. A file that cannot be played
    // beeps instead, and the user hears why.
    virtual void playSound(const std::string& path) = 0;
    virtual void stopSound() = 0;
    // The settings file's bytes, or nothing when there is none yet. Throws PlatformError for a
    // file that is there but cannot be read or is no settings file at all; that file is then
    // never written over.
    virtual std::optional<std::string> readSettingsFile() = 0;
    // Replaces the settings file with these bytes. Throws PlatformError, and then the previous
    // file is still there, whole.
    virtual void writeSettingsFile(std::string_view bytes) = 0;
    // Keeps the settings file's bytes where they are never loaded from, for when the file itself
    // cannot be written and nobody is there to ask; gives where. Throws PlatformError.
    virtual std::string keepUnsavedSettings(std::string_view bytes) = 0;
    // Tells the user of a failure in one line: what failed, on which file or value, and what
    // happens next.
    virtual void report(const std::string& message) = 0;
};

} // namespace tamberlight
