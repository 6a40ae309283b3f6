#include "shell/ProfileFile.h"

#include "cmdfile/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace vocabrella {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

struct Line {
    enum class Kind { Other, Section, Key };
    std::string raw; // as in the file, without its line feed (a CR stays)
    Kind kind = Kind::Other;
    std::string name;
    std::string value;
};

struct Parsed {
    std::string bom;
    std::vector<Line> lines;
    bool crlf = true; // the line end used for lines this program adds
};

Line classify(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    const std::string_view text = trim(line.raw);
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        const auto close = text.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = Line::Kind::Section;
            line.name = trim(text.substr(1, close - 1));
        }
        return line;
    }
    line.kind = Line::Kind::Key;
    const auto eq = text.find('=');
    line.name = trim(text.substr(0, eq));
    if (eq != std::string_view::npos) line.value = trim(text.substr(eq + 1));
    return line;
}

std::optional<Parsed> load(const fs::path& path) {
    Parsed parsed;
    // Read as every file of the platform layer is, so that Dragon can replace its own file while
    // it is being read here.
    std::vector<std::uint8_t> bytes;
    try {
        readFileInto(path, bytes);
    } catch (const std::exception&) {
        std::error_code ec;
        if (fs::exists(path, ec) || ec) return std::nullopt; // there but unreadable: do not overwrite it
        return parsed;
    }
    std::string content(bytes.begin(), bytes.end());
    if (content.starts_with(kByteOrderMark)) {
        parsed.bom = kByteOrderMark;
        content.erase(0, kByteOrderMark.size());
    }
    const auto firstFeed = content.find('\n');
    if (firstFeed != std::string::npos) parsed.crlf = firstFeed > 0 && content[firstFeed - 1] == '\r';
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        parsed.lines.push_back(classify(content.substr(start, end - start)));
        start = end + 1;
    }
    return parsed;
}

// Index of the section's header line.
std::optional<std::size_t> findSection(const Parsed& p, std::string_view section) {
    for (std::size_t i = 0; i < p.lines.size(); ++i)
        if (p.lines[i].kind == Line::Kind::Section && ProfileFile::sameName(p.lines[i].name, section)) return i;
    return std::nullopt;
}

// One past the section's last line.
std::size_t sectionEnd(const Parsed& p, std::size_t header) {
    std::size_t i = header + 1;
    while (i < p.lines.size() && p.lines[i].kind != Line::Kind::Section) ++i;
    return i;
}

std::optional<std::size_t> findKey(const Parsed& p, std::size_t header, std::string_view key) {
    const auto end = sectionEnd(p, header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (p.lines[i].kind == Line::Kind::Key && ProfileFile::sameName(p.lines[i].name, key)) return i;
    return std::nullopt;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

} // namespace

bool ProfileFile::sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string ProfileFile::read(std::string_view section, std::string_view key) const {
    const auto parsed = load(path_);
    if (!parsed) return {};
    const auto header = findSection(*parsed, trim(section));
    if (!header) return {};
    const auto line = findKey(*parsed, *header, trim(key));
    if (!line) return {};
    std::string value = parsed->lines[*line].value;
    if (value.size() > kMaxValue) {
        std::size_t cut = kMaxValue;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
        value.resize(cut);
    }
    return value;
}

bool ProfileFile::write(std::string_view section, std::string_view key, std::string_view value) const {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty() || hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
        key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';')
        return false;
    auto parsed = load(path_);
    if (!parsed) return false;
    const std::string cr = parsed->crlf ? "\r" : "";
    const std::string entry = std::string(key) + "=" + std::string(value);

    if (const auto header = findSection(*parsed, section)) {
        if (const auto found = findKey(*parsed, *header, key)) {
            Line& line = parsed->lines[*found];
            if (line.value == trim(value)) return true; // nothing to change
            line = classify(line.name + "=" + std::string(value) + cr);
        } else {
            // After the section's last non-blank line, so that blank separators stay below it.
            std::size_t at = sectionEnd(*parsed, *header);
            while (at > *header + 1 && trim(parsed->lines[at - 1].raw).empty()) --at;
            parsed->lines.insert(parsed->lines.begin() + static_cast<std::ptrdiff_t>(at), classify(entry + cr));
        }
    } else {
        if (!parsed->lines.empty() && !trim(parsed->lines.back().raw).empty()) parsed->lines.push_back(classify(cr));
        parsed->lines.push_back(classify("[" + std::string(section) + "]" + cr));
        parsed->lines.push_back(classify(entry + cr));
    }

    std::string content = parsed->bom;
    for (const auto& line : parsed->lines) content.append(line.raw).append("\n");
    try {
        writeFileAtomically(path_, content);
    } catch (const fs::filesystem_error&) {
        return false;
    }
    return true;
}

std::optional<bool> profileBoolean(std::string_view value) {
    value = trim(value);
    if (ProfileFile::sameName(value, "True")) return true;
    if (ProfileFile::sameName(value, "False")) return false;
    if (value.empty()) return std::nullopt;
    const std::string text(value);
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || std::isnan(number)) return std::nullopt;
    return number != 0;
}

std::optional<int> profileInteger(std::string_view value) {
    value = trim(value);
    if (value.empty()) return std::nullopt;
    const std::string text(value);
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(number)) return std::nullopt;
    const double rounded = std::nearbyint(number); // the default rounding mode: halves to even
    if (rounded < INT_MIN || rounded > INT_MAX) return std::nullopt;
    return static_cast<int>(rounded);
}

std::vector<std::string> ProfileFile::sectionNames() const {
    std::vector<std::string> names;
    if (const auto parsed = load(path_))
        for (const auto& line : parsed->lines)
            if (line.kind == Line::Kind::Section) names.push_back(line.name);
    return names;
}

std::vector<std::string> ProfileFile::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    const auto parsed = load(path_);
    if (!parsed) return names;
    const auto header = findSection(*parsed, trim(section));
    if (!header) return names;
    const auto end = sectionEnd(*parsed, *header);
    for (std::size_t i = *header + 1; i < end; ++i)
        if (parsed->lines[i].kind == Line::Kind::Key) names.push_back(parsed->lines[i].name);
    return names;
}

} // namespace vocabrella
