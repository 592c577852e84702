// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
// The settings file as start-up reads it: the reader's lines and fields, the character-set
// decoding, the number conversions on the fields, and the whole load on a window; then a save
// and a second load, which must give back what the first one read.

#include "app/clock_window.h"
#include "fuzz_support.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "settings/charset.h"
#include "settings/settings_file.h"
#include "settings/settings_reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tamberlight {
namespace {

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        std::uint32_t code = lead;
        std::uint32_t minimum = 0;
        if (lead >= 0x80) {
            if ((lead & 0xE0U) == 0xC0U) {
                length = 2;
                code = lead & 0x1FU;
                minimum = 0x80;
            } else if ((lead & 0xF0U) == 0xE0U) {
                length = 3;
                code = lead & 0x0FU;
                minimum = 0x800;
            } else if ((lead & 0xF8U) == 0xF0U) {
                length = 4;
                code = lead & 0x07U;
                minimum = 0x10000;
            } else {
                return false;
            }
            if (text.size() - i < length)
                return false;
            for (std::size_t k = 1; k < length; ++k) {
                const auto next = static_cast<unsigned char>(text[i + k]);
                if ((next & 0xC0U) != 0x80U)
                    return false;
                code = code << 6 | (next & 0x3FU);
            }
            if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                return false;
        }
        i += length;
    }
    return true;
}

// What the loader does with a field, and what the writer gives back for the number it read.
void convertField(std::string_view field) {
    const bool leading = startsWithNumber(field);
    const double value = numericValue(field);
    REQUIRE(leading || value == 0.0);
    REQUIRE(!isNumeric(field) || leading);
    REQUIRE(!std::isnan(value));
    try {
        (void)toInt16(value);
    } catch (const PlatformError&) {
    }
    try {
        (void)toInt32(value);
    } catch (const PlatformError&) {
    }
    if (!std::isfinite(value))
        return;
    const std::string text = numberText(value);
    REQUIRE(isNumeric(text));
    const double back = numericValue(text);
    // A value that single precision holds is written with its single-precision digits.
    if (static_cast<double>(static_cast<float>(value)) == value)
        REQUIRE(static_cast<float>(back) == static_cast<float>(value));
    else
        REQUIRE(back == value);
}

// The length of the line break at a place where a line ended before the file's end: CR LF, a
// lone CR or a lone LF.
std::size_t lineBreakAt(std::string_view bytes, std::size_t at) {
    if (at >= bytes.size())
        return 0;
    const std::size_t length = bytes.substr(at).starts_with("\r\n") ? 2 : 1;
    REQUIRE(bytes[at] == '\r' || bytes[at] == '\n');
    return length;
}

// Every line in turn; with the breaks the reader consumed they make up the whole file.
void readLines(std::string_view bytes) {
    SettingsReader reader(bytes);
    std::size_t consumed = 0;
    while (const auto line = reader.readLine()) {
        REQUIRE(line->find_first_of("\r\n") == std::string::npos);
        REQUIRE(bytes.substr(consumed, line->size()) == *line);
        consumed += line->size();
        consumed += lineBreakAt(bytes, consumed);
        const std::string text = decodeFromFile(*line, charsetOf(bytes));
        REQUIRE(isUtf8(text));
        REQUIRE(!isUtf8(bytes) || text == *line);
    }
    REQUIRE(consumed == bytes.size());
    REQUIRE(reader.atEnd());
}

// Every field in turn; with the spaces before them and the commas and breaks the reader consumed
// they make up the whole file.
void readFields(std::string_view bytes) {
    SettingsReader reader(bytes);
    std::size_t consumed = 0;
    const auto skipSpaces = [&] {
        while (consumed < bytes.size() && bytes[consumed] == ' ')
            ++consumed;
    };
    while (const auto field = reader.readField()) {
        REQUIRE(field->find_first_of(",\r\n") == std::string::npos);
        skipSpaces();
        REQUIRE(bytes.substr(consumed, field->size()) == *field);
        consumed += field->size();
        if (consumed < bytes.size() && bytes[consumed] == ',') {
            ++consumed;
        } else if (consumed < bytes.size()) {
            consumed += lineBreakAt(bytes, consumed);
        }
        convertField(*field);
    }
    skipSpaces();
    REQUIRE(consumed == bytes.size());
    REQUIRE(reader.atEnd());
}

void load(std::string_view bytes) {
    const std::optional<SettingsFile> file = SettingsFile::read(bytes);
    if (file) {
        for (const auto& value : {file->top, file->left, file->width, file->height})
            REQUIRE(!value || std::isfinite(*value));
        REQUIRE(SettingsFile::read(file->bytes())->schedule == file->schedule);
    }
    test::FakeServices services;
    // A path of odd length names no picture.
    services.pictureLoader = [](const std::string& path) -> PictureHandle {
        if (path.size() % 2 != 0)
            throw PlatformError("no picture in " + path);
        return std::make_shared<test::PathPicture>(path);
    };
    ClockWindow window{services};
    window.readSettings(bytes);
    REQUIRE(isUtf8(window.picturePath()));
    REQUIRE(isUtf8(window.soundPath()));
    REQUIRE(isUtf8(window.scheduleBox.text()));
    REQUIRE(window.applyButton.visible == file.has_value());
    REQUIRE((window.picture.picture != nullptr) ==
            (!window.picturePath().empty() && window.picturePath().size() % 2 == 0));

    // What a save writes, a load reads back as it was.
    const std::string saved = window.settingsBytes();
    ClockWindow again{services};
    again.readSettings(saved);
    REQUIRE(again.settingsBytes() == saved);
}

} // namespace
} // namespace tamberlight

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tamberlight::readLines(bytes);
    tamberlight::readFields(bytes);
    tamberlight::load(bytes);
    return 0;
}
