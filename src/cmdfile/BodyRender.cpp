#include "cmdfile/BodyRender.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/KeyNames.h"
#include "cmdfile/Prompter.h"

namespace vocabrella {
namespace {

class Lines {
public:
    std::string& next() {
        if (!text_.empty() || started_) text_.append("\r\n");
        started_ = true;
        return text_;
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    bool started_ = false;
};

void appendQuoted(std::string& out, std::string_view cp1252) {
    out.push_back('"');
    codec::appendCp1252AsUtf8(out, cp1252);
    out.push_back('"');
}

constexpr std::size_t kKeyEventSize = 9;
constexpr std::size_t kMouseEventSize = 21;

} // namespace

std::string renderRecorderBody(ByteReader& r, const KeyNames& keys) {
    const std::uint32_t groups = r.readLong("the recorder group count") & 0xFF;
    for (std::uint32_t g = 0; g < groups * 6; ++g) r.readCountedBytes("a recorder group text");
    const std::uint32_t events = r.readLong("the recorder event count") & 0xFFFF;
    Lines lines;
    for (std::uint32_t e = 0; e < events; ++e) {
        const std::size_t start = r.cursor();
        const std::uint8_t type = r.readByte("a recorder event");
        if (type == 1) {
            r.skip(kKeyEventSize - 1, "a recorder key event");
            const auto bytes = r.bytes();
            const std::uint8_t code = bytes[start + 5];
            const std::uint8_t state = bytes[start + 8];
            lines.next().append(keys.name(code)).append(" key ").append(state >= 65 ? "up" : "down");
        } else if (type == 2) {
            r.skip(kMouseEventSize - 1, "a recorder mouse event");
            const std::uint8_t action = r.bytes()[start + 5];
            std::string& line = lines.next();
            switch (action) {
            case 0:
                line.append("Mouse move (")
                    .append(std::to_string(r.peekWord(start + 9)))
                    .append(",")
                    .append(std::to_string(r.peekWord(start + 13)))
                    .append(")");
                break;
            case 1: line.append("Mouse left button down"); break;
            case 2: line.append("Mouse left button up"); break;
            case 4: line.append("Mouse right button down"); break;
            case 5: line.append("Mouse right button up"); break;
            default: line.append("Mouse something"); break;
            }
        } else if (type == 3) {
            r.skip(kKeyEventSize - 1, "a recorder event");
        }
    }
    return lines.take();
}

void UnknownStepReport::report(std::uint8_t code, std::size_t position) {
    if (reported_) return;
    reported_ = true;
    prompter_.message("Unknown step-by-step command:" + std::to_string(code), "Offset =" + std::to_string(position));
}

std::string renderStepBody(ByteReader& r, const KeyNames& keys, UnknownStepReport& unknownSteps) {
    const std::uint32_t steps = r.readLong("the step count") & 0xFF;
    Lines lines;
    for (std::uint32_t s = 0; s < steps; ++s) {
        const std::uint8_t code = r.readByte("a step code");
        switch (code) {
        case 1: {
            const std::uint8_t key = r.readByte("the key of a step");
            const std::uint8_t modifiers = r.readByte("the modifier keys of a step");
            std::string& line = lines.next();
            line.append("Press ");
            if (modifiers & 1) line.append("Shift + ");
            if (modifiers & 2) line.append("Ctrl + ");
            if (modifiers & 4) line.append("Alt + ");
            line.append(keys.name(key));
            break;
        }
        case 2: {
            const auto first = r.readCountedBytes("the program of an open step");
            const auto second = r.readCountedBytes("the second text of an open step");
            const auto third = r.readCountedBytes("the third text of an open step");
            const std::uint32_t number = r.readLong("the number of an open step") & 0xFF;
            std::string& line = lines.next();
            line.append("Open ");
            appendQuoted(line, first);
            line.push_back(',');
            appendQuoted(line, second);
            line.push_back(',');
            appendQuoted(line, third);
            line.append(",\"");
            if (number != 1) line.append(std::to_string(number));
            line.push_back('"');
            break;
        }
        case 3:
            lines.next()
                .append("wait ")
                .append(std::to_string(r.readLong("the milliseconds of a wait step") & 0xFFFF))
                .append(" milliseconds");
            break;
        case 4: lines.next().append("Stop Listening"); break;
        case 5: lines.next().append("Microphone On"); break;
        case 6: lines.next().append("Microphone Off"); break;
        case 11:
        case 12: {
            const auto text = r.readCountedBytes(code == 11 ? "the text of a type step" : "the keys of a send-keys step");
            std::string& line = lines.next();
            line.append(code == 11 ? "Type " : "SendKeys ");
            appendQuoted(line, text);
            break;
        }
        default: unknownSteps.report(code, r.position()); break;
        }
    }
    return lines.take();
}

} // namespace vocabrella
