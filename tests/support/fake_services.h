#pragma once

#include "app/form1.h"
#include "platform/platform_error.h"
#include "platform/qt/atomic_file.h"
#include "platform/services.h"

#include <QTemporaryDir>
#include <deque>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace tamberlight::test {

// Services whose dialogs answer from queues and whose sounds and reports are recorded. The
// settings file is a real file, written as the program writes it. A picture "loads" from any
// file that exists and is not empty, unless the test sets a loader.
class FakeServices : public Services {
public:
    explicit FakeServices(std::filesystem::path settingsFile)
        : settingsFile(std::move(settingsFile)) {}

    std::filesystem::path settingsFile;
    std::deque<std::string> openAnswers;             // "" once empty: a cancelled dialog
    std::deque<std::optional<Colour>> colourAnswers; // nothing once empty: cancelled
    std::function<PictureHandle(const std::string&)> pictureLoader;
    std::vector<std::string> sounds; // "beep", or the media command
    std::vector<std::string> reports;

    std::string showOpen() override { return take(openAnswers); }
    std::optional<Colour> showColor() override { return take(colourAnswers); }
    PictureHandle loadPicture(const std::string& path, float, float) override {
        std::error_code ec;
        if (pictureLoader)
            return pictureLoader(path);
        if (std::filesystem::file_size(path, ec) == 0 || ec)
            throw PlatformError("cannot show " + path + " as the dial picture");
        return std::make_shared<Picture>();
    }
    void beep() override { sounds.emplace_back("beep"); }
    void mediaCommand(const std::string& command) override { sounds.push_back(command); }
    std::optional<std::string> readSettingsFile() override { return readFileBytes(settingsFile); }
    void writeSettingsFile(std::string_view bytes) override {
        writeFileAtomically(settingsFile, bytes);
    }
    void report(const std::string& message) override { reports.push_back(message); }

private:
    template <typename T> static T take(std::deque<T>& answers) {
        if (answers.empty())
            return T{};
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

inline std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeAll(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

// A window object over fake services, its settings file in a temporary folder.
class FormTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeServices services{dir.filePath("tamberl.ini").toStdString()};
    Form1 form{services};
};

// A time of day as a time value.
inline double at(int hour, int minute, int second = 0) {
    return (hour * 3600 + minute * 60 + second) / 86400.0;
}

} // namespace tamberlight::test
