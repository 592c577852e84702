// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The sharing module against a real mosquitto on a free loopback port: one leader to a topic, its
// followers counted, its clock kept for those that come later and its going told; attempts at
// doubling intervals while the broker is away.
#include "qt/modules.h"
#include "qt/share_link.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tamberlight {

namespace {

// What a link tells the window, as lines of text, with when each lost link was told.
class Told : public ShareLinkEvents {
public:
    Told() { clock.start(); }
    void linkUp() override { lines.emplace_back("up"); }
    void linkDown(const std::string&) override {
        lines.emplace_back("down");
        downs.push_back(clock.elapsed());
    }
    void refused(const std::string& why) override { lines.push_back("refused: " + why); }
    void listeningForLeader() override { lines.emplace_back("listening"); }
    void clockMessage(std::string_view payload, bool retained) override {
        lines.push_back((retained ? "kept: " : "message: ") + std::string(payload));
    }
    void leaderPresence(bool online, bool) override {
        lines.emplace_back(online ? "leader" : "gone");
    }
    void followerPresence(const std::string& follower, bool online) override {
        lines.push_back(follower + (online ? " follows" : " left"));
    }
    bool said(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::vector<std::string> lines;
    std::vector<qint64> downs;
    QElapsedTimer clock;
};

// A free port on the loopback address (given 0), or whether the given one is listening.
int loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    socklen_t size = sizeof address;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const bool ok = port == 0 ? ::bind(fd, raw, size) == 0 && ::getsockname(fd, raw, &size) == 0
                              : ::connect(fd, raw, size) == 0;
    ::close(fd);
    return ok ? ntohs(address.sin_port) : 0;
}

// Runs the event loop until the condition holds, for five seconds unless told otherwise.
bool until(const std::function<bool()>& done, int milliseconds = 5000) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

} // namespace

class BrokerLink : public ::testing::Test {
protected:
    ~BrokerLink() override {
        broker.terminate();
        broker.waitForFinished();
    }
    void startBroker() {
        const std::string conf = dir.filePath("broker.conf").toStdString();
        // As root, the broker would give up root for a user that cannot enter this folder.
        std::ofstream(conf) << "user root\nlistener " << port
                            << " 127.0.0.1\nallow_anonymous true\n";
        broker.start(QStringLiteral("/usr/sbin/mosquitto"), {"-c", QString::fromStdString(conf)});
        ASSERT_TRUE(until([this] { return loopback(port) != 0; })) << "no broker started";
    }
    std::unique_ptr<ShareLink> join(Told& events, bool lead) {
        std::string why;
        using Make = ShareLink* (*)(const ShareLinkOptions*, ShareLinkEvents*);
        const auto make = reinterpret_cast<Make>(
            moduleFunction("libtamberlight_share.so", "tamberlight_make_share_link", why));
        EXPECT_NE(make, nullptr) << why;
        const ShareLinkOptions options{
            "127.0.0.1", port, false, "", "", "", "room", "clock-" + std::to_string(++n), lead, 50};
        return std::unique_ptr<ShareLink>(make(&options, &events));
    }

    QTemporaryDir dir;
    int port = loopback(0), n = 0;
    QProcess broker;
};

// The link carries what the room needs to decide: a would-be leader hears whether the topic has
// a leader, a leader hears its followers come and go, a follower hears the clock (kept for those
// that come later) and the leader's going.
TEST_F(BrokerLink, ALeaderItsFollowersAndItsClockForLaterComers) {
    startBroker();
    Told leader, follower, later;
    auto leading = join(leader, true);
    ASSERT_TRUE(until([&] { return leader.said("listening"); }));
    EXPECT_FALSE(leader.said("leader")) << "no leader yet";
    leading->lead();
    auto following = join(follower, false);
    ASSERT_TRUE(until([&] { return leader.said("clock-2 follows") && follower.said("leader"); }));
    leading->publish("18:30");
    EXPECT_TRUE(until([&] { return follower.said("message: 18:30"); }));
    auto comer = join(later, false);
    EXPECT_TRUE(until([&] { return later.said("kept: 18:30"); })) << "the clock is kept";
    comer.reset();
    EXPECT_TRUE(until([&] { return leader.said("clock-3 left"); }));
    leading.reset();
    EXPECT_TRUE(until([&] { return follower.said("gone"); })) << "a leader that closes says so";
}

TEST_F(BrokerLink, AnAbsentBrokerIsTriedAtDoublingIntervalsUntilItComes) {
    Told told;
    auto link = join(told, false);
    ASSERT_TRUE(until([&] { return told.downs.size() >= 4; }));
    for (std::size_t i = 2; i < 4; ++i)
        EXPECT_GE(told.downs[i] - told.downs[i - 1],
                  3 * (told.downs[i - 1] - told.downs[i - 2]) / 2)
            << "attempt " << i;
    EXPECT_GE(told.downs[1] - told.downs[0], 45);
    startBroker();
    EXPECT_TRUE(until([&] { return told.said("up"); }));
}

} // namespace tamberlight
