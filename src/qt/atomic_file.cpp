#include "qt/atomic_file.h"

#include "platform/platform_error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tamberlight {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view TemporarySuffix = ".tmp";

[[noreturn]] void fail(const fs::path& path, int error) {
    throw PlatformError("cannot save settings to " + path.string() + ": " + std::strerror(error));
}

// "@", the machine's name and ".tmp": how a temporary file of this machine ends.
std::string machineSuffix() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        std::strcpy(name, "localhost");
    std::string suffix(1, '@');
    suffix += name;
    suffix += TemporarySuffix;
    std::replace(suffix.begin(), suffix.end(), '/', '_');
    return suffix;
}

// A symbolic link is followed to the file it names, which may not exist yet.
fs::path finalTarget(fs::path path) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
        const fs::path target = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closing can report a failed write of its own.
    int close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

void writeAll(int fd, std::string_view bytes, const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR)
            fail(path, errno);
        if (written > 0)
            bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void writeAndFlush(Descriptor& file, std::string_view bytes, const fs::path& path, bool truncate) {
    writeAll(file.get(), bytes, path);
    if (truncate && ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0)
        fail(path, errno);
    if (::fsync(file.get()) != 0 || file.close() != 0)
        fail(path, errno);
}

// Temporary files of saves of this machine whose process has ended; nothing else is touched.
void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = target.filename().string() + ".";
    const std::string machine = machineSuffix();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(target.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix) || !name.ends_with(machine))
            continue;
        const std::string pid =
            name.substr(prefix.size(), name.size() - prefix.size() - machine.size());
        if (pid.empty() || pid.size() > 9 ||
            pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH)
            fs::remove(entry.path(), ec);
    }
}

} // namespace

fs::path temporaryFileFor(const fs::path& path) {
    fs::path temporary = path;
    temporary += '.';
    temporary += std::to_string(::getpid());
    temporary += machineSuffix();
    return temporary;
}

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(bytes).str();
}

void writeFileAtomically(const fs::path& path, std::string_view bytes) {
    const fs::path target = finalTarget(path);
    std::error_code ec;
    if (fs::create_directories(target.parent_path(), ec); ec)
        fail(target, ec.value());
    const fs::path temporary = temporaryFileFor(target);
    // A name this process made earlier, left by a save killed with an earlier process of the
    // same number.
    ::unlink(temporary.c_str());
    Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        const int error = errno;
        // The folder cannot be written: a file that opens for writing is rewritten in place.
        if (error == EACCES || error == EPERM || error == EROFS) {
            Descriptor inPlace(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
            if (inPlace.get() >= 0)
                return writeAndFlush(inPlace, bytes, target, true);
        }
        fail(target, error);
    }
    try {
        struct stat previous {};
        if (::stat(target.c_str(), &previous) == 0) {
            // Only root may give the file to its owner again; anyone else keeps it as theirs.
            [[maybe_unused]] const int owned =
                ::fchown(file.get(), previous.st_uid, previous.st_gid);
            ::fchmod(file.get(), previous.st_mode & 07777);
        }
        writeAndFlush(file, bytes, target, false);
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            fail(target, errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // The rename itself reaches the disk with the folder.
    Descriptor folder(::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    removeStaleTemporaries(target);
}

} // namespace tamberlight
