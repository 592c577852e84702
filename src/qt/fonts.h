// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include "app/controls.h"

#include <QFont>
#include <optional>

namespace tamberlight {

// Finds the fonts a Linux desktop has for the window's font names: IPAPGothic or another
// Japanese sans for the Japanese proportional gothic, Comic Neue for Comic Sans MS. Done once,
// at the first font asked for; this asks at once.
void resolveFonts();

// The Qt font for a control's font, or the window's default font when it has none. Sizes in
// points are taken at 96 dots per inch, the window's own unit.
QFont qtFont(const std::optional<Font>& font);

} // namespace tamberlight
