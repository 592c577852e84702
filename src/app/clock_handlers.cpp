// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"

namespace tamberlight {

void ClockWindow::tick() {
    Clock next = clock_;
    next.tick();
    if (next.minute() == 0)
        ++day_;
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

// The clock stands still when its interval is 0, or, for a follower, when its leader's does;
// beside it, where the room stands when it is not as it should be.
void ClockWindow::showClockState() {
    const Room::Shown room = room_.shown();
    static constexpr const char* marks[] = {"",         "リーダー待ち", "待機中",
                                            "接続なし", "リーダー不在", "接続拒否"};
    std::string caption =
        (room.following ? !room.leaderRunning : !clock_.running()) ? "‖ 停止中" : "";
    for (const char* part : {marks[static_cast<int>(room.mark)], room.onItsOwn ? "単独運転" : ""})
        if (*part != '\0')
            caption += (caption.empty() ? "" : "・") + std::string(part);
    stoppedMark.visible = !caption.empty();
    if (!caption.empty())
        stoppedMark.caption = caption;
}

// The new time shows at once, also on a stopped clock; no entry rings for it.
void ClockWindow::setBaseHour() {
    scheduleBox.setFocus();
    if (!clock_.setBaseHour(baseHourBox.text()))
        return;
    baseHour_ = clock_.hour();
    ++day_;
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
                        .leader = {},
                        .since = 0,
                        .day = day_,
                        .baseHour = baseHour_};
}

// A follower's own clock rests: its base hour and interval cannot be changed, and the screen
// reader says why; it shows the leader's time and the leader's base hour and interval.
void ClockWindow::showRoom(const Room::Shown& shown) {
    roomStatus_ = shown.status;
    for (Button* button : {&baseHourButton, &intervalButton})
        button->enabled = !shown.following;
    for (TextBox* box : {&baseHourBox, &intervalBox})
        box->enabled = !shown.following;
    if (shown.interval)
        intervalBox.setText(std::to_string(*shown.interval));
    if (shown.baseHour)
        baseHourBox.setText(std::to_string(*shown.baseHour));
    showClockState();
    if (shown.minute)
        clockIsNow(*shown.minute, shown.ring);
}

void ClockWindow::takeUp(const ClockMessage& room) {
    clock_.setInterval(room.intervalMs);
    intervalBox.setText(std::to_string(room.intervalMs));
    day_ = room.day;
    baseHour_ = room.baseHour;
    clockIsNow(std::stoi(room.clock.substr(0, 2)) * 60 + std::stoi(room.clock.substr(3)), false);
    showClockState();
}

} // namespace tamberlight
