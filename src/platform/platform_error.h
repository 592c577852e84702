// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tamberlight {

// Every failing platform operation throws this, saying in the user's words what failed and on
// which file or value. The window catches it at the handler boundary, so a failure ends the
// handler and leaves the state reached so far.
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& what)
        : std::runtime_error(what) {}
};

// Runs a step whose failure the user should hear about together with what happens next.
template <typename Step> void orSay(std::string_view next, Step&& step) {
    try {
        step();
    } catch (const PlatformError& error) {
        throw PlatformError(std::string(error.what()) + "; " + std::string(next));
    }
}

} // namespace tamberlight
