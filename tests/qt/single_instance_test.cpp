// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// One window per settings file, as two starts in one process: a later start reaches the running
// window, a closed window lets the next start go ahead, and a killed window's socket is no
// obstacle.
#include "qt/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tamberlight {

class OneWindow : public ::testing::Test {
protected:
    using Claim = SingleInstance::Claim;
    // A later start, on a thread of its own while this one answers as the running window does.
    Claim laterStart(const QByteArray& token) {
        auto claim = std::async(std::launch::async, [&] {
            return SingleInstance(settings, dir.path()).claim(token, [](const QByteArray&) {});
        });
        while (claim.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return claim.get();
    }
    std::filesystem::path settings = "/nowhere/tamberl.ini";
    QTemporaryDir dir;
    QByteArray woken;
};

TEST_F(OneWindow, ALaterStartReachesTheWindowUntilItCloses) {
    SingleInstance first(settings, dir.path());
    ASSERT_EQ(first.claim("", [this](const QByteArray& token) { woken = token; }), Claim::Ours);
    EXPECT_EQ(laterStart("launcher-7"), Claim::Forwarded);
    EXPECT_EQ(woken, "launcher-7");
    first.release();
    SingleInstance next(settings, dir.path());
    EXPECT_EQ(next.claim("", [](const QByteArray&) {}), Claim::Ours);
}

// A window killed without a word leaves its socket behind; the next window removes it and
// listens in its place, so a start after that is still answered.
TEST_F(OneWindow, AKilledWindowsSocketIsReplaced) {
    SingleInstance(settings, dir.path()).claim("", [](const QByteArray&) {});
    const QStringList locks = QDir(dir.path()).entryList({"*.lock"});
    ASSERT_EQ(locks.size(), 1);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QString socket = dir.filePath(locks[0].chopped(5) + ".socket");
    std::strcpy(address.sun_path, socket.toLocal8Bit().constData());
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);

    SingleInstance again(settings, dir.path());
    ASSERT_EQ(again.claim("", [this](const QByteArray& token) { woken = token; }), Claim::Ours);
    EXPECT_EQ(laterStart("after-kill"), Claim::Forwarded);
    EXPECT_EQ(woken, "after-kill");
}

} // namespace tamberlight
