// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// Replays every input of a fuzz target's corpus through the target in the ordinary build, so that
// the corpus guards against regressions without clang. A property that breaks aborts, after the
// input's name.
#include "support/files.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int replayed = 0;
    for (const auto& input : std::filesystem::directory_iterator(argc > 1 ? argv[1] : ".")) {
        const std::string bytes = tamberlight::test::readAll(input.path());
        std::fprintf(stderr, "%s\n", input.path().c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
