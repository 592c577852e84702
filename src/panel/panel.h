// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <limits>

namespace tamberlight {

// The control panel: shown or hidden as a whole, shown at start. Which controls belong to it is
// the control table's to say.
class Panel {
public:
    bool shown() const { return shown_; }
    void toggle() { shown_ = !shown_; }

private:
    bool shown_ = true;
};

// How far the dial picture lies from the top of the window, in pixels: a 16-bit number moved by
// five at a time. A step that would leave that range does nothing.
class PictureOffset {
public:
    static constexpr int Step = 5;
    // Before the settings give one: the offset of a dial of radius 0 less half the picture's
    // 256 pixels, the dial's size being unknown when it is first set.
    static constexpr std::int16_t AtStart = -128;

    std::int16_t pixels() const { return pixels_; }
    void set(std::int16_t pixels) { pixels_ = pixels; }
    void up() { move(-Step); }
    void down() { move(Step); }

private:
    void move(int by) {
        const int moved = pixels_ + by;
        if (moved >= std::numeric_limits<std::int16_t>::min() &&
            moved <= std::numeric_limits<std::int16_t>::max())
            pixels_ = static_cast<std::int16_t>(moved);
    }

    std::int16_t pixels_ = 0;
};

} // namespace tamberlight
