#include "TestHome.h"

#include <cstdlib>
#include <fstream>

using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

// A run without a home folder of its own works in a temporary one, which is gone however the run
// ends: also when it is interrupted or terminated while it waits for its input.
TEST(CommandLineLife, TheTemporaryHomeIsRemovedWhenTheRunIsEndedBySignal) {
    for (const char* signal : {"INT", "TERM", "PIPE"}) {
        TempDir dir;
        const fs::path tmp = dir.path() / "tmp";
        fs::create_directories(tmp);
        copySampleToChange("reply.dat", dir.path() / "reply.dat");
        // The body comes from a pipe nobody writes to: the run waits there.
        const std::string script = "mkfifo '" + (dir.path() / "body").string() + "'; TMPDIR='" + tmp.string() + "' " +
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
}
