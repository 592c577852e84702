// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The schedule: which lines are entries, applying them, and the alarm that sounds and announces.
#include "app/form1.h"
#include "platform/platform_error.h"
#include "support/form_test.h"
#include "support/rows.h"

#include <gtest/gtest.h>

namespace tamberlight {

using test::at;

class Schedule : public test::FormTest {
protected:
    Schedule() { form.LineBreak = "\r\n"; }
    void apply(const std::string& text) {
        form.Text1.setText(text);
        form.Command5_Click();
    }
    // The sounds of the given ticks from a time.
    std::vector<std::string> tick(double from, int ticks) {
        services.sounds.clear();
        form.ClockTime = from;
        for (int i = 0; i < ticks; ++i)
            form.Timer1_Timer();
        return services.sounds;
    }
};

TEST_F(Schedule, TheSevenLineExampleGivesThreeEntriesInTextOrder) {
    const std::string text = "#Tamberlight   ver.0.2\r\n#boss times\r\n18:30 boss arrives\r\n\r\n"
                             "6:00\r\nnote 7:00\r\n21:05 market closes";
    for (const std::string& variant : {text, text + "\r\n"}) {
        apply(variant);
        ASSERT_EQ(form.EventCount, 3);
        EXPECT_EQ(form.EventTimes[0], 1110 / 1440.0);
        EXPECT_EQ(form.EventLines[1], "6:00 ") << "a line without a space gets one";
        EXPECT_EQ(form.EventTimes[1], 0.25);
        EXPECT_EQ(form.EventLines[2], "21:05 market closes");
    }
}

struct Case {
    const char* text;
    int entries;
    const char* firstLine;
};
class Lines : public Schedule, public ::testing::WithParamInterface<Case> {};

TEST_P(Lines, OnlyTimedLinesAfterTheTitleAreEntries) {
    apply(GetParam().text);
    ASSERT_EQ(form.EventCount, GetParam().entries) << GetParam().text;
    if (GetParam().entries > 0) {
        EXPECT_EQ(form.EventLines[0], GetParam().firstLine);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Lines,
    ::testing::Values(Case{"", 0, ""}, Case{"18:30 x", 0, ""},
                      Case{"18:00 a\r\n19:00 b", 1, "19:00 b"}, Case{"t\r\n 6:00 x", 0, ""},
                      Case{"t\r\n6:00\tx", 0, ""}, Case{"t\r\n6:00　x", 0, ""},
                      Case{"t\r\n18:30 a\n19:00 b", 1, "18:30 a\n19:00 b"},
                      Case{"t\r\n7:00 a\r\n7:00 b", 2, "7:00 a"},
                      Case{"t\r\n24:00 no\r\n#7:00 no\r\nnote", 0, ""},
                      // Typed with a Japanese input method: full-width digits and colon.
                      Case{"t\r\n０:０２ 朝", 1, "０:０２ 朝"}, Case{"t\r\n0：03", 1, "0：03 "},
                      Case{"t\r\n１８：３０　x", 0, ""}),
    test::textRowName<Case>);

TEST_F(Schedule, AtMost101EntriesAreKeptAndAnApplyStartsAfresh) {
    std::string text = "title";
    for (int i = 0; i < 102; ++i)
        text += "\r\n" + std::to_string(i % 24) + ":" + std::to_string(10 + i % 50) + " e" +
                std::to_string(i);
    apply(text);
    EXPECT_EQ(form.EventCount, 101);
    EXPECT_EQ(form.EventLines[100], "4:10 e100");
    EXPECT_EQ(services.reports,
              std::vector<std::string>{"1 timed line of the schedule will not ring: only the first "
                                       "101 entries do, and line 103 is the first left out"});
    apply("t\r\n5:00 z");
    EXPECT_EQ(form.EventCount, 1);
    EXPECT_EQ(form.EventLines[0], "5:00 z");
}

TEST_F(Schedule, EditingShowsTheApplyButtonAndApplyingSavesFirstAndHidesIt) {
    form.Text1.setText("t\r\n1:00 a");
    EXPECT_TRUE(form.Command5.Visible);
    form.Command5_Click();
    EXPECT_FALSE(form.Command5.Visible);
    EXPECT_TRUE(file().ends_with("\r\nt\r\n1:00 a\r\n"));

    // A save that fails is told, and the entries ring all the same; the button stays for
    // another try at the save.
    services.saveFailure = std::make_exception_ptr(PlatformError("cannot save"));
    form.Text1.setText("t\r\n2:00 b\r\n3:00 c");
    EXPECT_THROW(form.Command5_Click(), PlatformError);
    EXPECT_TRUE(form.Command5.Visible);
    EXPECT_EQ(form.EventCount, 2);
}

TEST_F(Schedule, AnEntrySoundsOnceAClockDayOnItsMinuteOnly) {
    form.SoundPath = "/s/bell.wav";
    apply("t\r\n18:30 meeting\r\n9:30:15 seconds\r\n2026/12/06 a date");
    EXPECT_EQ(tick(at(18, 29), 1), std::vector<std::string>{"play \"/s/bell.wav\""});
    EXPECT_EQ(tick(at(18, 30), 1439).size(), 0U);
    EXPECT_EQ(tick(0, 2 * 1440).size(), 2U) << "the entries with seconds or a date never sound";
}

TEST_F(Schedule, TheAnnouncementShowsTheDueEntryAndTheNextWrappingToTheFirst) {
    apply("t\r\n18:30 boss\r\n19:00 dinner\r\n0:00 midnight");
    form.Label3.Caption = "kept";
    tick(at(10, 0), 1);
    EXPECT_EQ(form.Label3.Caption, "kept") << "no match leaves the announcement";
    EXPECT_EQ(tick(at(18, 29), 1), std::vector<std::string>{"beep"}) << "no sound chosen";
    EXPECT_EQ(form.Label3.Caption, "18:30 boss\r\n19:00 dinner");
    tick(at(23, 59), 1);
    EXPECT_EQ(form.Label3.Caption, "0:00 midnight\r\n18:30 boss") << "at the wrap, after the last";
    apply("t\r\n7:00 a\r\n7:00 b\r\n8:00 c");
    EXPECT_EQ(tick(at(6, 59), 1), (std::vector<std::string>{"beep", "beep"}));
    EXPECT_EQ(form.Label3.Caption, "7:00 b\r\n8:00 c") << "the last entry of the minute";
}

TEST_F(Schedule, AChosenSoundPlaysAtOnceAndACancelledChoiceChangesNothing) {
    services.openAnswers = {"", "/a b/ベル.wav"};
    form.Command6_Click();
    form.Command6_Click();
    EXPECT_EQ(form.SoundPath, "/a b/ベル.wav");
    EXPECT_EQ(services.sounds, std::vector<std::string>{"play \"/a b/ベル.wav\""});
}

} // namespace tamberlight
