// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The command line, read before any window: what it takes, and what ends the start with one
// line and status 2.
#include "qt/command_line.h"
#include "support/files.h"
#include "support/rows.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace tamberlight {

namespace {

CommandLine started(const std::string& line) {
    std::vector<std::string> words{"tamberlight"};
    std::istringstream split(line);
    for (std::string word; split >> word;)
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    return readCommandLine(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(CommandLine, AClockOfItsOwnAndQtsOptionsPassThrough) {
    EXPECT_FALSE(started("").share);
    EXPECT_FALSE(started("-platform offscreen -style fusion").share);
    QTemporaryDir dir;
    const std::string password = dir.filePath("password").toStdString();
    test::writeAll(password, "secret\r\nnot this\n");
    const CommandLine line =
        started("--follow mqtts://keeper@hall:8884/game/day --password-file " + password);
    const std::optional<ShareSetup>& setup = line.share;
    ASSERT_TRUE(setup);
    EXPECT_FALSE(line.serve);
    EXPECT_FALSE(setup->lead);
    EXPECT_EQ(setup->url.broker() + " " + setup->url.topic, "hall:8884 game/day");
    EXPECT_EQ(setup->password, "secret");
    // The page is served to this computer alone unless an address is given.
    for (const auto& [text, address, port] : {std::tuple{"8080", "127.0.0.1", 8080},
                                              {"[::]:0", "::", 0},
                                              {"0.0.0.0:80", "0.0.0.0", 80}}) {
        const std::optional<ServeSetup> serve =
            started(std::string("--serve ") + text + " --serve-token " + password).serve;
        ASSERT_TRUE(serve) << text;
        EXPECT_EQ(serve->address + " " + std::to_string(serve->port) + " " + serve->token,
                  std::string(address) + " " + std::to_string(port) + " secret");
    }
}

struct Usage {
    const char* text;
    const char* said; // what the one line says, after "tamberlight: "
};
class WrongUse : public ::testing::TestWithParam<Usage> {};

TEST_P(WrongUse, EndsTheStartWithOneLineAndStatusTwo) {
    EXPECT_EXIT(started(GetParam().text), ::testing::ExitedWithCode(2),
                "^tamberlight: [^\n]*" + std::string(GetParam().said) + "[^\n]*\n$");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WrongUse,
    ::testing::Values(Usage{"mqtt://hall/room", "unexpected argument: mqtt://hall/room"},
                      Usage{"--lead mqtt://h/a --follow mqtt://h/a", "either leads or follows"},
                      Usage{"--follow mqtt://hall", "names no topic"},
                      Usage{"--password-file /nowhere", "go with --lead or --follow"},
                      Usage{"--follow mqtt://h/a --password-file /nowhere", "a user"},
                      Usage{"--follow mqtt://u@h/a --password-file /nowhere", "cannot read"},
                      Usage{"--follow mqtt://h/a --cafile /nowhere", "mqtts://"},
                      Usage{"--serve hall:8080", "no IP address"},
                      Usage{"--serve ::1:8080", "no IP address"},
                      Usage{"--serve 65536", "no number from 0 to 65535"},
                      Usage{"--serve-token /nowhere", "goes with --serve"},
                      Usage{"--bogus", "bogus"}),
    test::textRowName<Usage>);

TEST(CommandLine, HelpAndVersionEndTheStartWell) {
    EXPECT_EXIT(started("--version"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(started("--help"), ::testing::ExitedWithCode(0), "");
}

} // namespace tamberlight
