#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

inline constexpr const char* SettingsFileName = "tamberl.ini";
inline constexpr const char* ApplicationId = "org.tamberlight.Tamberlight";

// Whether the executable was installed: it sits in a "bin" folder whose prefix holds the
// program's desktop entry.
bool isInstalled(const std::filesystem::path& executableDirectory);

// "tamberl.ini" beside the executable where that file can be written, or, when there is none,
// where the directory can; otherwise, and always for an installed program, in the user's
// configuration directory ($XDG_CONFIG_HOME, else ~/.config), in its folder "tamberlight".
std::filesystem::path settingsFilePath(const std::filesystem::path& executableDirectory);

// The file's bytes, or nothing when it does not exist or cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// Writes a temporary file beside the target, flushes it to disk and renames it over the target,
// so that a failure at any step leaves the previous file whole; temporary files that killed
// saves left behind are removed. A writable target in a directory that cannot be written is
// rewritten in place. Throws PlatformError.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Text in the file is in the locale's character set (UTF-8 under a C or UTF-8 locale).
std::string encodeForFile(std::string_view utf8);
// A line of the file as UTF-8: bytes that are not valid in the locale's character set are
// read as Shift-JIS (code page 932), the character set of files made on Japanese systems.
std::string decodeFromFile(std::string_view bytes);

} // namespace tamberlight
