// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "clock/time_value.h"
#include "platform/media_command.h"
#include "platform/platform_error.h"
#include "schedule/schedule_scan.h"

namespace tamberlight {

void Form1::Text1_Change() {
    Command5.Visible = true;
}

void Form1::Command5_Click() {
    orSay("press 予定更新 to try again", [this] { SaveSettings(); });
    applySchedule();
}

void Form1::applySchedule() {
    Command5.Visible = false;
    ScheduleBuffer = Text1.Text() + LineBreak;
    ScanPos = 0;
    EventCount = 0;
    // Only the first entries fit; later timed lines are left out. Slots above the new count
    // keep what an earlier apply put there and are never read.
    scanSchedule(ScheduleBuffer, [this](double time, std::string line) {
        const auto slot = static_cast<std::size_t>(EventCount);
        EventTimes[slot] = time;
        EventLines[slot] = std::move(line);
        ++EventCount;
        return EventCount < MaxEvents;
    });
    ScanPos = 0;
}

// Every entry is compared, in text order and without stopping at a match; each match sounds
// and announces itself and the entry after it, so the last match of a minute is the one shown.
void Form1::checkSchedule() {
    const std::int32_t n = EventCount;
    if (n == 0)
        return;
    for (std::int32_t i = 0; i < n; ++i) {
        if (!sameTimeText(EventTimes[static_cast<std::size_t>(i)], ClockTime))
            continue;
        if (SoundPath.empty())
            services_.beep();
        else
            services_.mediaCommand(playCommand(SoundPath));
        Label3.Caption = EventLines[static_cast<std::size_t>(i)] + LineBreak +
                         EventLines[static_cast<std::size_t>((i + 1) % n)];
    }
}

void Form1::Command6_Click() {
    Text1.SetFocus();
    CommonDialog1.ShowOpen();
    if (CommonDialog1.FileName.empty())
        return;
    SoundPath = CommonDialog1.FileName;
    services_.mediaCommand(playCommand(SoundPath));
}

} // namespace tamberlight
