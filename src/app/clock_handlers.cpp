// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"

namespace tamberlight {

void ClockWindow::tick() {
    Clock next = clock_;
    next.tick();
    clockIsNow(next.minute(), true);
    moved_ = Moved::Tick;
}

// The texts first, then the hands, then the entries due, so that an entry rings at the time the
// window already shows.
void ClockWindow::clockIsNow(int minute, bool tick) {
    clock_.setMinute(minute);
    showTime();
    if (tick)
        ring();
}

void ClockWindow::showTime() {
    clockShadow.caption = clock_.text();
    clockText.caption = clock_.text();
    moveHands();
}

// The clock stands still when its interval is 0, or, for a follower, when its leader's does.
void ClockWindow::showClockState() {
    const Room::Shown room = room_.shown();
    stoppedMark.visible = room.following ? !room.leaderRunning : !clock_.running();
}

// The new time shows at once, also on a stopped clock; no entry rings for it.
void ClockWindow::setBaseHour() {
    scheduleBox.setFocus();
    if (!clock_.setBaseHour(baseHourBox.text()))
        return;
    showTime();
    moved_ = Moved::Jump;
}

void ClockWindow::setInterval() {
    if (!clock_.setInterval(intervalBox.text()))
        return;
    showClockState();
    moved_ = Moved::Jump;
}

ClockMessage ClockWindow::ownClockMessage(bool tick) const {
    return ClockMessage{.clock = clock_.text(),
                        .intervalMs = clock_.interval(),
                        .running = clock_.running(),
                        .tick = tick,
                        .sequence = 0,
                        .leader = {}};
}

// A follower's own clock rests: its base hour and interval cannot be changed, and the screen
// reader says why; it shows the leader's time.
void ClockWindow::showRoom(const Room::Shown& shown) {
    roomStatus_ = shown.status;
    for (Button* button : {&baseHourButton, &intervalButton})
        button->enabled = !shown.following;
    for (TextBox* box : {&baseHourBox, &intervalBox})
        box->enabled = !shown.following;
    showClockState();
    if (shown.minute)
        clockIsNow(*shown.minute, shown.ring);
}

} // namespace tamberlight
