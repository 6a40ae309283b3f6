#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vocabrella {

// Record layout families, selected by the header's version code; each has its RecordCodec.
enum class FileVersionFamily { V6_0, V6_1, V7x, V8_9, V10_13 };

std::string_view familyName(FileVersionFamily family); // "6.0", "6.1", "7.x", "8/9", "10/11/12/13"
std::optional<FileVersionFamily> familyForCode(std::uint8_t versionCode);
std::string_view versionNameForCode(std::uint8_t versionCode); // "6.0" ... "10.0"; empty when unknown
std::optional<std::uint8_t> versionCodeForName(std::string_view versionName);

std::string_view languageName(std::uint8_t languageCode); // "English" ... or "Unknown"
std::optional<std::uint8_t> languageCodeForName(std::string_view languageName);
// The language code of a Windows language identifier (0x809: 9) when its primary language is
// one of the table's; nothing for any other.
std::optional<std::uint8_t> languageCodeForId(std::uint16_t languageId);

namespace format {
inline constexpr std::size_t kHeaderSize = 21;
inline constexpr std::size_t kVersionOffset = 4;
inline constexpr std::size_t kLanguageOffset = 15;
inline constexpr std::size_t kCommandCountOffset = 17;
inline constexpr std::array<std::uint8_t, 4> kMagic = {76, 72, 83, 80};
inline constexpr std::size_t kScopeReserved = 12;
inline constexpr std::size_t kKindReserved = 8;
inline constexpr std::size_t kEncryptionPrefix = 7;
inline constexpr std::uint8_t kSkippedRecordBit = 128;

// The header of a new file, with the version and language codes put in.
std::array<std::uint8_t, kHeaderSize> newHeader(std::uint8_t versionCode, std::uint8_t languageCode);
} // namespace format

// Kind bytes and the Type codes they select.
namespace kind {
inline constexpr std::uint8_t Text = 1;
inline constexpr std::uint8_t Recorder = 2;
inline constexpr std::uint8_t StepByStep = 3;
inline constexpr std::uint8_t Advanced = 4;
inline constexpr std::uint8_t Script = 16;
inline constexpr std::uint8_t Keys = 17;
} // namespace kind

// Type code for a kind byte ("" for an unknown kind; "T" or "P" for text by its graphic length).
std::string_view typeCodeForKind(std::uint8_t kindByte, std::uint32_t graphicLength);
std::optional<std::uint8_t> kindForTypeCode(std::string_view typeCode);
// The display names of the Type codes: K "KEYS", S "SCRIPT" ... L "LIST".
std::string_view typeDisplayName(std::string_view typeCode);

// Parsed header of a command file.
struct FileHeader {
    std::uint8_t versionCode = 0;
    FileVersionFamily family = FileVersionFamily::V10_13;
    std::uint8_t languageCode = 0;
    std::uint32_t declaredCommands = 0; // low 16 bits of the count
};

// Throws FormatError on a short file, a wrong magic or an unknown version code.
FileHeader readHeader(std::span<const std::uint8_t> image);

// Fixed names used by the store and the reader.
namespace names {
inline constexpr std::string_view GlobalCommands = "Global Commands";
inline constexpr std::string_view GlobalCommandsDutch = "Globale opdrachten";
inline constexpr std::string_view ApplicationSpecific = "Application-specific";
inline constexpr std::string_view UserDefined = "User-defined";
inline constexpr std::string_view ListGroup = "Dragon";
inline constexpr std::string_view Asleep = "Asleep";
inline constexpr std::string_view AllGroups = "All groups";
bool isGlobalProgram(std::string_view program);
} // namespace names

} // namespace vocabrella
