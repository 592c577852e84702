// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "clock/dial.h"

#include "app/form1.h"

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

// Both hands start at the centre; their outer ends go straight up to the given heights.
void Form1::placeHands(float hourEndY, float minuteEndY) {
    for (auto [hand, endY] : {std::pair{&Line1, hourEndY}, std::pair{&Line2, minuteEndY}}) {
        hand->X1 = CentreX;
        hand->Y1 = CentreY;
        hand->X2 = CentreX;
        hand->Y2 = endY;
    }
}

void Form1::moveHands(double minute, double hour) {
    const HandEnds ends = handEnds(minute, hour, DialRadius, MinuteHandLength, HourHandLength);
    Line2.X2 = ends.minute.x;
    Line2.Y2 = ends.minute.y;
    Line1.X2 = ends.hour.x;
    Line1.Y2 = ends.hour.y;
}

void Form1::placeMarks() {
    for (std::size_t i = 0; i < Line3.size(); ++i) {
        const Point p = markPosition(static_cast<int>(i), DialRadius);
        Line& mark = Line3[i];
        mark.X1 = p.x;
        mark.X2 = p.x;
        mark.Y1 = p.y;
        mark.Y2 = p.y;
    }
}

} // namespace tamberlight
