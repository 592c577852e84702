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

// Reads the command line before anything else happens: --help and --version print and end
// the program; an option it does not know, an address that is none or a file it cannot read
// ends it with one line and status 2, before any window. Nothing when the clock runs alone.
std::optional<ShareSetup> readCommandLine(int argc, char** argv);

} // namespace tamberlight
