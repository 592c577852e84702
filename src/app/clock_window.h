// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/controls.h"
#include "clock/clock.h"
#include "panel/panel.h"
#include "platform/services.h"
#include "schedule/schedule.h"
#include "settings/settings_file.h"
#include "share/room.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tamberlight {

// Where the dial lies: it is as wide as the window, and the hands start at its centre.
struct DialGeometry {
    float width = 0, radius = 0;
    double hourHandLength = 0, minuteHandLength = 0;
};

// The window of the clock: the clock, the schedule, the panel and the room it may share its time
// with, composed; its controls by role, placed from the window's width; and what the user does
// with them. It holds no toolkit: the view shows the controls and runs these handlers, each of
// which may throw PlatformError to tell the user of a failure, leaving the state it reached.
class ClockWindow {
public:
    explicit ClockWindow(Services& services);
    ClockWindow(const ClockWindow&) = delete;
    ClockWindow& operator=(const ClockWindow&) = delete;

    static constexpr Colour Background = rgb(255, 255, 255);

    // The window's outer placement in twips, and its client area in pixels.
    Placement placement;
    float clientWidth = 235, clientHeight = 625;
    // "Tamberlight", and where the room stands when the clock is shared.
    std::string title() const;

    // The controls; how they stack, which belong to the panel and the keyboard order are in the
    // table of app/control_table.h.
    Button colourButton;
    Frame timeFrame;
    Button intervalButton;
    TextBox intervalBox;
    Button baseHourButton;
    TextBox baseHourBox;
    Label millisecondsCaption, intervalCaption, hourCaption;
    Button marksButton;
    Button applyButton;
    Frame announcementFrame;
    Label announcement;
    Button soundButton;
    Button pictureButton;
    Button pictureDownButton;
    Button pictureUpButton;
    TextBox scheduleBox;
    Label stoppedMark;              // shown while the clock stands still
    Label clockText;                // the time, dark blue, in front
    std::array<Line, 12> hourMarks; // from 3 o'clock, clockwise
    // Four empty picture areas the window was designed with: a click there does nothing.
    std::array<Area, 4> quietAreas{
        {{16, 604, 165, 21}, {12, 580, 145, 17}, {8, 528, 137, 41}, {20, 492, 141, 37}}};
    Label clockShadow; // the same time in white, behind
    Line minuteHand, hourHand;
    Shape dialCircle;
    Image picture;

    // What starting the window does, all but its save: the settings read, the schedule applied,
    // the window laid out. The save follows, apart, so that the first frame need not wait for
    // the disk; its failure leaves the entries ringing and the apply button shown.
    void startUp();
    void saveAtStartUp();
    void load() {
        startUp();
        saveAtStartUp();
    }
    // Why the window closes: the user closed it, closed it again after its save failed, or the
    // session ends and nobody is there to ask.
    enum class Closing { Asked, AskedAgain, SessionEnds };
    void close(Closing why = Closing::Asked);
    void resize(float width, float height);

    // The user's doings.
    void tick();
    void setBaseHour();
    void setInterval();
    void scheduleEdited();
    void applySchedule();
    void chooseSound();
    void choosePicture();
    void movePictureUp();
    void movePictureDown();
    void togglePanel();
    void switchMarks();
    void chooseColour();

    // The clock is now at this minute: by a tick, which rings the entries due, or by a jump,
    // which rings nothing. The one way the clock moves, on the timer and for a follower alike.
    void clockIsNow(int minute, bool tick);
    // What the clock did since the view last asked: a tick or a jump (a new base hour or
    // interval), which a leader tells its room.
    enum class Moved { Not, Tick, Jump };
    Moved takeMoved() { return std::exchange(moved_, Moved::Not); }

    // The clock as a leader tells its room, without sequence or identity.
    ClockMessage ownClockMessage(bool tick) const;

    // The room this window shares its clock with, when it leads or follows one.
    Room& room() { return room_; }
    const Room& room() const { return room_; }
    // The room decided something the window shows: the clock to follow, the title, whether the
    // clock's own controls may be used.
    void showRoom(const Room::Shown& shown);
    // A leader takes up the room's time, pace and day, from the clock it followed or the clock
    // the broker kept of the room.
    void takeUp(const ClockMessage& room);
    // Whether the window's own timer runs: not while it follows another clock.
    bool timerRuns() const { return !room_.following() && clock_.running(); }

    const Clock& clock() const { return clock_; }
    const Schedule& schedule() const { return schedule_; }
    const Panel& panel() const { return panel_; }
    const DialGeometry& dial() const { return dial_; }
    const std::string& picturePath() const { return picturePath_; }
    const std::string& soundPath() const { return soundPath_; }
    std::int16_t pictureOffset() const { return pictureOffset_.pixels(); }
    bool marksShown() const { return marksShown_; }

    // The settings file's bytes as a save writes them, and what a load does with them.
    std::string settingsBytes() const;
    void readSettings(std::string_view bytes);

    // What the user reads after a save that failed while the schedule was applied.
    static constexpr std::string_view NotSaved =
        "the schedule rings as applied but is not saved: press 予定更新 to save it again";

private:
    enum class LayoutPass { Load, Resize };
    void layOut(LayoutPass pass);
    void placeClockTexts(const std::string& text);
    void placeScheduleBox();
    void placePicture();
    void placeMarks();
    void moveHands();
    void showTime();
    void showClockState();
    void ring();
    void takeEntries();
    void save();
    void loadSettings();
    void showPicture(const std::string& path, const char* otherwise);

    Services& services_;
    Clock clock_;
    Schedule schedule_;
    Panel panel_;
    PictureOffset pictureOffset_;
    Room room_;
    DialGeometry dial_;
    std::string picturePath_, soundPath_;
    bool marksShown_ = true;
    Moved moved_ = Moved::Not;
    std::string roomStatus_;
    std::uint32_t day_ = 0; // a new base hour or midnight begins another day of the room
    int baseHour_ = -1;
    std::uint64_t pictureRequests_ = 0;
};

} // namespace tamberlight
