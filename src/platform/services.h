#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

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
    virtual std::optional<Colour> showColor() = 0;
    // Throws PlatformError when the path names no readable picture.
    virtual PictureHandle loadPicture(const std::string& path) = 0;
    virtual void beep() = 0;
    // A media command such as: play "/path/to/sound.wav". Returns at once; the sound plays
    // on. Throws PlatformError for a command it does not understand.
    virtual void mediaCommand(const std::string& command) = 0;
    // The directory that holds the program's executable, without a trailing separator
    // (except for the root directory).
    virtual std::string executableDirectory() = 0;
};

} // namespace tamberlight
