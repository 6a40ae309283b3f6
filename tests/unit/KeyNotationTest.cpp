#include "ScriptedPrompter.h"

#include "writer/KeyNotation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace vocabrella;

namespace {

// The script around the given statement lines.
std::string script(const std::vector<std::string>& lines) {
    std::string s = "Sub Main\r\n\r\n";
    for (const auto& l : lines) s += l + "\r\n";
    return s + "\r\nEnd Sub";
}

// The statement lines between "Sub Main" and "End Sub".
std::vector<std::string> statements(const std::string& s) {
    const std::string head = "Sub Main\r\n\r\n", tail = "\r\nEnd Sub";
    EXPECT_EQ(s.substr(0, head.size()), head);
    EXPECT_EQ(s.substr(s.size() - tail.size()), tail);
    std::vector<std::string> lines;
    const std::string body = s.substr(head.size(), s.size() - head.size() - tail.size());
    std::size_t start = 0;
    for (std::size_t at; (at = body.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(body.substr(start, at - start));
    EXPECT_EQ(start, body.size()) << "every statement ends with CR LF";
    return lines;
}

std::string sendKeysLine(const std::string& text) { return "SendKeys \"" + text + "\",true"; }

} // namespace

TEST(KeyNotation, EmptyTextGivesAnEmptyMain) {
    EXPECT_EQ(KeysToScript(""), "Sub Main\r\n\r\n\r\nEnd Sub");
}

TEST(KeyNotation, BraceTokensBecomeSendKeysNotation) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{alt+F4}", "%{F4}"},
        {"{ctrl+a}", "^a"},
        {"{tab 3}", "{tab 3}"},
        {"{ctrl+shift+a}", "^+a"},
        {"{ctrl+shift+F1}", "^+{F1}"},
        {"{ctrl+shift+F10}", "^+{F10}"},   // F1 is not taken out of F10
        {"{ctrl+shift+F12}", "^+{F12}"},
        {"{extins}", "{Ins}"},
        {"{Enter}", "{Enter}"},
        {"{Ctrl+C}", "^C"},                // letter case ignored, key kept as written
        {"{shift+tab}", "+{tab}"},
        {"{Shift + Tab}", "+{Tab}"},
        {"{alt+F4 2}", "%{F4 2}"},
        {"{ctrl+a 3}", "^{a 3}"},
        {"{leftctrl+extleft}", "^{Left}"},
        {"{alt+shift+left}", "%+{left}"},
        {"{numkey5}", "{Pad5}"},
        {"{numkey*}", "{Pad*}"},
        {"{numkey+}", "{Pad+}"},
        {"{keypadenter}", "{PadEnter}"},
        {"{ctrl+minus}", "^{Pad-}"},
        {"{center}", "{Clear}"},
        {"{ctrl+(}", "^{(}"},              // SendKeys would read a bare ( as a group
        {"{ctrl+shift++}", "^+{+}"},
        {"{esc}", "{esc}"},                // unknown names pass unchanged
        {"{{}", "{{}"},
        {"{}}", "{}}"},
    };
    for (const auto& [keys, sendKeys] : cases) {
        SCOPED_TRACE(keys);
        EXPECT_EQ(KeysToScript(keys), script({"SendKeys \"" + sendKeys + "\", true"}));
    }
}

TEST(KeyNotation, KeysSendKeysCannotSayGoToSendDragonKeys) {
    for (const std::string keys : {"{numlock}", "{ctrl+shift+numlock}", "{shift+break}", "{ctrl+alt+del}",
                                   "{ctrl+shift+tab 3}", "{CapsLock}"}) {
        SCOPED_TRACE(keys);
        EXPECT_EQ(KeysToScript(keys), script({"SendDragonKeys \"" + keys + "\""}));
    }
}

TEST(KeyNotation, TokensShareOneLineUntilSomethingEndsIt) {
    EXPECT_EQ(KeysToScript("{ctrl+a}{ctrl+c}"), script({"SendKeys \"^a^c\", true"}));
    EXPECT_EQ(KeysToScript("{tab}Hello"), script({"SendKeys \"{tab}Hello\", true"}));
    EXPECT_EQ(KeysToScript("Hello{tab}"), script({sendKeysLine("Hello"), "SendKeys \"{tab}\", true"}));
    EXPECT_EQ(KeysToScript("{tab}{numlock}{tab}"),
              script({sendKeysLine("{tab}"), "SendDragonKeys \"{numlock}\"", "SendKeys \"{tab}\", true"}));
    EXPECT_EQ(KeysToScript("{tab}abc\r\ndef"),
              script({sendKeysLine("{tab}"), "SendKeys \"abc\" & vbCr,true", sendKeysLine("def")}));
    EXPECT_EQ(KeysToScript("{tab}\r\n"), script({sendKeysLine("{tab}"), "SendKeys vbCr, true"}));
}

TEST(KeyNotation, PlainTextLines) {
    EXPECT_EQ(KeysToScript("Hello"), script({sendKeysLine("Hello")}));
    EXPECT_EQ(KeysToScript("abc\r\n"), script({"SendKeys \"abc\" & vbCr,true"}));
    EXPECT_EQ(KeysToScript("\r\n\r\n"), script({"SendKeys vbCr, true", "SendKeys vbCr, true"}));
    EXPECT_EQ(KeysToScript("say \"hi\""), script({sendKeysLine("say \"\"hi\"\"")}));
    // Characters SendKeys would read as keys are sent as themselves.
    EXPECT_EQ(KeysToScript("a+b 50% (x) ~^ [y] z}"),
              script({sendKeysLine("a{+}b 50{%} {(}x{)} {~}{^} {[}y{]} z{}}")}));
}

TEST(KeyNotation, LongPlainTextIsCutIntoLinesOf127) {
    const auto lines = statements(*KeysToScript(std::string(300, 'x')));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], sendKeysLine(std::string(127, 'x')));
    EXPECT_EQ(lines[1], sendKeysLine(std::string(127, 'x')));
    EXPECT_EQ(lines[2], sendKeysLine(std::string(46, 'x')));

    // Characters, not bytes, are counted.
    std::string accented;
    for (int i = 0; i < 200; ++i) accented += "\xC3\xA9";
    const auto wide = statements(*KeysToScript(accented));
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_EQ(wide[0], sendKeysLine(accented.substr(0, 254)));
    EXPECT_EQ(wide[1], sendKeysLine(accented.substr(254)));
}

TEST(KeyNotation, CutsNeverSplitALineBreakAQuotePairOrABracedCharacter) {
    // A line break within the first 126 characters ends the chunk.
    EXPECT_EQ(statements(*KeysToScript(std::string(125, 'a') + "\r\nb")),
              (std::vector<std::string>{"SendKeys \"" + std::string(125, 'a') + "\" & vbCr,true", sendKeysLine("b")}));
    // One further on: 126 characters first, then the line break alone.
    EXPECT_EQ(statements(*KeysToScript(std::string(126, 'a') + "\r\nb")),
              (std::vector<std::string>{sendKeysLine(std::string(126, 'a')), "SendKeys vbCr, true", sendKeysLine("b")}));
    EXPECT_EQ(statements(*KeysToScript(std::string(126, 'a') + "\"b")),
              (std::vector<std::string>{sendKeysLine(std::string(126, 'a')), sendKeysLine("\"\"b")}));
    EXPECT_EQ(statements(*KeysToScript(std::string(125, 'a') + "+bcd")),
              (std::vector<std::string>{sendKeysLine(std::string(125, 'a')), sendKeysLine("{+}bcd")}));
}

TEST(KeyNotation, AnOpenLineTakesTextOnlyBelow127Characters) {
    EXPECT_EQ(KeysToScript("{tab}" + std::string(121, 'a')), script({"SendKeys \"{tab}" + std::string(121, 'a') + "\", true"}));
    EXPECT_EQ(KeysToScript("{tab}" + std::string(122, 'a')),
              script({"SendKeys \"{tab}\", true", sendKeysLine(std::string(122, 'a'))}));
}

TEST(KeyNotation, UnclosedBraceFails) {
    EXPECT_FALSE(KeysToScript("abc{def"));
    EXPECT_FALSE(KeysToScript("a{b}c{d"));
    EXPECT_FALSE(KeysToScript("{"));
    EXPECT_FALSE(KeysToScript("{tab}{ctrl+"));
    EXPECT_FALSE(KeysToScript("ok\xFF{tab}")) << "text that is not UTF-8";
    EXPECT_TRUE(KeysToScript("abc}")) << "a closing brace alone is text";
}

TEST(KeyNotation, EnterConvertsInBothScriptModes) {
    EXPECT_EQ(KeysToScript("{Enter}"), script({"SendKeys \"{Enter}\", true"}));
    EXPECT_EQ(KeysToDragonKeysScript("{Enter}"), script({"SendDragonKeys \"{Enter}\""}));
}

TEST(KeyNotation, DragonKeysScriptWrapsTheWholeText) {
    EXPECT_EQ(KeysToDragonKeysScript("a{b}c{d"), script({"SendDragonKeys \"a{b}c{d\""}));
    EXPECT_EQ(KeysToDragonKeysScript("say \"hi\""), script({"SendDragonKeys \"say \"\"hi\"\"\""}));
    EXPECT_EQ(KeysToDragonKeysScript(""), script({"SendDragonKeys \"\""}));
    // A string cannot run over the end of a line, so line breaks become vbCr.
    EXPECT_EQ(KeysToDragonKeysScript("abc\r\ndef\r\n"), script({"SendDragonKeys \"abc\" & vbCr & \"def\" & vbCr"}));
    EXPECT_EQ(KeysToDragonKeysScript("\r\n"), script({"SendDragonKeys vbCr"}));
}

TEST(KeyNotation, NameTableReplacesEachNameOnceIgnoringCase) {
    EXPECT_EQ(sendKeysNames("{LEFTCTRL}"), "{^}");
    EXPECT_EQ(sendKeysNames("ctrl ctrl"), "^ ctrl");
    EXPECT_EQ(sendKeysNames("leftaltshift{extpgdn}"), "%+{PgDn}");
    EXPECT_EQ(sendKeysNames("{mult}{slash}{numkey.}"), "{Pad*}{Pad/}{Pad.}");
    EXPECT_EQ(sendKeysLiteral("1+1=2"), "1{+}1=2");
}

TEST(KeyNotation, PatternsAreReady) {
    testsupport::ScriptedPrompter prompter;
    EXPECT_TRUE(PrepareKeyPatterns(prompter));
    EXPECT_EQ(prompter.messageCount(), 0u);
}
