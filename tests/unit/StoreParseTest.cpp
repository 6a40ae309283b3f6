#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"
#include "writer/Updater.h"
#include "writer/WriterEnvironment.h"

#include <sqlite3.h>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

BuiltCommand script(std::string name, std::string module = {}) {
    BuiltCommand c;
    c.text = "Sub Main\r\n' " + name + "\r\nEnd Sub";
    c.name = std::move(name);
    c.kind = kKindAdvancedScript;
    if (!module.empty()) {
        c.scopeByte = kScopeApplication;
        c.module = std::move(module);
        c.states = {"Editing"};
    }
    return c;
}

// Everything a parse writes, as text: every row of user, states and parameters in ID order,
// and the schema with its indexes.
std::string contents(CommandStore& store) {
    std::string out;
    for (const char* sql :
         {"SELECT * FROM user ORDER BY ID", "SELECT * FROM states ORDER BY ID", "SELECT * FROM parameters",
          "SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY name"}) {
        sqlite3_stmt* s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(store.handle(), sql, -1, &s, nullptr), SQLITE_OK) << sql;
        out += sql;
        out += '\n';
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
                out += text ? text : "NULL";
                out += '|';
            }
            out += '\n';
        }
        sqlite3_finalize(s);
    }
    return out;
}

class StoreParse : public ReaderFixture {
protected:
    // A store filled from a first file, and a second file of other commands to parse over it.
    void SetUp() override {
        ReaderFixture::SetUp();
        CommandFileBuilder first(7);
        first.add(script("alpha"));
        first.add(script("bold that", "winword"));
        first.add(BuiltList("colors", {"red", "green"}));
        first.writeFile(file());
        ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
        before = contents(*store);

        CommandFileBuilder second(7);
        for (const char* name : {"delta", "epsilon", "gamma", "zeta"}) second.add(script(name, "excel"));
        second.writeFile(file("other.dat"));
    }
    void execute(const char* sql) {
        ASSERT_EQ(sqlite3_exec(store->handle(), sql, nullptr, nullptr, nullptr), SQLITE_OK);
    }

    std::string before;
};

} // namespace

// The store is emptied first and filled again row by row; a parse that fails on the way,
// whether the store refuses a row or the program ends, must leave the rows, states,
// parameters and indexes of the previous parse, and the next parse must work.
TEST_F(StoreParse, AParseThatFailsOnItsWayLeavesThePreviousStore) {
    execute("CREATE TEMP TRIGGER refuse_gamma BEFORE INSERT ON main.user WHEN NEW.name = 'gamma' "
            "BEGIN SELECT RAISE(ABORT, 'no room for gamma'); END");
    EXPECT_THROW(reader->ReadCommandFile(true, file("other.dat")), StoreError);
    EXPECT_EQ(contents(*store), before);
    execute("DROP TRIGGER refuse_gamma");

    std::filesystem::remove(home() / "keynames");
    EXPECT_THROW(reader->ReadCommandFile(true, file("other.dat")), EndProgram);
    EXPECT_EQ(contents(*store), before);

    copyFileAtomically(std::filesystem::path(VOCABRELLA_DATA_DIR) / "keynames", home() / "keynames");
    ASSERT_TRUE(reader->ReadCommandFile(true, file("other.dat")).success);
    std::vector<std::string> names;
    for (const auto& row : store->allUsers()) names.push_back(row.name);
    EXPECT_EQ(names, (std::vector<std::string>{"delta", "epsilon", "gamma", "zeta"}));
    EXPECT_EQ(store->countCommands(), 4);
    EXPECT_EQ(store->countLists(), 0);
}

// A start on a store that is current reads only the file's header and takes the counts from
// the store; the bytes, read when first wanted, must be those the store's positions point
// into, and a file changed in the meantime is refused rather than read at those positions.
TEST_F(StoreParse, AStartOnACurrentStoreReadsTheBytesOnlyWhenWanted) {
    const auto onDisk = readFileBytes(file());
    ASSERT_TRUE(reader->ReadCommandFile(false, file()).success);
    EXPECT_EQ(contents(*store), before) << "nothing was parsed";
    const auto& info = reader->file().info;
    EXPECT_EQ(info.commandCount, 2u);
    EXPECT_EQ(info.listCount, 1u);
    EXPECT_EQ(info.size, onDisk.size());
    EXPECT_EQ(info.versionCode, 7);

    EXPECT_EQ(reader->file().bytes(), onDisk);
    const auto row = store->findUser("WINWORD", "Application-specific", "bold that");
    ASSERT_TRUE(row);
    ByteReader r(reader->file().bytes());
    r.seekPosition(static_cast<std::uint32_t>(row->offset));
    ASSERT_TRUE(reader->ReadCommandRecord(r, false));
    EXPECT_EQ(reader->currentRecord().name, "bold that");

    ASSERT_TRUE(reader->ReadCommandFile(false, file()).success);
    writeFileAtomically(file(), readFileBytes(file("other.dat")));
    EXPECT_THROW(reader->file().bytes(), FormatError);
}

// A change written after such a start leaves the bytes it wrote as the file's, before the file
// is read again: not the unread state of the version it replaced.
TEST_F(StoreParse, AChangeAfterAStartOnACurrentStoreKeepsTheBytesItWrote) {
    ASSERT_TRUE(reader->ReadCommandFile(false, file()).success);
    const auto row = store->findUser("Global Commands", "Global Commands", "alpha");
    ASSERT_TRUE(row);
    CommandFileUpdater(WriterEnvironment{*store, *reader, trace, prompter, home()})
        .Update1Body(row->ID, "Sub Main\r\n' changed\r\nEnd Sub");
    EXPECT_EQ(reader->file().bytes(), readFileBytes(file()));
}
