// A command file in a folder of its own, opened as the program opens it: a session over a home
// folder beside the file, a scripted prompter and a clock that never waits. Base is
// ::testing::Test, or ::testing::TestWithParam<...> for a battery of cases run per parameter.
#pragma once

#include "CommandFileBuilder.h"
#include "TestHome.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Store.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace vocabrella::testsupport {

// How many rows of the store are marked; changes that end, done or not, leave none.
inline std::int64_t markedRows(CommandStore& store) {
    std::int64_t n = 0;
    store.forEachUser([&](const UserRow& r) {
        n += r.flag;
        return true;
    });
    return n;
}

// The rows of the file as a program started afresh reads them, in a home folder of its own.
inline std::vector<UserRow> rowsReadAfresh(const std::filesystem::path& file) {
    TempDir other;
    ScriptedPrompter quiet;
    FakeClock clock;
    Session fresh(other.path() / "home", quiet, clock);
    EXPECT_TRUE(fresh.open(file).success) << file;
    return fresh.store().allUsers();
}

// Another program, with a home folder of its own, opens the file and makes a change: the file
// changes behind the back of the program under test.
inline void inAnotherProgram(const std::filesystem::path& file,
                             const std::function<void(Session&, ops::Workspace&)>& change) {
    TempDir other;
    ScriptedPrompter quiet;
    FakeClock clock;
    Session elsewhere(other.path() / "home", quiet, clock);
    ASSERT_TRUE(elsewhere.open(file).success) << file;
    ops::Workspace workspace(elsewhere, clock);
    change(elsewhere, workspace);
}

template <typename Base = ::testing::Test> class OpenCommandFile : public Base {
protected:
    std::filesystem::path file() const { return dir.path() / "mycmds.dat"; }
    std::filesystem::path home() const { return dir.path() / "home"; }
    std::vector<std::uint8_t> bytes() const { return readFileBytes(file()); }
    CommandStore& store() { return session->store(); }
    std::int64_t flagged() { return markedRows(store()); }

    // Writes the file and opens it, as a program started anew over the same home folder.
    ops::Workspace& open(CommandFileBuilder builder) {
        builder.writeFile(file());
        return openFile();
    }
    ops::Workspace& openFile() {
        workspace.reset();
        session.reset();
        session.emplace(home(), sessionPrompter(), clock);
        EXPECT_TRUE(session->open(file()).success);
        workspace.emplace(*session, clock);
        return *workspace;
    }
    // The prompter the session talks to; a fixture may put one of its own in front.
    virtual Prompter& sessionPrompter() { return prompter; }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    std::optional<Session> session;
    std::optional<ops::Workspace> workspace;
};

} // namespace vocabrella::testsupport
