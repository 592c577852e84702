// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tamberlight {

// The media command that plays a sound file: the word play, a space, the path in double quotes.
std::string playCommand(const std::string& path);

// The path of a play command. Throws PlatformError for any other command.
std::string parsePlayCommand(const std::string& command);

} // namespace tamberlight
