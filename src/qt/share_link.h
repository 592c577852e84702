// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tamberlight {

// What the sharing module is given: the broker and topic, and whether this window leads.
struct ShareLinkOptions {
    std::string host;
    int port = 0;
    bool tls = false;
    std::string user, password; // empty: none
    std::string caFile;         // empty: the system's certificate store
    std::string topic;
    std::string identity; // this window's, unique in the room
    bool lead = false;
    int firstRetryMilliseconds = 1000; // then twice as long each time, up to 30 seconds
};

// What the sharing module hears, told on the window's thread. It decides nothing: the room does.
class ShareLinkEvents {
public:
    virtual ~ShareLinkEvents() = default;
    // The link to the broker is up, the first time or again.
    virtual void linkUp() = 0;
    // The link could not be made or was lost; the module tries again by itself.
    virtual void linkDown(const std::string& why) = 0;
    // The broker refused this window (a wrong password, an untrusted certificate): no more
    // attempts are made.
    virtual void refused(const std::string& why) = 0;
    // A would-be leader listens now for the leader the topic may have.
    virtual void listeningForLeader() = 0;
    // A message on the clock's topic; retained when the broker kept it from before.
    virtual void clockMessage(std::string_view payload, bool retained) = 0;
    // The leader announced itself, or a last will said it is gone; retained when the broker
    // kept it from before.
    virtual void leaderPresence(bool online, bool retained) = 0;
    // A follower announced itself, or took its announcement back.
    virtual void followerPresence(const std::string& follower, bool online) = 0;
};

// The link to the broker, kept by the sharing module on the window's thread and event loop.
class ShareLink {
public:
    virtual ~ShareLink() = default;
    // A leader's clock message, published retained so that a follower that comes later has it;
    // dropped, never kept for later, while the link is down.
    virtual void publish(const std::string& payload) = 0;
    // Takes up the leader's part: announces this clock as the leader and hears its followers;
    // again, to answer a last will that says it is gone.
    virtual void lead() = 0;
};

} // namespace tamberlight

// What the sharing module gives the program that loads it.
extern "C" tamberlight::ShareLink*
tamberlight_make_share_link(const tamberlight::ShareLinkOptions* options,
                            tamberlight::ShareLinkEvents* events);
