#include "app/form1.h"
#include "clock/time_value.h"
#include "platform/platform_error.h"
#include "support/fake_services.h"

#include <gtest/gtest.h>

namespace tamberlight {
namespace {

double at(int hour, int minute) {
    return (hour * 60 + minute) / 1440.0;
}

class Tick : public ::testing::Test {
protected:
    testing::FakeServices services;
    Form1 form{services};
};

TEST_F(Tick, AdvancesOneMinuteAndWritesBothClockLabels) {
    form.ClockTime = at(9, 4);
    form.Timer1_Timer();
    EXPECT_EQ(form.ClockTime, at(9, 5));
    EXPECT_EQ(form.Label1.Caption, "09:05");
    EXPECT_EQ(form.Label2.Caption, "09:05");
    form.ClockTime = at(12, 59);
    form.Timer1_Timer();
    EXPECT_EQ(form.Label2.Caption, "13:00");
}

TEST_F(Tick, WrapsAtMidnightToZeroNotToADate) {
    form.ClockTime = at(23, 59);
    form.Timer1_Timer();
    EXPECT_EQ(form.ClockTime, 0.0);
    EXPECT_EQ(form.Label1.Caption, "00:00");
}

TEST_F(Tick, AFullDayOfTicksReturnsExactlyTheSameValue) {
    for (int start = 0; start < 1440; start += 37) {
        form.ClockTime = at(start / 60, start % 60);
        for (int i = 0; i < 1440; ++i)
            form.Timer1_Timer();
        ASSERT_EQ(form.ClockTime, at(start / 60, start % 60)) << "from minute " << start;
    }
}

struct BaseCase {
    const char* text;
    bool sets;
    double value;
    bool fails;
};

class BaseTime : public Tick, public ::testing::WithParamInterface<BaseCase> {};

TEST_P(BaseTime, SetsTheClockToTheHourAndOneMinute) {
    const BaseCase& c = GetParam();
    form.ClockTime = at(3, 33);
    form.Text2.setText(c.text);
    const auto focus = form.Text1.focusRequests();
    if (c.fails)
        EXPECT_THROW(form.Command8_Click(), PlatformError);
    else
        EXPECT_NO_THROW(form.Command8_Click());
    EXPECT_EQ(form.ClockTime, c.sets ? c.value : at(3, 33)) << c.text;
    EXPECT_EQ(form.Text1.focusRequests(), focus + 1) << "the focus moves on every click";
    EXPECT_EQ(form.Timer1.Interval(), 1492);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BaseTime,
    ::testing::Values(BaseCase{"18", true, at(18, 1), false},
                      BaseCase{" 7 ", true, at(7, 1), false},
                      BaseCase{"007", true, at(7, 1), false}, BaseCase{"0", true, at(0, 1), false},
                      BaseCase{"", false, 0, false}, BaseCase{"18:30", false, 0, false},
                      BaseCase{"24", false, 0, true}, BaseCase{"-1", false, 0, true},
                      BaseCase{"7.5", false, 0, true}));

TEST_F(Tick, TheFirstTickAfterTheBaseTimeShowsTheNextMinute) {
    form.Text2.setText(" 7 ");
    form.Command8_Click();
    form.Timer1_Timer();
    EXPECT_EQ(form.Label1.Caption, "07:02");
}

struct IntervalCase {
    const char* text;
    std::int32_t interval;
    bool fails;
};

class Interval : public Tick, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(Interval, SetsTheTimerFromNumericTextOnly) {
    const IntervalCase& c = GetParam();
    form.ClockTime = at(5, 0);
    form.Text3.setText(c.text);
    const auto focus = form.Text1.focusRequests();
    if (c.fails)
        EXPECT_THROW(form.Command4_Click(), PlatformError);
    else
        EXPECT_NO_THROW(form.Command4_Click());
    EXPECT_EQ(form.Timer1.Interval(), c.interval) << c.text;
    EXPECT_EQ(form.ClockTime, at(5, 0));
    EXPECT_EQ(form.Text1.focusRequests(), focus) << "this button keeps the focus";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Interval,
    ::testing::Values(IntervalCase{"1492.5", 1492, false}, IntervalCase{"1493.5", 1494, false},
                      IntervalCase{"0", 0, false}, IntervalCase{" 250 ", 250, false},
                      IntervalCase{"-5", 1492, true}, IntervalCase{"abc", 1492, false},
                      IntervalCase{"", 1492, false}, IntervalCase{"99999999999", 1492, true}));

} // namespace
} // namespace tamberlight
