#include "support/tone.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>

namespace tamberlight::testing {

void writeTone(const std::filesystem::path& path, int amplitude) {
    const std::uint32_t rate = 44100;
    const std::uint32_t samples = rate / 2;
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + samples * 2);
    out.write("WAVEfmt ", 8);
    for (const std::uint32_t v : {16U, 1U | 1U << 16, rate, rate * 2, 2U | 16U << 16})
        u32(v);
    out.write("data", 4);
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(
            amplitude * std::sin(2 * std::numbers::pi * 440 * i / rate))));
}

} // namespace tamberlight::testing
