// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "settings/charset.h"
#include "settings/settings_reader.h"

#include <cmath>
#include <limits>
#include <optional>

namespace tamberlight {

namespace {

constexpr std::string_view CrLf = "\r\n";
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// Runs one step of the reader; a step that fails is skipped and the next one runs.
template <typename Step> void resumeNext(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
        // A damaged or partial file never stops start-up.
    }
}

// A window value from the file, or nothing when the field is missing or holds no number, so
// that the window keeps its own value rather than shrinking to nothing at the corner.
std::optional<float> windowValue(const std::optional<std::string>& field) {
    if (!field || !startsWithNumber(*field))
        return std::nullopt;
    const double value = numericValue(*field);
    if (!(std::fabs(value) <= std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(value);
}

} // namespace

// Lines: picture path, sound path, window Top, Left, Width and Height in twips, the picture
// offset, then the schedule text, each ended by CR LF.
std::string Form1::settingsBytes() const {
    std::string text;
    text.reserve(Text1.Text().size() + PicturePath.size() + SoundPath.size() + 64);
    for (const std::string* line : {&PicturePath, &SoundPath}) {
        text += *line;
        text += CrLf;
    }
    for (const float value : {Top, Left, Width, Height}) {
        text += numberText(value);
        text += CrLf;
    }
    text += numberText(PictureTop);
    text += CrLf;
    text += Text1.Text();
    text += CrLf;
    return text;
}

void Form1::SaveSettings() {
    services_.writeSettingsFile(settingsBytes());
}

void Form1::LoadSettings() {
    std::optional<std::string> bytes;
    try {
        bytes = services_.readSettingsFile();
    } catch (const PlatformError& error) {
        services_.report(std::string(error.what()) +
                         "; the clock starts from its defaults and leaves that file as it is");
    }
    if (bytes)
        readSettings(*bytes);
}

void Form1::readSettings(std::string_view bytes) {
    // Editors on Linux may start a UTF-8 file with a byte order mark; it is no part of the path.
    while (bytes.starts_with(Utf8ByteOrderMark))
        bytes.remove_prefix(Utf8ByteOrderMark.size());
    if (bytes.empty())
        return;
    SettingsReader file(bytes);
    const FileCharset charset = charsetOf(bytes);
    resumeNext([&] {
        if (auto line = file.readLine())
            PicturePath = decodeFromFile(*line, charset);
    });
    resumeNext([&] {
        if (auto line = file.readLine())
            SoundPath = decodeFromFile(*line, charset);
    });
    const std::optional<std::string> top = file.readField();
    const std::optional<std::string> left = file.readField();
    const std::optional<std::string> width = file.readField();
    const std::optional<std::string> height = file.readField();
    resumeNext([&] {
        // A number outside 16 bits fails the read and keeps the offset.
        if (auto field = file.readField())
            PictureTop = toInt16(numericValue(*field));
    });
    // The schedule's lines are joined again with CR LF; the break the writer put after the
    // text ends its last line, so the text comes back exactly as it was saved.
    std::string schedule;
    bool first = true;
    while (auto line = file.readLine()) {
        if (!first)
            schedule += CrLf;
        schedule += decodeFromFile(*line, charset);
        first = false;
    }
    Text1.setText(std::move(schedule));
    if (auto value = windowValue(top))
        Top = *value;
    if (auto value = windowValue(left))
        Left = *value;
    if (auto value = windowValue(width))
        Width = *value;
    if (auto value = windowValue(height))
        Height = *value;
    if (!PicturePath.empty())
        showPicture(PicturePath, "the dial shows no picture");
}

} // namespace tamberlight
