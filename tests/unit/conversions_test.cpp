// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// Numbers typed and written: is-numeric, numeric value, rounding and the number text.
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "support/rows.h"

#include <gtest/gtest.h>

#include <limits>

namespace tamberlight {

struct Numeric {
    const char* text;
    bool numeric;
    double value;
};
class NumericText : public ::testing::TestWithParam<Numeric> {};

TEST_P(NumericText, IsNumericAndTheLeadingNumberAgree) {
    const Numeric& c = GetParam();
    EXPECT_EQ(isNumeric(c.text), c.numeric) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericText,
                         ::testing::Values(Numeric{" 7 ", true, 7}, Numeric{"-1", true, -1},
                                           Numeric{"+3", true, 3}, Numeric{".5", true, 0.5},
                                           Numeric{"5.", true, 5}, Numeric{"", false, 0},
                                           Numeric{"   ", false, 0}, Numeric{"18:30", false, 18},
                                           Numeric{"1 2", false, 1}, Numeric{"-", false, 0},
                                           Numeric{".", false, 0}, Numeric{"\t42", false, 42}),
                         test::textRowName<Numeric>);

TEST(Conversions, IntegersRoundHalfToEvenAndOverflowWithAnError) {
    EXPECT_EQ(toInt32(1492.5), 1492);
    EXPECT_EQ(toInt32(1493.5), 1494);
    EXPECT_EQ(toInt32(-2.5), -2);
    EXPECT_EQ(toInt16(-32768.5), -32768);
    EXPECT_THROW(toInt16(32767.5), PlatformError);
    EXPECT_THROW(toInt32(2147483647.5), PlatformError);
    EXPECT_THROW(toInt32(std::numeric_limits<double>::quiet_NaN()), PlatformError);
    EXPECT_THROW(toInt32(numericValue(std::string(400, '9'))), PlatformError)
        << "digits beyond a double's range overflow rather than read as 0";
}

TEST(Conversions, NumberTextIsASpaceOrMinusThenPlainDigits) {
    EXPECT_EQ(numberText(1200), " 1200");
    EXPECT_EQ(numberText(-128), "-128");
    EXPECT_EQ(numberText(0), " 0");
    EXPECT_EQ(numberText(0.5), " .5");
    EXPECT_EQ(numberText(4230.25), " 4230.25");
    EXPECT_EQ(numberText(300000), " 300000") << "never an exponent";
}

} // namespace tamberlight
