// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tamberlight {

// Sound files and the beep.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void play(const std::string& path) = 0;
    virtual void beep() = 0;
    // Ends every sound at once, each audio object stopped before it goes: the audio libraries
    // must not be left feeding a stream while the program ends.
    virtual void stop() = 0;
};

// Tells the user of a failure in one line.
using ErrorSink = std::function<void(const std::string& message)>;

// The sound layer lives in a module of its own, loaded on the first sound: the media framework
// and its audio libraries would otherwise cost every start-up time and memory that a clock
// needs only at its first alarm. Without the module the toolkit's bell stands for every sound,
// and one line says why. A sound that cannot be played says why through the sink.
std::unique_ptr<Sound> loadSound(const ErrorSink& report);

} // namespace tamberlight
