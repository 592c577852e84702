// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace tamberlight {

namespace {
constexpr double PixelsPerPoint = 96.0 / 72.0;
constexpr double DefaultPoints = 8.25;
const QString JapaneseGothic = QStringLiteral("ＭＳ Ｐゴシック");

// The installed family that stands for the Japanese gothic.
QString japaneseFamily() {
    static const QString family = [] {
        for (const QString& candidate : QFont::substitutes(JapaneseGothic))
            if (QFontDatabase::hasFamily(candidate))
                return candidate;
        return JapaneseGothic;
    }();
    return family;
}
} // namespace

void installFontSubstitutions() {
    // Qt takes the first of these that is installed; fontconfig knows no alias for the name.
    QFont::insertSubstitutions(
        JapaneseGothic, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                         QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic"),
                         QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP"),
                         QStringLiteral("IPAGothic"), QStringLiteral("Droid Sans Japanese")});
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue")});
}

QFont qtFont(const std::optional<Font>& font) {
    QFont result = QApplication::font();
    double points = DefaultPoints;
    // Japanese characters in the default font ("・off") come from the gothic the captions
    // already use, rather than from whatever second Japanese font fontconfig would load.
    result.setFamilies({result.family(), japaneseFamily()});
    if (font) {
        result.setFamilies({QString::fromStdString(font->Name)});
        result.setWeight(font->Weight >= 700 ? QFont::Bold : QFont::Normal);
        points = font->Size;
    }
    result.setPixelSize(static_cast<int>(std::lround(points * PixelsPerPoint)));
    result.setStyleStrategy(QFont::PreferAntialias);
    return result;
}

} // namespace tamberlight
