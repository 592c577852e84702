#pragma once

#include <stdexcept>
#include <string>

namespace tamberlight {

// Every failing platform operation throws this. The window catches it at the handler
// boundary, so a failure ends the handler and leaves the state reached so far.
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& what)
        : std::runtime_error(what) {}
};

} // namespace tamberlight
