#pragma once

#include <string>
#include <string_view>

namespace vocabrella {

// duplicate.log, written by the reader and by the export: the heading that goes before the
// first line, and one line per record met while a row of the same program, scope and name is
// already stored. Texts are UTF-8; columns are counted in characters.
std::string duplicateLogHeading();
std::string duplicateLogLine(std::string_view storedFilename, std::string_view storedType, std::string_view name,
                             std::string_view program, std::string_view state);

} // namespace vocabrella
