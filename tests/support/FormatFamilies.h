// One battery of tests run once per record layout of the command file: the parameter is a
// version code, one for each family the header knows, oldest first.
#pragma once

#include "cmdfile/Format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace vocabrella::testsupport {

// The first version code of each family, so that a family added to the format is tested too.
inline std::vector<std::uint8_t> familyVersionCodes() {
    std::vector<std::uint8_t> codes;
    std::vector<FileVersionFamily> seen;
    for (int code = 0; code <= 255; ++code) {
        const auto family = familyForCode(static_cast<std::uint8_t>(code));
        if (!family || std::find(seen.begin(), seen.end(), *family) != seen.end()) continue;
        seen.push_back(*family);
        codes.push_back(static_cast<std::uint8_t>(code));
    }
    return codes;
}

// "Family6_0" ... "Family10_11_12_13": the family's own name, spelled as a test name.
inline std::string familyTestName(const ::testing::TestParamInfo<std::uint8_t>& info) {
    std::string name = "Family";
    for (const char c : familyName(*familyForCode(info.param)))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

} // namespace vocabrella::testsupport
