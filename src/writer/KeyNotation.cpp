#include "writer/KeyNotation.h"

#include "cmdfile/Prompter.h"
#include "writer/Texts.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>
#include <cctype>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vocabrella {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Key-name alternations, used verbatim: the unescaped . * + inside the keypad names are part
// of how keys have always been recognised ("numkey." also takes numkey*, numkey- ...).
const std::string kLong = "(F1|F2|F3|F4|F5|F6|F7|F8|F9|F10|F11|F12|F13|F14|F15|F16|prtsc|pause|"
                          "scrolllock|break|tab|backspace|enter|home|up|pgup|left|right|end|down|pgdn|ins|"
                          "del|numkeyenter|keypadenter|numkey0|numkey1|numkey2|numkey3|numkey4|numkey5|"
                          "numkey6|numkey7|numkey8|numkey9|numkey.|numkey*|numkey-|numkey+|numkey/|"
                          "slash|asterisk|mult|minus|plus|space|center|"
                          "extins|exthome|extpgup|extdel|extend|extpgdn|extup|extleft|extdown|extright)";
const std::string kShort = "(pgup|pgdn|end|home|left|right|up|down|tab|F1|F2|F3|F4|F5|F6|F7|F8|"
                           "F9|F10|F11|F12|"
                           "extins|exthome|extpgup|extdel|extend|extpgdn|extup|extleft|extdown|extright)";
const std::string kDragonOnly = "(numlock|capslock|sysreq|break|rightalt|rightctrl|rightshift)";
const std::string kMod = "(ctrl|alt|shift|leftctrl|leftalt|leftshift)";

// Dragon names and their SendKeys texts, applied in this order, each once.
constexpr std::array<std::pair<std::string_view, std::string_view>, 39> kNameTable{{
    {"leftctrl", "^"},    {"leftshift", "+"},    {"leftalt", "%"},     {"ctrl", "^"},
    {"shift", "+"},       {"alt", "%"},          {"extins", "Ins"},    {"exthome", "Home"},
    {"extpgup", "PgUp"},  {"extdel", "Del"},     {"extend", "End"},    {"extpgdn", "PgDn"},
    {"extup", "Up"},      {"extleft", "Left"},   {"extdown", "Down"},  {"extright", "Right"},
    {"numkeyenter", "PadEnter"}, {"keypadenter", "PadEnter"},
    {"numkey0", "Pad0"},  {"numkey1", "Pad1"},   {"numkey2", "Pad2"},  {"numkey3", "Pad3"},
    {"numkey4", "Pad4"},  {"numkey5", "Pad5"},   {"numkey6", "Pad6"},  {"numkey7", "Pad7"},
    {"numkey8", "Pad8"},  {"numkey9", "Pad9"},   {"numkey.", "Pad."},  {"numkey*", "Pad*"},
    {"numkey+", "Pad+"},  {"numkey-", "Pad-"},   {"numkey/", "Pad/"},  {"slash", "Pad/"},
    {"asterisk", "Pad*"}, {"mult", "Pad*"},      {"minus", "Pad-"},    {"plus", "Pad+"},
    {"center", "Clear"},
}};

// Characters SendKeys reads as keys or grouping rather than as themselves.
constexpr std::string_view kSendKeysSpecials = "+^%~()[]{}";

// SendKeys strings are kept below this many characters per line.
constexpr std::size_t kLineLimit = 127;

class PatternError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One match: the byte ranges of the whole match (group 0) and of each group.
class Match {
public:
    Match(std::string_view subject, std::vector<std::pair<std::size_t, std::size_t>> groups)
        : subject_(subject), groups_(std::move(groups)) {}
    std::size_t begin() const { return groups_[0].first; }
    std::size_t end() const { return groups_[0].second; }
    // An unset group is empty, as in a $n replacement.
    std::string group(std::size_t i) const {
        if (i >= groups_.size() || groups_[i].first == PCRE2_UNSET) return {};
        return std::string(subject_.substr(groups_[i].first, groups_[i].second - groups_[i].first));
    }
    // The subject with the matched part rewritten, the rest kept.
    std::string replaced(std::string_view replacement) const {
        std::string out(subject_.substr(0, begin()));
        out += replacement;
        out += subject_.substr(end());
        return out;
    }

private:
    std::string_view subject_;
    std::vector<std::pair<std::size_t, std::size_t>> groups_;
};

// A compiled PCRE2 pattern: letter case ignored, UTF-8 subjects.
class Regex {
public:
    explicit Regex(const std::string& pattern) {
        int error = 0;
        PCRE2_SIZE errorOffset = 0;
        code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                              PCRE2_CASELESS | PCRE2_UTF, &error, &errorOffset, nullptr);
        if (code_ == nullptr) throw PatternError("cannot compile a key pattern");
    }
    ~Regex() { pcre2_code_free(code_); }
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    // The first match at or after start. checkUtf is false for subjects already known to be
    // valid UTF-8, so that stepping through a long text does not validate it again each time.
    std::optional<Match> search(std::string_view subject, std::size_t start = 0, bool anchored = false,
                                bool checkUtf = false) const {
        std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
            pcre2_match_data_create_from_pattern(code_, nullptr), &pcre2_match_data_free);
        if (!data) throw PatternError("out of memory");
        std::uint32_t options = anchored ? PCRE2_ANCHORED : 0;
        if (!checkUtf) options |= PCRE2_NO_UTF_CHECK;
        const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start,
                                   options, data.get(), nullptr);
        if (rc == PCRE2_ERROR_NOMATCH) return std::nullopt;
        if (rc <= 0) throw PatternError("key pattern match failed");
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        const std::uint32_t count = pcre2_get_ovector_count(data.get());
        std::vector<std::pair<std::size_t, std::size_t>> groups;
        groups.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) groups.emplace_back(ovector[2 * i], ovector[2 * i + 1]);
        return Match(subject, std::move(groups));
    }
    bool test(std::string_view subject) const { return search(subject).has_value(); }

private:
    pcre2_code* code_ = nullptr;
};

struct KeyPatterns {
    // A run of characters without "{", or one brace group. "{}}" (a closing brace) is one group,
    // so that its brace is not taken for stray text.
    Regex token{R"([^{]+|\{\}\}|\{[^}]*\})"};
    Regex dragonOnly{kDragonOnly};
    Regex longKey{R"(\{)" + kLong + R"(\})"};
    Regex longRepeat{R"(\{)" + kLong + R"( +\d{1,}\})"};
    Regex modLong{R"(\{)" + kMod + R"( ?\+ ?)" + kLong + R"(( +\d{1,})?\})"};
    Regex modChar{R"(\{)" + kMod + R"( ?\+(.)\})"};
    Regex modCharRepeat{R"(\{)" + kMod + R"( ?\+(.)( +\d{1,})?\})"};
    // Anchored on the closing brace: without it F1 would be taken out of F10, F11 and F12.
    Regex twoModsShort{R"(\{)" + kMod + R"( ?\+ ?)" + kMod + R"( ?\+ ?)" + kShort + R"(\})"};
    Regex twoModsChar{R"(\{)" + kMod + R"( ?\+ ?)" + kMod + R"( ?\+ ?(.)\})"};
};

// Compiled once; null when PCRE2 cannot compile them (out of memory).
const KeyPatterns* keyPatterns() {
    static const std::unique_ptr<const KeyPatterns> patterns = []() -> std::unique_ptr<const KeyPatterns> {
        try {
            return std::make_unique<const KeyPatterns>();
        } catch (const std::exception&) {
            return nullptr;
        }
    }();
    return patterns.get();
}

std::size_t characterCount(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string doubleQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    return out;
}

char asciiLower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

void replaceFirstIgnoringCase(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty() || text.size() < from.size()) return;
    for (std::size_t i = 0; i + from.size() <= text.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; k < from.size() && same; ++k) same = asciiLower(text[i + k]) == asciiLower(from[k]);
        if (same) {
            text.replace(i, from.size(), to);
            return;
        }
    }
}

// The key after a modifier, as SendKeys needs it: a special character in braces.
std::string sendKeysChar(const std::string& key) {
    if (key.size() == 1 && kSendKeysSpecials.find(key[0]) != std::string_view::npos) return "{" + key + "}";
    return key;
}

// One piece of plain text as it goes into a SendKeys string, never cut apart: a character,
// a doubled quote, a braced special character, or a CR LF.
struct Unit {
    std::string text;
    std::size_t width = 0;
    bool lineBreak = false;
};

std::vector<Unit> plainUnits(std::string_view text) {
    std::vector<Unit> units;
    units.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, kCrLf.size(), kCrLf) == 0) {
            units.push_back({std::string(kCrLf), 2, true});
            i += 2;
            continue;
        }
        std::size_t next = i + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
        const std::string_view character = text.substr(i, next - i);
        if (character == "\"") {
            units.push_back({"\"\"", 2, false});
        } else {
            std::string literal = sendKeysLiteral(character);
            const std::size_t width = characterCount(literal);
            units.push_back({std::move(literal), width, false});
        }
        i = next;
    }
    return units;
}

// The script being built and whether its last line is a SendKeys line still taking text.
class ScriptBuilder {
public:
    // The SendKeys text of a brace token goes onto the open line, or opens one.
    void sendKeys(std::string_view text) {
        const std::string quoted = doubleQuotes(text);
        if (!open_) {
            script_ += "SendKeys \"";
            open_ = true;
            lineLength_ = 0;
        }
        script_ += quoted;
        lineLength_ += characterCount(quoted);
    }

    void dragonLine(std::string_view token) {
        close(",true");
        script_ += "SendDragonKeys \"";
        script_ += doubleQuotes(token);
        script_ += "\"";
        script_ += kCrLf;
    }

    void plain(std::string_view text) {
        const std::vector<Unit> units = plainUnits(text);
        const std::size_t n = units.size();
        // Widths up to each unit, and where the next line break is, so each chunk is found
        // without scanning the rest of the text again.
        std::vector<std::size_t> widthBefore(n + 1, 0);
        for (std::size_t k = 0; k < n; ++k) widthBefore[k + 1] = widthBefore[k] + units[k].width;
        std::vector<std::size_t> nextBreak(n + 1, n);
        for (std::size_t k = n; k-- > 0;) nextBreak[k] = units[k].lineBreak ? k : nextBreak[k + 1];

        std::size_t i = 0;
        while (i < n) {
            const std::size_t brk = nextBreak[i];
            std::size_t end = 0;
            if (brk < n && widthBefore[brk] - widthBefore[i] <= kLineLimit - 2) {
                end = brk + 1; // up to and with the line break
            } else if (brk == n && widthBefore[n] - widthBefore[i] <= kLineLimit) {
                end = n;
            } else {
                // One character less when a line break follows, so that it is never split.
                const std::size_t limit = brk < n ? kLineLimit - 1 : kLineLimit;
                end = i;
                while (end < n && widthBefore[end + 1] - widthBefore[i] <= limit) ++end;
            }
            chunk(units, i, end, widthBefore[end] - widthBefore[i]);
            i = end;
        }
    }

    std::string finish() {
        close(", true");
        script_ += kCrLf;
        script_ += "End Sub";
        return std::move(script_);
    }

private:
    void chunk(const std::vector<Unit>& units, std::size_t from, std::size_t to, std::size_t width) {
        const bool endsInBreak = units[to - 1].lineBreak;
        std::string body;
        for (std::size_t k = from; k < to - (endsInBreak ? 1 : 0); ++k) body += units[k].text;
        if (endsInBreak && to - from == 1) {
            close(",true");
            script_ += "SendKeys vbCr, true";
            script_ += kCrLf;
        } else if (endsInBreak) {
            close(",true");
            script_ += "SendKeys \"" + body + "\" & vbCr,true";
            script_ += kCrLf;
        } else if (open_ && width + lineLength_ < kLineLimit) {
            script_ += body;
            lineLength_ += width;
        } else {
            close(", true");
            script_ += "SendKeys \"" + body + "\",true";
            script_ += kCrLf;
        }
    }

    void close(std::string_view ending) {
        if (!open_) return;
        script_ += '"';
        script_ += ending;
        script_ += kCrLf;
        open_ = false;
        lineLength_ = 0;
    }

    std::string script_ = "Sub Main\r\n\r\n";
    bool open_ = false;
    std::size_t lineLength_ = 0;
};

void braceToken(const KeyPatterns& p, const std::string& token, ScriptBuilder& out) {
    std::size_t parts = 1;
    for (const char c : token)
        if (c == '+') ++parts;

    if (parts <= 2) {
        if (p.dragonOnly.test(token)) return out.dragonLine(token);
        if (p.longKey.test(token) || p.longRepeat.test(token)) return out.sendKeys(sendKeysNames(token));
        if (auto m = p.modLong.search(token))
            return out.sendKeys(sendKeysNames(m->replaced(m->group(1) + "{" + m->group(2) + m->group(3) + "}")));
        if (auto m = p.modChar.search(token))
            return out.sendKeys(sendKeysNames(m->replaced(m->group(1) + sendKeysChar(m->group(2)))));
        if (auto m = p.modCharRepeat.search(token))
            return out.sendKeys(sendKeysNames(m->replaced(m->group(1) + "{" + m->group(2) + m->group(3) + "}")));
        // Not a key this notation knows: SendKeys gets the group as it was written.
        return out.sendKeys(token);
    }
    if (auto m = p.twoModsShort.search(token))
        return out.sendKeys(sendKeysNames(m->replaced(m->group(1) + m->group(2) + "{" + m->group(3) + "}")));
    if (auto m = p.twoModsChar.search(token))
        return out.sendKeys(sendKeysNames(m->replaced(m->group(1) + m->group(2) + sendKeysChar(m->group(3)))));
    out.dragonLine(token);
}

// A text as a string expression: quotes doubled, each line break as vbCr, because a string
// literal cannot run over the end of a line.
std::string stringExpression(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t brk = text.find(kCrLf, start);
        const std::string_view piece = text.substr(start, brk == std::string_view::npos ? brk : brk - start);
        if (!piece.empty() || (brk == std::string_view::npos && out.empty())) {
            if (!out.empty()) out += " & ";
            out += '"' + doubleQuotes(piece) + '"';
        }
        if (brk == std::string_view::npos) break;
        if (!out.empty()) out += " & ";
        out += "vbCr";
        start = brk + kCrLf.size();
    }
    return out;
}

} // namespace

bool PrepareKeyPatterns(Prompter& prompter) {
    if (keyPatterns() != nullptr) return true;
    prompter.message("", texts::KeyPatternsMissingTitle);
    return false;
}

std::string sendKeysNames(std::string_view dragonText) {
    std::string text(dragonText);
    for (const auto& [dragon, sendKeys] : kNameTable) replaceFirstIgnoringCase(text, dragon, sendKeys);
    return text;
}

std::string sendKeysLiteral(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (kSendKeysSpecials.find(c) != std::string_view::npos) {
            out += '{';
            out += c;
            out += '}';
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> KeysToScript(std::string_view keys) {
    const KeyPatterns* p = keyPatterns();
    if (p == nullptr) return std::nullopt;
    try {
        ScriptBuilder out;
        std::size_t pos = 0;
        bool checkUtf = true; // the first search validates the whole text once
        while (pos < keys.size()) {
            const auto m = p->token.search(keys, pos, true, checkUtf);
            checkUtf = false;
            if (!m) return std::nullopt; // an opening brace that is never closed
            const std::string piece = m->group(0);
            if (piece.front() == '{')
                braceToken(*p, piece, out);
            else
                out.plain(piece);
            pos = m->end();
        }
        return out.finish();
    } catch (const PatternError&) {
        return std::nullopt; // text that is not UTF-8, or PCRE2 out of memory
    }
}

std::string KeysToDragonKeysScript(std::string_view keys) {
    std::string script = "Sub Main\r\n\r\nSendDragonKeys ";
    script += stringExpression(keys);
    script += "\r\n\r\nEnd Sub";
    return script;
}

} // namespace vocabrella
