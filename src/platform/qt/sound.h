#pragma once

#include <memory>
#include <string>

namespace tamberlight {

// Sound files and the beep.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void play(const std::string& path) = 0;
    virtual void beep() = 0;
};

// The sound layer lives in a module of its own, loaded on the first sound: the media framework
// and its audio libraries would otherwise cost every start-up time and memory that a clock
// needs only at its first alarm. Without the module the toolkit's bell stands for every sound,
// and one line on standard error says why.
std::unique_ptr<Sound> loadSound();

} // namespace tamberlight
