// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The schedule as the window applies it and rings it: the entries are the timed lines after the
// first, in text order, at most 101, each with the minute its key gives; the schedule box's marks
// count them the same way; a tick onto an entry's minute rings every entry of that minute, once,
// and announces the last of them with the entry after it.
#include "app/clock_window.h"
#include "fuzz_support.h"
#include "schedule/schedule.h"
#include "schedule/schedule_line.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamberlight {
namespace {

void applyAndTick(const std::string& text) {
    test::FakeServices services;
    ClockWindow window{services};
    if (text.size() % 2 != 0) {
        services.openAnswers = {"/sounds/bell.wav"};
        window.chooseSound();
    }
    window.scheduleBox.setText(text);
    window.applySchedule();
    REQUIRE(!window.applyButton.visible);
    const std::vector<Entry>& entries = window.schedule().entries();
    REQUIRE(entries.size() <= Schedule::Capacity);
    // The lines that the schedule box marks as entries, counted as the scan counts them.
    std::size_t marked = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;) {
        const std::size_t start = at + 2;
        at = text.find("\r\n", start);
        marked += kindOfLine(text.substr(start, at == std::string::npos ? at : at - start)).entry;
    }
    REQUIRE(std::min(marked, Schedule::Capacity) == entries.size());
    REQUIRE(services.reports.size() == (marked > Schedule::Capacity ? 1U : 0U));
    for (const Entry& entry : entries) {
        const std::size_t space = entry.line.find(' ');
        REQUIRE(space != std::string::npos);
        const std::optional<EntryKey> key = readEntryKey(scheduleKey(entry.line));
        REQUIRE(key && key->minute == entry.minute);
        REQUIRE(kindOfLine(entry.line).rings == entry.minute.has_value());
    }
    // Each tick compares every entry, so a long schedule is ticked onto its first few minutes.
    std::vector<int> ticked;
    for (const Entry& entry : entries) {
        if (!entry.minute || ticked.size() >= 16 ||
            std::find(ticked.begin(), ticked.end(), *entry.minute) != ticked.end())
            continue;
        ticked.push_back(*entry.minute);
        window.clockIsNow((*entry.minute + Clock::MinutesPerDay - 1) % Clock::MinutesPerDay, false);
        const std::size_t sounds = services.sounds.size();
        window.tick();
        const std::vector<std::size_t> due = window.schedule().dueAt(*entry.minute);
        REQUIRE(!due.empty());
        REQUIRE(services.sounds.size() - sounds == due.size());
        REQUIRE(window.announcement.caption == window.schedule().announcement(due.back()));
    }
}

} // namespace
} // namespace tamberlight

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tamberlight::applyAndTick(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
