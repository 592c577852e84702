// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "schedule/schedule_line.h"

#include "clock/time_value.h"

namespace tamberlight {

namespace {

constexpr std::string_view IdeographicSpace = "\xE3\x80\x80";

// A Japanese input method types full-width digits (U+FF10 to U+FF19) and a full-width colon
// (U+FF1A); in a key they read as their ASCII forms.
std::string asciiDigitsAndColons(std::string_view key) {
    std::string out;
    out.reserve(key.size());
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto third = i + 2 < key.size() ? static_cast<unsigned char>(key[i + 2]) : 0U;
        if (key.substr(i, 2) == "\xEF\xBC" && third >= 0x90 && third <= 0x9A) {
            out += third == 0x9A ? ':' : static_cast<char>('0' + (third - 0x90));
            i += 2;
        } else {
            out += key[i];
        }
    }
    return out;
}

} // namespace

std::string scheduleKey(std::string_view line) {
    return asciiDigitsAndColons(line.substr(0, line.find(' ')));
}

LineKind kindOfLine(std::string_view line) {
    const std::string key = scheduleKey(line);
    if (isDate(key)) {
        // The clock keeps whole minutes of one day: a date or a second never comes.
        const std::string time = timeText(timeValueFromText(key));
        if (time.find(':') == std::string::npos || time.find(' ') != std::string::npos)
            return {true, false, "a date never comes: the clock keeps only the time of day"};
        if (!time.ends_with(":00"))
            return {true, false, "the clock shows no seconds"};
        return {true, true, nullptr};
    }
    // A time followed by a tab or a full-width space looks like an entry but is none.
    for (const auto& [separator, why] :
         {std::pair{std::string_view("\t"), "a tab does not separate the time: use a space"},
          std::pair{IdeographicSpace,
                    "a full-width space does not separate the time: use a space"}})
        if (const std::size_t at = key.find(separator);
            at != std::string::npos && isDate(key.substr(0, at)))
            return {false, false, why};
    return {};
}

} // namespace tamberlight
