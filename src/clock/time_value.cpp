// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "clock/time_value.h"

#include "platform/platform_error.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace tamberlight {

namespace {

constexpr std::int64_t SecondsPerDay = 86400;

// The day 0 of time values is 30 December 1899.
constexpr std::int64_t DayZeroFromEpoch = -25569;

struct Split {
    std::int64_t day;
    std::int64_t second; // 0 .. 86399
};

// 31 December 9999, the last day a date text can show.
constexpr double LastDay = 2958465;

Split split(double value) {
    if (!(std::fabs(value) <= LastDay)) {
        char text[48];
        std::snprintf(text, sizeof text, "%g is no date or time of day", value);
        throw PlatformError(text);
    }
    double whole = std::trunc(value);
    std::int64_t second = std::llround(std::fabs(value - whole) * SecondsPerDay);
    if (second >= SecondsPerDay) {
        second -= SecondsPerDay;
        whole += value < 0 ? -1 : 1;
    }
    return {static_cast<std::int64_t>(whole), second};
}

std::string timeForm(std::int64_t second) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(second / 3600),
                  static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

// Civil date of a day count from 1970-01-01 (proleptic Gregorian calendar).
void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
}

std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::string dateText(std::int64_t day) {
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    civilFromDays(day + DayZeroFromEpoch, y, m, d);
    char text[32];
    std::snprintf(text, sizeof text, "%lld/%02u/%02u", static_cast<long long>(y), m, d);
    return text;
}

// A run of 1 to maxDigits decimal digits at pos, advancing pos past it.
std::optional<int> digits(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    return value;
}

std::optional<double> readTime(std::string_view text) {
    std::size_t pos = 0;
    const auto hour = digits(text, pos, 3);
    if (!hour || *hour > 23 || pos >= text.size() || text[pos] != ':')
        return std::nullopt;
    ++pos;
    const auto minute = digits(text, pos, 2);
    if (!minute || *minute > 59)
        return std::nullopt;
    int second = 0;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        const auto s = digits(text, pos, 2);
        if (!s || *s > 59)
            return std::nullopt;
        second = *s;
    }
    if (pos != text.size())
        return std::nullopt;
    return static_cast<double>(*hour * 3600 + *minute * 60 + second) / SecondsPerDay;
}

std::optional<double> readDate(std::string_view text) {
    std::size_t pos = 0;
    const std::size_t start = pos;
    const auto year = digits(text, pos, 4);
    if (!year || pos - start != 4 || pos >= text.size())
        return std::nullopt;
    const char separator = text[pos];
    if (separator != '/' && separator != '-')
        return std::nullopt;
    ++pos;
    const auto month = digits(text, pos, 2);
    if (!month || pos >= text.size() || text[pos] != separator)
        return std::nullopt;
    ++pos;
    const auto day = digits(text, pos, 2);
    if (!day || pos != text.size() || *month < 1 || *month > 12 || *day < 1)
        return std::nullopt;
    const auto m = static_cast<unsigned>(*month);
    const auto d = static_cast<unsigned>(*day);
    const std::int64_t serial = daysFromCivil(*year, m, d) - DayZeroFromEpoch;
    // Reject 31 April and the like: the day must survive the round trip.
    std::int64_t y = 0;
    unsigned mm = 0;
    unsigned dd = 0;
    civilFromDays(serial + DayZeroFromEpoch, y, mm, dd);
    if (mm != m || dd != d)
        return std::nullopt;
    return static_cast<double>(serial);
}

} // namespace

std::string timeText(double value) {
    const Split s = split(value);
    if (s.day == 0)
        return timeForm(s.second);
    if (s.second == 0)
        return dateText(s.day);
    return dateText(s.day) + " " + timeForm(s.second);
}

std::string clockText(double value) {
    const std::string text = timeText(value);
    const auto colon = text.rfind(':');
    if (colon == std::string::npos)
        throw PlatformError("invalid procedure call: \"" + text + "\" holds no time");
    std::string padded(1, '0');
    padded.append(text, 0, colon);
    return padded.substr(padded.size() - 5);
}

std::string shortTimeText(double value) {
    const std::string text = timeText(value);
    const auto colon = text.rfind(':');
    if (colon == std::string::npos)
        throw PlatformError("invalid procedure call: \"" + text + "\" holds no time");
    return text.substr(0, colon);
}

bool sameTimeText(double a, double b) {
    const Split x = split(a);
    const Split y = split(b);
    return x.day == y.day && x.second == y.second;
}

int hourOfDay(double value) {
    return static_cast<int>(split(value).second / 3600);
}

int minuteOfHour(double value) {
    return static_cast<int>(split(value).second / 60 % 60);
}

double addMinute(double value) {
    Split s = split(value);
    s.second += 60;
    if (s.second >= SecondsPerDay) {
        s.second -= SecondsPerDay;
        ++s.day;
    }
    return static_cast<double>(s.day) + static_cast<double>(s.second) / SecondsPerDay;
}

double timeValueFromText(std::string_view text) {
    if (auto time = readTime(text))
        return *time;
    if (auto date = readDate(text))
        return *date;
    throw PlatformError("type mismatch: \"" + std::string(text) + "\" is no time");
}

bool isDate(std::string_view text) {
    return readTime(text) || readDate(text);
}

} // namespace tamberlight
