#include "app/form1.h"
#include "platform/media_command.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tamberlight {
namespace {

double at(int hour, int minute) {
    return (hour * 60 + minute) / 1440.0;
}

class Alarm : public ::testing::Test {
protected:
    Alarm() {
        services.exeDir = dir.path().string();
        form.LineBreak = "\r\n";
        form.Label3.Caption = "";
    }
    void apply(const std::string& entries) {
        form.Text1.setText("title\r\n" + entries);
        form.Command5_Click();
    }
    // Ticks from the given time; how many sounds were started.
    std::size_t tick(double from, int ticks) {
        form.ClockTime = from;
        const std::size_t before =
            services.commands.size() + static_cast<std::size_t>(services.beeps);
        for (int i = 0; i < ticks; ++i)
            form.Timer1_Timer();
        return services.commands.size() + static_cast<std::size_t>(services.beeps) - before;
    }
    testing::TempDir dir;
    testing::FakeServices services;
    Form1 form{services};
};

TEST_F(Alarm, AnEntrySoundsOncePerClockDayOnItsMinute) {
    form.SoundPath = "/sounds/bell.wav";
    apply("18:30 meeting");
    EXPECT_EQ(tick(at(18, 29), 1), 1U);
    EXPECT_EQ(services.commands.back(), "play \"/sounds/bell.wav\"");
    EXPECT_EQ(tick(at(18, 30), 1439), 0U);
    EXPECT_EQ(tick(at(0, 0), 2 * 1440), 2U);
}

TEST_F(Alarm, EntriesWithSecondsOrADateNeverSound) {
    apply("9:30:15 seconds\r\n2026/12/06 a date\r\n9:30:00 whole");
    EXPECT_EQ(form.EventCount, 3);
    EXPECT_EQ(tick(0, 2 * 1440), 2U) << "only the whole-minute entry, once a day";
}

TEST_F(Alarm, MidnightSoundsOnTheTickThatWraps) {
    apply("0:00 midnight");
    EXPECT_EQ(tick(at(23, 59), 1), 1U);
    EXPECT_EQ(services.beeps, 1) << "no sound file chosen: a beep";
    EXPECT_EQ(form.Label3.Caption, "0:00 midnight\r\n0:00 midnight");
}

TEST_F(Alarm, AnEntryAtTheBaseTimeSoundsOnlyADayLater) {
    apply("18:01 start");
    form.Text2.setText("18");
    form.Command8_Click();
    form.Timer1_Timer();
    EXPECT_EQ(services.beeps, 0);
    for (int i = 0; i < 1438; ++i)
        form.Timer1_Timer();
    EXPECT_EQ(services.beeps, 0);
    form.Timer1_Timer();
    EXPECT_EQ(services.beeps, 1);
}

TEST_F(Alarm, TheAnnouncementShowsTheDueEntryAndTheNextWrappingToTheFirst) {
    apply("18:30 boss arrives\r\n19:00 dinner");
    form.Label3.Caption = "kept";
    tick(at(10, 0), 1);
    EXPECT_EQ(form.Label3.Caption, "kept") << "no match leaves the announcement";
    tick(at(18, 29), 1);
    EXPECT_EQ(form.Label3.Caption, "18:30 boss arrives\r\n19:00 dinner");
    tick(at(18, 59), 1);
    EXPECT_EQ(form.Label3.Caption, "19:00 dinner\r\n18:30 boss arrives");
    tick(at(19, 0), 100);
    EXPECT_EQ(form.Label3.Caption, "19:00 dinner\r\n18:30 boss arrives") << "never cleared";
}

TEST_F(Alarm, EntriesOfTheSameMinuteEachSoundAndTheLastIsAnnounced) {
    form.SoundPath = "/s.wav";
    apply("7:00 a\r\n7:00 b\r\n8:00 c");
    EXPECT_EQ(tick(at(6, 59), 1), 2U);
    EXPECT_EQ(services.commands, (std::vector<std::string>{"play \"/s.wav\"", "play \"/s.wav\""}));
    EXPECT_EQ(form.Label3.Caption, "7:00 b\r\n8:00 c");
}

TEST_F(Alarm, WithoutEntriesNothingSounds) {
    apply("no entries here");
    form.Label3.Caption = "old";
    EXPECT_EQ(tick(0, 1440), 0U);
    EXPECT_EQ(form.Label3.Caption, "old");
}

TEST_F(Alarm, ChoosingASoundPlaysItAtOnceAndCancellingChangesNothing) {
    form.SoundPath = "/old.wav";
    const auto focus = form.Text1.focusRequests();
    form.Command6_Click();
    EXPECT_EQ(form.SoundPath, "/old.wav");
    EXPECT_TRUE(services.commands.empty());
    EXPECT_EQ(form.Text1.focusRequests(), focus + 1);
    for (const std::string path : {"/tmp/a b/bell.wav", "/x/\"q\".wav", "/音/ベル.ogg"}) {
        services.openAnswers.push_back(path);
        form.Command6_Click();
        EXPECT_EQ(form.SoundPath, path);
        EXPECT_EQ(services.commands.back(), "play \"" + path + "\"");
        EXPECT_EQ(parsePlayCommand(services.commands.back()), path);
    }
    EXPECT_EQ(services.calls, (std::vector<std::string>{"open", "open", "media", "open", "media",
                                                        "open", "media"}));
}

} // namespace
} // namespace tamberlight
