// Times "Replace All" over every command of a generated file of 13,180 commands, the way the
// command line runs `replace Wait Waitzz --everything`: the marks, the search, the one write of
// the file with the store following it, and the reading of the file afterwards. The floor,
// measured in the same run, is what any change of the file costs at least: reading the file
// into the store once and writing it once, atomically.
#include "CommandFileGenerator.h"
#include "ScriptedPrompter.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "ops/SearchReplace.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

using Clocked = std::chrono::steady_clock;

double timeOnce(const std::function<void()>& prepare, const std::function<void()>& work) {
    prepare();
    ::sync();
    const auto start = Clocked::now();
    work();
    return std::chrono::duration<double>(Clocked::now() - start).count();
}

constexpr std::size_t kCommands = 13180;
constexpr int kRuns = 3;
constexpr double kLimit = 3.0;

} // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    char pattern[] = "/tmp/vocabrella-bench-XXXXXX";
    const fs::path base = ::mkdtemp(pattern);
    bool ok = true;
    try {
        const fs::path home = base / "home";
        const fs::path file = base / "mycmds.dat";
        const auto original = bench::generate({kCommands, 7, 9, 20240601});
        writeFileAtomically(file, original, false);
        testsupport::ScriptedPrompter prompter;
        NoWaitClock clock;
        Session session(home, prompter, clock);
        if (!session.open(file).success) throw std::runtime_error("generated file does not parse");
        ops::Workspace ws(session, clock);

        double floor = 1e9, replace = 1e9;
        std::string summary;
        for (int run = 0; run < kRuns; ++run) {
            floor = std::min(floor, timeOnce([] {}, [&] {
                if (!session.reader().ReadCommandFile(true, file).success) throw std::runtime_error("no parse");
                writeFileAtomically(base / "copy.dat", readFileBytes(file));
            }));
            replace = std::min(replace, timeOnce([&] {
                writeFileAtomically(file, original, false);
                session.FileRefresh();
                session.store().checkpoint();
            }, [&] {
                ops::SearchReplace search(ws, {});
                search.findText = "Wait";
                search.replaceWith = "Waitzz";
                const auto outcome = search.replaceAll();
                if (!outcome.isDone()) throw std::runtime_error("the replacement was not done: " + outcome.text);
                summary = outcome.text;
            }));
        }
        const double ratio = replace / floor;
        ok = std::round(ratio * 100) / 100 <= kLimit;
        std::printf("%s\n", summary.c_str());
        std::printf("%-56s %8.4f s  floor %8.4f s  ratio %5.2f (limit %.1f)%s\n",
                    ("replace all, " + std::to_string(kCommands) + " commands").c_str(), replace, floor, ratio, kLimit,
                    ok ? "" : "  OVER");
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        ok = false;
    }
    std::error_code ec;
    fs::remove_all(base, ec);
    return check && !ok ? 1 : 0;
}
