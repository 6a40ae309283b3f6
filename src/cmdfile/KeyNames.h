#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vocabrella {

// Names of the Windows virtual-key codes found in recorder and step-by-step bodies, from the
// text file keynames: line k names key code k.
class KeyNames {
public:
    static constexpr std::size_t kMaxLines = 256;

    // nullopt when the file cannot be read.
    static std::optional<KeyNames> load(const std::filesystem::path& path);
    static KeyNames fromText(std::string_view text);

    // Code 0 and codes beyond the file have the empty name; an empty line names its code "Unknown".
    std::string_view name(std::uint32_t code) const { return code < names_.size() ? names_[code] : std::string_view{}; }

private:
    std::array<std::string, kMaxLines + 1> names_;
};

} // namespace vocabrella
