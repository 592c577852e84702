// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

// Replaces the file with these bytes so that a failure or a kill at any moment leaves either
// the previous file or the new one, whole: the bytes go to a temporary file beside it, which
// is flushed to disk and renamed over it, and the folder is flushed after the rename (folders
// the save makes are flushed too). A symbolic link stays a link and its target gets the bytes;
// the file keeps its permissions. A writable file in a folder that cannot be written is
// rewritten in place, its room reserved first and its previous bytes put back should a write
// fail all the same. A named pipe,
// a device or anything else that is no regular file is never replaced. The temporary file is
// locked while it is written and renamed; temporaries of this machine that no save holds locked
// are removed afterwards. Throws PlatformError naming the file and the reason; once the new file
// is in place nothing throws, and what went wrong after (the folder could not be flushed) is what
// it gives back for the user to hear.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               std::string_view bytes);

// The name of this process's temporary file for a save of the given file: the file's name,
// then which process of which machine made it.
std::filesystem::path temporaryFileFor(const std::filesystem::path& path);

} // namespace tamberlight
