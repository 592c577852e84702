// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The schedule text as the window takes it: the scan over the text with its appended break,
// the apply that fills the entries, and the tick onto each entry's minute that sounds and
// announces it.

#include "app/form1.h"
#include "clock/time_value.h"
#include "fuzz_support.h"
#include "schedule/schedule_scan.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlight {
namespace {

struct Entry {
    double time;
    std::string line;
};

std::vector<Entry> scan(const std::string& text) {
    std::vector<Entry> entries;
    const std::string buffer = text + "\r\n";
    std::size_t previous = 1;
    scanSchedule(buffer, [&](double time, std::string line, std::size_t number) {
        REQUIRE(number > previous);
        previous = number;
        entries.push_back({time, std::move(line)});
    });
    for (std::size_t i = 0; i < entries.size() && i < Form1::MaxEvents; ++i) {
        const Entry& entry = entries[i];
        const std::size_t space = entry.line.find(' ');
        REQUIRE(space != std::string::npos);
        const std::string_view key = std::string_view(entry.line).substr(0, space);
        REQUIRE(isDate(key));
        REQUIRE(timeValueFromText(key) == entry.time);
        // The line is one of the text's own lines after the first, or that with a space added.
        const std::string_view added =
            std::string_view(entry.line).substr(0, entry.line.size() - 1);
        REQUIRE(buffer.find("\r\n" + entry.line + "\r\n") != std::string::npos ||
                (space == entry.line.size() - 1 &&
                 buffer.find("\r\n" + std::string(added) + "\r\n") != std::string::npos));
        if (key.find(':') != std::string_view::npos)
            REQUIRE(timeValueFromText(timeText(entry.time)) == entry.time);
    }
    return entries;
}

void applyAndTick(const std::string& text, const std::vector<Entry>& entries) {
    test::FakeServices services;
    Form1 form{services};
    form.LineBreak = "\r\n"; // as start-up leaves it
    if (text.size() % 2 != 0)
        form.SoundPath = "/sounds/bell.wav";
    form.Text1.setText(text);
    REQUIRE(form.Command5.Visible);
    form.Command5_Click();
    REQUIRE(!form.Command5.Visible);
    REQUIRE(services.reports.size() == (entries.size() > Form1::MaxEvents ? 1U : 0U));
    const auto kept = std::min<std::size_t>(entries.size(), Form1::MaxEvents);
    REQUIRE(form.EventCount == static_cast<std::int32_t>(kept));
    for (std::size_t i = 0; i < kept; ++i) {
        REQUIRE(form.EventTimes[i] == entries[i].time);
        REQUIRE(form.EventLines[i] == entries[i].line);
    }

    // Each tick compares every entry, so a long schedule is ticked onto its first few minutes.
    std::vector<int> ticked;
    for (std::size_t i = 0; i < kept && ticked.size() < 16; ++i) {
        const double time = form.EventTimes[i];
        if (!(time >= 0 && time < 1))
            continue; // a date after the clock's one day is never reached
        const int minute = hourOfDay(time) * 60 + minuteOfHour(time);
        if (std::find(ticked.begin(), ticked.end(), minute) != ticked.end())
            continue;
        ticked.push_back(minute);
        // The clock's values are whole minutes of day 0; the tick from the minute before lands
        // on the entry's minute exactly as counting up from midnight would.
        form.ClockTime = static_cast<double>((minute + 1439) % 1440 * 60) / 86400;
        const std::size_t sounds = services.sounds.size();
        form.Timer1_Timer();
        std::size_t matches = 0;
        std::size_t last = 0;
        for (std::size_t j = 0; j < kept; ++j) {
            if (sameTimeText(form.EventTimes[j], form.ClockTime)) {
                ++matches;
                last = j;
            }
        }
        REQUIRE(services.sounds.size() - sounds == matches);
        if (timeText(time).ends_with(":00"))
            REQUIRE(matches > 0);
        if (matches > 0)
            REQUIRE(form.Label3.Caption ==
                    form.EventLines[last] + "\r\n" + form.EventLines[(last + 1) % kept]);
    }
}

} // namespace
} // namespace tamberlight

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tamberlight::applyAndTick(text, tamberlight::scan(text));
    return 0;
}
