#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// Makes a body end in exactly one CR LF.
std::string NormalizeBodyEnding(std::string_view text);

// The items of a LIST body: its lines, without trailing blanks, tabs and empty lines at the end.
std::vector<std::string> listItems(std::string_view body);

} // namespace vocabrella
