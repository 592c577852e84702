// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace tamberlight {

// Runs an event's work at the handler boundary: a failure ends it with one line for the user,
// and the window goes on.
using RunHandler = std::function<void(const std::function<void()>& work)>;

} // namespace tamberlight
