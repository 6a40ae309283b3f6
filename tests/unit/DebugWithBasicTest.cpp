// The script as "Debug with Basic" types it into Dragon's command editor.

#include "ops/DebugWithBasic.h"

#include <gtest/gtest.h>

using vocabrella::ops::DebugWithBasic;

namespace {

std::string joined(const std::vector<std::string>& keys) {
    std::string out;
    for (const auto& k : keys) out += k;
    return out;
}

} // namespace

TEST(DebugWithBasicKeys, TheClosingLineAndLineFeedsAreNotTypedAndKeyCharactersAreBraced) {
    const auto keys = DebugWithBasic::keystrokes("Sub Main\r\n\tSendKeys \"%{F4}+a^b~\" & x(1) & [y]\r\nEnd Sub\r\n");
    EXPECT_EQ(joined(keys), "Sub Main\r\tSendKeys \"{%}{{}F4{}}{+}a{^}b{~}\" & x{(}1{)} & {[}y{]}\r");
    // One keystroke text per character.
    EXPECT_EQ(keys.front(), "S");
    EXPECT_EQ(keys[8], "\r");
}

TEST(DebugWithBasicKeys, OnlyAnEndSubLineIsLeftOutAndCharactersAreWhole) {
    // A last line that only looks like "End Sub" is typed; "é" is one keystroke, not two bytes.
    const auto keys = DebugWithBasic::keystrokes("Sub A\r\n\xC3\xA9nd Sub\r\n");
    EXPECT_EQ(joined(keys), "Sub A\r\xC3\xA9nd Sub\r");
    EXPECT_EQ(keys[6], "\xC3\xA9");
    const auto accented = DebugWithBasic::keystrokes("x = \"\xC3\xA9\"\r\nEnd Sub\r\n");
    ASSERT_EQ(accented.size(), 8u);
    EXPECT_EQ(accented[5], "\xC3\xA9");
    // "End Sub" closing a body without a line end goes with the line break before it; at the end
    // of a longer line it is no closing line.
    EXPECT_EQ(joined(DebugWithBasic::keystrokes("Sub A\r\nEnd Sub")), "Sub A");
    EXPECT_EQ(joined(DebugWithBasic::keystrokes("x = 1 ' End Sub")), "x = 1 ' End Sub");
    // A legacy script has no closing line: all of it is typed.
    EXPECT_EQ(joined(DebugWithBasic::keystrokes("SendKeys \"ab\"\r\nWait 1")), "SendKeys \"ab\"\rWait 1");
}

TEST(DebugWithBasicKeys, ABodyShorterThanItsClosingLineTypesNothing) {
    EXPECT_TRUE(DebugWithBasic::keystrokes("").empty());
    EXPECT_TRUE(DebugWithBasic::keystrokes("End Sub").empty());
}
