#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

// The file's bytes, or nothing when it does not exist or cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// Replaces the file with these bytes so that a failure or a kill at any moment leaves either
// the previous file or the new one, whole: the bytes go to a temporary file beside it, which
// is flushed to disk and renamed over it, and the folder is flushed after the rename. A
// symbolic link stays a link and its target gets the bytes; the file keeps its permissions. A
// writable file in a folder that cannot be written is rewritten in place, the one case where a
// failure can leave it partly written. Temporary files that killed saves of this machine left
// behind are removed. Throws PlatformError naming the file and the reason.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The name of this process's temporary file for a save of the given file: the file's name,
// then which process of which machine made it.
std::filesystem::path temporaryFileFor(const std::filesystem::path& path);

} // namespace tamberlight
