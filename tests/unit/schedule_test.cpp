// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The schedule: which lines are entries, applying them, and the alarm that sounds and announces.
#include "platform/platform_error.h"
#include "schedule/schedule.h"
#include "schedule/schedule_line.h"
#include "support/model_test.h"
#include "support/rows.h"

#include <gtest/gtest.h>

namespace tamberlight {

using test::at;

TEST(Entries, TheSevenLineExampleGivesThreeEntriesInTextOrder) {
    const std::string text = "#Tamberlight   ver.0.2\r\n#boss times\r\n18:30 boss arrives\r\n\r\n"
                             "6:00\r\nnote 7:00\r\n21:05 market closes";
    for (const std::string& variant : {text, text + "\r\n"}) {
        Schedule schedule;
        schedule.apply(variant);
        EXPECT_EQ(schedule.entries(),
                  (std::vector<Entry>{{at(18, 30), "18:30 boss arrives"},
                                      {at(6, 0), "6:00 "}, // a line without a space gets one
                                      {at(21, 5), "21:05 market closes"}}));
    }
}

struct Case {
    const char* text;
    int entries;
    const char* firstLine;
    const char* mark; // what the schedule box says of the second line
};
class Lines : public ::testing::TestWithParam<Case> {};

TEST_P(Lines, OnlyTimedLinesAfterTheTitleAreEntriesAndTheMarksAgree) {
    Schedule schedule;
    schedule.apply(GetParam().text);
    ASSERT_EQ(schedule.entries().size(), static_cast<std::size_t>(GetParam().entries));
    if (GetParam().entries > 0) {
        EXPECT_EQ(schedule.entries()[0].line, GetParam().firstLine);
    }
    const std::string text = GetParam().text;
    const std::size_t second = text.find("\r\n");
    if (second == std::string::npos)
        return;
    const std::string line = text.substr(second + 2, text.find("\r\n", second + 2) - second - 2);
    const LineKind kind = kindOfLine(line);
    EXPECT_EQ(kind.whyNot ? kind.whyNot : kind.rings ? "rings" : "", std::string(GetParam().mark));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Lines,
    ::testing::Values(
        Case{"", 0, "", ""}, Case{"18:30 x", 0, "", ""},
        Case{"18:00 a\r\n19:00 b", 1, "19:00 b", "rings"}, Case{"t\r\n 6:00 x", 0, "", ""},
        Case{"t\r\n6:00\tx", 0, "", "a tab does not separate the time: use a space"},
        Case{"t\r\n6:00　x", 0, "", "a full-width space does not separate the time: use a space"},
        Case{"t\r\n18:30 a\n19:00 b", 1, "18:30 a\n19:00 b", "rings"},
        Case{"t\r\n7:00 a\r\n7:00 b", 2, "7:00 a", "rings"},
        Case{"t\r\n24:00 no\r\n#7:00 no\r\nnote", 0, "", ""},
        Case{"t\r\n9:30:15 s", 1, "9:30:15 s", "the clock shows no seconds"},
        Case{"t\r\n9:30:00 s", 1, "9:30:00 s", "rings"},
        Case{"t\r\n2024/02/29 leap", 1, "2024/02/29 leap",
             "a date never comes: the clock keeps only the time of day"},
        Case{"t\r\n2026/02/29 no\r\n2026-12-6 x\r\n2026/12-06 no", 1, "2026-12-6 x", ""},
        // Typed with a Japanese input method: full-width digits and colon.
        Case{"t\r\n０:０２ 朝", 1, "０:０２ 朝", "rings"},
        Case{"t\r\n0：03", 1, "0：03 ", "rings"}),
    test::textRowName<Case>);

class Alarm : public test::ModelTest {
protected:
    void apply(const std::string& text) {
        window.scheduleBox.setText(text);
        window.applySchedule();
    }
    std::vector<std::string> sounds(int hour, int minute, int ticks) {
        services.sounds.clear();
        tickFrom(hour, minute, ticks);
        return services.sounds;
    }
};

TEST_F(Alarm, AtMost101EntriesRingAndTheUserHearsOfTheRest) {
    std::string text = "title";
    for (int i = 0; i < 103; ++i)
        text += "\r\n" + std::to_string(i % 24) + ":" + std::to_string(10 + i % 50) + " e" +
                std::to_string(i);
    apply(text);
    EXPECT_EQ(window.schedule().entries().size(), 101U);
    EXPECT_EQ(window.schedule().entries()[100].line, "4:10 e100");
    EXPECT_EQ(services.reports, std::vector<std::string>{
                                    "2 timed lines of the schedule will not ring: only the first "
                                    "101 entries do, and line 103 is the first left out"});
    apply("t\r\n5:00 z");
    EXPECT_EQ(window.schedule().entries().size(), 1U) << "an apply starts afresh";
}

TEST_F(Alarm, ApplyingSavesAndHidesTheButtonAndAFailedSaveKeepsItWhileTheEntriesRing) {
    window.scheduleEdited();
    EXPECT_TRUE(window.applyButton.visible);
    apply("t\r\n1:00 a");
    EXPECT_FALSE(window.applyButton.visible);
    EXPECT_TRUE(file().ends_with("\r\nt\r\n1:00 a\r\n"));
    services.saveFailure = std::make_exception_ptr(PlatformError("cannot save"));
    EXPECT_THROW(apply("t\r\n2:00 b\r\n3:00 c"), PlatformError);
    EXPECT_TRUE(window.applyButton.visible);
    EXPECT_EQ(window.schedule().entries().size(), 2U);
}

TEST_F(Alarm, AnEntryRingsOnceAClockDayAndAnnouncesItselfAndTheNext) {
    apply("t\r\n18:30 boss\r\n19:00 dinner\r\n0:00 midnight\r\n9:30:15 s\r\n2026/12/06 d");
    window.announcement.caption = "kept";
    EXPECT_TRUE(sounds(10, 0, 1).empty());
    EXPECT_EQ(window.announcement.caption, "kept") << "no match leaves the announcement";
    EXPECT_EQ(sounds(18, 29, 1), std::vector<std::string>{"beep"}) << "no sound chosen";
    EXPECT_EQ(window.announcement.caption, "18:30 boss\r\n19:00 dinner");
    EXPECT_EQ(sounds(18, 30, 2 * 1440 - 1).size(), 5U) << "seconds and dates never ring";
    EXPECT_EQ(window.announcement.caption, "0:00 midnight\r\n9:30:15 s") << "the one after";
    window.clockIsNow(at(18, 30), false);
    EXPECT_EQ(window.announcement.caption, "0:00 midnight\r\n9:30:15 s") << "a jump rings nothing";
    apply("t\r\n7:00 a\r\n7:00 b\r\n8:00 c");
    EXPECT_EQ(sounds(6, 59, 1), (std::vector<std::string>{"beep", "beep"}));
    EXPECT_EQ(window.announcement.caption, "7:00 b\r\n8:00 c") << "the last entry of the minute";
}

TEST_F(Alarm, AChosenSoundPlaysAtOnceAndRingsAndACancelledChoiceChangesNothing) {
    services.openAnswers = {"", "/a b/ベル.wav"};
    window.chooseSound();
    window.chooseSound();
    EXPECT_EQ(window.soundPath(), "/a b/ベル.wav");
    apply("t\r\n0:01 x");
    EXPECT_EQ(sounds(0, 0, 1), std::vector<std::string>{"play /a b/ベル.wav"});
}

} // namespace tamberlight
