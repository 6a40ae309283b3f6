#include "cmdfile/System.h"

namespace vocabrella::os {

std::string pathText(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path pathFrom(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace vocabrella::os
