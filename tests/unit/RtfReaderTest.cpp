#include "cmdfile/RtfReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vocabrella::rtf {
namespace {

const TextRun& run(const Document& d, std::size_t paragraph, std::size_t item) {
    return std::get<TextRun>(d.paragraphs.at(paragraph).items.at(item));
}

const Picture& picture(const Document& d, std::size_t paragraph, std::size_t item) {
    return std::get<Picture>(d.paragraphs.at(paragraph).items.at(item));
}

// What Dragon's command editor writes for a short formatted command.
constexpr std::string_view kEditorSample =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Msftedit 5.41.15.1507;}\\viewkind4\\uc1\\pard\\f0\\fs20 Dear \\b Sir\\b0 ,\\par\r\n"
    "\\pard\\qc\\i\\f1\\fs28 Centered \\ul line\\ulnone\\i0\\par\r\n"
    "}\r\n";

TEST(RtfReader, TextFontsAndParagraphs) {
    const auto d = parse(kEditorSample);
    ASSERT_EQ(d.paragraphs.size(), 2u);
    EXPECT_EQ(plainText(d), "Dear Sir,\nCentered line");

    const auto& dear = run(d, 0, 0);
    EXPECT_EQ(dear.text, "Dear ");
    EXPECT_EQ(dear.format.font, "Arial");
    EXPECT_DOUBLE_EQ(dear.format.pointSize, 10.0);
    EXPECT_FALSE(dear.format.bold);
    EXPECT_TRUE(run(d, 0, 1).format.bold);
    EXPECT_EQ(run(d, 0, 1).text, "Sir");
    EXPECT_EQ(run(d, 0, 2).text, ",");
    EXPECT_FALSE(run(d, 0, 2).format.bold);
    EXPECT_EQ(d.paragraphs[0].alignment, Alignment::Left);

    EXPECT_EQ(d.paragraphs[1].alignment, Alignment::Center);
    const auto& centered = run(d, 1, 0);
    EXPECT_EQ(centered.format.font, "Times New Roman");
    EXPECT_DOUBLE_EQ(centered.format.pointSize, 14.0);
    EXPECT_TRUE(centered.format.italic);
    EXPECT_FALSE(centered.format.underline);
    EXPECT_TRUE(run(d, 1, 1).format.underline);
    EXPECT_EQ(run(d, 1, 1).text, "line");
}

TEST(RtfReader, GroupsScopeTheirFormattingAndPlainResetsIt) {
    const auto d = parse("{\\rtf1 a{\\b b{\\i c}d}e\\b\\i\\ul\\fs40 f\\plain g}");
    ASSERT_EQ(d.paragraphs.size(), 1u);
    const auto& p = d.paragraphs[0];
    ASSERT_EQ(p.items.size(), 7u);
    EXPECT_FALSE(run(d, 0, 0).format.bold);
    EXPECT_TRUE(run(d, 0, 1).format.bold);  // b
    EXPECT_TRUE(run(d, 0, 2).format.italic); // c
    EXPECT_TRUE(run(d, 0, 3).format.bold);  // d
    EXPECT_FALSE(run(d, 0, 3).format.italic);
    EXPECT_EQ(run(d, 0, 4).text, "e");
    EXPECT_FALSE(run(d, 0, 4).format.bold);
    const auto& f = run(d, 0, 5);
    EXPECT_EQ(f.text, "f");
    EXPECT_TRUE(f.format.bold && f.format.italic && f.format.underline);
    EXPECT_DOUBLE_EQ(f.format.pointSize, 20.0);
    EXPECT_EQ(run(d, 0, 6).text, "g");
    EXPECT_EQ(run(d, 0, 6).format, CharFormat{});
}

TEST(RtfReader, CharactersFromEscapes) {
    // Windows-1252 bytes, \u with its fallback, \uc0, a surrogate pair, symbols and quotes.
    const auto d = parse("{\\rtf1 caf\\'e9 \\'80 \\u8364? \\uc0\\u8364 x\\uc2\\u20013 ab\\uc1\\u-10179?\\u-8704?"
                         "\\tab\\line\\~\\{\\}\\\\\\emdash\\lquote q\\rquote\\-}");
    EXPECT_EQ(plainText(d), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x82\xAC \xE2\x82\xACx\xE4\xB8\xAD"
                            "\xF0\x9F\x98\x80\t\n\xC2\xA0{}\\\xE2\x80\x94\xE2\x80\x98q\xE2\x80\x99");
    // Raw bytes above 127 outside escapes are Windows-1252 too.
    EXPECT_EQ(plainText(parse("{\\rtf1 \x93hi\x94}")), "\xE2\x80\x9Chi\xE2\x80\x9D");
}

TEST(RtfReader, SkippedDestinationsAndFields) {
    const auto d = parse("{\\rtf1{\\info{\\title secret}}{\\stylesheet{\\s0 Normal;}}{\\*\\unknown hidden}"
                         "{\\header head}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}} end}");
    EXPECT_EQ(plainText(d), "shown end");
}

TEST(RtfReader, FontTableWithoutGroupsAndAlternateNames) {
    const auto d = parse("{\\rtf1{\\fonttbl\\f0\\fnil Courier New;\\f3{\\*\\falt Other}Symbol;}\\f3 a\\f0 b\\f9 c}");
    EXPECT_EQ(run(d, 0, 0).format.font, "Symbol");
    EXPECT_EQ(run(d, 0, 1).format.font, "Courier New");
    EXPECT_EQ(run(d, 0, 2).format.font, ""); // a font the table does not name
}

TEST(RtfReader, PngAndJpegPicturesKeepTheirBytes) {
    const std::string png = "89504e470d0a1a0a";
    const auto d = parse("{\\rtf1 before{\\*\\shppict{\\pict\\pngblip\\picw10\\pich20\\picwgoal150\\pichgoal300"
                         "\\picscalex200\\picscaley50\r\n" +
                         png.substr(0, 7) + "\r\n" + png.substr(7) +
                         "}}{\\nonshppict{\\pict\\wmetafile8 0102}}after\\par"
                         "{\\pict\\jpegblip\\bin4 \xFF\xD8\xFF\xE0}}");
    ASSERT_EQ(d.paragraphs.size(), 2u);
    ASSERT_EQ(d.paragraphs[0].items.size(), 3u); // the alternative metafile is not shown
    const auto& p = picture(d, 0, 1);
    EXPECT_EQ(p.kind, Picture::Kind::Png);
    EXPECT_EQ(p.source, "pngblip");
    EXPECT_EQ(p.data, (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a}));
    EXPECT_EQ(p.widthTwips, 300);
    EXPECT_EQ(p.heightTwips, 150);
    EXPECT_EQ(run(d, 0, 2).text, "after");

    const auto& j = picture(d, 1, 0);
    EXPECT_EQ(j.kind, Picture::Kind::Jpeg);
    EXPECT_EQ(j.data, (std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0}));
    EXPECT_EQ(j.widthTwips, 0);
}

TEST(RtfReader, OtherPictureKindsArePlaceholders) {
    for (const std::string kind : {"wmetafile8", "emfblip", "dibitmap0", "macpict", ""}) {
        const auto d = parse("{\\rtf1{\\pict" + (kind.empty() ? "" : "\\" + kind) +
                             "\\picwgoal1440\\pichgoal720 0102030405}}");
        ASSERT_EQ(d.paragraphs.size(), 1u) << kind;
        const auto& p = picture(d, 0, 0);
        EXPECT_EQ(p.kind, Picture::Kind::Other) << kind;
        EXPECT_TRUE(p.data.empty()) << kind;
        EXPECT_EQ(p.widthTwips, 1440) << kind;
    }
    EXPECT_EQ(picture(parse("{\\rtf1{\\pict\\wmetafile8 00}}"), 0, 0).source, "wmetafile");
    // A picture larger than the limit is not kept either.
    Limits small;
    small.maxPictureBytes = 3;
    const auto big = parse("{\\rtf1{\\pict\\pngblip 0102030405}}", small);
    EXPECT_EQ(picture(big, 0, 0).kind, Picture::Kind::Other);
}

TEST(RtfReader, DamagedInputStillGivesADocument) {
    // Truncated escapes and words, stray and missing braces, absurd numbers.
    EXPECT_EQ(plainText(parse("{\\rtf1 abc\\'4")), "abc");
    EXPECT_EQ(plainText(parse("{\\rtf1 abc\\")), "abc");
    EXPECT_EQ(plainText(parse("}}{\\rtf1 x}}}y")), "xy");
    EXPECT_EQ(plainText(parse("{\\rtf1\\fs99999999999999999999 a\\u99999999999 b\\uc-5\\u65 c}")), "a\xEF\xBF\xBD"
                                                                                                      "Ac");
    EXPECT_EQ(plainText(parse("{\\rtf1{\\pict\\pngblip\\bin999999 01}}")).size(), 3u); // one placeholder
    EXPECT_EQ(plainText(parse("{\\rtf1\\'zz ok}")), "zz ok");
    EXPECT_EQ(plainText(parse("not rich text at all")), "not rich text at all");
    EXPECT_TRUE(parse("").paragraphs.empty());
    // A control word longer than any real one is cut, not grown without end.
    EXPECT_EQ(plainText(parse("{\\rtf1\\" + std::string(100000, 'a') + " t}")), "t");
}

TEST(RtfReader, DeepNestingIsBounded) {
    const std::string deep = std::string(200000, '{') + "\\b deep" + std::string(200000, '}') + " after";
    const auto d = parse(deep);
    EXPECT_EQ(plainText(d), "deep after");
    // Groups past the limit belong to their parent: the bold inside ends with the group that fits.
    const auto& first = std::get<TextRun>(d.paragraphs[0].items.at(0));
    EXPECT_TRUE(first.format.bold);
    EXPECT_FALSE(std::get<TextRun>(d.paragraphs[0].items.at(1)).format.bold);
}

TEST(RtfReader, RandomBytesNeverBreakTheReader) {
    std::mt19937 random(20240611);
    const std::string alphabet = "{}\\'*abcdefpicturbngl0123456789- \r\n;\x80\xff";
    for (int round = 0; round < 500; ++round) {
        std::string input = "{\\rtf1";
        const auto length = random() % 400;
        for (unsigned i = 0; i < length; ++i) input.push_back(alphabet[random() % alphabet.size()]);
        const auto d = parse(input);
        EXPECT_LE(plainText(d).size(), input.size() * 4); // at most one 4-byte character per input byte
    }
}

} // namespace
} // namespace vocabrella::rtf
