#include "writer/CommandFileComposer.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"
#include "cmdfile/RecordCodec.h"
#include "writer/RecordEncoder.h"
#include "writer/Texts.h"
#include "writer/WriterEnvironment.h"

#include <algorithm>
#include <stdexcept>

namespace vocabrella {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kKeyEventSize = 9;
constexpr std::size_t kMouseEventSize = 21;
// A key event's state byte: 65 and above reads as a release. Releases get the two top bits, as
// the flags of a key-up message have them; presses get none.
constexpr std::uint8_t kKeyUpState = 0xC0;
constexpr std::uint8_t kKeyDownState = 0x00;
constexpr std::size_t kMostSteps = 0xFF;     // readers take the low byte of the count
constexpr std::size_t kMostEvents = 0xFFFF;  // and the low 16 bits here
constexpr std::size_t kMostRecords = 0xFFFF; // and of the command and LIST counts

bool isGlobalScope(const ComposedCommand& c) {
    return names::isGlobalProgram(c.program) && names::isGlobalProgram(c.scope);
}

void writeSteps(ByteWriter& w, const std::vector<ComposedStep>& steps) {
    if (steps.size() > kMostSteps) throw InputRefusal(std::string(texts::ComposerTooManySteps));
    w.writeLong(static_cast<std::uint32_t>(steps.size()));
    for (const auto& s : steps) {
        w.writeByte(s.code);
        switch (s.code) {
        case 1:
            w.writeByte(s.keyCode);
            w.writeByte(s.modifiers);
            break;
        case 2:
            for (const auto& text : s.texts) w.writeCountedBytes(encodeForFile(text));
            w.writeLong(s.number);
            break;
        case 3: w.writeLong(s.number); break;
        case 4:
        case 5:
        case 6: break;
        case 11:
        case 12: w.writeCountedBytes(encodeForFile(s.texts[0])); break;
        default: break;
        }
    }
}

void writeEvents(ByteWriter& w, const ComposedCommand& c) {
    if (c.events.size() > kMostEvents) throw InputRefusal(std::string(texts::ComposerTooManyEvents));
    w.writeLong(static_cast<std::uint32_t>(c.recorderGroups.size()));
    for (const auto& group : c.recorderGroups)
        for (const auto& text : group) w.writeCountedBytes(encodeForFile(text));
    w.writeLong(static_cast<std::uint32_t>(c.events.size()));
    for (const auto& e : c.events) {
        if (!e.bytes.empty()) {
            w.writeBytes(e.bytes);
        } else if (e.type == ComposedEvent::Type::Key) {
            Bytes event(kKeyEventSize, 0);
            event[0] = 1;
            for (int b = 0; b < 4; ++b) event[1 + b] = static_cast<std::uint8_t>(e.time >> (8 * b));
            event[5] = e.keyCode;
            event[8] = e.up ? kKeyUpState : kKeyDownState;
            w.writeBytes(event);
        } else {
            Bytes event(kMouseEventSize, 0);
            event[0] = 2;
            for (int b = 0; b < 4; ++b) event[1 + b] = static_cast<std::uint8_t>(e.time >> (8 * b));
            event[5] = e.action;
            event[9] = static_cast<std::uint8_t>(e.x);
            event[10] = static_cast<std::uint8_t>(e.x >> 8);
            event[13] = static_cast<std::uint8_t>(e.y);
            event[14] = static_cast<std::uint8_t>(e.y >> 8);
            w.writeBytes(event);
        }
    }
}

void appendBigEndian(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t x : bytes) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void appendChunk(Bytes& png, std::string_view type, const Bytes& data) {
    appendBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    appendBigEndian(png, crc32(std::span(png).subspan(typeStart)));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
Bytes storedZlib(const Bytes& raw) {
    Bytes out{0x78, 0x01}; // deflate, 32K window, no dictionary, lowest level; checksum 0x7801 % 31 == 0
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 0xFFFF);
        const bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n));
        out.push_back(static_cast<std::uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    appendBigEndian(out, adler32(raw));
    return out;
}

// Windows-1252 text as rich text: the three special characters escaped, bytes above 127 as
// hexadecimal escapes, each CR LF a paragraph end.
void appendRichText(std::string& out, std::string_view cp1252) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const auto c = static_cast<unsigned char>(cp1252[i]);
        if (c == '\r' && i + 1 < cp1252.size() && cp1252[i + 1] == '\n') {
            out += "\\par\r\n";
            ++i;
        } else if (c == '\\' || c == '{' || c == '}') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c >= 0x80) {
            out += "\\'";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
}

ComposedStep bare(std::uint8_t code) {
    ComposedStep s;
    s.code = code;
    return s;
}

} // namespace

ComposedStep ComposedStep::press(std::uint8_t keyCode, std::uint8_t modifiers) {
    ComposedStep s;
    s.code = 1;
    s.keyCode = keyCode;
    s.modifiers = modifiers;
    return s;
}

ComposedStep ComposedStep::open(std::string program, std::string second, std::string third, std::uint32_t number) {
    ComposedStep s;
    s.code = 2;
    s.texts = {std::move(program), std::move(second), std::move(third)};
    s.number = number;
    return s;
}

ComposedStep ComposedStep::wait(std::uint32_t milliseconds) {
    ComposedStep s;
    s.code = 3;
    s.number = milliseconds;
    return s;
}

ComposedStep ComposedStep::stopListening() { return bare(4); }
ComposedStep ComposedStep::microphoneOn() { return bare(5); }
ComposedStep ComposedStep::microphoneOff() { return bare(6); }

ComposedStep ComposedStep::typeText(std::string text) {
    ComposedStep s;
    s.code = 11;
    s.texts[0] = std::move(text);
    return s;
}

ComposedStep ComposedStep::sendKeys(std::string keys) {
    ComposedStep s;
    s.code = 12;
    s.texts[0] = std::move(keys);
    return s;
}

ComposedEvent ComposedEvent::keyDown(std::uint8_t keyCode) {
    ComposedEvent e;
    e.keyCode = keyCode;
    return e;
}

ComposedEvent ComposedEvent::keyUp(std::uint8_t keyCode) {
    ComposedEvent e = keyDown(keyCode);
    e.up = true;
    return e;
}

ComposedEvent ComposedEvent::mouse(std::uint8_t action, std::uint16_t x, std::uint16_t y) {
    ComposedEvent e;
    e.type = Type::Mouse;
    e.action = action;
    e.x = x;
    e.y = y;
    return e;
}

std::vector<std::uint8_t> encodeComposedCommand(const ComposedCommand& c, FileVersionFamily family) {
    const auto kindByte = kindForTypeCode(c.typeCode);
    if (!kindByte) throw InputRefusal(std::string(texts::ComposerUnknownType) + c.typeCode + "\"");

    NewCommandRecord r;
    r.name = c.name;
    r.description = c.description;
    r.group = c.group;
    r.program = c.program;
    r.scope = c.scope;
    r.typeCode = c.typeCode;
    r.programDescription = c.programDescription;
    r.companyName = c.companyName;
    r.windowClass = c.windowClass;
    r.states = c.states;
    // A window title under "Global Commands" (a sleeping command) makes a window-specific record.
    const bool global = isGlobalScope(c);
    const NewRecord record(r, global ? 0 : c.scope == names::ApplicationSpecific ? 1 : 2);

    Bytes body;
    ByteWriter w(body);
    if (c.typeCode == "T" && c.formatted.empty())
        throw InputRefusal(std::string(texts::ComposerNoRichText));
    if (c.typeCode == "X") writeSteps(w, c.steps);
    else if (c.typeCode == "R") writeEvents(w, c);
    else RecordCodec::writeTextBody(*kindByte, c.typeCode == "T" ? c.formatted : "", encodeForFile(c.text), w);
    return record.encode(*kindByte, body, family);
}

CommandFileComposer::CommandFileComposer(std::uint8_t versionCode, std::uint8_t languageCode)
    : versionCode_(versionCode), languageCode_(languageCode) {
    const auto family = familyForCode(versionCode);
    if (!family) throw InputRefusal(std::string(texts::ComposerUnknownVersion) + std::to_string(versionCode));
    family_ = *family;
}

CommandFileComposer& CommandFileComposer::add(const ComposedCommand& command) {
    if (commands_ == kMostRecords) throw InputRefusal(std::string(texts::ComposerTooManyCommands));
    const Bytes record = encodeComposedCommand(command, family_);
    commandRecords_.insert(commandRecords_.end(), record.begin(), record.end());
    ++commands_;
    return *this;
}

CommandFileComposer& CommandFileComposer::add(const ComposedList& list) {
    if (lists_ == kMostRecords) throw InputRefusal(std::string(texts::ComposerTooManyLists));
    const Bytes record = encodeList(list.name, list.items);
    listRecords_.insert(listRecords_.end(), record.begin(), record.end());
    ++lists_;
    return *this;
}

std::vector<std::uint8_t> CommandFileComposer::bytes() const {
    const auto header = format::newHeader(versionCode_, languageCode_);
    Bytes out(header.begin(), header.end());
    out.reserve(out.size() + commandRecords_.size() + 4 + listRecords_.size());
    for (int b = 0; b < 4; ++b)
        out[format::kCommandCountOffset + b] = static_cast<std::uint8_t>(commands_ >> (8 * b));
    out.insert(out.end(), commandRecords_.begin(), commandRecords_.end());
    ByteWriter(out).writeLong(static_cast<std::uint32_t>(lists_));
    out.insert(out.end(), listRecords_.begin(), listRecords_.end());
    return out;
}

std::vector<std::uint8_t> solidColourPng(std::uint32_t width, std::uint32_t height, std::uint8_t red,
                                         std::uint8_t green, std::uint8_t blue) {
    if (width == 0 || height == 0) throw InputRefusal(std::string(texts::ComposerEmptyPicture));
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, adaptive filters, no interlace
    appendChunk(png, "IHDR", header);

    Bytes raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(0); // filter: none
        for (std::uint32_t x = 0; x < width; ++x) raw.insert(raw.end(), {red, green, blue});
    }
    appendChunk(png, "IDAT", storedZlib(raw));
    appendChunk(png, "IEND", {});
    return png;
}

std::string richTextWithPicture(std::string_view text, std::span<const std::uint8_t> png, std::uint32_t widthPixels,
                                std::uint32_t heightPixels) {
    static constexpr char kHex[] = "0123456789abcdef";
    constexpr std::uint32_t kTwipsPerPixel = 15; // at 96 dpi
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n\\pard\\f0\\fs20 ";
    appendRichText(out, encodeForFile(text));
    out += "\\par\r\n{\\pict\\pngblip\\picw" + std::to_string(widthPixels) + "\\pich" + std::to_string(heightPixels) +
           "\\picwgoal" + std::to_string(widthPixels * kTwipsPerPixel) + "\\pichgoal" +
           std::to_string(heightPixels * kTwipsPerPixel) + "\r\n";
    for (std::size_t i = 0; i < png.size(); ++i) {
        out.push_back(kHex[png[i] >> 4]);
        out.push_back(kHex[png[i] & 15]);
        if (i % 32 == 31 || i + 1 == png.size()) out += "\r\n";
    }
    out += "}\\par\r\n}";
    return out;
}

} // namespace vocabrella
