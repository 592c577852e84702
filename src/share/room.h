// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "share/clock_message.h"

#include <bitset>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlight {

// The room a clock shares its time with through a broker: whether this clock leads it, follows
// its leader or runs on its own, and what the window shows of it. It decides from what the link
// to the broker hears and from the time, which it is given, so that it holds no toolkit and no
// clock of its own; the link only carries bytes and events to it and does what it asks.
//
// A leader is believed only while it is heard: it tells its clock on every tick and at least
// every Heartbeat, and one not heard for LeaderGone is gone, whatever the broker kept of it. Of
// two leaders heard at once, the one that took the room over last keeps it, or, at the same
// turn, the one that has led longer; every clock of the room applies the same rule, so all agree.
class Room {
public:
    using Millis = std::int64_t;
    // How long a would-be leader listens for a leader the topic has already.
    static constexpr Millis LeaderCheck = 500;
    // Messages that are no clock are told at most once in this long.
    static constexpr Millis IgnoredQuiet = 60000;
    // A leader tells its clock at least this often, also while it stands still.
    static constexpr Millis Heartbeat = 5000;
    // A leader not heard for this long is gone.
    static constexpr Millis LeaderGone = 3 * Heartbeat;
    // Followers announce themselves every FollowerRefresh; one not heard for FollowerGone is gone.
    static constexpr Millis FollowerRefresh = 30000;
    static constexpr Millis FollowerGone = 75000;

    enum class State {
        Alone,      // a clock of its own: it never joined a room, or the room refused it
        Connecting, // the first link to the broker is being made
        NoLink,     // the link was lost, or never made; the link tries again
        Checking,   // a would-be leader listens whether the topic has a live leader
        Leading,
        Following, // a follower, or a would-be leader standing by, with its link up
    };
    // What the window marks of the room, where it marks a stopped clock.
    enum class Mark { None, Waiting, StandingBy, NoLink, LeaderGone, Refused };

    // What the window shows of the room.
    struct Shown {
        std::string status;        // for the title; empty for a clock of its own
        bool following = false;    // the clock's own timer and controls rest
        bool leaderRunning = true; // whether the followed clock runs
        Mark mark = Mark::None;
        bool onItsOwn = false;                // a follower runs on at its leader's pace, unheard
        std::optional<int> minute;            // the room's time, to show now
        bool ring = false;                    // a new minute of the room: the entries due ring
        std::optional<std::int32_t> interval; // the followed leader's interval
        std::optional<int> baseHour;          // and its last base hour

        bool operator==(const Shown&) const = default;
    };
    // What an event makes the room do.
    struct Effects {
        std::vector<std::string> tell;      // lines for the user
        std::optional<std::string> publish; // a clock message for the room
        bool lead = false;                  // the link is to announce this clock as the leader
        std::optional<Shown> show;          // what the window shows now
        std::optional<ClockMessage> takeUp; // the window's clock takes this time, pace and day
    };

    // Joins a room on a topic of a broker ("host:port"), as its leader or as a follower, under
    // an identity unique in the room, with the window's clock as it stands; wallClock is the
    // time since 1970 in milliseconds at the time 0 this room is given.
    Effects join(bool lead, std::string topic, std::string broker, std::string identity,
                 ClockMessage own, Millis wallClock);

    // What the link hears. A would-be leader's check begins once the link listens for a leader.
    Effects linkUp(Millis now);
    Effects listeningForLeader(Millis now);
    Effects linkDown(const std::string& why);
    Effects refused(const std::string& why);
    Effects leaderPresence(bool online, bool retained, Millis now);
    Effects followerPresence(const std::string& follower, bool online, Millis now);
    Effects clockMessage(std::string_view payload, bool retained, Millis now);
    // Time passes: a check decides, a silent leader's followers run on, a leader's heartbeat.
    Effects timeIs(Millis now);
    // When the room next wants to be told the time, if at all.
    std::optional<Millis> nextDeadline() const;

    // The window's own clock moved: a leader tells the room.
    Effects clockMoved(ClockMessage own, Millis now);

    State state() const { return state_; }
    bool following() const { return following_; }
    // Whose clock the window shows: this clock's identity while it leads, the followed leader's
    // while it follows; empty for a clock of its own.
    const std::string& leaderIdentity() const {
        return following_ && leader_ ? leader_->leader : identity_;
    }
    Shown shown() const;

private:
    Effects showing(Effects effects) const;
    Effects tellOwnClock(Effects effects, Millis now);
    Effects decide(Millis now);
    Effects lead(Effects effects, std::optional<ClockMessage> from, Millis now);
    Effects standBy(Effects effects, Millis now);
    std::optional<bool> follow(const ClockMessage& message, bool retained, Millis now);
    Effects showingTime(Effects effects, bool ring) const;
    std::string status() const;

    State state_ = State::Alone;
    bool lead_ = false, following_ = false, refused_ = false;
    bool linkEverUp_ = false, linkTold_ = false;
    std::string topic_, broker_, identity_;
    Millis wallClock_ = 0;
    std::optional<Millis> ignoredAt_;
    ClockMessage own_;

    // A leader's part.
    std::uint64_t sequence_ = 0, since_ = 0;
    std::uint32_t term_ = 0;
    Millis publishedAt_ = 0;
    std::map<std::string, Millis> followers_;

    // A would-be leader's check: the room's clock as the broker kept it, and whether another
    // leader was heard live.
    std::optional<Millis> checkUntil_;
    std::optional<ClockMessage> kept_;
    bool heardOther_ = false, presenceOnline_ = false;

    // A follower's part: the leader followed and when it was last heard, the room's time as
    // shown, and the minutes of this day that rang.
    std::optional<ClockMessage> leader_;
    std::optional<Millis> heardAt_, tickAt_, goneCheck_, nextOwnTick_;
    bool leaderPresent_ = false, onItsOwn_ = false;
    int minute_ = 0;
    std::uint32_t day_ = 0;
    std::bitset<24 * 60> rang_;
};

} // namespace tamberlight
