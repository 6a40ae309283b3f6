#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vocabrella {

// File times are kept at full precision as nanoseconds since the Unix epoch.
std::int64_t fileTimeStamp(std::filesystem::file_time_type t);
std::chrono::system_clock::time_point toSystemTime(std::filesystem::file_time_type t);
std::chrono::system_clock::time_point fromStamp(std::int64_t stamp);

// Local time in a strftime format.
std::string localTimeText(std::chrono::system_clock::time_point t, const char* format);
// "mmddyy" in local time: two moments on the same calendar day give the same text.
std::string dayStamp(std::chrono::system_clock::time_point t);
// Local date and time as shown to the user: "12/07/2026 07:11:46".
std::string displayTime(std::chrono::system_clock::time_point t);
std::string displayStamp(std::int64_t stamp);

} // namespace vocabrella
