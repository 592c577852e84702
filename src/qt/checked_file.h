// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <utility>

namespace tamberlight {

// The size past which a file is not read as settings: far above any real schedule (100,000
// lines are about 3 MB), far below what would hurt to hold in memory.
inline constexpr off_t SettingsSizeLimit = off_t{64} << 20;

// Closes the descriptor it owns.
class Descriptor {
public:
    explicit Descriptor(int fd = -1)
        : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(Descriptor&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }
    // Closing can report a failed write of its own.
    int close();

private:
    int fd_;
};

// Why a file is not used as settings, in the user's words: what it is instead, or why it cannot
// be opened or read.
class FileRefused : public std::runtime_error {
public:
    FileRefused(const std::string& reason, bool notAFile)
        : std::runtime_error(reason)
        , notAFile(notAFile) {}
    // A named pipe, a device, a socket, a folder or a file far too large: never settings.
    bool notAFile;
};

enum class Access { Read, Write };

// The one way a settings file is opened. The path (links followed) is looked at before it is
// opened: only a regular file within the size limit is opened, without blocking and without
// becoming a terminal, and looked at again once open in case it was swapped meanwhile. A named
// pipe, a device or a socket is never opened, so it can neither block nor be read for ever.
// Nothing when the path names nothing; FileRefused otherwise.
std::optional<Descriptor> openChecked(const std::filesystem::path& path, Access access);

// The whole of an open file, read to its end but never past the size limit.
std::string readBounded(const Descriptor& file);

// What the path names now, without opening it: FileRefused when it is there and is no regular
// file. A path that names nothing passes.
void checkNotSpecial(const std::filesystem::path& path);

// What the path names when it is there but is no regular file ("a named pipe", "a folder"),
// links followed; nothing otherwise. A picture or a sound of such a kind is never opened.
std::optional<std::string> specialKind(const std::filesystem::path& path);

} // namespace tamberlight
