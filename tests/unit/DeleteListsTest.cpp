// Deleting commands takes with it exactly the LISTs that only the deleted commands used, names
// them in its question, and leaves every other LIST where it is, used or not.
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "FileState.h"
#include "FormatFamilies.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "ops/BatchDelete.h"
#include "ops/DeleteCommand.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include <algorithm>
#include <tuple>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
namespace optexts = vocabrella::ops::texts;
using ops::Outcome;

namespace {

BuiltCommand global(std::string name) { return globalCommand(std::move(name), kKindKeys, "{Enter}"); }

// "open <app>" alone uses app; shared has two users; fresh was just made and has none.
CommandFileBuilder listsFile(std::uint8_t versionCode) {
    CommandFileBuilder b(versionCode, 9);
    b.add(global("open <app>"))
        .add(global("size <shared>"))
        .add(global("grow <shared>"))
        .add(global("plain"))
        .add(BuiltList("app", {"notepad"}))
        .add(BuiltList("shared", {"big", "small"}))
        .add(BuiltList("fresh", {"new"}));
    return b;
}

using Row = std::tuple<std::string, std::string, std::string, std::string>; // program, scope, name, Type

// What a fresh parse of the file finds, or what a store holds of the file, sorted.
std::vector<Row> rowsOfStore(CommandStore& store) {
    std::vector<Row> rows;
    store.forEachUser([&](const UserRow& r) {
        if (!r.listcopy) rows.emplace_back(r.menu, r.state, r.name, r.Type);
        return true;
    });
    std::sort(rows.begin(), rows.end());
    return rows;
}
std::vector<Row> rowsOfFile(const fs::path& file) {
    TempDir home;
    ScriptedPrompter prompter;
    FakeClock clock;
    Session session(home.path() / "home", prompter, clock);
    EXPECT_TRUE(session.open(file).success);
    return rowsOfStore(session.store());
}

std::vector<std::string> namesOfType(const std::vector<Row>& rows, const std::string& type) {
    std::vector<std::string> names;
    for (const auto& r : rows)
        if (std::get<3>(r) == type) names.push_back(std::get<2>(r));
    return names;
}

// Every case runs on a file of each format family.
class DeleteLists : public OpenCommandFile<::testing::TestWithParam<std::uint8_t>> {
protected:
    void SetUp() override { open(listsFile(GetParam())); }

    Outcome deleteOne(const std::string& name) {
        return ops::DeleteCommand(*workspace, {"Global Commands", "Global Commands"}, name).run();
    }
    Outcome deletePicked(std::vector<std::string> names) {
        ops::BatchSelection s;
        s.scope = ops::BatchScope::PickAndChoose;
        s.picked = std::move(names);
        return ops::BatchDelete(*workspace, s).run();
    }
    // The file holds these commands and LISTs, and the store agrees with a fresh parse.
    void expectFile(std::vector<std::string> commands, std::vector<std::string> lists) {
        const auto rows = rowsOfFile(file());
        std::sort(commands.begin(), commands.end());
        std::sort(lists.begin(), lists.end());
        EXPECT_EQ(namesOfType(rows, "K"), commands);
        EXPECT_EQ(namesOfType(rows, "L"), lists);
        EXPECT_EQ(rowsOfStore(session->store()), rows);
        EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryFamily, DeleteLists, ::testing::ValuesIn(familyVersionCodes()), familyTestName);

// The window's and the command line's delete of one command.
TEST_P(DeleteLists, OneCommandTakesOnlyTheListsItAloneUsed) {
    prompter.answers = {"yes"};
    ASSERT_TRUE(deleteOne("plain").isDone());
    EXPECT_EQ(prompter.shown.front().text, "Delete this command?") << "no LIST goes with it";
    expectFile({"open <app>", "size <shared>", "grow <shared>"}, {"app", "shared", "fresh"});

    prompter.shown.clear();
    prompter.answers = {"yes"};
    ASSERT_TRUE(deleteOne("size <shared>").isDone());
    EXPECT_EQ(prompter.shown.front().text, "Delete this command?") << "shared is still used";
    expectFile({"open <app>", "grow <shared>"}, {"app", "shared", "fresh"});

    prompter.shown.clear();
    prompter.answers = {"no"};
    const auto before = readFileBytes(file());
    EXPECT_EQ(deleteOne("open <app>").kind, Outcome::Kind::Declined);
    EXPECT_EQ(prompter.shown.front().text, "Delete this command?" + std::string(optexts::ListsGoWithIt) + "app");
    EXPECT_EQ(prompter.shown.front().title, "open <app>");
    EXPECT_EQ(readFileBytes(file()), before);

    prompter.answers = {"yes"};
    ASSERT_TRUE(deleteOne("open <app>").isDone());
    expectFile({"grow <shared>"}, {"shared", "fresh"});
}

// The batch delete asks only when LISTs go, names them, and leaves no mark when declined.
TEST_P(DeleteLists, BatchDeleteNamesTheListsThatGo) {
    ASSERT_TRUE(deletePicked({"plain", "size <shared>"}).isDone());
    EXPECT_TRUE(std::none_of(prompter.shown.begin(), prompter.shown.end(),
                             [](const auto& s) { return s.kind == ScriptedPrompter::Kind::YesNo; }))
        << "nothing but commands goes: no question";
    expectFile({"open <app>", "grow <shared>"}, {"app", "shared", "fresh"});

    const auto before = readFileBytes(file());
    prompter.shown.clear();
    prompter.answers = {"no"};
    EXPECT_EQ(deletePicked({"open <app>", "grow <shared>"}).kind, Outcome::Kind::Declined);
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.front().kind, ScriptedPrompter::Kind::YesNo);
    EXPECT_EQ(prompter.shown.front().text,
              std::string(optexts::ListsGoWithThem) + "app, shared" + std::string(optexts::DeleteThemAll));
    EXPECT_EQ(readFileBytes(file()), before);
    EXPECT_EQ(flagged(), 0) << "no mark is left behind";

    prompter.answers = {"yes"};
    ASSERT_TRUE(deletePicked({"open <app>", "grow <shared>"}).isDone());
    expectFile({}, {"fresh"});
}
