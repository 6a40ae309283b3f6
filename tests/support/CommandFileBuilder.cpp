#include "CommandFileBuilder.h"

#include <fstream>
#include <stdexcept>

namespace vocabrella::testsupport {

namespace {

void appendRaw(Bytes& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::uint32_t countOf(std::size_t size, std::optional<std::uint32_t> declared) {
    return declared.value_or(static_cast<std::uint32_t>(size));
}

void appendCountedStrings(Bytes& out, const std::vector<CountedText>& texts,
                          std::optional<std::uint32_t> declaredCount) {
    appendLong(out, countOf(texts.size(), declaredCount));
    for (const auto& text : texts) appendCountedString(out, text);
}

std::size_t nextPosition(const Bytes& out) { return out.size() + 1; }

}  // namespace

void appendByte(Bytes& out, std::uint8_t value) { out.push_back(value); }

void appendLong(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendCount(Bytes& out, std::size_t count, PrefixWidth width) {
    if (width == PrefixWidth::Auto) {
        width = count < 255     ? PrefixWidth::OneByte
                : count <= 65534 ? PrefixWidth::ThreeBytes
                                 : PrefixWidth::SevenBytes;
    }
    switch (width) {
    case PrefixWidth::OneByte:
        if (count >= 255) throw std::invalid_argument("a one-byte prefix holds at most 254");
        appendByte(out, static_cast<std::uint8_t>(count));
        break;
    case PrefixWidth::ThreeBytes:
        // 65535 would read as the marker of the seven-byte prefix.
        if (count > 65534) throw std::invalid_argument("a three-byte prefix holds at most 65534");
        appendByte(out, 255);
        appendByte(out, static_cast<std::uint8_t>(count));
        appendByte(out, static_cast<std::uint8_t>(count >> 8));
        break;
    default:
        if (count > 0xffffffffu) throw std::invalid_argument("a seven-byte prefix holds 32 bits");
        out.insert(out.end(), {255, 255, 255});
        appendLong(out, static_cast<std::uint32_t>(count));
        break;
    }
}

void appendCountedString(Bytes& out, const CountedText& text) {
    appendCount(out, text.bytes.size(), text.prefix);
    out.insert(out.end(), text.bytes.begin(), text.bytes.end());
}

CommandFileBuilder::CommandFileBuilder(std::uint8_t versionCode, std::uint8_t languageCode)
    : versionCode_(versionCode), languageCode_(languageCode) {}

CommandFileBuilder& CommandFileBuilder::add(BuiltCommand command) {
    commands_.push_back(std::move(command));
    return *this;
}

CommandFileBuilder& CommandFileBuilder::add(BuiltList list) {
    lists_.push_back(std::move(list));
    return *this;
}

CommandFileBuilder& CommandFileBuilder::declareCommandCount(std::uint32_t count) {
    declaredCommandCount_ = count;
    return *this;
}

CommandFileBuilder& CommandFileBuilder::declareListCount(std::uint32_t count) {
    declaredListCount_ = count;
    return *this;
}

Bytes CommandFileBuilder::build() {
    Bytes out{'L', 'H', 'S', 'P', versionCode_, 2, 135, 0, 0, 0, 0, 0, 0, 0, 0, languageCode_, 4};
    appendLong(out, countOf(commands_.size(), declaredCommandCount_));

    commandPositions_.clear();
    for (const auto& command : commands_) writeCommand(out, command);

    listSectionPosition_ = nextPosition(out);
    listPositions_.clear();
    appendLong(out, countOf(lists_.size(), declaredListCount_));
    for (const auto& list : lists_) writeList(out, list);
    return out;
}

void CommandFileBuilder::writeFile(const std::filesystem::path& path) { writeBytes(path, build()); }

void CommandFileBuilder::writeCommand(Bytes& out, const BuiltCommand& command) {
    RecordPositions at;
    at.offset = nextPosition(out);
    appendCountedString(out, command.name);
    appendCountedStrings(out, command.lists, command.declaredListCount);
    appendCountedString(out, command.description);
    appendCountedString(out, command.group);

    at.scopeByte = nextPosition(out);
    appendByte(out, command.scopeByte);
    if (versionCode_ >= 5) appendRaw(out, command.reservedAfterScope);

    const CountedText* scopeData[] = {&command.module, &command.programDescription,
                                      &command.company, &command.windowTitle, &command.windowClass};
    const auto scope = command.scopeByte & 0x7f;
    const std::size_t scopeStrings = scope == kScopeApplication ? 3 : scope == kScopeWindow ? 5 : 0;
    for (std::size_t i = 0; i < scopeStrings; ++i) appendCountedString(out, *scopeData[i]);

    if (versionCode_ >= 6) appendCountedStrings(out, command.states, command.declaredStateCount);

    appendByte(out, command.kind);
    at.afterKind = nextPosition(out);
    if (versionCode_ >= 7) appendByte(out, command.encryption);
    if (versionCode_ >= 7 && command.encryption != 0) {
        appendRaw(out, command.encryptionHeader);
        appendCountedString(out, command.encryptionBlock);
    } else if (versionCode_ >= 5) {
        appendRaw(out, command.reservedAfterKind);
    }

    at.body = nextPosition(out);
    switch (command.kind) {
    case kKindText:
        appendCountedString(out, command.formatted);
        appendCountedString(out, command.text);
        break;
    case kKindAdvancedScript:
    case kKindScript:
    case kKindKeys:
        appendCountedString(out, command.text);
        break;
    default:
        appendRaw(out, command.rawBody);
        break;
    }
    commandPositions_.push_back(at);
}

void CommandFileBuilder::writeList(Bytes& out, const BuiltList& list) {
    listPositions_.push_back(nextPosition(out));
    appendCountedString(out, list.name);
    appendLong(out, list.afterName);
    appendCountedStrings(out, list.items, list.declaredItemCount);
}

void writeBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

namespace step {

Bytes pressKey(std::uint8_t keyCode, std::uint8_t modifiers) { return {1, keyCode, modifiers}; }

Bytes open(const CountedText& first, const CountedText& second, const CountedText& third,
           std::uint32_t number) {
    Bytes out{2};
    for (const auto* text : {&first, &second, &third}) appendCountedString(out, *text);
    appendLong(out, number);
    return out;
}

Bytes wait(std::uint32_t milliseconds) {
    Bytes out{3};
    appendLong(out, milliseconds);
    return out;
}

Bytes stopListening() { return {4}; }
Bytes microphoneOn() { return {5}; }
Bytes microphoneOff() { return {6}; }

Bytes typeText(const CountedText& text) {
    Bytes out{11};
    appendCountedString(out, text);
    return out;
}

Bytes sendKeys(const CountedText& keys) {
    Bytes out{12};
    appendCountedString(out, keys);
    return out;
}

Bytes raw(std::uint8_t code, const Bytes& data) {
    // Reserved first: GCC 12 at -O3 warns of a copy out of bounds when a one-byte vector grows here.
    Bytes out;
    out.reserve(1 + data.size());
    out.push_back(code);
    appendRaw(out, data);
    return out;
}

}  // namespace step

Bytes stepByStepBody(const std::vector<Bytes>& steps, std::optional<std::uint32_t> declaredCount) {
    Bytes out;
    appendLong(out, countOf(steps.size(), declaredCount));
    for (const auto& s : steps) appendRaw(out, s);
    return out;
}

namespace event {

Bytes key(std::uint8_t keyCode, std::uint8_t state) {
    Bytes out(9, 0);
    out[0] = 1;
    out[5] = keyCode;
    out[8] = state;
    return out;
}

Bytes mouse(std::uint8_t action, std::uint16_t x, std::uint16_t y) {
    Bytes out(21, 0);
    out[0] = 2;
    out[5] = action;
    out[9] = static_cast<std::uint8_t>(x);
    out[10] = static_cast<std::uint8_t>(x >> 8);
    out[13] = static_cast<std::uint8_t>(y);
    out[14] = static_cast<std::uint8_t>(y >> 8);
    return out;
}

Bytes typeThree() {
    Bytes out(9, 0);
    out[0] = 3;
    return out;
}

Bytes other(std::uint8_t type) { return {type}; }

}  // namespace event

Bytes recorderBody(const std::vector<RecorderGroup>& groups, const std::vector<Bytes>& events,
                   std::optional<std::uint32_t> declaredEventCount) {
    Bytes out;
    appendLong(out, static_cast<std::uint32_t>(groups.size()));
    for (const auto& group : groups)
        for (const auto& text : group) appendCountedString(out, text);
    appendLong(out, countOf(events.size(), declaredEventCount));
    for (const auto& e : events) appendRaw(out, e);
    return out;
}

}  // namespace vocabrella::testsupport
