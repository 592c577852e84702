// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlight {

// An entry of the schedule: a line whose key is a time of day or a date.
struct Entry {
    std::optional<int> minute; // the minute of the day it rings at; nothing: it never rings
    std::string line;          // the whole line, with a space added when it had none

    bool operator==(const Entry&) const = default;
};

// The schedule's entries, taken from its text when it is applied: the lines after the first
// (a title, never an entry), split at CR LF only, in text order, the first 101 of them.
class Schedule {
public:
    static constexpr std::size_t Capacity = 101;

    // How many timed lines a text had past the capacity, and the number of the first (from 1).
    struct LeftOut {
        std::size_t lines = 0, first = 0;
    };
    LeftOut apply(std::string_view text);

    const std::vector<Entry>& entries() const { return entries_; }
    // The entries that ring at a minute of the day, in text order.
    std::vector<std::size_t> dueAt(int minute) const;
    // What the announcement shows for an entry: its line, CR LF, and the line of the entry after
    // it (the first one after the last).
    std::string announcement(std::size_t entry) const;

private:
    std::vector<Entry> entries_;
};

} // namespace tamberlight
