#include "cmdfile/Errors.h"

namespace vocabrella {

FormatError::FormatError(std::uint64_t position, std::string expected)
    : std::runtime_error("at byte " + std::to_string(position) + ": expected " + expected),
      position_(position), expected_(std::move(expected)) {}

} // namespace vocabrella
