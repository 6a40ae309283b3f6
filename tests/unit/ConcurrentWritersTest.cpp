#include "ProcessRunner.h"
#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "shell/Session.h"

#include <thread>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

// Two command lines changing one file at the same moment, each with a home folder of its own:
// one writer at a time, and each reads again what the other wrote before it writes.
TEST(ConcurrentWriters, NoChangeIsLostWhenTwoProgramsWriteOneFileAtOnce) {
    TempDir dir;
    const fs::path file = dir.path() / "mycmds.dat";
    CommandFileBuilder b(7);
    BuiltCommand c;
    c.name = "hello";
    c.kind = kKindAdvancedScript;
    c.text = "Sub Main\r\nEnd Sub\r\n";
    b.add(c);
    b.add(BuiltList("base", {"x"}));
    b.writeFile(file);

    constexpr int kRounds = 8;
    std::string errors;
    for (int round = 0; round < kRounds; ++round) {
        const auto newList = [&](const char* who) {
            return runProgram({VOCABRELLA_CLI, "new-list", file.string(), who + std::to_string(round), "--item", "one"});
        };
        ProcessResult runs[2];
        std::thread second([&] { runs[1] = newList("b"); });
        runs[0] = newList("a");
        second.join();
        for (const auto& run : runs) {
            EXPECT_EQ(run.status, 0) << run.err;
            errors += run.err;
        }
    }
    EXPECT_EQ(errors, "");

    ScriptedPrompter prompter;
    FakeClock clock;
    Session session(dir.path() / "home", prompter, clock);
    ASSERT_TRUE(session.open(file).success);
    for (int round = 0; round < kRounds; ++round)
        for (const char* who : {"a", "b"})
            EXPECT_TRUE(session.store().findUser("Global Commands", "Global Commands", who + std::to_string(round)))
                << who << round;
    EXPECT_EQ(session.store().countLists(), 1 + 2 * kRounds);
}
