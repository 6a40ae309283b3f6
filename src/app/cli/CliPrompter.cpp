#include "CliPrompter.h"

#include <ostream>

namespace vocabrella::cli {

std::string forTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    return out;
}

std::string visibleControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    const auto escape = [](std::string& out, unsigned code) {
        out += "\\x";
        out += kHex[code >> 4];
        out += kHex[code & 15];
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7f) {
            escape(out, c);
        } else if (c == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // U+0080 to U+009F: the C1 controls (CSI, OSC ...), two bytes in UTF-8.
            escape(out, static_cast<unsigned char>(text[++i]));
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string shownOn(bool terminal, std::string_view text) { return terminal ? visibleControls(text) : std::string(text); }

void CliPrompter::message(std::string_view text, std::string_view title) {
    if (!title.empty()) err_ << shownOn(toTerminal, forTerminal(title)) << ": ";
    err_ << shownOn(toTerminal, forTerminal(text)) << '\n';
}

bool CliPrompter::yesNo(std::string_view text, std::string_view title) {
    message(text, title);
    return answerYes;
}

bool CliPrompter::okCancel(std::string_view text, std::string_view title) {
    message(text, title);
    return answerYes;
}

std::optional<std::string> CliPrompter::input(std::string_view text, std::string_view title, std::string_view) {
    message(text, title);
    return std::nullopt;
}

int CliPrompter::choice(std::string_view text, std::string_view title, const std::vector<std::string>&) {
    message(text, title);
    return chosenButton;
}

} // namespace vocabrella::cli
