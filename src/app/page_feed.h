// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/clock_window.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tamberlight {

// What the clock's web page is sent: the clock message a room hears (the same fields, so that
// any reader of the room's messages reads it), and beside it what the page draws and shows, for
// example
//   {"v":1,"clock":"18:30",...,"room":"leading hall","mark":"‖ 停止中","announcement":"18:30 …",
//    "picture":1,"dial":{"w":235,"circle":[0,0,235,235,9,"#c0c0c0"],"lines":[[x1,y1,x2,y2,3,
//    "#c0c0c0"],…],"text":[l,t,w,h,29,"#0000c0"],"shadow":[…],"stopped":[…],"image":[l,t,w,h]}}
// The page keeps no clock of its own: it draws the dial's circle, marks and hands where the
// window draws them, in the window's pixels, and scales the whole to its screen.
class PageFeed {
public:
    // The announcement is cut to this many bytes: a page is read across a room, not scrolled.
    static constexpr std::size_t LongestAnnouncement = 1000;

    // identity names this clock when it shares no room.
    explicit PageFeed(std::string identity)
        : identity_(std::move(identity)) {}

    // The message for the window as it stands; nothing when the page shows that already.
    std::optional<std::string> update(const ClockWindow& window);
    // Whether the picture behind the dial changed with the last update: the page loads it anew.
    bool pictureChanged() const { return pictureChanged_; }

private:
    std::string identity_;
    std::string shown_; // what the last message showed, but for its sequence and kind
    std::string picturePath_;
    std::uint64_t sequence_ = 0;
    std::uint32_t pictures_ = 0;
    int minute_ = -1;
    bool pictureChanged_ = false;
};

} // namespace tamberlight
