// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

// The key of a schedule line: its text before the first space (U+0020), all of it when there is
// none, with the full-width digits and colon of a Japanese input method read as ASCII.
std::string scheduleKey(std::string_view line);

// A key that makes its line an entry: a time of day (H:MM or H:MM:SS, the hour 0 to 23 in one to
// three digits, the minutes and seconds in one or two) or a date (YYYY/M/D or YYYY-M-D, a day
// the calendar has). Nothing for any other key.
struct EntryKey {
    std::optional<int> minute; // the minute of the day it rings at; nothing: never
    bool date = false;
};
std::optional<EntryKey> readEntryKey(std::string_view key);

// What a line after the title is to the schedule, as the schedule box shows it.
struct LineKind {
    bool entry = false; // its key is a time or a date: it takes one of the entries' slots
    bool rings = false; // it rings once a clock day
    // Why a line that is an entry, or looks like one, never rings; nothing for any other line.
    const char* whyNot = nullptr;
};
LineKind kindOfLine(std::string_view line);

} // namespace tamberlight
