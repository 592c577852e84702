// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "share/share_url.h"

#include <optional>
#include <string>

namespace tamberlight {

// A clock shared through a broker, as the command line asks for it.
struct ShareSetup {
    ShareUrl url;
    bool lead = false;
    std::string password; // the first line of --password-file
    std::string caFile;   // --cafile
};

// The clock's web page, as the command line asks for it.
struct ServeSetup {
    std::string address = "127.0.0.1"; // an IP address; only this computer's by default
    int port = 0;                      // 0: any free port, told at start
    std::string token;                 // the first line of --serve-token; empty: none asked
};

struct CommandLine {
    std::optional<ShareSetup> share; // nothing when the clock shares no room
    std::optional<ServeSetup> serve; // nothing when it serves no page
};

// Reads the command line before anything else happens: --help and --version print and end
// the program; an option it does not know, an address that is none or a file it cannot read
// ends it with one line and status 2, before any window.
CommandLine readCommandLine(int argc, char** argv);

} // namespace tamberlight
