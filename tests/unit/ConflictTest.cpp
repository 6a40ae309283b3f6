#include "CliRun.h"
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/RawRecord.h"
#include "cmdfile/TextCase.h"
#include "ops/CheckCommands.h"
#include "ops/Conflicts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <set>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

// Where a command of the table stands.
struct Where {
    const char* place;
    bool global;
};
const Where kGlobalPlace{"global", true};
const Where kWord{"WINWORD/Application-specific", false};
const Where kWordWindow{"WINWORD/Document1 - Word", false};
const Where kExcel{"EXCEL/Application-specific", false};

struct Pair {
    const char* what;
    Where whereA;
    const char* a;
    Where whereB;
    const char* b;
    std::set<std::string> examples; // any of these words (letter case aside); none for no conflict
};
// Named by what it is: printed byte by byte, the padding between its members would be read
// uninitialised.
void PrintTo(const Pair& pair, std::ostream* os) { *os << pair.what; }

// The LISTs every pair of the table may use.
void addLists(ops::ConflictFinder& finder) {
    finder.addList("direction", "up\r\ndown\r\nleft\r\nright\r\n");
    finder.addList("key", "enter\r\nb\r\na\r\npage up\r\n");
    finder.addList("letter", "a\r\nb\r\nc\r\n");
    finder.addList("digit", "one\r\ntwo\r\n");
    finder.addList("font", "Times New Roman\r\nArial\r\n");
    finder.addList("word", "new\r\nTIMES\r\n");
    finder.addList("empty", "");
    finder.addList("blanks", "  \r\n");
    finder.addList("digit", "up\r\n"); // a second LIST of a name: the first counts
    finder.addList("name", "john\r\njohn smith\r\n");
    finder.addList("surname", "smith now\r\nsmith\r\n");
    finder.addList("face", "times new roman\r\ncourier\r\n");
}

const std::vector<Pair> kPairs{
    {"a literal word among a LIST's items", kGlobalPlace, "go <direction>", kGlobalPlace, "go up", {"go up"}},
    {"a word no item is", kGlobalPlace, "go <direction>", kGlobalPlace, "go forward", {}},
    {"two LISTs sharing items", kGlobalPlace, "press <key>", kGlobalPlace, "press <letter>", {"press a"}},
    {"two LISTs without a common item", kGlobalPlace, "press <letter>", kGlobalPlace, "press <digit>", {}},
    {"the LIST first", kGlobalPlace, "<letter> please", kGlobalPlace, "b please", {"b please"}},
    {"two LISTs first", kGlobalPlace, "<letter> key", kGlobalPlace, "<key> key", {"a key"}},
    {"a LIST first against a word", kGlobalPlace, "<direction> go", kGlobalPlace, "up <letter>", {}},
    {"one program and scope", kWord, "go <direction>", kWord, "go left", {"go left"}},
    {"two programs", kWord, "go <direction>", kExcel, "go left", {}},
    {"two scopes of one program", kWord, "go up", kWordWindow, "go up", {}},
    {"a program against the global commands", kWord, "go up", kGlobalPlace, "go <direction>", {"go up"}},
    {"the global commands against a program", kGlobalPlace, "go <direction>", kWordWindow, "GO DOWN", {"go down"}},
    {"letter case", kGlobalPlace, "Go <Direction>", kGlobalPlace, "go UP", {"go up"}},
    {"letter case of items", kGlobalPlace, "font times new roman", kGlobalPlace, "font <font>", {"font times new roman"}},
    {"blanks between words", kGlobalPlace, "go  up", kGlobalPlace, " go up ", {"go up"}},
    {"words run together", kGlobalPlace, "go up", kGlobalPlace, "goup", {}},
    {"the same name, letter case aside", kGlobalPlace, "Go Up", kGlobalPlace, "go up", {}},
    {"the same name in a program and globally", kWord, "go <direction>", kGlobalPlace, "go <direction>", {}},
    {"an item of several words", kGlobalPlace, "font <font>", kGlobalPlace, "font times new roman", {"font times new roman"}},
    {"part of an item", kGlobalPlace, "font <font>", kGlobalPlace, "font times", {}},
    {"items of several words through another LIST", kGlobalPlace, "font <font>", kGlobalPlace, "font <word> new roman",
     {"font times new roman"}},
    {"an item against two words", kGlobalPlace, "<key>", kGlobalPlace, "page <direction>", {"page up"}},
    {"a LIST the file does not have", kGlobalPlace, "go <nowhere>", kGlobalPlace, "go up", {}},
    {"a LIST without items", kGlobalPlace, "go <empty>", kGlobalPlace, "go <blanks>", {}},
    {"the first of two LISTs of a name", kGlobalPlace, "count <digit>", kGlobalPlace, "count one", {"count one"}},
    {"a longer name", kGlobalPlace, "go up", kGlobalPlace, "go up now", {}},
    {"a longer name through a LIST", kGlobalPlace, "go <direction> fast", kGlobalPlace, "go <direction>", {}},
    {"optional words left out", kGlobalPlace, "[please] go up", kGlobalPlace, "go <direction>", {"go up"}},
    {"optional words said", kGlobalPlace, "[please] go up", kGlobalPlace, "please go <direction>", {"please go up"}},
    {"optional words in the middle", kGlobalPlace, "go [on] up", kGlobalPlace, "go on <direction>", {"go on up"}},
    {"optional words at the end", kGlobalPlace, "go up [now]", kGlobalPlace, "go <direction>", {"go up"}},
    {"optional words at the end said", kGlobalPlace, "go up [right now]", kGlobalPlace, "go <direction> right now",
     {"go up right now"}},
    {"a LIST the file does not have, optional", kGlobalPlace, "go up [<nowhere>]", kGlobalPlace, "go up", {"go up"}},
    {"optional words, other words", kGlobalPlace, "[please] go up", kGlobalPlace, "please go down", {}},
    {"optional LIST", kGlobalPlace, "go [<direction>]", kGlobalPlace, "go", {"go"}},
    {"nothing said is no conflict", kGlobalPlace, "[hello]", kGlobalPlace, "[goodbye]", {}},
    {"nothing said is no conflict, though both begin and end alike", kGlobalPlace, "[go] [down]", kGlobalPlace,
     "[go up down]", {}},
    {"all optional, but something said", kGlobalPlace, "[go]", kGlobalPlace, "[go] [now]", {"go"}},
    {"an item's words said through another LIST's item", kGlobalPlace, "call <name> now", kGlobalPlace,
     "call john <surname>", {"call john smith now"}},
    {"an item that begins a longer one, then a LIST", kGlobalPlace, "<name> <surname>", kGlobalPlace, "john smith smith",
     {"john smith smith"}},
    {"two LISTs, each item part of the other's", kGlobalPlace, "<name> now", kGlobalPlace, "john <surname>",
     {"john smith now"}},
    {"items of several words in two LISTs", kGlobalPlace, "font <font> now", kGlobalPlace, "font <face> now",
     {"font times new roman now"}},
    {"a LIST second against a word second", kGlobalPlace, "go <direction> now", kGlobalPlace, "go up now", {"go up now"}},
    {"LISTs of the same items, each optional, in another order", kGlobalPlace, "[<letter>] [<key>] x", kGlobalPlace,
     "[<key>] [<letter>] x", {"x"}},
    {"LISTs of the same items, each optional, none alike at the end", kGlobalPlace, "[<letter>] [<key>] x", kGlobalPlace,
     "[<key>] [<letter>] y", {}},
    {"a name Dragon cannot read", kGlobalPlace, "go <direction", kGlobalPlace, "go <direction> up", {}},
};

class ConflictPairs : public ::testing::TestWithParam<Pair> {};

} // namespace

TEST_P(ConflictPairs, AreFoundWithWordsBothAnswerTo) {
    const auto& pair = GetParam();
    // Also by the walk that only decides, as when the search for the fewest words gives up.
    for (const std::size_t mostSteps : {std::size_t{20000}, std::size_t{0}})
    for (const bool reversed : {false, true}) {
        SCOPED_TRACE(mostSteps == 0 ? "deciding walk" : "shortest words");
        ops::ConflictFinder finder(mostSteps);
        addLists(finder);
        finder.addCommand("WINWORD/Application-specific", false, "something else"); // a command of no pair
        const auto first = reversed ? finder.addCommand(pair.whereB.place, pair.whereB.global, pair.b)
                                    : finder.addCommand(pair.whereA.place, pair.whereA.global, pair.a);
        const auto second = reversed ? finder.addCommand(pair.whereA.place, pair.whereA.global, pair.a)
                                     : finder.addCommand(pair.whereB.place, pair.whereB.global, pair.b);
        const auto found = finder.find();
        if (pair.examples.empty()) {
            EXPECT_TRUE(found.empty()) << pair.what << (reversed ? " (reversed)" : "") << ": " << found.front().example;
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << pair.what << (reversed ? " (reversed)" : "");
        EXPECT_EQ(found[0].first, first) << pair.what;
        EXPECT_EQ(found[0].second, second) << pair.what;
        EXPECT_TRUE(pair.examples.contains(foldCase(found[0].example)))
            << pair.what << (reversed ? " (reversed)" : "") << ": " << found[0].example;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ConflictPairs, ::testing::ValuesIn(kPairs), [](const auto& testCase) {
    std::string name;
    for (const char c : std::string(testCase.param.what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

TEST(Conflicts, EachPairOnceInTheOrderOfTheirLaterCommand) {
    ops::ConflictFinder finder;
    finder.addCommand("global", true, "go <direction>");           // 0
    finder.addCommand("NOTEPAD", false, "go up");                    // 1: against 0
    finder.addCommand("global", true, "go <direction> [now]");      // 2: against 0, 1
    finder.addCommand("global", true, "stop");                       // 3
    finder.addCommand("NOTEPAD", false, "go up");                    // 4: its duplicate 1 aside, against 0, 2
    finder.addList("direction", "up\r\ndown\r\n");                  // LISTs may come after the commands
    const auto found = finder.find();
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (const auto& c : found) pairs.emplace_back(c.first, c.second);
    EXPECT_EQ(pairs, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 1}, {0, 2}, {1, 2}, {0, 4}, {2, 4}}));
    EXPECT_EQ(found[1].example, "go up"); // the first item that fits, the shortest words
}

TEST(Conflicts, TheWordsAreSpelledAsTheLaterCommandAndItsListsSpellThem) {
    const auto example = [](std::vector<std::string> names) {
        ops::ConflictFinder finder;
        finder.addList("direction", "Up\r\ndown\r\n");
        finder.addList("font", "Times New Roman\r\n");
        finder.addList("face", "times new roman\r\n");
        for (const auto& name : names) finder.addCommand("global", true, name);
        const auto found = finder.find();
        return found.size() == 1 ? found[0].example : "(" + std::to_string(found.size()) + " conflicts)";
    };
    EXPECT_EQ(example({"GO UP", "go <direction>"}), "go Up");
    EXPECT_EQ(example({"go <direction>", "GO UP"}), "GO UP");
    EXPECT_EQ(example({"GO  UP", "go up"}), "go up");
    EXPECT_EQ(example({"go up", "GO  UP"}), "GO UP");
    EXPECT_EQ(example({"font <face>", "font <font>"}), "font Times New Roman");
    EXPECT_EQ(example({"font <font>", "FONT <face>"}), "FONT times new roman");
    EXPECT_EQ(example({"font <face>", "font <face> [now]"}), "font times new roman");
}

TEST(Conflicts, ListsOfThousandsOfItemsAreLookedUpNotWalked) {
    ops::ConflictFinder finder;
    std::string names = "person\r\n", more;
    for (int i = 0; i < 20000; ++i) names += "person " + std::to_string(i) + "\r\n";
    for (int i = 19990; i < 40000; ++i) more += "person " + std::to_string(i) + "\r\n";
    finder.addList("contact", names);
    finder.addList("people", more);
    for (int i = 0; i < 300; ++i) finder.addCommand("global", true, "call <contact> at " + std::to_string(i));
    finder.addCommand("global", true, "call person 19999 at 7");     // 300: the item of 7's LIST
    finder.addCommand("global", true, "call <people> at 299");       // 301: LISTs sharing ten items
    finder.addCommand("global", true, "call <contact> 5 at 1");      // 302: "person" begins "person 5"
    finder.addCommand("global", true, "call <contact> <contact> at 2"); // 303: "person", then "person 5"?
    const auto found = finder.find();
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (const auto& c : found) pairs.emplace_back(c.first, c.second);
    EXPECT_EQ(pairs, (std::vector<std::pair<std::size_t, std::size_t>>{{7, 300}, {299, 301}, {1, 302}}));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].example, "call person 19999 at 7");
    EXPECT_EQ(found[1].example, "call person 19990 at 299");
    EXPECT_EQ(found[2].example, "call person 5 at 1");
}

namespace {

// A program's command carries its module name alone.
BuiltCommand command(std::string name, std::string module = {}) {
    auto c = globalCommand(std::move(name), kKindKeys, "{Enter}");
    return module.empty() ? c : inProgram(std::move(c), std::move(module), "", "");
}

CommandFileBuilder conflictingFile() {
    CommandFileBuilder b;
    b.add(command("go <direction>"));
    b.add(command("go up", "WINWORD"));
    b.add(command("press <key>"));
    b.add(command("press <letter>"));
    b.add(command("go <direction>", "WINWORD")); // the program's own version of a global command
    b.add(BuiltList("direction", {"up", "down"}));
    b.add(BuiltList("key", {"enter", "a"}));
    b.add(BuiltList("letter", {"a", "b"}));
    return b;
}

const std::string kGlobal = "Global Commands";

} // namespace

TEST(Conflicts, TheCheckTellsThemAtTheLaterCommandNamingTheOtherAndTheCommandLineAsJson) {
    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    const auto file = dir.path() / "mycmds.dat";
    conflictingFile().writeFile(file);
    Session session(dir.path() / "home", prompter, clock);
    ASSERT_TRUE(session.open(file).success);
    ops::Workspace ws(session, clock);
    const auto result = ops::CheckCommands(ws).run();
    ASSERT_EQ(result.findings.size(), 3u);
    const auto& f = result.findings;
    EXPECT_EQ(f[0].kind, "conflict");
    EXPECT_EQ(f[0].program, "WINWORD");
    EXPECT_EQ(f[0].scope, "Application-specific");
    EXPECT_EQ(f[0].name, "go up");
    EXPECT_EQ(f[0].detail, "Both this command and \"go <direction>\" (Global Commands, Global Commands) answer to \"go up\"");
    EXPECT_EQ(f[1].name, "press <letter>");
    EXPECT_EQ(f[1].program, kGlobal);
    EXPECT_EQ(f[1].detail, "Both this command and \"press <key>\" answer to \"press a\"");
    EXPECT_FALSE(f[1].isList);
    EXPECT_EQ(f[2].name, "go <direction>");
    EXPECT_EQ(f[2].detail, "Both this command and \"go up\" answer to \"go up\"");

    const auto run = runCli("check --json '" + file.string() + "'");
    EXPECT_EQ(run.status, 1) << run.err;
    const auto findings = nlohmann::json::parse(run.out);
    ASSERT_EQ(findings.size(), 3u);
    EXPECT_EQ(findings[1]["kind"], "conflict");
    EXPECT_EQ(findings[1]["name"], "press <letter>");
    EXPECT_EQ(findings[1]["detail"], "Both this command and \"press <key>\" answer to \"press a\"");
}
