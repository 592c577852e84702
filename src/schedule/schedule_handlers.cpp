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

// The entries ring as applied whether or not the save succeeds; the button stays shown while
// the schedule is not saved, so that the user can try the save again.
void Form1::Command5_Click() {
    std::exception_ptr unsaved;
    try {
        orSay(NotSaved, [this] { SaveSettings(); });
    } catch (const PlatformError&) {
        unsaved = std::current_exception();
    }
    applySchedule();
    if (unsaved) {
        Command5.Visible = true;
        std::rethrow_exception(unsaved);
    }
}

void Form1::applySchedule() {
    Command5.Visible = false;
    ScheduleBuffer = Text1.Text() + LineBreak;
    ScanPos = 0;
    EventCount = 0;
    // Only the first entries fit; later timed lines are left out, and the user hears how many.
    // Slots above the new count keep what an earlier apply put there and are never read.
    std::size_t leftOut = 0, firstLeftOut = 0;
    scanSchedule(ScheduleBuffer, [this, &leftOut, &firstLeftOut](double time, std::string line,
                                                                 std::size_t lineNumber) {
        if (EventCount == MaxEvents) {
            firstLeftOut = leftOut++ == 0 ? lineNumber : firstLeftOut;
            return;
        }
        const auto slot = static_cast<std::size_t>(EventCount);
        EventTimes[slot] = time;
        EventLines[slot] = std::move(line);
        ++EventCount;
    });
    ScanPos = 0;
    if (leftOut > 0)
        services_.report(std::to_string(leftOut) + (leftOut == 1 ? " timed line" : " timed lines") +
                         " of the schedule will not ring: only the first " +
                         std::to_string(MaxEvents) + " entries do, and line " +
                         std::to_string(firstLeftOut) + " is the first left out");
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
