#include "cmdfile/KeyNames.h"

#include <fstream>
#include <sstream>

namespace vocabrella {
namespace {

std::string_view trimBlanks(std::string_view s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

} // namespace

std::optional<KeyNames> KeyNames::load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return fromText(text.str());
}

KeyNames KeyNames::fromText(std::string_view text) {
    KeyNames k;
    std::size_t line = 1;
    while (!text.empty() && line <= kMaxLines) {
        const auto end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        const auto trimmed = trimBlanks(raw);
        k.names_[line] = trimmed.empty() ? "Unknown" : std::string(trimmed);
        ++line;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return k;
}

} // namespace vocabrella
