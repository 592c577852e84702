// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// Start-up, memory and idle cost of the real program against a bare Qt window, both watched from
// outside: the first frame through the X DAMAGE extension, memory, wake-ups and CPU time
// through /proc. Each program gets a runtime folder of its own, so that the lock that keeps one
// window per settings file never refuses a start.
#include "support/process.h"
#include "support/x_server.h"

#include <QTemporaryDir>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <sstream>
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

// A connection that hears about everything drawn on the screen.
class DamageWatch {
public:
    explicit DamageWatch(const std::string& display)
        : c_(xcb_connect(display.c_str(), nullptr)) {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c_, &xcb_damage_id);
        if (extension == nullptr || extension->present == 0) {
            std::fprintf(stderr, "the X server has no DAMAGE extension\n");
            std::exit(1);
        }
        firstEvent_ = extension->first_event;
        free(xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), nullptr));
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        damage_ = xcb_generate_id(c_);
        xcb_damage_create(c_, damage_, root_, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        xcb_flush(c_);
    }
    ~DamageWatch() { xcb_disconnect(c_); }

    // Waits for the first drawing that leaves something on the screen besides a plain colour
    // (the X server fills a window with its background colour as it maps it): the time the
    // drawing was reported, or nothing.
    std::optional<Clock::time_point> waitForFrame(int milliseconds) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
        while (Clock::now() < deadline) {
            pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
            ::poll(&fd, 1, 50);
            while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
                const auto now = Clock::now();
                bool drawn = false;
                if ((event->response_type & 0x7f) == firstEvent_ + XCB_DAMAGE_NOTIFY) {
                    const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                    drawn = !plain(notify->area);
                }
                free(event);
                if (drawn)
                    return now;
            }
        }
        return std::nullopt;
    }

    // Forgets what was drawn so far.
    void drain() {
        xcb_aux_sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_))
            free(event);
    }

private:
    // Whether every pixel of the rectangle on the screen has the same value.
    bool plain(const xcb_rectangle_t& area) {
        std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> image(
            xcb_get_image_reply(c_,
                                xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, area.x, area.y,
                                              area.width, area.height, ~0U),
                                nullptr),
            &free);
        if (!image)
            return true;
        const auto* pixels =
            reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
        const int count = xcb_get_image_data_length(image.get()) / 4;
        return std::all_of(pixels, pixels + count, [&](std::uint32_t p) { return p == pixels[0]; });
    }

    void xcb_aux_sync() { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
    xcb_damage_damage_t damage_ = 0;
    std::uint8_t firstEvent_ = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from fork to the first frame, or a negative number.
double startOnce(const Program& program, const tl::XServer& x, DamageWatch& watch) {
    watch.drain();
    const auto started = Clock::now();
    const pid_t pid = tl::startProgram(program.path, {},
                                       {{"DISPLAY", x.display()},
                                        {"QT_QPA_PLATFORM", "xcb"},
                                        {"XDG_RUNTIME_DIR", program.runtime}},
                                       program.runtime / "stderr.txt");
    const auto frame = watch.waitForFrame(20000);
    tl::killProgram(pid);
    // Let the server take the window down before the next run.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (!frame)
        return -1;
    return std::chrono::duration<double, std::milli>(*frame - started).count();
}

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

// Sleeps (each voluntary context switch is one, ended by a wake-up) and CPU time of every
// thread of the process, by thread id.
struct ThreadUse {
    std::string name;
    long wakeups = 0;
    double cpuMilliseconds = 0;
};
std::map<std::string, ThreadUse> threadUse(pid_t pid) {
    std::map<std::string, ThreadUse> use;
    const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto& task : fs::directory_iterator(tasks, ec)) {
        ThreadUse& entry = use[task.path().filename().string()];
        entry.name = readText(task.path() / "comm");
        entry.name.erase(entry.name.find_last_not_of('\n') + 1);
        const std::string status = readText(task.path() / "status");
        const char* field = "\nvoluntary_ctxt_switches:";
        if (const auto at = status.find(field); at != std::string::npos)
            entry.wakeups = std::atol(status.c_str() + at + std::strlen(field));
        entry.cpuMilliseconds = std::atof(readText(task.path() / "schedstat").c_str()) / 1e6;
    }
    return use;
}

// What the threads that lived through the whole period did in it.
std::map<std::string, ThreadUse> during(const std::map<std::string, ThreadUse>& before,
                                        const std::map<std::string, ThreadUse>& after) {
    std::map<std::string, ThreadUse> use;
    for (const auto& [id, end] : after)
        if (const auto start = before.find(id); start != before.end())
            use[id] = {end.name, end.wakeups - start->second.wakeups,
                       end.cpuMilliseconds - start->second.cpuMilliseconds};
    return use;
}

ThreadUse total(const std::map<std::string, ThreadUse>& use) {
    ThreadUse sum;
    for (const auto& [id, entry] : use) {
        sum.wakeups += entry.wakeups;
        sum.cpuMilliseconds += entry.cpuMilliseconds;
    }
    return sum;
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
    DamageWatch watch(x.display());

    // Start-up: one warm-up each, then they take turns so that drifts hit all alike.
    std::map<std::string, std::vector<double>> startup;
    for (const Program& program : programs)
        startOnce(program, x, watch);
    for (int run = 0; run < runs; ++run)
        for (const Program& program : programs) {
            const double ms = startOnce(program, x, watch);
            if (ms < 0) {
                std::fprintf(stderr, "%s showed no frame\n%s", program.name,
                             readText(program.runtime / "stderr.txt").c_str());
                return 1;
            }
            startup[program.name].push_back(ms);
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
    std::vector<std::map<std::string, ThreadUse>> before;
    for (pid_t pid : pids)
        before.push_back(threadUse(pid));
    watch.drain();
    const auto idleStart = Clock::now();
    std::this_thread::sleep_until(launched + std::chrono::seconds(idleSeconds));
    const double seconds = std::chrono::duration<double>(Clock::now() - idleStart).count();
    std::vector<std::map<std::string, ThreadUse>> after;
    std::vector<long> peak, resident;
    for (pid_t pid : pids) {
        after.push_back(threadUse(pid));
        peak.push_back(statusKilobytes(pid, "VmHWM:"));
        resident.push_back(statusKilobytes(pid, "VmRSS:"));
    }
    for (pid_t pid : pids)
        tl::killProgram(pid);

    std::printf("\nside by side for %d s at the default interval of 1492 ms (%d ticks), measured "
                "over the last %.0f s\n",
                idleSeconds, static_cast<int>(idleSeconds / TickSeconds), seconds);
    std::printf("  %-16s %10s %10s %14s %14s %14s\n", "", "peak RSS", "RSS", "wake-ups/s",
                "wake-ups/tick", "CPU ms/min");
    std::vector<ThreadUse> rates;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const auto use = during(before[i], after[i]);
        rates.push_back(total(use));
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
    tableRow("  tamberlight against them", oursStart, sameStart, "ms", "-");
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
