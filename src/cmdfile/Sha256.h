#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vocabrella {

// The SHA-256 digest of bytes as 64 lower-case hexadecimal digits: what names a version of a
// command file when it is kept, and tells whether a file is still that version.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

} // namespace vocabrella
