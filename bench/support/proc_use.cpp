// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "support/proc_use.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tamberlight::bench {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

long statusKilobytes(pid_t pid, const std::string& field) {
    const std::string status = readText("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find(field);
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + field.size());
}

std::map<std::string, ThreadUse> threadUse(pid_t pid) {
    std::map<std::string, ThreadUse> use;
    const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto& task : fs::directory_iterator(tasks, ec)) {
        ThreadUse& entry = use[task.path().filename().string()];
        entry.name = readText(task.path() / "comm");
        entry.name.erase(entry.name.find_last_not_of('\n') + 1);
        const std::string status = readText(task.path() / "status");
        const auto count = [&status](const char* field) {
            const auto at = status.find(field);
            return at == std::string::npos ? 0L
                                           : std::atol(status.c_str() + at + std::strlen(field));
        };
        entry.wakeups = count("\nvoluntary_ctxt_switches:");
        entry.preempted = count("\nnonvoluntary_ctxt_switches:");
        entry.cpuMilliseconds = std::atof(readText(task.path() / "schedstat").c_str()) / 1e6;
    }
    return use;
}

std::map<std::string, ThreadUse> during(const std::map<std::string, ThreadUse>& before,
                                        const std::map<std::string, ThreadUse>& after) {
    std::map<std::string, ThreadUse> use;
    for (const auto& [id, end] : after)
        if (const auto start = before.find(id); start != before.end())
            use[id] = {end.name, end.wakeups - start->second.wakeups,
                       end.preempted - start->second.preempted,
                       end.cpuMilliseconds - start->second.cpuMilliseconds};
    return use;
}

ThreadUse total(const std::map<std::string, ThreadUse>& use) {
    ThreadUse sum;
    for (const auto& [id, entry] : use) {
        sum.wakeups += entry.wakeups;
        sum.preempted += entry.preempted;
        sum.cpuMilliseconds += entry.cpuMilliseconds;
    }
    return sum;
}

double processCpuMilliseconds(pid_t pid) {
    const std::string stat = readText("/proc/" + std::to_string(pid) + "/stat");
    // The name in parentheses may hold spaces; the fields after it are the state (3rd) onwards.
    const auto name = stat.rfind(')');
    if (name == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(name + 1));
    std::string skipped;
    for (int field = 3; field < 14; ++field)
        fields >> skipped;
    unsigned long long user = 0, system = 0;
    if (!(fields >> user >> system))
        return -1;
    return static_cast<double>(user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double processCpuClockMilliseconds(pid_t pid) {
    clockid_t clock{};
    timespec time{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &time) != 0)
        return -1;
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

} // namespace tamberlight::bench
