// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tamberlight {

inline constexpr const char* ApplicationId = "org.tamberlight.Tamberlight";

// Where the settings file lives, decided once at start-up: "tamberl.ini" beside the executable
// when that file opens for writing or, when there is none, when one can be made there;
// otherwise, and always for an installed program, "tamberlight/tamberl.ini" in the user's
// configuration folder. A file beside the executable that could not be written is still read
// until the configuration folder has settings of its own. A settings file that is there but
// cannot be read, or is no regular file at all, is never written over, and neither is one that
// another program wrote since this window read it: this window's settings then go beside it.
class SettingsStore {
public:
    SettingsStore(const std::filesystem::path& executableDirectory,
                  const std::filesystem::path& configurationDirectory,
                  const std::filesystem::path& stateDirectory = {});
    // For the running program: its own folder and the user's configuration and state folders.
    static SettingsStore forThisProgram();

    const std::filesystem::path& path() const { return path_; }
    // The file's bytes, or nothing when there is none yet. Throws PlatformError for a file that
    // is there but cannot be read, and saves are refused from then on.
    std::optional<std::string> read();
    // Saves the bytes; what the user should hear of a save that went elsewhere, or nothing.
    std::optional<std::string> write(std::string_view bytes);
    // Keeps the bytes of settings that could not be saved where they are never loaded from, in
    // the state folder; gives where. Throws PlatformError.
    std::filesystem::path keepUnsaved(std::string_view bytes) const;
    // The copy kept when the last session ended unsaved, when it is newer than the settings.
    std::optional<std::filesystem::path> unsavedCopy() const;

private:
    // The file as this window last read or wrote it: which file, and what it held.
    struct Seen {
        bool present = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        std::int64_t modified = 0; // nanoseconds
        std::size_t hash = 0;
    };
    static Seen seenNow(const std::filesystem::path& file, std::optional<std::size_t> hash = {});
    bool changedSince(const Seen& seen) const;
    std::filesystem::path unsavedPath() const;

    std::filesystem::path path_, state_;
    std::optional<std::filesystem::path> earlier_;
    std::optional<std::string> refusal_; // why saves are refused
    std::optional<Seen> seen_;
    std::optional<std::filesystem::path> beside_; // where saves go once another program wrote
};

// A short name for a file, the same for every path to it: a hash of its full path.
std::string fileKey(const std::filesystem::path& file);

// Whether the executable was installed: it sits in a "bin" folder whose prefix holds the
// program's desktop entry.
bool isInstalled(const std::filesystem::path& executableDirectory);

} // namespace tamberlight
