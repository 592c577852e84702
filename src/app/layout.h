#pragma once

namespace tamberlight {

struct Point {
    float x, y;
};

// Where hour mark i (0 at 3 o'clock, going clockwise) sits on a dial of the given radius.
// The mark angle is i x 3.1415 / 6: the marks have always been set with 3.1415.
Point markPosition(int i, float radius);

} // namespace tamberlight
