#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Codec.h"
#include "cmdfile/Errors.h"
#include "writer/RebuildOperations.h"
#include "writer/Texts.h"
#include "writer/Updater.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

// A round trip cannot see two entries swapped; each byte is held against its own character.
TEST(Codec, Bytes80To9FAreTheirWindows1252Characters) {
    const char* const expected[32] = {
        "\u20AC", "\u0081", "\u201A", "\u0192", "\u201E", "\u2026", "\u2020", "\u2021", // 80..87
        "\u02C6", "\u2030", "\u0160", "\u2039", "\u0152", "\u008D", "\u017D", "\u008F", // 88..8F
        "\u0090", "\u2018", "\u2019", "\u201C", "\u201D", "\u2022", "\u2013", "\u2014", // 90..97
        "\u02DC", "\u2122", "\u0161", "\u203A", "\u0153", "\u009D", "\u017E", "\u0178", // 98..9F
    };
    for (int i = 0; i < 32; ++i) {
        const std::string byte(1, static_cast<char>(0x80 + i));
        SCOPED_TRACE("byte 0x" + std::to_string(0x80 + i));
        EXPECT_EQ(codec::cp1252ToUtf8(byte), expected[i]);
        EXPECT_EQ(codec::utf8ToCp1252(expected[i]), byte);
    }
}

namespace {

BuiltCommand command(std::string name) {
    BuiltCommand c;
    c.name = std::move(name);
    c.text = "Sub Main\r\nEnd Sub";
    return c;
}

class Names : public ReaderFixture {
protected:
    WriterEnvironment env() { return {*store, *reader, trace, prompter, home()}; }
    bool parses(CommandFileBuilder& b) {
        b.writeFile(file());
        return reader->ReadCommandFile(true, file()).success;
    }
    std::int64_t idOf(const std::string& name) {
        for (const auto& r : store->allUsers())
            if (r.name == name) return r.ID;
        ADD_FAILURE() << "no row " << name;
        return 0;
    }
};

const std::string kNul("bad\0name", 8);

} // namespace

// Bytes 0 to 31 are control characters, 32 is the first that is not.
TEST_F(Names, TheEdgesOfTheControlRangeInTheReader) {
    for (const std::string& bad : {kNul, std::string("bad\x1Fname")}) {
        SCOPED_TRACE(static_cast<int>(bad[3]));
        CommandFileBuilder commands(7);
        commands.add(command("good"));
        commands.add(command(bad));
        EXPECT_FALSE(parses(commands)) << "a command name";
        EXPECT_EQ(store->allUsers().size(), 1u);

        CommandFileBuilder lists(7);
        lists.add(BuiltList("good", {"a"}));
        lists.add(BuiltList(bad, {"b"}));
        EXPECT_FALSE(parses(lists)) << "a LIST name";
    }
    CommandFileBuilder blanks(7);
    blanks.add(command("a name\x7F")); // 0x20 and 0x7F
    blanks.add(BuiltList(" list", {"a"}));
    ASSERT_TRUE(parses(blanks));
    EXPECT_EQ(store->allUsers().size(), 2u);
}

TEST_F(Names, TheEdgesOfTheControlRangeInTheWriters) {
    CommandFileBuilder b(7);
    b.add(command("first"));
    b.add(BuiltList("colors", {"red"}));
    ASSERT_TRUE(parses(b));
    const auto before = readFileBytes(file());
    const std::string refusal(texts::ControlCharacterInName);
    for (const std::string& bad : {kNul, std::string("bad\x1Fname")}) {
        SCOPED_TRACE(static_cast<int>(bad[3]));
        try {
            CommandFileUpdater(env()).UpdateFirstThings(idOf("first"), bad, "", "");
            ADD_FAILURE() << "renaming a command";
        } catch (const Refusal& r) {
            EXPECT_EQ(r.what(), refusal);
        }
        try {
            CommandFileUpdater(env()).UpdateListRename(idOf("colors"), bad);
            ADD_FAILURE() << "renaming a LIST";
        } catch (const Refusal& r) {
            EXPECT_EQ(r.what(), refusal);
        }
        EXPECT_EQ(readFileBytes(file()), before);
    }
    CommandFileUpdater(env()).UpdateFirstThings(idOf("first"), "a name", "", ""); // 0x20
    CommandFileUpdater(env()).UpdateListRename(idOf("colors"), " colors");
    ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    EXPECT_NE(idOf("a name"), 0);
    EXPECT_NE(idOf(" colors"), 0);
}

// Only the low byte of a record's LIST-name count counts; the rest is whatever the file holds
// and is written back as it was.
TEST_F(Names, TheHighBytesOfTheListNameCountAreIgnoredAndKept) {
    CommandFileBuilder b(7);
    auto pick = command("pick <colors>");
    pick.lists = {"colors"};
    pick.declaredListCount = 0xFFFFFF01;
    b.add(pick);
    auto none = command("plain");
    none.declaredListCount = 0x7F000000;
    b.add(none);
    b.add(BuiltList("colors", {"red"}));
    ASSERT_TRUE(parses(b));
    const auto rows = store->allUsers();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "pick <colors>");
    EXPECT_EQ(rows[0].lists, 1);
    EXPECT_EQ(rows[1].name, "plain");
    EXPECT_EQ(rows[1].lists, 0);

    const auto original = readFileBytes(file());
    PlainRebuild op;
    ASSERT_TRUE(runRebuild(env(), op).done);
    EXPECT_EQ(readFileBytes(file()), original);
}
