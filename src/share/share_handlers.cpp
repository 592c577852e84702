// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "clock/time_value.h"

namespace tamberlight {

void Form1::startFollowing() {
    ShareRole = Sharing::Following;
    Timer1.Enabled = false;
    Command8.Enabled = Command4.Enabled = false;
    Text2.Enabled = Text3.Enabled = false;
    showClockState();
}

void Form1::runAlone() {
    ShareRole = Sharing::Alone;
    Timer1.Enabled = true;
    Command8.Enabled = Command4.Enabled = true;
    Text2.Enabled = Text3.Enabled = true;
    showSharing("");
    showClockState();
}

Form1::Followed Form1::followLeader(std::string_view payload, bool live) {
    const std::optional<ClockMessage> message = decodeClockMessage(payload);
    if (!message)
        return Followed::Invalid;
    // A leader that starts again comes with a new identity and counts afresh.
    if (message->leader == leaderId_ && message->sequence <= leaderSequence_)
        return Followed::Stale;
    leaderId_ = message->leader;
    leaderSequence_ = message->sequence;
    const double time = timeValueFromText(message->clock);
    // Each minute's entries ring once, however often that minute is told.
    const bool tick = live && message->tick && time != lastTick_;
    if (tick)
        lastTick_ = time;
    LeaderRunning = message->running;
    clockIsNow(time, tick);
    showClockState();
    return Followed::Applied;
}

ClockMessage Form1::clockMessage(bool tick) const {
    return ClockMessage{.clock = clockText(ClockTime),
                        .intervalMs = Timer1.Interval(),
                        .running = Timer1.Enabled && Timer1.Interval() > 0,
                        .tick = tick,
                        .sequence = 0,
                        .leader = {}};
}

void Form1::showSharing(const std::string& status) {
    Caption = status.empty() ? "Tamberlight" : "Tamberlight – " + status;
}

} // namespace tamberlight
