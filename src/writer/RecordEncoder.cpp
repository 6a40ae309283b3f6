#include "writer/RecordEncoder.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"
#include "cmdfile/RawRecord.h"
#include "writer/WriterEnvironment.h"

namespace vocabrella {

std::vector<std::uint8_t> encodeNewCommand(const NewCommandRecord& r, FileVersionFamily family) {
    const auto kindByte = kindForTypeCode(r.typeCode);
    if (!kindByte || r.typeCode == "T") throw Refusal("A new command cannot be of Type \"" + r.typeCode + "\"");
    checkListReferences(r.name, kMaxListReferences);
    const std::string name = encodeName(r.name);

    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    w.writeCountedBytes(name);
    const auto references = listReferences(name);
    w.writeLong(static_cast<std::uint32_t>(references.size()));
    for (const auto& list : references) w.writeCountedBytes(list);
    w.writeCountedBytes(encodeForFile(r.description));
    w.writeCountedBytes(r.group == names::UserDefined ? std::string() : encodeForFile(r.group));

    const bool global = names::isGlobalProgram(r.program);
    const bool application = r.scope == names::ApplicationSpecific;
    w.writeByte(global ? 0 : application ? 1 : 2);
    if (hasReservedBytes(family)) w.writeZeros(format::kScopeReserved);
    if (!global) {
        w.writeCountedBytes(encodeForFile(r.program));
        w.writeCountedBytes(encodeForFile(r.programDescription));
        w.writeCountedBytes(encodeForFile(r.companyName));
        if (!application) {
            w.writeCountedBytes(encodeForFile(r.scope));
            w.writeCountedBytes(encodeForFile(r.windowClass));
        }
    }
    if (hasStateList(family)) {
        w.writeLong(static_cast<std::uint32_t>(r.states.size()));
        for (const auto& state : r.states) w.writeCountedBytes(encodeForFile(state));
    }
    w.writeByte(*kindByte);
    if (hasEncryptionFlag(family)) w.writeByte(0);
    if (hasReservedBytes(family)) w.writeZeros(format::kKindReserved);
    if (r.typeCode == "P") w.writeByte(0);
    w.writeCountedBytes(encodeForFile(r.body));
    return out;
}

std::vector<std::uint8_t> encodeList(std::string_view name, const std::vector<std::string>& items) {
    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    w.writeCountedBytes(encodeName(name));
    w.writeLong(1);
    w.writeLong(static_cast<std::uint32_t>(items.size()));
    for (const auto& item : items) w.writeCountedBytes(encodeForFile(item));
    return out;
}

} // namespace vocabrella
