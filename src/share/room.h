// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "share/clock_message.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlight {

// The room a clock shares its time with through a broker: whether this clock leads it, follows
// its leader or runs on its own, and what the window shows of it. It decides from what the link
// to the broker hears and from the time, which it is given, so that it holds no toolkit and no
// clock of its own; the link only carries bytes and events to it and does what it asks.
class Room {
public:
    using Millis = std::int64_t;
    // How long a would-be leader listens for a leader the topic has already.
    static constexpr Millis LeaderCheck = 500;
    // Messages that are no clock are told at most once in this long.
    static constexpr Millis IgnoredQuiet = 60000;

    enum class State {
        Alone,      // a clock of its own: it never joined a room, or the room refused it
        Connecting, // the first link to the broker is being made
        NoLink,     // the link was lost, or never made; the link tries again
        Checking,   // a would-be leader listens whether the topic has a leader
        Leading,
        Following, // a follower with its link up, with or without a leader present
    };

    // What the window shows of the room.
    struct Shown {
        std::string status;        // for the title; empty for a clock of its own
        bool following = false;    // the clock's own timer and controls rest
        bool leaderRunning = true; // whether the followed clock runs
        std::optional<int> minute; // the leader's time, to show now
        bool ring = false;         // a live tick for a new minute: the entries due ring

        bool operator==(const Shown&) const = default;
    };
    // What an event makes the room do.
    struct Effects {
        std::vector<std::string> tell;      // lines for the user
        std::optional<std::string> publish; // a clock message for the room
        bool lead = false;                  // the link is to take up the leader's part
        bool stop = false;                  // the link is to end; the clock runs on its own
        std::optional<Shown> show;          // what the window shows now
    };

    // Joins a room on a topic of a broker ("host:port"), as its leader or as a follower, under
    // an identity unique in the room, with the window's clock as it stands.
    Effects join(bool lead, std::string topic, std::string broker, std::string identity,
                 ClockMessage own);

    // What the link hears. A would-be leader's check begins once the link listens for a leader.
    Effects linkUp();
    Effects listeningForLeader(Millis now);
    Effects linkDown(const std::string& why);
    Effects refused(const std::string& why);
    Effects leaderPresence(bool online);
    Effects followerPresence(const std::string& follower, bool online);
    Effects clockMessage(std::string_view payload, bool retained, Millis now);
    // Time passes: a check that has listened long enough decides.
    Effects timeIs(Millis now);
    // When the room next wants to be told the time, if at all.
    std::optional<Millis> nextDeadline() const;

    // The window's own clock moved: a leader tells the room.
    Effects clockMoved(ClockMessage own);

    State state() const { return state_; }
    bool following() const { return following_; }
    Shown shown() const;

private:
    Effects showing(Effects effects) const;
    Effects tellOwnClock(Effects effects);
    std::string status() const;

    State state_ = State::Alone;
    bool lead_ = false, following_ = false, linkTold_ = false, leaderPresent_ = true;
    bool leaderRunning_ = true, otherLeader_ = false, hasLed_ = false;
    std::string topic_, broker_, identity_;
    std::optional<Millis> checkUntil_, ignoredAt_;
    std::set<std::string> followers_;
    ClockMessage own_;
    std::uint64_t sequence_ = 0;
    std::string leaderId_;
    std::uint64_t leaderSequence_ = 0;
    std::optional<int> lastTick_;
};

} // namespace tamberlight
