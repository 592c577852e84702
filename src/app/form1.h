// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/controls.h"
#include "platform/services.h"
#include "schedule/schedule_line.h"
#include "share/clock_message.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tamberlight {

enum class Sharing { Alone, Leading, Following };

// The one window of the program: its controls, its state and its event handlers. Handlers are
// defined next to the behaviour they belong to (clock/, schedule/, settings/, panel/, app/).
class Form1 {
public:
    explicit Form1(Services& services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    static constexpr int MaxEvents = MaxEntries;
    // What the user reads after a save that failed while the schedule was applied.
    static constexpr std::string_view NotSaved =
        "the schedule rings as applied but is not saved: press 予定更新 to save it again";

    // The window itself. Top, Left, Width and Height are the outer placement in twips of the
    // screen; ScaleWidth is the client width in pixels.
    std::string Caption = "Tamberlight";
    Colour BackColor = rgb(255, 255, 255);
    float Top = 0, Left = 0, Width = 3525, Height = 9375;
    float ScaleWidth = 235, ScaleHeight = 625;
    std::int16_t ScaleMode = 3;

    // The controls. Which container holds each, how they stack and the keyboard order are in
    // the table of app/control_table.h.
    CommandButton Command9;
    Frame Frame2;
    CommandButton Command4;
    TextBox Text3;
    CommandButton Command8;
    TextBox Text2;
    Label Label6;
    Label Label5;
    Label Label4;
    CommandButton Command7;
    CommandButton Command5;
    Frame Frame1;
    Label Label3;
    CommandButton Command6;
    FileListBox File1;
    CommonDialog CommonDialog1;
    CommandButton Command3;
    Timer Timer1;
    CommandButton Command2;
    CommandButton Command1;
    TextBox Text1;
    Label Label2;
    Label Label7; // shown while the clock stands still
    std::array<Line, 12> Line3;
    Image Image5, Image4, Image3, Image2;
    Label Label1;
    Line Line2; // minute hand
    Line Line1; // hour hand
    Shape Shape1;
    Image Image1;

    // State.
    double ClockTime = 0; // days; the fraction is the time of day
    float DialWidth = 0, DialRadius = 0, CentreX = 0, CentreY = 0;
    double HourHandLength = 0, MinuteHandLength = 0;
    std::array<double, MaxEvents> EventTimes{};
    std::array<std::string, MaxEvents> EventLines{};
    std::int32_t EventCount = 0;
    std::string ScheduleBuffer;
    std::int32_t ScanPos = 0;
    std::string LineBreak;
    std::string PicturePath;
    std::int16_t PictureTop = 0;
    std::string SoundPath;
    std::int16_t MarksShown = 0; // -1 true, 0 false

    // A clock shared by several windows: this one may lead it or follow it.
    Sharing ShareRole = Sharing::Alone;
    bool LeaderRunning = true; // whether the clock a follower follows runs
    // Told after every tick (true) and every jump or change of speed (false) on its own clock.
    std::function<void(bool tick)> onClockMoved;

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    // Why the window closes: the user closed it, closed it again after a save failed, or the
    // session ends and nobody is there to ask.
    enum class Closing { Asked, AskedAgain, SessionEnds };
    void Form_Unload(Closing why = Closing::Asked);
    void Form_Click();
    void Image1_Click();
    void Label3_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Text1_Change();
    void Timer1_Timer();

    // Start-up in two steps, so that the window's first frame need not wait for the disk: all
    // of Form_Load but the save, then the save, whose failure leaves 予定更新 shown and the
    // entries empty as a failed apply does. Form_Load runs both.
    void Form_LoadBeforeSave();
    void saveAtStartUp();

    void SaveSettings();
    void LoadSettings();
    // The settings file's bytes as SaveSettings writes them.
    std::string settingsBytes() const;
    // What LoadSettings does once it has the file's bytes; an empty file changes nothing.
    void readSettings(std::string_view bytes);

    // Sharing the clock. A follower's own timer stands still and its base hour and interval
    // cannot be changed; it takes its time from the leader's messages.
    void startFollowing();
    // Back to a clock of its own, after the link was refused or another window leads.
    void runAlone();
    enum class Followed { Applied, Stale, Invalid };
    // A leader's message: a newer one sets the clock and redraws it, and a live tick for a new
    // minute runs the entry comparison as a tick does; an older, repeated or broken one is not
    // taken. A message kept by the broker since before this window came is a jump.
    Followed followLeader(std::string_view payload, bool live);
    // This window's clock as a leader tells it, without sequence or identity.
    ClockMessage clockMessage(bool tick) const;
    // Where the shared clock stands, in the window's title; empty for a clock of its own.
    void showSharing(const std::string& status);

private:
    enum class LayoutPass { Load, Resize };
    void layOut(LayoutPass pass);
    void placeHands(float hourEndY, float minuteEndY);
    void placeClockLabels(std::string (*text)(double));
    void placeScheduleBox();
    void placePicture();
    void placeMarks();
    void moveHands(double minute, double hour);
    void showPicture(const std::string& path, const char* otherwise);
    void checkSchedule();
    void applySchedule();
    void clockIsNow(double time, bool tick);
    void showTime();
    void showClockState();

    Services& services_;
    std::string leaderId_;
    std::uint64_t leaderSequence_ = 0;
    double lastTick_ = -1;
    std::uint64_t pictureRequests_ = 0;
};

} // namespace tamberlight
