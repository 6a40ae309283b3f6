#include "shell/platform/ScriptCheck.h"

#include <gtest/gtest.h>

using vocabrella::platform::checkLegacyScript;

namespace {
int check(std::string_view script, std::string& error) { return checkLegacyScript(script, error); }
} // namespace

TEST(PlatformScriptCheck, CorrectScriptsPass) {
    std::string error = "stale";
    EXPECT_EQ(check("SendKeys \"{Ctrl+c}\"\r\n\r\nWait 100\r\nHeardWord \"say \"\"hi\"\"\", \"now\"\r\n", error), 0);
    EXPECT_EQ(error, "");
    EXPECT_EQ(check("Rem a comment with \"an open quote\r\n' another (\r\nSendKeys \"(a)\" ' tail \"\r\n", error), 0);
    EXPECT_EQ(check("MsgBoxConfirm(\"x (\", 64, \"t\")", error), 0);
    EXPECT_EQ(check("", error), 0);
}

TEST(PlatformScriptCheck, TheFirstFaultyLineIsReported) {
    std::string error;
    EXPECT_EQ(check("SendKeys \"a\"\r\nSendKeys \"b\r\nSendKeys c\"", error), 2);
    EXPECT_EQ(error, "Missing closing quotation mark");
    EXPECT_EQ(check("Wait 1\nSendKeys \"a\"\"\n", error), 2); // the doubled quote leaves the string open
    EXPECT_EQ(check("Wait 1\nFoo(1))\n", error), 2);
    EXPECT_EQ(error, "Unexpected ')'");
    EXPECT_EQ(check("Foo((1)\n", error), 1);
    EXPECT_EQ(error, "Missing ')'");
    EXPECT_EQ(check("SendKeys \"a\"\r\n  123\r\n", error), 2);
    EXPECT_EQ(error, "Expected a command name at the start of the line");
    EXPECT_EQ(check("Remark(\n", error), 1); // only "Rem" as a word starts a comment
}
