// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "clock/time_value.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"

namespace tamberlight {

void Form1::Form_Load() {
    Form_LoadBeforeSave();
    saveAtStartUp();
}

void Form1::Form_LoadBeforeSave() {
    LineBreak = "\r\n";
    ClockTime = timeValueFromText("00:00:00");
    PictureTop = toInt16(DialRadius - 128);
    MarksShown = -1;
    LoadSettings();
    applySchedule();
    layOut(LayoutPass::Load);
}

// A settings file that cannot be written, whatever the failure, leaves the window as a failed
// apply leaves it: the entries ring, and 予定更新 stays shown for another try at the save.
void Form1::saveAtStartUp() {
    try {
        orSay(NotSaved, [this] { SaveSettings(); });
    } catch (...) {
        Command5.Visible = true;
        throw;
    }
}

// A close whose save fails keeps the window open once, so that nothing is lost unknowingly; the
// next close goes without the save. At the end of a session the settings are kept elsewhere.
void Form1::Form_Unload(Closing why) {
    try {
        SaveSettings();
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

} // namespace tamberlight
