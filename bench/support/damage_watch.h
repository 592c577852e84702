// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tamberlight::bench {

// A connection that hears about everything drawn on the screen, through the X DAMAGE extension.
class DamageWatch {
public:
    // Exits when the X server has no DAMAGE extension.
    explicit DamageWatch(const std::string& display);
    ~DamageWatch();
    DamageWatch(const DamageWatch&) = delete;
    DamageWatch& operator=(const DamageWatch&) = delete;

    // Waits for the first drawing that leaves something on the screen besides a plain colour
    // (the X server fills a window with its background colour as it maps it): the time the
    // drawing was reported, or nothing; mapped gets the time the first window was mapped.
    std::optional<std::chrono::steady_clock::time_point>
    waitForFrame(int milliseconds, std::chrono::steady_clock::time_point* mapped = nullptr);

    // Forgets what was drawn so far.
    void drain();

private:
    // Whether every pixel of the rectangle on the screen has the same value.
    bool plain(const xcb_rectangle_t& area);
    void sync();

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
    std::uint32_t damage_ = 0;
    std::uint8_t firstEvent_ = 0;
};

} // namespace tamberlight::bench
