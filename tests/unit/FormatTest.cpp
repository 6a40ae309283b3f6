#include "TestHome.h"

#include "cmdfile/BodyRender.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/KeyNames.h"

#include "CommandFileBuilder.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

std::vector<std::uint8_t> written(std::uint32_t n) {
    std::vector<std::uint8_t> out;
    ByteWriter(out).writeCount(n);
    return out;
}

} // namespace

TEST(CountedStrings, WriterChoosesTheShortestPrefix) {
    EXPECT_EQ(written(254), (std::vector<std::uint8_t>{254}));
    EXPECT_EQ(written(255), (std::vector<std::uint8_t>{255, 255, 0}));
    EXPECT_EQ(written(300), (std::vector<std::uint8_t>{255, 44, 1}));
    EXPECT_EQ(written(65533), (std::vector<std::uint8_t>{255, 0xFD, 0xFF}));
    EXPECT_EQ(written(65534), (std::vector<std::uint8_t>{255, 255, 255, 0xFE, 0xFF, 0, 0}));
    EXPECT_EQ(written(70000).size(), 7u);
}

TEST(CountedStrings, ReaderAcceptsEveryPrefixWidth) {
    for (const auto width : {PrefixWidth::OneByte, PrefixWidth::ThreeBytes, PrefixWidth::SevenBytes}) {
        Bytes bytes;
        appendCountedString(bytes, CountedText("abc", width));
        ByteReader r(bytes);
        EXPECT_EQ(r.readCountedBytes(), "abc");
        EXPECT_TRUE(r.atEnd());
    }
    Bytes big;
    appendCountedString(big, CountedText(std::string(65534, 'x'), PrefixWidth::ThreeBytes));
    ByteReader r(big);
    EXPECT_EQ(r.readCountedBytes().size(), 65534u);
}

TEST(CountedStrings, ReadingPastTheEndNamesPositionAndExpectation) {
    const std::vector<std::uint8_t> bytes = {5, 'a', 'b'};
    ByteReader r(bytes);
    try {
        r.readCountedBytes("the command name");
        FAIL() << "no error";
    } catch (const FormatError& e) {
        EXPECT_EQ(e.position(), 1u);
        EXPECT_EQ(e.expected(), "the command name");
    }
    EXPECT_EQ(r.cursor(), 0u) << "a failed read leaves the cursor where it was";
    const std::vector<std::uint8_t> huge = {255, 255, 255, 0xFF, 0xFF, 0xFF, 0xFF};
    ByteReader h(huge);
    EXPECT_THROW(h.readCountedBytes(), FormatError);
    ByteReader l(bytes);
    EXPECT_THROW(l.readLong(), FormatError);
    EXPECT_THROW(l.skip(4), FormatError);
}

TEST(Codec, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = codec::cp1252ToUtf8(all);
    EXPECT_EQ(codec::utf8ToCp1252(utf8), all);
    EXPECT_EQ(codec::characterCount(utf8), 256u);
    EXPECT_EQ(codec::cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(codec::cp1252ToUtf8("caf\xE9"), "caf\u00E9");
}

// Long texts are converted eight bytes at a time: letters on either side of every word
// boundary, side by side and at the very end must come out as they do one by one.
TEST(Codec, LettersAnywhereInALongTextConvertAsAlone) {
    const auto oneByOne = [](std::string_view bytes) {
        std::string out = "x";
        for (const char c : bytes) out += codec::cp1252ToUtf8(std::string(1, c));
        return out;
    };
    for (const char letter : {'\x80', '\xE9', '\x9F', '\x81', '\xFF'}) {
        for (std::size_t length = 1; length <= 26; ++length) {
            for (std::size_t at = 0; at < length; ++at) {
                std::string bytes(length, 'a');
                bytes[at] = letter;
                if (at + 1 < length) bytes[at + 1] = '\x99'; // a neighbour of three bytes
                std::string out = "x";
                codec::appendCp1252AsUtf8(out, bytes);
                ASSERT_EQ(out, oneByOne(bytes)) << "length " << length << ", letter at " << at;
            }
        }
    }
}

TEST(Codec, TextWithoutAWindows1252FormIsRefused) {
    EXPECT_THROW(codec::utf8ToCp1252("\u6F22"), EncodingError);
    EXPECT_THROW(codec::utf8ToCp1252("\xC3"), EncodingError);       // cut sequence
    EXPECT_THROW(codec::utf8ToCp1252("\xC0\xAF"), EncodingError);   // overlong
    EXPECT_THROW(codec::utf8ToCp1252("ab\xA9" "cd"), EncodingError);   // a continuation byte alone
    EXPECT_FALSE(codec::hasCp1252Form("ab\xA9" "cd"));
    EXPECT_FALSE(codec::hasCp1252Form("plain \xE6\xBC\xA2"));
    EXPECT_FALSE(codec::hasCp1252Form("a\U0001F600"));
    EXPECT_TRUE(codec::hasCp1252Form("\u20AC \u0153 plain"));
}

TEST(Header, VersionsFamiliesAndLanguages) {
    for (std::uint8_t code = 3; code <= 7; ++code) {
        CommandFileBuilder b(code, 12);
        const auto bytes = b.build();
        const auto h = readHeader(bytes);
        EXPECT_EQ(h.versionCode, code);
        EXPECT_EQ(languageName(h.languageCode), "French");
    }
    EXPECT_EQ(familyName(*familyForCode(3)), "6.0");
    EXPECT_EQ(familyName(*familyForCode(7)), "10/11/12/13");
    EXPECT_EQ(versionNameForCode(6), "8.0");
    EXPECT_EQ(languageName(19), "Dutch");
    EXPECT_EQ(languageName(42), "Unknown");
    const auto h = format::newHeader(5, 7);
    const Bytes expected = {76, 72, 83, 80, 5, 2, 135, 0, 0, 0, 0, 0, 0, 0, 0, 7, 4, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(h.begin(), h.end(), expected.begin()));
}

TEST(Header, DamageIsAFormatError) {
    auto bytes = CommandFileBuilder(7).build();
    bytes[0] = 'X';
    EXPECT_THROW(readHeader(bytes), FormatError);
    bytes = CommandFileBuilder(8).build();
    try {
        readHeader(bytes);
        FAIL();
    } catch (const FormatError& e) {
        EXPECT_EQ(e.position(), 5u);
    }
    bytes = CommandFileBuilder(7).build();
    bytes.resize(20);
    EXPECT_THROW(readHeader(bytes), FormatError);
}

TEST(KeyNamesFile, LinesNameCodesTrimmedAndEmptyIsUnknown) {
    const auto k = KeyNames::fromText("  Left Button \r\nRight\r\n\r\nX\n");
    EXPECT_EQ(k.name(0), "");
    EXPECT_EQ(k.name(1), "Left Button");
    EXPECT_EQ(k.name(3), "Unknown");
    EXPECT_EQ(k.name(4), "X");
    EXPECT_EQ(k.name(5), "");
    std::string many;
    for (int i = 1; i <= 300; ++i) many += "K" + std::to_string(i) + "\n";
    const auto m = KeyNames::fromText(many);
    EXPECT_EQ(m.name(256), "K256");
    EXPECT_EQ(m.name(257), "");

    const auto shipped = KeyNames::load(std::filesystem::path(VOCABRELLA_DATA_DIR) / "keynames");
    ASSERT_TRUE(shipped);
    EXPECT_EQ(shipped->name(13), "Enter");
    EXPECT_EQ(shipped->name(65), "A");
    EXPECT_EQ(shipped->name(112), "F1");
}

namespace {

std::string renderSteps(const Bytes& body, ScriptedPrompter& prompter) {
    const auto keys = KeyNames::load(std::filesystem::path(VOCABRELLA_DATA_DIR) / "keynames");
    ByteReader r(body);
    UnknownStepReport unknownSteps(prompter);
    auto text = renderStepBody(r, *keys, unknownSteps);
    EXPECT_TRUE(r.atEnd());
    return text;
}

std::string renderEvents(const Bytes& body) {
    const auto keys = KeyNames::load(std::filesystem::path(VOCABRELLA_DATA_DIR) / "keynames");
    ByteReader r(body);
    auto text = renderRecorderBody(r, *keys);
    EXPECT_TRUE(r.atEnd());
    return text;
}

} // namespace

TEST(BodyRendering, StepByStepLines) {
    ScriptedPrompter p;
    EXPECT_EQ(renderSteps(stepByStepBody({step::pressKey(65, kShift | kCtrl), step::pressKey(112, kAlt)}), p),
              "Press Shift + Ctrl + A\r\nPress Alt + F1");
    EXPECT_EQ(renderSteps(stepByStepBody({step::open("notepad.exe", "", "", 1)}), p),
              "Open \"notepad.exe\",\"\",\"\",\"\"");
    EXPECT_EQ(renderSteps(stepByStepBody({step::open("a", "b", "c", 3)}), p), "Open \"a\",\"b\",\"c\",\"3\"");
    EXPECT_EQ(renderSteps(stepByStepBody({step::wait(1500), step::stopListening(), step::microphoneOn(),
                                          step::microphoneOff(), step::typeText("hi \xE9"), step::sendKeys("{Enter}")}),
                          p),
              "wait 1500 milliseconds\r\nStop Listening\r\nMicrophone On\r\nMicrophone Off\r\nType \"hi \u00E9\"\r\n"
              "SendKeys \"{Enter}\"");
    EXPECT_EQ(renderSteps(stepByStepBody({}), p), "");
    EXPECT_TRUE(p.shown.empty());
}

TEST(BodyRendering, UnknownStepIsReportedAndReadingGoesOn) {
    ScriptedPrompter p;
    // The unknown code 9 is followed by a wait step; the count covers both.
    const Bytes body = stepByStepBody({step::raw(9), step::wait(20)});
    EXPECT_EQ(renderSteps(body, p), "wait 20 milliseconds");
    ASSERT_EQ(p.shown.size(), 1u);
    EXPECT_EQ(p.shown[0].text, "Unknown step-by-step command:9");
    EXPECT_EQ(p.shown[0].title, "Offset =6");
}

TEST(BodyRendering, RecorderEvents) {
    EXPECT_EQ(renderEvents(recorderBody({}, {event::key(0, 128)})), " key up");
    EXPECT_EQ(renderEvents(recorderBody({}, {event::key(13, 64), event::key(13, 65)})), "Enter key down\r\nEnter key up");
    EXPECT_EQ(renderEvents(recorderBody({{"a", "b", "c", "d", "e", "f"}},
                                        {event::mouse(event::kMouseMove, 120, 45), event::mouse(event::kLeftDown),
                                         event::mouse(event::kLeftUp), event::typeThree(), event::mouse(event::kRightDown),
                                         event::mouse(event::kRightUp), event::other(9), event::mouse(3)})),
              "Mouse move (120,45)\r\nMouse left button down\r\nMouse left button up\r\nMouse right button down\r\n"
              "Mouse right button up\r\nMouse something");
    EXPECT_EQ(renderEvents(recorderBody({}, {})), "");
}
