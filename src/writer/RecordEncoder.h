#pragma once

#include "cmdfile/Format.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vocabrella {

// A new command record: its texts in UTF-8 as the user typed them.
struct NewCommandRecord {
    std::string name;
    std::string description;
    std::string group;   // "User-defined" or empty for none
    std::string program; // "Global Commands" or the module name
    std::string scope;   // "Global Commands", "Application-specific" or a window title
    std::string typeCode; // K, S, A or P
    std::string body;
    // Identity strings of the program, taken from a command of the same program and scope.
    std::string programDescription, companyName, windowClass;
    std::vector<std::string> states; // written by 8/9 and later
};

// The record's bytes in the layout of the family. Throws Refusal for text that cannot be
// stored (no Windows-1252 form, a control byte in the name, more than 20 LIST references, a
// kind that is not written new).
std::vector<std::uint8_t> encodeNewCommand(const NewCommandRecord& record, FileVersionFamily family);

// A new record's texts in the file's code page, checked as every writer checks them, ready to
// be written in any family's layout by its RecordCodec.
class NewRecord {
public:
    // scopeByte 0 writes no scope data, 1 the program's three strings, 2 also the window's two.
    // Throws Refusal as encodeNewCommand does.
    NewRecord(const NewCommandRecord& record, std::uint8_t scopeByte);
    // The whole record around a body laid out for its kind.
    std::vector<std::uint8_t> encode(std::uint8_t kindByte, std::span<const std::uint8_t> body,
                                     FileVersionFamily family) const;

private:
    std::string name_, description_, group_;
    std::uint8_t scopeByte_;
    std::vector<std::string> scopeStrings_, states_;
};

// A LIST record: name, the Long 1, the item count and the items. Throws Refusal as
// checkListItemCount does, and for a name or item the file cannot hold.
std::vector<std::uint8_t> encodeList(std::string_view name, const std::vector<std::string>& items);

inline constexpr std::size_t kMaxListReferences = 20;
// Readers take the low 16 bits of a LIST's item count: more items would read back as others.
inline constexpr std::size_t kMostListItems = 0xFFFF;

// Throws Refusal, naming the LIST and the limit, for more items than kMostListItems.
void checkListItemCount(std::string_view name, std::size_t items);

} // namespace vocabrella
