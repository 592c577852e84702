// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

// The window's outer placement on the screen, in twips (15 to the pixel).
struct Placement {
    float top = 0, left = 0, width = 3525, height = 9375;

    bool operator==(const Placement&) const = default;
};

// The settings file: lines ended by CR LF, in UTF-8. The picture path, the sound path, the
// window's top, left, width and height in twips, the picture's offset in pixels, then the
// schedule text, after which the writer puts one more CR LF.
//
// As read, a value the file does not give (it ends early, or the line holds no number that fits)
// is nothing, and the window keeps its own. A file that is empty gives nothing at all.
struct SettingsFile {
    std::optional<std::string> picturePath{}, soundPath{};
    std::optional<float> top{}, left{}, width{}, height{};
    std::optional<std::int16_t> pictureOffset{};
    std::string schedule{};

    bool operator==(const SettingsFile&) const = default;

    // Reads whatever the bytes hold; never fails. Lines may end with CR LF, a lone CR or a lone
    // LF (a file edited on Linux); byte order marks at the start are passed over; a file that is
    // not UTF-8 as a whole is read as Shift-JIS.
    static std::optional<SettingsFile> read(std::string_view bytes);
    // Every value as the window holds it; a value that is nothing is written as 0 or "".
    std::string bytes() const;
};

} // namespace tamberlight
