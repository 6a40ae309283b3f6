#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vocabrella::xml {

// A small XML tree: enough for the command exchange files, which hold elements, attributes,
// text and CDATA, nothing else of interest. Texts are UTF-8. Line ends are kept as the
// document has them (command bodies keep CR LF).
struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Element> children;
    std::string text; // the character data and CDATA directly inside, concatenated
    std::size_t line = 0;

    const std::string* attribute(std::string_view key) const;
    std::string attributeOr(std::string_view key, std::string_view fallback = {}) const;
    const Element* child(std::string_view childName) const;
    std::vector<const Element*> childrenNamed(std::string_view childName) const;
};

// A document that is not well-formed: what was wrong and on which line.
class XmlError : public std::runtime_error {
public:
    XmlError(std::size_t line, const std::string& what);
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// The document's bytes as UTF-8: UTF-16 (little- or big-endian, with a byte-order mark, or
// without one when the document starts with "<"), or UTF-8 with or without its mark.
std::string decodeDocument(std::span<const std::uint8_t> bytes);

// The root element. Throws XmlError.
Element parse(std::span<const std::uint8_t> bytes);
Element parseText(std::string_view utf8);

// Writes a document element by element, indented by two blanks per level.
class Writer {
public:
    // depth: the levels the written elements stand in (for a part of a larger document).
    explicit Writer(std::size_t depth = 0) : depth_(depth) {}
    void declaration(std::string_view encoding);
    void raw(std::string_view line); // a line as it stands (a DOCTYPE)
    void open(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attributes = {});
    void close();
    // An element with only text: in CDATA, or escaped where CDATA cannot hold a character.
    void textElement(std::string_view name, std::string_view text,
                     const std::vector<std::pair<std::string, std::string>>& attributes = {}, bool cdata = true);
    void empty(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attributes);
    const std::string& text() const { return out_; }

private:
    void indent();
    void startTag(std::string_view name, const std::vector<std::pair<std::string, std::string>>& attributes);

    std::size_t depth_;
    std::string out_;
    std::vector<std::string> open_;
};

// Text escaped for an attribute value or character data (line ends and tabs as references).
std::string escape(std::string_view text);

// UTF-8 text as UTF-16 little-endian with its byte-order mark.
std::vector<std::uint8_t> utf16LittleEndianWithMark(std::string_view utf8);

} // namespace vocabrella::xml
