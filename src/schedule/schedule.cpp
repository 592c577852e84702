// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "schedule/schedule.h"

#include "schedule/schedule_line.h"

namespace tamberlight {

Schedule::LeftOut Schedule::apply(std::string_view text) {
    constexpr std::string_view Break = "\r\n";
    entries_.clear();
    LeftOut leftOut;
    std::size_t number = 1;
    for (std::size_t breakAt = text.find(Break); breakAt != std::string_view::npos; ++number) {
        const std::size_t start = breakAt + Break.size();
        breakAt = text.find(Break, start);
        std::string line(text.substr(
            start, breakAt == std::string_view::npos ? std::string_view::npos : breakAt - start));
        if (line.find(' ') == std::string::npos)
            line += ' ';
        const std::optional<EntryKey> key = readEntryKey(scheduleKey(line));
        if (!key)
            continue;
        if (entries_.size() < Capacity)
            entries_.push_back({key->minute, std::move(line)});
        else if (leftOut.lines++ == 0)
            leftOut.first = number + 1;
    }
    return leftOut;
}

std::vector<std::size_t> Schedule::dueAt(int minute) const {
    std::vector<std::size_t> due;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].minute == minute)
            due.push_back(i);
    return due;
}

std::string Schedule::announcement(std::size_t entry) const {
    return entries_[entry].line + "\r\n" + entries_[(entry + 1) % entries_.size()].line;
}

} // namespace tamberlight
