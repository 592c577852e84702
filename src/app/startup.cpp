// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"
#include "platform/platform_error.h"

namespace tamberlight {

// The clock starts at midnight, with the hour marks shown and the picture offset of a window
// that has no settings; then the settings are read, the schedule applied and the window laid out.
void ClockWindow::startUp() {
    clock_.setMinute(0);
    pictureOffset_.set(PictureOffset::AtStart);
    marksShown_ = true;
    loadSettings();
    takeEntries();
    layOut(LayoutPass::Load);
}

// A settings file that cannot be written, whatever the failure, leaves the window as a failed
// apply leaves it: the entries ring, and 予定更新 stays shown for another try at the save.
void ClockWindow::saveAtStartUp() {
    try {
        orSay(NotSaved, [this] { save(); });
    } catch (...) {
        applyButton.visible = true;
        throw;
    }
}

// A close whose save fails keeps the window open once, so that nothing is lost unknowingly; the
// next close goes without the save. At the end of a session the settings are kept elsewhere.
void ClockWindow::close(Closing why) {
    try {
        save();
    } catch (const PlatformError& failed) {
        const std::string said = failed.what();
        if (why == Closing::Asked)
            throw PlatformError(said +
                                "; the window stays open: close it again to quit without saving");
        if (why == Closing::AskedAgain)
            throw PlatformError(said + "; the window closes without saving, as asked");
        std::string kept;
        try {
            kept = services_.keepUnsavedSettings(settingsBytes());
        } catch (const PlatformError& alsoFailed) {
            throw PlatformError(said + "; nor could they be kept elsewhere (" + alsoFailed.what() +
                                ")");
        }
        throw PlatformError(said + "; they are kept in " + kept + " instead");
    }
}

std::string ClockWindow::settingsBytes() const {
    SettingsFile file{.picturePath = picturePath_,
                      .soundPath = soundPath_,
                      .top = placement.top,
                      .left = placement.left,
                      .width = placement.width,
                      .height = placement.height,
                      .pictureOffset = pictureOffset_.pixels(),
                      .schedule = scheduleBox.text()};
    return file.bytes();
}

void ClockWindow::save() {
    services_.writeSettingsFile(settingsBytes());
}

void ClockWindow::loadSettings() {
    std::optional<std::string> bytes;
    try {
        bytes = services_.readSettingsFile();
    } catch (const PlatformError& error) {
        services_.report(std::string(error.what()) +
                         "; the clock starts from its defaults and leaves that file as it is");
    }
    if (bytes)
        readSettings(*bytes);
}

// What the file gives replaces the window's own; what it does not give, the window keeps. The
// schedule read is a change of the schedule box, which shows the apply button.
void ClockWindow::readSettings(std::string_view bytes) {
    const std::optional<SettingsFile> file = SettingsFile::read(bytes);
    if (!file)
        return;
    picturePath_ = file->picturePath.value_or(picturePath_);
    soundPath_ = file->soundPath.value_or(soundPath_);
    if (file->pictureOffset)
        pictureOffset_.set(*file->pictureOffset);
    scheduleBox.setText(file->schedule);
    applyButton.visible = true;
    placement = {file->top.value_or(placement.top), file->left.value_or(placement.left),
                 file->width.value_or(placement.width), file->height.value_or(placement.height)};
    if (!picturePath_.empty())
        showPicture(picturePath_, "the dial shows no picture");
}

} // namespace tamberlight
