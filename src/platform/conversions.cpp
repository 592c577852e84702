// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "platform/conversions.h"

#include "platform/platform_error.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tamberlight {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number ([sign] digits [. digits]) at the start of text, 0 if none.
std::size_t numberLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            digits += fraction;
            i = j;
        }
    }
    return digits == 0 ? 0 : i;
}

std::string overflowMessage(double value, std::size_t bits) {
    char text[80];
    std::snprintf(text, sizeof text, "overflow: %.15g does not fit in %zu bits", value, bits);
    return text;
}

template <typename Int> Int roundChecked(double value) {
    const double rounded = std::nearbyint(value); // the default rounding mode sends halves to even
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
        throw PlatformError(overflowMessage(value, sizeof(Int) * 8));
    return static_cast<Int>(rounded);
}

} // namespace

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool isNumeric(std::string_view text) {
    const std::string trimmed = trim(text);
    return !trimmed.empty() && numberLength(trimmed) == trimmed.size();
}

namespace {

std::string_view leadingNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    const std::string_view rest = text.substr(start);
    return rest.substr(0, numberLength(rest));
}

} // namespace

bool startsWithNumber(std::string_view text) {
    return !leadingNumber(text).empty();
}

double numericValue(std::string_view text) {
    std::string_view number = leadingNumber(text);
    if (number.empty())
        return 0.0;
    bool negative = false;
    if (number.front() == '+' || number.front() == '-') {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0.0;
    std::string buffer(number);
    if (buffer.front() == '.')
        buffer.insert(buffer.begin(), '0');
    if (buffer.back() == '.')
        buffer.pop_back();
    const auto result = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
    // Out of a double's range: too large is as large as it gets, so that an integer conversion
    // overflows; too small is 0.
    if (result.ec == std::errc::result_out_of_range) {
        const std::string_view whole = std::string_view(buffer).substr(0, buffer.find('.'));
        value = whole.find_first_not_of('0') != std::string_view::npos
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    }
    return negative ? -value : value;
}

std::int16_t toInt16(double value) {
    return roundChecked<std::int16_t>(value);
}

std::int32_t toInt32(double value) {
    return roundChecked<std::int32_t>(value);
}

std::string numberText(double value) {
    std::array<char, 400> digits{};
    const double magnitude = std::fabs(value);
    // Single-precision values are written with their own shortest digits, as the window keeps them.
    const auto single = static_cast<float>(magnitude);
    // Plain digits, never an exponent: the reader takes only the digits.
    auto [end, ec] = static_cast<double>(single) == magnitude
                         ? std::to_chars(digits.data(), digits.data() + digits.size(), single,
                                         std::chars_format::fixed)
                         : std::to_chars(digits.data(), digits.data() + digits.size(), magnitude,
                                         std::chars_format::fixed);
    (void)ec;
    std::string text(digits.data(), end);
    if (text.size() > 1 && text[0] == '0' && text[1] == '.')
        text.erase(0, 1); // "0.5" is written ".5"
    return (value < 0 ? "-" : " ") + text;
}

} // namespace tamberlight
