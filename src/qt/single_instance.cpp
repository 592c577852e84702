// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/single_instance.h"

#include "platform/platform_error.h"
#include "qt/checked_file.h"
#include "qt/settings_store.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace tamberlight {

namespace {

// How long a second start waits for the running window: long enough for one that is still
// starting, or one closing that is about to let go of the lock.
constexpr int WaitMilliseconds = 5000;
constexpr int RetryMilliseconds = 50;
// The longest request a window reads: a word and a token.
constexpr int RequestLimit = 4096;

QString lockBase(const std::filesystem::path& settingsFile, const QString& folder) {
    return folder + QStringLiteral("/tamberlight-") + QString::fromStdString(fileKey(settingsFile));
}

// A local socket at the path, listening or connected, that never blocks; none when that fails.
Descriptor localSocket(const std::string& path, bool listen) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return Descriptor();
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    const bool ready =
        socket.get() >= 0 &&
        (listen ? ::bind(socket.get(), raw, sizeof address) == 0 && ::listen(socket.get(), 4) == 0
                : ::connect(socket.get(), raw, sizeof address) == 0);
    return ready ? std::move(socket) : Descriptor();
}

// Waits until the descriptor has something to read, or the time is up.
bool readable(int fd, int milliseconds) {
    pollfd wanted{fd, POLLIN, 0};
    return ::poll(&wanted, 1, std::max(milliseconds, 0)) == 1;
}

// One line from the other end, read within the time given.
QByteArray readLine(int fd, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    QByteArray line;
    char byte = 0;
    while (line.size() < RequestLimit && readable(fd, milliseconds - int(clock.elapsed()))) {
        if (::read(fd, &byte, 1) != 1 || byte == '\n')
            return line;
        line += byte;
    }
    return line;
}

} // namespace

QByteArray desktopStartToken() {
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"})
        if (const QByteArray token = qgetenv(name); !token.isEmpty() && !token.contains('\n'))
            return token;
    return {};
}

SingleInstance::SingleInstance(const std::filesystem::path& settingsFile)
    : SingleInstance(settingsFile,
                     QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)) {}

SingleInstance::SingleInstance(const std::filesystem::path& settingsFile,
                               const QString& runtimeFolder)
    : SingleInstance(lockBase(settingsFile, runtimeFolder)) {}

SingleInstance::SingleInstance(const QString& base)
    : socket_((base + QStringLiteral(".socket")).toStdString())
    , lockFile_((base + QStringLiteral(".lock")).toStdString()) {}

// True when the lock is this program's now; PlatformError when there can be no lock.
bool SingleInstance::tryLock() {
    if (lock_.get() < 0)
        lock_ = Descriptor(::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock_.get() < 0)
        throw PlatformError("cannot make the lock " + lockFile_ +
                            "; a second start with the same settings is not refused");
    return ::flock(lock_.get(), LOCK_EX | LOCK_NB) == 0;
}

SingleInstance::~SingleInstance() {
    release();
}

SingleInstance::Claim SingleInstance::claim(const QByteArray& token,
                                            std::function<void(const QByteArray&)> onWake) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (tryLock())
            break;
        if (Descriptor connection = localSocket(socket_, false);
            connection.get() >= 0 && forward(connection.get(), token))
            return Claim::Forwarded;
        if (clock.elapsed() >= WaitMilliseconds)
            return Claim::Unanswered;
        QThread::msleep(RetryMilliseconds);
    }
    // The socket of a killed program is in the way of ours, and is ours to remove.
    ::unlink(socket_.c_str());
    listening_ = localSocket(socket_, true);
    if (listening_.get() < 0)
        return Claim::Ours;
    onWake_ = std::move(onWake);
    notifier_ = std::make_unique<QSocketNotifier>(listening_.get(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { answer(); });
    return Claim::Ours;
}

// Hands this start's token to the running window and waits for its answer.
bool SingleInstance::forward(int connection, const QByteArray& token) {
    const QByteArray request = "front " + token + '\n';
    const bool sent = ::send(connection, request.constData(), std::size_t(request.size()),
                             MSG_NOSIGNAL) == request.size();
    return sent && readLine(connection, WaitMilliseconds) == "ok";
}

// A later start asks this window to come to the front.
void SingleInstance::answer() {
    const Descriptor caller(::accept4(listening_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (caller.get() < 0)
        return;
    const QByteArray request = readLine(caller.get(), 500);
    if (request.startsWith("front")) {
        onWake_(request.mid(6));
        [[maybe_unused]] const auto sent = ::send(caller.get(), "ok\n", 3, MSG_NOSIGNAL);
    }
}

void SingleInstance::release() {
    notifier_.reset();
    if (listening_.get() >= 0) {
        listening_.close();
        ::unlink(socket_.c_str());
    }
    lock_.close();
}

} // namespace tamberlight
