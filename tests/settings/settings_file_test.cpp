#include "app/form1.h"
#include "platform/platform_error.h"
#include "settings/settings_file.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tamberlight {
namespace {

const std::string DefaultText = "#Tamberlight   ver.0.2\r\n";

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() { services.exeDir = dir.path().string(); }
    std::string file() const { return dir.read("tamberl.ini"); }
    void writeFile(std::string_view bytes) const { dir.write("tamberl.ini", bytes); }

    testing::TempDir dir;
    testing::FakeServices services;
    Form1 form{services};
};

TEST_F(SettingsFile, WritesTheWorkedExampleByteForByteAndReadsItBack) {
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
    EXPECT_EQ(again.PicturePath, "C:\\clock\\face.bmp");
    EXPECT_EQ(again.SoundPath, "C:\\clock\\bell.wav");
    EXPECT_EQ(again.Top, 1200.0F);
    EXPECT_EQ(again.Left, 9000.0F);
    EXPECT_EQ(again.Width, 4230.0F);
    EXPECT_EQ(again.Height, 8400.0F);
    EXPECT_EQ(again.PictureTop, 52);
    EXPECT_EQ(again.Text1.Text(), DefaultText + "18:30 meeting\r\n") << "the text never grows";
    EXPECT_TRUE(again.Command5.Visible) << "reading the text is a change of it";
}

TEST_F(SettingsFile, RepeatedSavesAndLoadsKeepEveryTextExactly) {
    for (const std::string& text : {std::string(), DefaultText, std::string("no break"),
                                    std::string("a\r\n\r\n\r\n"), std::string("\r\n")}) {
        form.Text1.setText(text);
        for (int round = 0; round < 3; ++round) {
            form.SaveSettings();
            form.LoadSettings();
        }
        EXPECT_EQ(form.Text1.Text(), text);
    }
}

// What a damaged or partial file leaves: every line that reads is taken, every value that does
// not is kept as the window had it.
struct Damaged {
    std::optional<std::string> bytes; // nothing: no file at all
    std::string picture, sound;
    float top, left, width, height;
    std::int16_t pictureTop;
    std::optional<std::string> text; // nothing: the schedule is not touched
};

class DamagedFile : public SettingsFile, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedFile, TakesWhatReadsAndKeepsTheRest) {
    const Damaged& d = GetParam();
    form.Top = 15;
    form.Width = 3000;
    form.PictureTop = -128;
    if (d.bytes)
        writeFile(*d.bytes);
    const auto revision = form.Text1.revision();
    form.LoadSettings();
    EXPECT_EQ(form.PicturePath, d.picture);
    EXPECT_EQ(form.SoundPath, d.sound);
    EXPECT_EQ(std::vector<float>({form.Top, form.Left, form.Width, form.Height}),
              std::vector<float>({d.top, d.left, d.width, d.height}));
    EXPECT_EQ(form.PictureTop, d.pictureTop);
    if (d.text)
        EXPECT_EQ(form.Text1.Text(), *d.text);
    else
        EXPECT_EQ(form.Text1.revision(), revision);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFile,
    ::testing::Values(Damaged{std::nullopt, "", "", 15, 0, 3000, 9375, -128, std::nullopt},
                      Damaged{"", "", "", 15, 0, 3000, 9375, -128, std::nullopt},
                      Damaged{"pic, with comma\r\n \"sound\".wav\r\n", "pic, with comma",
                              " \"sound\".wav", 15, 0, 3000, 9375, -128, ""},
                      Damaged{"p\r\ns\r\nabc\r\n 9000\r\nxyz\r\n 8400.5\r\nzz\r\nT\r\n", "p", "s",
                              15, 9000, 3000, 8400.5F, 0, "T"},
                      Damaged{"p\r\ns\r\n 1200, 9000\r\n 4230\r\n 8400\r\n 40000\r\nafter\r\n", "p",
                              "s", 1200, 9000, 4230, 8400, -128, "after"},
                      Damaged{"p\r\ns\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 7\r\na\rb\nc\r\n", "p", "s",
                              0, 0, 3525, 9375, 7, "a\r\nb\nc"},
                      Damaged{"p\r\ns\r\n 1" + std::string(60, '0') + "\r\n 1\r\n 2\r\n 3\r\n 9" +
                                  std::string(400, '9') + "\r\n",
                              "p", "s", 15, 1, 2, 3, -128, ""}));

TEST_F(SettingsFile, JapaneseTextRoundTripsAndShiftJisFilesRead) {
    form.PicturePath = "/写真/時計.png";
    form.Text1.setText("#予定\r\n18:30 会議　です\r\n");
    form.SaveSettings();
    const std::string saved = file();
    EXPECT_NE(saved.find("18:30 会議　です\r\n"), std::string::npos) << "UTF-8 in the file";
    form.LoadSettings();
    EXPECT_EQ(form.PicturePath, "/写真/時計.png");
    EXPECT_EQ(form.Text1.Text(), "#予定\r\n18:30 会議　です\r\n");
    form.SaveSettings();
    EXPECT_EQ(file(), saved);

    // 画像 and 会議 in code page 932.
    writeFile("C:\\\x89\xe6\x91\x9c\\a.bmp\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n-128\r\n"
              "#\r\n18:30 \x89\xef\x8b\x63\r\n\r\n");
    form.LoadSettings();
    EXPECT_EQ(form.PicturePath, "C:\\画像\\a.bmp");
    EXPECT_EQ(form.Text1.Text(), "#\r\n18:30 会議\r\n");
}

TEST_F(SettingsFile, ASaveThatFailsPartWayLeavesThePreviousFileWhole) {
    form.SaveSettings();
    const std::string before = file();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64}; // the disk fills after 64 bytes
        setrlimit(RLIMIT_FSIZE, &limit);
        form.Text1.setText(std::string(5000, 'x'));
        try {
            form.SaveSettings();
        } catch (const PlatformError&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed save is reported";
    EXPECT_EQ(file(), before);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1U) << "no temporary file is left behind";
}

TEST_F(SettingsFile, AProcessKilledWhileSavingNeverLeavesATornFile) {
    std::string big(200000, 'y');
    std::mt19937 random(20261206);
    form.Text1.setText("A" + big);
    form.SaveSettings();
    const std::string a = file();
    form.Text1.setText("B" + big + big);
    form.SaveSettings();
    const std::string b = file();
    for (int round = 0; round < 30; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool first = true;; first = !first) {
                form.Text1.setText((first ? "A" : "B") + big + (first ? "" : big));
                form.SaveSettings();
            }
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = file();
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
    form.SaveSettings();
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1U) << "the next save removes what killed saves left behind";
}

TEST_F(SettingsFile, AWritableFileInADirectoryThatCannotBeWrittenIsStillUsed) {
    writeFile("p\r\ns\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 5\r\nold text\r\n");
    namespace fs = std::filesystem;
    fs::permissions(dir / "tamberl.ini", fs::perms::all);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Root may write anywhere: the save runs as an ordinary user who owns neither.
        if (getuid() != 0)
            fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::remove);
        else if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        setenv("XDG_CONFIG_HOME", "/nonexistent/config", 1);
        Form1 user{services};
        user.LoadSettings();
        user.Text1.setText(user.Text1.Text() + " and new");
        try {
            user.SaveSettings();
        } catch (const PlatformError& error) {
            std::fprintf(stderr, "%s\n", error.what());
            _exit(1);
        }
        _exit(user.PictureTop == 5 ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(file().ends_with("\r\nold text and new\r\n"));
}

class Location : public SettingsFile {
protected:
    Location() {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        saved_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    ~Location() override {
        if (saved_)
            setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    std::optional<std::string> saved_;
};

TEST_F(Location, BesideTheExecutableOrElseInTheConfigurationDirectory) {
    EXPECT_EQ(settingsFilePath(dir.path()), dir / "tamberl.ini");
    dir.write("not-a-directory", "");
    services.exeDir = (dir / "not-a-directory").string();
    form.PictureTop = 33;
    form.SaveSettings();
    ASSERT_TRUE(std::filesystem::exists(dir / "config" / "tamberlight" / "tamberl.ini"));
    Form1 again{services};
    again.LoadSettings();
    EXPECT_EQ(again.PictureTop, 33);
}

TEST_F(Location, AnInstalledProgramNeverWritesIntoItsPrefix) {
    const auto bin = dir / "prefix" / "bin";
    std::filesystem::create_directories(bin);
    EXPECT_EQ(settingsFilePath(bin), bin / "tamberl.ini") << "a bin folder alone is no install";
    dir.write("prefix/share/applications/org.tamberlight.Tamberlight.desktop", "");
    dir.write("prefix/bin/tamberl.ini", "");
    EXPECT_EQ(settingsFilePath(bin), dir / "config" / "tamberlight" / "tamberl.ini");
}

} // namespace
} // namespace tamberlight
