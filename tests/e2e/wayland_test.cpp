// The real program on a Wayland compositor (weston without a screen), watched through the
// protocol messages it exchanges with the compositor.
#include "support/process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace tamberlight::testing {
namespace {

class Weston {
public:
    explicit Weston(const TempDir& runtime)
        : socket_(runtime / "wayland-test") {
        std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
        pid_ = startProgram("/usr/bin/weston",
                            {"--backend=headless-backend.so", "--socket=" + socket(),
                             "--idle-time=0", "--width=1024", "--height=768"},
                            {{"XDG_RUNTIME_DIR", runtime.path()}}, runtime / "weston.txt");
        for (int waited = 0; waited < 10000 && !std::filesystem::exists(socket_); waited += 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ~Weston() {
        if (pid_ > 0)
            killProgram(pid_);
    }
    Weston(const Weston&) = delete;
    Weston& operator=(const Weston&) = delete;

    bool running() const { return std::filesystem::exists(socket_); }
    std::string socket() const { return socket_.filename().string(); }

private:
    std::filesystem::path socket_;
    pid_t pid_ = -1;
};

// One line of the client's protocol log: "[12345.678]  -> wl_surface@7.commit()".
struct Message {
    double milliseconds = 0;
    bool sent = false;
    std::string text;
};

std::vector<Message> protocolLog(const std::string& log) {
    static const std::regex line(R"(^\[ *(\d+\.\d+)\] +(-> )?(.*)$)");
    std::vector<Message> messages;
    std::istringstream in(log);
    for (std::string text; std::getline(in, text);) {
        std::smatch match;
        if (std::regex_match(text, match, line))
            messages.push_back({std::stod(match[1]), match[2].matched, match[3]});
    }
    return messages;
}

struct Frames {
    bool presented = false;           // the compositor drew a committed buffer on its output
    int width = 0, height = 0;        // of the last buffer the window was drawn into
    std::vector<double> dialRepaints; // when a commit repainted only parts of the dial
};

// The dial sits in the top half of the window, below the title bar the client draws itself;
// nothing but a tick repaints only parts of it.
Frames frames(const std::vector<Message>& messages, int titleBar, int dialBottom) {
    static const std::regex buffer(R"(create_buffer\(new id wl_buffer@\d+, \d+, (\d+), (\d+),)");
    static const std::regex damage(R"(wl_surface@\d+\.damage_buffer\((\d+), (\d+), \d+, (\d+)\))");
    Frames result;
    bool committed = false, damaged = false, onlyDial = true;
    for (const Message& message : messages) {
        std::smatch match;
        if (message.sent && std::regex_search(message.text, match, buffer)) {
            result.width = std::stoi(match[1]);
            result.height = std::stoi(match[2]);
        } else if (message.sent && std::regex_search(message.text, match, damage)) {
            const int top = std::stoi(match[2]), bottom = top + std::stoi(match[3]);
            damaged = true;
            onlyDial = onlyDial && top >= titleBar && bottom <= dialBottom;
        } else if (message.sent && message.text.find(".commit()") != std::string::npos) {
            if (damaged && onlyDial && result.presented)
                result.dialRepaints.push_back(message.milliseconds);
            committed = committed || damaged;
            damaged = false;
            onlyDial = true;
        } else if (!message.sent && committed && message.text.find(".done(") != std::string::npos &&
                   message.text.rfind("wl_callback@", 0) == 0) {
            result.presented = true;
        }
    }
    return result;
}

// Qt's Wayland plugin and Mesa's EGL, which it loads to look for a GPU, keep allocations at exit,
// some in libraries already unloaded that no suppression can name. Our own code's leaks are
// checked by the rest of the suite, on X11 and offscreen.
std::string withoutLeakCheck() {
    const char* options = std::getenv("ASAN_OPTIONS");
    return std::string(options != nullptr ? options : "") + ":detect_leaks=0";
}

TEST(Wayland, TheWindowIsShownTicksAndKeepsItsSavedPlacement) {
    TempDir runtime;
    Weston weston(runtime);
    ASSERT_TRUE(weston.running()) << "weston did not start (package weston):\n"
                                  << runtime.read("weston.txt");
    TempDir dir;
    std::filesystem::copy_file(TAMBERLIGHT_PROGRAM, dir / "tamberlight");
    // 266 x 600 pixels, at a position a compositor does not let a client choose.
    const std::string settings = "\r\n\r\n 1500\r\n 3000\r\n 3990\r\n 9000\r\n 0\r\n"
                                 "#Tamberlight   ver.0.2\r\n";
    dir.write("tamberl.ini", settings);
    const pid_t pid = startProgram(dir / "tamberlight", {},
                                   {{"ASAN_OPTIONS", withoutLeakCheck()},
                                    {"QT_QPA_PLATFORM", "wayland"},
                                    {"WAYLAND_DISPLAY", weston.socket()},
                                    {"WAYLAND_DEBUG", "client"},
                                    {"XDG_RUNTIME_DIR", runtime.path()}},
                                   dir / "protocol.txt");
    ASSERT_GT(pid, 0);

    // At the default interval of 1492 ms, three ticks come within about five seconds.
    Frames seen;
    for (int waited = 0; waited < 15000 && seen.dialRepaints.size() < 3; waited += 100) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        seen = frames(protocolLog(dir.read("protocol.txt")), 30, 300);
    }
    kill(pid, SIGTERM);
    const auto status = waitForExit(pid, 20000);
    if (!status)
        killProgram(pid);
    EXPECT_EQ(status, std::optional<int>(0)) << "SIGTERM closes the window and ends the program";

    const std::string log = dir.read("protocol.txt");
    EXPECT_NE(log.find("set_app_id(\"org.tamberlight.Tamberlight\")"), std::string::npos);
    EXPECT_TRUE(seen.presented) << "the compositor never drew the window; the program's log:\n"
                                << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
    EXPECT_EQ(seen.width, 266);
    EXPECT_EQ(seen.height, 600);
    ASSERT_GE(seen.dialRepaints.size(), 3U) << "the clock did not tick";
    for (std::size_t i = 1; i < seen.dialRepaints.size(); ++i) {
        const double gap = seen.dialRepaints[i] - seen.dialRepaints[i - 1];
        EXPECT_GT(gap, 1200) << "one repaint of the dial per tick";
        EXPECT_LT(gap, 1800);
    }
    EXPECT_EQ(dir.read("tamberl.ini"), settings)
        << "the saved size was restored and the saved position left as it was";
}

} // namespace
} // namespace tamberlight::testing
