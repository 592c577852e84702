// A long run of the clock: a million ticks, almost two years of clock days, with a full
// schedule whose every entry sounds once a day.
#include "app/form1.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

// Under the address sanitizer freed memory waits in a quarantine before it is reused, and the
// quarantine fills for most of a million ticks: resident memory would grow by its size. Here it
// is off, so that memory that stays is memory the program keeps; the rest of the suite runs with
// it.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=0:thread_local_quarantine_size_kb=0";
}

namespace tamberlight {
namespace {

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

TEST(Soak, AMillionTicksWithAFullScheduleSoundEveryEntryAndKeepMemoryFlat) {
    testing::TempDir dir;
    testing::FakeServices services;
    services.exeDir = dir.path().string();
    Form1 form(services);
    form.Form_Load();

    // 101 entries, one every 14 minutes from 00:07 on; the minutes of the day they sound on.
    std::string schedule = "#Tamberlight   ver.0.2";
    std::set<int> minutes;
    for (int i = 0; i < Form1::MaxEvents; ++i) {
        const int minute = 7 + 14 * i;
        minutes.insert(minute);
        char line[64];
        std::snprintf(line, sizeof line, "\r\n%d:%02d entry %d", minute / 60, minute % 60, i);
        schedule += line;
    }
    form.Text1.setText(schedule);
    form.Command5_Click();
    ASSERT_EQ(form.EventCount, Form1::MaxEvents);

    constexpr int Ticks = 1'000'000;
    constexpr int WarmUp = 50'000;
    long expectedSounds = 0;
    long warm = 0, highest = 0;
    for (int tick = 1; tick <= Ticks; ++tick) {
        form.Timer1_Timer();
        expectedSounds += minutes.count(tick % 1440) != 0 ? 1 : 0;
        if (tick % 1000 == 0) {
            // The fake keeps a record of every call; only the counts matter here.
            services.calls.clear();
            services.commands.clear();
        }
        if (tick == WarmUp)
            warm = residentKilobytes();
        if (tick > WarmUp && tick % 50'000 == 0)
            highest = std::max(highest, residentKilobytes());
    }
    std::printf("resident memory: %ld KB after %d ticks, at most %ld KB up to %d ticks\n", warm,
                WarmUp, highest, Ticks);

    EXPECT_EQ(services.beeps, expectedSounds) << "every entry sounds once per clock day";
    EXPECT_EQ(form.Label1.Caption, "10:40"); // 1,000,000 minutes = 694 days, 10 h and 40 min
    EXPECT_LT(highest - warm, 2048) << "resident memory grew by " << highest - warm << " KB";
}

} // namespace
} // namespace tamberlight
