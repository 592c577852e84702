#include "app/form1.h"
#include "platform/platform_error.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tamberlight {
namespace {

class Startup : public ::testing::Test {
protected:
    Startup() { services.exeDir = dir.path().string(); }
    testing::TempDir dir;
    testing::FakeServices services;
};

TEST_F(Startup, FirstStartCreatesTheSettingsFileAndLaysTheDialOut) {
    Form1 form{services};
    form.Form_Load();
    EXPECT_EQ(dir.read("tamberl.ini"),
              "\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n#Tamberlight   ver.0.2\r\n\r\n");
    EXPECT_EQ(form.LineBreak, "\r\n");
    EXPECT_EQ(form.ClockTime, 0.0);
    EXPECT_EQ(form.PictureTop, -128);
    EXPECT_EQ(form.MarksShown, -1);
    EXPECT_FALSE(form.Command5.Visible);
    EXPECT_EQ(form.EventCount, 0);
    EXPECT_EQ(form.Label1.Caption, "0:00");
    EXPECT_EQ(form.Label3.Caption, "");
    EXPECT_EQ(form.Image1.Top, -128.0F);
}

TEST_F(Startup, EverythingSavedComesBackAndRestartsDoNotGrowTheSchedule) {
    dir.write("face.png", "not empty");
    const std::string text = "#mine\r\n18:30 boss arrives\r\n6:00";
    {
        Form1 form{services};
        form.Form_Load();
        form.PicturePath = (dir / "face.png").string();
        form.SoundPath = "/sounds/bell.wav";
        form.PictureTop = 20;
        form.Left = 3000;
        form.Text1.setText(text);
        form.Form_Unload();
    }
    const std::string saved = dir.read("tamberl.ini");
    for (int restart = 0; restart < 3; ++restart) {
        Form1 form{services};
        form.Form_Load();
        EXPECT_EQ(form.Text1.Text(), text);
        EXPECT_EQ(form.SoundPath, "/sounds/bell.wav");
        EXPECT_EQ(form.PictureTop, 20);
        EXPECT_EQ(form.Image1.Top, 20.0F);
        EXPECT_EQ(form.Left, 3000.0F);
        EXPECT_NE(form.Image1.Picture, nullptr);
        EXPECT_EQ(form.EventCount, 2);
        EXPECT_FALSE(form.Command5.Visible) << "the apply at start-up hides the button";
        form.Form_Unload();
        EXPECT_EQ(dir.read("tamberl.ini"), saved) << "restart " << restart;
    }
}

TEST_F(Startup, ASettingsFileThatCannotBeWrittenEndsTheLoadBeforeTheEntries) {
    dir.write("tamberl.ini", "p\r\ns\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 4\r\nT\r\n18:30 x\r\n");
    dir.write("config", "a file where a directory should be");
    services.exeDir = (dir / "tamberl.ini").string(); // no directory at all
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    Form1 form{services};
    EXPECT_THROW(form.Form_Load(), PlatformError);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(form.EventCount, 0);
    EXPECT_EQ(form.Label3.Caption, "Label3") << "the layout did not run";
    EXPECT_EQ(form.MarksShown, -1) << "the start values are set";
}

} // namespace
} // namespace tamberlight
