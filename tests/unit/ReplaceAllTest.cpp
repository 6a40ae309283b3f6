// Replace All over many bodies at once: the file holds every replacement, the store's positions
// agree with a fresh parse of the new file, and a name shared with a command of another kind
// does not stop the run.
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "FileState.h"
#include "FormatFamilies.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "ops/SearchReplace.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "writer/Updater.h"

#include <algorithm>
#include <tuple>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

BuiltCommand command(std::string name, std::uint8_t kind, std::string text, std::string module = {}) {
    auto c = globalCommand(std::move(name), kind, std::move(text));
    return module.empty() ? c : inProgram(std::move(c), std::move(module));
}

using Row = std::tuple<std::string, std::string, std::string, std::string, std::string, std::int32_t, std::int32_t>;

std::vector<Row> rowsOf(CommandStore& store) {
    std::vector<Row> rows;
    store.forEachUser([&](const UserRow& r) {
        rows.emplace_back(r.menu, r.state, r.name, r.Type, r.script, r.offset, r.offsetbody);
        return true;
    });
    std::sort(rows.begin(), rows.end());
    return rows;
}

struct Fresh {
    std::vector<Row> rows;
    std::int32_t offsetLists = 0;
};
Fresh parsed(const fs::path& file) {
    TempDir home;
    ScriptedPrompter prompter;
    FakeClock clock;
    Session session(home.path() / "home", prompter, clock);
    EXPECT_TRUE(session.open(file).success);
    return {rowsOf(session.store()), session.store().parameters().OffsetLists};
}

// Every case runs on a file of each format family.
class ReplaceAll : public OpenCommandFile<::testing::TestWithParam<std::uint8_t>> {
protected:
    // Several bodies written at once, as Replace All writes them; the store is looked at as
    // the writer leaves it, before anything reads the file again.
    void writeBodies(const std::vector<std::pair<std::string, std::string>>& bodies) {
        std::vector<CommandFileUpdater::BodyChange> changes;
        for (const auto& [name, text] : bodies) {
            std::int64_t id = 0;
            session->store().forEachUser([&](const UserRow& r) {
                if (r.name == name) id = r.ID;
                return id == 0;
            });
            EXPECT_NE(id, 0) << name;
            changes.push_back({id, text});
        }
        CommandFileUpdater(session->writerEnvironment()).UpdateBodies(changes);
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryFamily, ReplaceAll, ::testing::ValuesIn(familyVersionCodes()), familyTestName);

// Bodies that grow, shrink and stay put, in every part of the file, with commands and a LIST in
// between that do not change: every position the store holds is where the new file has it.
TEST_P(ReplaceAll, TheStoresPositionsFollowEveryChangedBody) {
    CommandFileBuilder b(GetParam(), 9);
    b.add(command("first", kKindKeys, "Wait{Enter}"))
        .add(command("untouched", kKindKeys, "{Tab}"))
        .add(command("second <color>", kKindAdvancedScript, "Sub Main\r\nWait 1\r\nEnd Sub"))
        .add(command("same size", kKindKeys, "1234"))
        .add(command("in notepad", kKindScript, "Wait 3", "notepad"))
        .add(command("also untouched", kKindScript, "SendKeys \"x\"", "notepad"))
        .add(BuiltList("color", {"red", "Wait blue"}))
        .add(BuiltList("size", {"big"}));
    open(b);
    writeBodies({{"first", "Waitzz{Enter} and more"},
                 {"second <color>", "Sub Main\r\nEnd Sub"},
                 {"same size", "abcd"},
                 {"in notepad", "Waitzz 3"},
                 {"color", "red\r\nWaitzz blue\r\ngreen"}});
    auto fresh = parsed(file());
    EXPECT_EQ(rowsOf(session->store()), fresh.rows);
    EXPECT_EQ(session->store().parameters().OffsetLists, fresh.offsetLists);

    writeBodies({{"first", "W"}, {"in notepad", "W"}, {"color", "r"}});
    fresh = parsed(file());
    EXPECT_EQ(rowsOf(session->store()), fresh.rows);
    EXPECT_EQ(session->store().parameters().OffsetLists, fresh.offsetLists);
    EXPECT_NE(readText(file()).find("W"), std::string::npos);
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
}

// A step-by-step command comes before an advanced script of the same name: the script's name
// finds the step-by-step row, whose shown body ("wait 500") is not searched. The rest is
// replaced; the step-by-step record stays as it was.
TEST_P(ReplaceAll, ANameSharedWithAnotherKindDoesNotStopTheRun) {
    CommandFileBuilder b(GetParam(), 9);
    auto steps = command("go", kKindStepByStep, "");
    steps.rawBody = stepByStepBody({step::wait(500)});
    // "other" first: the search stops there, and Replace All goes on to the shared name.
    b.add(command("other", kKindKeys, "Wait"))
        .add(steps)
        .add(command("go", kKindAdvancedScript, "Sub Main\r\nWait 1\r\nEnd Sub"));
    open(b);
    ops::SearchReplace search(*workspace, {});
    search.findText = "Wait";
    search.replaceWith = "Pause";
    ASSERT_TRUE(search.replaceAll().isDone()) << prompter.last().text;
    const auto fresh = parsed(file());
    EXPECT_EQ(rowsOf(session->store()), fresh.rows);
    const auto other = session->store().findUser("Global Commands", "Global Commands", "other");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->script, "Pause");
    const auto go = session->store().findUser("Global Commands", "Global Commands", "go");
    ASSERT_TRUE(go);
    EXPECT_EQ(go->Type, "X");
    EXPECT_NE(go->script.find("wait 500"), std::string::npos);
}
