#include "ProcessRunner.h"
#include "TestHome.h"

#include <cstdlib>
#include <fstream>

using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

// A run whose home folder cannot be made works in a temporary one, which is gone however the run
// ends: also when it is interrupted or terminated while it waits for its input.
TEST(CommandLineLife, TheTemporaryHomeIsRemovedWhenTheRunIsEndedBySignal) {
#ifdef _WIN32
    GTEST_SKIP() << "sends POSIX signals from a shell; on Windows Ctrl+C and a closed console reach the program "
                    "through its console, which a test process cannot give a child under Wine";
#else
    for (const char* signal : {"INT", "TERM", "PIPE"}) {
        TempDir dir;
        const fs::path tmp = dir.path() / "tmp";
        fs::create_directories(tmp);
        copySampleToChange("reply.dat", dir.path() / "reply.dat");
        std::ofstream(dir.path() / "a file") << "no folder can be made in a file\n";
        // The body comes from a pipe nobody writes to: the run waits there.
        const std::string script = "mkfifo '" + (dir.path() / "body").string() + "'; TMPDIR='" + tmp.string() + "' VOCABRELLA_HOME='" +
                                   (dir.path() / "a file" / "home").string() + "' " +
                                   VOCABRELLA_CLI + " set-body '" + (dir.path() / "reply.dat").string() +
                                   "' reply --program OUTLOOK --from-file '" + (dir.path() / "body").string() +
                                   "' 2>/dev/null & pid=$!; "
                                   "for i in $(seq 50); do [ -n \"$(ls -A '" + tmp.string() +
                                   "')\" ] && break; sleep 0.1; done; sleep 0.3; kill -" + signal +
                                   " $pid; wait $pid; echo $? > '" + (dir.path() / "status").string() + "'";
        std::ofstream(dir.path() / "run.sh") << script << '\n';
        ASSERT_EQ(std::system(("bash '" + (dir.path() / "run.sh").string() + "'").c_str()), 0);
        EXPECT_TRUE(fs::is_empty(tmp)) << signal;
        EXPECT_NE(readText(dir.path() / "status"), "0\n") << signal;
        EXPECT_EQ(readText(dir.path() / "reply.dat"), readText(sample("reply.dat"))) << signal;
    }
#endif
}

// With a Dragon installation and no home folder named, the run uses the program's own home
// folder: the day's backup of the speech user's file is kept there, not thrown away.
TEST(CommandLineLife, WithDragonTheDaysBackupIsKeptInTheProgramsHome) {
#ifdef _WIN32
    GTEST_SKIP() << "the program's own home is the account's local application data folder on Windows, which a "
                    "test cannot move elsewhere for the run it starts";
#else
    TempDir dir;
    const fs::path root = dir.path() / "dragon";
    ASSERT_EQ(runProgram({VOCABRELLA_DRAGONSIM, "init", root.string(), "--demo"}).status, 0);
    const std::string run = "env -u VOCABRELLA_HOME XDG_DATA_HOME='" + (dir.path() / "data").string() + "' " +
                            VOCABRELLA_CLI + " --dragon-root '" + root.string() + "' status >/dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0);
    std::size_t backups = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "data" / "vocabrella" / "Speaker"))
        backups += entry.path().filename().string().rfind("mycmds.", 0) == 0;
    EXPECT_EQ(backups, 1u);
#endif
}

TEST(CommandLineLife, AnUnknownTypeCodeIsRefused) {
    EXPECT_NE(runProgram({VOCABRELLA_CLI, "list", "--type", "K,Z", sample("reply.dat").string()}).status, 0);
}
