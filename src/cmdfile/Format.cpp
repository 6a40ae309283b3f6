#include "cmdfile/Format.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"

#include <algorithm>

namespace vocabrella {
namespace {

struct VersionRow {
    std::uint8_t code;
    std::string_view name;
    FileVersionFamily family;
    std::string_view familyName;
};
constexpr std::array<VersionRow, 5> kVersions = {{
    {3, "6.0", FileVersionFamily::V6_0, "6.0"},
    {4, "6.1", FileVersionFamily::V6_1, "6.1"},
    {5, "7.0", FileVersionFamily::V7x, "7.x"},
    {6, "8.0", FileVersionFamily::V8_9, "8/9"},
    {7, "10.0", FileVersionFamily::V10_13, "10/11/12/13"},
}};

struct LanguageRow {
    std::uint8_t code;
    std::string_view name;
};
constexpr std::array<LanguageRow, 5> kLanguages = {{
    {9, "English"}, {7, "German"}, {10, "Spanish"}, {12, "French"}, {19, "Dutch"}}};

struct TypeRow {
    std::string_view code;
    std::string_view display;
    std::uint8_t kind;
};
constexpr std::array<TypeRow, 8> kTypes = {{
    {"K", "KEYS", kind::Keys},
    {"S", "SCRIPT", kind::Script},
    {"T", "Text & Graphics", kind::Text},
    {"P", "Plain Text", kind::Text},
    {"R", "Macro Recorder", kind::Recorder},
    {"X", "Step by Step", kind::StepByStep},
    {"A", "Advanced Script", kind::Advanced},
    {"L", "LIST", 0},
}};

} // namespace

std::string_view familyName(FileVersionFamily family) {
    for (const auto& v : kVersions)
        if (v.family == family) return v.familyName;
    return {};
}

std::optional<FileVersionFamily> familyForCode(std::uint8_t code) {
    for (const auto& v : kVersions)
        if (v.code == code) return v.family;
    return std::nullopt;
}

std::string_view versionNameForCode(std::uint8_t code) {
    for (const auto& v : kVersions)
        if (v.code == code) return v.name;
    return {};
}

std::optional<std::uint8_t> versionCodeForName(std::string_view name) {
    for (const auto& v : kVersions)
        if (v.name == name || v.familyName == name) return v.code;
    return std::nullopt;
}

std::string_view languageName(std::uint8_t code) {
    for (const auto& l : kLanguages)
        if (l.code == code) return l.name;
    return "Unknown";
}

std::optional<std::uint8_t> languageCodeForName(std::string_view name) {
    for (const auto& l : kLanguages)
        if (l.name == name) return l.code;
    return std::nullopt;
}

std::optional<std::uint8_t> languageCodeForId(std::uint16_t languageId) {
    const unsigned primary = languageId & 0x3FFu; // the sublanguage is in the bits above
    for (const auto& l : kLanguages)
        if (l.code == primary) return l.code;
    return std::nullopt;
}

std::array<std::uint8_t, format::kHeaderSize> format::newHeader(std::uint8_t versionCode,
                                                                std::uint8_t languageCode) {
    std::array<std::uint8_t, kHeaderSize> h = {76, 72, 83, 80, 4, 2, 135, 0, 0, 0, 0,
                                               0,  0,  0,  0,  9, 4, 0,   0, 0, 0};
    h[kVersionOffset] = versionCode;
    h[kLanguageOffset] = languageCode;
    return h;
}

std::string_view typeCodeForKind(std::uint8_t kindByte, std::uint32_t graphicLength) {
    if (kindByte == kind::Text) return graphicLength == 0 ? "P" : "T";
    for (const auto& t : kTypes)
        if (t.kind == kindByte && kindByte != 0) return t.code;
    return {};
}

std::optional<std::uint8_t> kindForTypeCode(std::string_view code) {
    for (const auto& t : kTypes)
        if (t.code == code && t.kind != 0) return t.kind;
    return std::nullopt;
}

std::string_view typeDisplayName(std::string_view code) {
    for (const auto& t : kTypes)
        if (t.code == code) return t.display;
    return {};
}

FileHeader readHeader(std::span<const std::uint8_t> image) {
    ByteReader r(image);
    for (std::uint8_t m : format::kMagic)
        if (r.readByte("the file signature LHSP") != m)
            throw FormatError(r.position() - 1, "the file signature LHSP");
    FileHeader h;
    h.versionCode = r.readByte("the version code");
    const auto family = familyForCode(h.versionCode);
    if (!family) throw FormatError(r.position() - 1, "a version code from 3 to 7");
    h.family = *family;
    r.skip(format::kLanguageOffset - r.cursor(), "the file header");
    h.languageCode = r.readByte("the language code");
    r.skip(1, "the file header");
    h.declaredCommands = r.readLong("the command count") & 0xFFFF;
    return h;
}

bool names::isGlobalProgram(std::string_view program) {
    return program == GlobalCommands || program == GlobalCommandsDutch;
}

} // namespace vocabrella
