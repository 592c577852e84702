// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The settings file on disk: where it lives, and saves that never lose it.
#include "platform/platform_error.h"
#include "qt/atomic_file.h"
#include "qt/checked_file.h"
#include "qt/settings_store.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/file.h>
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

// A temporary file is stale when no save holds its lock, whatever process its name gives: one
// named after an ended process but held stays, one named after a live process but free goes.
TEST_F(Store, OnlyThisMachinesTemporariesThatNoSaveHoldsAreRemoved) {
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    waitpid(ended, nullptr, 0);
    const std::string mine = temporaryFileFor(at("tamberl.ini")).filename().string();
    const std::string here = mine.substr(mine.find('@'));
    const std::string held = "tamberl.ini." + std::to_string(ended) + here;
    std::vector<std::string> kept = {"tamberl.ini", "tamberl.ini.backup", "tamberl.ini.tmp.1",
                                     "tamberl.ini.1@elsewhere.tmp", held};
    for (const std::string& name : kept)
        test::writeAll(at(name.c_str()), "x");
    test::writeAll(at(("tamberl.ini.1" + here).c_str()), "x");
    const int lock = open(at(held.c_str()).c_str(), O_RDONLY);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    writeFileAtomically(at("tamberl.ini"), "saved");
    close(lock);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(names(), kept);
}

// Root writes anywhere: these saves run as the user nobody. A file in a folder nobody cannot
// write is rewritten in place; a folder that cannot be flushed after the rename is told.
TEST_F(Store, SavesInFoldersThatCannotBeWrittenOrRead) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to save as the user nobody";
    fs::create_directory(at("locked"));
    fs::create_directory(at("unreadable"));
    test::writeAll(at("locked/tamberl.ini"), "old");
    fs::permissions(at("locked/tamberl.ini"), fs::perms(0666));
    for (const auto& [folder, mode] : {std::pair{"", 0755}, {"locked", 0755}, {"unreadable", 0333}})
        fs::permissions(at(folder), fs::perms(mode));
    EXPECT_EQ(inChild([&] {
                  if (setgid(65534) != 0 || setuid(65534) != 0)
                      _exit(2);
                  SettingsStore store(at("locked"), at("config"));
                  if (store.path() != at("locked/tamberl.ini"))
                      _exit(3);
                  store.write("new");
                  // The file is saved all the same: that is said, and no failed save.
                  const auto warning = writeFileAtomically(at("unreadable/tamberl.ini"), "x");
                  _exit(warning && warning->ends_with(", but its folder cannot be flushed to "
                                                      "disk: Permission denied")
                            ? 0
                            : 4);
              }),
              0);
    EXPECT_EQ(test::readAll(at("locked/tamberl.ini")), "new");
}

// A file another program wrote since this window read it is never saved over: both versions
// are kept byte for byte, and the user hears where. The same bytes written again are no change.
TEST_F(Store, WhatAnotherProgramWroteStaysAndThisWindowsSettingsGoBeside) {
    test::writeAll(at("tamberl.ini"), "read");
    SettingsStore store(at(""), at("config"));
    store.read();
    test::writeAll(at("copy"), "read");
    fs::rename(at("copy"), at("tamberl.ini"));
    EXPECT_EQ(store.write("ours"), std::nullopt);
    test::writeAll(at("tamberl.ini"), "theirs");
    const std::optional<std::string> said = store.write("ours again");
    EXPECT_EQ(store.write("ours at last"), std::nullopt) << "told once";
    const std::vector<std::string> files = names();
    ASSERT_EQ(files.size(), 2U);
    EXPECT_EQ(test::readAll(at("tamberl.ini")), "theirs");
    const fs::path beside = at(files[1].c_str());
    EXPECT_TRUE(files[1].starts_with("tamberl.") && files[1].ends_with(".ini")) << files[1];
    EXPECT_EQ(test::readAll(beside), "ours at last");
    ASSERT_TRUE(said);
    EXPECT_TRUE(said->ends_with("this window's settings are saved in " + beside.string())) << *said;
}

// Whatever stands where the settings file should be, it is told, never read without bound,
// never blocked on and never replaced; the window goes on from its defaults.
TEST_F(Store, WhatIsNoSettingsFileIsNeitherReadNorReplaced) {
    const std::vector<std::pair<std::function<void(const fs::path&)>, std::string>> cases = {
        {[](const fs::path& p) { mkfifo(p.c_str(), 0666); },
         "it is a named pipe, not a settings file"},
        {[](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
         "it is a device, not a settings file"},
        {[](const fs::path& p) { fs::create_directory(p); }, "it is a folder, not a settings file"},
        {[](const fs::path& p) {
             test::writeAll(p, "x");
             fs::resize_file(p, SettingsSizeLimit + 1);
         },
         "it is larger than 64 MiB, far more than any settings"}};
    for (const auto& [make, why] : cases) {
        QTemporaryDir folder;
        const fs::path file = fs::path(folder.path().toStdString()) / "tamberl.ini";
        make(file);
        const auto before = fs::symlink_status(file).type();
        SettingsStore store(file.parent_path(), file.parent_path() / "config");
        EXPECT_EQ(store.path(), file);
        for (const auto& step : {std::function<void()>([&] { store.read(); }),
                                 std::function<void()>([&] { store.write("new"); })}) {
            try {
                step();
                ADD_FAILURE() << why << ": not refused";
            } catch (const PlatformError& error) {
                EXPECT_TRUE(std::string(error.what()).ends_with(file.string() + ": " + why))
                    << error.what();
            }
        }
        EXPECT_EQ(fs::symlink_status(file).type(), before) << why;
    }
}

} // namespace tamberlight
