// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// Start-up, memory and idle cost of the real program against a bare Qt window, both watched from
// outside: the first frame through the X DAMAGE extension, memory, wake-ups and CPU time
// through /proc. Each program gets a runtime folder of its own, so that the lock that keeps one
// window per settings file never refuses a start.
#include "support/damage_watch.h"
#include "support/proc_use.h"
#include "support/process.h"
#include "support/x_server.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tl = tamberlight::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The clock ticks every 1492 ms unless the user sets another interval.
constexpr double TickSeconds = 1.492;

fs::path pathOf(const QTemporaryDir& dir) {
    return dir.path().toStdString();
}

struct Program {
    const char* name;
    fs::path path;
    fs::path runtime; // its XDG_RUNTIME_DIR
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from fork to the first frame, or a negative number.
// The milliseconds from the start to the first frame; mapped gets those to the window's map.
double startOnce(const Program& program, const tl::XServer& x, tl::DamageWatch& watch,
                 double* mapped = nullptr) {
    watch.drain();
    const auto started = Clock::now();
    const pid_t pid = tl::startProgram(program.path, {},
                                       {{"DISPLAY", x.display()},
                                        {"QT_QPA_PLATFORM", "xcb"},
                                        {"XDG_RUNTIME_DIR", program.runtime}},
                                       program.runtime / "stderr.txt");
    Clock::time_point mappedAt = started;
    const auto frame = watch.waitForFrame(20000, &mappedAt);
    tl::killProgram(pid);
    // Let the server take the window down before the next run.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (!frame)
        return -1;
    if (mapped != nullptr)
        *mapped = std::chrono::duration<double, std::milli>(mappedAt - started).count();
    return std::chrono::duration<double, std::milli>(*frame - started).count();
}

void tableRow(const char* what, double ours, double bare, const char* unit, const char* goal) {
    std::printf("table:%s\t%.2f %s\t%.2f %s\t%.2fx\t%s\n", what, ours, unit, bare, unit,
                bare > 0 ? ours / bare : 0.0, goal);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench <tamberlight> <bare_window> <same_widgets> "
                             "[runs] [seconds]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::atoi(argv[4]) : 15;
    const int idleSeconds = argc > 5 ? std::atoi(argv[5]) : 155;
    tl::XServer x;
    if (x.display().empty()) {
        std::fprintf(stderr, "Xvfb could not be started\n");
        return 1;
    }
    // The program turns Qt's shared-memory images off unless the variable is set at all, and
    // Qt turns them off whenever it is: each program runs as it would for a user.
    ::unsetenv("QT_XCB_NO_MITSHM");
    // Each copy keeps its settings file beside it, in a folder of its own.
    QTemporaryDir ours, bare, same;
    std::vector<std::unique_ptr<QTemporaryDir>> runtimes;
    const auto runtimeFolder = [&runtimes] {
        const fs::path path = pathOf(*runtimes.emplace_back(std::make_unique<QTemporaryDir>()));
        fs::permissions(path, fs::perms::owner_all);
        return path;
    };
    fs::copy_file(argv[1], pathOf(ours) / "tamberlight");
    fs::copy_file(argv[2], pathOf(bare) / "bare_window");
    fs::copy_file(argv[3], pathOf(same) / "same_widgets");
    const Program programs[] = {{"tamberlight", pathOf(ours) / "tamberlight", runtimeFolder()},
                                {"bare Qt window", pathOf(bare) / "bare_window", runtimeFolder()},
                                {"same widgets", pathOf(same) / "same_widgets", runtimeFolder()}};
    tl::DamageWatch watch(x.display());

    // Start-up: one warm-up each, then they take turns so that drifts hit all alike.
    std::map<std::string, std::vector<double>> startup, mapped;
    for (const Program& program : programs)
        startOnce(program, x, watch);
    for (int run = 0; run < runs; ++run)
        for (const Program& program : programs) {
            double map = 0;
            const double ms = startOnce(program, x, watch, &map);
            if (ms < 0) {
                std::fprintf(stderr, "%s showed no frame\n%s", program.name,
                             tl::readText(program.runtime / "stderr.txt").c_str());
                return 1;
            }
            startup[program.name].push_back(ms);
            mapped[program.name].push_back(map);
        }
    std::printf("start-up to the first frame on Xvfb (ms), median of %d after a warm-up\n", runs);
    for (const Program& program : programs) {
        std::printf("  %-16s median %7.1f   runs:", program.name, median(startup[program.name]));
        for (double ms : startup[program.name])
            std::printf(" %.1f", ms);
        std::printf("\n");
    }
    const double oursStart = median(startup["tamberlight"]);
    const double bareStart = median(startup["bare Qt window"]);
    const double sameStart = median(startup["same widgets"]);
    // Each round's own ratio: the machine's drift from round to round cancels out.
    std::vector<double> roundRatios;
    for (std::size_t i = 0; i < startup["tamberlight"].size(); ++i)
        roundRatios.push_back(startup["tamberlight"][i] / startup["same widgets"][i]);
    const double roundRatio = median(roundRatios);
    std::printf("  tamberlight against the same widgets, round by round: median %.3fx\n",
                roundRatio);
    // Where the time goes: the program's own start-up until its window is mapped, then the
    // first frame's painting.
    const double oursMap = median(mapped["tamberlight"]);
    const double sameMap = median(mapped["same widgets"]);
    std::printf("  start to window mapped: tamberlight %.1f, same widgets %.1f; mapped to first "
                "frame: %.1f, %.1f\n",
                oursMap, sameMap, oursStart - oursMap, sameStart - sameMap);

    // Memory and idle: all run side by side at the default interval for 100 ticks and more.
    std::vector<pid_t> pids;
    for (const Program& program : programs)
        pids.push_back(tl::startProgram(program.path, {},
                                        {{"DISPLAY", x.display()},
                                         {"QT_QPA_PLATFORM", "xcb"},
                                         {"XDG_RUNTIME_DIR", program.runtime}},
                                        program.runtime / "idle-stderr.txt"));
    const auto launched = Clock::now();
    const int measureFrom = std::min(20, idleSeconds / 3);
    std::this_thread::sleep_until(launched + std::chrono::seconds(measureFrom));
    std::vector<std::map<std::string, tl::ThreadUse>> before;
    for (pid_t pid : pids)
        before.push_back(tl::threadUse(pid));
    watch.drain();
    const auto idleStart = Clock::now();
    std::this_thread::sleep_until(launched + std::chrono::seconds(idleSeconds));
    const double seconds = std::chrono::duration<double>(Clock::now() - idleStart).count();
    std::vector<std::map<std::string, tl::ThreadUse>> after;
    std::vector<long> peak, resident;
    for (pid_t pid : pids) {
        after.push_back(tl::threadUse(pid));
        peak.push_back(tl::statusKilobytes(pid, "VmHWM:"));
        resident.push_back(tl::statusKilobytes(pid, "VmRSS:"));
    }
    for (pid_t pid : pids)
        tl::killProgram(pid);

    std::printf("\nside by side for %d s at the default interval of 1492 ms (%d ticks), measured "
                "over the last %.0f s\n",
                idleSeconds, static_cast<int>(idleSeconds / TickSeconds), seconds);
    std::printf("  %-16s %10s %10s %14s %14s %14s\n", "", "peak RSS", "RSS", "wake-ups/s",
                "wake-ups/tick", "CPU ms/min");
    std::vector<tl::ThreadUse> rates;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const auto use = tl::during(before[i], after[i]);
        rates.push_back(tl::total(use));
        std::printf("  %-16s %7ld KB %7ld KB %14.2f %14.2f %14.2f\n", programs[i].name, peak[i],
                    resident[i], static_cast<double>(rates[i].wakeups) / seconds,
                    static_cast<double>(rates[i].wakeups) / seconds * TickSeconds,
                    rates[i].cpuMilliseconds * 60 / seconds);
        for (const auto& [id, thread] : use)
            if (thread.wakeups != 0)
                std::printf("    thread %-14s %14.2f wake-ups/s %6.2f per tick %8.2f CPU ms/min\n",
                            thread.name.c_str(), static_cast<double>(thread.wakeups) / seconds,
                            static_cast<double>(thread.wakeups) / seconds * TickSeconds,
                            thread.cpuMilliseconds * 60 / seconds);
        const std::size_t ended = before[i].size() + after[i].size() - 2 * use.size();
        if (ended != 0)
            std::printf("    %zu threads started or ended in the period (not counted)\n", ended);
    }
    std::printf("  ticks in that time: %.2f/s\n", 1 / TickSeconds);

    tableRow("start-up to first frame", oursStart, bareStart, "ms", "<= 1.10x");
    tableRow("  same widgets in plain Qt", sameStart, bareStart, "ms", "-");
    tableRow("  tamberlight against them", oursStart, sameStart, "ms", "<= 1.05x");
    tableRow("    of which: start to window mapped", oursMap, sameMap, "ms", "-");
    tableRow("    of which: mapped to first frame", oursStart - oursMap, sameStart - sameMap, "ms",
             "-");
    tableRow("peak RSS after 100 ticks", peak[0] / 1024.0, peak[1] / 1024.0, "MB", "<= 1.10x");
    tableRow("  same widgets in plain Qt", peak[2] / 1024.0, peak[1] / 1024.0, "MB", "-");
    tableRow("  tamberlight against them", peak[0] / 1024.0, peak[2] / 1024.0, "MB", "-");
    const double oursWakeups = static_cast<double>(rates[0].wakeups) / seconds;
    const double bareWakeups = static_cast<double>(rates[1].wakeups) / seconds;
    tableRow("idle wake-ups per second", oursWakeups, bareWakeups, "/s", "0.67/s (1 per tick)");
    tableRow("idle wake-ups per tick", oursWakeups * TickSeconds, bareWakeups * TickSeconds,
             "/tick", "1/tick");
    tableRow("idle CPU per minute", rates[0].cpuMilliseconds * 60 / seconds,
             rates[1].cpuMilliseconds * 60 / seconds, "ms", "-");
    return 0;
}
