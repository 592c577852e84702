// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/form1.h"

#include <array>
#include <variant>

namespace tamberlight {

// What holds a control: one of the two frames, or the window itself.
using Container = Frame Form1::*;
inline constexpr Container OnWindow = nullptr;

template <typename... Kinds> using MemberOfKinds = std::variant<Kinds Form1::*...>;
using ControlMember = EachControlKind<MemberOfKinds>;

inline constexpr int NoTabStop = -1;
inline constexpr bool Panel = true;

// One row per control of the window.
struct ControlEntry {
    const char* name;
    ControlMember member;
    Container container;
    bool inPanel;           // shown and hidden by a click on the window
    int tabIndex;           // the place in the keyboard order, or NoTabStop
    void (Form1::*click)(); // what a click on it runs; nothing for a control that takes none
    const char* spokenName; // what a screen reader calls it, where its caption does not say
};

// The controls of each container from front to back: a control covers every control of its
// container that comes after it. Buttons, text boxes and frames lie above whatever the window
// draws itself (labels, lines, the circle and the pictures).
inline constexpr std::array<ControlEntry, 31> Controls = {{
    {"Command9", &Form1::Command9, OnWindow, Panel, 20, &Form1::Command9_Click, nullptr},
    {"Frame2", &Form1::Frame2, OnWindow, Panel, 12, nullptr, nullptr},
    {"Command4", &Form1::Command4, &Form1::Frame2, Panel, 19, &Form1::Command4_Click, nullptr},
    {"Text3", &Form1::Text3, &Form1::Frame2, !Panel, 18, nullptr, "分間隔（ミリ秒）"},
    {"Command8", &Form1::Command8, &Form1::Frame2, !Panel, 15, &Form1::Command8_Click, nullptr},
    {"Text2", &Form1::Text2, &Form1::Frame2, !Panel, 13, nullptr, "基準時刻（時）"},
    {"Label6", &Form1::Label6, &Form1::Frame2, !Panel, 17, nullptr, nullptr},
    {"Label5", &Form1::Label5, &Form1::Frame2, !Panel, 16, nullptr, nullptr},
    {"Label4", &Form1::Label4, &Form1::Frame2, !Panel, 14, nullptr, nullptr},
    {"Command7", &Form1::Command7, OnWindow, Panel, 11, &Form1::Command7_Click, nullptr},
    {"Command5", &Form1::Command5, OnWindow, !Panel, 6, &Form1::Command5_Click, nullptr},
    {"Frame1", &Form1::Frame1, OnWindow, !Panel, 9, nullptr, nullptr},
    {"Label3", &Form1::Label3, &Form1::Frame1, !Panel, 10, &Form1::Label3_Click, "予定のお知らせ"},
    {"Command6", &Form1::Command6, OnWindow, Panel, 8, &Form1::Command6_Click, nullptr},
    {"File1", &Form1::File1, OnWindow, !Panel, 5, nullptr, nullptr},
    {"Command3", &Form1::Command3, OnWindow, Panel, 3, &Form1::Command3_Click, nullptr},
    {"Command2", &Form1::Command2, OnWindow, Panel, 2, &Form1::Command2_Click, "画像を下へ"},
    {"Command1", &Form1::Command1, OnWindow, Panel, 1, &Form1::Command1_Click, "画像を上へ"},
    {"Text1", &Form1::Text1, OnWindow, !Panel, 0, nullptr, "予定"},
    {"Label7", &Form1::Label7, OnWindow, !Panel, NoTabStop, &Form1::Form_Click, "時計の状態"},
    {"Label2", &Form1::Label2, OnWindow, !Panel, 7, nullptr, "時刻"},
    {"Line3", &Form1::Line3, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Image5", &Form1::Image5, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Image4", &Form1::Image4, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Image3", &Form1::Image3, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Image2", &Form1::Image2, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Label1", &Form1::Label1, OnWindow, !Panel, 4, nullptr, nullptr},
    {"Line2", &Form1::Line2, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Line1", &Form1::Line1, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Shape1", &Form1::Shape1, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"Image1", &Form1::Image1, OnWindow, !Panel, NoTabStop, &Form1::Image1_Click, nullptr},
}};

// The button that Return presses in a text box; in the multi-line schedule box, Ctrl+Return.
struct ReturnPress {
    TextBox Form1::*box;
    CommandButton Form1::*button;
};
inline constexpr std::array<ReturnPress, 3> ReturnPresses = {{
    {&Form1::Text1, &Form1::Command5},
    {&Form1::Text2, &Form1::Command8},
    {&Form1::Text3, &Form1::Command4},
}};

// The control of a row as the type it has, or nothing when it is of another type.
template <typename T> T* controlAs(Form1& form, const ControlEntry& entry) {
    if (auto* member = std::get_if<T Form1::*>(&entry.member))
        return &(form.**member);
    return nullptr;
}

// Whether the control of a row is shown; nothing for the marks, which are shown one by one.
inline bool* visibleOf(Form1& form, const ControlEntry& entry) {
    return std::visit(
        [&form](auto member) -> bool* {
            if constexpr (requires { (form.*member).Visible; })
                return &(form.*member).Visible;
            else
                return nullptr;
        },
        entry.member);
}

} // namespace tamberlight
