// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "settings/settings_file.h"

#include "platform/conversions.h"
#include "settings/charset.h"
#include "settings/settings_reader.h"

#include <cmath>
#include <limits>

namespace tamberlight {

namespace {

constexpr std::string_view CrLf = "\r\n";
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

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

// The picture's offset: a number outside 16 bits keeps the window's own.
std::optional<std::int16_t> offsetValue(const std::optional<std::string>& field) {
    try {
        if (field)
            return toInt16(numericValue(*field));
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

} // namespace

std::optional<SettingsFile> SettingsFile::read(std::string_view bytes) {
    // Editors on Linux may start a UTF-8 file with a byte order mark; it is no part of the path.
    while (bytes.starts_with(Utf8ByteOrderMark))
        bytes.remove_prefix(Utf8ByteOrderMark.size());
    if (bytes.empty())
        return std::nullopt;
    SettingsReader file(bytes);
    const FileCharset charset = charsetOf(bytes);
    SettingsFile read;
    if (auto line = file.readLine())
        read.picturePath = decodeFromFile(*line, charset);
    if (auto line = file.readLine())
        read.soundPath = decodeFromFile(*line, charset);
    read.top = windowValue(file.readField());
    read.left = windowValue(file.readField());
    read.width = windowValue(file.readField());
    read.height = windowValue(file.readField());
    read.pictureOffset = offsetValue(file.readField());
    // The schedule's lines are joined again with CR LF; the break the writer put after the
    // text ends its last line, so the text comes back exactly as it was saved.
    for (bool first = true; auto line = file.readLine(); first = false) {
        if (!first)
            read.schedule += CrLf;
        read.schedule += decodeFromFile(*line, charset);
    }
    return read;
}

std::string SettingsFile::bytes() const {
    std::string text;
    text.reserve(schedule.size() + 256);
    for (const std::optional<std::string>& line : {picturePath, soundPath}) {
        text += line.value_or("");
        text += CrLf;
    }
    for (const std::optional<float>& value : {top, left, width, height}) {
        text += numberText(value.value_or(0));
        text += CrLf;
    }
    text += numberText(pictureOffset.value_or(0));
    text += CrLf;
    text += schedule;
    text += CrLf;
    return text;
}

} // namespace tamberlight
