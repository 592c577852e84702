#pragma once

#include "platform/services.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tamberlight::testing {

// A picture the fake "loaded": only its path.
class FakePicture : public Picture {
public:
    explicit FakePicture(std::string path)
        : path(std::move(path)) {}
    std::string path;
};

// Services whose dialogs answer from queues and whose sounds are recorded. Pictures load from
// any file that exists and is not empty; executableDirectory is whatever the test sets.
class FakeServices : public Services {
public:
    std::deque<std::string> openAnswers;             // "" when exhausted: a cancelled dialog
    std::deque<std::optional<Colour>> colourAnswers; // nothing when exhausted: cancelled
    std::function<PictureHandle(const std::string&)> pictureLoader;
    std::string exeDir = "/nonexistent";

    int openDialogs = 0;
    int colourDialogs = 0;
    int beeps = 0;
    std::vector<std::string> commands;
    // Every call in order: "open", "colour", "beep", "media", "picture".
    std::vector<std::string> calls;

    std::string showOpen() override;
    std::optional<Colour> showColor() override;
    PictureHandle loadPicture(const std::string& path) override;
    void beep() override;
    void mediaCommand(const std::string& command) override;
    std::string executableDirectory() override { return exeDir; }
};

} // namespace tamberlight::testing
