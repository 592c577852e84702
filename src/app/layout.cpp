#include "app/layout.h"

#include "app/form1.h"
#include "clock/time_value.h"

#include <cmath>

namespace tamberlight {

Point markPosition(int i, float radius) {
    const double theta = i * 3.1415 / 6;
    const double x = std::cos(theta) * radius * 0.85 + radius;
    const double y = std::sin(theta) * radius * 0.85 + radius;
    return {static_cast<float>(x), static_cast<float>(y)};
}

// Everything is placed from the client width alone; the height plays no part. The hands are
// collapsed to the centre until the next tick turns them to the time.
void Form1::Form_Resize() {
    DialWidth = ScaleWidth;
    DialRadius = DialWidth / 2;
    Shape1.Width = DialWidth;
    Shape1.Height = DialWidth;
    CentreX = DialRadius;
    CentreY = DialRadius;
    HourHandLength = DialRadius * 0.5;
    MinuteHandLength = DialRadius * 0.73;
    placeHands(CentreY, CentreY);
    placeClockLabels(clockText);
    ScaleMode = 0;
    Frame1.Top = DialWidth;
    Frame1.Width = DialWidth;
    // The label inside the frame is in twips, 14 to the pixel of the frame's width, and follows
    // the width just given to the frame. A frame narrower than its 10-pixel border leaves no
    // room for the label.
    Label3.Width = Frame1.Width < 10 ? 0.0F : (Frame1.Width - 10) * 14;
    ScaleMode = 3;
    Text1.Top = DialWidth + Frame1.Height;
    Text1.Width = DialWidth;
    Text1.Height = 361;
    Image1.Left = DialRadius - 64;
    Image1.Top = PictureTop;
    Command5.Top = Text1.Top - 21;
    placeMarks();
}

// The layout at load time: the hands point straight up, the clock labels show the short time
// text, the announcement is emptied, and the circle keeps its design height until the first
// resize.
void Form1::loadTimeLayout() {
    DialWidth = ScaleWidth;
    DialRadius = DialWidth / 2;
    Shape1.Width = DialWidth;
    CentreX = DialRadius;
    CentreY = DialRadius;
    HourHandLength = DialRadius * 0.5;
    MinuteHandLength = DialRadius * 0.73;
    placeHands(static_cast<float>(CentreY - HourHandLength),
               static_cast<float>(CentreY - MinuteHandLength));
    placeClockLabels(shortTimeText);
    Frame1.Width = DialWidth;
    Frame1.Top = DialWidth;
    Label3.Width = DialWidth - 14;
    Label3.Caption = "";
    Image1.Left = DialRadius - 64;
    Image1.Top = PictureTop;
    Text1.Top = DialWidth + Frame1.Height;
    Text1.Width = DialWidth;
    Text1.Height = 361;
    Command5.Top = Text1.Top - 21;
    placeMarks();
}

// Both hands start at the centre; their outer ends go straight up to the given heights.
void Form1::placeHands(float hourEndY, float minuteEndY) {
    Line1.X1 = CentreX;
    Line1.Y1 = CentreY;
    Line1.X2 = CentreX;
    Line1.Y2 = hourEndY;
    Line2.X1 = CentreX;
    Line2.Y1 = CentreY;
    Line2.X2 = CentreX;
    Line2.Y2 = minuteEndY;
}

// The blue copy of the clock text lies one pixel right of and above the white one.
void Form1::placeClockLabels(std::string (*text)(double)) {
    Label1.Left = DialRadius - 50;
    Label1.Width = 100;
    Label1.Top = static_cast<float>(DialWidth * 0.75);
    Label1.Caption = text(ClockTime);
    Label2.Left = DialRadius - 49;
    Label2.Width = 100;
    Label2.Top = static_cast<float>(DialWidth * 0.75 - 1);
    Label2.Caption = text(ClockTime);
}

void Form1::placeMarks() {
    for (int i = 0; i < static_cast<int>(Line3.size()); ++i) {
        const Point p = markPosition(i, DialRadius);
        Line& mark = Line3[static_cast<std::size_t>(i)];
        mark.X1 = p.x;
        mark.X2 = p.x;
        mark.Y1 = p.y;
        mark.Y2 = p.y;
    }
}

} // namespace tamberlight
