// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tamberlight {

// The settings file is written in UTF-8 whatever the locale, so that two starts in different
// locales never write the same settings as different bytes.
// A line of the file as UTF-8: a line that is not valid UTF-8 is read as Shift-JIS (code page
// 932), the character set of files made on Japanese systems.
std::string decodeFromFile(std::string_view bytes);

} // namespace tamberlight
