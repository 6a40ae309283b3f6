// Times one change recorded into a file's history when the list already holds 20,000, 60,000 and
// 1,000,000 entries (written by hand or by another program: the limits keep 500): reading the
// list, trimming it to the limits, writing it and removing what no entry names. A list that big
// is beyond what is ever parsed and goes aside unread. The floor, measured in the same run, is
// reading that list once and writing it once, atomically; the change itself writes three synced
// files (its two versions and the list), hence the limit.
#include "cmdfile/AtomicFile.h"
#include "cmdfile/Sha256.h"
#include "shell/ChangeHistory.h"

#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vocabrella;

namespace {

using bench::Clocked;
using bench::timeOnce;

std::string digestOf(std::size_t i) {
    const std::string text = std::to_string(i);
    return sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// The list of a history of n changes, each leading from version i to version i + 1.
std::string listOf(const fs::path& file, std::size_t n) {
    std::string text = "vocabrella change history 1\nfile " + fs::weakly_canonical(file).string() + "\nposition " +
                       std::to_string(n) + "\n";
    std::string before = digestOf(0);
    for (std::size_t i = 0; i < n; ++i) {
        std::string after = digestOf(i + 1);
        text += "1700000000\t" + before + "\t40000\t" + after + "\t40000\tRename \"command " + std::to_string(i) + "\"\n";
        before = std::move(after);
    }
    return text;
}

constexpr int kRuns = 3;
constexpr double kLimit = 8.0;

} // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    char pattern[] = "/tmp/vocabrella-bench-XXXXXX";
    const fs::path base = ::mkdtemp(pattern);
    bool ok = true;
    try {
        const fs::path home = base / "home";
        const fs::path file = base / "mycmds.dat";
        writeFileAtomically(file, std::string("x"), false);
        const fs::path list = ChangeHistory::listOf(home, file);
        const std::vector<std::uint8_t> before(40000, 1), after(40000, 2);
        for (const std::size_t n : {std::size_t{20000}, std::size_t{60000}, std::size_t{1000000}}) {
            const std::string text = listOf(file, n);
            double floor = 1e9, record = 1e9;
            std::string outcome;
            for (int run = 0; run < kRuns; ++run) {
                const auto fresh = [&] {
                    fs::remove_all(home / "history");
                    fs::create_directories(list.parent_path() / "versions");
                    writeFileAtomically(list, text, false);
                };
                floor = std::min(floor, timeOnce(fresh, [&] {
                    writeFileAtomically(base / "copy", readFileBytes(list));
                }));
                record = std::min(record, timeOnce(fresh, [&] {
                    ChangeHistory history(home, file);
                    outcome = history.problem().empty() ? "trimmed" : "put aside unread";
                    history.record("one more", std::chrono::system_clock::now(), before, after);
                    outcome += ", " + std::to_string(history.entries().size()) + " kept";
                }));
            }
            const double ratio = record / floor;
            const bool within = ratio <= kLimit;
            ok = ok && within;
            std::printf("%-44s %8.4f s  floor %8.4f s  ratio %5.2f (limit %.1f)  %s%s\n",
                        ("record into " + std::to_string(n) + " entries").c_str(), record, floor, ratio, kLimit,
                        outcome.c_str(), within ? "" : "  OVER");
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        ok = false;
    }
    std::error_code ec;
    fs::remove_all(base, ec);
    return check && !ok ? 1 : 0;
}
