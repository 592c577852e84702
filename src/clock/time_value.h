// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tamberlight {

// A time value counts days in a double: the whole part is the day, the fraction the time of
// day (0 is 00:00:00, 0.5 is 12:00:00). Every function here throws PlatformError for a value
// beyond the last day a date can show (31 December 9999) or before its mirror, and for NaN.

// "H:MM:SS" for day 0; a date text without any colon for a whole other day; otherwise the
// date, a space and the time.
std::string timeText(double value);

// Two-digit hours, a colon, two-digit minutes ("09:05"). Throws PlatformError for a value
// whose time text holds no colon.
std::string clockText(double value);

// The time text cut before its last colon: "0:00" for midnight.
std::string shortTimeText(double value);

// True exactly when the two values have the same time text: the same day and the same second.
bool sameTimeText(double a, double b);

int hourOfDay(double value);
int minuteOfHour(double value);

// One minute later, built from whole days and seconds so that no rounding error gathers.
// The clock keeps values of at least 0.
double addMinute(double value);

// Reads a time of day (H:MM or H:MM:SS, the hour 0 to 23) or a calendar date (Y/M/D or Y-M-D).
// Throws PlatformError for any other text.
double timeValueFromText(std::string_view text);

// True when timeValueFromText accepts the text.
bool isDate(std::string_view text);

} // namespace tamberlight
