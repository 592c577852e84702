#include "app/form1.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tamberlight {
namespace {

double at(int hour, int minute) {
    return (hour * 60 + minute) / 1440.0;
}

class Schedule : public ::testing::Test {
protected:
    Schedule() {
        services.exeDir = dir.path().string();
        form.LineBreak = "\r\n"; // as start-up leaves it
    }
    void apply(const std::string& text) {
        form.Text1.setText(text);
        form.Command5_Click();
    }
    testing::TempDir dir;
    testing::FakeServices services;
    Form1 form{services};
};

TEST_F(Schedule, TheSevenLineExampleGivesThreeEntriesInTextOrder) {
    const std::string text = "#Tamberlight   ver.0.2\r\n#boss times\r\n18:30 boss arrives\r\n\r\n"
                             "6:00\r\nnote 7:00\r\n21:05 market closes";
    for (const std::string& variant : {text, text + "\r\n"}) {
        apply(variant);
        ASSERT_EQ(form.EventCount, 3);
        EXPECT_EQ(form.EventTimes[0], 1110 / 1440.0);
        EXPECT_EQ(form.EventLines[0], "18:30 boss arrives");
        EXPECT_EQ(form.EventTimes[1], 0.25);
        EXPECT_EQ(form.EventLines[1], "6:00 ");
        EXPECT_EQ(form.EventTimes[2], 1265 / 1440.0);
        EXPECT_EQ(form.EventLines[2], "21:05 market closes");
    }
}

TEST_F(Schedule, TheTwoPassTraceEndsAtTheAppendedBreak) {
    apply("T\r\n6:00 a");
    EXPECT_EQ(form.EventCount, 1);
    EXPECT_EQ(form.EventLines[0], "6:00 a");
    EXPECT_EQ(form.ScheduleBuffer, "T\r\n6:00 a\r\n");
    EXPECT_EQ(form.ScanPos, 0);
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

INSTANTIATE_TEST_SUITE_P(Texts, Lines,
                         ::testing::Values(Case{"", 0, ""}, Case{"18:30 x", 0, ""},
                                           Case{"#Tamberlight   ver.0.2\r\n", 0, ""},
                                           Case{"18:00 a\r\n19:00 b", 1, "19:00 b"},
                                           Case{"t\r\n 6:00 x", 0, ""}, Case{"t\r\n6:00\tx", 0, ""},
                                           Case{"t\r\n6:00　x", 0, ""}, Case{"t\r\n6:00\t", 0, ""},
                                           Case{"t\r\n18:30 a\n19:00 b", 1, "18:30 a\n19:00 b"},
                                           Case{"t\r\n18:30 a\r19:00 b", 1, "18:30 a\r19:00 b"},
                                           Case{"t\r\n2026/12/06 date", 1, "2026/12/06 date"},
                                           Case{"t\r\n9:30:15 seconds", 1, "9:30:15 seconds"},
                                           Case{"t\r\n7:00 a\r\n7:00 b", 2, "7:00 a"},
                                           Case{"t\r\n24:00 no\r\n#7:00 no\r\nnote", 0, ""}));

TEST_F(Schedule, AtMost101EntriesAreKept) {
    std::string text = "title\r\n";
    for (int i = 0; i < 102; ++i)
        text += std::to_string(i % 24) + ":" + std::to_string(10 + i % 50) + " entry " +
                std::to_string(i) + "\r\n";
    apply(text);
    EXPECT_EQ(form.EventCount, 101);
    EXPECT_EQ(form.EventLines[100], "4:10 entry 100");
}

TEST_F(Schedule, ApplyingAgainRebuildsFromTheStartAndLeavesStaleSlotsUnread) {
    apply("t\r\n1:00 a\r\n2:00 b\r\n3:00 c");
    apply("t\r\n1:00 a\r\n2:00 b\r\n3:00 c");
    EXPECT_EQ(form.EventCount, 3);
    apply("t\r\n5:00 z");
    EXPECT_EQ(form.EventCount, 1);
    EXPECT_EQ(form.EventLines[0], "5:00 z");
    EXPECT_EQ(form.EventLines[2], "3:00 c") << "slots above the count keep what they held";
    EXPECT_EQ(form.EventTimes[2], at(3, 0));
}

TEST_F(Schedule, EditingShowsTheApplyButtonAndApplyingSavesAndHidesIt) {
    form.Text1.setText("t\r\n1:00 a");
    EXPECT_TRUE(form.Command5.Visible);
    form.Command5_Click();
    EXPECT_FALSE(form.Command5.Visible);
    EXPECT_TRUE(dir.read("tamberl.ini").ends_with("\r\nt\r\n1:00 a\r\n")) << "saved first";
    form.Text1.setText(form.Text1.Text() + "x");
    form.Text1.setText(form.Text1.Text().substr(0, form.Text1.Text().size() - 1));
    EXPECT_TRUE(form.Command5.Visible) << "a change undone is still a change";
}

TEST_F(Schedule, AnApplyWhoseSaveFailsChangesNothingElse) {
    apply("t\r\n1:00 a");
    dir.write("file", "");
    services.exeDir = (dir / "file").string();
    setenv("XDG_CONFIG_HOME", (dir / "file").c_str(), 1);
    form.Text1.setText("t\r\n2:00 b\r\n3:00 c");
    EXPECT_ANY_THROW(form.Command5_Click());
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(form.Command5.Visible);
    EXPECT_EQ(form.EventCount, 1);
    EXPECT_EQ(form.EventLines[0], "1:00 a");
}

} // namespace
} // namespace tamberlight
