// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The clock's own time: the tick and its wrap at midnight, its texts, the base hour and the
// interval as the user types them.
#include "clock/clock.h"
#include "platform/platform_error.h"
#include "support/model_test.h"
#include "support/rows.h"

#include <gtest/gtest.h>

namespace tamberlight {

using test::at;

using Tick = test::ModelTest;

TEST_F(Tick, MidnightWrapsAndTheTextsShowTheNewMinute) {
    EXPECT_EQ(Clock().shortText(), "0:00") << "before the first layout";
    tickFrom(23, 59);
    EXPECT_EQ(window.clockShadow.caption + window.clockText.caption, "00:0000:00") << "not 24:00";
    tickFrom(9, 4);
    EXPECT_EQ(window.clockText.caption, "09:05");
    EXPECT_EQ(window.takeMoved(), ClockWindow::Moved::Tick);
}

struct Typed {
    const char* text;
    int clock;       // the minute after 基準時刻設定 from 3:33; -1: told why not; -2: nothing
    std::int32_t ms; // after 設定 from 1492, the same way
};
class Typing : public test::ModelTest, public ::testing::WithParamInterface<Typed> {};

TEST_P(Typing, BaseHourAndIntervalTakeNumbersOnlyAndSayWhyNot) {
    const Typed& c = GetParam();
    const std::string quoted = '"' + std::string(c.text) + '"';
    window.clockIsNow(at(3, 33), false);
    window.baseHourBox.setText(c.text);
    const auto focus = window.scheduleBox.focusRequests();
    EXPECT_EQ(told(&ClockWindow::setBaseHour),
              c.clock == -1 ? quoted + " is not an hour of the day; the clock keeps its time" : "");
    const int expected = c.clock < 0 ? at(3, 33) : c.clock;
    EXPECT_EQ(window.clock().minute(), expected) << c.text;
    Clock shown;
    shown.setMinute(expected);
    EXPECT_EQ(window.clockText.caption, shown.text()) << "the new time shows at once";
    EXPECT_EQ(window.scheduleBox.focusRequests(), focus + 1) << "the focus moves on every click";
    window.intervalBox.setText(c.text);
    EXPECT_EQ(told(&ClockWindow::setInterval),
              c.ms == -1
                  ? quoted + " is not a tick interval in milliseconds; the clock keeps its speed"
                  : "");
    EXPECT_EQ(window.clock().interval(), c.ms < 0 ? 1492 : c.ms) << c.text;
    EXPECT_EQ(window.clock().minute(), expected) << "the interval leaves the clock";
    EXPECT_EQ(window.stoppedMark.visible, c.ms == 0) << "a stopped clock shows it";
    EXPECT_EQ(window.takeMoved(),
              c.clock >= 0 || c.ms >= 0 ? ClockWindow::Moved::Jump : ClockWindow::Moved::Not);
}

INSTANTIATE_TEST_SUITE_P(Texts, Typing,
                         ::testing::Values(Typed{"18", at(18, 1), 18}, Typed{" 7 ", at(7, 1), 7},
                                           Typed{"007", at(7, 1), 7}, Typed{"0", at(0, 1), 0},
                                           Typed{"24", -1, 24}, Typed{"0007", -1, 7},
                                           Typed{"1492.5", -1, 1492}, Typed{"1493.5", -1, 1494},
                                           Typed{"-1", -1, -1}, Typed{"99999999999", -1, -1},
                                           Typed{"", -2, -2}, Typed{"18:30", -2, -2}),
                         test::textRowName<Typed>);

} // namespace tamberlight
