#include "cmdfile/DuplicateLog.h"

#include "cmdfile/Texts.h"

namespace vocabrella {
namespace {

// Cut or blank-pad to n characters.
std::string column(std::string_view text, std::size_t n) {
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lead = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (lead && chars++ == n) break;
        out.push_back(text[i]);
    }
    if (chars < n) out.append(n - chars, ' ');
    return out;
}

std::string trimmed(std::string s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string duplicateLogHeading() {
    return std::string(texts::DuplicateHeader1) + "\r\n\r\n" + std::string(texts::DuplicateHeader3) + "\r\n\r\n";
}

std::string duplicateLogLine(std::string_view storedFilename, std::string_view storedType, std::string_view name,
                             std::string_view program, std::string_view state) {
    return column(storedFilename, 13) + column(name, 13) + column(program, 16) + column(state, 33) +
           std::string(storedType) + ' ' + trimmed(column(name, 50)) + "\r\n";
}

} // namespace vocabrella
