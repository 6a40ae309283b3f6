#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "ProcessRunner.h"

#include <chrono>
#include <random>
#include <thread>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

class CrashSafety : public ReaderFixture {};

} // namespace

// The writing process is killed at random moments while it rewrites a large file: every time,
// the command file and the copy kept before the change must still parse.
TEST_F(CrashSafety, AKilledWriterLeavesFilesThatParse) {
    CommandFileBuilder b(7);
    for (int i = 0; i < 4000; ++i) {
        BuiltCommand c;
        c.name = "command number " + std::to_string(i);
        c.kind = kKindAdvancedScript;
        c.text = "Sub Main\r\n" + std::string(600, static_cast<char>('a' + i % 26)) + "\r\nEnd Sub";
        b.add(c);
    }
    b.add(BuiltList("colors", {"red", "green"}));
    const auto target = home() / "big.dat";
    b.writeFile(target);
    const auto cliHome = home() / "cli-home";

    std::mt19937 random(2024);
    int killedMidway = 0;
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> args = {VOCABRELLA_CLI, "--home", cliHome.string()};
        if (round % 2 == 0) {
            args.insert(args.end(), {"rewrite", target.string()});
        } else {
            args.insert(args.end(), {"set-body", target.string(), "command number 1", "--text",
                                     std::string(1 + random() % 3000, 'x')});
        }
        StartedProgram writer(args);
        ASSERT_TRUE(writer.started());
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 200000));
        writer.kill();
        if (writer.wait() == -1) ++killedMidway;

        const auto outcome = reader->ReadCommandFile(true, target);
        ASSERT_TRUE(outcome.success) << "round " << round << ": " << outcome.problem;
        if (std::filesystem::exists(cliHome / "savedat")) {
            const auto saved = reader->ReadCommandFile(true, cliHome / "savedat");
            ASSERT_TRUE(saved.success) << "round " << round << ": " << saved.problem;
        }
    }
    EXPECT_GT(killedMidway, 3) << "the kills should land while the writer works";
}
