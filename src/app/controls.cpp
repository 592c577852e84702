// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/controls.h"

#include "platform/platform_error.h"

namespace tamberlight {

void Timer::setInterval(std::int32_t milliseconds) {
    if (milliseconds < 0)
        throw PlatformError("interval " + std::to_string(milliseconds) + " is not accepted");
    interval_ = milliseconds;
}

} // namespace tamberlight
