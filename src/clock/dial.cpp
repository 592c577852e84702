// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "clock/dial.h"

#include <cmath>

namespace tamberlight {

namespace {
constexpr double HandHalfTurn = 3.1419;
constexpr double MarkHalfTurn = 3.1415;
} // namespace

HandEnds handEnds(double minute, double hour, float radius, double minuteLength,
                  double hourLength) {
    const double a = ((90 - minute * 6) / 180) * HandHalfTurn;
    const Point minuteEnd{static_cast<float>(std::cos(a) * minuteLength + radius),
                          static_cast<float>(radius - std::sin(a) * minuteLength)};
    const double b = ((90 - (hour * 30 + (minute * 6) / 12)) / 180) * HandHalfTurn;
    const Point hourEnd{static_cast<float>(std::cos(b) * hourLength + radius),
                        static_cast<float>(radius - std::sin(b) * hourLength)};
    return {minuteEnd, hourEnd};
}

Point markPosition(int i, float radius) {
    const double theta = i * MarkHalfTurn / 6;
    const double x = std::cos(theta) * radius * 0.85 + radius;
    const double y = std::sin(theta) * radius * 0.85 + radius;
    return {static_cast<float>(x), static_cast<float>(y)};
}

int markWidth(std::size_t i) {
    return i % 3 == 0 ? 12 : 9;
}

} // namespace tamberlight
