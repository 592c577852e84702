// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "schedule/schedule_scan.h"

#include "clock/time_value.h"
#include "schedule/schedule_line.h"

namespace tamberlight {

void scanSchedule(
    std::string_view buffer,
    const std::function<void(double time, std::string line, std::size_t number)>& found) {
    constexpr std::string_view Break = "\r\n";
    std::size_t breakAt = buffer.find(Break);
    for (std::size_t number = 2; breakAt != std::string_view::npos; ++number) {
        const std::size_t start = breakAt + Break.size();
        const std::size_t end = buffer.find(Break, start);
        if (end == std::string_view::npos)
            return; // the break appended to the text: nothing lies behind it
        std::string line(buffer.substr(start, end - start));
        if (line.find(' ') == std::string::npos)
            line += ' ';
        const std::string key = scheduleKey(line);
        if (isDate(key))
            found(timeValueFromText(key), std::move(line), number);
        breakAt = end;
    }
}

} // namespace tamberlight
