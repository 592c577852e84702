#include "settings/settings_reader.h"

namespace tamberlight {

void SettingsReader::skipLineEnd() {
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') {
        ++pos_;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n')
            ++pos_;
    }
}

std::optional<std::string> SettingsReader::readLine() {
    if (atEnd())
        return std::nullopt;
    const std::size_t end = std::min(bytes_.find('\r', pos_), bytes_.size());
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
    const std::size_t end = std::min(bytes_.find_first_of(",\r", pos_), bytes_.size());
    std::string field(bytes_.substr(pos_, end - pos_));
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_] == ',')
        ++pos_;
    else
        skipLineEnd();
    return field;
}

} // namespace tamberlight
