// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "settings/settings_reader.h"

namespace tamberlight {

void SettingsReader::skipLineEnd() {
    const std::string_view rest = bytes_.substr(std::min(pos_, bytes_.size()));
    pos_ += rest.starts_with("\r\n") ? 2 : rest.starts_with('\r') || rest.starts_with('\n') ? 1 : 0;
}

std::optional<std::string> SettingsReader::readLine() {
    if (atEnd())
        return std::nullopt;
    const std::size_t end = std::min(bytes_.find_first_of("\r\n", pos_), bytes_.size());
    std::string line(bytes_.substr(pos_, end - pos_));
    pos_ = end;
    skipLineEnd();
    return line;
}

std::optional<std::string> SettingsReader::readField() {
    while (pos_ < bytes_.size() && bytes_[pos_] == ' ')
        ++pos_;
    if (atEnd())
        return std::nullopt;
    const std::size_t end = std::min(bytes_.find_first_of(",\r\n", pos_), bytes_.size());
    std::string field(bytes_.substr(pos_, end - pos_));
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_] == ',')
        ++pos_;
    else
        skipLineEnd();
    return field;
}

} // namespace tamberlight
