// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/atomic_file.h"

#include "platform/platform_error.h"
#include "qt/checked_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tamberlight {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view TemporarySuffix = ".tmp";

[[noreturn]] void fail(const fs::path& path, const std::string& reason) {
    throw PlatformError("cannot save settings to " + path.string() + ": " + reason);
}

[[noreturn]] void fail(const fs::path& path, int error) {
    fail(path, std::strerror(error));
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

// The file's own target, refused when it is a named pipe, a device or anything but a file.
void checkTarget(const fs::path& target) {
    try {
        checkNotSpecial(target);
    } catch (const FileRefused& refused) {
        fail(target, refused.what());
    }
}

// Writes the bytes from the offset on; the error number of a failure, or 0.
int writeAt(int fd, std::string_view bytes, off_t offset = -1) {
    while (!bytes.empty()) {
        const ssize_t written = offset < 0 ? ::write(fd, bytes.data(), bytes.size())
                                           : ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno != EINTR)
            return errno;
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            offset += offset < 0 ? 0 : written;
        }
    }
    return 0;
}

void writeAll(int fd, std::string_view bytes, const fs::path& path) {
    if (const int error = writeAt(fd, bytes))
        fail(path, error);
}

void flush(int fd, const fs::path& path) {
    if (::fsync(fd) != 0)
        fail(path, errno);
}

// A folder's entries reach the disk only when the folder itself is flushed. Why it could not
// be, or nothing.
std::optional<std::string> unflushedFolder(const fs::path& folder) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0 || (::fsync(dir.get()) != 0 && errno != EINVAL))
        return "its folder cannot be flushed to disk: " + std::string(std::strerror(errno));
    return std::nullopt;
}

void flushFolder(const fs::path& folder, const fs::path& target) {
    if (const std::optional<std::string> why = unflushedFolder(folder))
        fail(target, *why);
}

// Makes the missing folders on the way to the file, each flushed into its parent.
void makeFolders(const fs::path& folder, const fs::path& target) {
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path at = folder; !at.empty() && !fs::exists(at, ec); at = at.parent_path()) {
        missing.push_back(at);
        if (at == at.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0777) != 0 && errno != EEXIST)
            fail(target, errno);
        flushFolder(it->parent_path(), target);
    }
}

// The temporary file of a save, locked for as long as its writer lives: a lock that can be
// taken marks one left by a save that ended without renaming it.
Descriptor lockedIfStale(const fs::path& temporary) {
    Descriptor file(::open(temporary.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {
    }, named{};
    if (file.get() < 0 || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0 ||
        ::fstat(file.get(), &opened) != 0 || ::lstat(temporary.c_str(), &named) != 0 ||
        opened.st_ino != named.st_ino || opened.st_dev != named.st_dev)
        return Descriptor();
    return file;
}

// Temporary files of saves of this machine that no live save holds; nothing else is touched,
// and nothing here fails a save that has already replaced the file.
void removeStaleTemporaries(const fs::path& target) noexcept {
    try {
        const std::string prefix = target.filename().string() + ".";
        const std::string machine = machineSuffix();
        std::error_code ec;
        fs::directory_iterator it(target.parent_path(), ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (!name.starts_with(prefix) || !name.ends_with(machine))
                continue;
            const std::string pid =
                name.substr(prefix.size(), name.size() - prefix.size() - machine.size());
            if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
                continue;
            if (lockedIfStale(it->path()).get() >= 0)
                ::unlink(it->path().c_str());
        }
    } catch (...) {
        // A clean-up that could not finish is left for the next save.
    }
}

// Makes this save's temporary file, locked; on failure the descriptor is empty and error says
// why. A file of the same name that no live save holds was left by an earlier process of the
// same number, and is removed first.
Descriptor makeTemporary(const fs::path& temporary, const fs::path& target, int& error) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        Descriptor file(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (file.get() >= 0) {
            // Until the lock is held a clean-up could take the new file for a stale one.
            struct stat opened {
            }, named{};
            if (::flock(file.get(), LOCK_EX) != 0 || ::fstat(file.get(), &opened) != 0)
                fail(target, errno);
            if (::lstat(temporary.c_str(), &named) == 0 && named.st_ino == opened.st_ino)
                return file;
            continue;
        }
        if (errno != EEXIST) {
            error = errno;
            return file;
        }
        if (lockedIfStale(temporary).get() < 0)
            fail(target, "another program is saving through " + temporary.string());
        ::unlink(temporary.c_str());
    }
    fail(target, "another program is saving through " + temporary.string());
}

// Replaces the content of an open file with the bytes; the error number of a failure, or 0.
int overwrite(int fd, std::string_view bytes) {
    if (const int error = writeAt(fd, bytes, 0))
        return error;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd) != 0)
        return errno;
    return 0;
}

// The file is rewritten where it lies, in a folder that cannot be written. The room for the new
// bytes is reserved before a byte changes, so that a full disk fails the save with the file
// untouched; should a write fail all the same, the previous bytes are put back.
void rewriteInPlace(const fs::path& target, std::string_view bytes, int folderError) {
    std::optional<Descriptor> file;
    std::string previous;
    try {
        if (std::optional<Descriptor> reading = openChecked(target, Access::Read))
            previous = readBounded(*reading);
        file = openChecked(target, Access::Write);
    } catch (const FileRefused& refused) {
        fail(target, refused.what());
    }
    if (!file)
        fail(target, folderError);
    const auto room = static_cast<off_t>(std::max(bytes.size(), previous.size()));
    if (const int error = room > 0 ? ::posix_fallocate(file->get(), 0, room) : 0)
        fail(target, error);
    if (const int error = overwrite(file->get(), bytes)) {
        if (overwrite(file->get(), previous) != 0)
            fail(target, std::string(std::strerror(error)) +
                             "; the file could not be put back as it was either");
        fail(target, error);
    }
    if (file->close() != 0)
        fail(target, errno);
}

} // namespace

fs::path temporaryFileFor(const fs::path& path) {
    fs::path temporary = path;
    temporary += '.';
    temporary += std::to_string(::getpid());
    temporary += machineSuffix();
    return temporary;
}

std::optional<std::string> writeFileAtomically(const fs::path& path, std::string_view bytes) {
    const fs::path target = finalTarget(path);
    checkTarget(target);
    makeFolders(target.parent_path(), target);
    const fs::path temporary = temporaryFileFor(target);
    int error = 0;
    Descriptor file = makeTemporary(temporary, target, error);
    if (file.get() < 0) {
        // The folder cannot be written: a file that opens for writing is rewritten in place.
        if (error == EACCES || error == EPERM || error == EROFS) {
            rewriteInPlace(target, bytes, error);
            return std::nullopt;
        }
        fail(target, error);
    }
    try {
        struct stat previous {};
        if (::stat(target.c_str(), &previous) == 0) {
            // Only root may give the file to its owner again; anyone else keeps it as theirs.
            [[maybe_unused]] const int owned =
                ::fchown(file.get(), previous.st_uid, previous.st_gid);
            // A file the user kept private must not come back readable by others.
            if (::fchmod(file.get(), previous.st_mode & 07777) != 0)
                fail(target,
                     "its permissions cannot be kept: " + std::string(std::strerror(errno)));
        }
        writeAll(file.get(), bytes, target);
        flush(file.get(), target);
        // The target may have been replaced while the bytes were written.
        checkTarget(target);
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            fail(target, errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // The new file is in place: what fails from here on is told, but it is no failed save. The
    // lock goes with the close, once the temporary's name is gone.
    std::optional<std::string> warning;
    if (file.close() != 0)
        warning = std::strerror(errno);
    if (const std::optional<std::string> why = unflushedFolder(target.parent_path()))
        warning = why;
    removeStaleTemporaries(target);
    if (warning)
        return "the settings are saved to " + target.string() + ", but " + *warning;
    return std::nullopt;
}

} // namespace tamberlight
