#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Letter case as the store compares it: ASCII letters only, like SQLite's NOCASE.
namespace vocabrella {

inline char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool isAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

inline void appendFolded(std::string& out, std::string_view s) {
    for (const char c : s) out.push_back(asciiLower(c));
}

inline std::string foldCase(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    appendFolded(out, s);
    return out;
}

inline void toUpperCase(std::string& s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

inline std::string upperCase(std::string_view s) {
    std::string out(s);
    toUpperCase(out);
    return out;
}

inline bool sameIgnoringCase(std::string_view a, std::string_view b) { return foldCase(a) == foldCase(b); }

// The key under which the store finds a command: program, scope and name without case.
// Written into key, whose storage a caller making many keys can keep from one to the next.
inline void makeCommandKey(std::string& key, std::string_view program, std::string_view scope, std::string_view name) {
    key.clear();
    key.reserve(program.size() + scope.size() + name.size() + 2);
    appendFolded(key, program);
    key.push_back('\x1f');
    appendFolded(key, scope);
    key.push_back('\x1f');
    appendFolded(key, name);
}

inline std::string commandKey(std::string_view program, std::string_view scope, std::string_view name) {
    std::string key;
    makeCommandKey(key, program, scope, name);
    return key;
}

// Letter case as a search through the user's text ignores it: besides ASCII, the letters outside
// it that a command file can hold (those of Windows-1252: accented Latin letters, Œ, Š, Ž, Ÿ),
// each folded to its small letter. A folded letter takes as many UTF-8 bytes as the letter, so a
// place in the folded text is the same place in the text.
std::string foldTextCase(std::string_view utf8);
// Where part first occurs in text at or after byte from, letter case folded as above: the byte
// offset, or npos.
std::size_t findIgnoringCase(std::string_view text, std::string_view part, std::size_t from = 0);
// The length of UTF-8 text in UTF-16 units, the characters a text box counts.
std::size_t utf16Length(std::string_view utf8);

} // namespace vocabrella
