// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>
#include <string>

namespace tamberlight::test {

// A table row's name, from the text it tries: its row number, then the first 32 of its letters
// and digits with anything else as an underscore ("R6_24_01" for "24:01").
template <typename Row> std::string textRowName(const ::testing::TestParamInfo<Row>& row) {
    std::string name = "R" + std::to_string(row.index) + "_";
    for (const char c : std::string(row.param.text).substr(0, 32))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

} // namespace tamberlight::test
