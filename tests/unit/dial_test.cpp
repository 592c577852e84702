// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The geometry of the window to the last digit: the hands, the marks and the two layouts.
#include "app/form1.h"
#include "clock/dial.h"
#include "support/form_test.h"

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

class Layout : public test::FormTest {
protected:
    void resizeTo(float width, float height = 625) {
        form.ScaleWidth = width;
        form.ScaleHeight = height;
        form.Form_Resize();
    }
};

// The load-time layout differs from the resize layout in a few steps; everything else is the
// same worked example at width 235.
TEST_F(Layout, LoadThenResizeGiveTheWorkedExampleAtWidth235) {
    form.Form_Load();
    EXPECT_EQ(form.Label1.Caption, "0:00");
    EXPECT_EQ(form.Label3.Caption, "");
    EXPECT_EQ(form.Label3.Width, 221.0F);
    EXPECT_EQ(form.Shape1.Height, 253.0F) << "the circle keeps its design height";
    EXPECT_EQ(form.Line1.Y2, 58.75F) << "the hands point straight up";
    EXPECT_EQ(form.Line2.Y2, static_cast<float>(117.5 - 85.775));
    EXPECT_EQ(form.Command5.Top, 327.0F);

    form.Label3.Caption = "kept";
    form.ClockTime = test::at(3, 0);
    resizeTo(235);
    const std::vector<float> figures = {
        form.DialRadius,  form.Shape1.Height, form.Label1.Left,  form.Label1.Top, form.Label2.Left,
        form.Label2.Top,  form.Label3.Width,  form.Frame1.Top,   form.Text1.Top,  form.Text1.Height,
        form.Image1.Left, form.Image1.Top,    form.Command5.Top, form.Line1.X1,   form.Line2.Y1};
    EXPECT_EQ(figures, (std::vector<float>{117.5F, 235, 67.5F, 176.25F, 68.5F, 175.25F, 3150, 235,
                                           348, 361, 53.5F, -128, 327, 117.5F, 117.5F}));
    EXPECT_EQ(form.HourHandLength, 58.75);
    EXPECT_DOUBLE_EQ(form.MinuteHandLength, 85.775);
    // The hands show the clock's time at once (three o'clock), not only from the next tick.
    EXPECT_NEAR(form.Line1.X2, 176.25, 0.05);
    EXPECT_NEAR(form.Line2.Y2, 117.5 - 85.775, 0.05);
    EXPECT_EQ(form.Label1.Caption, "03:00");
    EXPECT_EQ(form.Label3.Caption, "kept");
    EXPECT_EQ(form.ScaleMode, 3);
}

TEST_F(Layout, OnlyTheWidthCountsEvenWhenItIsZero) {
    resizeTo(300);
    const Line mark = form.Line3[4];
    resizeTo(300, 900);
    EXPECT_EQ(form.Line3[4], mark);
    resizeTo(0);
    EXPECT_EQ(std::vector<float>({form.Label1.Left, form.Text1.Top, form.Line3[7].X1}),
              std::vector<float>({-50, 113, 0}));
    resizeTo(8);
    EXPECT_EQ(form.Label3.Width, 0.0F) << "a frame narrower than its border leaves no room";
}

} // namespace tamberlight
