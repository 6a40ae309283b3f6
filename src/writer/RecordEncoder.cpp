#include "writer/RecordEncoder.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"
#include "cmdfile/RecordCodec.h"
#include "writer/Texts.h"
#include "writer/WriterEnvironment.h"

namespace vocabrella {
namespace {

std::vector<RawString> newTexts(const std::vector<std::string>& texts) {
    std::vector<RawString> out;
    out.reserve(texts.size());
    for (const auto& text : texts) out.push_back(newText(text));
    return out;
}

} // namespace

NewRecord::NewRecord(const NewCommandRecord& r, std::uint8_t scopeByte) : scopeByte_(scopeByte) {
    checkListReferences(r.name, kMaxListReferences);
    name_ = encodeName(r.name);
    description_ = encodeForFile(r.description);
    group_ = r.group == names::UserDefined ? std::string() : encodeForFile(r.group);
    if (scopeByte != 0) {
        for (const auto* text : {&r.program, &r.programDescription, &r.companyName})
            scopeStrings_.push_back(encodeForFile(*text));
        if (scopeByte == 2)
            for (const auto* text : {&r.scope, &r.windowClass}) scopeStrings_.push_back(encodeForFile(*text));
    }
    for (const auto& state : r.states) states_.push_back(encodeForFile(state));
}

std::vector<std::uint8_t> NewRecord::encode(std::uint8_t kindByte, std::span<const std::uint8_t> body,
                                            FileVersionFamily family) const {
    const auto lists = listNamesOf(name_);
    const auto scopeStrings = newTexts(scopeStrings_);
    const auto states = newTexts(states_);
    RecordFields f;
    f.name = newText(name_);
    f.listNames = lists;
    f.description = newText(description_);
    f.group = newText(group_);
    f.scopeByte = scopeByte_;
    f.scopeStrings = scopeStrings;
    f.stateNames = states;
    f.kindByte = kindByte;
    f.body = body;
    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    RecordCodec::forFamily(family).write(f, w);
    return out;
}

std::vector<std::uint8_t> encodeNewCommand(const NewCommandRecord& r, FileVersionFamily family) {
    const auto kindByte = kindForTypeCode(r.typeCode);
    if (!kindByte || r.typeCode == "T") throw Refusal("A new command cannot be of Type \"" + r.typeCode + "\"");
    // Every command of a global program is written as a global one.
    const std::uint8_t scope = names::isGlobalProgram(r.program) ? 0 : r.scope == names::ApplicationSpecific ? 1 : 2;
    const NewRecord record(r, scope);
    std::vector<std::uint8_t> body;
    ByteWriter w(body);
    RecordCodec::writeTextBody(*kindByte, {}, encodeForFile(r.body), w);
    return record.encode(*kindByte, body, family);
}

void checkListItemCount(std::string_view name, std::size_t items) {
    if (items <= kMostListItems) return;
    throw Refusal(std::string(texts::ListTooLongStart) + std::string(name) + std::string(texts::ListTooLongHas) +
                      std::to_string(items) + std::string(texts::ListTooLongEnd),
                  std::string(name));
}

std::vector<std::uint8_t> encodeList(std::string_view name, const std::vector<std::string>& items) {
    checkListItemCount(name, items.size());
    const std::string nameBytes = encodeName(name);
    std::vector<std::string> itemBytes;
    itemBytes.reserve(items.size());
    for (const auto& item : items) itemBytes.push_back(encodeForFile(item));
    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    RecordCodec::writeList(nameBytes, itemBytes, w);
    return out;
}

} // namespace vocabrella
