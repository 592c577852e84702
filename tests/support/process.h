#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tamberlight::testing {

// Starts a program with these arguments, these variables added to the environment and its
// standard error written to a file.
pid_t startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment,
                   const std::filesystem::path& standardError);

// Waits for the child to end: its exit status (128 + the signal when a signal ended it), or
// nothing when it has not ended in time.
std::optional<int> waitForExit(pid_t pid, int milliseconds);

// Kills the child and collects it.
void killProgram(pid_t pid);

} // namespace tamberlight::testing
