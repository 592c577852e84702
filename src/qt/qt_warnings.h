// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

namespace tamberlight {

// Keeps Qt's own warnings about what the program tells in its own words out of the user's
// terminal: the audio server that is not there, a file that could not be opened, the media
// framework's details. Every other message goes where Qt would send it.
void keepQtsOwnWarningsOut();

} // namespace tamberlight
