// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// A long run of the clock: a million ticks unless TAMBERLIGHT_SOAK_TICKS says otherwise (almost
// two years of clock days), with a full schedule whose every entry sounds once a day. Prints
// what it found and exits non-zero when a sound went missing, the clock ended on the wrong
// minute, a failure was reported, an exception came out of a tick or resident memory grew.
#include "app/clock_window.h"
#include "support/fake_services.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

// Under the address sanitizer freed memory waits in a quarantine before it is reused, and the
// quarantine fills for most of a million ticks: resident memory would grow by its size. Here it
// is off, so that memory that stays is memory the program keeps.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=0:thread_local_quarantine_size_kb=0";
}

namespace {

using namespace tamberlight;

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

long ticksWanted(int argc, char** argv) {
    const char* text = argc > 1 ? argv[1] : std::getenv("TAMBERLIGHT_SOAK_TICKS");
    if (text == nullptr || *text == '\0')
        return 1'000'000;
    char* end = nullptr;
    const long ticks = std::strtol(text, &end, 10);
    return *end == '\0' && ticks > 0 ? ticks : -1;
}

int soak(long ticks) {
    test::FakeServices services;
    ClockWindow model(services);
    model.load();

    // 101 entries, one every 14 minutes from 00:07 on; the minutes of the day they sound on.
    std::string schedule = "#Tamberlight   ver.0.2";
    std::set<long> minutes;
    for (int i = 0; i < static_cast<int>(Schedule::Capacity); ++i) {
        const int minute = 7 + 14 * i;
        minutes.insert(minute);
        char line[64];
        std::snprintf(line, sizeof line, "\r\n%d:%02d entry %d", minute / 60, minute % 60, i);
        schedule += line;
    }
    model.scheduleBox.setText(schedule);
    model.applySchedule();
    int findings = 0;
    if (model.schedule().entries().size() != Schedule::Capacity) {
        std::printf("soak: the schedule has %zu entries, not %zu\n",
                    model.schedule().entries().size(), Schedule::Capacity);
        ++findings;
    }

    // Memory is taken once the program has warmed up and then at every twentieth of the run.
    const long step = std::max(1L, ticks / 20);
    const long warmUp = std::min(50'000L, step);
    long expectedBeeps = 0, beeps = 0, otherSounds = 0;
    long warm = 0, highest = 0;
    for (long tick = 1; tick <= ticks; ++tick) {
        model.tick();
        expectedBeeps += minutes.count(tick % 1440) != 0 ? 1 : 0;
        if (tick % 1000 == 0 || tick == ticks) {
            // The fake keeps a record of every sound; only the counts matter here.
            for (const std::string& sound : services.sounds)
                ++(sound == "beep" ? beeps : otherSounds);
            services.sounds.clear();
        }
        if (tick == warmUp)
            warm = residentKilobytes();
        if (tick > warmUp && (tick % step == 0 || tick == ticks))
            highest = std::max(highest, residentKilobytes());
    }
    std::printf("soak: resident memory %ld KB after %ld ticks, at most %ld KB up to %ld ticks\n",
                warm, warmUp, highest, ticks);
    std::printf("soak: %ld beeps (%ld expected), %ld other sounds, %zu reports\n", beeps,
                expectedBeeps, otherSounds, services.reports.size());

    if (beeps != expectedBeeps || otherSounds != 0) {
        std::printf("soak: every entry should beep once per clock day\n");
        ++findings;
    }
    char expected[8];
    std::snprintf(expected, sizeof expected, "%02ld:%02ld", ticks % 1440 / 60, ticks % 60);
    if (model.clockShadow.caption != expected) {
        std::printf("soak: the clock shows %s after %ld ticks, not %s\n",
                    model.clockShadow.caption.c_str(), ticks, expected);
        ++findings;
    }
    for (const std::string& report : services.reports) {
        std::printf("soak: reported: %s\n", report.c_str());
        ++findings;
    }
    if (highest - warm >= 2048) {
        std::printf("soak: resident memory grew by %ld KB\n", highest - warm);
        ++findings;
    }
    return findings;
}

} // namespace

int main(int argc, char** argv) {
    const long ticks = ticksWanted(argc, argv);
    if (ticks < 0) {
        std::fprintf(stderr, "usage: soak_stress [ticks] (or TAMBERLIGHT_SOAK_TICKS=ticks)\n");
        return 2;
    }
    std::printf("soak: %ld ticks (replay with TAMBERLIGHT_SOAK_TICKS=%ld)\n", ticks, ticks);
    std::fflush(stdout);
    int findings = 0;
    try {
        findings = soak(ticks);
    } catch (const std::exception& error) {
        std::printf("soak: an exception came out of the clock: %s\n", error.what());
        findings = 1;
    }
    std::printf("soak: %s\n", findings == 0 ? "passed" : "FAILED");
    return findings == 0 ? 0 : 1;
}
