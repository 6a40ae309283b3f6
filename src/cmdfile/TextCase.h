#pragma once

#include <string>
#include <string_view>

// Letter case as the store compares it: ASCII letters only, like SQLite's NOCASE.
namespace vocabrella {

inline std::string foldCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

inline std::string upperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

inline bool sameIgnoringCase(std::string_view a, std::string_view b) { return foldCase(a) == foldCase(b); }

// The key under which the store finds a command: program, scope and name without case.
inline std::string commandKey(std::string_view program, std::string_view scope, std::string_view name) {
    std::string key = foldCase(program);
    key.push_back('\x1f');
    key += foldCase(scope);
    key.push_back('\x1f');
    key += foldCase(name);
    return key;
}

} // namespace vocabrella
