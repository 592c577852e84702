#include "app/form1.h"
#include "clock/time_value.h"
#include "platform/conversions.h"

namespace tamberlight {

void Form1::Form_Load() {
    LineBreak = "\r\n";
    ClockTime = timeValueFromText("00:00:00");
    PictureTop = toInt16(DialRadius - 128);
    MarksShown = -1;
    LoadSettings();
    Command5_Click();
    loadTimeLayout();
}

void Form1::Form_Unload() {
    SaveSettings();
}

} // namespace tamberlight
