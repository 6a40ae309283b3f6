// Times "Replace All" the way the command line runs `replace FIND REPLACEMENT --everything`: the
// marks, the search, the one write of the file with the store following it, and the reading of
// the file afterwards. First over every command of a generated file of 13,180 commands; then in
// one body of 50,000 to 1,000,000 characters with a match at each character, which must take
// time in proportion to the body. The floor, measured in the same run on the same file, is what
// any change of the file costs at least: reading the file into the store once and writing it
// once, atomically.
#include "BuiltCommands.h"
#include "CommandFileGenerator.h"
#include "ScriptedPrompter.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Store.h"
#include "ops/SearchReplace.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include "Timing.h"

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

using bench::Clocked;
using bench::timeOnce;

constexpr std::size_t kCommands = 13180;
constexpr int kRuns = 3;
constexpr double kLimit = 3.0;
// A body of a million characters is replaced within this, whatever the floor.
constexpr double kLongBodySeconds = 1.0;

struct Timed {
    double replace = 1e9, floor = 1e9;
    std::string summary;
};

// The best of kRuns of Replace All over the whole file, each on the original bytes, and of the
// floor on the same file.
Timed replaceAllIn(const fs::path& base, const testsupport::Bytes& original, std::string_view find,
                   std::string_view replacement) {
    const fs::path home = base / "home";
    const fs::path file = base / "mycmds.dat";
    fs::create_directories(base);
    writeFileAtomically(file, original, false);
    testsupport::ScriptedPrompter prompter;
    NoWaitClock clock;
    Session session(home, prompter, clock);
    if (!session.open(file).success) throw std::runtime_error("generated file does not parse");
    ops::Workspace ws(session, clock);
    Timed t;
    for (int run = 0; run < kRuns; ++run) {
        t.floor = std::min(t.floor, timeOnce([] {}, [&] {
            if (!session.reader().ReadCommandFile(true, file).success) throw std::runtime_error("no parse");
            writeFileAtomically(base / "copy.dat", readFileBytes(file));
        }));
        t.replace = std::min(t.replace, timeOnce([&] {
            writeFileAtomically(file, original, false);
            session.FileRefresh();
            session.store().checkpoint();
        }, [&] {
            ops::SearchReplace search(ws, {});
            search.findText = find;
            search.replaceWith = replacement;
            const auto outcome = search.replaceAll();
            if (!outcome.isDone()) throw std::runtime_error("the replacement was not done: " + outcome.text);
            t.summary = outcome.text;
        }));
    }
    return t;
}

// A file of one KEYS command whose body is the unit, in the file's bytes, count times.
testsupport::Bytes oneLongBody(const std::string& unit, std::size_t count) {
    std::string body;
    body.reserve(unit.size() * count);
    for (std::size_t i = 0; i < count; ++i) body += unit;
    testsupport::CommandFileBuilder b(7, 9);
    b.add(testsupport::globalCommand("long", testsupport::kKindKeys, std::move(body)));
    return b.build();
}

void print(const std::string& what, const Timed& t, double ratio, const std::string& limit, bool ok) {
    std::printf("%-56s %8.4f s  floor %8.4f s  ratio %7.2f (%s)%s\n", what.c_str(), t.replace, t.floor, ratio,
                limit.c_str(), ok ? "" : "  OVER");
}

} // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    char pattern[] = "/tmp/vocabrella-bench-XXXXXX";
    const fs::path base = ::mkdtemp(pattern);
    bool ok = true;
    try {
        {
            const auto t = replaceAllIn(base / "many", bench::generate({kCommands, 7, 9, 20240601}), "Wait", "Waitzz");
            const double ratio = t.replace / t.floor;
            const bool within = std::round(ratio * 100) / 100 <= kLimit;
            ok = ok && within;
            std::printf("%s\n", t.summary.c_str());
            char limit[32];
            std::snprintf(limit, sizeof limit, "limit %.1f", kLimit);
            print("replace all, " + std::to_string(kCommands) + " commands", t, ratio, limit, within);
        }
        // A match at each character: the same length, longer, and accented capitals found
        // by their small letters (in the file "\xC0" is the capital A with a grave accent).
        struct Case {
            std::string label, unit, find, replacement;
        };
        const std::vector<Case> cases{{"a to b", "a", "a", "b"},
                                      {"a to bcd", "a", "a", "bcd"},
                                      {"\xC3\x80 found as \xC3\xA0, to x", "\xC0", "\xC3\xA0", "x"}};
        for (const auto& c : cases)
            for (const std::size_t n : {50'000u, 200'000u, 1'000'000u}) {
                const auto t = replaceAllIn(base / ("long" + std::to_string(n)), oneLongBody(c.unit, n), c.find,
                                            c.replacement);
                if (t.summary.rfind(std::to_string(n) + " ", 0) != 0)
                    throw std::runtime_error("expected " + std::to_string(n) + " replacements: " + t.summary);
                const bool within = n < 1'000'000 || t.replace < kLongBodySeconds;
                ok = ok && within;
                print("one body of " + std::to_string(n) + " characters, " + c.label, t, t.replace / t.floor,
                      n < 1'000'000 ? "no limit" : "limit 1 s", within);
            }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        ok = false;
    }
    std::error_code ec;
    fs::remove_all(base, ec);
    return check && !ok ? 1 : 0;
}
