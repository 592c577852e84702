// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "share/room.h"

namespace tamberlight {

Room::Effects Room::join(bool lead, std::string topic, std::string broker, std::string identity,
                         ClockMessage own) {
    lead_ = lead;
    following_ = !lead;
    topic_ = std::move(topic);
    broker_ = std::move(broker);
    identity_ = std::move(identity);
    own_ = std::move(own);
    state_ = State::Connecting;
    return showing(Effects{});
}

Room::Effects Room::linkUp() {
    Effects effects;
    if (linkTold_)
        effects.tell.push_back("the link to the broker " + broker_ + " is back");
    linkTold_ = false;
    if (!lead_) {
        state_ = State::Following;
        return showing(std::move(effects));
    }
    if (!hasLed_) {
        state_ = State::Checking;
        otherLeader_ = false;
        checkUntil_.reset();
        return showing(std::move(effects));
    }
    // A leader that was away takes up its part again and tells its clock at once; its
    // followers announce themselves anew.
    state_ = State::Leading;
    followers_.clear();
    effects.lead = true;
    return showing(tellOwnClock(std::move(effects)));
}

Room::Effects Room::listeningForLeader(Millis now) {
    if (state_ == State::Checking)
        checkUntil_ = now + LeaderCheck;
    return {};
}

Room::Effects Room::timeIs(Millis now) {
    if (state_ != State::Checking || !checkUntil_ || now < *checkUntil_)
        return {};
    checkUntil_.reset();
    if (otherLeader_) {
        Effects effects;
        effects.tell.push_back("another clock leads " + topic_ + " on " + broker_ +
                               " already; this clock runs on its own");
        effects.stop = true;
        state_ = State::Alone;
        return showing(std::move(effects));
    }
    // The topic had no live leader while this clock listened: it leads now.
    state_ = State::Leading;
    hasLed_ = true;
    Effects effects;
    effects.lead = true;
    return showing(tellOwnClock(std::move(effects)));
}

std::optional<Room::Millis> Room::nextDeadline() const {
    return state_ == State::Checking ? checkUntil_ : std::nullopt;
}

Room::Effects Room::linkDown(const std::string& why) {
    Effects effects;
    if (!linkTold_)
        effects.tell.push_back((state_ == State::Connecting ? "cannot reach the broker "
                                                            : "lost the link to the broker ") +
                               broker_ + ": " + why + "; trying again");
    linkTold_ = true;
    state_ = State::NoLink;
    return showing(std::move(effects));
}

Room::Effects Room::refused(const std::string& why) {
    Effects effects;
    effects.tell.push_back(why + "; this clock runs on its own");
    state_ = State::Alone;
    following_ = false;
    return showing(std::move(effects));
}

Room::Effects Room::leaderPresence(bool online) {
    if (lead_) {
        otherLeader_ = otherLeader_ || (state_ == State::Checking && online);
        return {};
    }
    leaderPresent_ = online;
    return showing(Effects{});
}

Room::Effects Room::followerPresence(const std::string& follower, bool online) {
    if (state_ != State::Leading)
        return {};
    if (online)
        followers_.insert(follower);
    else
        followers_.erase(follower);
    return showing(Effects{});
}

Room::Effects Room::clockMessage(std::string_view payload, bool retained, Millis now) {
    if (!following_)
        return {};
    const std::optional<ClockMessage> message = decodeClockMessage(payload);
    if (!message) {
        Effects effects;
        if (!ignoredAt_ || now - *ignoredAt_ >= IgnoredQuiet) {
            effects.tell.push_back("ignored a message on " + topic_ + " that is no leader's clock");
            ignoredAt_ = now;
        }
        return effects;
    }
    // A leader that starts again comes with a new identity and counts afresh.
    if (message->leader == leaderId_ && message->sequence <= leaderSequence_)
        return {};
    leaderId_ = message->leader;
    leaderSequence_ = message->sequence;
    const int minute =
        std::stoi(message->clock.substr(0, 2)) * 60 + std::stoi(message->clock.substr(3));
    // Each minute's entries ring once, however often that minute is told; what the broker kept
    // from before this clock came is no tick.
    const bool ring = !retained && message->tick && lastTick_ != minute;
    if (ring)
        lastTick_ = minute;
    leaderRunning_ = message->running;
    Effects effects = showing(Effects{});
    effects.show->minute = minute;
    effects.show->ring = ring;
    return effects;
}

Room::Effects Room::clockMoved(ClockMessage own) {
    own_ = std::move(own);
    return state_ == State::Leading ? tellOwnClock(Effects{}) : Effects{};
}

Room::Effects Room::tellOwnClock(Effects effects) {
    ClockMessage message = own_;
    message.sequence = ++sequence_;
    message.leader = identity_;
    effects.publish = encodeClockMessage(message);
    own_.tick = false; // told again later, it is a jump
    return effects;
}

Room::Shown Room::shown() const {
    return {status(), following_, !following_ || leaderRunning_, std::nullopt, false};
}

Room::Effects Room::showing(Effects effects) const {
    effects.show = shown();
    return effects;
}

std::string Room::status() const {
    switch (state_) {
    case State::Alone:
        return "";
    case State::Connecting:
    case State::Checking:
        return topic_ + ": connecting";
    case State::NoLink:
        return topic_ + ": no connection, retrying";
    case State::Leading:
        return "leading " + topic_ +
               (followers_.empty() ? "" : " (" + std::to_string(followers_.size()) + " following)");
    case State::Following:
        return "following " + topic_ + (leaderPresent_ ? "" : ": leader gone");
    }
    return "";
}

} // namespace tamberlight
