// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "clock/time_value.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"

#include <exception>

namespace tamberlight {

void Form1::Form_Load() {
    LineBreak = "\r\n";
    ClockTime = timeValueFromText("00:00:00");
    PictureTop = toInt16(DialRadius - 128);
    MarksShown = -1;
    LoadSettings();
    // A settings file that cannot be written, whatever the failure, leaves no half-built window:
    // the layout still runs, the entries stay empty and 予定更新 stays for another try.
    std::exception_ptr failedApply;
    try {
        Command5_Click();
    } catch (...) {
        failedApply = std::current_exception();
        Command5.Visible = true;
    }
    layOut(LayoutPass::Load);
    if (failedApply)
        std::rethrow_exception(failedApply);
}

void Form1::Form_Unload() {
    orSay("the previous file is kept", [this] { SaveSettings(); });
}

} // namespace tamberlight
