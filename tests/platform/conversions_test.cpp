#include "platform/conversions.h"
#include "platform/media_command.h"
#include "platform/platform_error.h"

#include <gtest/gtest.h>

namespace tamberlight {
namespace {

struct NumericCase {
    const char* text;
    bool numeric;
    double value;
};

class NumericText : public ::testing::TestWithParam<NumericCase> {};

TEST_P(NumericText, IsNumericAndValueAgree) {
    const NumericCase& c = GetParam();
    EXPECT_EQ(isNumeric(c.text), c.numeric) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(numericValue(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericText,
    ::testing::Values(
        NumericCase{"1492", true, 1492}, NumericCase{" 7 ", true, 7}, NumericCase{"-1", true, -1},
        NumericCase{"+3", true, 3}, NumericCase{"1492.5", true, 1492.5},
        NumericCase{".5", true, 0.5}, NumericCase{"5.", true, 5}, NumericCase{"007", true, 7},
        NumericCase{"", false, 0}, NumericCase{"   ", false, 0}, NumericCase{"abc", false, 0},
        NumericCase{"18:30", false, 18}, NumericCase{"12abc", false, 12},
        NumericCase{"1 2", false, 1}, NumericCase{"-", false, 0}, NumericCase{".", false, 0},
        NumericCase{"\t42", false, 42}, NumericCase{"99999999999", true, 99999999999.0}));

TEST(Conversions, TrimRemovesOnlySpaces) {
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim("\tx\t"), "\tx\t");
    EXPECT_EQ(trim("\xE3\x80\x80x"), "\xE3\x80\x80x"); // an ideographic space is no space
}

TEST(Conversions, IntegersRoundHalfToEven) {
    EXPECT_EQ(toInt32(1492.5), 1492);
    EXPECT_EQ(toInt32(1493.5), 1494);
    EXPECT_EQ(toInt32(-2.5), -2);
    EXPECT_EQ(toInt32(2.4999), 2);
    EXPECT_EQ(toInt16(-128.0), -128);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);
}

TEST(Conversions, IntegersOverflowWithAnError) {
    EXPECT_THROW(toInt16(32767.5), PlatformError);
    EXPECT_THROW(toInt16(-32769), PlatformError);
    EXPECT_THROW(toInt32(2147483647.5), PlatformError);
    EXPECT_THROW(toInt32(99999999999.0), PlatformError);
    EXPECT_THROW(toInt32(std::numeric_limits<double>::quiet_NaN()), PlatformError);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    // Digits beyond a double's range overflow too, rather than reading as 0.
    EXPECT_THROW(toInt32(numericValue(std::string(400, '9'))), PlatformError);
    EXPECT_EQ(numericValue("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(Conversions, NumberTextPutsASpaceBeforeNonNegativeNumbers) {
    EXPECT_EQ(numberText(1200), " 1200");
    EXPECT_EQ(numberText(-128), "-128");
    EXPECT_EQ(numberText(0), " 0");
    EXPECT_EQ(numberText(0.5), " .5");
    EXPECT_EQ(numberText(4230.25), " 4230.25");
    EXPECT_EQ(numberText(123456789), " 123456789");
    EXPECT_EQ(numberText(300000), " 300000") << "never an exponent";
    EXPECT_EQ(numberText(-4500000), "-4500000");
}

TEST(MediaCommand, PlayCommandRoundTripsAnyPath) {
    for (const std::string path : {"/tmp/a b/bell.wav", "/x/\"quoted\".wav", "/音/ベル.ogg", ""}) {
        const std::string command = playCommand(path);
        EXPECT_EQ(command, "play \"" + path + "\"");
        EXPECT_EQ(parsePlayCommand(command), path);
    }
}

TEST(MediaCommand, OtherCommandsAreRefused) {
    for (const std::string command :
         {"stop \"/a.wav\"", "play /a.wav", "play \"", "open x", "", "PLAY \"/a.wav\""})
        EXPECT_THROW(parsePlayCommand(command), PlatformError) << command;
}

} // namespace
} // namespace tamberlight
