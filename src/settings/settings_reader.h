// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlight {

// Reads the settings file's bytes in order, a line or a field at a time. A line ends at CR LF,
// at a lone CR, at a lone LF (a file edited on Linux) or at the end of the file. A field starts
// after any spaces and ends at a comma or at the end of its line; the comma or line end is
// consumed. Both give nothing once the file has ended.
class SettingsReader {
public:
    explicit SettingsReader(std::string_view bytes)
        : bytes_(bytes) {}

    std::optional<std::string> readLine();
    std::optional<std::string> readField();
    bool atEnd() const { return pos_ >= bytes_.size(); }

private:
    void skipLineEnd();
    std::size_t lineEnd();

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t nextCr_ = 0, nextLf_ = 0;
    bool searched_ = false;
};

} // namespace tamberlight
