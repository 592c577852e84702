// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace tamberlight {

// Closes the window, as its close button does, when the session ends the program with SIGTERM,
// SIGHUP or SIGINT, so that what it would save on closing is saved then too.
void closeOnTermination(QWidget& window);

} // namespace tamberlight
