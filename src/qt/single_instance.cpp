#include "qt/single_instance.h"

#include "platform/platform_error.h"

#include <QCryptographicHash>
#include <QStandardPaths>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace tamberlight {

namespace {

QString lockBase(const std::filesystem::path& settingsFile) {
    std::error_code ec;
    const std::string full = std::filesystem::weakly_canonical(settingsFile, ec).string();
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(full), QCryptographicHash::Sha256);
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/tamberlight-") + QString::fromLatin1(hash.toHex().left(24));
}

// A socket of the local kind at the path, connected or listening; -1 when that fails.
int localSocket(const std::string& path, bool listen) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    const bool ready = listen ? ::bind(fd, raw, sizeof address) == 0 && ::listen(fd, 4) == 0
                              : ::connect(fd, raw, sizeof address) == 0;
    if (!ready) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

SingleInstance::SingleInstance(const std::filesystem::path& settingsFile)
    : SingleInstance(lockBase(settingsFile)) {}

SingleInstance::SingleInstance(const QString& base)
    : socket_((base + QStringLiteral(".socket")).toStdString())
    , lock_(base + QStringLiteral(".lock")) {
    // A lock is stale only when its program has ended, however long it has been held.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    release();
}

bool SingleInstance::claim(std::function<void()> onWake) {
    if (!lock_.tryLock(0)) {
        if (lock_.error() != QLockFile::LockFailedError)
            throw PlatformError("cannot make the lock " + lock_.fileName().toStdString() +
                                "; a second start with the same settings is not refused");
        if (const int running = localSocket(socket_, false); running >= 0) {
            [[maybe_unused]] const auto sent = ::write(running, "front\n", 6);
            ::close(running);
        }
        return false;
    }
    // The socket of a killed program is in the way of ours, and is ours to remove.
    ::unlink(socket_.c_str());
    listening_ = localSocket(socket_, true);
    if (listening_ < 0)
        return true;
    notifier_ = std::make_unique<QSocketNotifier>(listening_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this, wake = std::move(onWake)] {
                         const int caller = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC);
                         if (caller >= 0)
                             ::close(caller);
                         wake();
                     });
    return true;
}

void SingleInstance::release() {
    notifier_.reset();
    if (listening_ >= 0) {
        ::close(std::exchange(listening_, -1));
        ::unlink(socket_.c_str());
    }
    lock_.unlock();
}

} // namespace tamberlight
