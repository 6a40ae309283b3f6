#include "writer/BodyText.h"

namespace vocabrella {

std::string NormalizeBodyEnding(std::string_view text) {
    std::string s(text);
    if (s.size() < 2 || s.compare(s.size() - 2, 2, "\r\n") != 0) s.append("\r\n");
    while (s.size() >= 4 && s.compare(s.size() - 4, 4, "\r\n\r\n") == 0) s.resize(s.size() - 2);
    return s;
}

std::vector<std::string> listItems(std::string_view body) {
    // Trailing blanks, tabs and CR LF pairs go; CR LF separates the items.
    while (!body.empty()) {
        if (body.back() == ' ' || body.back() == '\t') body.remove_suffix(1);
        else if (body.size() >= 2 && body.substr(body.size() - 2) == "\r\n") body.remove_suffix(2);
        else break;
    }
    std::vector<std::string> items;
    if (body.empty()) return items;
    for (;;) {
        const auto end = body.find("\r\n");
        items.emplace_back(body.substr(0, end));
        if (end == std::string_view::npos) break;
        body.remove_prefix(end + 2);
    }
    return items;
}

} // namespace vocabrella
