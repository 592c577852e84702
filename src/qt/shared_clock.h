// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "qt/command_line.h"
#include "qt/share_link.h"
#include "qt/sound.h"

#include <QElapsedTimer>
#include <cstdint>
#include <memory>

namespace tamberlight {

class Form1;
class Form1Window;

// The window's part in a clock shared by a room: it leads or follows a topic through the
// sharing module, loaded only here. Where the link stands shows in the window's title; the
// user reads one line when it is lost, one when it is back, one when it is refused.
class SharedClock : public ShareLinkEvents {
public:
    SharedClock(Form1Window& window, Form1& form, ShareSetup setup, ErrorSink report);
    ~SharedClock() override;
    SharedClock(const SharedClock&) = delete;
    SharedClock& operator=(const SharedClock&) = delete;

    // Loads the module and starts the link; without the module the clock runs on its own.
    void start();

    void linkUp() override;
    void linkDown(const std::string& why) override;
    void refused(const std::string& why) override;
    void leading() override;
    void clockMessage(std::string_view payload, bool retained) override;
    void leaderPresent(bool present) override;
    void followers(int count) override;

private:
    enum class Link { Connecting, Up, Down, Alone };
    void publish(bool tick);
    void showStatus();

    Form1Window& window_;
    Form1& form_;
    ShareSetup setup_;
    ErrorSink report_;
    std::string identity_;
    std::unique_ptr<ShareLink> link_;
    Link state_ = Link::Connecting;
    bool leading_ = false, leaderPresent_ = true, toldDown_ = false;
    int followers_ = 0;
    std::uint64_t sequence_ = 0;
    QElapsedTimer lastIgnored_;
};

} // namespace tamberlight
