#include "cmdfile/XmlDocument.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <unordered_set>

namespace vocabrella::xml {

namespace {

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string fromUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) throw XmlError(0, "A UTF-16 document has an odd number of bytes");
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t line = 1;
    const auto unit = [&](std::size_t i) {
        return bigEndian ? static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1])
                         : static_cast<std::uint32_t>(bytes[i + 1] << 8 | bytes[i]);
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 >= bytes.size()) throw XmlError(line, "A UTF-16 surrogate pair is cut short");
            const std::uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) throw XmlError(line, "A UTF-16 surrogate stands alone");
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            throw XmlError(line, "A UTF-16 surrogate stands alone");
        }
        if (c == '\n') ++line;
        appendUtf8(out, c);
    }
    return out;
}

void checkUtf8(std::string_view s) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == '\n') ++line;
        std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) throw XmlError(line, "The document is not valid UTF-8");
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) throw XmlError(line, "The document is not valid UTF-8");
        i += n;
    }
}

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == ':' || u >= 0x80;
}

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    Element document() {
        skipProlog();
        if (!at("<")) fail("The document has no root element");
        Element root = element();
        skipMisc();
        if (pos_ < s_.size()) fail("Text after the root element");
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throw XmlError(line_, what); }

    bool at(std::string_view t) const { return s_.substr(pos_, t.size()) == t; }
    void advance(std::size_t n) {
        for (std::size_t i = 0; i < n && pos_ < s_.size(); ++i, ++pos_)
            if (s_[pos_] == '\n') ++line_;
    }
    void skipSpace() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n'))
            advance(1);
    }
    // Moves past the next `end`; the text before it is returned.
    std::string_view until(std::string_view end, const char* what) {
        const auto found = s_.find(end, pos_);
        if (found == std::string_view::npos) fail(std::string("Unterminated ") + what);
        const auto text = s_.substr(pos_, found - pos_);
        advance(found - pos_ + end.size());
        return text;
    }

    void skipDoctype() {
        advance(9);
        int depth = 0;
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == '[') ++depth;
            else if (c == ']') --depth;
            else if (c == '"' || c == '\'') {
                advance(1);
                until(std::string_view(&c, 1), "DOCTYPE");
                continue;
            } else if (c == '>' && depth <= 0) {
                advance(1);
                return;
            }
            advance(1);
        }
        fail("Unterminated DOCTYPE");
    }

    void skipMisc() {
        for (;;) {
            skipSpace();
            if (at("<?")) until("?>", "processing instruction");
            else if (at("<!--")) until("-->", "comment");
            else return;
        }
    }
    void skipProlog() {
        for (;;) {
            skipMisc();
            if (at("<!DOCTYPE")) skipDoctype();
            else return;
        }
    }

    // The name as it stands in the document.
    std::string_view nameView() {
        const auto start = pos_;
        while (pos_ < s_.size() && isNameChar(s_[pos_])) ++pos_;
        if (start == pos_) fail("A name was expected");
        return s_.substr(start, pos_ - start);
    }
    std::string name() { return std::string(nameView()); }

    void reference(std::string& out) {
        advance(1); // '&'
        const auto end = s_.find(';', pos_);
        if (end == std::string_view::npos || end - pos_ > 10) fail("An unterminated entity reference");
        const auto ref = s_.substr(pos_, end - pos_);
        if (ref == "lt") out.push_back('<');
        else if (ref == "gt") out.push_back('>');
        else if (ref == "amp") out.push_back('&');
        else if (ref == "quot") out.push_back('"');
        else if (ref == "apos") out.push_back('\'');
        else if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x' || ref[1] == 'X';
            const auto digits = ref.substr(hex ? 2 : 1);
            std::uint32_t c = 0;
            const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), c, hex ? 16 : 10);
            if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size() || c == 0 || c > 0x10FFFF ||
                (c >= 0xD800 && c <= 0xDFFF))
                fail("A bad character reference &" + std::string(ref) + ";");
            appendUtf8(out, c);
        } else {
            fail("An unknown entity &" + std::string(ref) + ";");
        }
        advance(ref.size() + 1);
    }

    std::string attributeValue() {
        if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) fail("An attribute value must be quoted");
        const char quote = s_[pos_];
        advance(1);
        std::string value;
        while (pos_ < s_.size() && s_[pos_] != quote) {
            if (s_[pos_] == '<') fail("A \"<\" in an attribute value");
            if (s_[pos_] == '&') reference(value);
            else {
                value.push_back(s_[pos_]);
                advance(1);
            }
        }
        if (pos_ >= s_.size()) fail("Unterminated attribute value");
        advance(1);
        return value;
    }

    Element element() {
        if (++depth_ > 200) fail("Elements nested too deeply");
        Element e;
        e.line = line_;
        advance(1); // '<'
        e.name = name();
        // The names seen so far, to refuse one given twice without comparing it with each.
        std::unordered_set<std::string_view> keys;
        for (;;) {
            skipSpace();
            if (at("/>")) {
                advance(2);
                --depth_;
                return e;
            }
            if (at(">")) {
                advance(1);
                break;
            }
            const auto key = nameView();
            skipSpace();
            if (!at("=")) fail("\"=\" expected after the attribute " + std::string(key));
            advance(1);
            skipSpace();
            if (!keys.insert(key).second) fail("The attribute " + std::string(key) + " is given twice");
            e.attributes.emplace_back(std::string(key), attributeValue());
        }
        for (;;) {
            if (pos_ >= s_.size()) fail("The element <" + e.name + "> is not closed");
            if (at("</")) {
                advance(2);
                const auto closing = name();
                if (closing != e.name) fail("</" + closing + "> closes <" + e.name + ">");
                skipSpace();
                if (!at(">")) fail("\">\" expected");
                advance(1);
                --depth_;
                return e;
            }
            if (at("<![CDATA[")) {
                advance(9);
                e.text += until("]]>", "CDATA section");
            } else if (at("<!--")) {
                until("-->", "comment");
            } else if (at("<?")) {
                until("?>", "processing instruction");
            } else if (at("<")) {
                e.children.push_back(element());
            } else if (at("&")) {
                reference(e.text);
            } else {
                e.text.push_back(s_[pos_]);
                advance(1);
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    int depth_ = 0;
};

bool allowedInXml(unsigned char c) { return c >= 0x20 || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

XmlError::XmlError(std::size_t line, const std::string& what)
    : std::runtime_error(line ? "Line " + std::to_string(line) + ": " + what : what), line_(line) {}

const std::string* Element::attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes)
        if (k == key) return &v;
    return nullptr;
}

std::string Element::attributeOr(std::string_view key, std::string_view fallback) const {
    const auto* v = attribute(key);
    return v ? *v : std::string(fallback);
}

const Element* Element::child(std::string_view childName) const {
    for (const auto& c : children)
        if (c.name == childName) return &c;
    return nullptr;
}

std::vector<const Element*> Element::childrenNamed(std::string_view childName) const {
    std::vector<const Element*> found;
    for (const auto& c : children)
        if (c.name == childName) found.push_back(&c);
    return found;
}

std::string decodeDocument(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return fromUtf16(bytes.subspan(2), false);
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return fromUtf16(bytes.subspan(2), true);
    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == 0) return fromUtf16(bytes, false);
    if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] == '<') return fromUtf16(bytes, true);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    checkUtf8(text);
    return std::string(text);
}

Element parseText(std::string_view utf8) { return Parser(utf8).document(); }

Element parse(std::span<const std::uint8_t> bytes) { return parseText(decodeDocument(bytes)); }

std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) out += "&#" + std::to_string(static_cast<unsigned char>(c)) + ";";
            else out.push_back(c);
        }
    }
    return out;
}

void Writer::declaration(std::string_view encoding) {
    out_ += "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) + "\"?>\r\n";
}

void Writer::raw(std::string_view line) {
    out_ += line;
    out_ += "\r\n";
}

void Writer::indent() { out_.append((depth_ + open_.size()) * 2, ' '); }

void Writer::startTag(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attributes) {
    indent();
    out_ += '<';
    out_ += name;
    for (const auto& [k, v] : attributes) out_ += " " + k + "=\"" + escape(v) + "\"";
}

void Writer::open(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attributes) {
    startTag(name, attributes);
    out_ += ">\r\n";
    open_.emplace_back(name);
}

void Writer::close() {
    const auto name = open_.back();
    open_.pop_back();
    indent();
    out_ += "</" + name + ">\r\n";
}

void Writer::empty(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attributes) {
    startTag(name, attributes);
    out_ += "/>\r\n";
}

void Writer::textElement(std::string_view name, std::string_view text,
                         const std::vector<std::pair<std::string, std::string>>& attributes, bool cdata) {
    startTag(name, attributes);
    out_ += '>';
    // CDATA cannot hold the control characters XML forbids; such a text is written escaped.
    if (cdata && std::all_of(text.begin(), text.end(), [](char c) { return allowedInXml(static_cast<unsigned char>(c)); })) {
        if (!text.empty()) {
            out_ += "<![CDATA[";
            std::size_t from = 0;
            for (auto at = text.find("]]>"); at != std::string_view::npos; at = text.find("]]>", from)) {
                out_ += text.substr(from, at + 2 - from);
                out_ += "]]><![CDATA[";
                from = at + 2;
            }
            out_ += text.substr(from);
            out_ += "]]>";
        }
    } else {
        for (const char c : text) {
            if (c == '\r' || c == '\n' || c == '\t') out_.push_back(c);
            else out_ += escape(std::string_view(&c, 1));
        }
    }
    out_ += "</" + std::string(name) + ">\r\n";
}

std::vector<std::uint8_t> utf16LittleEndianWithMark(std::string_view utf8) {
    std::vector<std::uint8_t> out{0xFF, 0xFE};
    out.reserve(2 + utf8.size() * 2);
    const auto put = [&](std::uint32_t unit) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        std::uint32_t c = b;
        std::size_t n = 1;
        if (b >= 0xF0 && i + 3 < utf8.size()) {
            c = (b & 0x07u) << 18 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 12 |
                (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu) << 6 | (static_cast<unsigned char>(utf8[i + 3]) & 0x3Fu);
            n = 4;
        } else if (b >= 0xE0 && i + 2 < utf8.size()) {
            c = (b & 0x0Fu) << 12 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6 |
                (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
            n = 3;
        } else if (b >= 0xC0 && i + 1 < utf8.size()) {
            c = (b & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            n = 2;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c);
        }
        i += n;
    }
    return out;
}

} // namespace vocabrella::xml
