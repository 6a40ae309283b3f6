#pragma once

#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

class ByteReader;
class ByteWriter;
struct CurrentRecord;
struct RecordContext;

// A command record on its way into a file, block by block. A counted string that carries its
// raw bytes is copied as it stands, whatever prefix width its writer chose; one with text alone
// (Windows-1252 bytes) gets the shortest prefix. A block left empty is written as it is in a
// new record: the reserved bytes as zeros, a count as the number of names given.
struct RecordFields {
    RawString name;
    std::span<const std::uint8_t> listCountLong;
    std::span<const RawString> listNames;
    RawString description;
    RawString group;
    std::uint8_t scopeByte = 0;
    std::span<const std::uint8_t> reservedAfterScope;
    std::span<const RawString> scopeStrings; // module, description, company[, title, class]
    std::span<const std::uint8_t> stateCountLong;
    std::span<const RawString> stateNames;
    std::uint8_t kindByte = 0;
    std::uint8_t encryptionFlag = 0;
    // The reserved bytes after the kind byte, or the 7 bytes and the block of an encrypted body.
    std::span<const std::uint8_t> afterKind;
    std::span<const std::uint8_t> body; // laid out by the kind byte

    // Every block of a record as it stands in a file of any family.
    static RecordFields of(const RawRecord& record);
};

// A counted string with text alone, for a record made new.
inline RawString newText(std::string_view bytes) { return {{}, bytes}; }
// The LIST names a new record lists after its name: those the name refers to, in order.
std::vector<RawString> listNamesOf(std::string_view name);

// The record layout of one format family, read and written in one place. Which blocks a record
// has (the reserved bytes, the state list, the encryption flag) is known here and nowhere
// else. A file's codec is chosen once from its header; LIST records and bodies are laid out
// alike in every family.
// Whether records of the family name the states (views) of their program; older families have
// no place for them, so a record written there loses them.
bool familyHoldsStates(FileVersionFamily family);

class RecordCodec {
public:
    virtual ~RecordCodec() = default;

    static const RecordCodec& forFamily(FileVersionFamily family);

    virtual FileVersionFamily family() const = 0;
    // Only records with the encryption flag can hold an encrypted body.
    virtual bool holdsEncryptedBodies() const = 0;

    // Reads the command record at the cursor into rec, decoded for the store, and leaves the
    // cursor after it. False, with the cursor just after the name, when the name fails the
    // name check. Damage raises FormatError.
    virtual bool read(ByteReader& reader, const RecordContext& context, CurrentRecord& rec) const = 0;
    // The command record at the cursor as it stands, nothing decoded.
    virtual RawRecord scan(ByteReader& reader) const = 0;

    // Writes a record in this family's layout: blocks the family lacks are dropped, blocks the
    // fields lack written as a new record has them. An encrypted body needs a family that
    // holds one (std::invalid_argument otherwise).
    virtual void write(const RecordFields& fields, ByteWriter& writer) const = 0;
    // The kind byte and what stands between it and the body of an unencrypted record.
    virtual void writeKindBlock(std::uint8_t kindByte, ByteWriter& writer) const = 0;

    // The record's first part, alike in every family: name, LIST names, description, group.
    static void writeFirstPart(const RecordFields& fields, ByteWriter& writer);
    // A text body: the text alone for kinds 4, 16 and 17; for kind 1 the formatted part first,
    // which for plain text is empty.
    static void writeTextBody(std::uint8_t kindByte, std::string_view formatted, std::string_view text,
                              ByteWriter& writer);

    // LIST records: the name, a Long written as 1 and never read, the item count, the items.
    static RawList scanList(ByteReader& reader);
    // The items, each followed by CR LF, into rec.body; false when the name fails the check.
    static bool readList(ByteReader& reader, CurrentRecord& rec);
    static void writeList(std::string_view name, std::span<const std::string> items, ByteWriter& writer);
};

} // namespace vocabrella
