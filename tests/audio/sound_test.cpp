// Sound through the real audio path: a private PulseAudio server with a null sink, the program's
// own sound service, and a recording of the sink's monitor that must not be silence.
#include "platform/media_command.h"
#include "platform/qt/qt_services.h"
#include "support/temp_dir.h"
#include "support/tone.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tamberlight::testing {
namespace {

std::string runtimeDir;
pid_t serverPid = -1;

pid_t spawn(const std::vector<std::string>& command, const std::string& output = "/dev/null") {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& part : command)
            argv.push_back(const_cast<char*>(part.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

bool run(const std::vector<std::string>& command) {
    const pid_t pid = spawn(command);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

constexpr int Heard = 4000; // silence records as 0; the test sounds peak near 16000

// Records the null sink while the body runs and the sound plays out, and returns the loudest
// sample. The null sink holds sound for over a second before its monitor sees it, so the
// recording is read as it grows until the sound shows, for up to six seconds.
int loudestWhile(const TempDir& dir, const std::function<void()>& body) {
    const std::string file = (dir / "recording.raw").string();
    std::ofstream(file, std::ios::trunc).close(); // there before the recorder and the reader
    const pid_t recorder = spawn({"parec", "-d", "null.monitor", "--raw", "--format=s16le",
                                  "--rate=44100", "--channels=1", "--latency-msec=20"},
                                 file);
    // What an earlier test played may still be on its way through the sink: start on silence.
    std::ifstream in(file, std::ios::binary);
    int quiet = 0;
    for (int waited = 0; waited < 6000 && quiet < 44100 / 3; waited += 50) {
        QTest::qWait(50);
        in.clear();
        std::int16_t sample = 0;
        while (in.read(reinterpret_cast<char*>(&sample), 2))
            quiet = std::abs(static_cast<int>(sample)) < 100 ? quiet + 1 : 0;
    }
    body();
    int loudest = 0;
    for (int waited = 0; waited < 6000 && loudest <= Heard; waited += 100) {
        QTest::qWait(100);
        in.clear();
        std::int16_t sample = 0;
        while (in.read(reinterpret_cast<char*>(&sample), 2))
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    QTest::qWait(200); // a second report of one failure would come by now
    kill(recorder, SIGTERM);
    waitpid(recorder, nullptr, 0);
    return loudest;
}

class Sound : public ::testing::Test {
protected:
    void SetUp() override {
        if (serverPid <= 0)
            GTEST_SKIP() << "no audio server could be started (packages pulseaudio, "
                            "pulseaudio-utils); the real audio path is not tested";
        writeTone(dir / "tone.wav");
    }
    TempDir dir;
    QtServices services;
};

TEST_F(Sound, APlayCommandPlaysTheFileThroughTheAudioOutput) {
    const int loudest =
        loudestWhile(dir, [&] { services.mediaCommand(playCommand((dir / "tone.wav").string())); });
    EXPECT_GT(loudest, Heard) << "the recording is silence";
}

TEST_F(Sound, CompressedFormatsPlayToo) {
    struct Format {
        const char* extension;
        const char* encoder;
    };
    for (const Format f : {Format{"mp3", "lamemp3enc"}, Format{"ogg", "vorbisenc ! oggmux"},
                           Format{"flac", "flacenc"}}) {
        const std::string out = (dir / ("tone." + std::string(f.extension))).string();
        const std::string pipeline = "filesrc location=" + (dir / "tone.wav").string() +
                                     " ! wavparse ! audioconvert ! " + f.encoder +
                                     " ! filesink location=" + out;
        ASSERT_TRUE(run({"sh", "-c", "gst-launch-1.0 -q " + pipeline})) << pipeline;
        ::testing::internal::CaptureStderr();
        const int loudest = loudestWhile(dir, [&] { services.mediaCommand(playCommand(out)); });
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_GT(loudest, Heard) << f.extension;
        EXPECT_EQ(errors, "") << f.extension;
    }
}

TEST_F(Sound, AFileThatCannotPlayBeepsOnceAndSaysWhy) {
    for (const std::string name : {"missing.wav", "text.wav"}) {
        if (name == "text.wav")
            dir.write(name, "this is no sound at all, only text\n");
        ::testing::internal::CaptureStderr();
        const int loudest =
            loudestWhile(dir, [&] { services.mediaCommand(playCommand((dir / name).string())); });
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_GT(loudest, Heard) << name << ": the fallback beep was not heard";
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_NE(errors.find("tamberlight: cannot play"), std::string::npos) << errors;
    }
}

} // namespace
} // namespace tamberlight::testing

int main(int argc, char** argv) {
    using namespace tamberlight::testing;
    ::testing::InitGoogleTest(&argc, argv);
    // The server and this process share a private runtime directory, where its socket lives.
    char pattern[] = "/tmp/tamberlight-audio-XXXXXX";
    runtimeDir = mkdtemp(pattern);
    setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + runtimeDir + "/pulse/native").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    serverPid = spawn({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                       "--load=module-null-sink", "--load=module-native-protocol-unix"});
    const auto socket = std::filesystem::path(runtimeDir) / "pulse" / "native";
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!std::filesystem::exists(socket)) {
        std::fprintf(stderr, "audio tests: pulseaudio did not start\n");
        if (serverPid > 0) {
            kill(serverPid, SIGKILL);
            waitpid(serverPid, nullptr, 0);
        }
        serverPid = -1;
    }
    int result = 0;
    {
        QApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    if (serverPid > 0) {
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
    }
    std::filesystem::remove_all(runtimeDir);
    return result;
}
