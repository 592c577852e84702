// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tamberlight::bench {

// Starts a program with these arguments, these variables added to the environment and its
// standard error written to a file. It is killed when the calling thread ends.
pid_t startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment,
                   const std::filesystem::path& standardError);

// Kills the child and collects it.
void killProgram(pid_t pid);

} // namespace tamberlight::bench
