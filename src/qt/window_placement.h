// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/clock_window.h"

#include <QRect>
#include <array>

class QWidget;

namespace tamberlight {

// The window's outer placement, kept in the model in twips: the model takes the window's normal
// placement as it moves and resizes, and the window takes a placement that a handler set (the
// saved one, at start-up), kept on a screen and no smaller than the window can be. A Wayland
// compositor places windows itself: there only the size is taken and given, and the position
// in the model is left as it was.
class WindowPlacement {
public:
    WindowPlacement(QWidget& window, ClockWindow& model);

    // The window moved or was resized.
    void record();
    // A handler may have set a new placement.
    void apply();
    // The window manager may have framed the window by now: the frame's size is known only
    // then, and the size is given again so that a restart does not grow the window by it.
    void frameMayHaveArrived();
    bool awaitingFrame() const { return awaitingFrame_; }

private:
    void placeFrame();

    QWidget& window_;
    ClockWindow& model_;
    std::array<float, 4> shown_;
    QRect wanted_;
    bool awaitingFrame_ = false;
};

} // namespace tamberlight
