// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tamberlight {

// What the page module is given: where to listen, and the token a request must carry, if any.
struct PageServerOptions {
    std::string address;
    int port = 0;
    std::string token;
};

// The clock's web page, served by the page module on the window's thread and event loop: the
// page, the picture behind the dial and a live channel that pushes every message to every
// viewer. Viewers only watch: nothing they send changes the clock.
class PageServer {
public:
    // At most this many viewers at once; one more is turned away.
    static constexpr int MostViewers = 500;
    // A viewer that has this much still to receive is too slow for the clock and is dropped.
    static constexpr long long SlowViewerBytes = 256 * 1024;
    // Without news the last message is sent again this often, so that a page knows the clock is
    // still there when it stands still.
    static constexpr int HeartbeatMilliseconds = 5000;

    virtual ~PageServer() = default;
    // Sends a message to every viewer now, and to every viewer that comes later until the next.
    virtual void send(const std::string& message) = 0;
    // The picture behind the dial is now this file (empty: none); the page asks for it anew.
    virtual void showPicture(const std::string& path) = 0;
};

} // namespace tamberlight

// What the page module gives the program that loads it: the server listening, and in told the
// line for the user that says where; or nothing, and in told why not.
extern "C" tamberlight::PageServer*
tamberlight_make_page_server(const tamberlight::PageServerOptions* options, std::string* told);
