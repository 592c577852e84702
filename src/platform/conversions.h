// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tamberlight {

// Spaces (U+0020) removed at both ends; nothing else counts as a space.
std::string trim(std::string_view text);

// True when the text, apart from spaces at either end, is a decimal number with an
// optional sign and an optional fraction. The empty text is not numeric.
bool isNumeric(std::string_view text);

// The leading decimal number of the text (leading spaces and tabs skipped), 0 when there is none.
double numericValue(std::string_view text);
// True when the text has such a leading number.
bool startsWithNumber(std::string_view text);

// Round to the nearest integer, a half to the even neighbour; PlatformError("overflow")
// when the result does not fit.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// The plain number-to-text form: a minus sign or a single space, then the digits without
// group separators, and a point with the fraction's digits when there is a fraction.
std::string numberText(double value);

} // namespace tamberlight
