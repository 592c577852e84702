// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"

namespace tamberlight {

void ClockWindow::togglePanel() {
    panel_.toggle();
}

void ClockWindow::choosePicture() {
    scheduleBox.setFocus();
    const std::string chosen = services_.showOpen();
    if (!chosen.empty())
        showPicture(chosen, "the dial keeps its picture");
}

// The picture and its path change only once the picture has loaded, and only for the latest
// choice: one that loads after a later one is dropped.
void ClockWindow::showPicture(const std::string& path, const char* otherwise) {
    const std::uint64_t request = ++pictureRequests_;
    services_.loadPicture(
        path, picture.width, picture.height,
        [this, path, otherwise, request](PictureHandle loaded, const std::string& why) {
            if (request != pictureRequests_)
                return;
            if (!loaded)
                return services_.report(why + "; " + otherwise);
            picture.picture = std::move(loaded);
            picturePath_ = path;
        });
}

void ClockWindow::movePictureUp() {
    scheduleBox.setFocus();
    pictureOffset_.up();
    picture.top = pictureOffset_.pixels();
}

void ClockWindow::movePictureDown() {
    scheduleBox.setFocus();
    pictureOffset_.down();
    picture.top = pictureOffset_.pixels();
}

// Black is a colour like any other; only a cancelled dialog leaves the dial as it was. The
// clock texts and the picture keep theirs.
void ClockWindow::chooseColour() {
    const std::optional<Colour> colour = services_.showColour();
    if (!colour)
        return;
    hourHand.colour = minuteHand.colour = dialCircle.colour = *colour;
    for (Line& mark : hourMarks)
        mark.colour = *colour;
}

void ClockWindow::switchMarks() {
    scheduleBox.setFocus();
    marksShown_ = !marksShown_;
    for (Line& mark : hourMarks)
        mark.visible = marksShown_;
    marksButton.caption = marksShown_ ? "・off" : "・on";
}

} // namespace tamberlight
