// Saves that fail on the real window: a full disk (the file-size limit stands in for it) and a
// folder the user cannot write. One line says why, the previous file stays whole, and the
// window goes on; once the disk has room again the same button saves.
#include "support/window_fixture.h"

#include <QPlainTextEdit>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace tamberlight::testing {
namespace {

class FailingSave : public WindowTest {
protected:
    FailingSave() {
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::group_exec |
                                                     std::filesystem::perms::others_read |
                                                     std::filesystem::perms::others_exec);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    ~FailingSave() override { unsetenv("XDG_CONFIG_HOME"); }

    // Types an entry and presses 予定更新 while the fault holds; what standard error said.
    std::string applyDuring(const std::function<void()>& fault, const std::function<void()>& end) {
        auto* text1 = widget<QPlainTextEdit>("Text1");
        text1->moveCursor(QTextCursor::End);
        QTest::keyClick(text1, Qt::Key_Return);
        QTest::keyClicks(text1, QStringLiteral("12:00 lunch with the whole team in the hall"));
        // Into a pipe: a file would itself meet the file-size limit.
        int ends[2];
        if (pipe(ends) != 0)
            return "no pipe";
        const int saved = dup(STDERR_FILENO);
        dup2(ends[1], STDERR_FILENO);
        fault();
        click(button(5), button(5)->rect().center());
        end();
        dup2(saved, STDERR_FILENO);
        close(saved);
        close(ends[1]);
        std::string said;
        char buffer[512];
        for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;)
            said.append(buffer, static_cast<std::size_t>(n));
        close(ends[0]);
        return said;
    }

    // The window goes on: a tick moves the clock, and the dial shows it.
    void expectTheWindowWorks() {
        stopTimer();
        const QImage before = grab();
        run(&Form1::Timer1_Timer);
        EXPECT_EQ(form->Label1.Caption, "00:01");
        EXPECT_NE(grab(), before);
        EXPECT_TRUE(button(5)->isVisible()) << "予定更新 stays for another try";
    }

    void expectNoTemporaries() {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos)
                << entry.path();
    }
};

bool oneLine(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0 && text.find('\n') == text.size() - 1;
}

TEST_F(FailingSave, AFullDiskKeepsThePreviousFileAndTheSameButtonSavesLater) {
    open();
    const std::string previous = dir.read("tamberl.ini");
    ASSERT_FALSE(previous.empty());
    rlimit normal{};
    getrlimit(RLIMIT_FSIZE, &normal);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN); // as the program does
    const std::string said = applyDuring(
        [&] {
            rlimit small = normal;
            small.rlim_cur = 64;
            setrlimit(RLIMIT_FSIZE, &small);
        },
        [&] { setrlimit(RLIMIT_FSIZE, &normal); });
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(oneLine(said, "tamberlight: Command5_Click: ")) << said;
    EXPECT_EQ(dir.read("tamberl.ini"), previous);
    expectNoTemporaries();
    expectTheWindowWorks();

    click(button(5), button(5)->rect().center());
    EXPECT_NE(dir.read("tamberl.ini").find("12:00 lunch with the whole team"), std::string::npos);
    EXPECT_EQ(form->EventCount, 1);
    EXPECT_FALSE(button(5)->isVisible());
}

TEST_F(FailingSave, AFolderTheUserCannotWriteKeepsThePreviousFile) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user takes root";
    open();
    const std::string previous = dir.read("tamberl.ini");
    ASSERT_FALSE(previous.empty());
    // Root may write anywhere: the save runs as the user nobody, who can write neither the
    // file beside the program nor into the configuration folder.
    std::filesystem::create_directories(dir / "config");
    const std::string said =
        applyDuring([] { ASSERT_EQ(seteuid(65534), 0); }, [] { ASSERT_EQ(seteuid(0), 0); });

    EXPECT_TRUE(oneLine(said, "tamberlight: Command5_Click: ")) << said;
    EXPECT_EQ(dir.read("tamberl.ini"), previous);
    EXPECT_FALSE(std::filesystem::exists(dir / "config" / "tamberlight" / "tamberl.ini"));
    expectNoTemporaries();
    expectTheWindowWorks();
}

} // namespace
} // namespace tamberlight::testing
