// Times the whole check of a 13,000-command file, conflicts through LISTs included: 12,000
// commands of the usual generated kind and 1,000 more that use LISTs of thousands of items
// (contacts, documents, line numbers; some contacts' items begin longer ones), spread over the
// global commands and several programs. The floor, measured in the same run, is reading the
// file into the store once. The search for conflicts alone, from rows already read, is shown too.
//
// Then two files made to be hard, each checked in a process of its own so that its peak memory
// is its own: four commands of twenty optional LISTs of 60,000 items each, the same items in
// all, and 65,535 commands of one first word. Each is timed and its peak measured against
// reading its file into the store once, and must stay within ten seconds and 200 MB.
#include "CommandFileGenerator.h"
#include "ScriptedPrompter.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Clock.h"
#include "cmdfile/Reader.h"
#include "cmdfile/Format.h"
#include "ops/CheckCommands.h"
#include "ops/Conflicts.h"
#include "ops/Names.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace vocabrella;
using testsupport::BuiltCommand;
using testsupport::BuiltList;
using testsupport::CountedText;

namespace {

using Clocked = std::chrono::steady_clock;

// Seconds on the clock; the processor seconds of this process go to `cpu`, which a loaded
// machine disturbs less.
double timeOnce(const std::function<void()>& work, double* cpu = nullptr) {
    ::sync();
    const auto start = Clocked::now();
    const auto startCpu = std::clock();
    work();
    if (cpu) *cpu = std::min(*cpu, static_cast<double>(std::clock() - startCpu) / CLOCKS_PER_SEC);
    return std::chrono::duration<double>(Clocked::now() - start).count();
}

constexpr std::size_t kGenerated = 12000;
constexpr std::size_t kWithBigLists = 1000;
constexpr int kRuns = 3;
constexpr double kLimitSeconds = 2.0;

constexpr std::string_view kFirstNames[] = {
    "John", "Mary", "Peter", "Anna", "James", "Linda", "Robert", "Susan", "Michael", "Karen", "David", "Nancy",
    "William", "Lisa", "Richard", "Betty", "Thomas", "Sandra", "Charles", "Ashley", "Daniel", "Emily", "Mark",
    "Donna", "Paul", "Carol", "Steven", "Ruth", "Andrew", "Sharon", "Kevin", "Laura", "Brian", "Sarah", "George",
    "Kimberly", "Edward", "Deborah", "Ronald", "Jessica", "Timothy", "Shirley", "Jason", "Cynthia", "Jeffrey",
    "Angela", "Ryan", "Melissa", "Jacob", "Brenda"};
constexpr std::string_view kDocuments[] = {"report", "invoice", "letter", "contract", "memo", "budget"};
constexpr std::string_view kKeys[] = {"enter", "escape", "tab", "page up", "page down", "home", "end", "delete",
                                      "backspace", "space", "up", "down", "left", "right"};
constexpr std::string_view kTemplates[] = {
    "call <contact>", "call <contact> at home", "call <contact> at work", "email <contact>",
    "email <contact> about <document>", "open <document>", "print <document>", "go to line <line_number>",
    "press <keyname>", "type <letter>", "<contact> phone number", "dial <line_number>",
    "send <document> to <contact>", "show <contact> details", "press <letter>", "open <document> for <contact>"};
constexpr std::string_view kSuffixes[] = {"now", "please", "quickly", "later", "again", "first", "there",
                                          "today", "fast", "here"};
constexpr std::string_view kModules[] = {"", "", "", "WINWORD", "OUTLOOK", "EXCEL", "CHROME", "NOTEPAD"};

BuiltCommand command(const std::string& name, std::string_view module) {
    BuiltCommand c;
    c.reservedAfterScope = testsupport::kDragonReservedAfterScope;
    c.name = name;
    for (std::size_t open = name.find('<'); open != std::string::npos; open = name.find('<', open + 1))
        c.lists.emplace_back(name.substr(open + 1, name.find('>', open) - open - 1));
    c.kind = testsupport::kKindKeys;
    c.text = "{Ctrl+c}";
    if (!module.empty()) {
        c.scopeByte = testsupport::kScopeApplication;
        c.module = std::string(module);
        c.programDescription = std::string(module);
        c.company = "Microsoft Corporation";
    }
    return c;
}

testsupport::Bytes makeFile() {
    auto builder = bench::makeCommandFile({kGenerated, 7, 9, 20261208});
    std::vector<CountedText> contacts, documents, numbers, letters, keys;
    for (const auto first : kFirstNames) {
        contacts.emplace_back(std::string(first)); // "John" begins "John Adams"
        for (int last = 0; last < 100; ++last) contacts.emplace_back(std::string(first) + " Surname" + std::to_string(last));
    }
    for (const auto document : kDocuments)
        for (int n = 1; n <= 500; ++n) documents.emplace_back(std::string(document) + " " + std::to_string(n));
    for (int n = 1; n <= 2000; ++n) numbers.emplace_back(std::to_string(n));
    for (char c = 'a'; c <= 'z'; ++c) letters.emplace_back(std::string(1, c));
    for (const auto key : kKeys) keys.emplace_back(std::string(key));
    builder.add(BuiltList("contact", contacts));
    builder.add(BuiltList("document", documents));
    builder.add(BuiltList("line_number", numbers));
    builder.add(BuiltList("letter", letters));
    builder.add(BuiltList("keyname", keys));
    for (std::size_t i = 0; i < kWithBigLists; ++i) {
        std::string name(kTemplates[i % std::size(kTemplates)]);
        const std::size_t variant = i / std::size(kTemplates);
        if (variant > 0) name += " " + std::string(kSuffixes[variant % std::size(kSuffixes)]);
        if (variant >= std::size(kSuffixes)) name += " " + std::to_string(variant / std::size(kSuffixes));
        builder.add(command(name, kModules[(i * 7 + i / 3) % std::size(kModules)]));
    }
    return builder.build();
}

// The hard files, by the name the child process is given.
constexpr double kHardLimitSeconds = 10.0;
constexpr double kHardLimitMegabytes = 200.0;
constexpr std::string_view kHardOption = "--hard";

testsupport::Bytes optionalListsFile() {
    testsupport::CommandFileBuilder builder;
    std::vector<CountedText> items;
    for (int n = 0; n < 60000; ++n) items.emplace_back("w" + std::to_string(n));
    std::string lists;
    for (int l = 1; l <= 20; ++l) {
        builder.add(BuiltList("l" + std::to_string(l), items));
        lists += "[<l" + std::to_string(l) + ">] ";
    }
    for (const char* last : {"alpha end", "bravo end", "charlie end", "delta end"}) builder.add(command(lists + last, ""));
    return builder.build();
}

testsupport::Bytes oneFirstWordFile() {
    testsupport::CommandFileBuilder builder;
    std::vector<CountedText> items;
    for (int n = 0; n < 20; ++n) items.emplace_back("item" + std::to_string(n));
    builder.add(BuiltList("lst", items));
    for (int n = 1; n <= 65535; ++n) builder.add(command("open k" + std::to_string(n) + " <lst>", ""));
    return builder.build();
}

double megabytesAtPeak() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// In a process of its own: reads the file into the store once (the floor), then checks it.
int runHard(std::string_view which) {
    char pattern[] = "/tmp/vocabrella-bench-XXXXXX";
    const fs::path base = ::mkdtemp(pattern);
    bool ok = true;
    try {
        const fs::path file = base / "mycmds.dat";
        writeFileAtomically(file, which == "lists" ? optionalListsFile() : oneFirstWordFile(), false);
        testsupport::ScriptedPrompter prompter;
        NoWaitClock clock;
        Session session(base / "home", prompter, clock);
        double floor = 0, floorMegabytes = 0, floorCpu = 1e9, wholeCpu = 1e9;
        floor = timeOnce([&] {
            if (!session.open(file).success) throw std::runtime_error("hard file does not parse");
        }, &floorCpu);
        floorMegabytes = megabytesAtPeak();
        ops::Workspace ws(session, clock);
        ops::CheckCommands::Result result;
        const double whole = timeOnce([&] { result = ops::CheckCommands(ws).run(); }, &wholeCpu);
        const double megabytes = megabytesAtPeak();
        std::size_t conflicts = 0;
        for (const auto& f : result.findings) conflicts += f.kind == ops::finding::Conflict;
        ok = whole <= kHardLimitSeconds && megabytes <= kHardLimitMegabytes;
        std::printf("%-56s %8.4f s  floor %8.4f s  ratio %5.2f (limit %.0f s)\n",
                    ("check, " + std::string(which == "lists" ? "20 optional LISTs of 60,000 items" : "65,535 commands of one first word"))
                        .c_str(),
                    whole, floor, whole / floor, kHardLimitSeconds);
        std::printf("%-56s %8.1f MB floor %8.1f MB ratio %5.2f (limit %.0f MB)%s\n", "  peak memory", megabytes,
                    floorMegabytes, megabytes / floorMegabytes, kHardLimitMegabytes, ok ? "" : "  OVER");
        std::printf("%-56s %8.4f s  floor %8.4f s\n", "  processor time", wholeCpu, floorCpu);
        std::printf("%-56s %8zu\n", "  conflicts", conflicts);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        ok = false;
    }
    std::error_code ec;
    fs::remove_all(base, ec);
    return ok ? 0 : 1;
}

// Runs one hard file in a child process started afresh; whether it kept within its limits.
bool hardInChild(const char* which) {
    std::string self = "/proc/self/exe", option(kHardOption), name(which);
    char* argv[] = {self.data(), option.data(), name.data(), nullptr};
    pid_t pid = 0;
    if (const int rc = ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ); rc != 0)
        throw std::runtime_error(std::string("cannot run the benchmark again: ") + std::strerror(rc));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) throw std::runtime_error("cannot wait for the benchmark's child");
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string_view(argv[1]) == kHardOption) return runHard(argv[2]);
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    char pattern[] = "/tmp/vocabrella-bench-XXXXXX";
    const fs::path base = ::mkdtemp(pattern);
    bool ok = true;
    try {
        // First, while this process is small: a child started from it counts its memory as well.
        for (const char* which : {"lists", "open"}) ok = hardInChild(which) && ok;
        const fs::path file = base / "mycmds.dat";
        writeFileAtomically(file, makeFile(), false);
        testsupport::ScriptedPrompter prompter;
        NoWaitClock clock;
        Session session(base / "home", prompter, clock);
        if (!session.open(file).success) throw std::runtime_error("generated file does not parse");
        ops::Workspace ws(session, clock);

        // The rows as the check gives them to the search for conflicts.
        const auto rows = session.store().allUsers();
        const auto searchConflicts = [&] {
            ops::ConflictFinder finder;
            for (const auto& row : rows) {
                if (row.offset == 0 || row.listcopy) continue;
                if (row.Type == "L") finder.addList(row.name, row.script);
                else if (!ops::namePatternProblem(row.name))
                    finder.addCommand(row.menu + '\x1f' + row.state, names::isGlobalProgram(row.menu), row.name);
            }
            return finder.find().size();
        };

        double floor = 1e9, whole = 1e9, conflicts = 1e9, floorCpu = 1e9, wholeCpu = 1e9, conflictsCpu = 1e9;
        ops::CheckCommands::Result result;
        for (int run = 0; run < kRuns; ++run) {
            floor = std::min(floor, timeOnce([&] {
                if (!session.reader().ReadCommandFile(true, file).success) throw std::runtime_error("no parse");
            }, &floorCpu));
            whole = std::min(whole, timeOnce([&] { result = ops::CheckCommands(ws).run(); }, &wholeCpu));
            conflicts = std::min(conflicts, timeOnce([&] { searchConflicts(); }, &conflictsCpu));
        }
        std::map<std::string, std::size_t> kinds;
        for (const auto& f : result.findings) ++kinds[f.kind];
        std::size_t commands = 0;
        session.store().forEachUser([&](const UserRow& row) {
            commands += row.Type != "L" && !row.listcopy;
            return true;
        });
        for (const auto& [kind, count] : kinds) std::printf("%s: %zu\n", kind.c_str(), count);
        ok = whole <= kLimitSeconds && ok;
        std::printf("%-56s %8.4f s  floor %8.4f s  ratio %5.2f (limit %.1f s)%s\n",
                    ("check, " + std::to_string(commands) + " commands").c_str(), whole, floor, whole / floor,
                    kLimitSeconds, ok ? "" : "  OVER");
        std::printf("%-56s %8.4f s\n", "  of which the search for conflicts", conflicts);
        std::printf("%-56s %8.4f s  floor %8.4f s  conflicts %8.4f s\n", "processor time: check", wholeCpu, floorCpu,
                    conflictsCpu);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        ok = false;
    }
    std::error_code ec;
    fs::remove_all(base, ec);
    return check && !ok ? 1 : 0;
}
