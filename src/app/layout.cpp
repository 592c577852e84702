// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"
#include "clock/dial.h"

namespace tamberlight {

// Everything is placed from the client width alone; the height plays no part. The layout runs
// on every resize and once at the end of the start, which differs from it in a few steps: the
// hands point straight up (the clock is at midnight then), the clock texts show the time without
// a leading zero, the circle keeps its design height, the announcement is emptied, and a few
// places are given in another order. After a resize the hands point at the clock's time at once,
// also on a stopped clock, rather than lying at the centre until the next tick.
void ClockWindow::layOut(LayoutPass pass) {
    const bool resize = pass == LayoutPass::Resize;
    dial_.width = clientWidth;
    dial_.radius = dial_.width / 2;
    dialCircle.width = dial_.width;
    if (resize)
        dialCircle.height = dial_.width;
    dial_.hourHandLength = dial_.radius * 0.5;
    dial_.minuteHandLength = dial_.radius * 0.73;
    for (auto [hand, length] : {std::pair{&hourHand, dial_.hourHandLength},
                                std::pair{&minuteHand, dial_.minuteHandLength}}) {
        hand->x1 = hand->x2 = dial_.radius;
        hand->y1 = dial_.radius;
        hand->y2 = static_cast<float>(dial_.radius - length);
    }
    placeClockTexts(resize ? clock_.text() : clock_.shortText());
    if (resize) {
        announcementFrame.top = dial_.width;
        announcementFrame.width = dial_.width;
        // The announcement is in twips, 14 to the pixel of the width just given to its frame. A
        // frame narrower than its 10-pixel border leaves no room for it.
        announcement.width =
            announcementFrame.width < 10 ? 0.0F : (announcementFrame.width - 10) * 14;
        placeScheduleBox();
        placePicture();
    } else {
        announcementFrame.width = dial_.width;
        announcementFrame.top = dial_.width;
        announcement.width = dial_.width - 14;
        announcement.caption = "";
        placePicture();
        placeScheduleBox();
    }
    applyButton.top = scheduleBox.top - 21;
    placeMarks();
    if (resize)
        moveHands();
}

void ClockWindow::resize(float width, float height) {
    clientWidth = width;
    clientHeight = height;
    layOut(LayoutPass::Resize);
}

// The blue copy of the clock text lies one pixel right of and above the white one, and the
// stopped mark just under them.
void ClockWindow::placeClockTexts(const std::string& text) {
    clockShadow.left = dial_.radius - 50;
    clockShadow.width = 100;
    clockShadow.top = static_cast<float>(dial_.width * 0.75);
    clockShadow.caption = text;
    clockText.left = dial_.radius - 49;
    clockText.width = 100;
    clockText.top = static_cast<float>(dial_.width * 0.75 - 1);
    clockText.caption = text;
    stoppedMark.left = dial_.radius - 90;
    stoppedMark.top = static_cast<float>(dial_.width * 0.75 + 38);
}

// The box is 361 pixels high whatever the window's height: it may reach below the window.
void ClockWindow::placeScheduleBox() {
    scheduleBox.top = dial_.width + announcementFrame.height;
    scheduleBox.width = dial_.width;
    scheduleBox.height = 361;
}

void ClockWindow::placePicture() {
    picture.left = dial_.radius - 64;
    picture.top = pictureOffset_.pixels();
}

void ClockWindow::placeMarks() {
    for (std::size_t i = 0; i < hourMarks.size(); ++i) {
        const Point p = markPosition(static_cast<int>(i), dial_.radius);
        hourMarks[i].x1 = hourMarks[i].x2 = p.x;
        hourMarks[i].y1 = hourMarks[i].y2 = p.y;
    }
}

void ClockWindow::moveHands() {
    const HandEnds ends = handEnds(clock_.minuteOfHour(), clock_.hour(), dial_.radius,
                                   dial_.minuteHandLength, dial_.hourHandLength);
    minuteHand.x2 = ends.minute.x;
    minuteHand.y2 = ends.minute.y;
    hourHand.x2 = ends.hour.x;
    hourHand.y2 = ends.hour.y;
}

} // namespace tamberlight
