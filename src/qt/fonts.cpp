// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/fonts.h"

#include <QApplication>
#include <QStringList>
#include <cmath>
#include <fontconfig/fontconfig.h>

namespace tamberlight {

namespace {
constexpr double PixelsPerPoint = 96.0 / 72.0;
constexpr double DefaultPoints = 8.25;
const QString JapaneseGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString ComicSans = QStringLiteral("Comic Sans MS");

// The first of the families that is installed, asked of fontconfig once; nothing when none is.
// Handing Qt a family that is installed spares it a search, script by script, for one that
// is not.
std::optional<QString> installed(const QStringList& families, const char* language) {
    FcPattern* wanted = FcPatternCreate();
    for (const QString& family : families)
        FcPatternAddString(wanted, FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcPatternAddString(wanted, FC_LANG, reinterpret_cast<const FcChar8*>(language));
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, wanted, &result);
    std::optional<QString> found;
    FcChar8* family = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
        families.contains(QString::fromUtf8(reinterpret_cast<const char*>(family))))
        found = QString::fromUtf8(reinterpret_cast<const char*>(family));
    if (match != nullptr)
        FcPatternDestroy(match);
    FcPatternDestroy(wanted);
    return found;
}

// The installed families that stand for the window's fonts: the Japanese proportional gothic
// (fontconfig knows no alias for its name) and Comic Sans MS.
struct Families {
    QString japanese, comic;
};

const Families& families() {
    static const Families found{
        installed({QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                   QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic"),
                   QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP"),
                   QStringLiteral("IPAGothic"), QStringLiteral("Droid Sans Japanese")},
                  "ja")
            .value_or(JapaneseGothic),
        installed({QStringLiteral("Comic Neue")}, "en").value_or(ComicSans)};
    return found;
}

QString familyFor(const std::string& name) {
    const QString family = QString::fromStdString(name);
    if (family == JapaneseGothic)
        return families().japanese;
    if (family == ComicSans)
        return families().comic;
    return family;
}
} // namespace

void resolveFonts() {
    families();
}

QFont qtFont(const std::optional<Font>& font) {
    QFont result = QApplication::font();
    double points = DefaultPoints;
    // Japanese characters in the default font ("・off") come from the gothic the captions
    // already use, rather than from whatever second Japanese font fontconfig would load.
    result.setFamilies({result.family(), families().japanese});
    if (font) {
        result.setFamilies({familyFor(font->name)});
        result.setWeight(font->weight >= 700 ? QFont::Bold : QFont::Normal);
        points = font->size;
    }
    result.setPixelSize(static_cast<int>(std::lround(points * PixelsPerPoint)));
    result.setStyleStrategy(QFont::PreferAntialias);
    return result;
}

} // namespace tamberlight
