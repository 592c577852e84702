#include "app/form1.h"
#include "app/layout.h"
#include "clock/hands.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tamberlight {
namespace {

std::string digits(double value, int places) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

TEST(Marks, SitOnTheDialAtTheirPrintedPlaces) {
    const char* xs[] = {"217.3750", "203.9951", "167.4402", "117.5046", "67.5678",  "31.0096",
                        "17.6250",  "31.0003",  "67.5518",  "117.4861", "167.4241", "203.9858"};
    const char* ys[] = {"117.5000", "167.4362", "203.9928", "217.3750", "203.9974", "167.4442",
                        "117.5093", "67.5719",  "31.0119",  "17.6250",  "30.9980",  "67.5478"};
    for (int i = 0; i < 12; ++i) {
        const Point p = markPosition(i, 117.5F);
        EXPECT_EQ(digits(p.x, 4), xs[i]) << "mark " << i;
        EXPECT_EQ(digits(p.y, 4), ys[i]) << "mark " << i;
    }
}

TEST(Hands, EndWhereThePrintedTableSays) {
    struct Row {
        int hour, minute;
        const char *mx, *my, *hx, *hy;
    };
    const Row rows[] = {
        {0, 0, "99.98878", "27.00000", "99.99232", "50.00000"},
        {0, 15, "173.00000", "100.00000", "106.51933", "50.42684"},
        {3, 0, "99.98878", "27.00000", "150.00000", "100.00000"},
        {15, 0, "99.98878", "27.00000", "149.99998", "100.03073"},
        {6, 30, "99.98878", "173.00000", "87.05039", "148.29398"},
        {18, 30, "99.98878", "173.00000", "87.02071", "148.28600"},
        {9, 45, "27.00000", "99.97756", "53.81264", "80.84985"},
    };
    for (const Row& r : rows) {
        const HandEnds e = handEnds(r.minute, r.hour, 100.0F, 73.0, 50.0);
        const std::string when = std::to_string(r.hour) + ":" + std::to_string(r.minute);
        EXPECT_EQ(digits(e.minuteX, 5), r.mx) << when;
        EXPECT_EQ(digits(e.minuteY, 5), r.my) << when;
        EXPECT_EQ(digits(e.hourX, 5), r.hx) << when;
        EXPECT_EQ(digits(e.hourY, 5), r.hy) << when;
    }
}

class Layout : public ::testing::Test {
protected:
    Layout() { services.exeDir = dir.path().string(); }
    void resizeTo(float width, float height = 625) {
        form.ScaleWidth = width;
        form.ScaleHeight = height;
        form.Form_Resize();
    }
    testing::TempDir dir;
    testing::FakeServices services;
    Form1 form{services};
};

TEST_F(Layout, LoadTimeLayoutPointsTheHandsUpAndShowsTheShortTime) {
    form.Form_Load();
    EXPECT_EQ(form.Label1.Caption, "0:00");
    EXPECT_EQ(form.Label2.Caption, "0:00");
    EXPECT_EQ(form.Label3.Caption, "");
    EXPECT_EQ(form.Label3.Width, 221.0F);
    EXPECT_EQ(form.Shape1.Width, 235.0F);
    EXPECT_EQ(form.Shape1.Height, 253.0F) << "the circle keeps its design height until a resize";
    EXPECT_EQ(form.Line1.X2, 117.5F);
    EXPECT_EQ(form.Line1.Y2, 58.75F);
    EXPECT_EQ(form.Line2.Y2, static_cast<float>(117.5 - 85.775));
    EXPECT_EQ(form.Frame1.Width, 235.0F);
    EXPECT_EQ(form.Command5.Top, 327.0F);
}

TEST_F(Layout, WorkedExampleAtWidth235) {
    form.Form_Load();
    form.Label3.Caption = "kept";
    resizeTo(235);
    EXPECT_EQ(form.DialWidth, 235.0F);
    EXPECT_EQ(form.DialRadius, 117.5F);
    EXPECT_EQ(form.HourHandLength, 58.75);
    EXPECT_DOUBLE_EQ(form.MinuteHandLength, 85.775);
    EXPECT_EQ(form.Shape1.Width, 235.0F);
    EXPECT_EQ(form.Shape1.Height, 235.0F);
    EXPECT_EQ(form.Label1.Left, 67.5F);
    EXPECT_EQ(form.Label1.Top, 176.25F);
    EXPECT_EQ(form.Label2.Left, 68.5F);
    EXPECT_EQ(form.Label2.Top, 175.25F);
    EXPECT_EQ(form.Label1.Width, 100.0F);
    EXPECT_EQ(form.Label1.Caption, "00:00");
    EXPECT_EQ(form.Label3.Width, 3150.0F);
    EXPECT_EQ(form.Label3.Caption, "kept");
    EXPECT_EQ(form.Frame1.Top, 235.0F);
    EXPECT_EQ(form.Text1.Top, 348.0F);
    EXPECT_EQ(form.Text1.Width, 235.0F);
    EXPECT_EQ(form.Text1.Height, 361.0F);
    EXPECT_EQ(form.Image1.Left, 53.5F);
    EXPECT_EQ(form.Image1.Top, -128.0F);
    EXPECT_EQ(form.Command5.Top, 327.0F);
    EXPECT_EQ(form.ScaleMode, 3);
    for (const Line* hand : {&form.Line1, &form.Line2}) {
        EXPECT_EQ(hand->X1, 117.5F);
        EXPECT_EQ(hand->X2, 117.5F);
        EXPECT_EQ(hand->Y2, 117.5F);
    }
}

TEST_F(Layout, TheAnnouncementFollowsTheFrameOfTheSamePass) {
    resizeTo(235);
    resizeTo(400);
    EXPECT_EQ(form.Frame1.Width, 400.0F);
    EXPECT_EQ(form.Label3.Width, 390.0F * 14);
}

TEST_F(Layout, WidthZeroStillPlacesEverything) {
    resizeTo(235);
    resizeTo(0);
    EXPECT_EQ(form.Label3.Width, 0.0F);
    EXPECT_EQ(form.Label1.Left, -50.0F);
    EXPECT_EQ(form.Label2.Left, -49.0F);
    EXPECT_EQ(form.Image1.Left, -64.0F);
    EXPECT_EQ(form.Frame1.Width, 0.0F);
    EXPECT_EQ(form.Text1.Width, 0.0F);
    EXPECT_EQ(form.Text1.Top, 113.0F);
    EXPECT_EQ(form.Command5.Top, 92.0F);
    for (const Line& mark : form.Line3) {
        EXPECT_EQ(mark.X1, 0.0F);
        EXPECT_EQ(mark.Y2, 0.0F);
    }
    resizeTo(8);
    EXPECT_EQ(form.Label3.Width, 0.0F) << "a frame narrower than its border leaves no room";
    EXPECT_EQ(form.Text1.Width, 8.0F);
}

TEST_F(Layout, AHeightOnlyResizeMovesNothingButCollapsesTheHands) {
    resizeTo(300);
    form.ClockTime = 0.125;
    form.Timer1_Timer();
    const Line mark = form.Line3[4];
    const float textTop = form.Text1.Top;
    const float labelTop = form.Label1.Top;
    EXPECT_NE(form.Line1.Y2, 150.0F);
    resizeTo(300, 900);
    EXPECT_EQ(form.Line3[4], mark);
    EXPECT_EQ(form.Text1.Top, textTop);
    EXPECT_EQ(form.Label1.Top, labelTop);
    EXPECT_EQ(form.Line1.X2, 150.0F);
    EXPECT_EQ(form.Line1.Y2, 150.0F);
    EXPECT_EQ(form.Line2.Y2, 150.0F);
    form.Timer1_Timer();
    EXPECT_NE(form.Line2.Y2, 150.0F) << "the next tick draws the hands again";
}

} // namespace
} // namespace tamberlight
