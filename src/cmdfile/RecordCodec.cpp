#include "cmdfile/RecordCodec.h"

#include "cmdfile/BodyRender.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/CommandRecord.h"
#include "cmdfile/Errors.h"
#include "cmdfile/KeyNames.h"
#include "cmdfile/Prompter.h"

#include <array>
#include <stdexcept>

namespace vocabrella {
namespace {

// The blocks that set the families apart. Everything else is laid out alike in all of them.
struct Layout {
    bool reservedBytes;  // 12 bytes after the scope byte, 8 after the kind byte
    bool stateList;
    bool encryptionFlag; // after the kind byte; an encrypted body has 7 bytes and a block instead of the 8
};

constexpr Layout layoutOf(FileVersionFamily family) {
    switch (family) {
    case FileVersionFamily::V6_0:
    case FileVersionFamily::V6_1: return {false, false, false};
    case FileVersionFamily::V7x: return {true, false, false};
    case FileVersionFamily::V8_9: return {true, true, false};
    case FileVersionFamily::V10_13: return {true, true, true};
    }
    return {true, true, true};
}

} // namespace

bool familyHoldsStates(FileVersionFamily family) { return layoutOf(family).stateList; }

namespace {

constexpr std::array<const char*, 5> kScopeStrings = {"the module name", "the program description",
                                                      "the company name", "the window title", "the window class"};

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

std::uint32_t longOf(std::span<const std::uint8_t> b) {
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

// One walk through a command record per family, handing each block to the sink in file order:
// the sink decides what to keep, so the decoding reader and the byte-keeping scanner read the
// same layout. Sinks are plain types, so nothing is dispatched per field.
template <FileVersionFamily F, class Sink>
bool walkCommandRecord(ByteReader& r, Sink& sink) {
    constexpr Layout layout = layoutOf(F);
    const std::uint32_t offset = r.position();
    if (!sink.name(offset, readRaw(r, "the command name"))) return false;
    const auto listCountLong = take(r, 4, "the LIST-name count");
    const std::uint32_t lists = listCountLong[0];
    sink.listCount(listCountLong, lists);
    for (std::uint32_t i = 0; i < lists; ++i) sink.listName(readRaw(r, "a LIST name"));
    sink.description(readRaw(r, "the description"));
    sink.group(readRaw(r, "the group"));

    const std::uint32_t scopePosition = r.position();
    const std::uint8_t scopeByte = r.readByte("the scope byte");
    if constexpr (layout.reservedBytes)
        sink.reservedAfterScope(take(r, format::kScopeReserved, "the 12 bytes after the scope byte"));
    sink.scopeByte(scopePosition, scopeByte);
    const std::uint8_t scope = scopeByte & 0x7F;
    const int strings = scope == 1 ? 3 : scope == 2 ? 5 : 0;
    for (int i = 0; i < strings; ++i) sink.scopeString(i, readRaw(r, kScopeStrings[i]));

    if constexpr (layout.stateList) {
        const auto stateCountLong = take(r, 4, "the state count");
        const std::uint32_t count = longOf(stateCountLong);
        // Each state name takes at least its prefix byte: a larger count cannot be in the file.
        if (count > r.remaining()) throw FormatError(r.position() - 4, "a state count within the file");
        sink.stateCount(stateCountLong, count);
        for (std::uint32_t i = 0; i < count; ++i) sink.stateName(readRaw(r, "a state name"));
    }

    const std::uint8_t kindByte = r.readByte("the kind byte");
    sink.kindByte(kindByte, r.position());
    if constexpr (layout.encryptionFlag) {
        const std::uint8_t flag = r.readByte("the encryption flag");
        const std::size_t start = r.cursor();
        if (flag != 0) {
            r.skip(format::kEncryptionPrefix, "the encryption block");
            r.readCountedBytes("the encryption block");
        } else {
            r.skip(format::kKindReserved, "the 8 bytes after the kind byte");
        }
        sink.afterKind(flag, r.bytes().subspan(start, r.cursor() - start));
    } else if constexpr (layout.reservedBytes) {
        sink.afterKind(0, take(r, format::kKindReserved, "the 8 bytes after the kind byte"));
    }

    const std::size_t bodyStart = r.cursor();
    sink.bodyPosition(r.position());
    switch (sink.kind()) {
    case kind::Text: {
        const std::uint32_t graphicLength = r.readCount("the length of the formatted text");
        r.skip(graphicLength, "the formatted text");
        const auto formatted = r.bytes().subspan(bodyStart, r.cursor() - bodyStart);
        sink.textBody(graphicLength, formatted, readRaw(r, "the plain text"));
        break;
    }
    case kind::Recorder: sink.recorderBody(r); break;
    case kind::StepByStep: sink.stepBody(r); break;
    case kind::Advanced:
    case kind::Script:
    case kind::Keys: sink.textBody(0, {}, readRaw(r, "the command body")); break;
    default: break; // an unknown kind has no body
    }
    sink.end(r.bytes().subspan(bodyStart, r.cursor() - bodyStart), r.cursor());
    return true;
}

// Keeps every block as it stands.
class Scan {
public:
    explicit Scan(RawRecord& rec) : rec_(rec) {}
    bool name(std::uint32_t offset, const RawString& s) {
        rec_.offset = offset;
        rec_.name = s;
        return true;
    }
    void listCount(std::span<const std::uint8_t> countLong, std::uint32_t) { rec_.listCountLong = countLong; }
    void listName(const RawString& s) { rec_.listNames.push_back(s); }
    void description(const RawString& s) { rec_.description = s; }
    void group(const RawString& s) { rec_.group = s; }
    void reservedAfterScope(std::span<const std::uint8_t> bytes) { rec_.reservedAfterScope = bytes; }
    void scopeByte(std::uint32_t, std::uint8_t b) { rec_.scopeByte = b; }
    void scopeString(int, const RawString& s) { rec_.scopeStrings.push_back(s); }
    void stateCount(std::span<const std::uint8_t> countLong, std::uint32_t) { rec_.stateCountLong = countLong; }
    void stateName(const RawString& s) { rec_.stateNames.push_back(s); }
    void kindByte(std::uint8_t k, std::uint32_t endPosition) {
        rec_.kindByte = k;
        rec_.kindEndPosition = endPosition;
    }
    void afterKind(std::uint8_t flag, std::span<const std::uint8_t> bytes) {
        rec_.encryptionFlag = flag;
        rec_.afterKind = bytes;
    }
    void bodyPosition(std::uint32_t position) { rec_.bodyPosition = position; }
    std::uint8_t kind() const { return rec_.kindByte; }
    void textBody(std::uint32_t, std::span<const std::uint8_t> formatted, const RawString& text) {
        rec_.formatted = formatted;
        rec_.text = text;
    }
    void recorderBody(ByteReader& r) {
        static const KeyNames none;
        renderRecorderBody(r, none);
    }
    void stepBody(ByteReader& r) {
        static const KeyNames none;
        SilentPrompter silent;
        UnknownStepReport quiet(silent);
        renderStepBody(r, none, quiet);
    }
    void end(std::span<const std::uint8_t> body, std::size_t end) {
        rec_.body = body;
        rec_.end = end;
    }

private:
    RawRecord& rec_;
};

// Decodes into a string that keeps its storage from record to record.
void decodeInto(std::string& into, std::string_view cp1252) {
    into.clear();
    codec::appendCp1252AsUtf8(into, cp1252);
}

// Decodes each block into the values the store keeps.
class Decode {
public:
    Decode(const RecordContext& context, CurrentRecord& rec) : ctx_(context), rec_(rec) {}
    bool name(std::uint32_t offset, const RawString& s) {
        rec_.offset = offset;
        rec_.rawName = s.text;
        decodeInto(rec_.name, s.text);
        return nameIsAcceptable(s.text);
    }
    void listCount(std::span<const std::uint8_t>, std::uint32_t count) {
        rec_.listCount = count;
        rec_.listNames.reserve(count);
    }
    void listName(const RawString& s) { rec_.listNames.push_back(codec::cp1252ToUtf8(s.text)); }
    void description(const RawString& s) { decodeInto(rec_.description, s.text); }
    void group(const RawString& s) {
        decodeInto(rec_.group, s.text);
        if (rec_.group.empty()) rec_.group = names::UserDefined;
    }
    void reservedAfterScope(std::span<const std::uint8_t>) {}
    void scopeByte(std::uint32_t position, std::uint8_t b) {
        rec_.scopePosition = position;
        rec_.scopeByte = b;
        rec_.skipped = (b & format::kSkippedRecordBit) != 0;
        switch (b & 0x7F) {
        case 0:
            rec_.scopeCode = "G";
            rec_.program = names::GlobalCommands;
            rec_.state = names::GlobalCommands;
            break;
        case 1:
            rec_.scopeCode = "A";
            rec_.state = names::ApplicationSpecific;
            break;
        case 2: rec_.scopeCode = "W"; break;
        default: break; // unknown scopes carry no data; program, state and scope stay empty
        }
    }
    void scopeString(int index, const RawString& s) {
        switch (index) {
        case 0: decodeInto(rec_.program, s.text); break;
        case 1: identity(s, rec_.programDescription, rec_.programDescriptionLength); break;
        case 2: identity(s, rec_.companyName, rec_.companyNameLength); break;
        case 3: decodeInto(rec_.state, s.text); break;
        default: identity(s, rec_.windowClass, rec_.windowClassLength); break;
        }
    }
    void stateCount(std::span<const std::uint8_t>, std::uint32_t count) { rec_.stateNames.reserve(count); }
    void stateName(const RawString& s) { rec_.stateNames.push_back(codec::cp1252ToUtf8(s.text)); }
    void kindByte(std::uint8_t k, std::uint32_t endPosition) {
        rec_.kindByte = k;
        rec_.kindEndPosition = endPosition;
    }
    void afterKind(std::uint8_t flag, std::span<const std::uint8_t>) { rec_.encrypted = flag != 0; }
    void bodyPosition(std::uint32_t position) { rec_.bodyPosition = position; }
    std::uint8_t kind() const { return rec_.kindByte; }
    void textBody(std::uint32_t graphicLength, std::span<const std::uint8_t>, const RawString& text) {
        rec_.graphicLength = graphicLength;
        rec_.typeCode = typeCodeForKind(rec_.kindByte, graphicLength);
        decodeInto(rec_.body, text.text);
    }
    void recorderBody(ByteReader& r) {
        rec_.typeCode = "R";
        rec_.body = renderRecorderBody(r, ctx_.keys);
    }
    void stepBody(ByteReader& r) {
        rec_.typeCode = "X";
        rec_.body = renderStepBody(r, ctx_.keys, ctx_.unknownSteps);
    }
    void end(std::span<const std::uint8_t>, std::size_t) {}

private:
    // An identity string of the scope data: the store keeps its character count.
    static void identity(const RawString& s, std::string& text, std::uint32_t& length) {
        decodeInto(text, s.text);
        length = static_cast<std::uint32_t>(s.text.size());
    }

    const RecordContext& ctx_;
    CurrentRecord& rec_;
};

void put(ByteWriter& w, const RawString& s) {
    if (!s.raw.empty()) w.writeBytes(s.raw);
    else w.writeCountedBytes(s.text);
}

void putCount(ByteWriter& w, std::span<const std::uint8_t> countLong, std::size_t count) {
    if (!countLong.empty()) w.writeBytes(countLong);
    else w.writeLong(static_cast<std::uint32_t>(count));
}

void putReserved(ByteWriter& w, std::span<const std::uint8_t> bytes, std::size_t size) {
    if (!bytes.empty()) w.writeBytes(bytes);
    else w.writeZeros(size);
}

template <FileVersionFamily F>
class FamilyCodec final : public RecordCodec {
    static constexpr Layout kLayout = layoutOf(F);

public:
    FileVersionFamily family() const override { return F; }
    bool holdsEncryptedBodies() const override { return kLayout.encryptionFlag; }

    bool read(ByteReader& r, const RecordContext& context, CurrentRecord& rec) const override {
        rec.clear();
        Decode sink(context, rec);
        return walkCommandRecord<F>(r, sink);
    }

    RawRecord scan(ByteReader& r) const override {
        RawRecord rec;
        Scan sink(rec);
        walkCommandRecord<F>(r, sink);
        return rec;
    }

    void write(const RecordFields& f, ByteWriter& w) const override {
        if (!kLayout.encryptionFlag && f.encryptionFlag != 0)
            throw std::invalid_argument("An encrypted body has no place in a record without the encryption flag");
        writeFirstPart(f, w);
        w.writeByte(f.scopeByte);
        if constexpr (kLayout.reservedBytes) putReserved(w, f.reservedAfterScope, format::kScopeReserved);
        for (const auto& s : f.scopeStrings) put(w, s);
        if constexpr (kLayout.stateList) {
            putCount(w, f.stateCountLong, f.stateNames.size());
            for (const auto& s : f.stateNames) put(w, s);
        }
        w.writeByte(f.kindByte);
        if constexpr (kLayout.encryptionFlag) w.writeByte(f.encryptionFlag);
        if (f.encryptionFlag != 0) w.writeBytes(f.afterKind); // the 7 bytes and the block, as they are
        else if constexpr (kLayout.reservedBytes) putReserved(w, f.afterKind, format::kKindReserved);
        w.writeBytes(f.body);
    }

    void writeKindBlock(std::uint8_t kindByte, ByteWriter& w) const override {
        w.writeByte(kindByte);
        if constexpr (kLayout.encryptionFlag) w.writeByte(0);
        if constexpr (kLayout.reservedBytes) w.writeZeros(format::kKindReserved);
    }
};

} // namespace

std::vector<RawString> listNamesOf(std::string_view name) {
    std::vector<RawString> lists;
    for (const auto list : listReferences(name)) lists.push_back(newText(list));
    return lists;
}

RecordFields RecordFields::of(const RawRecord& r) {
    RecordFields f;
    f.name = r.name;
    f.listCountLong = r.listCountLong;
    f.listNames = r.listNames;
    f.description = r.description;
    f.group = r.group;
    f.scopeByte = r.scopeByte;
    f.reservedAfterScope = r.reservedAfterScope;
    f.scopeStrings = r.scopeStrings;
    f.stateCountLong = r.stateCountLong;
    f.stateNames = r.stateNames;
    f.kindByte = r.kindByte;
    f.encryptionFlag = r.encryptionFlag;
    f.afterKind = r.afterKind;
    f.body = r.body;
    return f;
}

const RecordCodec& RecordCodec::forFamily(FileVersionFamily family) {
    static const FamilyCodec<FileVersionFamily::V6_0> v6_0;
    static const FamilyCodec<FileVersionFamily::V6_1> v6_1;
    static const FamilyCodec<FileVersionFamily::V7x> v7x;
    static const FamilyCodec<FileVersionFamily::V8_9> v8_9;
    static const FamilyCodec<FileVersionFamily::V10_13> v10_13;
    switch (family) {
    case FileVersionFamily::V6_0: return v6_0;
    case FileVersionFamily::V6_1: return v6_1;
    case FileVersionFamily::V7x: return v7x;
    case FileVersionFamily::V8_9: return v8_9;
    case FileVersionFamily::V10_13: break;
    }
    return v10_13;
}

void RecordCodec::writeFirstPart(const RecordFields& f, ByteWriter& w) {
    put(w, f.name);
    putCount(w, f.listCountLong, f.listNames.size());
    for (const auto& s : f.listNames) put(w, s);
    put(w, f.description);
    put(w, f.group);
}

void RecordCodec::writeTextBody(std::uint8_t kindByte, std::string_view formatted, std::string_view text,
                                ByteWriter& w) {
    if (kindByte == kind::Text) w.writeCountedBytes(formatted);
    w.writeCountedBytes(text);
}

RawList RecordCodec::scanList(ByteReader& r) {
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

bool RecordCodec::readList(ByteReader& r, CurrentRecord& rec) {
    rec.offset = r.position();
    rec.rawName = r.readCountedBytes("the LIST name");
    decodeInto(rec.name, rec.rawName);
    if (!nameIsAcceptable(rec.rawName)) return false;
    r.readLong("the number after the LIST name");
    const std::uint32_t items = r.readLong("the LIST item count") & 0xFFFF;
    rec.body.clear();
    for (std::uint32_t i = 0; i < items; ++i) {
        codec::appendCp1252AsUtf8(rec.body, r.readCountedBytes("a LIST item"));
        rec.body.append("\r\n");
    }
    return true;
}

void RecordCodec::writeList(std::string_view name, std::span<const std::string> items, ByteWriter& w) {
    w.writeCountedBytes(name);
    w.writeLong(1);
    w.writeLong(static_cast<std::uint32_t>(items.size()));
    for (const auto& item : items) w.writeCountedBytes(item);
}

} // namespace vocabrella
