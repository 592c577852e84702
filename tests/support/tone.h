#pragma once

#include <filesystem>

namespace tamberlight::testing {

// Half a second of a 440 Hz tone, 16-bit mono PCM at 44.1 kHz, as a WAV file.
void writeTone(const std::filesystem::path& path, int amplitude = 16000);

} // namespace tamberlight::testing
