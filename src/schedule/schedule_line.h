// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tamberlight {

// How many entries a schedule holds: the first in text order; later timed lines never ring.
inline constexpr int MaxEntries = 101;

// The key of a schedule line: its text before the first space (U+0020), all of it when there is
// none, with the full-width digits and colon of a Japanese input method read as ASCII.
std::string scheduleKey(std::string_view line);

// What a line after the title is to the schedule, as the schedule box shows it.
struct LineKind {
    bool entry = false; // its key is a time or a date: it takes one of the entries' slots
    bool rings = false; // it rings once a clock day
    // Why a line that is an entry, or looks like one, never rings; nothing for any other line.
    const char* whyNot = nullptr;
};
LineKind kindOfLine(std::string_view line);

} // namespace tamberlight
