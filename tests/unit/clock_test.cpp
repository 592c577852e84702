// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The clock's own time: time values and their texts, the tick, the base time and the interval.
#include "app/form1.h"
#include "clock/time_value.h"
#include "platform/platform_error.h"
#include "support/form_test.h"
#include "support/rows.h"

#include <gtest/gtest.h>

#include <limits>

namespace tamberlight {

using test::at;

TEST(TimeValue, TextsAndMinutesOfDayZeroAndOtherDays) {
    EXPECT_EQ(timeText(at(18, 1)), "18:01:00");
    EXPECT_EQ(timeText(1 + at(6, 30)), "1899/12/31 6:30:00");
    EXPECT_EQ(timeText(0.99999999), "1899/12/31") << "a whole other day shows no colon";
    EXPECT_EQ(clockText(at(9, 5)), "09:05");
    EXPECT_EQ(shortTimeText(at(7, 1)), "7:01");
    EXPECT_EQ(addMinute(at(23, 59)), 1.0);
    for (const double bad : {1e300, -3e6, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(timeText(bad), PlatformError) << bad;
        EXPECT_THROW(addMinute(bad), PlatformError) << bad;
    }
}

struct Read {
    const char* text;
    double value; // -1: no time value at all
};
class TimeFromText : public ::testing::TestWithParam<Read> {};

TEST_P(TimeFromText, ReadsTimesOfDayAndDatesOnly) {
    const auto [text, value] = GetParam();
    EXPECT_EQ(isDate(text), value >= 0) << text;
    if (value >= 0) {
        EXPECT_EQ(timeValueFromText(text), value) << text;
    } else {
        EXPECT_THROW(timeValueFromText(text), PlatformError) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, TimeFromText,
                         ::testing::Values(Read{"00:00:00", 0}, Read{"18:30", at(18, 30)},
                                           Read{"007:01", at(7, 1)}, Read{"9:30:15", at(9, 30, 15)},
                                           Read{"2026-12-06", 46362}, Read{"24:01", -1},
                                           Read{"18:60", -1}, Read{"7.5:01", -1}, Read{"18", -1},
                                           Read{"", -1}, Read{"2026/02/30", -1},
                                           Read{"18:30\t", -1}, Read{" 18:30", -1}),
                         test::textRowName<Read>);

class Tick : public test::FormTest {
protected:
    // What the button's handler tells the user, if anything.
    std::string told(void (Form1::*handler)()) {
        try {
            (form.*handler)();
        } catch (const PlatformError& error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(Tick, WritesTheClockLabelsAndADayOfTicksComesBackExactly) {
    form.ClockTime = at(23, 59);
    form.Timer1_Timer();
    EXPECT_EQ(form.ClockTime, 0.0) << "midnight wraps to zero, not to a date";
    EXPECT_EQ(form.Label1.Caption + form.Label2.Caption, "00:0000:00");
    for (int start = 1; start < 1440; start += 97) {
        form.ClockTime = at(start / 60, start % 60);
        for (int i = 0; i < 1440; ++i)
            form.Timer1_Timer();
        ASSERT_EQ(form.ClockTime, at(start / 60, start % 60)) << "from minute " << start;
    }
}

struct Typed {
    const char* text;
    double clock;    // after 基準時刻設定 from 3:33; -1: told why not; -2: nothing happens
    std::int32_t ms; // after 設定 from 1492, the same way
};
class Settings : public Tick, public ::testing::WithParamInterface<Typed> {};

TEST_P(Settings, BaseHourAndIntervalTakeNumbersOnlyAndSayWhyNot) {
    const Typed& c = GetParam();
    const std::string quoted = '"' + std::string(c.text) + '"';
    form.ClockTime = at(3, 33);
    form.Text2.setText(c.text);
    const auto focus = form.Text1.focusRequests();
    EXPECT_EQ(told(&Form1::Command8_Click),
              c.clock == -1 ? quoted + " is not an hour of the day; the clock keeps its time" : "");
    EXPECT_EQ(form.ClockTime, c.clock < 0 ? at(3, 33) : c.clock) << c.text;
    EXPECT_EQ(form.Label1.Caption, c.clock < 0 ? "00:00" : clockText(c.clock))
        << "the new time shows at once";
    EXPECT_EQ(form.Text1.focusRequests(), focus + 1) << "the focus moves on every click";
    form.Text3.setText(c.text);
    EXPECT_EQ(told(&Form1::Command4_Click),
              c.ms == -1
                  ? quoted + " is not a tick interval in milliseconds; the clock keeps its speed"
                  : "");
    EXPECT_EQ(form.Timer1.Interval(), c.ms < 0 ? 1492 : c.ms) << c.text;
    EXPECT_EQ(form.ClockTime, c.clock < 0 ? at(3, 33) : c.clock) << "the interval leaves the clock";
}

INSTANTIATE_TEST_SUITE_P(Texts, Settings,
                         ::testing::Values(Typed{"18", at(18, 1), 18}, Typed{"0", at(0, 1), 0},
                                           Typed{"1492.5", -1, 1492}, Typed{"1493.5", -1, 1494},
                                           Typed{"-1", -1, -1}, Typed{"99999999999", -1, -1},
                                           Typed{"", -2, -2}, Typed{"18:30", -2, -2}),
                         test::textRowName<Typed>);

} // namespace tamberlight
