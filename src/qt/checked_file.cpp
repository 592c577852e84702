// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/checked_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamberlight {

namespace {

[[noreturn]] void refuse(int error) {
    throw FileRefused(std::strerror(error), false);
}

const char* kindOf(const struct stat& st) {
    return S_ISREG(st.st_mode)                          ? nullptr
           : S_ISDIR(st.st_mode)                        ? "a folder"
           : S_ISFIFO(st.st_mode)                       ? "a named pipe"
           : S_ISSOCK(st.st_mode)                       ? "a socket"
           : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                                                        : "no regular file";
}

// A file that is what a settings file must be passes; anything else is refused, saying what it is.
void check(const struct stat& st, Access access) {
    if (const char* what = kindOf(st))
        throw FileRefused(std::string("it is ") + what + ", not a settings file", true);
    if (access == Access::Read && st.st_size > SettingsSizeLimit)
        throw FileRefused("it is larger than 64 MiB, far more than any settings", true);
}

} // namespace

int Descriptor::close() {
    return fd_ < 0 ? 0 : ::close(std::exchange(fd_, -1));
}

std::optional<Descriptor> openChecked(const std::filesystem::path& path, Access access) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        refuse(errno);
    }
    check(st, access);
    const int flags = (access == Access::Read ? O_RDONLY : O_WRONLY) | O_NONBLOCK | O_NOCTTY;
    Descriptor file(::open(path.c_str(), flags | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        refuse(errno);
    }
    if (::fstat(file.get(), &st) != 0)
        refuse(errno);
    check(st, access);
    return file;
}

std::string readBounded(const Descriptor& file) {
    std::string bytes;
    if (struct stat st{}; ::fstat(file.get(), &st) == 0 && st.st_size <= SettingsSizeLimit)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got == 0)
            return bytes;
        if (got < 0 && errno != EINTR)
            refuse(errno);
        if (got > 0)
            bytes.append(buffer, static_cast<std::size_t>(got));
        if (static_cast<off_t>(bytes.size()) > SettingsSizeLimit)
            throw FileRefused("it is larger than 64 MiB, far more than any settings", true);
    }
}

std::optional<std::string> specialKind(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || kindOf(st) == nullptr)
        return std::nullopt;
    return kindOf(st);
}

void checkNotSpecial(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        check(st, Access::Write);
}

} // namespace tamberlight
