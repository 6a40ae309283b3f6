#pragma once

#include <string_view>

// The program's own texts of the key notation conversion, each in one place.
namespace vocabrella::texts {

inline constexpr std::string_view KeyPatternsMissingTitle = "vbscript.dll not found--needed for this operation";

} // namespace vocabrella::texts
