#include "shell/platform/ScriptCheck.h"

#include <cctype>

namespace vocabrella::platform {
namespace {

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }

bool isRemark(std::string_view text) {
    if (text.size() < 3) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != "rem"[i]) return false;
    return text.size() == 3 || std::isspace(static_cast<unsigned char>(text[3]));
}

// The fault of one line, or empty.
std::string checkLine(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::string_view text = line.substr(first);
    if (text.front() == '\'' || isRemark(text)) return {};
    if (!isNameStart(text.front())) return "Expected a command name at the start of the line";
    int open = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'') break;
        if (c == '"') {
            // "" inside a string is one quotation mark.
            for (++i;; ++i) {
                if (i >= text.size()) return "Missing closing quotation mark";
                if (text[i] != '"') continue;
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    ++i;
                    continue;
                }
                break;
            }
        } else if (c == '(') {
            ++open;
        } else if (c == ')') {
            if (--open < 0) return "Unexpected ')'";
        }
    }
    if (open > 0) return "Missing ')'";
    return {};
}

} // namespace

int checkLegacyScript(std::string_view script, std::string& errorText) {
    errorText.clear();
    int number = 1;
    for (std::size_t start = 0; start <= script.size(); ++number) {
        auto end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        std::string_view line = script.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (auto fault = checkLine(line); !fault.empty()) {
            errorText = std::move(fault);
            return number;
        }
        start = end + 1;
    }
    return 0;
}

} // namespace vocabrella::platform
