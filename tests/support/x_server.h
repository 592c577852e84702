#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace tamberlight::testing {

// A private X server (Xvfb) for tests that run the real program on a real display.
class XServer {
public:
    // Starts Xvfb on a free display; display() is empty when it could not be started.
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }

    // The top-level window with this title, waiting for it up to the timeout.
    std::optional<std::uint32_t> waitForWindow(const std::string& title, int milliseconds) const;
    // Asks the window to close, as a window manager does when the user clicks its close button.
    void requestClose(std::uint32_t window) const;

private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace tamberlight::testing
