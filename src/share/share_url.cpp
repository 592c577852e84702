// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "share/share_url.h"

#include "platform/platform_error.h"

#include <charconv>

namespace tamberlight {

namespace {

[[noreturn]] void refuse(std::string_view url, const std::string& why) {
    throw PlatformError('"' + std::string(url) + "\" is no shared clock's address: " + why);
}

} // namespace

std::string ShareUrl::broker() const {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

ShareUrl parseShareUrl(std::string_view url) {
    ShareUrl parsed;
    std::string_view rest = url;
    if (rest.starts_with("mqtt://")) {
        rest.remove_prefix(7);
        parsed.port = 1883;
    } else if (rest.starts_with("mqtts://")) {
        rest.remove_prefix(8);
        parsed.tls = true;
        parsed.port = 8883;
    } else {
        refuse(url, "it starts with neither mqtt:// nor mqtts://");
    }
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos || slash + 1 == rest.size())
        refuse(url, "it names no topic (mqtt://host/topic)");
    std::string_view authority = rest.substr(0, slash);
    parsed.topic = std::string(rest.substr(slash + 1));
    if (parsed.topic.find_first_of("+#") != std::string::npos)
        refuse(url, "a topic with + or # in it is a pattern, not one clock");
    if (parsed.topic.find('?') != std::string::npos)
        refuse(url, "an address takes no ?query; a topic with ? in it cannot be given here");
    if (parsed.topic.starts_with('$'))
        refuse(url, "topics that begin with $ are the broker's own; no clock can be shared there");
    if (parsed.topic.find('\0') != std::string::npos || parsed.topic.size() > 1024)
        refuse(url, "the topic cannot be used");
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        if (user.find(':') != std::string_view::npos)
            refuse(url, "a password on the command line is seen by every user of the machine; "
                        "give it with --password-file");
        parsed.user = std::string(user);
        authority.remove_prefix(at + 1);
    }
    std::string_view port;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            refuse(url, "the host is not closed by ]");
        // A zone after %, as in [fe80::1%eth0] (or %25eth0, as in a web address).
        parsed.host = std::string(authority.substr(1, close - 1));
        if (const std::size_t zone = parsed.host.find("%25"); zone != std::string::npos)
            parsed.host.erase(zone + 1, 2);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':')
                refuse(url, "the host is followed by what is no port");
            port = authority.substr(close + 2);
        }
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        parsed.host = std::string(authority.substr(0, colon));
        port = authority.substr(colon + 1);
    } else {
        parsed.host = std::string(authority);
    }
    if (parsed.host.empty())
        refuse(url, "it names no broker");
    if (!port.empty()) {
        int number = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), number);
        if (ec != std::errc() || end != port.data() + port.size() || number < 1 || number > 65535)
            refuse(url, "the port is no number from 1 to 65535");
        parsed.port = number;
    }
    return parsed;
}

} // namespace tamberlight
