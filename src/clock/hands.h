#pragma once

namespace tamberlight {

struct HandEnds {
    float minuteX, minuteY, hourX, hourY;
};

// The outer ends of the minute and hour hands around the centre (radius, radius). The hour
// hand moves half a degree per clock minute and takes the hour over the full 0 to 23. The
// half turn is 3.1419 here, not pi: the hands have always been drawn with it.
HandEnds handEnds(double minute, double hour, float radius, double minuteLength, double hourLength);

} // namespace tamberlight
