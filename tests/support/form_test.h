// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/form1.h"
#include "support/fake_services.h"

#include <gtest/gtest.h>

namespace tamberlight::test {

// A window object over services held in memory.
class FormTest : public ::testing::Test {
protected:
    std::string file() const { return services.settingsFile.value_or(""); }

    FakeServices services;
    Form1 form{services};
};

// A time of day as a time value.
inline double at(int hour, int minute, int second = 0) {
    return (hour * 3600 + minute * 60 + second) / 86400.0;
}

} // namespace tamberlight::test
