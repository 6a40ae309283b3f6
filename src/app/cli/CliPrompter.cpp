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

void CliPrompter::message(std::string_view text, std::string_view title) {
    if (!title.empty()) err_ << forTerminal(title) << ": ";
    err_ << forTerminal(text) << '\n';
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
