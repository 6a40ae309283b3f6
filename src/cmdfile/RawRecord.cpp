#include "cmdfile/RawRecord.h"

#include "cmdfile/BodyRender.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"
#include "cmdfile/KeyNames.h"
#include "cmdfile/Prompter.h"

namespace vocabrella {
namespace {

RawString readRaw(ByteReader& r, const char* what) {
    const std::size_t start = r.cursor();
    const auto text = r.readCountedBytes(what);
    return {r.bytes().subspan(start, r.cursor() - start), text};
}

std::span<const std::uint8_t> take(ByteReader& r, std::size_t n, const char* what) {
    const std::size_t start = r.cursor();
    r.skip(n, what);
    return r.bytes().subspan(start, n);
}

} // namespace

RawRecord scanCommandRecord(ByteReader& r, FileVersionFamily family) {
    RawRecord rec;
    rec.offset = r.position();
    rec.name = readRaw(r, "the command name");
    rec.listCountLong = take(r, 4, "the LIST-name count");
    const std::uint32_t lists = rec.listCountLong[0];
    for (std::uint32_t i = 0; i < lists; ++i) rec.listNames.push_back(readRaw(r, "a LIST name"));
    rec.description = readRaw(r, "the description");
    rec.group = readRaw(r, "the group");
    rec.scopeByte = r.readByte("the scope byte");
    if (hasReservedBytes(family)) rec.reservedAfterScope = take(r, format::kScopeReserved, "the 12 bytes after the scope byte");
    const int strings = rec.scope() == 1 ? 3 : rec.scope() == 2 ? 5 : 0;
    for (int i = 0; i < strings; ++i) rec.scopeStrings.push_back(readRaw(r, "the scope data"));
    if (hasStateList(family)) {
        rec.hasStateList = true;
        rec.stateCountLong = take(r, 4, "the state count");
        const std::uint32_t count = std::uint32_t(rec.stateCountLong[0]) | std::uint32_t(rec.stateCountLong[1]) << 8 |
                                    std::uint32_t(rec.stateCountLong[2]) << 16 | std::uint32_t(rec.stateCountLong[3]) << 24;
        if (count > r.remaining()) throw FormatError(r.position() - 4, "a state count within the file");
        for (std::uint32_t i = 0; i < count; ++i) rec.stateNames.push_back(readRaw(r, "a state name"));
    }
    rec.kindByte = r.readByte("the kind byte");
    const std::size_t afterKindStart = r.cursor();
    if (hasEncryptionFlag(family)) {
        rec.hasEncryptionFlag = true;
        rec.encryptionFlag = r.readByte("the encryption flag");
        if (rec.encryptionFlag != 0) {
            r.skip(format::kEncryptionPrefix, "the encryption block");
            r.readCountedBytes("the encryption block");
        } else {
            r.skip(format::kKindReserved, "the 8 bytes after the kind byte");
        }
        rec.afterKind = r.bytes().subspan(afterKindStart + 1, r.cursor() - afterKindStart - 1);
    } else if (hasReservedBytes(family)) {
        rec.afterKind = take(r, format::kKindReserved, "the 8 bytes after the kind byte");
    }

    rec.bodyPosition = r.position();
    const std::size_t bodyStart = r.cursor();
    switch (rec.kindByte) {
    case kind::Text: {
        const std::uint32_t g = r.readCount("the length of the formatted text");
        r.skip(g, "the formatted text");
        rec.formatted = r.bytes().subspan(bodyStart, r.cursor() - bodyStart);
        rec.text = readRaw(r, "the plain text");
        break;
    }
    case kind::Recorder: {
        static const KeyNames none;
        renderRecorderBody(r, none);
        break;
    }
    case kind::StepByStep: {
        static const KeyNames none;
        SilentPrompter silent;
        UnknownStepReport quiet(silent);
        renderStepBody(r, none, quiet);
        break;
    }
    case kind::Advanced:
    case kind::Script:
    case kind::Keys:
        rec.text = readRaw(r, "the command body");
        break;
    default:
        break;
    }
    rec.body = r.bytes().subspan(bodyStart, r.cursor() - bodyStart);
    rec.end = r.cursor();
    return rec;
}

RawList scanListRecord(ByteReader& r) {
    RawList list;
    const std::size_t start = r.cursor();
    list.offset = r.position();
    list.name = readRaw(r, "the LIST name");
    r.readLong("the number after the LIST name");
    const std::uint32_t items = r.readLong("the LIST item count") & 0xFFFF;
    for (std::uint32_t i = 0; i < items; ++i) list.items.push_back(readRaw(r, "a LIST item"));
    list.whole = r.bytes().subspan(start, r.cursor() - start);
    return list;
}

std::vector<std::string_view> listReferences(std::string_view name) {
    std::vector<std::string_view> names;
    for (;;) {
        const auto open = name.find('<');
        if (open == std::string_view::npos) break;
        const auto close = name.find('>', open + 1);
        if (close == std::string_view::npos) break;
        names.push_back(name.substr(open + 1, close - open - 1));
        name.remove_prefix(close + 1);
    }
    return names;
}

} // namespace vocabrella
