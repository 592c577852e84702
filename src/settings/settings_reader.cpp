// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "settings/settings_reader.h"

#include <algorithm>

namespace tamberlight {

void SettingsReader::skipLineEnd() {
    const std::string_view rest = bytes_.substr(std::min(pos_, bytes_.size()));
    pos_ += rest.starts_with("\r\n") ? 2 : rest.starts_with('\r') || rest.starts_with('\n') ? 1 : 0;
}

// The next CR and the next LF are each looked for once and kept until passed: a search for
// either at every line would make a file of many short lines slow.
std::size_t SettingsReader::lineEnd() {
    if (!searched_ || nextCr_ < pos_)
        nextCr_ = bytes_.find('\r', pos_);
    if (!searched_ || nextLf_ < pos_)
        nextLf_ = bytes_.find('\n', pos_);
    searched_ = true;
    return std::min({nextCr_, nextLf_, bytes_.size()});
}

std::optional<std::string> SettingsReader::readLine() {
    if (atEnd())
        return std::nullopt;
    const std::size_t end = lineEnd();
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
    const std::size_t end = std::min(bytes_.find(',', pos_), lineEnd());
    std::string field(bytes_.substr(pos_, end - pos_));
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_] == ',')
        ++pos_;
    else
        skipLineEnd();
    return field;
}

} // namespace tamberlight
