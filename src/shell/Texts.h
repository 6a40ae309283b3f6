#pragma once

#include <string_view>

// The program's own texts used by the running program, each in one place.
namespace vocabrella::texts {

inline constexpr std::string_view AlreadyRunning = "Vocabrella is already running";
inline constexpr std::string_view StoreMissing = "Required Vocabrella file global.mdb missing--reinstall";
inline constexpr std::string_view StoreCannotOpen = "Could not open global.mdb database, sorry";
inline constexpr std::string_view StoreCannotOpenTitle = "VBL will now exit";
inline constexpr std::string_view FileDoesNotExist = "File does not exist";
inline constexpr std::string_view ParseProblem = "The above file has a problem - parsing error";

} // namespace vocabrella::texts
