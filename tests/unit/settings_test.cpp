// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The settings file's bytes, and what start-up and shutdown do with them.
#include "platform/platform_error.h"
#include "settings/settings_file.h"
#include "support/model_test.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tamberlight {

const std::string DefaultText = "#Tamberlight   ver.0.2\r\n";

TEST(Settings, TheWorkedExampleByteForByteAndBack) {
    const SettingsFile example{"C:\\clock\\face.bmp",
                               "C:\\clock\\bell.wav",
                               1200,
                               9000,
                               4230,
                               8400,
                               52,
                               DefaultText + "18:30 meeting\r\n"};
    EXPECT_EQ(example.bytes(),
              "C:\\clock\\face.bmp\r\nC:\\clock\\bell.wav\r\n 1200\r\n 9000\r\n"
              " 4230\r\n 8400\r\n 52\r\n#Tamberlight   ver.0.2\r\n18:30 meeting\r\n"
              "\r\n");
    EXPECT_EQ(SettingsFile::read(example.bytes()), example) << "the text comes back, not grown";
}

struct FileCase {
    const char* name;
    const char* bytes; // nullptr: no file at all
    const char* read;  // the file as the window then saves it
};
class DamagedFile : public test::ModelTest, public ::testing::WithParamInterface<FileCase> {};

// Every line that reads is taken; every value that does not keeps what the window had: the
// window at 15, 0, 3525, 9375 twips and the picture at -128.
TEST_P(DamagedFile, TakesWhatReadsAndKeepsTheRest) {
    window.placement.top = 15;
    if (GetParam().bytes != nullptr)
        services.settingsFile = GetParam().bytes;
    window.startUp();
    EXPECT_EQ(window.settingsBytes(), GetParam().read);
}

const char* const Defaults =
    "\r\n\r\n 15\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n#Tamberlight   ver.0.2\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFile,
    ::testing::Values(
        FileCase{"None", nullptr, Defaults}, FileCase{"Empty", "", Defaults},
        FileCase{"OnlyAByteOrderMark", "\xEF\xBB\xBF", Defaults},
        FileCase{"OnlyThePaths", "pic, with comma\r\n \"s\".wav\r\n",
                 "pic, with comma\r\n \"s\".wav\r\n 15\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n\r\n"},
        FileCase{"LettersForNumbers", "p\r\ns\r\nabc\r\n 9000\r\nxyz\r\n 8400.5\r\nzz\r\nT\r\n",
                 "p\r\ns\r\n 15\r\n 9000\r\n 3525\r\n 8400.5\r\n 0\r\nT\r\n"},
        FileCase{"TwoFieldsOnALineAndAnOffsetBeyond16Bits",
                 "p\r\ns\r\n 1200, 9000\r\n 4230\r\n 8400\r\n 40000\r\nafter\r\n",
                 "p\r\ns\r\n 1200\r\n 9000\r\n 4230\r\n 8400\r\n-128\r\nafter\r\n"},
        // Edited on Linux: lone line feeds, a line appended with echo, a byte order mark.
        FileCase{"LoneCrAndLfEndLines", "p\r\ns\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\na\rb\nc\r\n",
                 "p\r\ns\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\na\r\nb\r\nc\r\n"},
        FileCase{"LinuxLineEnds", "/p.png\n\n 0\n 0\n 3525\n 9375\n 7\n#T\r\n\r\n19:00 dinner\n",
                 "/p.png\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\n#T\r\n\r\n19:00 dinner\r\n"},
        FileCase{"AByteOrderMark", "\xEF\xBB\xBF/p.png\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\n",
                 "/p.png\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\n\r\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Settings, JapaneseTextRoundTripsAndShiftJisFilesRead) {
    // The bytes of 朝礼 in UTF-8 are also valid Shift-JIS: UTF-8 is tried first.
    const std::string japanese = "#予定\r\n18:30 朝礼　です\r\n6:00 朝礼\r\n";
    const std::string bytes = SettingsFile{.schedule = japanese}.bytes();
    EXPECT_NE(bytes.find("18:30 朝礼　です\r\n"), std::string::npos) << "UTF-8 in the file";
    EXPECT_EQ(SettingsFile::read(bytes)->schedule, japanese);
    // 画像 and 会議 in code page 932, and half-width katakana whose bytes are valid UTF-8.
    const auto read = SettingsFile::read("C:\\\x89\xe6\x91\x9c\\a.bmp\r\n\r\n 0\r\n 0\r\n 3525\r\n"
                                         " 9375\r\n-128\r\n#\r\n18:30 \x89\xef\x8b\x63\r\n"
                                         "\xd0\xbd\r\n\r\n");
    EXPECT_EQ(read->picturePath, "C:\\画像\\a.bmp");
    EXPECT_EQ(read->schedule, "#\r\n18:30 会議\r\nﾐｽ\r\n")
        << "the file's character set, not a line's";
}

using StartUp = test::ModelTest;

TEST_F(StartUp, SavesAtOnceAndRestartsKeepEverything) {
    window.load();
    EXPECT_EQ(file(), "\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n" + DefaultText + "\r\n");
    services.openAnswers = {"/pictures/face.png"};
    window.choosePicture();
    window.scheduleBox.setText("#mine\r\n18:30 boss arrives\r\n6:00");
    window.close();
    const std::string saved = file();
    ClockWindow again{services};
    again.load();
    EXPECT_NE(again.picture.picture, nullptr);
    EXPECT_EQ(again.schedule().entries().size(), 2U);
    EXPECT_FALSE(again.applyButton.visible);
    EXPECT_EQ(file(), saved) << "a restart does not grow the schedule";
}

// A close that cannot save says what becomes of the settings: the window stays open once, then
// goes without them; at the end of a session their bytes are kept elsewhere.
TEST_F(StartUp, AClosingThatCannotSaveSaysWhatBecomesOfTheSettings) {
    window.load();
    services.saveFailure = std::make_exception_ptr(PlatformError("cannot save settings to f"));
    const auto closing = [this](ClockWindow::Closing why) {
        try {
            window.close(why);
        } catch (const PlatformError& error) {
            return std::string(error.what()).substr(27);
        }
        return std::string();
    };
    EXPECT_EQ(closing(ClockWindow::Closing::Asked),
              "the window stays open: close it again to quit without saving");
    EXPECT_EQ(closing(ClockWindow::Closing::AskedAgain),
              "the window closes without saving, as asked");
    EXPECT_EQ(closing(ClockWindow::Closing::SessionEnds), "they are kept in unsaved.ini instead");
    EXPECT_EQ(services.unsavedCopy, window.settingsBytes());
}

// Whatever the failure of the start-up save, the window is laid out, the entries ring and
// 予定更新 stays for another try at the save.
TEST_F(StartUp, AStartUpThatCannotSaveStillLaysTheWindowOut) {
    for (const auto& failure :
         {std::make_exception_ptr(PlatformError("cannot save settings to tamberl.ini")),
          std::make_exception_ptr(std::filesystem::filesystem_error(
              "clean-up", std::make_error_code(std::errc::io_error)))}) {
        services.saveFailure = failure;
        services.settingsFile = "\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\nT\r\n0:01 due\r\n";
        ClockWindow started{services};
        try {
            started.load();
            ADD_FAILURE() << "the failed save is told";
        } catch (const PlatformError& e) {
            EXPECT_TRUE(std::string(e.what()).ends_with(ClockWindow::NotSaved)) << e.what();
        } catch (const std::exception&) {
        }
        EXPECT_EQ(started.applyButton.top, 327.0F) << "the load-time layout ran";
        EXPECT_TRUE(started.applyButton.visible);
        EXPECT_EQ(started.schedule().entries().size(), 1U);
    }
}

// A file that is there but cannot be read is told, and the clock starts from its defaults; a
// picture that cannot be shown is told once.
TEST_F(StartUp, WhatCannotBeReadIsToldAndTheDefaultsStand) {
    services.readFailure = "Permission denied";
    window.load();
    EXPECT_EQ(window.scheduleBox.text(), DefaultText);
    services.readFailure.reset();
    services.settingsFile = "/nowhere/face.png\r\n";
    services.pictureLoader = [](const std::string& path) -> PictureHandle {
        throw PlatformError("cannot show " + path + " as the dial picture");
    };
    ClockWindow again{services};
    again.load();
    EXPECT_EQ(services.reports,
              (std::vector<std::string>{"cannot read settings from tamberl.ini: Permission "
                                        "denied; the clock starts from its defaults and leaves "
                                        "that file as it is",
                                        "cannot show /nowhere/face.png as the dial picture; the "
                                        "dial shows no picture"}));
}

} // namespace tamberlight
