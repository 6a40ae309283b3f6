#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The formatted part of a Text & Graphics command is rich text (RTF) written by Dragon's
// command editor. This reads the part of it the program shows: text with its font, size, bold,
// italic and underline, paragraphs, and embedded pictures (PNG and JPEG kept as they are, every
// other picture kind reduced to a placeholder). Anything else is skipped.
//
// The reader accepts any bytes: unbalanced braces, truncated control words, absurd numbers and
// deep nesting all end in a document, never in a crash or unbounded memory.
namespace vocabrella::rtf {

struct CharFormat {
    std::string font;         // font table name; empty when the text names no font
    double pointSize = 12.0;  // \fs is in half points; 12 pt when not given
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const CharFormat&) const = default;
};

struct TextRun {
    std::string text; // UTF-8; "\n" is a line break inside the paragraph, "\t" a tab
    CharFormat format;
};

struct Picture {
    enum class Kind { Png, Jpeg, Other };
    Kind kind = Kind::Other;
    std::string source;              // the RTF picture kind: "pngblip", "jpegblip", "wmetafile", "emfblip" ...
    std::vector<std::uint8_t> data;  // the picture's bytes; empty for Other
    // Display size in twips (\picwgoal, \pichgoal, scaled by \picscalex, \picscaley); 0 when not given.
    std::int32_t widthTwips = 0;
    std::int32_t heightTwips = 0;
};

enum class Alignment { Left, Center, Right, Justify };

struct Paragraph {
    std::vector<std::variant<TextRun, Picture>> items;
    Alignment alignment = Alignment::Left;
};

struct Document {
    std::vector<Paragraph> paragraphs;
};

struct Limits {
    std::size_t maxDepth = 256;             // groups nested deeper are read as part of their parent
    std::size_t maxPictureBytes = 64u << 20; // larger pictures become placeholders
};

// Bytes outside \u escapes are Windows-1252 (the code page Dragon writes).
Document parse(std::string_view rtf, const Limits& limits = {});

// The document's text alone: runs joined, paragraphs separated by "\n", a picture as "\uFFFC".
std::string plainText(const Document& document);

} // namespace vocabrella::rtf
