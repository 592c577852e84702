// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tamberlight {

// A function of one of the program's own modules, loaded when first needed so that what only
// some runs use costs the others nothing: beside the executable in a build, in the library
// folder once installed. Nothing when it cannot be loaded, and why says why. A loaded module
// stays for the rest of the run.
void* moduleFunction(const char* module, const char* function, std::string& why);

} // namespace tamberlight
