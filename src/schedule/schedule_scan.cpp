// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "schedule/schedule_scan.h"

#include "clock/time_value.h"

namespace tamberlight {

namespace {

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

void scanSchedule(std::string_view buffer,
                  const std::function<bool(double time, std::string line)>& found) {
    constexpr std::string_view Break = "\r\n";
    std::size_t breakAt = buffer.find(Break);
    while (breakAt != std::string_view::npos) {
        const std::size_t start = breakAt + Break.size();
        const std::size_t end = buffer.find(Break, start);
        if (end == std::string_view::npos)
            return; // the break appended to the text: nothing lies behind it
        std::string line(buffer.substr(start, end - start));
        if (line.find(' ') == std::string::npos)
            line += ' ';
        const std::string key =
            asciiDigitsAndColons(std::string_view(line).substr(0, line.find(' ')));
        if (isDate(key)) {
            const double time = timeValueFromText(key);
            if (!found(time, std::move(line)))
                return;
        }
        breakAt = end;
    }
}

} // namespace tamberlight
