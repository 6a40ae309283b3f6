#include "browse/Selection.h"

#include "cmdfile/Format.h"

#include <algorithm>
#include <tuple>

namespace vocabrella::browse {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

} // namespace

std::string_view typeName(std::string_view code) { return typeDisplayName(code); }

bool ViewFilter::allTypes() const {
    return std::all_of(types.begin(), types.end(), [](bool b) { return b; });
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool containsName(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char x, char y) { return lower(x) == lower(y); }) != text.end();
}

bool Selection::IsRowShown(const CommandStore::RowView& row) const {
    bool shown = false;
    if (row.Type.size() == 1) {
        const auto code = std::find(kViewTypeCodes.begin(), kViewTypeCodes.end(), row.Type[0]);
        if (code != kViewTypeCodes.end() && view.types[static_cast<std::size_t>(code - kViewTypeCodes.begin())])
            shown = allGroups || sameName(row.owner, group);
    }
    if (view.followCommand) shown = sameName(row.name, followedCommand) || TokenPresent(followedTokens, row.name);
    if (view.followList)
        shown = containsName(row.name, followedListReference) || sameName(row.name, followedListName);
    return shown;
}

bool fillsCommandListAlike(const Selection& a, const Selection& b) {
    const auto filter = [](const Selection& s) {
        return std::tie(s.program, s.scope, s.allGroups, s.group, s.view.types, s.view.followCommand, s.view.followList,
                        s.followedCommand, s.followedTokens, s.followedListReference, s.followedListName, s.command);
    };
    return filter(a) == filter(b);
}

std::string StripMenuNumber(std::string_view caption) {
    bool numbered = false;
    for (std::size_t i = 0; i + 3 < caption.size() && !numbered; ++i)
        numbered = caption[i] >= '0' && caption[i] <= '9' && isBlank(caption[i + 1]) && caption[i + 2] == '-' &&
                   isBlank(caption[i + 3]);
    if (!numbered) return std::string(caption);
    return trimBlanks(caption.substr(caption.find('-') + 1));
}

std::string numberedCaption(int position, std::string_view caption) {
    return std::to_string(position + 1) + " - " + std::string(caption);
}

std::vector<std::string> ExtractListNames(std::string_view name) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (names.size() < kMaxListNames) {
        const auto open = name.find('<', at);
        if (open == std::string_view::npos) break;
        const auto close = name.find('>', open + 1);
        if (close == std::string_view::npos) break;
        names.emplace_back(name.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return names;
}

std::vector<std::string> Tokenize(std::string_view name) {
    std::vector<std::string> tokens;
    while (!name.empty() && tokens.size() < kMaxTokens) {
        const auto open = name.find('<');
        std::size_t length;
        if (open == std::string_view::npos) {
            length = name.size();
        } else if (open == 0) {
            const auto close = name.find('>');
            length = close == std::string_view::npos ? name.size() : close + 1;
        } else {
            length = open;
        }
        tokens.emplace_back(name.substr(0, length));
        name.remove_prefix(length);
    }
    return tokens;
}

bool TokenPresent(const std::vector<std::string>& tokens, std::string_view rowName) {
    return std::any_of(tokens.begin(), tokens.end(), [&](const std::string& t) {
        return t.size() >= 2 && t.front() == '<' && t.back() == '>' &&
               sameName(std::string_view(t).substr(1, t.size() - 2), rowName);
    });
}

} // namespace vocabrella::browse
