#include "TestHome.h"

#include "browse/Browser.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Store.h"
#include "cmdfile/TextCase.h"

#include <sqlite3.h>

#include <algorithm>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

UserRow row(std::string program, std::string scope, std::string name, std::string type, std::string group) {
    UserRow r;
    r.menu = std::move(program);
    r.state = std::move(scope);
    r.name = std::move(name);
    r.Type = std::move(type);
    r.owner = std::move(group);
    r.script = "Sub Main\r\nEnd Sub\r\n";
    r.globalsort = r.menu == "Global Commands" ? "G" : "N";
    r.listsort = r.Type == "L" ? "L" : "C";
    return r;
}

void exec(CommandStore& store, const char* sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(store.handle(), sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

std::vector<std::string> column(CommandStore& store, const char* sql) {
    std::vector<std::string> out;
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(store.handle(), sql, -1, &s, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        out.emplace_back(text ? text : "");
    }
    sqlite3_finalize(s);
    return out;
}

std::vector<std::string> namesOf(const std::vector<CommandStore::RowHead>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.name);
    return out;
}

// Commands and LISTs of several programs, scopes and groups, spelt in more than one letter case.
class StoreIndexes : public ::testing::Test {
protected:
    StoreIndexes() : store(CommandStore::create(dir.path() / "global.mdb")) {
        for (const auto& r : {
                 row("Global Commands", "Global Commands", "open <colors>", "S", "Editing"),
                 row("Global Commands", "Global Commands", "colors", "L", "Dragon"),
                 row("Global Commands", "Global Commands", "sizes", "L", "Dragon"),
                 row("Global Commands", "Asleep", "wake up", "K", "Mouse"),
                 row("WINWORD", "Application-specific", "bold <sizes> <colors>", "S", "editing"),
                 row("WINWORD", "Application-specific", "colors", "X", "Editing"),
                 row("WINWORD", "Document1", "save", "K", "Zoom"),
                 row("winword", "document1", "close", "K", "Zoom"),
                 row("EXCEL", "Application-specific", "sum", "T", ""),
                 row("EXCEL", "Application-specific", "sizes", "L", "Only Lists"),
             })
            store.insertUser(r);
    }

    TempDir dir;
    CommandStore store;
};

} // namespace

// The menus are read by one seek per entry: each name once whatever its letter case, in the
// order SQLite's DISTINCT gives, and a group only when a command (not just a LIST) is in it.
TEST_F(StoreIndexes, TheMenusListEachProgramScopeAndGroupOnceAsDistinctWould) {
    EXPECT_EQ(store.distinctPrograms(), column(store, "SELECT DISTINCT menu FROM user ORDER BY menu"));
    EXPECT_EQ(store.distinctPrograms(), (std::vector<std::string>{"EXCEL", "Global Commands", "WINWORD"}));
    EXPECT_EQ(store.scopesOfProgram("winword"),
              column(store, "SELECT DISTINCT state FROM user WHERE menu = 'WINWORD' ORDER BY state"));
    EXPECT_EQ(store.scopesOfProgram("WINWORD").size(), 2u);
    EXPECT_TRUE(store.scopesOfProgram("NOTEPAD").empty());
    EXPECT_EQ(store.distinctGroups(), (std::vector<std::string>{"", "Editing", "Mouse", "Zoom"}));
    EXPECT_EQ(store.distinctGroups(),
              column(store, "SELECT DISTINCT owner FROM user WHERE Type <> 'L' ORDER BY owner"));

    std::vector<std::string> pairs;
    for (const auto& [program, scope] : store.scopesInStateOrder()) pairs.push_back(foldCase(scope + "/" + program));
    EXPECT_EQ(pairs, (std::vector<std::string>{"application-specific/excel", "application-specific/winword",
                                               "asleep/global commands", "document1/winword",
                                               "global commands/global commands"}));

    browse::Selection selection;
    browse::Browser browser(store, selection);
    EXPECT_EQ(browser.groupEntries(), (std::vector<std::string>{"Editing", "Mouse", "Zoom"}));
    EXPECT_EQ(store.countCommands(), 7);
    EXPECT_EQ(store.countLists(), 3);
}

// The LISTs of a scope come from their own index: a command of the same name is never taken for
// the LIST, neither in the LISTs list nor when the LISTs the commands use are made visible.
TEST_F(StoreIndexes, TheListsOfAScopeAreLISTsOnly) {
    EXPECT_EQ(namesOf(store.listsOfScope("Global Commands", "Global Commands")),
              (std::vector<std::string>{"colors", "sizes"}));
    EXPECT_TRUE(store.listsOfScope("WINWORD", "Application-specific").empty());
    EXPECT_FALSE(store.findList("WINWORD", "Application-specific", "colors"));
    ASSERT_TRUE(store.findList("global commands", "GLOBAL COMMANDS", "COLORS"));

    browse::Selection selection;
    selection.program = "WINWORD";
    selection.scope = "Application-specific";
    browse::Browser browser(store, selection);
    const auto names = browser.FillCommandList();
    EXPECT_EQ(names, (std::vector<std::string>{"bold <sizes> <colors>", "colors"}));
    // Both global LISTs were copied in, the one named like a command of the scope too.
    const auto copies = store.listsOfScope("WINWORD", "Application-specific");
    ASSERT_EQ(namesOf(copies), (std::vector<std::string>{"colors", "sizes"}));
    for (const auto& copy : copies) EXPECT_TRUE(store.userById(copy.ID)->listcopy);
    EXPECT_EQ(store.findUser("WINWORD", "Application-specific", "colors")->Type, "X") << "the command is left alone";

    selection.listsTab = {"WINWORD", "Application-specific"};
    EXPECT_EQ(browser.FillListsList({"bold <sizes> <colors>", "colors", "pick <COLORS>"}),
              (std::vector<std::string>{"sizes", "colors"}));
    selection.listsTab = {"Global Commands", "Global Commands"};
    EXPECT_EQ(browser.FillListsList({}), (std::vector<std::string>{"colors", "sizes"}));
}

// The Commands list reads no LIST but one whose name refers to LISTs, whose references are
// followed as a command's are; a scope of LISTs only is a scope with nothing to show, one
// without rows is none.
TEST_F(StoreIndexes, TheCommandsListPassesOverLISTsButFollowsTheReferencesInTheirNames) {
    store.insertUser(row("NOTEPAD", "Application-specific", "marks <sizes>", "L", ""));
    store.insertUser(row("NOTEPAD", "Untitled", "plain", "L", ""));
    browse::Selection selection;
    selection.program = "NOTEPAD";
    selection.scope = "Application-specific";
    browse::Browser browser(store, selection);
    const auto names = browser.FillCommandList();
    ASSERT_TRUE(names.has_value());
    EXPECT_TRUE(names->empty());
    EXPECT_EQ(namesOf(store.listsOfScope("NOTEPAD", "Application-specific")),
              (std::vector<std::string>{"marks <sizes>", "sizes"}));

    selection.scope = "Untitled";
    EXPECT_EQ(browser.FillCommandList(), std::vector<std::string>{});
    selection.scope = "Nowhere";
    EXPECT_FALSE(browser.FillCommandList().has_value());

    selection.program = "EXCEL";
    selection.scope = "Application-specific";
    EXPECT_EQ(browser.FillCommandList(), (std::vector<std::string>{"sum"}));
}

// The reads that seek what they want give what a pass over every row, filtered as the callers
// filtered it, gave: the same rows in the order they were added, names compared without regard
// to ASCII case.
TEST_F(StoreIndexes, SoughtRowsAreThoseAPassOverEveryRowWouldFilter) {
    store.showListsInScope("EXCEL", "Application-specific", {"colors"}, std::nullopt);
    std::vector<UserRow> all;
    store.forEachUser([&](const UserRow& r) {
        all.push_back(r);
        return true;
    });
    const auto idsWhere = [&](const auto& keep) {
        std::vector<std::int64_t> ids;
        for (const auto& r : all)
            if (keep(r)) ids.push_back(r.ID);
        return ids;
    };
    const auto idsOf = [&](const CommandStore::RowFilter& filter) {
        std::vector<std::int64_t> ids;
        store.forEachUser(filter, [&](const UserRow& r) {
            ids.push_back(r.ID);
            return true;
        });
        return ids;
    };

    std::vector<std::string> lists;
    for (const auto& r : all)
        if (r.Type == "L") lists.push_back(r.name);
    EXPECT_EQ(store.allListNames(), lists);
    EXPECT_EQ(store.allListNames(), (std::vector<std::string>{"colors", "sizes", "sizes", "colors"}))
        << "the copy in a scope too, after the LISTs read before it";

    EXPECT_EQ(store.placeOfFirstRow(), CommandStore::ProgramScope("Global Commands", "Global Commands"));

    EXPECT_EQ(idsOf({}), idsWhere([](const UserRow&) { return true; }));
    EXPECT_EQ(idsOf({"winword", std::nullopt, std::nullopt}),
              idsWhere([](const UserRow& r) { return sameIgnoringCase(r.menu, "WINWORD"); }));
    EXPECT_EQ(idsOf({"WINWORD", "DOCUMENT1", std::nullopt}).size(), 2u);
    EXPECT_EQ(idsOf({std::nullopt, "application-specific", "EDITING"}),
              idsWhere([](const UserRow& r) {
                  return sameIgnoringCase(r.state, "Application-specific") && sameIgnoringCase(r.owner, "Editing");
              }));
    EXPECT_TRUE(idsOf({"NOTEPAD", std::nullopt, std::nullopt}).empty());
    int seen = 0;
    store.forEachUser(CommandStore::RowFilter{}, [&](const UserRow&) { return ++seen < 2; });
    EXPECT_EQ(seen, 2) << "the visit stops when asked";

    const auto scopeNames = [&](CommandStore::ScopeOrder order) {
        std::vector<std::string> names;
        store.visitRowsOfScope(
            "Global Commands", "global commands",
            [&](const CommandStore::RowView& r) {
                names.emplace_back(r.name);
                return true;
            },
            order);
        return names;
    };
    EXPECT_EQ(scopeNames(CommandStore::ScopeOrder::ByName),
              (std::vector<std::string>{"colors", "open <colors>", "sizes"}));
    EXPECT_EQ(scopeNames(CommandStore::ScopeOrder::Added),
              (std::vector<std::string>{"open <colors>", "colors", "sizes"}));

    TempDir other;
    auto empty = CommandStore::create(other.path() / "global.mdb");
    EXPECT_FALSE(empty.placeOfFirstRow());
    EXPECT_TRUE(empty.allListNames().empty());
}

// With a group chosen the LISTs used join it, whether copied in now or there already; the
// global scope copies nothing into itself.
TEST_F(StoreIndexes, ListsMadeVisibleJoinTheChosenGroup) {
    store.showListsInScope("EXCEL", "Application-specific", {"sizes", "colors", "SIZES", "missing"}, "Zoom");
    const auto lists = store.listsOfScope("EXCEL", "Application-specific");
    ASSERT_EQ(namesOf(lists), (std::vector<std::string>{"colors", "sizes"}));
    for (const auto& list : lists) EXPECT_EQ(list.owner, "Zoom") << list.name;
    EXPECT_FALSE(store.userById(lists[1].ID)->listcopy) << "the LIST of the scope itself, not a copy";

    const auto before = store.userCount();
    store.showListsInScope("Global Commands", "Global Commands", {"colors", "missing"}, std::nullopt);
    EXPECT_EQ(store.userCount(), before);
    EXPECT_EQ(store.findList("Global Commands", "Global Commands", "colors")->owner, "Dragon");
    store.showListsInScope("Global Commands", "Global Commands", {"colors", "missing"}, "Zoom");
    EXPECT_EQ(store.userCount(), before);
    EXPECT_EQ(store.findList("Global Commands", "Global Commands", "colors")->owner, "Zoom");
}

// Rows added together are numbered one after the other, in the order given, whole; a statement
// of many rows and the rows left over give the same rows as one insert each.
TEST_F(StoreIndexes, RowsAddedTogetherKeepTheirOrderAndTheirNumbers) {
    std::vector<UserRow> rows;
    for (int i = 0; i < 64 * 2 + 5; ++i) {
        auto r = row(i % 3 ? "WINWORD" : "Global Commands", "Application-specific", "command " + std::to_string(i),
                     i % 7 ? "S" : "L", "Editing");
        r.script = std::string(static_cast<std::size_t>(i) * 97, 'x') + "\r\n";
        r.offset = i * 10;
        r.description = i % 2 ? "odd" : "";
        if (i % 11 == 0) r.scope = std::string(1, '\0'); // a code is kept byte for byte, a zero too
        rows.push_back(std::move(r));
    }
    const auto last = store.lastUser()->ID;
    const auto first = store.insertUsers(rows);
    EXPECT_EQ(first, last + 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto stored = store.userById(first + static_cast<std::int64_t>(i));
        ASSERT_TRUE(stored) << i;
        EXPECT_EQ(stored->name, rows[i].name);
        EXPECT_EQ(stored->script, rows[i].script);
        EXPECT_EQ(stored->offset, rows[i].offset);
        EXPECT_EQ(stored->description, rows[i].description);
        EXPECT_EQ(stored->Type, rows[i].Type);
        EXPECT_EQ(stored->scope, rows[i].scope);
        EXPECT_EQ(stored->globalsort, rows[i].globalsort);
        EXPECT_EQ(stored->listsort, rows[i].listsort);
    }
    EXPECT_EQ(store.lastUser()->name, rows.back().name);
    EXPECT_EQ(store.insertUsers({}), 0);
    EXPECT_EQ(store.insertUsers(std::span<const UserRow>(rows.data(), 3)), first + static_cast<std::int64_t>(rows.size()));
}

// A store of the version before differs only by indexes: it is brought up to date on open,
// rows and all, instead of being made again. A store older still is refused as not this
// version, which makes the program build it afresh from the command file.
TEST_F(StoreIndexes, AStoreOfThePreviousVersionGetsItsIndexesOnOpen) {
    const auto path = dir.path() / "global.mdb";
    exec(store, R"(DROP INDEX "owner"; DROP INDEX "scopelists"; PRAGMA user_version = 3)");
    const auto before = store.allUsers().size();
    store = CommandStore::create(dir.path() / "other.mdb"); // the store of version 3 is closed
    auto reopened = CommandStore::open(path);
    EXPECT_EQ(column(reopened, "PRAGMA user_version"), (std::vector<std::string>{"4"}));
    EXPECT_EQ(column(reopened, R"(SELECT name FROM sqlite_master WHERE name IN ('owner', 'scopelists') ORDER BY name)"),
              (std::vector<std::string>{"owner", "scopelists"}));
    EXPECT_EQ(reopened.allUsers().size(), before);
    EXPECT_EQ(reopened.distinctGroups(), (std::vector<std::string>{"", "Editing", "Mouse", "Zoom"}));

    exec(reopened, "PRAGMA user_version = 2");
    try {
        CommandStore::open(path);
        ADD_FAILURE() << "a store of version 2 was opened";
    } catch (const StoreError& e) {
        EXPECT_TRUE(CommandStore::isDamage(e)) << e.what();
    }
}
