// Times the writers against floors measured in the same run: each change of a single command
// (its body, its kind, its name, a new command, a new LIST, deleting one) in a file of 1,300 and
// of 13,000 commands, each against reading the file and writing it once (durably, as every
// writer does); and the version conversions of a 10,000-command file.
#include "CommandFileGenerator.h"
#include "ScriptedPrompter.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "cmdfile/Trace.h"
#include "writer/RebuildOperations.h"
#include "writer/Updater.h"
#include "writer/VersionConversion.h"

#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

using bench::Clocked;
using bench::timeOnce;

// Best of n runs.
double bestOf(int n, const std::function<void()>& prepare, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < n; ++i) best = std::min(best, timeOnce(prepare, work));
    return best;
}

constexpr int kRuns = 5;

// A home folder with a store holding the parse of one generated file.
struct Bench {
    explicit Bench(const fs::path& folder, std::size_t commands) : home(folder) {
        fs::create_directories(home);
        fs::copy_file(fs::path(VOCABRELLA_DATA_DIR) / "keynames", home / "keynames", fs::copy_options::overwrite_existing);
        file = home / "mycmds.dat";
        original = bench::generate({commands, 7, 9, 20240601});
        store.emplace(CommandStore::create(home / "global.mdb"));
        trace.open(home / "trace.vbl", std::chrono::system_clock::now());
        reader.emplace(ReaderEnvironment{*store, trace, prompter, clock, home});
    }
    void reset() {
        writeFileAtomically(file, original, false);
        if (!reader->ReadCommandFile(true, file).success) throw std::runtime_error("generated file does not parse");
        store->clearFlags();
        store->checkpoint(); // the idle moment between two user actions
    }
    WriterEnvironment env() { return {*store, *reader, trace, prompter, home}; }
    // The index-th row of a Type, counted from the start of the file.
    std::int64_t rowId(std::size_t index, std::string_view type = "A") {
        std::int64_t id = 0;
        std::size_t i = 0;
        store->forEachUser([&](const UserRow& row) {
            if (row.Type == type && i++ == index) {
                id = row.ID;
                return false;
            }
            return true;
        });
        return id;
    }

    fs::path home, file;
    std::vector<std::uint8_t> original;
    testsupport::ScriptedPrompter prompter;
    NoWaitClock clock;
    Trace trace;
    std::optional<CommandStore> store;
    std::optional<CommandFileReader> reader;
};

bool report(const std::string& what, double seconds, double floor, std::optional<double> limit) {
    const double ratio = seconds / floor;
    const bool ok = !limit || std::round(ratio * 100) / 100 <= *limit;
    std::printf("%-56s %8.4f s  floor %8.4f s  ratio %5.2f", what.c_str(), seconds, floor, ratio);
    if (limit) std::printf(" (limit %.1f)%s", *limit, ok ? "" : "  OVER");
    std::printf("\n");
    std::fflush(stdout);
    return ok;
}

// One change of a single command: what it does, and what it needs done (untimed) before.
struct Change {
    const char* name;
    std::function<void(Bench&)> prepare;
    std::function<void(Bench&)> work;
};

std::vector<Change> singleCommandChanges() {
    auto target = std::make_shared<std::int64_t>(0);
    auto round = std::make_shared<int>(0);
    return {
        {"Update1Body", [=](Bench& b) { *target = b.rowId(1); },
         [=](Bench& b) { CommandFileUpdater(b.env()).Update1Body(*target, std::string(300 + 50 * ++*round, 'u')); }},
        {"Updatechangetype (KEYS to plain text)", [=](Bench& b) { *target = b.rowId(1, "K"); },
         [=](Bench& b) {
             CommandFileUpdater(b.env()).Updatechangetype(*target, CommandFileUpdater::KindChange::ToPlainText);
         }},
        {"UpdateFirstThings (rename)", [=](Bench& b) { *target = b.rowId(3); },
         [=](Bench& b) {
             const auto row = b.store->userById(*target);
             CommandFileUpdater(b.env()).UpdateFirstThings(*target, "renamed " + std::to_string(++*round),
                                                           row->description, row->owner);
         }},
        {"UpdateNewCommand", [](Bench&) {},
         [=](Bench& b) {
             NewCommandRecord added;
             added.name = "added " + std::to_string(++*round);
             added.program = added.scope = "Global Commands";
             added.typeCode = "A";
             added.body = "Sub Main\r\n    SendKeys \"{Enter}\"\r\nEnd Sub";
             CommandFileUpdater(b.env()).UpdateNewCommand(added);
         }},
        {"UpdateNewList", [](Bench&) {},
         [=](Bench& b) { CommandFileUpdater(b.env()).UpdateNewList("added" + std::to_string(++*round), "one\r\ntwo"); }},
        {"delete one command (DeleteMarked)", [](Bench& b) { b.store->setFlag(b.rowId(2), true); },
         [](Bench& b) { DeleteMarked(b.env()); }},
    };
}

constexpr double kSingleChangeLimit = 3.0; // at 13,000 commands
constexpr std::size_t kCheckedCommands = 13000;

} // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    char pattern[] = "/tmp/vocabrella-bench-XXXXXX";
    const fs::path base = ::mkdtemp(pattern);
    bool ok = true;
    try {
        for (const std::size_t n : {std::size_t(1300), kCheckedCommands}) {
            Bench b(base / std::to_string(n), n);
            b.reset();
            auto changes = singleCommandChanges();
            // The floor and the changes take turns, so that a slow spell of the machine falls on
            // all of them alike.
            double floor = 1e9;
            std::vector<double> best(changes.size(), 1e9);
            for (int run = 0; run < kRuns; ++run) {
                floor = std::min(floor, timeOnce([] {}, [&] {
                    const auto bytes = readFileBytes(b.file);
                    writeFileAtomically(b.home / "copy.dat", bytes);
                }));
                for (std::size_t i = 0; i < changes.size(); ++i)
                    best[i] = std::min(best[i], timeOnce([&] {
                        b.reset();
                        changes[i].prepare(b);
                    }, [&] { changes[i].work(b); }));
            }
            for (std::size_t i = 0; i < changes.size(); ++i)
                ok &= report(std::string(changes[i].name) + ", " + std::to_string(n) + " commands", best[i], floor,
                             n == kCheckedCommands ? std::optional<double>(kSingleChangeLimit) : std::nullopt);
        }
        Bench b(base / "convert", 10000);
        for (const char* to : {"6.0", "6.1", "7.x", "8/9"}) {
            const double seconds = bestOf(kRuns, [&] {
                b.reset();
                b.prompter.answers = {"ok"};
            }, [&] {
                ConvertVersionOperation op(*ConvertVersionOperation::target(to), false);
                runRebuild(b.env(), op);
            });
            std::printf("%-56s %8.3f s  (limit 1.0 s)%s\n", ("convert 10000 commands to " + std::string(to)).c_str(),
                        seconds, seconds < 1.0 ? "" : "  OVER");
            ok &= seconds < 1.0;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        ok = false;
    }
    std::error_code ec;
    fs::remove_all(base, ec);
    return check && !ok ? 1 : 0;
}
