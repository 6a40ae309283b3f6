#include "cmdfile/TextCase.h"

#include <algorithm>

namespace vocabrella {
namespace {

constexpr unsigned char kLatin1Lead = 0xC3;   // U+00C0 to U+00FF
constexpr unsigned char kLatinExtLead = 0xC5; // U+0140 to U+017F
constexpr unsigned char kTimesSign = 0x97;    // U+00D7, no letter

} // namespace

std::string foldTextCase(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto lead = static_cast<unsigned char>(out[i]);
        if (lead < 0x80) {
            out[i] = asciiLower(out[i]);
            continue;
        }
        if (i + 1 >= out.size()) break;
        const auto next = static_cast<unsigned char>(out[i + 1]);
        if (lead == kLatin1Lead && next >= 0x80 && next <= 0x9E && next != kTimesSign) {
            out[i + 1] = static_cast<char>(next + 0x20); // À..Þ to à..þ
        } else if (lead == kLatinExtLead && (next == 0x92 || next == 0xA0 || next == 0xBD)) {
            out[i + 1] = static_cast<char>(next + 1); // Œ Š Ž to œ š ž
        } else if (lead == kLatinExtLead && next == 0xB8) {
            out[i] = static_cast<char>(kLatin1Lead); // Ÿ to ÿ
            out[i + 1] = static_cast<char>(0xBF);
        }
        ++i;
    }
    return out;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view part, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    if (isAscii(part) && isAscii(text)) {
        const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), part.begin(),
                                    part.end(), [](char a, char b) { return asciiLower(a) == asciiLower(b); });
        return it == text.end() && !part.empty() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
    }
    return std::string_view(foldTextCase(text)).find(foldTextCase(part), from);
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) ++units; // a lead byte or ASCII: one character
        if (b >= 0xF0) ++units;          // beyond the basic plane: a surrogate pair
    }
    return units;
}

} // namespace vocabrella
