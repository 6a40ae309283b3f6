#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The system side of the event channel: one source file per system.
namespace vocabrella::platform::eventfile {

// Appends line with one write, under an exclusive lock, creating the file.
void appendLine(const std::filesystem::path& file, const std::string& line);

struct End {
    bool present = false;
    std::uintmax_t size = 0, identity = 0;
};
End endOf(const std::filesystem::path& file);

// What file holds from offset on, into added. A file that is another one than `identity`, or
// shorter than offset, is read from its start; offset and identity are then set anew. False
// when the file cannot be read.
bool readAdded(const std::filesystem::path& file, std::uintmax_t& offset, std::uintmax_t& identity, std::string& added);

} // namespace vocabrella::platform::eventfile
