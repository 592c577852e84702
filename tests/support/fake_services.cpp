#include "support/fake_services.h"

#include "platform/platform_error.h"

#include <filesystem>

namespace tamberlight::testing {

std::string FakeServices::showOpen() {
    ++openDialogs;
    calls.emplace_back("open");
    if (openAnswers.empty())
        return {};
    std::string answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<Colour> FakeServices::showColor() {
    ++colourDialogs;
    calls.emplace_back("colour");
    if (colourAnswers.empty())
        return std::nullopt;
    const auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
}

PictureHandle FakeServices::loadPicture(const std::string& path) {
    calls.emplace_back("picture");
    if (pictureLoader)
        return pictureLoader(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) == 0)
        throw PlatformError("no picture in " + path);
    return std::make_shared<FakePicture>(path);
}

void FakeServices::beep() {
    ++beeps;
    calls.emplace_back("beep");
}

void FakeServices::mediaCommand(const std::string& command) {
    commands.push_back(command);
    calls.emplace_back("media");
}

} // namespace tamberlight::testing
