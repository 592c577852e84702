// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tamberlight {

// Text in the settings file is in the locale's character set (UTF-8 under a C or UTF-8 locale).
std::string encodeForFile(std::string_view utf8);
// A line of the file as UTF-8: bytes that are not valid in the locale's character set are
// read as Shift-JIS (code page 932), the character set of files made on Japanese systems.
std::string decodeFromFile(std::string_view bytes);

} // namespace tamberlight
