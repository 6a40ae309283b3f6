#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace vocabrella {

// Files that replace others are written to a temporary file in the same folder, flushed,
// synced and renamed over the target: a crash or a kill leaves the old file or the new one,
// never a mix. Failures throw std::filesystem::filesystem_error and leave the target alone.
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes, bool sync = true);
void writeFileAtomically(const std::filesystem::path& target, std::string_view text, bool sync = true);
void copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to, bool sync = true);

// The whole file; throws std::filesystem::filesystem_error when it cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);

} // namespace vocabrella
