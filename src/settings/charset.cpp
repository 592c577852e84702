// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "settings/charset.h"

#include <iconv.h>
#include <optional>

namespace tamberlight {

namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool complete =
        result != static_cast<std::size_t>(-1) &&
        ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    if (!complete || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// Length of the valid UTF-8 sequence at the start of text, 0 when it is not valid.
std::size_t utf8Sequence(std::string_view text) {
    const auto c = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1FU;
        minimum = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0FU;
        minimum = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07U;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0U) != 0x80U)
            return 0;
        code = code << 6 | (next & 0x3FU);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool isUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = utf8Sequence(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

// Last resort for bytes that are neither: keep what is valid, mark the rest.
std::string replaceInvalid(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t length = utf8Sequence(text);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            text.remove_prefix(1);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

} // namespace

FileCharset charsetOf(std::string_view file) {
    return isUtf8(file) ? FileCharset::Utf8 : FileCharset::ShiftJis;
}

std::string decodeFromFile(std::string_view bytes, FileCharset charset) {
    if (charset == FileCharset::ShiftJis)
        if (auto converted = convert("UTF-8", "CP932", bytes))
            return *converted;
    return replaceInvalid(bytes);
}

} // namespace tamberlight
