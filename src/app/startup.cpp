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
// apply leaves it: the entries empty and 予定更新 shown for another try.
void Form1::saveAtStartUp() {
    try {
        orSay("press 予定更新 to try again", [this] { SaveSettings(); });
    } catch (...) {
        Command5.Visible = true;
        EventCount = 0;
        throw;
    }
}

void Form1::Form_Unload() {
    orSay("the previous file is kept", [this] { SaveSettings(); });
}

} // namespace tamberlight
