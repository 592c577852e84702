// The settings file on disk: where it lives, and saves that never lose it.
#include "platform/platform_error.h"
#include "qt/atomic_file.h"
#include "qt/settings_store.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tamberlight {

namespace fs = std::filesystem;

class Store : public ::testing::Test {
protected:
    fs::path at(const char* name) const { return fs::path(dir.path().toStdString()) / name; }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(at("")))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }
    // Runs the body in a child process and gives its exit status.
    template <typename Body> int inChild(Body body) {
        const pid_t child = fork();
        if (child == 0) {
            body();
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    QTemporaryDir dir;
};

TEST_F(Store, ALinkStaysALinkAndItsTargetGetsTheBytesWithItsPermissions) {
    fs::create_directory(at("dotfiles"));
    test::writeAll(at("dotfiles/tamberl.ini"), "old");
    fs::permissions(at("dotfiles/tamberl.ini"), fs::perms(0640));
    fs::create_symlink("dotfiles/tamberl.ini", at("tamberl.ini"));
    writeFileAtomically(at("tamberl.ini"), "new");
    EXPECT_TRUE(fs::is_symlink(at("tamberl.ini")));
    EXPECT_EQ(test::readAll(at("dotfiles/tamberl.ini")), "new");
    EXPECT_EQ(fs::status(at("dotfiles/tamberl.ini")).permissions(), fs::perms(0640));
}

TEST_F(Store, AFailedWriteKeepsThePreviousFileWhole) {
    writeFileAtomically(at("tamberl.ini"), "previous");
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit full{4, 4}; // the disk fills after 4 bytes
        setrlimit(RLIMIT_FSIZE, &full);
        try {
            writeFileAtomically(at("tamberl.ini"), std::string(5000, 'x'));
        } catch (const PlatformError&) {
            _exit(7);
        }
    });
    EXPECT_EQ(status, 7) << "the failure is told";
    EXPECT_EQ(test::readAll(at("tamberl.ini")), "previous");
    EXPECT_EQ(names(), std::vector<std::string>{"tamberl.ini"}) << "no temporary is left";
}

TEST_F(Store, AKilledSaveNeverLeavesATornFile) {
    const std::string a(300000, 'a'), b(600000, 'b');
    writeFileAtomically(at("tamberl.ini"), a);
    std::mt19937 random(20261207);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        if (child == 0)
            for (bool first = true;; first = !first)
                writeFileAtomically(at("tamberl.ini"), first ? b : a);
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = test::readAll(at("tamberl.ini"));
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

// A temporary file names the machine and the process that made it.
TEST_F(Store, OnlyThisMachinesTemporariesOfEndedSavesAreRemoved) {
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    waitpid(ended, nullptr, 0);
    const std::string mine = temporaryFileFor(at("tamberl.ini")).filename().string();
    const std::string here = mine.substr(mine.find('@'));
    std::vector<std::string> kept = {"tamberl.ini", "tamberl.ini.backup", "tamberl.ini.tmp.1",
                                     "tamberl.ini." + std::to_string(ended) + "@elsewhere.tmp",
                                     "tamberl.ini." + std::to_string(getppid()) + here};
    for (const std::string& name : kept)
        test::writeAll(at(name.c_str()), "x");
    test::writeAll(at(("tamberl.ini." + std::to_string(ended) + here).c_str()), "x");
    writeFileAtomically(at("tamberl.ini"), "saved");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(names(), kept);
}

// Root writes anywhere: the save runs as the user nobody, in a folder nobody cannot write.
TEST_F(Store, AWritableFileInAFolderThatCannotBeWrittenIsRewrittenInPlace) {
    test::writeAll(at("tamberl.ini"), "old");
    fs::permissions(at(""), fs::perms(0755));
    fs::permissions(at("tamberl.ini"), fs::perms(0666));
    EXPECT_EQ(inChild([&] {
                  if (setgid(65534) != 0 || setuid(65534) != 0)
                      _exit(2);
                  const SettingsStore store(at(""), at("config"));
                  _exit(store.path() == at("tamberl.ini") ? (store.write("new"), 0) : 3);
              }),
              0);
    EXPECT_EQ(test::readAll(at("tamberl.ini")), "new");
}

} // namespace tamberlight
