// The settings file's bytes, and what start-up and shutdown do with them.
#include "app/form1.h"
#include "support/form_test.h"

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

class DamagedFile : public SettingsFile,
                    public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

// Every line that reads is taken; every value that does not keeps what the window had: the
// window at 15, 0, 3525, 9375 twips and the picture at -128. No file at all: nullptr.
TEST_P(DamagedFile, TakesWhatReadsAndKeepsTheRest) {
    const auto [bytes, read] = GetParam();
    form.Top = 15;
    form.PictureTop = -128;
    if (bytes != nullptr)
        writeFile(bytes);
    form.LoadSettings();
    EXPECT_EQ(form.settingsBytes(), read);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFile,
    ::testing::ValuesIn(std::vector<std::pair<const char*, const char*>>{
        {nullptr, "\r\n\r\n 15\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n#Tamberlight   ver.0.2\r\n\r\n"},
        {"", "\r\n\r\n 15\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n#Tamberlight   ver.0.2\r\n\r\n"},
        {"pic, with comma\r\n \"s\".wav\r\n",
         "pic, with comma\r\n \"s\".wav\r\n 15\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n\r\n"},
        {"p\r\ns\r\nabc\r\n 9000\r\nxyz\r\n 8400.5\r\nzz\r\nT\r\n",
         "p\r\ns\r\n 15\r\n 9000\r\n 3525\r\n 8400.5\r\n 0\r\nT\r\n"},
        {"p\r\ns\r\n 1200, 9000\r\n 4230\r\n 8400\r\n 40000\r\nafter\r\n",
         "p\r\ns\r\n 1200\r\n 9000\r\n 4230\r\n 8400\r\n-128\r\nafter\r\n"},
        {"p\r\ns\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\na\rb\nc\r\n",
         "p\r\ns\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\na\r\nb\nc\r\n"}}));

TEST_F(SettingsFile, JapaneseTextRoundTripsAndShiftJisFilesRead) {
    form.Text1.setText("#予定\r\n18:30 会議　です\r\n");
    form.SaveSettings();
    EXPECT_NE(file().find("18:30 会議　です\r\n"), std::string::npos) << "UTF-8 in the file";
    // 画像 and 会議 in code page 932.
    writeFile("C:\\\x89\xe6\x91\x9c\\a.bmp\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n"
              "#\r\n18:30 \x89\xef\x8b\x63\r\n\r\n");
    form.LoadSettings();
    EXPECT_EQ(form.PicturePath, "C:\\画像\\a.bmp");
    EXPECT_EQ(form.Text1.Text(), "#\r\n18:30 会議\r\n");
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

TEST_F(SettingsFile, AStartUpThatCannotSaveStillLaysTheWindowOut) {
    services.writeFailure = "Not a directory";
    try {
        form.Form_Load();
        FAIL() << "the failed save is told";
    } catch (const std::exception& e) {
        EXPECT_TRUE(std::string(e.what()).ends_with("; press 予定更新 to try again")) << e.what();
    }
    EXPECT_EQ(form.Label3.Caption, "") << "the load-time layout ran";
    EXPECT_EQ(form.Command5.Top, 327.0F);
    EXPECT_TRUE(form.Command5.Visible) << "予定更新 stays for another try";
    EXPECT_EQ(form.EventCount, 0);
    EXPECT_THROW(form.Form_Unload(), std::exception);
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
