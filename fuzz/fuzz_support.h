#pragma once

#include "platform/platform_error.h"
#include "platform/services.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A property that does not hold is a finding like a crash: libFuzzer keeps the input that broke
// it when the process aborts.
#define REQUIRE(condition)                                                                         \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: does not hold: %s\n", __FILE__, __LINE__, #condition);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace tamberlight::fuzzing {

// A picture the services "loaded": only its path.
class FuzzPicture : public Picture {
public:
    explicit FuzzPicture(std::string path)
        : path(std::move(path)) {}
    std::string path;
};

// Services held in memory, so that a run touches no disk and no toolkit: the settings file is
// a string, the dialogs are cancelled, and the sounds and reports are recorded. A picture
// "loads" from any path that is not empty, unless the target sets a loader.
class FuzzServices : public Services {
public:
    std::optional<std::string> settingsFile; // nothing: there is no file yet
    std::function<PictureHandle(const std::string&)> pictureLoader;

    std::vector<std::string> sounds; // "beep", or the media command
    std::vector<std::string> reports;

    std::string showOpen() override { return {}; }
    std::optional<Colour> showColor() override { return std::nullopt; }
    PictureHandle loadPicture(const std::string& path, float, float) override {
        if (pictureLoader)
            return pictureLoader(path);
        if (path.empty())
            throw PlatformError("cannot show an empty path as the dial picture");
        return std::make_shared<FuzzPicture>(path);
    }
    void beep() override { sounds.emplace_back("beep"); }
    void mediaCommand(const std::string& command) override { sounds.push_back(command); }
    std::optional<std::string> readSettingsFile() override { return settingsFile; }
    void writeSettingsFile(std::string_view bytes) override { settingsFile = std::string(bytes); }
    void report(const std::string& message) override { reports.push_back(message); }
};

} // namespace tamberlight::fuzzing
