// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tamberlight {

// The settings file is written in UTF-8 whatever the locale, so that two starts in different
// locales never write the same settings as different bytes. A file that is not valid UTF-8 as a
// whole is read as Shift-JIS (code page 932), the character set of files made on Japanese
// systems: decided once for the file, since a few Shift-JIS bytes are valid UTF-8 on their own.
enum class FileCharset { Utf8, ShiftJis };
FileCharset charsetOf(std::string_view file);

// A line of the file as UTF-8. Bytes that are not valid in the file's character set are shown
// as replacement characters.
std::string decodeFromFile(std::string_view bytes, FileCharset charset);

} // namespace tamberlight
