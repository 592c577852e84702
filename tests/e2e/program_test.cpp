// The real program on a real X server, started and closed the way a user does.
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

// Waits for the child to end; nothing when it has not ended in time.
std::optional<int> waitForExit(pid_t pid, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

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

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("DISPLAY", x.display().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
        const int errors = ::open((dir / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(errors, STDERR_FILENO);
        const std::string program = (dir / "tamberlight").string();
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto window = x.waitForWindow("Tamberlight", 20000);
    if (!window) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the window did not appear";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    x.requestClose(*window);
    const auto status = waitForExit(pid, 30000);
    if (!status) {
        const bool stillShown = x.waitForWindow("Tamberlight", 0).has_value();
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
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
