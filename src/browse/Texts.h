#pragma once

#include <string_view>

// The texts of what is shown of the store, each in one place.
namespace vocabrella::browse::texts {

// The body of a Text & Graphics command: its plain text follows the size of its formatted part.
inline constexpr std::string_view GraphicNotShownPrefix = "<<< ";
inline constexpr std::string_view GraphicNotShownSuffix = " byte graphic not shown >>> ";

} // namespace vocabrella::browse::texts
