// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

inline constexpr const char* ApplicationId = "org.tamberlight.Tamberlight";

// Where the settings file lives, decided once at start-up: "tamberl.ini" beside the executable
// when that file opens for writing or, when there is none, when one can be made there;
// otherwise, and always for an installed program, "tamberlight/tamberl.ini" in the user's
// configuration folder. A file beside the executable that could not be written is still read
// until the configuration folder has settings of its own. A settings file that is there but
// cannot be read, or is no regular file at all, is never written over.
class SettingsStore {
public:
    SettingsStore(const std::filesystem::path& executableDirectory,
                  const std::filesystem::path& configurationDirectory);
    // For the running program: its own folder and the user's configuration folder.
    static SettingsStore forThisProgram();

    const std::filesystem::path& path() const { return path_; }
    // The file's bytes, or nothing when there is none yet. Throws PlatformError for a file that
    // is there but cannot be read, and saves are refused from then on.
    std::optional<std::string> read();
    void write(std::string_view bytes) const;

private:
    std::filesystem::path path_;
    std::optional<std::filesystem::path> earlier_;
    std::optional<std::string> refusal_; // why saves are refused
};

// Whether the executable was installed: it sits in a "bin" folder whose prefix holds the
// program's desktop entry.
bool isInstalled(const std::filesystem::path& executableDirectory);

} // namespace tamberlight
