#include "clock/time_value.h"
#include "platform/platform_error.h"

#include <gtest/gtest.h>

namespace tamberlight {
namespace {

double at(int hour, int minute, int second = 0) {
    return (hour * 3600 + minute * 60 + second) / 86400.0;
}

TEST(TimeText, DayZeroShowsTheTimeForm) {
    EXPECT_EQ(timeText(0), "0:00:00");
    EXPECT_EQ(timeText(at(9, 5)), "9:05:00");
    EXPECT_EQ(timeText(at(18, 1)), "18:01:00");
    EXPECT_EQ(timeText(at(23, 59, 59)), "23:59:59");
    EXPECT_EQ(timeText(0.5), "12:00:00");
}

TEST(TimeText, OtherDaysShowADateWithoutColon) {
    EXPECT_EQ(timeText(1), "1899/12/31");
    EXPECT_EQ(timeText(46362), "2026/12/06");
    EXPECT_EQ(timeText(1 + at(6, 30)), "1899/12/31 6:30:00");
    // A time of day that rounds up to a whole day counts as the next day's midnight.
    EXPECT_EQ(timeText(0.99999999), "1899/12/31");
}

TEST(ClockText, AlwaysTwoDigitHoursAndMinutes) {
    EXPECT_EQ(clockText(0), "00:00");
    EXPECT_EQ(clockText(at(9, 5)), "09:05");
    EXPECT_EQ(clockText(at(18, 1)), "18:01");
    EXPECT_EQ(clockText(at(23, 59)), "23:59");
    EXPECT_EQ(shortTimeText(0), "0:00");
    EXPECT_EQ(shortTimeText(at(7, 1)), "7:01");
    EXPECT_THROW(clockText(1), PlatformError);
}

TEST(AddMinute, CarriesIntoHoursAndTheNextDayExactly) {
    EXPECT_EQ(addMinute(at(9, 4)), at(9, 5));
    EXPECT_EQ(addMinute(at(12, 59)), at(13, 0));
    EXPECT_EQ(addMinute(at(23, 59)), 1.0);
    EXPECT_EQ(hourOfDay(at(18, 30)), 18);
    EXPECT_EQ(minuteOfHour(at(18, 30)), 30);
}

struct ReadCase {
    const char* text;
    bool accepted;
    double value;
};

class TimeFromText : public ::testing::TestWithParam<ReadCase> {};

TEST_P(TimeFromText, ReadsTimesAndDatesOnly) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(isDate(c.text), c.accepted) << c.text;
    if (c.accepted)
        EXPECT_EQ(timeValueFromText(c.text), c.value) << c.text;
    else
        EXPECT_THROW(timeValueFromText(c.text), PlatformError) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeFromText,
    ::testing::Values(ReadCase{"00:00:00", true, 0}, ReadCase{"18:30", true, 1110 / 1440.0},
                      ReadCase{"6:00", true, 0.25}, ReadCase{"06:00", true, 0.25},
                      ReadCase{"21:05", true, 1265 / 1440.0}, ReadCase{"18:01", true, at(18, 1)},
                      ReadCase{"007:01", true, at(7, 1)}, ReadCase{"9:30:15", true, at(9, 30, 15)},
                      ReadCase{"2026/12/06", true, 46362}, ReadCase{"2026-12-06", true, 46362},
                      ReadCase{"24:01", false, 0}, ReadCase{"-1:01", false, 0},
                      ReadCase{"18:60", false, 0}, ReadCase{"18:30:60", false, 0},
                      ReadCase{"18:30:01:01", false, 0}, ReadCase{"7.5:01", false, 0},
                      ReadCase{"18", false, 0}, ReadCase{"", false, 0}, ReadCase{"#boss", false, 0},
                      ReadCase{"2026/02/30", false, 0}, ReadCase{"2026/13/01", false, 0},
                      ReadCase{"18:30\t", false, 0}, ReadCase{" 18:30", false, 0}));

} // namespace
} // namespace tamberlight
