// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/clock_window.h"
#include "platform/platform_error.h"

namespace tamberlight {

void ClockWindow::scheduleEdited() {
    scheduleBox.edited();
    applyButton.visible = true;
}

// The entries ring as applied whether or not the save succeeds; the button stays shown while
// the schedule is not saved, so that the user can try the save again.
void ClockWindow::applySchedule() {
    std::exception_ptr unsaved;
    try {
        orSay(NotSaved, [this] { save(); });
    } catch (const PlatformError&) {
        unsaved = std::current_exception();
    }
    takeEntries();
    if (unsaved) {
        applyButton.visible = true;
        std::rethrow_exception(unsaved);
    }
}

// Only the first entries fit; the user hears how many timed lines will not ring.
void ClockWindow::takeEntries() {
    applyButton.visible = false;
    const Schedule::LeftOut left = schedule_.apply(scheduleBox.text());
    if (left.lines > 0)
        services_.report(
            std::to_string(left.lines) + (left.lines == 1 ? " timed line" : " timed lines") +
            " of the schedule will not ring: only the first " + std::to_string(Schedule::Capacity) +
            " entries do, and line " + std::to_string(left.first) + " is the first left out");
}

// Every entry due sounds and announces itself and the entry after it, in text order, so the
// last of a minute is the one shown.
void ClockWindow::ring() {
    for (const std::size_t entry : schedule_.dueAt(clock_.minute())) {
        if (soundPath_.empty())
            services_.beep();
        else
            services_.playSound(soundPath_);
        announcement.caption = schedule_.announcement(entry);
    }
}

// The sound chosen plays at once, so that the user hears it.
void ClockWindow::chooseSound() {
    scheduleBox.setFocus();
    const std::string chosen = services_.showOpen();
    if (chosen.empty())
        return;
    soundPath_ = chosen;
    services_.playSound(soundPath_);
}

} // namespace tamberlight
