#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "writer/KeysConversion.h"

#include <algorithm>
#include <map>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

BuiltCommand keys(std::string name, std::string text, std::string group = "") {
    BuiltCommand c;
    c.name = std::move(name);
    c.kind = kKindKeys;
    c.text = std::move(text);
    c.group = std::move(group);
    c.description = "said to type";
    c.reservedAfterKind = {1, 2, 3, 4, 5, 6, 7, 8}; // kept as they are
    return c;
}

// The same command as the file should hold it after the conversion: a plain-text body, that is
// an empty formatted part and the text.
BuiltCommand asPlainText(BuiltCommand c) {
    c.kind = kKindText;
    c.formatted = "";
    return c;
}

class KeysToPlainText : public ReaderFixture {
protected:
    WriterEnvironment env() { return {*store, *reader, trace, prompter, home()}; }
    void flag(const std::vector<std::string>& names) {
        store->clearFlags();
        for (const auto& r : store->allUsers())
            if (std::find(names.begin(), names.end(), r.name) != names.end()) store->setFlag(r.ID, true);
    }
};

} // namespace

// Compared with a file written independently of the writers: the converted records must be
// exactly plain-text records, every other byte as it was.
TEST_F(KeysToPlainText, FlaggedKeysWithoutBothBracesBecomePlainTextRecords) {
    for (std::uint8_t code = 3; code <= 7; ++code) {
        SCOPED_TRACE("version code " + std::to_string(code));
        auto hello = keys("type hello <names>", "hello world", "Typing");
        hello.lists = {"names"};
        hello.scopeByte = kScopeApplication;
        hello.module = "WINWORD";
        hello.programDescription = "Word processor";
        hello.company = "Maker Inc";
        if (code >= 6) hello.states = {"one"};
        const auto brace = keys("close brace", "abc}");
        const auto enter = keys("press enter", "{Enter}");
        const auto unflagged = keys("not chosen", "plain words");
        const auto longText = keys("long one", std::string(300, 'w'));

        CommandFileBuilder before(code);
        for (const auto& c : {hello, brace, enter, unflagged, longText}) before.add(c);
        before.add(BuiltList("names", {"Ann", "Bob"}));
        before.writeFile(file());
        ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
        flag({"type hello <names>", "close brace", "press enter", "long one"});

        KeysConversionOperation op(KeysConversionOperation::Mode::PlainText);
        ASSERT_TRUE(runRebuild(env(), op).done);
        EXPECT_EQ(op.converted(), 3u);
        EXPECT_FALSE(op.someNotConverted());

        CommandFileBuilder after(code);
        for (const auto& c : {asPlainText(hello), asPlainText(brace), enter, unflagged, asPlainText(longText)}) after.add(c);
        after.add(BuiltList("names", {"Ann", "Bob"}));
        const auto expected = after.build();
        const auto written = readFileBytes(file());
        ASSERT_EQ(written, expected);
        // Spelled out for the first record: the kind, the empty formatted part, the text.
        const auto& at = after.commandPositions()[0];
        EXPECT_EQ(written[at.afterKind - 2], 1) << "plain-text kind";
        EXPECT_EQ(written[at.body - 1], 0) << "empty formatted part";
        EXPECT_EQ(written[at.body], 11) << "length of the text";
        EXPECT_EQ(std::string(written.begin() + static_cast<long>(at.body) + 1, written.begin() + static_cast<long>(at.body) + 12),
                  "hello world");

        // The file reads again, with the commands as Plain Text.
        ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
        std::map<std::string, UserRow> rows;
        for (const auto& r : store->allUsers()) rows[r.name] = r;
        EXPECT_EQ(rows["type hello <names>"].Type, "P");
        EXPECT_EQ(rows["type hello <names>"].script, "hello world");
        EXPECT_EQ(rows["type hello <names>"].owner, "Typing");
        EXPECT_EQ(rows["type hello <names>"].description, "said to type");
        EXPECT_EQ(rows["type hello <names>"].menu, "WINWORD");
        EXPECT_EQ(rows["close brace"].Type, "P");
        EXPECT_EQ(rows["long one"].script, std::string(300, 'w'));
        EXPECT_EQ(rows["press enter"].Type, "K") << "both braces: not plain text";
        EXPECT_EQ(rows["not chosen"].Type, "K");
    }
}

TEST_F(KeysToPlainText, EveryConversionIsLoggedAndReported) {
    CommandFileBuilder b(7);
    b.add(keys("type hello", "hello world"));
    b.add(keys("press enter", "{Enter}"));
    b.writeFile(file());
    ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    store->flagAll();
    KeysConversionOperation op(KeysConversionOperation::Mode::PlainText);
    ASSERT_TRUE(runRebuild(env(), op).done);

    const std::string stars(56, '*');
    EXPECT_EQ(readText(home() / "ConvertKEYS2Plain.log"),
              "Changed DVC to Plain Text: Global Commands Global Commands type hello\r\nhello world\r\n" + stars + "\r\n");
    // The operation that ran the conversion says it is complete, with these words.
    EXPECT_EQ(prompter.messageCount(), 0u);
    EXPECT_EQ(op.completeText(), " Conversion of DVCs to Plain Text Complete");
    EXPECT_EQ(op.completeTitle(), "See ConvertKEYS2Plain.log for complete details of converted commands");
    EXPECT_NE(std::find(prompter.statusLines.begin(), prompter.statusLines.end(), "Converting DVCs to Plain Text"),
              prompter.statusLines.end());
}
