#include "cmdfile/Codec.h"

#include "cmdfile/Errors.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
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

namespace {

// The UTF-8 form of each byte from 0x80 on, so that a letter costs one table look-up.
struct Utf8Form {
    char bytes[3];
    unsigned char size;
};

constexpr std::array<Utf8Form, 128> makeHighForms() {
    std::array<Utf8Form, 128> forms{};
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        const char32_t cp = b < 0xA0 ? kHigh[b - 0x80] : b;
        auto& f = forms[b - 0x80];
        if (cp < 0x800) {
            f.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            f.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
            f.size = 2;
        } else {
            f.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            f.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            f.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
            f.size = 3;
        }
    }
    return forms;
}

constexpr std::array<Utf8Form, 128> kHighForms = makeHighForms();
constexpr std::uint64_t kTopBits = 0x8080808080808080ull;

// Where the run of ASCII bytes from i ends: eight bytes at a time, and the first byte with
// its top bit set found within its word.
std::size_t asciiRunEnd(std::string_view bytes, std::size_t i) {
    static_assert(std::endian::native == std::endian::little);
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (const std::uint64_t top = word & kTopBits) return i + static_cast<std::size_t>(std::countr_zero(top) / 8);
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    return i;
}

} // namespace

void appendCp1252AsUtf8(std::string& out, std::string_view bytes) {
    // Command files are mostly ASCII, and a text without any other letter is copied whole.
    std::size_t i = asciiRunEnd(bytes, 0);
    out.append(bytes.data(), i);
    if (i == bytes.size()) return;

    // Otherwise the rest is written into room for the longest outcome (three bytes a letter),
    // eight bytes at a time while they are ASCII, and appended from there. Each store stays
    // inside the room: what is written never runs ahead of three bytes for each byte read,
    // and a word is stored only while eight bytes remain to be read.
    const auto room = std::make_unique_for_overwrite<char[]>(3 * (bytes.size() - i));
    char* to = room.get();
    const char* from = bytes.data() + i;
    const char* const end = bytes.data() + bytes.size();
    while (from < end) {
        const auto b = static_cast<unsigned char>(*from);
        if (b >= 0x80) {
            const auto& form = kHighForms[b - 0x80];
            std::memcpy(to, form.bytes, sizeof form.bytes);
            to += form.size;
            ++from;
            continue;
        }
        for (; end - from >= 8; from += 8, to += 8) {
            std::uint64_t word;
            std::memcpy(&word, from, 8);
            std::memcpy(to, &word, 8);
            if (const std::uint64_t top = word & kTopBits) {
                const auto ascii = std::countr_zero(top) / 8;
                from += ascii;
                to += ascii;
                break;
            }
        }
        while (from < end && static_cast<unsigned char>(*from) < 0x80) *to++ = *from++;
    }
    out.append(room.get(), static_cast<std::size_t>(to - room.get()));
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
        // Most text is plain ASCII, which is the same in both.
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out.push_back(text[i++]);
            continue;
        }
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
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
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
