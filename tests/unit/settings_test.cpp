// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The settings file's bytes, and what start-up and shutdown do with them.
#include "app/form1.h"
#include "platform/platform_error.h"
#include "support/form_test.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tamberlight {

const std::string DefaultText = "#Tamberlight   ver.0.2\r\n";

class SettingsFile : public test::FormTest {
protected:
    void writeFile(std::string_view bytes) { services.settingsFile = std::string(bytes); }
};

TEST_F(SettingsFile, TheWorkedExampleByteForByteAndBack) {
    form.PicturePath = "C:\\clock\\face.bmp";
    form.SoundPath = "C:\\clock\\bell.wav";
    form.Top = 1200;
    form.Left = 9000;
    form.Width = 4230;
    form.Height = 8400;
    form.PictureTop = 52;
    form.Text1.setText(DefaultText + "18:30 meeting\r\n");
    form.SaveSettings();
    EXPECT_EQ(file(), "C:\\clock\\face.bmp\r\nC:\\clock\\bell.wav\r\n 1200\r\n 9000\r\n 4230\r\n"
                      " 8400\r\n 52\r\n#Tamberlight   ver.0.2\r\n18:30 meeting\r\n\r\n");
    Form1 again{services};
    again.LoadSettings();
    EXPECT_EQ(again.settingsBytes(), file()) << "every value comes back, the text not grown";
    EXPECT_TRUE(again.Command5.Visible) << "reading the text is a change of it";
}

struct FileCase {
    const char* name;
    const char* bytes; // nullptr: no file at all
    const char* read;  // the file as the window then saves it
};
class DamagedFile : public SettingsFile, public ::testing::WithParamInterface<FileCase> {};

// Every line that reads is taken; every value that does not keeps what the window had: the
// window at 15, 0, 3525, 9375 twips and the picture at -128.
TEST_P(DamagedFile, TakesWhatReadsAndKeepsTheRest) {
    form.Top = 15;
    form.PictureTop = -128;
    if (GetParam().bytes != nullptr)
        writeFile(GetParam().bytes);
    form.LoadSettings();
    EXPECT_EQ(form.settingsBytes(), GetParam().read);
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

TEST_F(SettingsFile, JapaneseTextRoundTripsAndShiftJisFilesRead) {
    // The bytes of 朝礼 in UTF-8 are also valid Shift-JIS: UTF-8 is tried first.
    form.Text1.setText("#予定\r\n18:30 朝礼　です\r\n6:00 朝礼\r\n");
    form.SaveSettings();
    EXPECT_NE(file().find("18:30 朝礼　です\r\n"), std::string::npos) << "UTF-8 in the file";
    form.LoadSettings();
    EXPECT_EQ(form.Text1.Text(), "#予定\r\n18:30 朝礼　です\r\n6:00 朝礼\r\n");
    // 画像 and 会議 in code page 932.
    writeFile("C:\\\x89\xe6\x91\x9c\\a.bmp\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n"
              "#\r\n18:30 \x89\xef\x8b\x63\r\n\xd0\xbd\r\n\r\n");
    form.LoadSettings();
    EXPECT_EQ(form.PicturePath, "C:\\画像\\a.bmp");
    EXPECT_EQ(form.Text1.Text(), "#\r\n18:30 会議\r\nﾐｽ\r\n")
        << "the file's character set, not the line's";
}

TEST_F(SettingsFile, StartUpSavesAtOnceAndRestartsKeepEverything) {
    form.Form_Load();
    EXPECT_EQ(file(), "\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n" + DefaultText + "\r\n");
    form.PicturePath = "/pictures/face.png";
    form.Text1.setText("#mine\r\n18:30 boss arrives\r\n6:00");
    form.Form_Unload();
    const std::string saved = file();
    Form1 again{services};
    again.Form_Load();
    EXPECT_NE(again.Image1.Picture, nullptr);
    EXPECT_EQ(again.EventCount, 2);
    EXPECT_FALSE(again.Command5.Visible);
    EXPECT_EQ(file(), saved) << "a restart does not grow the schedule";
}

// Whatever the failure of the start-up save, the window is laid out and 予定更新 stays.
TEST_F(SettingsFile, AStartUpThatCannotSaveStillLaysTheWindowOut) {
    for (const auto& failure :
         {std::make_exception_ptr(PlatformError("cannot save settings to tamberl.ini")),
          std::make_exception_ptr(std::filesystem::filesystem_error(
              "clean-up", std::make_error_code(std::errc::io_error)))}) {
        services.saveFailure = failure;
        writeFile("\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\nT\r\n0:01 due\r\n");
        Form1 started{services};
        try {
            started.Form_Load();
            ADD_FAILURE() << "the failed save is told";
        } catch (const PlatformError& e) {
            EXPECT_TRUE(std::string(e.what()).ends_with(Form1::NotSaved)) << e.what();
        } catch (const std::exception&) {
        }
        EXPECT_EQ(started.Command5.Top, 327.0F) << "the load-time layout ran";
        EXPECT_TRUE(started.Command5.Visible) << "予定更新 stays for another try";
        EXPECT_EQ(started.EventCount, 1) << "the entries ring all the same";
    }
}

// A file that is there but cannot be read is told, and the clock starts from its defaults.
TEST_F(SettingsFile, AFileThatCannotBeReadIsToldAndTheDefaultsStand) {
    services.readFailure = "Permission denied";
    form.Form_Load();
    EXPECT_EQ(services.reports, std::vector<std::string>{"cannot read settings from tamberl.ini: "
                                                         "Permission denied; the clock starts "
                                                         "from its defaults and leaves that file "
                                                         "as it is"});
    EXPECT_EQ(form.Text1.Text(), DefaultText);
}

TEST_F(SettingsFile, APictureThatCannotBeShownAtStartUpIsToldOnce) {
    services.pictureLoader = [](const std::string& path) -> PictureHandle {
        throw PlatformError("cannot show " + path + " as the dial picture");
    };
    writeFile("/nowhere/face.png\r\n");
    form.Form_Load();
    EXPECT_EQ(services.reports, std::vector<std::string>{
                                    "cannot show /nowhere/face.png as the dial picture; the dial "
                                    "shows no picture"});
}

} // namespace tamberlight
