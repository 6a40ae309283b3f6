#include "cmdfile/CommandRecord.h"

#include "cmdfile/BodyRender.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"

namespace vocabrella {
namespace {

std::string readText(ByteReader& r, const char* what) { return codec::cp1252ToUtf8(r.readCountedBytes(what)); }

// Decodes into a string that keeps its storage from record to record.
void readTextInto(ByteReader& r, const char* what, std::string& into) {
    into.clear();
    codec::appendCp1252AsUtf8(into, r.readCountedBytes(what));
}

// Reads an identity string of the scope data, keeping its text and character count.
void readIdentity(ByteReader& r, const char* what, std::string& text, std::uint32_t& length) {
    const auto bytes = r.readCountedBytes(what);
    text = codec::cp1252ToUtf8(bytes);
    length = static_cast<std::uint32_t>(bytes.size());
}

bool readName(ByteReader& r, CurrentRecord& rec, const char* what) {
    rec.offset = r.position();
    rec.rawName = r.readCountedBytes(what);
    rec.name = codec::cp1252ToUtf8(rec.rawName);
    return nameIsAcceptable(rec.rawName);
}

void readScopeData(ByteReader& r, CurrentRecord& rec, std::uint8_t scope) {
    switch (scope) {
    case 0:
        rec.scopeCode = "G";
        rec.program = names::GlobalCommands;
        rec.state = names::GlobalCommands;
        break;
    case 1:
        rec.scopeCode = "A";
        rec.program = readText(r, "the module name");
        rec.state = names::ApplicationSpecific;
        readIdentity(r, "the program description", rec.programDescription, rec.programDescriptionLength);
        readIdentity(r, "the company name", rec.companyName, rec.companyNameLength);
        break;
    case 2:
        rec.scopeCode = "W";
        rec.program = readText(r, "the module name");
        readIdentity(r, "the program description", rec.programDescription, rec.programDescriptionLength);
        readIdentity(r, "the company name", rec.companyName, rec.companyNameLength);
        rec.state = readText(r, "the window title");
        readIdentity(r, "the window class", rec.windowClass, rec.windowClassLength);
        break;
    default:
        break; // unknown scopes carry no data; program, state and scope stay empty
    }
}

void readBody(ByteReader& r, const RecordContext& ctx, CurrentRecord& rec) {
    rec.bodyPosition = r.position();
    switch (rec.kindByte) {
    case kind::Text:
        rec.graphicLength = r.readCount("the length of the formatted text");
        rec.typeCode = rec.graphicLength == 0 ? "P" : "T";
        r.skip(rec.graphicLength, "the formatted text");
        readTextInto(r, "the plain text", rec.body);
        break;
    case kind::Recorder:
        rec.typeCode = "R";
        rec.body = renderRecorderBody(r, ctx.keys);
        break;
    case kind::StepByStep:
        rec.typeCode = "X";
        rec.body = renderStepBody(r, ctx.keys, ctx.unknownSteps);
        break;
    case kind::Advanced:
    case kind::Script:
    case kind::Keys:
        rec.typeCode = typeCodeForKind(rec.kindByte, 0);
        readTextInto(r, "the command body", rec.body);
        break;
    default:
        break; // unknown kind: no body is read
    }
}

} // namespace

void CurrentRecord::clear() {
    for (std::string* text : {&program, &state, &name, &typeCode, &body, &scopeCode, &group, &stateIds, &description,
                              &programDescription, &companyName, &windowClass})
        text->clear();
    listNames.clear();
    stateNames.clear();
    listCount = offset = bodyPosition = scopePosition = kindEndPosition = graphicLength = 0;
    programDescriptionLength = companyNameLength = windowClassLength = 0;
    scopeByte = kindByte = 0;
    encrypted = skipped = false;
    rawName = {};
}

bool nameIsAcceptable(std::string_view rawName) {
    for (char c : rawName)
        if (static_cast<unsigned char>(c) < 32) return false;
    return true;
}

bool readCommandRecord(ByteReader& r, const RecordContext& ctx, CurrentRecord& rec) {
    rec.clear();
    if (!readName(r, rec, "the command name")) return false;

    rec.listCount = r.readLong("the LIST-name count") & 0xFF;
    rec.listNames.reserve(rec.listCount);
    for (std::uint32_t i = 0; i < rec.listCount; ++i) rec.listNames.push_back(readText(r, "a LIST name"));

    readTextInto(r, "the description", rec.description);
    readTextInto(r, "the group", rec.group);
    if (rec.group.empty()) rec.group = names::UserDefined;

    rec.scopePosition = r.position();
    rec.scopeByte = r.readByte("the scope byte");
    if (hasReservedBytes(ctx.family)) r.skip(format::kScopeReserved, "the 12 bytes after the scope byte");
    rec.skipped = (rec.scopeByte & format::kSkippedRecordBit) != 0;
    readScopeData(r, rec, rec.scopeByte & 0x7F);

    if (hasStateList(ctx.family)) {
        const std::uint32_t count = r.readLong("the state count");
        // Each state name takes at least its prefix byte: a larger count cannot be in the file.
        if (count > r.remaining()) throw FormatError(r.position() - 4, "a state count within the file");
        rec.stateNames.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) rec.stateNames.push_back(readText(r, "a state name"));
    }

    rec.kindByte = r.readByte("the kind byte");
    rec.kindEndPosition = r.position();
    if (hasEncryptionFlag(ctx.family)) {
        const std::uint8_t flag = r.readByte("the encryption flag");
        if (flag != 0) {
            r.skip(format::kEncryptionPrefix, "the encryption block");
            r.readCountedBytes("the encryption block");
            rec.encrypted = true;
        } else {
            r.skip(format::kKindReserved, "the 8 bytes after the kind byte");
        }
    } else if (hasReservedBytes(ctx.family)) {
        r.skip(format::kKindReserved, "the 8 bytes after the kind byte");
    }

    readBody(r, ctx, rec);
    return true;
}

bool readListRecord(ByteReader& r, CurrentRecord& rec) {
    if (!readName(r, rec, "the LIST name")) return false;
    r.readLong("the number after the LIST name");
    const std::uint32_t items = r.readLong("the LIST item count") & 0xFFFF;
    rec.body.clear();
    for (std::uint32_t i = 0; i < items; ++i) {
        codec::appendCp1252AsUtf8(rec.body, r.readCountedBytes("a LIST item"));
        rec.body.append("\r\n");
    }
    return true;
}

} // namespace vocabrella
