#include "clock/hands.h"

#include "app/form1.h"

#include <cmath>

namespace tamberlight {

namespace {
constexpr double HalfTurn = 3.1419;
}

HandEnds handEnds(double minute, double hour, float radius, double minuteLength,
                  double hourLength) {
    HandEnds ends{};
    const double a = ((90 - minute * 6) / 180) * HalfTurn;
    ends.minuteX = static_cast<float>(std::cos(a) * minuteLength + radius);
    ends.minuteY = static_cast<float>(radius - std::sin(a) * minuteLength);
    const double b = ((90 - (hour * 30 + (minute * 6) / 12)) / 180) * HalfTurn;
    ends.hourX = static_cast<float>(std::cos(b) * hourLength + radius);
    ends.hourY = static_cast<float>(radius - std::sin(b) * hourLength);
    return ends;
}

void Form1::moveHands(double minute, double hour) {
    const HandEnds ends = handEnds(minute, hour, DialRadius, MinuteHandLength, HourHandLength);
    Line2.X2 = ends.minuteX;
    Line2.Y2 = ends.minuteY;
    Line1.X2 = ends.hourX;
    Line1.Y2 = ends.hourY;
}

} // namespace tamberlight
