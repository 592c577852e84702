// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/control_table.h"
#include "app/form1.h"
#include "platform/platform_error.h"

#include <limits>

namespace tamberlight {

// The panel has no flag of its own: each of its controls is flipped on its own, and as only
// this handler changes them they are always all shown or all hidden.
void Form1::Form_Click() {
    for (const ControlEntry& entry : Controls)
        if (bool* visible = visibleOf(*this, entry); visible && entry.inPanel)
            *visible = !*visible;
}

void Form1::Image1_Click() {
    Form_Click();
}

void Form1::Label3_Click() {
    Form_Click();
}

void Form1::Command3_Click() {
    Text1.SetFocus();
    CommonDialog1.ShowOpen();
    const std::string name = CommonDialog1.FileName;
    if (!name.empty())
        showPicture(name, "the dial keeps its picture");
}

// The picture and its path change only once the picture has loaded, and only for the latest
// choice: one that loads after a later one is dropped.
void Form1::showPicture(const std::string& path, const char* otherwise) {
    const std::uint64_t request = ++pictureRequests_;
    services_.loadPicture(
        path, Image1.Width, Image1.Height,
        [this, path, otherwise, request](PictureHandle picture, const std::string& why) {
            if (request != pictureRequests_)
                return;
            if (!picture)
                return services_.report(why + "; " + otherwise);
            Image1.Picture = std::move(picture);
            PicturePath = path;
        });
}

namespace {
constexpr int PictureStep = 5;
}

// The offset is a 16-bit value: a step that would leave that range does nothing.
void Form1::Command1_Click() {
    Text1.SetFocus();
    if (PictureTop - PictureStep < std::numeric_limits<std::int16_t>::min())
        return;
    PictureTop = static_cast<std::int16_t>(PictureTop - PictureStep);
    Image1.Top = PictureTop;
}

void Form1::Command2_Click() {
    Text1.SetFocus();
    if (PictureTop + PictureStep > std::numeric_limits<std::int16_t>::max())
        return;
    PictureTop = static_cast<std::int16_t>(PictureTop + PictureStep);
    Image1.Top = PictureTop;
}

// Black is a colour like any other; only a cancelled dialog leaves the dial as it was.
void Form1::Command9_Click() {
    CommonDialog1.ShowColor();
    if (!CommonDialog1.Color)
        return;
    const Colour colour = *CommonDialog1.Color;
    Line1.BorderColor = colour;
    Line2.BorderColor = colour;
    Shape1.BorderColor = colour;
    for (Line& mark : Line3)
        mark.BorderColor = colour;
}

void Form1::Command7_Click() {
    Text1.SetFocus();
    MarksShown = static_cast<std::int16_t>(~MarksShown);
    const bool shown = MarksShown != 0;
    for (Line& mark : Line3)
        mark.Visible = shown;
    Command7.Caption = shown ? "・off" : "・on";
}

} // namespace tamberlight
