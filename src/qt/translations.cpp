// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tamberlight {

bool installQtTranslations(const QLocale& locale) {
    // English is what Qt speaks untranslated.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return false;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace tamberlight
