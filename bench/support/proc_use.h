// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <sys/types.h>

namespace tamberlight::bench {

// The whole file; empty when it cannot be read.
std::string readText(const std::filesystem::path& path);

// A field of /proc/PID/status given in kilobytes (VmHWM:, VmRSS:), or -1.
long statusKilobytes(pid_t pid, const std::string& field);

// Sleeps (each voluntary context switch is one, ended by a wake-up), preemptions and CPU time of
// one thread.
struct ThreadUse {
    std::string name;
    long wakeups = 0;
    long preempted = 0;
    double cpuMilliseconds = 0;
};

// Every thread of the process, by thread id.
std::map<std::string, ThreadUse> threadUse(pid_t pid);

// What the threads that lived through the whole period did in it.
std::map<std::string, ThreadUse> during(const std::map<std::string, ThreadUse>& before,
                                        const std::map<std::string, ThreadUse>& after);

ThreadUse total(const std::map<std::string, ThreadUse>& use);

// User and system time of the whole process, its ended threads included, from /proc/PID/stat
// (in steps of the kernel's clock tick, 10 ms on most systems); -1 when it is gone.
double processCpuMilliseconds(pid_t pid);

// The same time, to the nanosecond, from the process's CPU-time clock; -1 when it is gone.
double processCpuClockMilliseconds(pid_t pid);

} // namespace tamberlight::bench
