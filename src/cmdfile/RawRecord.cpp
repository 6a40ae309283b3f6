#include "cmdfile/RawRecord.h"

namespace vocabrella {

std::vector<std::string_view> listReferences(std::string_view name) {
    std::vector<std::string_view> names;
    for (;;) {
        const auto open = name.find('<');
        if (open == std::string_view::npos) break;
        const auto close = name.find('>', open + 1);
        if (close == std::string_view::npos) break;
        names.push_back(name.substr(open + 1, close - open - 1));
        name.remove_prefix(close + 1);
    }
    return names;
}

} // namespace vocabrella
