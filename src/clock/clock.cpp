// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "clock/clock.h"

#include "platform/conversions.h"
#include "platform/platform_error.h"

#include <cstdio>

namespace tamberlight {

void Clock::setMinute(int minute) {
    minute_ = ((minute % MinutesPerDay) + MinutesPerDay) % MinutesPerDay;
}

void Clock::setInterval(std::int32_t milliseconds) {
    if (milliseconds < 0)
        throw PlatformError("interval " + std::to_string(milliseconds) + " is not accepted");
    interval_ = milliseconds;
}

bool Clock::setBaseHour(std::string_view typed) {
    const std::string hour = trim(typed);
    if (!isNumeric(hour))
        return false;
    const bool digits =
        hour.size() <= 3 && hour.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(hour) > 23)
        throw PlatformError('"' + hour + "\" is not an hour of the day; the clock keeps its time");
    minute_ = std::stoi(hour) * 60 + 1;
    return true;
}

bool Clock::setInterval(std::string_view typed) {
    if (!isNumeric(typed))
        return false;
    try {
        setInterval(toInt32(numericValue(typed)));
    } catch (const PlatformError&) {
        throw PlatformError('"' + trim(typed) +
                            "\" is not a tick interval in milliseconds; the clock keeps its speed");
    }
    return true;
}

std::string Clock::text() const {
    char text[24];
    std::snprintf(text, sizeof text, "%02d:%02d", hour(), minuteOfHour());
    return text;
}

std::string Clock::shortText() const {
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d", hour(), minuteOfHour());
    return text;
}

} // namespace tamberlight
