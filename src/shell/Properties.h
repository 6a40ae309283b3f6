#pragma once

#include <filesystem>
#include <string>

namespace vocabrella {

struct FileInformation;

// The lines of the file properties box, joined with CR LF.
std::string propertiesText(const std::filesystem::path& path, const FileInformation& info);

} // namespace vocabrella
