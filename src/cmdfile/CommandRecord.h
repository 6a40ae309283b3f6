#pragma once

#include "cmdfile/Format.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

class ByteReader;
class KeyNames;
class UnknownStepReport;

// The values of the command record last read. Texts are UTF-8; positions are 1-based.
struct CurrentRecord {
    std::string program;   // "Global Commands", or the module name as read
    std::string state;     // "Global Commands", "Application-specific" or the window title
    std::string name;
    std::string typeCode;  // "" for an unknown kind byte
    std::string body;      // the script value
    std::string scopeCode; // "G", "A", "W", or "" for an unknown scope
    std::string group;
    std::uint32_t listCount = 0;
    std::vector<std::string> listNames;
    std::uint32_t offset = 0;
    std::uint32_t bodyPosition = 0;
    std::uint32_t scopePosition = 0;
    std::uint32_t kindEndPosition = 0;
    std::vector<std::string> stateNames;
    std::string stateIds; // "3,7," once resolved against the store
    std::string description;
    std::uint32_t graphicLength = 0;
    std::string programDescription, companyName, windowClass;
    std::uint32_t programDescriptionLength = 0, companyNameLength = 0, windowClassLength = 0;
    std::uint8_t scopeByte = 0;
    std::uint8_t kindByte = 0;
    bool encrypted = false;
    bool skipped = false;   // bit 7 of the scope byte: read through, never stored
    std::string_view rawName; // the name's bytes in the image, for diagnostics

    // Empties every value but keeps the strings' storage for the next record.
    void clear();
};

// What a record needs besides its bytes: the key names and a way to report unknown steps.
struct RecordContext {
    FileVersionFamily family;
    const KeyNames& keys;
    UnknownStepReport& unknownSteps;
};

// A name is acceptable when none of its bytes is below 32.
bool nameIsAcceptable(std::string_view rawName);

// Reads one command record at the reader's cursor into rec with the codec of the context's
// family (RecordCodec::read).
bool readCommandRecord(ByteReader& reader, const RecordContext& context, CurrentRecord& rec);

// Reads the LIST record at the cursor (RecordCodec::readList).
bool readListRecord(ByteReader& reader, CurrentRecord& rec);

} // namespace vocabrella
