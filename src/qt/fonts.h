// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/controls.h"

#include <QFont>
#include <optional>

namespace tamberlight {

// Maps the window's font names onto fonts a Linux desktop has: the Japanese proportional
// gothic onto IPAPGothic or another Japanese sans, Comic Sans MS onto Comic Neue.
void installFontSubstitutions();

// The Qt font for a control's font, or the window's default font when it has none. Sizes in
// points are taken at 96 dots per inch, the window's own unit.
QFont qtFont(const std::optional<Font>& font);

} // namespace tamberlight
