// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform_error.h"
#include "platform/services.h"

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlight::test {

// A picture the services "loaded": only its path.
class PathPicture : public Picture {
public:
    explicit PathPicture(std::string path)
        : path(std::move(path)) {}
    std::string path;
};

// Services held in memory, with no toolkit and no disk, for the core's tests and fuzz targets:
// the dialogs answer from queues (cancelled once empty), the settings file is a string, and the
// sounds and reports are recorded. A picture "loads" from any path that is not empty, unless a
// loader is set.
class FakeServices : public Services {
public:
    std::optional<std::string> settingsFile; // nothing: there is no file yet
    std::optional<std::string> unsavedCopy;
    std::optional<std::string> readFailure; // why the file that is there cannot be read
    std::exception_ptr saveFailure;         // what every save throws
    std::deque<std::string> openAnswers;
    std::deque<std::optional<Colour>> colourAnswers;
    std::function<PictureHandle(const std::string&)> pictureLoader;
    std::vector<std::string> sounds; // "beep", "stop", or "play" and the path
    std::vector<std::string> reports;

    std::string showOpen() override { return take(openAnswers); }
    std::optional<Colour> showColour() override { return take(colourAnswers); }
    // Loaded at once: the loader's picture, or why it threw.
    void loadPicture(const std::string& path, float, float, PictureDone done) override {
        PictureHandle picture;
        try {
            if (path.empty())
                throw PlatformError("cannot show an empty path as the dial picture");
            picture = pictureLoader ? pictureLoader(path) : std::make_shared<PathPicture>(path);
        } catch (const PlatformError& error) {
            return done(nullptr, error.what());
        }
        done(picture, "");
    }
    void beep() override { sounds.emplace_back("beep"); }
    void playSound(const std::string& path) override { sounds.push_back("play " + path); }
    void stopSound() override { sounds.emplace_back("stop"); }
    std::optional<std::string> readSettingsFile() override {
        if (readFailure)
            throw PlatformError("cannot read settings from tamberl.ini: " + *readFailure);
        return settingsFile;
    }
    void writeSettingsFile(std::string_view bytes) override {
        if (saveFailure)
            std::rethrow_exception(saveFailure);
        settingsFile = std::string(bytes);
    }
    std::string keepUnsavedSettings(std::string_view bytes) override {
        unsavedCopy = std::string(bytes);
        return "unsaved.ini";
    }
    void report(const std::string& message) override {
        reports.push_back(message);
        if (onReport)
            onReport(message);
    }
    std::function<void(const std::string&)> onReport;

private:
    template <typename T> static T take(std::deque<T>& answers) {
        if (answers.empty())
            return T{};
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

} // namespace tamberlight::test
