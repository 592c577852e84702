// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "qt/command_line.h"
#include "qt/share_link.h"
#include "qt/sound.h"
#include "share/room.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

namespace tamberlight {

class ClockWindow;
class ClockView;

// A name for this clock, unique in a room: the machine, the process and a random part.
std::string newIdentity();

// The window's part in a clock shared by a room: it carries what the sharing module (loaded only
// here) hears to the window's room, and does what the room decides: the lines for the user, the
// messages to publish, the leader's part, what the window shows.
class SharedClock : public QObject, public ShareLinkEvents {
public:
    SharedClock(ClockView& view, ClockWindow& model, ShareSetup setup, ErrorSink report);
    ~SharedClock() override;
    SharedClock(const SharedClock&) = delete;
    SharedClock& operator=(const SharedClock&) = delete;

    // Loads the module and starts the link; without the module the clock runs on its own.
    void start();

    void linkUp() override;
    void linkDown(const std::string& why) override;
    void refused(const std::string& why) override;
    void listeningForLeader() override;
    void clockMessage(std::string_view payload, bool retained) override;
    void leaderPresence(bool online, bool retained) override;
    void followerPresence(const std::string& follower, bool online) override;

private:
    Room& room();
    Room::Millis now() const { return elapsed_.elapsed(); }
    void apply(Room::Effects effects);

    ClockView& view_;
    ClockWindow& model_;
    ShareSetup setup_;
    ErrorSink report_;
    std::unique_ptr<ShareLink> link_;
    QElapsedTimer elapsed_;
    QTimer deadline_;
};

} // namespace tamberlight
