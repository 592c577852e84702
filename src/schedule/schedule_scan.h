// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tamberlight {

// Walks the schedule buffer (the schedule text with one CR LF appended) line by line, from
// the line after the first CR LF on: the first line is a title and never examined. Each
// examined line gets one space appended when it has none; its key is the text before its
// first space, with full-width digits and colons read as ASCII. found(time, line, number) is
// called for every line whose key reads as a time or date, in text order, with the line's
// number counted from 1.
void scanSchedule(
    std::string_view buffer,
    const std::function<void(double time, std::string line, std::size_t number)>& found);

} // namespace tamberlight
