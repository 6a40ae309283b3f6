#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/Errors.h"
#include "cmdfile/System.h"
#include "shell/Session.h"

#include <sqlite3.h>


#include <fstream>
#include <functional>
#include <random>
#include <tuple>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

// Enough rows, with bodies long enough, that the store spans many pages.
CommandFileBuilder manyCommands() {
    CommandFileBuilder b(7);
    for (int i = 0; i < 300; ++i) {
        BuiltCommand c;
        c.name = "command " + std::to_string(i);
        c.description = std::string(200, 'd');
        c.group = i % 2 ? "Editing" : "";
        c.scopeByte = kScopeApplication;
        c.module = i % 3 ? "WINWORD" : "EXCEL";
        c.text = "Sub Main\r\n" + std::string(2000, static_cast<char>('a' + i % 26)) + "\r\nEnd Sub";
        b.add(c);
    }
    b.add(BuiltList("colors", {"red", "green"}));
    return b;
}

std::size_t pageSize(const fs::path& store) {
    const auto bytes = readText(store);
    const std::size_t size = (static_cast<unsigned char>(bytes.at(16)) << 8) | static_cast<unsigned char>(bytes.at(17));
    return size == 1 ? 65536 : size;
}

// Overwrites every page but the first (which names the tables) with garbage.
void overwritePagesWithGarbage(const fs::path& store) {
    const std::size_t page = pageSize(store);
    const std::size_t size = fs::file_size(store);
    ASSERT_GT(size, 3 * page) << "the store is too small to damage";
    std::mt19937 random(7);
    std::string garbage(size - page, '\0');
    for (auto& c : garbage) c = static_cast<char>(random());
    std::fstream file(store, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(file.is_open());
    file.seekp(static_cast<std::streamoff>(page));
    ASSERT_TRUE(file.write(garbage.data(), static_cast<std::streamsize>(garbage.size())));
}

// Another process writes to the store, so that a connection holding it open reads its pages
// from the file again rather than from its cache.
void touchFromElsewhere(const fs::path& store) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(os::pathText(store).c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE touched (x)", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// What the rows say of the file, without their IDs, which a store made afresh may number
// differently.
using RowFields = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string,
                             std::string, std::int32_t, std::int32_t, std::int32_t, std::string, bool>;
std::vector<RowFields> fieldsOf(const std::vector<UserRow>& rows) {
    std::vector<RowFields> out;
    for (const auto& r : rows)
        out.emplace_back(r.menu, r.state, r.name, r.Type, r.script, r.owner, r.description, r.offset, r.offsetbody,
                         r.lists, r.states, r.dupe);
    return out;
}

class StoreDamage : public ::testing::Test {
protected:
    fs::path home() const { return dir.path() / "home"; }
    fs::path store() const { return home() / "global.mdb"; }
    fs::path file() const { return dir.path() / "mycmds.dat"; }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
};

} // namespace

TEST_F(StoreDamage, AQueryMeetingDamagedPagesThrowsInsteadOfReturningNoRows) {
    manyCommands().writeFile(file());
    {
        Session session(home(), prompter, clock);
        ASSERT_TRUE(session.open(file()).success);
    }
    auto damaged = CommandStore::open(store());
    overwritePagesWithGarbage(store());
    touchFromElsewhere(store());
    const std::vector<std::pair<const char*, std::function<void()>>> queries = {
        {"userCount", [&] { damaged.userCount(); }},
        {"countCommands", [&] { damaged.countCommands(); }},
        {"allUsers", [&] { damaged.allUsers(); }},
        {"rowMarks", [&] { damaged.rowMarks(); }},
        {"distinctPrograms", [&] { damaged.distinctPrograms(); }},
        {"scopesInStateOrder", [&] { damaged.scopesInStateOrder(); }},
        {"flaggedForDvc", [&] { damaged.flaggedForDvc(); }},
        {"hasProgram", [&] { damaged.hasProgram("WINWORD"); }},
        {"parameters", [&] { damaged.parameters(); }},
        {"findState", [&] { damaged.findState("WINWORD", "x"); }},
    };
    for (const auto& [name, query] : queries) {
        try {
            query();
            ADD_FAILURE() << name << " read a damaged store without complaint";
        } catch (const StoreError& e) {
            EXPECT_TRUE(CommandStore::isDamage(e)) << name << ": " << e.what();
        }
    }
}

// The store is a copy of the command file: however it was damaged, the next start makes it
// again from the file, with nothing lost and nothing said.
TEST_F(StoreDamage, ADamagedStoreIsMadeAgainFromTheCommandFile) {
    auto b = manyCommands();
    b.writeFile(file());
    std::vector<RowFields> parsed;
    {
        Session session(home(), prompter, clock);
        ASSERT_TRUE(session.open(file()).success);
        parsed = fieldsOf(session.store().allUsers());
        ASSERT_EQ(parsed.size(), 301u);
    }
    const auto truncateTo = [&](double share) {
        fs::resize_file(store(), static_cast<std::uintmax_t>(static_cast<double>(fs::file_size(store())) * share));
    };
    const std::vector<std::pair<const char*, std::function<void()>>> damages = {
        {"garbage pages", [&] { overwritePagesWithGarbage(store()); }},
        {"cut in half", [&] { truncateTo(0.5); }},
        {"cut inside its first page", [&] { fs::resize_file(store(), 60); }},
        {"emptied", [&] { fs::resize_file(store(), 0); }},
        {"no database at all", [&] { writeBytes(store(), Bytes{'n', 'o', 't', ' ', 'a', ' ', 's', 't', 'o', 'r', 'e'}); }},
    };
    for (const auto& [what, damage] : damages) {
        damage();
        Session session(home(), prompter, clock);
        ASSERT_TRUE(session.open(file()).success) << what;
        EXPECT_EQ(fieldsOf(session.store().allUsers()), parsed) << what;
        EXPECT_EQ(session.store().parameters().openfile, fs::weakly_canonical(file()).string()) << what;
        EXPECT_TRUE(fs::exists(home() / "global.mdb.damaged")) << what << ": the damaged store is kept aside";
    }

    // Damage met while the program runs: the next reading of the file makes the store again.
    Session session(home(), prompter, clock);
    ASSERT_TRUE(session.open(file()).success);
    overwritePagesWithGarbage(store());
    touchFromElsewhere(store());
    ASSERT_TRUE(session.open(file()).success);
    EXPECT_EQ(fieldsOf(session.store().allUsers()), parsed);
    EXPECT_EQ(prompter.messageCount(), 0u);
}
