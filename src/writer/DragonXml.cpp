#include "writer/DragonXml.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/TextCase.h"
#include "cmdfile/XmlDocument.h"
#include "writer/Texts.h"

#include <charconv>
#include <set>

namespace vocabrella {

namespace dragonxml {

std::string bracketsForXml(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = c == '<' ? '[' : c == '>' ? ']' : c;
    return out;
}

std::string bracketsForFile(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = c == '[' ? '<' : c == ']' ? '>' : c;
    return out;
}

std::optional<std::uint16_t> parseLanguageId(std::string_view text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    if (hex) text.remove_prefix(2);
    std::uint32_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, hex ? 16 : 10);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || value == 0 || value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string languageIdText(std::uint16_t id) {
    char buffer[8];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, id, 16);
    (void)ec;
    return "0x" + std::string(buffer, ptr);
}

std::string plainRichText(std::string_view utf8) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    const std::string bytes = codec::utf8ToCp1252(utf8);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r') rtf += "\\par\r\n";
        else if (c == '\\' || c == '{' || c == '}') (rtf += '\\') += static_cast<char>(c);
        else if (c == '\t') rtf += "\\tab ";
        else if (c >= 0x80 || c < 0x20) {
            static constexpr char hex[] = "0123456789abcdef";
            rtf += "\\'";
            rtf += hex[c >> 4];
            rtf += hex[c & 15];
        } else rtf += static_cast<char>(c);
    }
    return rtf + "}";
}

} // namespace dragonxml

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

std::string utf8(std::string_view cp1252) { return codec::cp1252ToUtf8(cp1252); }

std::string utf8(const RawString& s) { return codec::cp1252ToUtf8(s.text); }

// Bodies keep CR LF; a document saved with bare line feeds gets them back.
std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

// Whether a TEXT-GRAPHICS body's rich text holds anything beyond its plain text: it is neither
// empty nor the rich text written for a plain-text body (of the text as the file or as the
// document spells its line ends).
bool saysMoreThanItsText(std::string_view rich, std::string_view documentText, std::string_view fileText) {
    if (rich.find_first_not_of(" \t\r\n") == std::string_view::npos) return false;
    for (const auto text : {documentText, fileText})
        if (codec::hasCp1252Form(text) && rich == dragonxml::plainRichText(text)) return false;
    return true;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) { return foldCase(a) == foldCase(b); }

std::string_view mouseActionName(std::uint8_t action) {
    switch (action) {
    case 0: return "move";
    case 1: return "leftdown";
    case 2: return "leftup";
    case 4: return "rightdown";
    case 5: return "rightup";
    default: return {};
    }
}

std::optional<std::uint8_t> mouseActionCode(std::string_view name) {
    for (std::uint8_t a : {0, 1, 2, 4, 5})
        if (mouseActionName(a) == name) return a;
    return std::nullopt;
}

std::string_view stepName(std::uint8_t code) {
    switch (code) {
    case 1: return "press";
    case 2: return "open";
    case 3: return "wait";
    case 4: return "stop-listening";
    case 5: return "microphone-on";
    case 6: return "microphone-off";
    case 11: return "type-text";
    case 12: return "send-keys";
    default: return {};
    }
}

std::uint16_t word(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t longAt(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::string hexOf(std::span<const std::uint8_t> bytes) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    for (const auto b : bytes) {
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> bytesOfHex(std::string_view text) {
    if (text.size() % 2 != 0 || text.empty()) return std::nullopt;
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        std::uint8_t b = 0;
        const auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + i + 2, b, 16);
        if (ec != std::errc() || ptr != text.data() + i + 2) return std::nullopt;
        out.push_back(b);
    }
    return out;
}

// A body read the way the reader reads it, for the elements of its XML form.
xml::Element recorderContents(std::span<const std::uint8_t> body) {
    xml::Element contents{"contents", {{"type", std::string(dragonxml::Actions)}}, {}, {}, 0};
    ByteReader r(body);
    const std::uint32_t groups = r.readLong() & 0xFF;
    for (std::uint32_t g = 0; g < groups; ++g) {
        xml::Element group{"group", {}, {}, {}, 0};
        for (int k = 0; k < 6; ++k) group.children.push_back({"string", {}, {}, utf8(r.readCountedBytes()), 0});
        contents.children.push_back(std::move(group));
    }
    const std::uint32_t events = r.readLong() & 0xFFFF;
    for (std::uint32_t e = 0; e < events; ++e) {
        const auto start = r.cursor();
        const std::uint8_t type = r.readByte();
        const std::size_t size = type == 1 || type == 3 ? 9 : type == 2 ? 21 : 1;
        r.seek(start);
        r.skip(size, "a recorder event");
        const auto event = body.subspan(start, size);
        xml::Element action{"action", {}, {}, {}, 0};
        if (type == 1) {
            action.attributes = {{"time", std::to_string(longAt(event, 1))},
                                 {"type", event[8] >= 65 ? "keyup" : "keydown"},
                                 {"key", std::to_string(event[5])},
                                 {"window", "0"}};
        } else if (type == 2 && !mouseActionName(event[5]).empty()) {
            action.attributes = {{"time", std::to_string(longAt(event, 1))},
                                 {"type", std::string(mouseActionName(event[5]))},
                                 {"x", std::to_string(word(event, 9))},
                                 {"y", std::to_string(word(event, 13))},
                                 {"window", "0"}};
        } else {
            // Events without a named action are kept as they stand.
            action.attributes = {{"type", "event"}, {"data", hexOf(event)}};
        }
        contents.children.push_back(std::move(action));
    }
    return contents;
}

xml::Element stepContents(std::span<const std::uint8_t> body) {
    xml::Element contents{"contents", {{"type", std::string(dragonxml::StepByStep)}}, {}, {}, 0};
    ByteReader r(body);
    const std::uint32_t steps = r.readLong() & 0xFF;
    for (std::uint32_t s = 0; s < steps && !r.atEnd(); ++s) {
        const std::uint8_t code = r.readByte();
        xml::Element step{"step", {{"type", std::string(stepName(code))}}, {}, {}, 0};
        switch (code) {
        case 1: {
            const auto key = r.readByte();
            const auto modifiers = r.readByte();
            step.attributes.emplace_back("key", std::to_string(key));
            step.attributes.emplace_back("modifiers", std::to_string(modifiers));
            break;
        }
        case 2:
            step.attributes.emplace_back("program", utf8(r.readCountedBytes()));
            step.attributes.emplace_back("second", utf8(r.readCountedBytes()));
            step.attributes.emplace_back("third", utf8(r.readCountedBytes()));
            step.attributes.emplace_back("number", std::to_string(r.readLong() & 0xFF));
            break;
        case 3: step.attributes.emplace_back("milliseconds", std::to_string(r.readLong() & 0xFFFF)); break;
        case 11:
        case 12: step.attributes.emplace_back("text", utf8(r.readCountedBytes())); break;
        case 4:
        case 5:
        case 6: break;
        default: step.attributes = {{"code", std::to_string(code)}};
        }
        contents.children.push_back(std::move(step));
    }
    return contents;
}

bool isTextElement(std::string_view name) {
    return name == "contents" || name == "RTF" || name == "TEXT" || name == "Value" || name == "string";
}

void writeElement(xml::Writer& w, const xml::Element& e) {
    if (!e.children.empty()) {
        w.open(e.name, e.attributes);
        for (const auto& c : e.children) writeElement(w, c);
        w.close();
    } else if (e.name == "action" || e.name == "step") {
        w.empty(e.name, e.attributes);
    } else {
        w.textElement(e.name, e.text, e.attributes, isTextElement(e.name));
    }
}

// Reading: one command's problems are collected under its name.
class CommandReader {
public:
    CommandReader(std::vector<std::string>& problems, std::string name) : problems_(problems), name_(std::move(name)) {}

    void problem(std::string_view what) { problems_.push_back(name_ + ": " + std::string(what)); ok_ = false; }
    bool ok() const { return ok_; }

    std::optional<std::uint32_t> number(const xml::Element& e, std::string_view key, std::uint32_t most,
                                        bool required = true) {
        const auto* text = e.attribute(key);
        if (!text) {
            if (required) problem(std::string(texts::XmlMissingAttribute) + std::string(key) + " (<" + e.name + ">)");
            return required ? std::nullopt : std::optional<std::uint32_t>(0);
        }
        std::uint32_t value = 0;
        const auto [ptr, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
        if (text->empty() || ec != std::errc() || ptr != text->data() + text->size() || value > most) {
            problem(std::string(texts::XmlBadNumber) + std::string(key) + "=\"" + *text + "\" (<" + e.name + ">)");
            return std::nullopt;
        }
        return value;
    }

    void actions(const xml::Element& contents, ComposedCommand& c) {
        for (const auto& child : contents.children) {
            if (child.name == "group") {
                std::array<std::string, 6> group;
                const auto strings = child.childrenNamed("string");
                for (std::size_t k = 0; k < strings.size() && k < 6; ++k) group[k] = strings[k]->text;
                c.recorderGroups.push_back(std::move(group));
                continue;
            }
            if (child.name != "action") continue;
            const auto type = child.attributeOr("type");
            ComposedEvent event;
            if (type == "event") {
                const auto bytes = bytesOfHex(child.attributeOr("data"));
                if (!bytes) {
                    problem(std::string(texts::XmlBadAction) + type);
                    continue;
                }
                event.bytes = *bytes;
            } else if (type == "keydown" || type == "keyup") {
                const auto key = number(child, "key", 255);
                if (!key) continue;
                event = type == "keyup" ? ComposedEvent::keyUp(static_cast<std::uint8_t>(*key))
                                        : ComposedEvent::keyDown(static_cast<std::uint8_t>(*key));
            } else if (const auto action = mouseActionCode(type)) {
                const auto x = number(child, "x", 0xFFFF, false);
                const auto y = number(child, "y", 0xFFFF, false);
                if (!x || !y) continue;
                event = ComposedEvent::mouse(*action, static_cast<std::uint16_t>(*x), static_cast<std::uint16_t>(*y));
            } else {
                problem(std::string(texts::XmlBadAction) + type);
                continue;
            }
            if (const auto time = number(child, "time", 0xFFFFFFFF, false)) event.time = *time;
            c.events.push_back(std::move(event));
        }
    }

    void steps(const xml::Element& contents, ComposedCommand& c) {
        for (const auto* step : contents.childrenNamed("step")) {
            const auto type = step->attributeOr("type");
            ComposedStep s;
            if (type.empty()) {
                const auto code = number(*step, "code", 255);
                if (!code) continue;
                s.code = static_cast<std::uint8_t>(*code);
            } else if (type == "press") {
                const auto key = number(*step, "key", 255);
                const auto modifiers = number(*step, "modifiers", 255, false);
                if (!key || !modifiers) continue;
                s = ComposedStep::press(static_cast<std::uint8_t>(*key), static_cast<std::uint8_t>(*modifiers));
            } else if (type == "open") {
                const auto n = number(*step, "number", 255, false);
                if (!n) continue;
                s = ComposedStep::open(step->attributeOr("program"), step->attributeOr("second"),
                                       step->attributeOr("third"), *n);
            } else if (type == "wait") {
                const auto ms = number(*step, "milliseconds", 0xFFFF);
                if (!ms) continue;
                s = ComposedStep::wait(*ms);
            } else if (type == "stop-listening") {
                s = ComposedStep::stopListening();
            } else if (type == "microphone-on") {
                s = ComposedStep::microphoneOn();
            } else if (type == "microphone-off") {
                s = ComposedStep::microphoneOff();
            } else if (type == "type-text") {
                s = ComposedStep::typeText(step->attributeOr("text"));
            } else if (type == "send-keys") {
                s = ComposedStep::sendKeys(step->attributeOr("text"));
            } else {
                problem(std::string(texts::XmlBadStep) + type);
                continue;
            }
            c.steps.push_back(std::move(s));
        }
    }

private:
    std::vector<std::string>& problems_;
    std::string name_;
    bool ok_ = true;
};

} // namespace

XmlCommandSet readDragonXml(std::span<const std::uint8_t> bytes) {
    const auto root = xml::parse(bytes);
    if (root.name != "MyCommands") throw xml::XmlError(root.line, std::string(texts::XmlNotMyCommands));
    XmlCommandSet set;
    if (const auto* language = root.attribute("language")) {
        const auto id = dragonxml::parseLanguageId(*language);
        if (!id) throw xml::XmlError(root.line, std::string(texts::XmlBadLanguage) + *language);
        set.language = *id;
    }
    for (const auto* scope : root.childrenNamed("Commands")) {
        const auto type = scope->attributeOr("type");
        const auto text = [&](std::string_view name) {
            const auto* e = scope->child(name);
            return e ? e->text : std::string();
        };
        ComposedCommand base;
        if (equalsIgnoringCase(type, "application") || equalsIgnoringCase(type, "window")) {
            base.program = text("module");
            base.programDescription = text("description");
            base.companyName = text("company");
            base.scope = names::ApplicationSpecific;
            if (equalsIgnoringCase(type, "window")) {
                base.scope = text("caption");
                base.windowClass = text("class");
            }
            if (base.program.empty()) {
                set.problems.push_back("<Commands type=\"" + type + "\"> (line " + std::to_string(scope->line) +
                                       "): " + std::string(texts::XmlNoModule));
                continue;
            }
        } else if (!equalsIgnoringCase(type, "global")) {
            set.problems.push_back("<Commands type=\"" + type + "\"> (line " + std::to_string(scope->line) +
                                   "): " + std::string(texts::XmlUnknownScope));
            continue;
        }
        for (const auto* command : scope->childrenNamed("Command")) {
            ComposedCommand c = base;
            c.name = dragonxml::bracketsForFile(command->attributeOr("name"));
            CommandReader reader(set.problems, c.name.empty() ? "(line " + std::to_string(command->line) + ")" : c.name);
            c.group = command->attributeOr("group");
            if (const auto* d = command->child("description")) c.description = d->text;
            const auto states = command->attributeOr("states");
            for (std::size_t from = 0; from < states.size();) {
                auto comma = states.find(',', from);
                if (comma == std::string::npos) comma = states.size();
                if (comma > from) c.states.push_back(states.substr(from, comma - from));
                from = comma + 1;
            }
            const auto* contents = command->child("contents");
            if (!contents) {
                reader.problem(texts::XmlNoContents);
                continue;
            }
            const auto kind = contents->attributeOr("type");
            if (kind == dragonxml::Script || kind == dragonxml::LegacyScript || kind == dragonxml::Keys) {
                c.typeCode = kind == dragonxml::Script ? "A" : kind == dragonxml::Keys ? "K" : "S";
                c.text = withCrLf(contents->text);
            } else if (kind == dragonxml::TextGraphics) {
                const auto* rtf = contents->child("RTF");
                const auto* plain = contents->child("TEXT");
                c.text = plain ? withCrLf(plain->text) : std::string();
                // The rich text is the body, fonts, colours and pictures alike; only the rich
                // text an export makes of a plain-text body (or none) stands for plain text.
                if (rtf && saysMoreThanItsText(rtf->text, plain ? plain->text : std::string_view(), c.text)) {
                    c.typeCode = "T";
                    if (!codec::hasCp1252Form(rtf->text)) reader.problem(texts::XmlNoCp1252);
                    else c.formatted = codec::utf8ToCp1252(rtf->text);
                } else {
                    c.typeCode = "P";
                }
            } else if (kind == dragonxml::Actions) {
                c.typeCode = "R";
                reader.actions(*contents, c);
            } else if (kind == dragonxml::StepByStep) {
                c.typeCode = "X";
                reader.steps(*contents, c);
            } else {
                reader.problem(std::string(texts::XmlUnknownContents) + kind);
                continue;
            }
            if (reader.ok()) set.commands.push_back(std::move(c));
        }
    }
    if (const auto* lists = root.child("Lists")) {
        for (const auto* list : lists->childrenNamed("List")) {
            ComposedList l;
            l.name = list->attributeOr("name");
            for (const auto* value : list->childrenNamed("Value")) l.items.push_back(value->text);
            set.lists.push_back(std::move(l));
        }
    }
    return set;
}

void DragonXmlWriter::add(const RawRecord& record) {
    const std::string name = utf8(record.name);
    const int scopeType = record.scope();
    if (record.encrypted() || scopeType > 2 || typeCodeForKind(record.kindByte, 1).empty()) {
        leftOut_.push_back(name);
        return;
    }
    xml::Element command{"Command", {}, {}, {}, 0};
    command.attributes = {{"name", dragonxml::bracketsForXml(name)},
                          {"group", utf8(record.group)},
                          {"enabled", "true"}};
    std::string states;
    for (const auto& s : record.stateNames) (states += states.empty() ? "" : ",") += utf8(s);
    command.attributes.emplace_back("states", states);
    command.children.push_back({"description", {}, {}, utf8(record.description), 0});

    xml::Element contents{"contents", {}, {}, {}, 0};
    switch (record.kindByte) {
    case kind::Advanced:
    case kind::Script:
    case kind::Keys:
        contents.attributes = {{"type", std::string(record.kindByte == kind::Advanced ? dragonxml::Script
                                                    : record.kindByte == kind::Script ? dragonxml::LegacyScript
                                                                                      : dragonxml::Keys)}};
        contents.text = utf8(record.text);
        if (record.kindByte == kind::Keys) ownForm_.push_back(name);
        break;
    case kind::Text: {
        ByteReader r(record.formatted);
        const auto length = r.readCount();
        const auto formatted = record.formatted.subspan(r.cursor(), length);
        const std::string_view rich(reinterpret_cast<const char*>(formatted.data()), formatted.size());
        contents.attributes = {{"type", std::string(dragonxml::TextGraphics)}};
        const std::string text = utf8(record.text);
        contents.children.push_back({"RTF", {}, {}, rich.empty() ? dragonxml::plainRichText(text) : utf8(rich), 0});
        contents.children.push_back({"TEXT", {}, {}, text, 0});
        break;
    }
    case kind::Recorder: contents = recorderContents(record.body); break;
    case kind::StepByStep:
        contents = stepContents(record.body);
        ownForm_.push_back(name);
        break;
    }
    command.children.push_back(std::move(contents));

    std::vector<std::string> strings;
    for (const auto& s : record.scopeStrings) strings.push_back(utf8(s));
    Scope* scope = nullptr;
    for (auto& s : scopes_)
        if (s.type == scopeType && s.strings == strings) scope = &s;
    if (!scope) scope = &scopes_.emplace_back(Scope{scopeType, strings, {}});
    xml::Writer w(2);
    writeElement(w, command);
    scope->commands.push_back(w.text());
    ++commandCount_;
}

void DragonXmlWriter::addList(std::string_view name, std::span<const std::string> items) {
    lists_.emplace_back(std::string(name), std::vector<std::string>(items.begin(), items.end()));
}

std::vector<std::uint8_t> DragonXmlWriter::bytes() const {
    xml::Writer w;
    w.declaration("utf-16");
    w.raw("<!DOCTYPE MyCommands SYSTEM \"MyCommands.dtd\">");
    w.open("MyCommands", {{"version", "2.0"}, {"language", dragonxml::languageIdText(language_)}});
    std::string out = w.text();
    for (const auto& scope : scopes_) {
        static constexpr std::string_view types[] = {"global", "application", "window"};
        xml::Writer head(1);
        head.open("Commands", {{"type", std::string(types[scope.type])}});
        if (scope.type > 0) {
            const auto at = [&](std::size_t i) { return i < scope.strings.size() ? scope.strings[i] : std::string(); };
            head.textElement("module", at(0), {}, false);
            head.textElement("company", at(2), {}, false);
            head.textElement("description", at(1), {}, false);
            if (scope.type == 2) {
                head.textElement("caption", at(3), {}, false);
                head.textElement("class", at(4), {}, false);
            }
        }
        out += head.text();
        for (const auto& command : scope.commands) out += command;
        out += "  </Commands>\r\n";
    }
    out += "  <Lists>\r\n";
    for (const auto& [name, items] : lists_) {
        xml::Element list{"List", {{"name", name}}, {}, {}, 0};
        for (const auto& item : items) list.children.push_back({"Value", {}, {}, item, 0});
        xml::Writer lw(2);
        if (items.empty()) lw.empty("List", list.attributes);
        else writeElement(lw, list);
        out += lw.text();
    }
    out += "  </Lists>\r\n</MyCommands>\r\n";
    return xml::utf16LittleEndianWithMark(out);
}

} // namespace vocabrella
