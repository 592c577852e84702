// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/clock_window.h"

#include <array>
#include <variant>

namespace tamberlight {

// What holds a control: one of the two frames, or the window itself.
using Container = Frame ClockWindow::*;
inline constexpr Container OnWindow = nullptr;

template <typename... Kinds> using MemberOfKinds = std::variant<Kinds ClockWindow::*...>;
using ControlMember = EachControlKind<MemberOfKinds>;

inline constexpr int NoTabStop = -1;
inline constexpr bool Panel = true;

// One row per control of the window.
struct ControlEntry {
    const char* name;
    ControlMember member;
    Container container;
    bool inPanel;                 // shown and hidden with the panel
    int tabIndex;                 // the place in the keyboard order, or NoTabStop
    void (ClockWindow::*click)(); // what a click on it runs; nothing for a control that takes none
    const char* spokenName;       // what a screen reader calls it, where its caption does not say
};

// The button that Return presses in a text box; in the multi-line schedule box, Ctrl+Return.
struct ReturnPress {
    TextBox ClockWindow::*box;
    Button ClockWindow::*button;
};

namespace rows {
using W = ClockWindow;

// The controls of each container from front to back: a control covers every control of its
// container that comes after it. Buttons, text boxes and frames lie above whatever the window
// draws itself (labels, lines, the circle, the picture). The keyboard order skips 5, the place
// of a file list the window was designed with and never shows.
inline constexpr std::array<ControlEntry, 27> Controls = {{
    {"colourButton", &W::colourButton, OnWindow, Panel, 20, &W::chooseColour, nullptr},
    {"timeFrame", &W::timeFrame, OnWindow, Panel, 12, nullptr, nullptr},
    {"intervalButton", &W::intervalButton, &W::timeFrame, Panel, 19, &W::setInterval, nullptr},
    {"intervalBox", &W::intervalBox, &W::timeFrame, !Panel, 18, nullptr, "分間隔（ミリ秒）"},
    {"baseHourButton", &W::baseHourButton, &W::timeFrame, !Panel, 15, &W::setBaseHour, nullptr},
    {"baseHourBox", &W::baseHourBox, &W::timeFrame, !Panel, 13, nullptr, "基準時刻（時）"},
    {"millisecondsCaption", &W::millisecondsCaption, &W::timeFrame, !Panel, 17, nullptr, nullptr},
    {"intervalCaption", &W::intervalCaption, &W::timeFrame, !Panel, 16, nullptr, nullptr},
    {"hourCaption", &W::hourCaption, &W::timeFrame, !Panel, 14, nullptr, nullptr},
    {"marksButton", &W::marksButton, OnWindow, Panel, 11, &W::switchMarks, nullptr},
    {"applyButton", &W::applyButton, OnWindow, !Panel, 6, &W::applySchedule, nullptr},
    {"announcementFrame", &W::announcementFrame, OnWindow, !Panel, 9, nullptr, nullptr},
    {"announcement", &W::announcement, &W::announcementFrame, !Panel, 10, &W::togglePanel,
     "予定のお知らせ"},
    {"soundButton", &W::soundButton, OnWindow, Panel, 8, &W::chooseSound, nullptr},
    {"pictureButton", &W::pictureButton, OnWindow, Panel, 3, &W::choosePicture, nullptr},
    {"pictureDownButton", &W::pictureDownButton, OnWindow, Panel, 2, &W::movePictureDown,
     "画像を下へ"},
    {"pictureUpButton", &W::pictureUpButton, OnWindow, Panel, 1, &W::movePictureUp, "画像を上へ"},
    {"scheduleBox", &W::scheduleBox, OnWindow, !Panel, 0, nullptr, "予定"},
    {"stoppedMark", &W::stoppedMark, OnWindow, !Panel, NoTabStop, &W::togglePanel, "時計の状態"},
    {"clockText", &W::clockText, OnWindow, !Panel, 7, nullptr, "時刻"},
    {"hourMarks", &W::hourMarks, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"quietAreas", &W::quietAreas, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"clockShadow", &W::clockShadow, OnWindow, !Panel, 4, nullptr, nullptr},
    {"minuteHand", &W::minuteHand, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"hourHand", &W::hourHand, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"dialCircle", &W::dialCircle, OnWindow, !Panel, NoTabStop, nullptr, nullptr},
    {"picture", &W::picture, OnWindow, !Panel, NoTabStop, &W::togglePanel, nullptr},
}};

inline constexpr std::array<ReturnPress, 3> ReturnPresses = {{
    {&W::scheduleBox, &W::applyButton},
    {&W::baseHourBox, &W::baseHourButton},
    {&W::intervalBox, &W::intervalButton},
}};
} // namespace rows
using rows::Controls;
using rows::ReturnPresses;

// The control of a row as the type it has, or nothing when it is of another type.
template <typename T> T* controlAs(ClockWindow& window, const ControlEntry& entry) {
    if (auto* member = std::get_if<T ClockWindow::*>(&entry.member))
        return &(window.**member);
    return nullptr;
}

// Whether the control of a row shows: its own visibility, and the panel's for its members.
inline bool shows(const ClockWindow& window, const ControlEntry& entry, bool visible) {
    return visible && (!entry.inPanel || window.panel().shown());
}

} // namespace tamberlight
