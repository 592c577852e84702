// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// A shared clock's payload as a follower receives it from the broker, whoever sent it: the
// decoder takes it or not, and what it takes encodes back to a payload that decodes the same.
// Then a follower's window takes it, as it would from the room.
#include "app/form1.h"
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
    Form1 form{services};
    form.LineBreak = "\r\n";
    form.Text1.setText("t\r\n00:00 a\r\n12:30 b");
    form.Command5_Click();
    form.startFollowing();
    const Form1::Followed taken = form.followLeader(payload, true);
    REQUIRE((taken == Form1::Followed::Applied) == message.has_value());
    if (message) {
        REQUIRE(form.Label1.Caption == message->clock);
        REQUIRE(form.Label7.Visible == !message->running);
        REQUIRE(form.followLeader(payload, true) == Form1::Followed::Stale);
    }
    return 0;
}
