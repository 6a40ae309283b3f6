#include "TestHome.h"

#include "CommandFileBuilder.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "ops/BatchSelection.h"
#include "ops/RenameCommand.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include <sqlite3.h>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

UserRow rowNamed(std::string name, std::string type = "S") {
    UserRow r;
    r.menu = r.state = "Global Commands";
    r.name = std::move(name);
    r.Type = std::move(type);
    r.script = "Sub Main\r\nEnd Sub\r\n";
    r.globalsort = "G";
    return r;
}

void exec(CommandStore& store, const char* sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(store.handle(), sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

// The names of the rows, in the order they were added.
std::vector<std::string> rowNames(CommandStore& store) {
    std::vector<std::string> out;
    for (const auto& r : store.allUsers()) out.push_back(r.name);
    return out;
}

class StoreTransactions : public ::testing::Test {
protected:
    StoreTransactions() : store(CommandStore::create(dir.path() / "global.mdb")) {}

    TempDir dir;
    CommandStore store;
};

} // namespace

// Inner transactions are savepoints: what an inner one did is undone with it, whatever the
// outer one does; the outer one decides for everything that is kept.
TEST_F(StoreTransactions, AnInnerTransactionIsRolledBackAloneAndKeptOnlyWithTheOuter) {
    {
        CommandStore::Transaction outer(store);
        store.insertUser(rowNamed("before"));
        {
            CommandStore::Transaction inner(store);
            store.insertUser(rowNamed("inner, not committed"));
        }
        {
            CommandStore::Transaction inner(store);
            store.insertUser(rowNamed("inner, committed"));
            inner.commit();
        }
        store.insertUser(rowNamed("after"));
        outer.commit();
    }
    EXPECT_EQ(rowNames(store), (std::vector<std::string>{"before", "inner, committed", "after"}));

    // The outer one rolled back takes its committed inner ones with it.
    {
        CommandStore::Transaction outer(store);
        store.insertUser(rowNamed("outer, rolled back"));
        CommandStore::Transaction inner(store);
        store.insertUser(rowNamed("inner of a rolled back outer"));
        inner.commit();
    }
    EXPECT_EQ(rowNames(store), (std::vector<std::string>{"before", "inner, committed", "after"}));

    // Three deep: the middle one rolled back undoes the one inside it too.
    {
        CommandStore::Transaction outer(store);
        store.insertUser(rowNamed("one"));
        {
            CommandStore::Transaction middle(store);
            store.insertUser(rowNamed("two"));
            CommandStore::Transaction inner(store);
            store.insertUser(rowNamed("three"));
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(rowNames(store).back(), "one");
}

// The fault this guards: a failure inside an inner transaction, caught further out, left its
// half-done work behind for the outer commit to keep.
TEST_F(StoreTransactions, AFailureCaughtOutsideAnInnerTransactionIsNotCommittedByTheOuter) {
    exec(store, "CREATE TRIGGER refuse_bad BEFORE INSERT ON user WHEN NEW.name = 'bad' "
                "BEGIN SELECT RAISE(ABORT, 'no bad rows'); END");
    {
        CommandStore::Transaction outer(store);
        store.insertUser(rowNamed("kept"));
        try {
            CommandStore::Transaction inner(store);
            store.insertUser(rowNamed("half of the inner work"));
            store.insertUser(rowNamed("bad"));
            inner.commit();
            ADD_FAILURE() << "the trigger did not refuse";
        } catch (const StoreError& e) {
            EXPECT_NE(std::string(e.what()).find("no bad rows"), std::string::npos) << e.what();
        }
        store.insertUser(rowNamed("also kept"));
        outer.commit();
    }
    EXPECT_EQ(rowNames(store), (std::vector<std::string>{"kept", "also kept"}));
}

TEST_F(StoreTransactions, CommittingTheOuterBeforeTheInnerIsRefused) {
    CommandStore::Transaction outer(store);
    store.insertUser(rowNamed("one"));
    CommandStore::Transaction inner(store);
    EXPECT_THROW(outer.commit(), StoreError);
    inner.commit();
    outer.commit();
    EXPECT_EQ(rowNames(store), (std::vector<std::string>{"one"}));
}

// Every statement's result is looked at: a step the database refuses is a StoreError with the
// database's own message, never taken for "no rows" or "done".
TEST_F(StoreTransactions, AFailingStatementIsAStoreErrorWithTheDatabasesMessage) {
    const auto id = store.insertUser(rowNamed("one"));
    exec(store, "CREATE TRIGGER no_marks BEFORE UPDATE OF flag ON user BEGIN SELECT RAISE(ABORT, 'marks refused'); END");
    exec(store, "CREATE TRIGGER no_deletes BEFORE DELETE ON user BEGIN SELECT RAISE(ABORT, 'deletes refused'); END");
    exec(store, "CREATE TRIGGER no_states BEFORE INSERT ON states BEGIN SELECT RAISE(ABORT, 'states refused'); END");
    CommandStore::RowSelection everything;
    everything.everything = true;
    const std::vector<std::pair<const char*, std::function<void()>>> failing = {
        {"setFlag", [&] { store.setFlag(id, true); }},
        {"setFlags", [&] { store.setFlags({id}, true); }},
        {"flagAll", [&] { store.flagAll(); }},
        {"flagSelection", [&] { store.flagSelection(everything); }},
        {"deleteUser", [&] { store.deleteUser(id); }},
        {"deleteAllUsers", [&] { store.deleteAllUsers(); }},
        {"addState", [&] { store.addState("WINWORD", "Document"); }},
    };
    for (const auto& [what, call] : failing) {
        try {
            call();
            ADD_FAILURE() << what << " did not fail";
        } catch (const StoreError& e) {
            EXPECT_NE(std::string(e.what()).find("refused"), std::string::npos) << what << ": " << e.what();
        }
    }
    // Nothing of it happened, and the store goes on working.
    ASSERT_TRUE(store.userById(id));
    EXPECT_FALSE(store.userById(id)->flag);
    store.setScript(id, "changed");
    EXPECT_EQ(store.userById(id)->script, "changed");
}

// The marks of a batch are set in one transaction: a failure half-way leaves the marks of
// before, not the first half of the new ones.
TEST(StoreMarks, AFailureWhileMarkingLeavesTheMarksAsTheyWere) {
    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    CommandFileBuilder b(7);
    for (const char* name : {"alpha", "beta", "gamma"}) {
        BuiltCommand c;
        c.name = name;
        c.kind = kKindScript;
        c.text = "Sub Main\r\nEnd Sub\r\n";
        b.add(c);
    }
    b.writeFile(dir.path() / "mycmds.dat");
    Session session(dir.path() / "home", prompter, clock);
    ASSERT_TRUE(session.open(dir.path() / "mycmds.dat").success);
    ops::Workspace ws(session, clock);
    auto& store = session.store();
    const auto alpha = store.findUser("Global Commands", "Global Commands", "alpha")->ID;
    const auto gamma = store.findUser("Global Commands", "Global Commands", "gamma")->ID;
    store.setFlag(alpha, true);
    exec(store, "CREATE TRIGGER no_gamma BEFORE UPDATE OF flag ON user WHEN NEW.name = 'gamma' AND NEW.flag "
                "BEGIN SELECT RAISE(ABORT, 'gamma refused'); END");
    ops::BatchSelection pick;
    pick.scope = ops::BatchScope::PickAndChoose;
    pick.picked = {"beta", "gamma"};
    EXPECT_THROW(ops::markSelection(ws, pick), StoreError);
    std::vector<std::string> marked;
    store.forEachFlagged([&](const UserRow& r) {
        marked.push_back(r.name);
        return true;
    });
    EXPECT_EQ(marked, (std::vector<std::string>{"alpha"}));
    EXPECT_FALSE(store.userById(gamma)->flag);
}

namespace {

// A change whose store or file fails on the way: the user reads what failed, and the file and
// the store are as they were.
class FailingChange : public OpenCommandFile<> {
protected:
    void SetUp() override {
        CommandFileBuilder b(7);
        for (const char* name : {"alpha", "beta", "gamma"}) {
            BuiltCommand c;
            c.name = name;
            c.kind = kKindScript;
            c.text = std::string("Sub Main\r\n' ") + name + "\r\nEnd Sub\r\n";
            b.add(c);
        }
        b.add(BuiltList("colors", {"red", "green"}));
        b.writeFile(file());
        session.emplace(dir.path() / "home", prompter, clock);
        ASSERT_TRUE(session->open(file()).success);
        workspace.emplace(*session, clock);
        bytesBefore = readFileBytes(file());
        rowsBefore = session->store().allUsers();
    }

    // File and store as they were, and the store what a fresh parse of the file makes.
    void expectNothingChanged() {
        EXPECT_EQ(readFileBytes(file()), bytesBefore);
        const auto rows = session->store().allUsers();
        ASSERT_EQ(rows.size(), rowsBefore.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].name, rowsBefore[i].name);
            EXPECT_EQ(rows[i].offset, rowsBefore[i].offset);
            EXPECT_EQ(rows[i].script, rowsBefore[i].script);
        }
        const auto parsed = rowsReadAfresh(file());
        ASSERT_EQ(parsed.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(parsed[i].name, rows[i].name);
    }

    std::vector<std::uint8_t> bytesBefore;
    std::vector<UserRow> rowsBefore;
};

} // namespace

TEST_F(FailingChange, AStoreFailureIsAFailedOutcomeWithItsTextAndChangesNothing) {
    exec(session->store(), "CREATE TRIGGER no_renames BEFORE UPDATE OF name ON user "
                           "BEGIN SELECT RAISE(ABORT, 'renames refused'); END");
    ops::Outcome outcome;
    ASSERT_NO_THROW(outcome = ops::RenameCommand(*workspace, {"Global Commands", "Global Commands"}, "beta", "delta").run());
    EXPECT_EQ(outcome.kind, ops::Outcome::Kind::Failed);
    EXPECT_EQ(outcome.text.rfind(ops::texts::StoreFailed, 0), 0u) << outcome.text;
    EXPECT_NE(outcome.text.find("renames refused"), std::string::npos) << outcome.text;
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.last().text, outcome.text);
    expectNothingChanged();
    // The trace keeps what failed.
    EXPECT_NE(readText(dir.path() / "home" / "trace.vbl").find("renames refused"), std::string::npos);
}

TEST_F(FailingChange, ARecordThatCannotBeReadIsAFailedOutcomeAndChangesNothing) {
    // The store says the command stands where the file holds no record.
    const auto beta = session->store().findUser("Global Commands", "Global Commands", "beta")->ID;
    const auto where = "UPDATE user SET \"offset\" = " + std::to_string(bytesBefore.size() - 2) +
                       " WHERE ID = " + std::to_string(beta);
    exec(session->store(), where.c_str());
    rowsBefore = session->store().allUsers();
    ops::Outcome outcome;
    ASSERT_NO_THROW(outcome = ops::RenameCommand(*workspace, {"Global Commands", "Global Commands"}, "beta", "delta").run());
    EXPECT_EQ(outcome.kind, ops::Outcome::Kind::Failed) << outcome.text;
    EXPECT_EQ(outcome.text.rfind(ops::texts::CommandFileDamaged, 0), 0u) << outcome.text;
    EXPECT_EQ(outcome.title, file().string());
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.last().text, outcome.text);
    EXPECT_EQ(readFileBytes(file()), bytesBefore);
    EXPECT_EQ(session->store().allUsers().size(), rowsBefore.size());
}

// The keyed lookups that stand in for walks over every row.
TEST_F(StoreTransactions, KeyedLookupsFindWhatTheWalksFound) {
    auto list = rowNamed("colors", "L");
    store.insertUser(list);
    auto copy = list;
    copy.menu = "WINWORD";
    copy.state = "Application-specific";
    copy.globalsort = "N";
    copy.listcopy = true;
    const auto copyId = store.insertUser(copy);
    store.insertUser(rowNamed("Colors", "L")); // another LIST, spelt otherwise
    auto command = rowNamed("colors"); // a command, not a LIST
    command.states = "1,";
    store.insertUser(command);

    const auto lists = store.listRowsNamed("colors");
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[1], copyId);
    EXPECT_EQ(store.globalListNames().size(), 2u);
    EXPECT_EQ(store.countCommandsWithStates(), 1);

    // Marked rows whose scope and name an unmarked command of the program has already.
    auto word = rowNamed("bold it");
    word.menu = "WINWORD";
    word.state = "Application-specific";
    word.globalsort = "N";
    store.insertUser(word);
    auto excel = word;
    excel.menu = "EXCEL";
    excel.flag = true;
    store.insertUser(excel);
    auto other = word;
    other.menu = "EXCEL";
    other.name = "italic";
    other.flag = true;
    store.insertUser(other);
    EXPECT_EQ(store.markedNamesTakenIn("winword"), (std::vector<std::string>{"bold it"}));
    EXPECT_TRUE(store.markedNamesTakenIn("POWERPNT").empty());
}

// A full parse drops the indexes and makes them again after the rows.
TEST(StoreRebuild, AParseLeavesEveryIndexInPlace) {
    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    CommandFileBuilder b(7);
    BuiltCommand c;
    c.name = "alpha";
    c.kind = kKindScript;
    c.text = "Sub Main\r\nEnd Sub\r\n";
    b.add(c);
    b.writeFile(dir.path() / "mycmds.dat");
    const auto indexes = [](CommandStore& store) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(store.handle(),
                           "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'user' AND sql IS NOT NULL",
                           -1, &s, nullptr);
        sqlite3_step(s);
        const int n = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
        return n;
    };
    // Those a new store is made with.
    int made = 0;
    for (std::string_view schema = CommandStore::schema(); schema.find(" ON user (") != std::string_view::npos;
         schema.remove_prefix(schema.find(" ON user (") + 1))
        ++made;
    ASSERT_EQ(made, 7);
    Session session(dir.path() / "home", prompter, clock);
    ASSERT_TRUE(session.open(dir.path() / "mycmds.dat").success);
    EXPECT_EQ(indexes(session.store()), made);
    session.FileRefresh();
    EXPECT_EQ(indexes(session.store()), made);
    // A parse that fails half-way keeps them too.
    auto bytes = readFileBytes(dir.path() / "mycmds.dat");
    bytes.resize(bytes.size() - 6);
    writeFileAtomically(dir.path() / "mycmds.dat", bytes);
    EXPECT_FALSE(session.reader().ReadCommandFile(true, dir.path() / "mycmds.dat").success);
    EXPECT_EQ(indexes(session.store()), made);
}

// Opening looks at the file's length, not at every page: a store cut short is damage at once,
// before any query could take its missing pages for rows that are not there.
TEST(StoreOpen, AStoreCutShortIsDamage) {
    TempDir dir;
    const auto path = dir.path() / "global.mdb";
    {
        auto store = CommandStore::create(path);
        CommandStore::Transaction t(store);
        for (int i = 0; i < 200; ++i) {
            auto row = rowNamed("command " + std::to_string(i));
            row.script = std::string(4000, static_cast<char>('a' + i % 26));
            store.insertUser(row);
        }
        t.commit();
    }
    fs::resize_file(path, fs::file_size(path) / 2);
    try {
        CommandStore::open(path);
        ADD_FAILURE() << "a store cut in half was opened";
    } catch (const StoreError& e) {
        EXPECT_TRUE(CommandStore::isDamage(e)) << e.what();
    }
}

// A second connection for reading beside the store's own: it sees what was committed and not
// what an open transaction wrote, it cannot write, and closing it leaves the log to its owner.
// The owner's write mark tells whether anybody wrote the store since a moment.
TEST_F(StoreTransactions, AReadingConnectionSeesCommittedRowsOnlyAndWritesNothing) {
    store.insertUser(rowNamed("committed"));
    const auto before = store.writeMark();
    {
        CommandStore reader = CommandStore::openForReading(store.path());
        EXPECT_EQ(rowNames(reader), std::vector<std::string>{"committed"});
        {
            CommandStore::Transaction t(store);
            EXPECT_TRUE(store.inTransaction());
            store.insertUser(rowNamed("open"));
            EXPECT_EQ(rowNames(reader), std::vector<std::string>{"committed"});
        }
        EXPECT_FALSE(store.inTransaction());
        EXPECT_THROW(reader.flagAll(), StoreError);
        EXPECT_THROW(reader.insertUser(rowNamed("refused")), StoreError);
    }
    // The rolled-back insert still counts as a write: the mark errs towards "changed".
    EXPECT_NE(store.writeMark(), before);
    const auto later = store.writeMark();
    EXPECT_EQ(rowNames(store), std::vector<std::string>{"committed"});
    EXPECT_EQ(store.writeMark(), later); // reading writes nothing
    store.flagAll();
    const auto flagged = store.writeMark();
    EXPECT_NE(flagged, later);
    // What another connection commits moves the mark as well.
    {
        CommandStore other = CommandStore::open(store.path());
        other.insertUser(rowNamed("by another"));
    }
    EXPECT_NE(store.writeMark(), flagged);
}
