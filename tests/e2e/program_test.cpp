// The real program on a real X server, started and closed the way a user does.
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tamberlight::testing {
namespace {

TEST(Program, ClosingTheWindowSavesTheSettingsBesideTheExecutable) {
    XServer x;
    if (x.display().empty())
        GTEST_SKIP() << "Xvfb could not be started (package xvfb)";
    TempDir dir;
    std::filesystem::copy_file(TAMBERLIGHT_PROGRAM, dir / "tamberlight");
    const std::string schedule = "#Tamberlight   ver.0.2\r\n18:30 会議\r\n19:00 dinner";
    dir.write("tamberl.ini", "/pictures/none.png\r\n/sounds/bell.wav\r\n 1200\r\n 1500\r\n"
                             " 4500\r\n 9000\r\n 52\r\n" +
                                 schedule + "\r\n");

    const pid_t pid = startProgram(
        dir / "tamberlight", {},
        {{"DISPLAY", x.display()}, {"QT_QPA_PLATFORM", "xcb"}, {"XDG_RUNTIME_DIR", dir.path()}},
        dir / "stderr.txt");
    ASSERT_GE(pid, 0);
    const auto window = x.waitForWindow("Tamberlight", 20000);
    if (!window) {
        killProgram(pid);
        FAIL() << "the window did not appear";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    x.requestClose(*window);
    const auto status = waitForExit(pid, 30000);
    if (!status) {
        const bool stillShown = x.waitForWindow("Tamberlight", 0).has_value();
        killProgram(pid);
        FAIL() << (stillShown ? "the window is still there: the close request was not handled"
                              : "the window closed but the program did not end")
               << "\nits standard error:\n"
               << dir.read("stderr.txt");
    }
    ASSERT_EQ(status, std::optional<int>(0)) << dir.read("stderr.txt");
    EXPECT_EQ(dir.read("tamberl.ini"),
              "/pictures/none.png\r\n/sounds/bell.wav\r\n 1200\r\n 1500\r\n 4500\r\n 9000\r\n"
              " 52\r\n" +
                  schedule + "\r\n");
}

} // namespace
} // namespace tamberlight::testing
