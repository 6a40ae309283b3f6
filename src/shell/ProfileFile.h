#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// An initialisation file read and written the way the Windows private-profile functions do it,
// because Dragon's ini files and Vocabrella.INI were made for those functions:
// - section and key names are compared without regard to case (ASCII), and trimmed;
// - a section header runs from "[" to the last "]" on its line, so a section may be named by a
//   full path; lines before the first header belong to no section;
// - a value is the text after the first "=", trimmed; a line beginning with ";" is a comment;
// - a read returns at most 249 bytes (the 250-byte buffer less its terminator), never cutting a
//   UTF-8 character in two;
// - a write keeps every other line as it was, replaces the first matching key in place, adds a
//   missing key after the last line of its section and a missing section at the end of the file.
// The file is read afresh on every call and replaced atomically on every write, so two programs
// sharing it (Dragon and Vocabrella) see each other's changes.
class ProfileFile {
public:
    static constexpr std::size_t kBufferSize = 250;
    static constexpr std::size_t kMaxValue = kBufferSize - 1;

    explicit ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}
    const std::filesystem::path& path() const { return path_; }

    // The value, or "" when the file, the section or the key is missing.
    std::string read(std::string_view section, std::string_view key) const;
    // False when nothing was written: the folder or file cannot be written, or a name or value
    // would change the file's structure (a line break anywhere, "=" in a key, a key beginning
    // with "[" or ";", an empty section or key).
    bool write(std::string_view section, std::string_view key, std::string_view value) const;

    // Section names in file order, and the key names of one section (as spelt in the file).
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

    static bool sameName(std::string_view a, std::string_view b);

private:
    std::filesystem::path path_;
};

// A value read as a boolean, accepting what was ever written for one: "True" or "False" in any
// letter case, or a number (0 false, any other true). Nothing for other text.
std::optional<bool> profileBoolean(std::string_view value);
// A value read as a whole number: decimal, rounded to the nearest integer with halves to even.
// Nothing for other text or a number out of range.
std::optional<int> profileInteger(std::string_view value);

} // namespace vocabrella
