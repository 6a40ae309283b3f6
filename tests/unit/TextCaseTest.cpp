// Letter case in searches through the user's text: every letter a command file can hold folds to
// its small letter in as many bytes, so that a place found in folded text is the place in the
// text itself.
#include "cmdfile/Codec.h"
#include "cmdfile/TextCase.h"

#include <gtest/gtest.h>

using namespace vocabrella;

TEST(TextCase, EveryCapitalOfTheFilesCodePageFoldsInPlace) {
    // Each byte of the code page, as the store holds it: capitals fold to what its small letters
    // read as, every other character stays.
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        const std::string text = codec::cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
        const std::string folded = foldTextCase(text);
        ASSERT_EQ(folded.size(), text.size()) << byte;
        EXPECT_EQ(foldTextCase(folded), folded) << "folding twice changes nothing: " << byte;
    }
    EXPECT_EQ(foldTextCase(codec::cp1252ToUtf8("\xC0\xC9\xD6\xDE\x8A\x8C\x8E\x9F SENDKEYS")),
              codec::cp1252ToUtf8("\xE0\xE9\xF6\xFE\x9A\x9C\x9E\xFF sendkeys"));
    // The multiplication sign sits among the capitals and the sharp s among the small letters;
    // neither has a case, nor do the euro sign and the digits.
    const std::string caseless = codec::cp1252ToUtf8("\xD7\xDF\x80\xB5 09");
    EXPECT_EQ(foldTextCase(caseless), caseless);
}

TEST(TextCase, SearchesFindAccentedTextWhateverItsCaseAtItsOwnPlace) {
    const std::string body = "SendKeys \"" + codec::cp1252ToUtf8("Caf\xE9 cr\xE8me") + "\"";
    const std::string wanted = codec::cp1252ToUtf8("CAF\xC9 CR\xC8ME");
    EXPECT_EQ(findIgnoringCase(body, wanted), 10u);
    EXPECT_EQ(findIgnoringCase(body, "sendkeys"), 0u);
    EXPECT_EQ(findIgnoringCase(body, "SENDKEYS", 1), std::string_view::npos);
    EXPECT_EQ(findIgnoringCase(body, wanted, 11), std::string_view::npos);
    EXPECT_EQ(findIgnoringCase(body, "", 3), 3u);
    EXPECT_EQ(findIgnoringCase(body, "x", body.size() + 1), std::string_view::npos);
}

TEST(TextCase, Utf16LengthCountsCharactersAsATextBoxDoes) {
    EXPECT_EQ(utf16Length(""), 0u);
    EXPECT_EQ(utf16Length("abc"), 3u);
    EXPECT_EQ(utf16Length("caf\xC3\xA9 \xE2\x82\xAC"), 6u); // é in two bytes, € in three
    EXPECT_EQ(utf16Length("\xF0\x9F\x98\x80"), 2u);          // beyond the basic plane: a pair
}
