// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

// The clock as a leading window publishes it for the windows that follow, and for any other
// tool that reads it: one small JSON object, for example
//   {"v":1,"clock":"18:30","interval_ms":1492,"running":true,"kind":"tick","seq":42,
//    "leader":"hall-pc-4711-9f3a","since":1796601600000,"term":2,"day":3,"base":18}
// The last four may be missing: a reader takes what is there.
struct ClockMessage {
    std::string clock;           // the clock text, HH:MM
    std::int32_t intervalMs = 0; // the leader's tick interval in milliseconds
    bool running = false;        // whether the leader's clock runs
    bool tick = false;           // a tick of the clock, or a jump (base hour, interval, stop)
    std::uint64_t sequence = 0;  // grows by one with every message of one leader
    std::string leader;          // the leader's identity
    std::uint64_t since = 0;     // when it began to lead, in milliseconds since 1970 (0: unknown)
    std::uint32_t term = 0;      // grows by one each time the room's leader is taken over
    std::uint32_t day = 0;       // grows when the leader's clock passes midnight or a base hour
    int baseHour = -1;           // the leader's last base hour, -1 when it set none

    bool operator==(const ClockMessage&) const = default;
};

// Longer payloads are no clock message.
inline constexpr std::size_t MaxClockMessageBytes = 4096;

std::string encodeClockMessage(const ClockMessage& message);
// Text as a JSON string, quotes and escapes included.
void appendJsonString(std::string& out, std::string_view text);

// Nothing for a payload that is no clock message: too long, not a JSON object, a field
// missing, of the wrong type or out of range. Fields it does not know are passed over, so that
// a later version may add some.
std::optional<ClockMessage> decodeClockMessage(std::string_view payload);

} // namespace tamberlight
