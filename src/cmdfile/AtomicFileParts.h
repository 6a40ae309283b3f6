#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Helpers shared by the atomic file writing of both systems; not for use elsewhere.
namespace vocabrella::detail {

[[noreturn]] void refuse(const std::filesystem::path& path, std::string_view why);
std::filesystem::path folderOf(const std::filesystem::path& file);
// "." + target's name + ".new-": what every temporary file of target begins with.
std::string temporaryPrefix(const std::filesystem::path& target);

} // namespace vocabrella::detail
