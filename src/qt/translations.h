// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>

namespace tamberlight {

// Qt's own translations for the locale, so that the file and colour dialogs and the boxes'
// menus speak the user's language. False when none is installed for it (the package
// qt6-translations-l10n brings them).
bool installQtTranslations(const QLocale& locale = QLocale());

} // namespace tamberlight
