#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What the program asks of the operating system beyond the C++ library, one source file per
// system (System_posix.cpp, System_win.cpp). Texts are UTF-8 on both sides of this header.
namespace vocabrella::os {

// A path as UTF-8 text, and back: std::filesystem would use the ANSI code page on Windows,
// which loses every character outside it. On Linux both are the bytes as they are.
std::string pathText(const std::filesystem::path& path);
std::filesystem::path pathFrom(std::string_view utf8);

// Whether path is itself a symbolic link (on Windows any reparse point, junctions included),
// looked at without following it; false when nothing is there.
bool isLink(const std::filesystem::path& path);

// This process's identifier, and whether process `pid` is certainly gone (one that exists,
// or that this account may not look at, is not).
std::int64_t currentProcess();
bool processGone(std::int64_t pid);

// The running program's own file.
std::filesystem::path programFile();

// Where the home folder is when neither --home nor VOCABRELLA_HOME names one: the user's
// local application data folder + "Vocabrella" on Windows, the XDG data folder + "vocabrella"
// elsewhere.
std::filesystem::path defaultHomeFolder();

// An environment variable as UTF-8; empty when unset.
std::string environment(const char* name);

// Local time of t.
std::tm localTime(std::time_t t);

// Name and release of the operating system, for the trace.
std::string operatingSystem();

// A new, empty folder in parent whose name starts with prefix, for this run only.
std::filesystem::path makeTemporaryFolder(const std::filesystem::path& parent, std::string_view prefix);

// Starts arguments[0] with the other arguments, without a shell, without a window of its own
// and without waiting for it. The process's identifier, or -1 when it could not be started.
std::int64_t startDetached(const std::vector<std::string>& arguments);
// Lets the system forget a started process that has ended; never waits.
void reapIfFinished(std::int64_t pid);

} // namespace vocabrella::os
