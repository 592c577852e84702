// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QObject;

namespace tamberlight {

// Runs end on the event loop, for as long as the context lives, when the session ends the
// program with SIGTERM, SIGHUP or SIGINT, so that what the window would save on closing is saved
// then too.
void onTermination(QObject& context, std::function<void()> end);

} // namespace tamberlight
