// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// A shared clock's payload as a follower receives it from the broker, whoever sent it: the
// decoder takes it or not, and what it takes encodes back to a payload that decodes the same.
// Then a follower's room and window take it.
#include "app/clock_window.h"
#include "fuzz_support.h"
#include "share/clock_message.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tamberlight;
    const std::string_view payload(reinterpret_cast<const char*>(data), size);
    const std::optional<ClockMessage> message = decodeClockMessage(payload);
    if (message) {
        REQUIRE(size <= MaxClockMessageBytes);
        REQUIRE(message->clock.size() == 5 && !message->leader.empty());
        REQUIRE(decodeClockMessage(encodeClockMessage(*message)) == message);
    }
    test::FakeServices services;
    ClockWindow window{services};
    window.scheduleBox.setText("t\r\n00:00 a\r\n12:30 b");
    window.applySchedule();
    // An identity longer than any leader's: no message is this window's own.
    window.room().join(false, "room", "h:1", std::string(200, 'm'), window.ownClockMessage(false),
                       0);
    window.room().linkUp(0);
    const Room::Effects taken = window.room().clockMessage(payload, false, 0);
    REQUIRE(taken.show.has_value() == message.has_value());
    REQUIRE(taken.tell.size() == (message ? 0U : 1U));
    if (message) {
        window.showRoom(*taken.show);
        REQUIRE(window.clockShadow.caption == message->clock);
        REQUIRE(window.stoppedMark.visible == !message->running);
        REQUIRE(!window.room().clockMessage(payload, false, 0).show); // taken once
    }
    return 0;
}
