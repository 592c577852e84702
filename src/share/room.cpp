// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "share/room.h"

#include <cstdio>
#include <limits>

namespace tamberlight {

namespace {

int minuteOf(const std::string& clock) {
    return std::stoi(clock.substr(0, 2)) * 60 + std::stoi(clock.substr(3));
}

std::string clockText(int minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60 % 24, minute % 60);
    return text;
}

// Of two leaders the one that took the room over last keeps it: a leader that was cut off and
// comes back finds it led by the one that took over meanwhile. Of two that took it over at the
// same turn, the one that began to lead first keeps it, the lesser identity if both began at
// once; one that does not say when it began counts as the latest.
bool keepsTheRoom(const ClockMessage& a, const ClockMessage& b) {
    const auto since = [](const ClockMessage& m) {
        return m.since == 0 ? std::numeric_limits<std::uint64_t>::max() : m.since;
    };
    return a.term != b.term       ? a.term > b.term
           : since(a) != since(b) ? since(a) < since(b)
                                  : a.leader < b.leader;
}

} // namespace

Room::Effects Room::join(bool lead, std::string topic, std::string broker, std::string identity,
                         ClockMessage own, Millis wallClock) {
    lead_ = lead;
    following_ = !lead;
    topic_ = std::move(topic);
    broker_ = std::move(broker);
    identity_ = std::move(identity);
    own_ = std::move(own);
    wallClock_ = wallClock;
    state_ = State::Connecting;
    return showing(Effects{});
}

Room::Effects Room::linkUp(Millis) {
    Effects effects;
    if (linkTold_)
        effects.tell.push_back(linkEverUp_ ? "the link to the broker " + broker_ + " is back"
                                           : "reached the broker " + broker_);
    linkTold_ = false;
    linkEverUp_ = true;
    if (!lead_) {
        state_ = State::Following;
        return showing(std::move(effects));
    }
    // A would-be leader, and a leader whose link comes back, listen before they speak: the room
    // may have found another leader meanwhile.
    state_ = State::Checking;
    checkUntil_.reset();
    kept_.reset();
    heardOther_ = presenceOnline_ = false;
    return showing(std::move(effects));
}

Room::Effects Room::listeningForLeader(Millis now) {
    if (state_ == State::Checking)
        checkUntil_ = now + LeaderCheck;
    return {};
}

Room::Effects Room::decide(Millis now) {
    checkUntil_.reset();
    const bool roomKept = kept_ && kept_->leader != identity_;
    if (heardOther_ || (roomKept && presenceOnline_))
        return standBy(Effects{}, now);
    if (!roomKept)
        return lead(Effects{}, std::nullopt, now);
    // The room outlived its leader: its time goes on from where the broker kept it.
    Effects effects;
    effects.tell.push_back(topic_ + " on " + broker_ + " has no leader; this clock leads it from " +
                           "the room's time " + kept_->clock + " (a base hour starts it afresh)");
    return lead(std::move(effects), kept_, now);
}

// A leader that may be there is followed until it is heard, or until it is not heard for
// LeaderGone from now.
Room::Effects Room::standBy(Effects effects, Millis now) {
    effects.tell.push_back("another clock leads " + topic_ + " on " + broker_ +
                           "; this clock follows it and leads when it is gone");
    state_ = State::Following;
    following_ = true;
    std::optional<bool> ring;
    if (kept_)
        ring = follow(*kept_, !heardOther_, now);
    if (!heardAt_)
        heardAt_ = now;
    leaderPresent_ = true;
    return showingTime(std::move(effects), ring.value_or(false));
}

Room::Effects Room::lead(Effects effects, std::optional<ClockMessage> from, Millis now) {
    if (from || since_ == 0)
        since_ = static_cast<std::uint64_t>(wallClock_ + now);
    if (from)
        term_ = from->term + 1;
    state_ = State::Leading;
    following_ = onItsOwn_ = false;
    followers_.clear();
    leader_.reset();
    heardAt_.reset();
    goneCheck_.reset();
    if (from) {
        own_ = *from;
        effects.takeUp = own_;
    }
    own_.tick = false;
    effects.lead = true;
    return showing(tellOwnClock(std::move(effects), now));
}

Room::Effects Room::timeIs(Millis now) {
    if (state_ == State::Checking && checkUntil_ && now >= *checkUntil_)
        return decide(now);
    if (state_ == State::Leading) {
        bool gone = false;
        for (auto it = followers_.begin(); it != followers_.end();)
            if (now - it->second >= FollowerGone)
                it = followers_.erase(it), gone = true;
            else
                ++it;
        Effects effects =
            now - publishedAt_ >= Heartbeat ? tellOwnClock(Effects{}, now) : Effects{};
        return gone ? showing(std::move(effects)) : effects;
    }
    if (!following_ || !leader_)
        return {};
    bool gone = false;
    const bool willStands = goneCheck_ && now >= *goneCheck_;
    if (willStands)
        goneCheck_.reset();
    if (leaderPresent_ && ((heardAt_ && now - *heardAt_ >= LeaderGone) || willStands)) {
        leaderPresent_ = false;
        gone = true;
    }
    if (!leaderPresent_ && lead_ && state_ == State::Following) {
        ClockMessage room = *leader_;
        room.clock = clockText(minute_);
        room.day = day_;
        Effects effects;
        effects.tell.push_back("the leader of " + topic_ +
                               " is gone; this clock leads it now, from " + room.clock);
        return lead(std::move(effects), room, now);
    }
    // Unheard, a follower runs on at its leader's pace, as the leader's own clock would: one
    // minute a tick, none made up for.
    if (nextOwnTick_ && now >= *nextOwnTick_) {
        minute_ = (minute_ + 1) % (24 * 60);
        if (minute_ == 0) {
            ++day_;
            rang_.reset();
        }
        const bool ring = !rang_[minute_];
        rang_.set(minute_);
        onItsOwn_ = true;
        nextOwnTick_ = now + leader_->intervalMs;
        return showingTime(Effects{}, ring);
    }
    return gone ? showing(Effects{}) : Effects{};
}

std::optional<Room::Millis> Room::nextDeadline() const {
    std::optional<Millis> next;
    const auto consider = [&next](std::optional<Millis> at) {
        if (at && (!next || *at < *next))
            next = at;
    };
    if (state_ == State::Checking)
        consider(checkUntil_);
    if (state_ == State::Leading) {
        consider(publishedAt_ + Heartbeat);
        for (const auto& [follower, heard] : followers_)
            consider(heard + FollowerGone);
    }
    if (following_ && leader_) {
        if (leaderPresent_ && heardAt_)
            consider(*heardAt_ + LeaderGone);
        consider(goneCheck_);
        consider(nextOwnTick_);
    }
    return next;
}

Room::Effects Room::linkDown(const std::string& why) {
    Effects effects;
    if (!linkTold_)
        effects.tell.push_back(
            (linkEverUp_ ? "lost the link to the broker " : "cannot reach the broker ") + broker_ +
            ": " + why + "; trying again");
    linkTold_ = true;
    state_ = State::NoLink;
    checkUntil_.reset();
    return showing(std::move(effects));
}

Room::Effects Room::refused(const std::string& why) {
    Effects effects;
    effects.tell.push_back(why + "; this clock runs on its own");
    state_ = State::Alone;
    following_ = false;
    refused_ = true;
    return showing(std::move(effects));
}

Room::Effects Room::leaderPresence(bool online, bool retained, Millis now) {
    if (state_ == State::Checking) {
        presenceOnline_ = online;
        return {};
    }
    if (retained || online)
        return {};
    // Someone's last will says the leader is gone: a leader that is there says otherwise at
    // once, and the room believes it gone if it does not.
    if (state_ == State::Leading) {
        Effects effects;
        effects.lead = true;
        return tellOwnClock(std::move(effects), now);
    }
    if (following_ && leaderPresent_)
        goneCheck_ = now + LeaderCheck;
    return {};
}

Room::Effects Room::followerPresence(const std::string& follower, bool online, Millis now) {
    if (state_ != State::Leading)
        return {};
    const std::size_t before = followers_.size();
    if (online)
        followers_[follower] = now;
    else
        followers_.erase(follower);
    return followers_.size() == before ? Effects{} : showing(Effects{});
}

Room::Effects Room::clockMessage(std::string_view payload, bool retained, Millis now) {
    if (state_ == State::Alone)
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
    if (message->leader == identity_)
        return {}; // its own, heard back
    if (state_ == State::Checking) {
        if (!kept_ || kept_->leader != message->leader || kept_->sequence < message->sequence)
            kept_ = message;
        heardOther_ = heardOther_ || !retained;
    }
    Effects effects;
    if (state_ == State::Leading) {
        ClockMessage self = own_;
        self.leader = identity_;
        self.since = since_;
        self.term = term_;
        if (retained || keepsTheRoom(self, *message))
            return {}; // the other steps down
        effects.tell.push_back("another clock leads " + topic_ +
                               " too, and the room keeps it; this clock follows it now");
        state_ = State::Following;
        following_ = true;
        leader_.reset();
        heardAt_.reset();
    }
    if (!following_)
        return {};
    const std::optional<bool> ring = follow(*message, retained, now);
    if (!ring && effects.tell.empty())
        return {};
    return showingTime(std::move(effects), ring.value_or(false));
}

// Takes up a leader's message, unless it is old or from a leader that gives way to the one
// followed; whether the entries of its minute ring.
std::optional<bool> Room::follow(const ClockMessage& message, bool retained, Millis now) {
    const bool same = leader_ && leader_->leader == message.leader;
    if (same && message.sequence <= leader_->sequence)
        return std::nullopt;
    if (leader_ && !same && leaderPresent_ && keepsTheRoom(*leader_, message))
        return std::nullopt;
    const bool live = !retained;
    // Ticks that come closer together than a quarter of their interval were held up on the way:
    // they are shown, not rung.
    const bool late =
        live && message.tick && same && tickAt_ && now - *tickAt_ < message.intervalMs / 4;
    if (live && message.tick)
        tickAt_ = now;
    if (live) {
        heardAt_ = now;
        leaderPresent_ = true;
        onItsOwn_ = false;
        goneCheck_.reset();
        nextOwnTick_.reset();
        if (message.running && message.intervalMs > 0)
            nextOwnTick_ = now + message.intervalMs + message.intervalMs / 4;
    }
    leader_ = message;
    if (message.day != day_) {
        day_ = message.day;
        rang_.reset();
    }
    minute_ = minuteOf(message.clock);
    const bool ring = live && message.tick && !late && !rang_[minute_];
    if (ring)
        rang_.set(minute_);
    return ring;
}

Room::Effects Room::clockMoved(ClockMessage own, Millis now) {
    own_ = std::move(own);
    return state_ == State::Leading ? tellOwnClock(Effects{}, now) : Effects{};
}

Room::Effects Room::tellOwnClock(Effects effects, Millis now) {
    ClockMessage message = own_;
    message.sequence = ++sequence_;
    message.leader = identity_;
    message.since = since_;
    message.term = term_;
    effects.publish = encodeClockMessage(message);
    own_.tick = false; // told again later, it is a jump
    publishedAt_ = now;
    return effects;
}

Room::Shown Room::shown() const {
    Shown shown;
    shown.status = status();
    shown.following = following_;
    shown.leaderRunning = !following_ || !leader_ || leader_->running;
    shown.onItsOwn = following_ && onItsOwn_;
    switch (state_) {
    case State::Alone:
        shown.mark = refused_ ? Mark::Refused : Mark::None;
        break;
    case State::NoLink:
        shown.mark = Mark::NoLink;
        break;
    case State::Connecting:
    case State::Checking:
        shown.mark = !following_ ? Mark::None : lead_ ? Mark::StandingBy : Mark::Waiting;
        break;
    case State::Leading:
        break;
    case State::Following:
        shown.mark = !leaderPresent_ ? (heardAt_ ? Mark::LeaderGone : Mark::Waiting)
                     : lead_         ? Mark::StandingBy
                                     : Mark::None;
        break;
    }
    if (following_ && leader_) {
        shown.interval = leader_->intervalMs;
        if (leader_->baseHour >= 0)
            shown.baseHour = leader_->baseHour;
    }
    return shown;
}

Room::Effects Room::showing(Effects effects) const {
    effects.show = shown();
    return effects;
}

Room::Effects Room::showingTime(Effects effects, bool ring) const {
    effects.show = shown();
    effects.show->minute = minute_;
    effects.show->ring = ring;
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
        return (lead_ ? "standing by to lead " : "following ") + topic_ +
               (leaderPresent_ ? ""
                : heardAt_     ? ": leader gone"
                               : ": waiting for its leader") +
               (onItsOwn_ ? ", running on its own" : "");
    }
    return "";
}

} // namespace tamberlight
