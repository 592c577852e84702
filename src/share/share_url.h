// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tamberlight {

// Where a shared clock lives: a topic on an MQTT broker.
struct ShareUrl {
    bool tls = false; // mqtts://
    std::string user; // empty: none
    std::string host;
    int port = 0;
    std::string topic;

    // "host:port/topic", for the user's messages.
    std::string broker() const;
};

// Reads mqtt://[user@]host[:port]/topic, or mqtts:// for TLS (ports 1883 and 8883 unless
// given). Throws PlatformError saying what is wrong: no topic, a wildcard in it, a password in
// the address (passwords never travel on the command line), a port that is none.
ShareUrl parseShareUrl(std::string_view url);

} // namespace tamberlight
