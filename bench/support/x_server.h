// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <sys/types.h>

namespace tamberlight::bench {

// A private X server (Xvfb) for running the real program on a real display.
class XServer {
public:
    // Starts Xvfb on a free display; display() is empty when it could not be started.
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace tamberlight::bench
