// The marks of the rows an operation acts on, and the copies of global LISTs in other scopes.
#include "TestHome.h"

#include "cmdfile/RowMarks.h"
#include "cmdfile/Store.h"

#include <stdexcept>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

class StoreRows : public ::testing::Test {
protected:
    void SetUp() override { store.emplace(CommandStore::create(dir.path() / "global.mdb")); }

    std::int64_t add(std::string program, std::string scope, std::string name, std::string type,
                     std::string owner = "Work") {
        UserRow row;
        row.menu = std::move(program);
        row.state = std::move(scope);
        row.name = std::move(name);
        row.Type = std::move(type);
        row.owner = std::move(owner);
        row.script = row.Type == "L" ? "red\r\ngreen" : "x";
        return store->insertUser(row);
    }
    std::vector<std::string> marked() {
        std::vector<std::string> names;
        store->forEachFlagged([&](const UserRow& r) {
            names.push_back(r.name);
            return true;
        });
        return names;
    }

    TempDir dir;
    std::optional<CommandStore> store;
};

} // namespace

TEST_F(StoreRows, MarksGoHoweverTheOperationEnds) {
    const auto a = add("Global Commands", "Global Commands", "alpha", "K");
    const auto b = add("Global Commands", "Global Commands", "beta", "K");
    store->setFlag(a, true);
    {
        const RowMarks marks(*store, true);
        EXPECT_TRUE(marked().empty()) << "marked afresh";
        store->setFlag(b, true);
        EXPECT_EQ(marked(), std::vector<std::string>{"beta"});
    }
    EXPECT_TRUE(marked().empty());

    EXPECT_THROW(
        {
            const RowMarks marks(*store);
            store->setFlag(a, true);
            throw std::runtime_error("the operation failed");
        },
        std::runtime_error);
    EXPECT_TRUE(marked().empty());

    // Marks handed on stay until the guard of whoever acts on them goes.
    {
        const RowMarks outer(*store);
        {
            RowMarks inner(*store, true);
            store->setFlag(b, true);
            inner.keep();
        }
        EXPECT_EQ(marked(), std::vector<std::string>{"beta"});
    }
    EXPECT_TRUE(marked().empty());
}

TEST_F(StoreRows, ListsUsedInAScopeAreCopiedThereOnceAndJoinTheGroup) {
    add("Global Commands", "Global Commands", "color", "L", "Colours");
    add("Global Commands", "Global Commands", "size", "L", "Sizes");
    add("NOTEPAD", "Application-specific", "pick <color>", "K");
    add("NOTEPAD", "Application-specific", "size", "L", "Sizes"); // already there

    store->showListsInScope("NOTEPAD", "Application-specific", {"color", "COLOR", "size", "nowhere"}, std::nullopt);
    const auto copy = store->findUser("NOTEPAD", "Application-specific", "color");
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->listcopy);
    EXPECT_FALSE(copy->flag);
    EXPECT_EQ(copy->owner, "Colours");
    EXPECT_EQ(copy->script, "red\r\ngreen");
    EXPECT_EQ(copy->globalsort, "N");
    EXPECT_FALSE(store->findUser("NOTEPAD", "Application-specific", "nowhere")) << "a LIST that exists nowhere";
    std::size_t colors = 0;
    store->forEachUser([&](const UserRow& r) {
        colors += r.name == "color";
        return true;
    });
    EXPECT_EQ(colors, 2u) << "one copy, however often and in whatever case it is named";

    // With a group chosen, the LISTs shown there join it; the global LIST keeps its own.
    store->showListsInScope("NOTEPAD", "Application-specific", {"color", "size"}, std::string("Editing"));
    EXPECT_EQ(store->findUser("NOTEPAD", "Application-specific", "color")->owner, "Editing");
    EXPECT_EQ(store->findUser("NOTEPAD", "Application-specific", "size")->owner, "Editing");
    EXPECT_EQ(store->findUser("Global Commands", "Global Commands", "color")->owner, "Colours");
    store->showListsInScope("WINWORD", "Application-specific", {"size"}, std::string("Writing"));
    EXPECT_EQ(store->findUser("WINWORD", "Application-specific", "size")->owner, "Writing");
}
