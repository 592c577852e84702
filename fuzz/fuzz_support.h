#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

// A property that does not hold is a finding like a crash: libFuzzer keeps the input that broke
// it when the process aborts.
#define REQUIRE(condition)                                                                         \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: does not hold: %s\n", __FILE__, __LINE__, #condition);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace tamberlight::fuzzing {

// A directory for the settings file that saves write, made under the temporary folder on first
// use and removed when the fuzzer ends normally. Point TMPDIR at a tmpfs to keep the saves cheap.
inline const std::string& scratchDirectory() {
    struct Scratch {
        Scratch() {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "tamberlight-fuzz-XXXXXX").string();
            if (::mkdtemp(pattern.data()) == nullptr)
                throw std::runtime_error("cannot make a scratch directory");
            path = pattern;
        }
        ~Scratch() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
        std::string path;
    };
    static const Scratch scratch;
    return scratch.path;
}

} // namespace tamberlight::fuzzing
