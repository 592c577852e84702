// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tamberlight {

// The clock's own time: a minute of one day, moved on by one minute on every tick of a timer
// whose interval the user sets, from midnight at start. An interval of 0 stops it.
class Clock {
public:
    static constexpr int MinutesPerDay = 24 * 60;
    static constexpr std::int32_t DesignInterval = 1492; // milliseconds, a day in 36 minutes

    int minute() const { return minute_; } // 0 .. 1439
    int hour() const { return minute_ / 60; }
    int minuteOfHour() const { return minute_ % 60; }
    std::int32_t interval() const { return interval_; }
    bool running() const { return interval_ > 0; }

    // One minute on; 23:59 goes on to 00:00 of the same day.
    void tick() { minute_ = (minute_ + 1) % MinutesPerDay; }
    void setMinute(int minute);
    void setInterval(std::int32_t milliseconds);

    // What the user typed as the base hour: a whole hour of the day (1 to 3 digits, 0 to 23)
    // sets the clock to that hour and one minute. Text that is no number does nothing (false);
    // a number that is no hour throws PlatformError saying so, and the clock keeps its time.
    bool setBaseHour(std::string_view typed);
    // What the user typed as the interval in milliseconds, rounded to a whole number (a half to
    // the even one). Text that is no number does nothing (false); a number that is no interval
    // throws PlatformError saying so, and the clock keeps its speed.
    bool setInterval(std::string_view typed);

    // Two-digit hours and minutes: "09:05".
    std::string text() const;
    // The hours without a leading zero: "9:05", as the window shows the time before its first
    // layout.
    std::string shortText() const;

private:
    int minute_ = 0;
    std::int32_t interval_ = DesignInterval;
};

} // namespace tamberlight
