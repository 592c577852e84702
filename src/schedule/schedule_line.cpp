// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "schedule/schedule_line.h"

#include <utility>

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

// A run of one to at most `most` digits at the start of the text, taken off it.
std::optional<int> digits(std::string_view& text, std::size_t most) {
    std::size_t length = 0;
    int value = 0;
    for (; length < text.size() && length < most && text[length] >= '0' && text[length] <= '9';
         ++length)
        value = value * 10 + (text[length] - '0');
    if (length == 0)
        return std::nullopt;
    text.remove_prefix(length);
    return value;
}

bool takes(std::string_view& text, char c) {
    if (text.empty() || text[0] != c)
        return false;
    text.remove_prefix(1);
    return true;
}

std::optional<EntryKey> readTime(std::string_view text) {
    const auto hour = digits(text, 3);
    if (!hour || *hour > 23 || !takes(text, ':'))
        return std::nullopt;
    const auto minute = digits(text, 2);
    if (!minute || *minute > 59)
        return std::nullopt;
    int second = 0;
    if (takes(text, ':')) {
        const auto s = digits(text, 2);
        if (!s || *s > 59)
            return std::nullopt;
        second = *s;
    }
    if (!text.empty())
        return std::nullopt;
    // The clock keeps whole minutes: a time with seconds never comes.
    return EntryKey{second == 0 ? std::optional(*hour * 60 + *minute) : std::nullopt, false};
}

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

std::optional<EntryKey> readDate(std::string_view text) {
    const std::size_t before = text.size();
    const auto year = digits(text, 4);
    if (!year || before - text.size() != 4 || text.empty() || (text[0] != '/' && text[0] != '-'))
        return std::nullopt;
    const char separator = text[0];
    text.remove_prefix(1);
    const auto month = digits(text, 2);
    if (!month || !takes(text, separator))
        return std::nullopt;
    const auto day = digits(text, 2);
    if (!day || !text.empty() || *month < 1 || *month > 12 || *day < 1)
        return std::nullopt;
    constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (*day > Days[*month - 1] + (*month == 2 && isLeapYear(*year) ? 1 : 0))
        return std::nullopt;
    // The clock keeps the time of day only: a date never comes.
    return EntryKey{std::nullopt, true};
}

} // namespace

std::string scheduleKey(std::string_view line) {
    return asciiDigitsAndColons(line.substr(0, line.find(' ')));
}

std::optional<EntryKey> readEntryKey(std::string_view key) {
    if (auto time = readTime(key))
        return time;
    return readDate(key);
}

LineKind kindOfLine(std::string_view line) {
    const std::string key = scheduleKey(line);
    if (const std::optional<EntryKey> entry = readEntryKey(key)) {
        if (entry->minute)
            return {true, true, nullptr};
        return {true, false,
                entry->date ? "a date never comes: the clock keeps only the time of day"
                            : "the clock shows no seconds"};
    }
    // A time followed by a tab or a full-width space looks like an entry but is none.
    for (const auto& [separator, why] :
         {std::pair{std::string_view("\t"), "a tab does not separate the time: use a space"},
          std::pair{IdeographicSpace,
                    "a full-width space does not separate the time: use a space"}})
        if (const std::size_t at = key.find(separator);
            at != std::string::npos && readEntryKey(std::string_view(key).substr(0, at)))
            return {false, false, why};
    return {};
}

} // namespace tamberlight
