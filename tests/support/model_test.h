// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/clock_window.h"
#include "support/fake_services.h"

#include <gtest/gtest.h>

namespace tamberlight::test {

// The window model over services held in memory.
class ModelTest : public ::testing::Test {
protected:
    std::string file() const { return services.settingsFile.value_or(""); }
    // What a handler tells the user, if anything.
    std::string told(void (ClockWindow::*handler)()) {
        try {
            (window.*handler)();
        } catch (const PlatformError& error) {
            return error.what();
        }
        return "";
    }
    // The clock at a time of day, and the given ticks from there.
    void tickFrom(int hour, int minute, int ticks = 1) {
        window.clockIsNow(hour * 60 + minute, false);
        for (int i = 0; i < ticks; ++i)
            window.tick();
    }

    FakeServices services;
    ClockWindow window{services};
};

inline constexpr int at(int hour, int minute) {
    return hour * 60 + minute;
}

} // namespace tamberlight::test
