#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace vocabrella::platform {

// A top-level window of the desktop; 0 is no window.
using WindowHandle = std::uint64_t;

// A failed call into Dragon: the error number the control raised and its description, which
// the program shows as the title of its message.
class DragonError : public std::runtime_error {
public:
    DragonError(std::uint32_t code, const std::string& description) : std::runtime_error(description), code_(code) {}
    std::uint32_t code() const { return code_; }

    static constexpr std::uint32_t kNotInstalled = 0x80040154;      // the control's class is not registered
    static constexpr std::uint32_t kRoamingUnavailable = 0x8004041A; // a roaming user's master is unreachable
    static constexpr std::uint32_t kInvalidArgument = 0x80070057;
    static constexpr std::uint32_t kMenuExists = 0x80040401;

private:
    std::uint32_t code_;
};

// The shell's special-folder locations that Dragon's files hang from.
struct SpecialFolders {
    std::filesystem::path commonAppData; // the common application-data folder
    std::filesystem::path userAppData;   // the user's application-data folder
    std::filesystem::path appData;       // the APPDATA environment value
};

} // namespace vocabrella::platform
