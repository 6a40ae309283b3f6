#include "cmdfile/RtfReader.h"

#include "cmdfile/Codec.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace vocabrella::rtf {
namespace {

enum class Destination { Text, Skip, FontTable, Picture };

struct GroupState {
    Destination destination = Destination::Text;
    int fontIndex = -1;
    double pointSize = 12.0;
    bool bold = false, italic = false, underline = false;
    Alignment alignment = Alignment::Left;
    int unicodeSkip = 1; // \uc: characters of fallback after each \u
    bool starred = false; // the group began with \*: skipped unless its destination is known
};

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Destinations whose content is never shown.
constexpr std::array<std::string_view, 27> kSkippedDestinations{
    "colortbl", "stylesheet", "info", "header", "footer", "headerl", "headerr", "headerf", "footerl",
    "footerr", "footerf", "footnote", "nonshppict", "listtable", "listoverridetable", "revtbl", "rsidtbl",
    "generator", "xmlnstbl", "themedata", "colorschememapping", "datastore", "latentstyles", "fldinst",
    "pntext", "pgdsctbl", "filetbl"};

// Picture kinds, with the one that is kept.
struct PictureKind {
    std::string_view word;
    Picture::Kind kind;
};
constexpr std::array<PictureKind, 8> kPictureKinds{{{"pngblip", Picture::Kind::Png},
                                                    {"jpegblip", Picture::Kind::Jpeg},
                                                    {"emfblip", Picture::Kind::Other},
                                                    {"wmetafile", Picture::Kind::Other},
                                                    {"dibitmap", Picture::Kind::Other},
                                                    {"wbitmap", Picture::Kind::Other},
                                                    {"macpict", Picture::Kind::Other},
                                                    {"pmmetafile", Picture::Kind::Other}}};

// Single characters a control word stands for.
struct CharacterWord {
    std::string_view word;
    std::uint32_t codePoint;
};
constexpr std::array<CharacterWord, 12> kCharacterWords{{{"tab", '\t'},
                                                         {"cell", '\t'},
                                                         {"line", '\n'},
                                                         {"emdash", 0x2014},
                                                         {"endash", 0x2013},
                                                         {"bullet", 0x2022},
                                                         {"lquote", 0x2018},
                                                         {"rquote", 0x2019},
                                                         {"ldblquote", 0x201C},
                                                         {"rdblquote", 0x201D},
                                                         {"emspace", 0x2003},
                                                         {"enspace", 0x2002}}};

class Parser {
public:
    Parser(std::string_view in, const Limits& limits) : in_(in), limits_(limits) { stack_.emplace_back(); }

    Document run() {
        while (pos_ < in_.size()) {
            const auto c = static_cast<unsigned char>(in_[pos_]);
            if (c == '{') {
                ++pos_;
                openGroup();
            } else if (c == '}') {
                ++pos_;
                closeGroup();
            } else if (c == '\\') {
                ++pos_;
                controlSequence();
            } else if (c == '\r' || c == '\n') {
                ++pos_; // line ends of the RTF source mean nothing
            } else {
                ++pos_;
                if (skipFallback()) continue;
                byteCharacter(c);
            }
        }
        // Groups left open at the end close here, so that a picture cut short is still shown.
        overflow_ = 0;
        while (stack_.size() > 1) closeGroup();
        finishParagraph(false);
        return std::move(doc_);
    }

private:
    GroupState& state() { return stack_.back(); }

    // --- groups -------------------------------------------------------------------------------

    void openGroup() {
        fallback_ = 0;
        if (stack_.size() >= limits_.maxDepth) {
            ++overflow_; // read as part of the innermost group that fits
            return;
        }
        GroupState inner = stack_.back();
        inner.starred = false;
        stack_.push_back(inner);
    }

    void closeGroup() {
        fallback_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.size() <= 1) return; // a stray closing brace
        const Destination closing = stack_.back().destination;
        stack_.pop_back();
        if (closing == Destination::FontTable && stack_.back().destination != Destination::FontTable) commitFont();
        if (closing == Destination::Picture && stack_.back().destination != Destination::Picture) finishPicture();
    }

    // --- control words ------------------------------------------------------------------------

    void controlSequence() {
        if (pos_ >= in_.size()) return;
        const auto c = static_cast<unsigned char>(in_[pos_]);
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        std::string word;
        while (pos_ < in_.size() && isLetter(static_cast<unsigned char>(in_[pos_]))) {
            if (word.size() < 32) word.push_back(in_[pos_]);
            ++pos_;
        }
        std::optional<std::int64_t> parameter;
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            isDigit(static_cast<unsigned char>(in_[pos_ + 1]))) {
            negative = true;
            ++pos_;
        }
        if (pos_ < in_.size() && isDigit(static_cast<unsigned char>(in_[pos_]))) {
            std::int64_t value = 0;
            while (pos_ < in_.size() && isDigit(static_cast<unsigned char>(in_[pos_]))) {
                value = std::min<std::int64_t>(value * 10 + (in_[pos_] - '0'), 0x7FFFFFFF);
                ++pos_;
            }
            parameter = negative ? -value : value;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_; // the delimiter belongs to the word
        if (word == "bin") {
            binary(parameter.value_or(0));
            return;
        }
        if (skipFallback()) return;
        controlWord(word, parameter);
    }

    void controlSymbol(unsigned char c) {
        switch (c) {
        case '\'': {
            if (pos_ + 2 > in_.size()) {
                pos_ = in_.size();
                return;
            }
            const int hi = hexValue(static_cast<unsigned char>(in_[pos_]));
            const int lo = hexValue(static_cast<unsigned char>(in_[pos_ + 1]));
            if (hi < 0 || lo < 0) return; // not an escape after all: read what follows as text
            pos_ += 2;
            if (skipFallback()) return;
            byteCharacter(static_cast<unsigned char>(hi * 16 + lo));
            return;
        }
        case '*':
            state().starred = true;
            return;
        case '\r':
        case '\n':
            if (skipFallback()) return;
            if (state().destination == Destination::Text) finishParagraph(true);
            return;
        default:
            break;
        }
        if (skipFallback()) return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            byteCharacter(c);
            break;
        case '~':
            codePoint(0x00A0);
            break;
        case '_':
            codePoint(0x2011);
            break;
        default:
            break; // \- optional hyphen, \| \: and unknown symbols show nothing
        }
    }

    void controlWord(const std::string& word, std::optional<std::int64_t> parameter) {
        GroupState& s = state();
        const auto on = [&] { return !parameter || *parameter != 0; };
        const auto clampInt = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -0x7FFFFFFF, 0x7FFFFFFF)); };

        if (s.destination == Destination::Skip) return;
        if (s.starred) {
            s.starred = false;
            // Under \*, only a destination this reader knows is read; everything else is skipped.
            if (word != "shppict") {
                if (word == "pict") startPicture();
                else s.destination = Destination::Skip;
                return;
            }
        }
        if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) != kSkippedDestinations.end()) {
            s.destination = Destination::Skip;
            return;
        }
        if (word == "fonttbl") {
            s.destination = Destination::FontTable;
            return;
        }
        if (word == "pict") {
            startPicture();
            return;
        }
        if (s.destination == Destination::Picture) {
            pictureWord(word, parameter);
            return;
        }
        if (s.destination == Destination::FontTable) {
            if (word == "f" && parameter) {
                commitFont();
                pendingFontIndex_ = clampInt(*parameter);
            }
            return;
        }

        if (word == "par" || word == "row" || word == "page" || word == "sect") {
            finishParagraph(true);
        } else if (word == "pard") {
            s.alignment = Alignment::Left;
            paragraph_.alignment = Alignment::Left;
        } else if (word == "ql" || word == "qc" || word == "qr" || word == "qj") {
            s.alignment = word == "qc" ? Alignment::Center : word == "qr" ? Alignment::Right
                          : word == "qj"                   ? Alignment::Justify
                                                           : Alignment::Left;
            paragraph_.alignment = s.alignment;
        } else if (word == "plain") {
            s.fontIndex = defaultFont_;
            s.pointSize = 12.0;
            s.bold = s.italic = s.underline = false;
        } else if (word == "deff" && parameter) {
            defaultFont_ = clampInt(*parameter);
            if (stack_.size() <= 2) s.fontIndex = defaultFont_;
        } else if (word == "f" && parameter) {
            s.fontIndex = clampInt(*parameter);
        } else if (word == "fs" && parameter) {
            if (*parameter > 0 && *parameter <= 3276) s.pointSize = static_cast<double>(*parameter) / 2.0;
        } else if (word == "b") {
            s.bold = on();
        } else if (word == "i") {
            s.italic = on();
        } else if (word == "ulnone") {
            s.underline = false;
        } else if (word.size() >= 2 && word.compare(0, 2, "ul") == 0 && word != "ulc") {
            s.underline = word != "ul" || on(); // \uld, \ulw, \ulwave ... are underlines too
        } else if (word == "uc" && parameter) {
            s.unicodeSkip = static_cast<int>(std::clamp<std::int64_t>(*parameter, 0, 16));
        } else if (word == "u" && parameter) {
            unicode(*parameter);
        } else {
            for (const auto& w : kCharacterWords)
                if (word == w.word) {
                    codePoint(w.codePoint);
                    break;
                }
        }
    }

    // --- text ---------------------------------------------------------------------------------

    // Consumes one character of the fallback text that follows \u; true when it did.
    bool skipFallback() {
        if (fallback_ == 0) return false;
        --fallback_;
        return true;
    }

    void unicode(std::int64_t value) {
        std::uint32_t cp = value < -32768 || value > 65535 ? 0xFFFD
                                                            : static_cast<std::uint32_t>(value < 0 ? value + 65536 : value);
        fallback_ = state().unicodeSkip;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            highSurrogate_ = cp;
            return;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF && highSurrogate_) {
            cp = 0x10000 + ((*highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
            highSurrogate_.reset();
        }
        codePoint(cp);
    }

    void byteCharacter(unsigned char c) {
        switch (state().destination) {
        case Destination::Text: {
            std::string utf8;
            codec::appendCp1252AsUtf8(utf8, std::string_view(reinterpret_cast<const char*>(&c), 1));
            appendText(utf8);
            break;
        }
        case Destination::FontTable:
            if (c == ';') commitFont();
            else codec::appendCp1252AsUtf8(fontName_, std::string_view(reinterpret_cast<const char*>(&c), 1));
            break;
        case Destination::Picture:
            pictureHexDigit(c);
            break;
        case Destination::Skip:
            break;
        }
    }

    void codePoint(std::uint32_t cp) {
        if (highSurrogate_) { // a high surrogate left alone
            highSurrogate_.reset();
            codePoint(0xFFFD);
        }
        if (state().destination == Destination::FontTable) {
            appendUtf8(fontName_, cp);
            return;
        }
        if (state().destination != Destination::Text) return;
        std::string utf8;
        appendUtf8(utf8, cp);
        appendText(utf8);
    }

    CharFormat currentFormat() {
        const GroupState& s = state();
        CharFormat f;
        const auto font = fonts_.find(s.fontIndex);
        if (font != fonts_.end()) f.font = font->second;
        f.pointSize = s.pointSize;
        f.bold = s.bold;
        f.italic = s.italic;
        f.underline = s.underline;
        return f;
    }

    void appendText(const std::string& utf8) {
        if (highSurrogate_) {
            highSurrogate_.reset();
            appendText("\xEF\xBF\xBD");
        }
        CharFormat f = currentFormat();
        if (!paragraph_.items.empty()) {
            if (auto* run = std::get_if<TextRun>(&paragraph_.items.back()); run && run->format == f) {
                run->text += utf8;
                return;
            }
        }
        paragraph_.items.emplace_back(TextRun{utf8, std::move(f)});
    }

    void finishParagraph(bool explicitEnd) {
        if (explicitEnd || !paragraph_.items.empty()) doc_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = Paragraph{};
        paragraph_.alignment = state().alignment;
    }

    // --- font table ---------------------------------------------------------------------------

    void commitFont() {
        if (pendingFontIndex_) {
            const std::string& name = fontName_;
            const auto first = name.find_first_not_of(' ');
            const auto last = name.find_last_not_of(' ');
            fonts_[*pendingFontIndex_] = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
        }
        pendingFontIndex_.reset();
        fontName_.clear();
    }

    // --- pictures -----------------------------------------------------------------------------

    void startPicture() {
        state().destination = Destination::Picture;
        picture_ = Picture{};
        pictureBytes_ = 0;
        nibble_ = -1;
        scaleX_ = scaleY_ = 100;
        goalW_ = goalH_ = 0;
        tooLarge_ = false;
    }

    void pictureWord(const std::string& word, std::optional<std::int64_t> parameter) {
        for (const auto& k : kPictureKinds)
            if (word == k.word) {
                picture_.kind = k.kind;
                picture_.source = word;
                return;
            }
        const std::int64_t v = parameter.value_or(0);
        if (word == "picwgoal") goalW_ = v;
        else if (word == "pichgoal") goalH_ = v;
        else if (word == "picscalex") scaleX_ = v;
        else if (word == "picscaley") scaleY_ = v;
    }

    void pictureByte(std::uint8_t b) {
        ++pictureBytes_;
        if (pictureBytes_ > limits_.maxPictureBytes) {
            tooLarge_ = true;
            picture_.data.clear();
            picture_.data.shrink_to_fit();
            return;
        }
        if (!tooLarge_) picture_.data.push_back(b);
    }

    void pictureHexDigit(unsigned char c) {
        const int v = hexValue(c);
        if (v < 0) return; // white space and stray characters between the digits
        if (nibble_ < 0) {
            nibble_ = v;
            return;
        }
        pictureByte(static_cast<std::uint8_t>(nibble_ * 16 + v));
        nibble_ = -1;
    }

    void binary(std::int64_t count) {
        const auto n = static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(in_.size() - pos_)));
        if (state().destination == Destination::Picture)
            for (std::size_t i = 0; i < n; ++i) pictureByte(static_cast<std::uint8_t>(in_[pos_ + i]));
        pos_ += n;
    }

    void finishPicture() {
        const auto scaled = [](std::int64_t goal, std::int64_t scale) {
            if (goal <= 0) return std::int32_t{0};
            if (scale <= 0) scale = 100;
            return static_cast<std::int32_t>(std::min<std::int64_t>(goal * scale / 100, 0x7FFFFFFF));
        };
        picture_.widthTwips = scaled(goalW_, scaleX_);
        picture_.heightTwips = scaled(goalH_, scaleY_);
        if (picture_.kind == Picture::Kind::Other || tooLarge_) {
            picture_.kind = Picture::Kind::Other;
            picture_.data.clear();
        }
        if (picture_.source.empty()) picture_.source = "unknown";
        if (state().destination == Destination::Text) paragraph_.items.emplace_back(std::move(picture_));
        picture_ = Picture{};
    }

    std::string_view in_;
    const Limits& limits_;
    std::size_t pos_ = 0;
    std::vector<GroupState> stack_;
    std::size_t overflow_ = 0;
    int fallback_ = 0;
    std::optional<std::uint32_t> highSurrogate_;

    Document doc_;
    Paragraph paragraph_;

    int defaultFont_ = -1;
    std::map<int, std::string> fonts_;
    std::optional<int> pendingFontIndex_;
    std::string fontName_; // UTF-8

    Picture picture_;
    std::size_t pictureBytes_ = 0;
    int nibble_ = -1;
    std::int64_t scaleX_ = 100, scaleY_ = 100, goalW_ = 0, goalH_ = 0;
    bool tooLarge_ = false;
};

} // namespace

Document parse(std::string_view rtf, const Limits& limits) { return Parser(rtf, limits).run(); }

std::string plainText(const Document& document) {
    std::string out;
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        if (p > 0) out += '\n';
        for (const auto& item : document.paragraphs[p].items) {
            if (const auto* run = std::get_if<TextRun>(&item)) out += run->text;
            else out += "\xEF\xBF\xBC";
        }
    }
    return out;
}

} // namespace vocabrella::rtf
