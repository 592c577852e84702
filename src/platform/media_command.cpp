// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "platform/media_command.h"

#include "platform/platform_error.h"

namespace tamberlight {

std::string playCommand(const std::string& path) {
    return "play \"" + path + "\"";
}

std::string parsePlayCommand(const std::string& command) {
    constexpr std::string_view Verb = "play \"";
    // The path runs to the last quote, so a path may hold quotes of its own.
    if (command.size() < Verb.size() + 1 || command.compare(0, Verb.size(), Verb) != 0 ||
        command.back() != '"')
        throw PlatformError("media command not understood: " + command);
    return command.substr(Verb.size(), command.size() - Verb.size() - 1);
}

} // namespace tamberlight
