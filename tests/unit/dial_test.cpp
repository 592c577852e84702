// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The geometry of the window to the last digit: the hands, the marks and the two layouts.
#include "clock/dial.h"
#include "support/model_test.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tamberlight {

std::string digits(double value, int places) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

TEST(Dial, MarksSitAtTheirWorkedPlaces) {
    const char* expected[12] = {"217.3750 117.5000", "203.9951 167.4362", "167.4402 203.9928",
                                "117.5046 217.3750", "67.5678 203.9974",  "31.0096 167.4442",
                                "17.6250 117.5093",  "31.0003 67.5719",   "67.5518 31.0119",
                                "117.4861 17.6250",  "167.4241 30.9980",  "203.9858 67.5478"};
    for (int i = 0; i < 12; ++i) {
        const Point p = markPosition(i, 117.5F);
        EXPECT_EQ(digits(p.x, 4) + " " + digits(p.y, 4), expected[i]) << "mark " << i;
    }
}

TEST(Dial, HandsEndWhereTheWorkedTableSays) {
    struct Row {
        int hour, minute;
        const char* ends;
    } rows[] = {
        {0, 0, "99.98878 27.00000 99.99232 50.00000"},
        {0, 15, "173.00000 100.00000 106.51933 50.42684"},
        {15, 0, "99.98878 27.00000 149.99998 100.03073"},
        {6, 30, "99.98878 173.00000 87.05039 148.29398"},
        {18, 30, "99.98878 173.00000 87.02071 148.28600"},
        {9, 45, "27.00000 99.97756 53.81264 80.84985"},
    };
    for (const Row& r : rows) {
        const HandEnds e = handEnds(r.minute, r.hour, 100.0F, 73.0, 50.0);
        EXPECT_EQ(digits(e.minute.x, 5) + " " + digits(e.minute.y, 5) + " " + digits(e.hour.x, 5) +
                      " " + digits(e.hour.y, 5),
                  r.ends)
            << r.hour << ":" << r.minute;
    }
}

using Layout = test::ModelTest;

// The load-time layout differs from the resize layout in a few steps; everything else is the
// same worked example at width 235.
TEST_F(Layout, LoadThenResizeGiveTheWorkedExampleAtWidth235) {
    window.load();
    EXPECT_EQ(window.clockShadow.caption, "0:00");
    EXPECT_EQ(window.announcement.caption, "");
    EXPECT_EQ(window.announcement.width, 221.0F);
    EXPECT_EQ(window.dialCircle.height, 253.0F) << "the circle keeps its design height";
    EXPECT_EQ(window.hourHand.y2, 58.75F) << "the hands point straight up";
    EXPECT_EQ(window.minuteHand.y2, static_cast<float>(117.5 - 85.775));
    EXPECT_EQ(window.applyButton.top, 327.0F);

    window.announcement.caption = "kept";
    window.clockIsNow(3 * 60, false);
    window.resize(235, 625);
    const std::vector<float> figures = {
        window.dial().radius,      window.dialCircle.height,     window.clockShadow.left,
        window.clockShadow.top,    window.clockText.left,        window.clockText.top,
        window.announcement.width, window.announcementFrame.top, window.scheduleBox.top,
        window.scheduleBox.height, window.picture.left,          window.picture.top,
        window.applyButton.top,    window.hourHand.x1,           window.minuteHand.y1};
    EXPECT_EQ(figures, (std::vector<float>{117.5F, 235, 67.5F, 176.25F, 68.5F, 175.25F, 3150, 235,
                                           348, 361, 53.5F, -128, 327, 117.5F, 117.5F}));
    EXPECT_EQ(window.dial().hourHandLength, 58.75);
    EXPECT_DOUBLE_EQ(window.dial().minuteHandLength, 85.775);
    // The hands show the clock's time at once (three o'clock), not only from the next tick.
    EXPECT_NEAR(window.hourHand.x2, 176.25, 0.05);
    EXPECT_NEAR(window.minuteHand.y2, 117.5 - 85.775, 0.05);
    EXPECT_EQ(window.clockShadow.caption, "03:00");
    EXPECT_EQ(window.announcement.caption, "kept");
}

TEST_F(Layout, OnlyTheWidthCountsEvenWhenItIsZero) {
    window.resize(300, 625);
    const Line mark = window.hourMarks[4];
    window.resize(300, 900);
    EXPECT_EQ(window.hourMarks[4], mark);
    window.resize(0, 625);
    EXPECT_EQ(std::vector<float>(
                  {window.clockShadow.left, window.scheduleBox.top, window.hourMarks[7].x1}),
              std::vector<float>({-50, 113, 0}));
    window.resize(8, 625);
    EXPECT_EQ(window.announcement.width, 0.0F) << "a frame narrower than its border leaves no room";
}

} // namespace tamberlight
