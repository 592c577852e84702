// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "clock/time_value.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"

namespace tamberlight {

void Form1::Timer1_Timer() {
    double next = addMinute(ClockTime);
    // Only 23:59 plus a minute reaches a whole new day, whose text holds no colon.
    if (timeText(next).find(':') == std::string::npos)
        next = timeValueFromText("00:00:00");
    clockIsNow(next, true);
    if (onClockMoved)
        onClockMoved(true);
}

// The one way the clock moves, on the timer and on a follower alike: its text, its hands, and
// for a tick the entries due.
void Form1::clockIsNow(double time, bool tick) {
    ClockTime = time;
    showTime();
    if (tick)
        checkSchedule();
}

void Form1::showTime() {
    const std::string text = clockText(ClockTime);
    Label1.Caption = text;
    Label2.Caption = text;
    const double minute = minuteOfHour(ClockTime);
    const double hour = hourOfDay(ClockTime);
    moveHands(minute, hour);
}

// The clock stands still when its interval is 0, or, for a follower, when its leader's does.
void Form1::showClockState() {
    Label7.Visible = ShareRole == Sharing::Following ? !LeaderRunning
                                                     : !Timer1.Enabled || Timer1.Interval() == 0;
}

void Form1::Command8_Click() {
    Text1.SetFocus();
    const std::string hour = trim(Text2.Text());
    if (!isNumeric(hour))
        return;
    try {
        ClockTime = timeValueFromText(hour + ":01");
    } catch (const PlatformError&) {
        throw PlatformError('"' + hour + "\" is not an hour of the day; the clock keeps its time");
    }
    // The new time shows at once, also on a stopped clock; no entry rings for it.
    showTime();
    if (onClockMoved)
        onClockMoved(false);
}

void Form1::Command4_Click() {
    const std::string& text = Text3.Text();
    if (!isNumeric(text))
        return;
    try {
        Timer1.setInterval(toInt32(numericValue(text)));
    } catch (const PlatformError&) {
        throw PlatformError('"' + trim(text) +
                            "\" is not a tick interval in milliseconds; the clock keeps its speed");
    }
    showClockState();
    if (onClockMoved)
        onClockMoved(false);
}

} // namespace tamberlight
