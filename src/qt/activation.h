// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QWidget;

namespace tamberlight {

// Brings the window to the front for a later start, as far as the desktop allows, with the
// token the desktop gave that start: on X11 its start-up id (the window takes it as its own,
// asks the window manager for activation with the time of the user's launch, and ends the
// launch feedback); on Wayland its activation token, which Qt presents from version 6.5 on.
void bringToFront(QWidget& window, const QByteArray& token);

} // namespace tamberlight
