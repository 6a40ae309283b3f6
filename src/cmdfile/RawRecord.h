#pragma once

#include "cmdfile/Format.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vocabrella {

// A counted string as it stands in the file: its bytes with the prefix, and its text
// (Windows-1252 bytes). Copying the raw bytes keeps a record byte for byte, whatever prefix
// width the writer of the file chose.
struct RawString {
    std::span<const std::uint8_t> raw;
    std::string_view text;
};

// The layout of one command record, every field where it stands in the image, as the family's
// RecordCodec scans it.
struct RawRecord {
    std::uint32_t offset = 0; // 1-based position of the name's prefix
    RawString name;
    std::span<const std::uint8_t> listCountLong;
    std::vector<RawString> listNames;
    RawString description;
    RawString group;
    std::uint8_t scopeByte = 0;
    std::span<const std::uint8_t> reservedAfterScope; // 12 bytes from 7.x on, else empty
    std::vector<RawString> scopeStrings;              // module, description, company[, title, class]
    std::span<const std::uint8_t> stateCountLong;     // from 8/9 on, else empty
    std::vector<RawString> stateNames;
    std::uint8_t kindByte = 0;
    std::uint32_t kindEndPosition = 0; // just after the kind byte
    std::uint8_t encryptionFlag = 0;   // 10/11/12/13 only, else 0
    std::span<const std::uint8_t> afterKind; // the 8 reserved bytes, or the 7 bytes and block of an encrypted body
    std::uint32_t bodyPosition = 0;
    std::span<const std::uint8_t> body; // the whole body as it stands
    // Kind 1: the formatted part (with its Count) and the plain text; kinds 4, 16, 17: the text.
    std::span<const std::uint8_t> formatted;
    RawString text;
    std::size_t end = 0; // 0-based index just after the record

    std::uint8_t scope() const { return scopeByte & 0x7F; }
    bool skipped() const { return (scopeByte & format::kSkippedRecordBit) != 0; }
    bool encrypted() const { return encryptionFlag != 0; }
};

// One LIST record at the cursor.
struct RawList {
    std::uint32_t offset = 0;
    RawString name;
    std::vector<RawString> items;
    std::span<const std::uint8_t> whole; // the record as it stands
};

// The names a command name refers to: each text between "<" and the next ">", in order.
std::vector<std::string_view> listReferences(std::string_view name);

} // namespace vocabrella
