// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "clock/time_value.h"

namespace tamberlight {

// Everything is placed from the client width alone; the height plays no part. The layout runs
// on every resize and once at the end of the load, which differs from it in a few steps: the
// hands point straight up (the clock is at midnight then), the clock labels show the short time
// text, the circle keeps its design height, the announcement is emptied, and a few assignments
// come in another order. After a resize the hands point at the clock's time at once, also on a
// stopped clock, rather than lying at the centre until the next tick.
void Form1::layOut(LayoutPass pass) {
    const bool resize = pass == LayoutPass::Resize;
    DialWidth = ScaleWidth;
    DialRadius = DialWidth / 2;
    Shape1.Width = DialWidth;
    if (resize)
        Shape1.Height = DialWidth;
    CentreX = DialRadius;
    CentreY = DialRadius;
    HourHandLength = DialRadius * 0.5;
    MinuteHandLength = DialRadius * 0.73;
    placeHands(static_cast<float>(CentreY - HourHandLength),
               static_cast<float>(CentreY - MinuteHandLength));
    placeClockLabels(resize ? clockText : shortTimeText);
    if (resize) {
        ScaleMode = 0;
        Frame1.Top = DialWidth;
        Frame1.Width = DialWidth;
        // The label inside the frame is in twips, 14 to the pixel of the frame's width, and
        // follows the width just given to the frame. A frame narrower than its 10-pixel border
        // leaves no room for the label.
        Label3.Width = Frame1.Width < 10 ? 0.0F : (Frame1.Width - 10) * 14;
        ScaleMode = 3;
        placeScheduleBox();
        placePicture();
    } else {
        Frame1.Width = DialWidth;
        Frame1.Top = DialWidth;
        Label3.Width = DialWidth - 14;
        Label3.Caption = "";
        placePicture();
        placeScheduleBox();
    }
    Command5.Top = Text1.Top - 21;
    placeMarks();
    if (resize)
        moveHands(minuteOfHour(ClockTime), hourOfDay(ClockTime));
}

void Form1::Form_Resize() {
    layOut(LayoutPass::Resize);
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
    Label7.Left = DialRadius - 50;
    Label7.Top = static_cast<float>(DialWidth * 0.75 + 38);
}

void Form1::placeScheduleBox() {
    Text1.Top = DialWidth + Frame1.Height;
    Text1.Width = DialWidth;
    Text1.Height = 361;
}

void Form1::placePicture() {
    Image1.Left = DialRadius - 64;
    Image1.Top = PictureTop;
}

} // namespace tamberlight
