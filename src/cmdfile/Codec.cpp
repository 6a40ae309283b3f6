#include "cmdfile/Codec.h"

#include "cmdfile/Errors.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace vocabrella::codec {
namespace {

// Code points of bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::optional<unsigned char> toByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// Decodes one UTF-8 sequence at i, advancing i; nullopt for malformed input.
std::optional<char32_t> nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) { ++i; return b0; }
    if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; }
    else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; }
    else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; }
    else return std::nullopt;
    if (i + extra >= s.size()) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    i += extra + 1;
    return cp;
}

} // namespace

void appendCp1252AsUtf8(std::string& out, std::string_view bytes) {
    // Command files are mostly ASCII: runs of it are copied whole.
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t run = i;
        // Eight bytes at a time while none has its top bit set.
        while (run + 8 <= bytes.size()) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + run, 8);
            if (word & 0x8080808080808080ull) break;
            run += 8;
        }
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80) ++run;
        out.append(bytes.data() + i, run - i);
        if (run == bytes.size()) return;
        const auto b = static_cast<unsigned char>(bytes[run]);
        if (b < 0xA0) appendUtf8(out, kHigh[b - 0x80]);
        else appendUtf8(out, b);
        i = run + 1;
    }
}


std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    appendCp1252AsUtf8(out, bytes);
    return out;
}

std::string utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto cp = nextCodePoint(text, i);
        if (!cp) throw EncodingError("The text is not valid UTF-8");
        const auto b = toByte(*cp);
        if (!b) {
            std::string ch;
            appendUtf8(ch, *cp);
            throw EncodingError("The character \"" + ch +
                                "\" cannot be stored in a command file (no Windows-1252 form)");
        }
        out.push_back(static_cast<char>(*b));
    }
    return out;
}

bool hasCp1252Form(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto cp = nextCodePoint(text, i);
        if (!cp || !toByte(*cp)) return false;
    }
    return true;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace vocabrella::codec
