#include "cmdfile/CommandRecord.h"

#include "cmdfile/RecordCodec.h"

namespace vocabrella {

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
    return RecordCodec::forFamily(ctx.family).read(r, ctx, rec);
}

bool readListRecord(ByteReader& r, CurrentRecord& rec) { return RecordCodec::readList(r, rec); }

} // namespace vocabrella
