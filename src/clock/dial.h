// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace tamberlight {

// The geometry of the dial: where the hands end and where the hour marks sit.

struct Point {
    float x, y;
};

struct HandEnds {
    Point minute, hour;
};

// The outer ends of the minute and hour hands around the centre (radius, radius). The hour
// hand moves half a degree per clock minute and takes the hour over the full 0 to 23. The
// half turn is 3.1419 here, not pi: the hands have always been drawn with it.
HandEnds handEnds(double minute, double hour, float radius, double minuteLength, double hourLength);

// Where hour mark i (0 at 3 o'clock, going clockwise) sits on a dial of the given radius. The
// mark angle is i x 3.1415 / 6: the marks have always been set with 3.1415.
Point markPosition(int i, float radius);

// The marks at 3, 6, 9 and 12 o'clock are 12 pixels across, the others 9.
int markWidth(std::size_t i);

} // namespace tamberlight
