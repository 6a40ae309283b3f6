// Comparing two command files: the line differences of bodies, the comparison of commands and
// LISTs (each kind of change, a file against itself and against a version conversion of itself),
// the command line's diff and the restore's preview.

#include "CliRun.h"
#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "TestHome.h"

#include "cmdfile/System.h"
#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "ops/CompareFiles.h"
#include "ops/ConvertFile.h"
#include "ops/LineDiff.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <random>

using namespace vocabrella;
using namespace vocabrella::testsupport;
using namespace vocabrella::ops;
namespace fs = std::filesystem;

namespace {

// --- line differences ---------------------------------------------------------------------------

using Lines = std::vector<std::string>;

// The lines a script keeps from one side: before (' ' and '-') or after (' ' and '+').
Lines side(const std::vector<DiffLine>& script, char drop) {
    Lines out;
    for (const auto& line : script)
        if (line.mark != drop) out.push_back(line.text);
    return out;
}

std::size_t kept(const std::vector<DiffLine>& script) {
    return static_cast<std::size_t>(std::count_if(script.begin(), script.end(), [](const DiffLine& l) { return l.mark == ' '; }));
}

// The length of the longest common subsequence, the plain way.
std::size_t lcsLength(const Lines& a, const Lines& b) {
    std::vector<std::vector<std::size_t>> t(a.size() + 1, std::vector<std::size_t>(b.size() + 1, 0));
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j)
            t[i][j] = a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
    return t[a.size()][b.size()];
}

} // namespace

TEST(LineDiff, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitLines(""), (Lines{""}));
    EXPECT_EQ(splitLines("\r\n\r\n"), (Lines{"", "", ""}));
    EXPECT_TRUE(sameLinesOtherEnds("a\r\nb", "a\nb"));
    EXPECT_FALSE(sameLinesOtherEnds("a\r\nb", "a\r\nb"));
    EXPECT_FALSE(sameLinesOtherEnds("a\r\nb", "a\r\nb\r\n"));
}

TEST(LineDiff, FindsTheShortestScript) {
    // The classic example: seven lines against six, four in common, five edits.
    const Lines a{"A", "B", "C", "A", "B", "B", "A"}, b{"C", "B", "A", "B", "A", "C"};
    const auto script = diffLines(a, b);
    EXPECT_EQ(side(script, '+'), a);
    EXPECT_EQ(side(script, '-'), b);
    EXPECT_EQ(kept(script), 4u);
    EXPECT_EQ(script.size(), 9u);

    EXPECT_EQ(diffLines({"x", "y"}, {"x", "new", "y"}),
              (std::vector<DiffLine>{{' ', "x"}, {'+', "new"}, {' ', "y"}}));
    EXPECT_EQ(diffLines({"x", "old", "y"}, {"x", "y"}),
              (std::vector<DiffLine>{{' ', "x"}, {'-', "old"}, {' ', "y"}}));
    EXPECT_EQ(diffLines({"x", "old", "y"}, {"x", "new", "y"}),
              (std::vector<DiffLine>{{' ', "x"}, {'-', "old"}, {'+', "new"}, {' ', "y"}}));
    EXPECT_EQ(diffLines({}, {"a"}), (std::vector<DiffLine>{{'+', "a"}}));
    EXPECT_EQ(diffLines({"a"}, {}), (std::vector<DiffLine>{{'-', "a"}}));

    // Random texts over a small alphabet: every script gives back both sides and keeps as many
    // lines as the longest common subsequence has.
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        Lines x(random() % 14), y(random() % 14);
        for (auto& l : x) l = std::string(1, static_cast<char>('a' + random() % 4));
        for (auto& l : y) l = std::string(1, static_cast<char>('a' + random() % 4));
        const auto s = diffLines(x, y);
        ASSERT_EQ(side(s, '+'), x);
        ASSERT_EQ(side(s, '-'), y);
        ASSERT_EQ(kept(s), lcsLength(x, y)) << "round " << round;
    }
}

TEST(LineDiff, LongTextsThatShareLittleStillGiveBothSides) {
    Lines a, b;
    for (int i = 0; i < 3000; ++i) {
        a.push_back("a" + std::to_string(i));
        b.push_back("b" + std::to_string(i));
    }
    a.push_back("same");
    b.push_back("same");
    const auto s = diffLines(a, b);
    EXPECT_EQ(side(s, '+'), a);
    EXPECT_EQ(side(s, '-'), b);
    EXPECT_EQ(s.back(), (DiffLine{' ', "same"}));
}

TEST(LineDiff, UnifiedHunksHaveTheirContextAndLineNumbers) {
    std::string before, after;
    for (int i = 1; i <= 20; ++i) {
        before += "line " + std::to_string(i) + "\r\n";
        if (i == 2) after += "inserted\r\n";
        if (i != 15) after += "line " + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(unifiedDiff(before, after),
              (Lines{"@@ -1,4 +1,5 @@", " line 1", "+inserted", " line 2", " line 3", " line 4",
                     "@@ -12,7 +13,6 @@", " line 12", " line 13", " line 14", "-line 15", " line 16", " line 17",
                     " line 18"}));
    // Changes closer than twice the context share one hunk.
    EXPECT_EQ(unifiedDiff("a\r\nb\r\nc\r\nd", "A\r\nb\r\nc\r\nD", 1),
              (Lines{"@@ -1,4 +1,4 @@", "-a", "+A", " b", " c", "-d", "+D"}));
    EXPECT_EQ(unifiedDiff("a\r\nb\r\nc\r\nd\r\ne", "A\r\nb\r\nc\r\nd\r\nE", 1),
              (Lines{"@@ -1,2 +1,2 @@", "-a", "+A", " b", "@@ -4,2 +4,2 @@", " d", "-e", "+E"}));
    // A body with CR LF against the same body with LF has no differing line.
    EXPECT_TRUE(unifiedDiff("Sub Main\r\nEnd Sub", "Sub Main\nEnd Sub").empty());
    EXPECT_TRUE(unifiedDiff("same", "same").empty());
    EXPECT_EQ(unifiedDiff("", "new"), (Lines{"@@ -1,1 +1,1 @@", "-", "+new"}));
    EXPECT_EQ(unifiedDiff("a\r\nb", "b"), (Lines{"@@ -1,2 +1,1 @@", "-a", " b"}));
    EXPECT_EQ(unifiedDiff("a", "a\r\nb"), (Lines{"@@ -1,1 +1,2 @@", " a", "+b"}));
    // Without context a hunk may hold no line of one side: it then names the line before it.
    EXPECT_EQ(unifiedDiff("a\r\nc", "a\r\nb\r\nc", 0), (Lines{"@@ -1,0 +2,1 @@", "+b"}));
    EXPECT_EQ(unifiedDiff("a\r\nb\r\nc", "a\r\nc", 0), (Lines{"@@ -2,1 +1,0 @@", "-b"}));
}

// --- the comparison -----------------------------------------------------------------------------

namespace {

BuiltCommand global(std::string name, std::uint8_t kind, std::string text, std::string group = {},
                    std::string description = {}) {
    auto c = globalCommand(std::move(name), kind, std::move(text), std::move(group));
    c.description = std::move(description);
    return c;
}

BuiltCommand ofProgram(std::string module, std::string name, std::uint8_t kind, std::string text, std::string group = {}) {
    return inProgram(globalCommand(std::move(name), kind, std::move(text), std::move(group)), std::move(module));
}

// The commands and LISTs of a file, to change one thing of before it is written.
struct Content {
    std::uint8_t version = 7;
    std::vector<BuiltCommand> commands;
    std::vector<BuiltList> lists;

    BuiltCommand& command(const std::string& name) {
        for (auto& c : commands)
            if (c.name.bytes == name) return c;
        throw std::logic_error("no command " + name);
    }
    BuiltList& list(const std::string& name) {
        for (auto& l : lists)
            if (l.name.bytes == name) return l;
        throw std::logic_error("no LIST " + name);
    }
    void write(const fs::path& path) const {
        CommandFileBuilder b(version);
        for (const auto& c : commands) b.add(c);
        for (const auto& l : lists) b.add(l);
        b.writeFile(path);
    }
};

// Global commands of three kinds (one with states and SendDragonKeys), a program's command, two
// LISTs.
Content baseContent() {
    Content c;
    c.commands.push_back(global("save all", kKindKeys, "{Ctrl+s}", "Work", "saves everything"));
    auto pick = global("pick <color>", kKindAdvancedScript,
                       "Sub Main\r\n\tSendDragonKeys \"x\"\r\n\tWait 1\r\n\tsenddragonkeys \"y\"\r\nEnd Sub", "Play");
    pick.states = {"Dictation", "Spelling"};
    c.commands.push_back(pick);
    c.commands.push_back(global("open menu", kKindScript, "SendKeys \"%f\"\r\nSendKeys \"o\"", "Play"));
    c.commands.push_back(ofProgram("notepad", "new page", kKindKeys, "{Ctrl+n}", "Work"));
    c.lists.push_back(BuiltList("color", {"red", "green"}));
    c.lists.push_back(BuiltList("size", {"big"}));
    return c;
}

class FileCompare : public ::testing::Test {
protected:
    fs::path path(const std::string& name) const { return dir.path() / name; }
    FileComparison compare(const fs::path& a, const fs::path& b) const {
        return CompareFiles(VOCABRELLA_DATA_DIR).run(a, b);
    }
    // The base file against it with one change made.
    FileComparison compareChanged(const std::function<void(Content&)>& change) {
        const auto before = path("before.dat"), after = path("after.dat");
        baseContent().write(before);
        auto changed = baseContent();
        change(changed);
        changed.write(after);
        return compare(before, after);
    }
    // A copy of the file rebuilt in another version's layout by the program's own conversion.
    fs::path converted(const fs::path& from, const std::string& target, const std::string& name) {
        const auto to = path(name);
        fs::copy_file(from, to);
        fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
        TempDir home;
        ScriptedPrompter prompter;
        prompter.answers = {"ok"};
        FakeClock clock;
        Session session(home.path() / "home", prompter, clock);
        EXPECT_TRUE(session.open(to).success);
        Workspace ws(session, clock);
        const auto outcome = ConvertVersion(ws, target).run();
        EXPECT_TRUE(outcome.isDone()) << prompter.last().text;
        return to;
    }

    TempDir dir;
};

std::vector<std::string> keys(const std::vector<ComparedEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(entryKey(e));
    return out;
}

std::vector<std::string> fieldNames(const EntryChange& change) {
    std::vector<std::string> out;
    for (const auto& f : change.fields) out.push_back(f.field);
    return out;
}

} // namespace

TEST_F(FileCompare, AFileAgainstItselfHasNothing) {
    baseContent().write(path("a.dat"));
    const auto c = compare(path("a.dat"), path("a.dat"));
    EXPECT_TRUE(c.equal());
    EXPECT_TRUE(c.added.empty() && c.removed.empty() && c.changed.empty() && c.conversion.empty());
    EXPECT_EQ(comparisonText(c, diffWords()), ops::texts::CompareNoDifferences);
    EXPECT_EQ(comparisonText(c, restoreWords()), ops::texts::RestoreSame);

    // And a copy of each real sample against the sample.
    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        copySampleToChange(name, path(name));
        const auto s = compare(sample(name), path(name));
        EXPECT_TRUE(s.equal()) << name << ":\n" << comparisonText(s, diffWords());
    }
}

TEST_F(FileCompare, EachKindOfChangeIsToldAsSuch) {
    struct Case {
        const char* what;
        std::function<void(Content&)> change;
        std::vector<std::string> added, removed;
        std::string changedKey;           // empty: nothing changed
        std::vector<std::string> fields;  // of the changed entry
    };
    const std::string notepad = "NOTEPAD / Application-specific / new page";
    const std::string pick = "Global Commands / Global Commands / pick <color>";
    const std::string save = "Global Commands / Global Commands / save all";
    const std::vector<Case> cases = {
        {"a command added", [](Content& c) { c.commands.push_back(global("close all", kKindKeys, "{Ctrl+w}")); },
         {"Global Commands / Global Commands / close all"}, {}, "", {}},
        {"a command removed", [](Content& c) { c.commands.erase(c.commands.begin() + 3); }, {}, {notepad}, "", {}},
        {"a LIST added", [](Content& c) { c.lists.push_back(BuiltList("shape", {"round"})); }, {"shape"}, {}, "", {}},
        {"a LIST removed", [](Content& c) { c.lists.erase(c.lists.begin() + 1); }, {}, {"size"}, "", {}},
        {"a body", [](Content& c) { c.command("new page").text = "{Ctrl+Shift+n}"; }, {}, {}, notepad, {"body"}},
        {"a description", [](Content& c) { c.command("save all").description = "saves it all"; }, {}, {}, save,
         {"description"}},
        {"a group", [](Content& c) { c.command("save all").group = "Play"; }, {}, {}, save, {"group"}},
        {"a kind", [](Content& c) { c.command("open menu").kind = kKindAdvancedScript; }, {}, {},
         "Global Commands / Global Commands / open menu", {"kind"}},
        {"LIST items", [](Content& c) { c.list("color").items = {"red", "blue", "green"}; }, {}, {}, "color", {"items"}},
        {"states", [](Content& c) { c.command("pick <color>").states = {"Dictation"}; }, {}, {}, pick, {"states"}},
        {"states taken off", [](Content& c) { c.command("pick <color>").states.clear(); }, {}, {}, pick, {"states"}},
        {"two fields at once",
         [](Content& c) {
             c.command("save all").text = "{Ctrl+Alt+s}";
             c.command("save all").group = "Other";
         },
         {}, {}, save, {"body", "group"}},
        {"a rename", [](Content& c) { c.command("save all").name = "store all"; },
         {"Global Commands / Global Commands / store all"}, {save}, "", {}},
        {"a rename in letter case only", [](Content& c) { c.command("save all").name = "Save All"; },
         {"Global Commands / Global Commands / Save All"}, {save}, "", {}},
        {"another program", [](Content& c) { c.command("new page").module = "wordpad"; },
         {"WORDPAD / Application-specific / new page"}, {notepad}, "", {}},
        {"a LIST renamed", [](Content& c) { c.list("size").name = "sizes"; }, {"sizes"}, {"size"}, "", {}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        const auto c = compareChanged(t.change);
        EXPECT_FALSE(c.equal());
        EXPECT_FALSE(c.versionDiffers());
        EXPECT_TRUE(c.conversion.empty());
        EXPECT_EQ(keys(c.added), t.added);
        EXPECT_EQ(keys(c.removed), t.removed);
        if (t.changedKey.empty()) {
            EXPECT_TRUE(c.changed.empty()) << comparisonText(c, diffWords());
        } else {
            ASSERT_EQ(c.changed.size(), 1u) << comparisonText(c, diffWords());
            EXPECT_EQ(entryKey(c.changed[0].entry), t.changedKey);
            EXPECT_EQ(fieldNames(c.changed[0]), t.fields);
        }
    }
}

TEST_F(FileCompare, ChangedFieldsCarryBothValuesAndTheLinesThatDiffer) {
    const auto c = compareChanged([](Content& content) {
        content.command("pick <color>").text = "Sub Main\r\n\tSendDragonKeys \"x\"\r\n\tWait 2\r\n\tsenddragonkeys \"y\"\r\nEnd Sub";
        content.command("open menu").kind = kKindAdvancedScript;
        content.command("save all").description = "saves it all";
        content.list("color").items = {"red", "blue", "green"};
    });
    ASSERT_EQ(c.changed.size(), 4u);
    // In the order of the first file.
    EXPECT_EQ(c.changed[0].entry.name, "save all");
    EXPECT_EQ(c.changed[0].fields[0].before, "saves everything");
    EXPECT_EQ(c.changed[0].fields[0].after, "saves it all");
    EXPECT_EQ(c.changed[1].fields[0].diff,
              (Lines{"@@ -1,5 +1,5 @@", " Sub Main", " \tSendDragonKeys \"x\"", "-\tWait 1", "+\tWait 2",
                     " \tsenddragonkeys \"y\"", " End Sub"}));
    EXPECT_EQ(c.changed[1].fields[0].before.find("\r\n"), 8u) << "bodies keep CR LF";
    EXPECT_EQ(c.changed[2].fields[0].before, "S");
    EXPECT_EQ(c.changed[2].fields[0].after, "A");
    EXPECT_EQ(c.changed[3].fields[0].before, "red\r\ngreen");
    EXPECT_EQ(c.changed[3].fields[0].diff, (Lines{"@@ -1,2 +1,3 @@", " red", "+blue", " green"}));

    const auto text = comparisonText(c, diffWords());
    for (const char* line : {"Changed command: Global Commands / Global Commands / save all: description\r\n"
                             "    description: \"saves everything\" -> \"saves it all\"\r\n",
                             "    body:\r\n    @@ -1,5 +1,5 @@\r\n",
                             "    -\tWait 1\r\n    +\tWait 2\r\n",
                             "    kind: SCRIPT -> Advanced Script",
                             "Changed LIST: color: items\r\n    items:\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
}

TEST_F(FileCompare, AKeyTwiceInAFileIsPairedInFileOrder) {
    auto twice = baseContent();
    twice.commands.push_back(global("save all", kKindKeys, "{Ctrl+Shift+s}"));
    twice.write(path("a.dat"));
    EXPECT_TRUE(compare(path("a.dat"), path("a.dat")).equal());
    baseContent().write(path("once.dat"));
    const auto c = compare(path("a.dat"), path("once.dat"));
    EXPECT_EQ(keys(c.removed), (std::vector<std::string>{"Global Commands / Global Commands / save all"}));
    EXPECT_TRUE(c.changed.empty()) << "the first of the two is paired with the one";
}

TEST_F(FileCompare, AVersionConversionDiffersOnlyInWhatTheConversionDoes) {
    baseContent().write(path("a.dat"));
    const auto pick = "Global Commands / Global Commands / pick <color>";

    // 8/9 files hold everything a 10 file of these commands holds.
    auto c = compare(path("a.dat"), converted(path("a.dat"), "8/9", "v8.dat"));
    EXPECT_TRUE(c.versionDiffers());
    EXPECT_FALSE(c.equal());
    EXPECT_TRUE(c.added.empty() && c.removed.empty() && c.changed.empty() && c.conversion.empty())
        << comparisonText(c, diffWords());
    EXPECT_EQ(comparisonText(c, diffWords()), "The format versions differ: 10.0 in A, 8.0 in B");

    // 6.0 has no place for states and writes SendKeys for SendDragonKeys.
    const auto v60 = converted(path("a.dat"), "6.0", "v60.dat");
    c = compare(path("a.dat"), v60);
    EXPECT_TRUE(c.added.empty() && c.removed.empty() && c.changed.empty()) << comparisonText(c, diffWords());
    EXPECT_EQ(keys(c.conversion.statesDropped), std::vector<std::string>{pick});
    EXPECT_EQ(keys(c.conversion.scriptsRewritten), std::vector<std::string>{pick});
    EXPECT_EQ(comparisonText(c, diffWords()),
              "The format versions differ: 10.0 in A, 6.0 in B\r\n"
              "The conversion from 10.0 to 6.0: 1 command(s) lost their states (views): this file version has no "
              "place for them\r\n    Global Commands / Global Commands / pick <color>\r\n"
              "The conversion from 10.0 to 6.0: 1 advanced script(s) differ only in SendKeys and SendDragonKeys, as "
              "that version writes them\r\n    Global Commands / Global Commands / pick <color>");

    // 6.0 to 6.1 writes SendDragonKeys again.
    c = compare(v60, converted(v60, "6.1", "v61.dat"));
    EXPECT_TRUE(c.changed.empty() && c.conversion.statesDropped.empty()) << comparisonText(c, diffWords());
    EXPECT_EQ(keys(c.conversion.scriptsRewritten), std::vector<std::string>{pick});

    // The other way round the conversion accounts for nothing: what the newer file has more are
    // changes like any other.
    c = compare(v60, path("a.dat"));
    EXPECT_TRUE(c.conversion.empty());
    ASSERT_EQ(c.changed.size(), 1u);
    EXPECT_EQ(fieldNames(c.changed[0]), (std::vector<std::string>{"body", "states"}));

    // A change made besides the conversion is still a change.
    auto edited = baseContent();
    edited.version = 3;
    edited.command("pick <color>").text = "Sub Main\r\n\tSendKeys \"z\"\r\nEnd Sub";
    edited.commands[1].states.clear();
    edited.write(path("edited60.dat"));
    c = compare(path("a.dat"), path("edited60.dat"));
    EXPECT_TRUE(c.conversion.scriptsRewritten.empty());
    EXPECT_EQ(keys(c.conversion.statesDropped), std::vector<std::string>{pick});
    ASSERT_EQ(c.changed.size(), 1u);
    EXPECT_EQ(fieldNames(c.changed[0]), std::vector<std::string>{"body"});

    // The real samples against their own conversion.
    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        const auto s = compare(sample(name), converted(sample(name), "8/9", std::string("v8-") + name));
        EXPECT_TRUE(s.added.empty() && s.removed.empty() && s.changed.empty() && s.conversion.empty())
            << name << ":\n" << comparisonText(s, diffWords());
    }
}

TEST_F(FileCompare, TheLanguageAndLineEndsAreToldToo) {
    baseContent().write(path("a.dat"));
    CommandFileBuilder french(7, 12);
    for (const auto& c : baseContent().commands) french.add(c);
    for (const auto& l : baseContent().lists) french.add(l);
    french.writeFile(path("french.dat"));
    auto c = compare(path("a.dat"), path("french.dat"));
    EXPECT_TRUE(c.languageDiffers());
    EXPECT_FALSE(c.equal());
    EXPECT_EQ(comparisonText(c, diffWords()), "The languages differ: English in A, French in B");

    // A body whose lines are the same but whose line ends are not.
    c = compareChanged([](Content& content) { content.command("open menu").text = "SendKeys \"%f\"\nSendKeys \"o\""; });
    ASSERT_EQ(c.changed.size(), 1u);
    EXPECT_EQ(c.changed[0].fields[0].diff, Lines{std::string(ops::texts::CompareLineEndsOnly)});
}

TEST_F(FileCompare, AFileThatCannotBeReadIsNamed) {
    baseContent().write(path("good.dat"));
    auto bytes = readFileBytes(path("good.dat"));
    bytes.resize(bytes.size() - 20);
    writeBytes(path("damaged.dat"), bytes);
    writeFileAtomically(path("text.dat"), std::string_view("just some text, not a command file"));
    for (const auto& bad : {path("missing.dat"), path("damaged.dat"), path("text.dat"), dir.path()}) {
        for (const bool first : {true, false}) {
            try {
                first ? compare(bad, path("good.dat")) : compare(path("good.dat"), bad);
                ADD_FAILURE() << bad << " was read";
            } catch (const CompareError& e) {
                EXPECT_EQ(e.file(), fs::weakly_canonical(bad)) << e.what();
                EXPECT_FALSE(std::string(e.what()).empty());
            }
        }
    }
    try {
        compare(path("missing.dat"), path("good.dat"));
    } catch (const CompareError& e) {
        EXPECT_STREQ(e.what(), "File does not exist");
    }
}

TEST_F(FileCompare, TheRestorePreviewTellsWhatComesBackAndWhatGoes) {
    baseContent().write(path("backup.dat"));
    auto current = baseContent();
    current.commands.erase(current.commands.begin());                      // save all: brought back
    current.commands.push_back(global("made today", kKindKeys, "{Ctrl+t}")); // lost
    current.list("size").items = {"small"};                                // put back
    current.write(path("current.dat"));
    const auto text = restorePreview(path("backup.dat"), path("current.dat"), VOCABRELLA_DATA_DIR);
    EXPECT_EQ(text, "What restoring this backup changes:\r\n"
                    "Brought back (in the backup, not in the current file): command: Global Commands / Global "
                    "Commands / save all\r\n"
                    "Lost (in the current file, not in the backup): command: Global Commands / Global Commands / "
                    "made today\r\n"
                    "Put back as the backup has it: LIST: size: items\r\n"
                    "    items:\r\n    @@ -1,1 +1,1 @@\r\n    -small\r\n    +big");
    EXPECT_EQ(restorePreview(path("backup.dat"), path("backup.dat"), VOCABRELLA_DATA_DIR),
              "What restoring this backup changes:\r\n" + std::string(ops::texts::RestoreSame));
    const auto unreadable = restorePreview(path("backup.dat"), path("gone.dat"), VOCABRELLA_DATA_DIR);
    EXPECT_EQ(unreadable, "This command file cannot be read: " + fs::weakly_canonical(path("gone.dat")).string() +
                              "\r\nFile does not exist");
}

// --- the command line ---------------------------------------------------------------------------

TEST_F(FileCompare, TheCommandLineExitsByWhatItFound) {
    baseContent().write(path("a.dat"));
    auto changed = baseContent();
    changed.command("save all").text = "{Ctrl+Alt+s}";
    changed.commands.erase(changed.commands.begin() + 3);
    changed.lists.push_back(BuiltList("shape", {"round"}));
    changed.write(path("b.dat"));

    auto run = runCli("diff " + quoted(path("a.dat")) + " " + quoted(path("a.dat")));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(ops::texts::CompareNoDifferences) + "\n");

    run = runCli("diff " + quoted(path("a.dat")) + " " + quoted(path("b.dat")));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "Added LIST: shape\n"
                       "Removed command: NOTEPAD / Application-specific / new page\n"
                       "Changed command: Global Commands / Global Commands / save all: body\n"
                       "    body:\n    @@ -1,1 +1,1 @@\n    -{Ctrl+s}\n    +{Ctrl+Alt+s}\n");

    run = runCli("diff --json " + quoted(path("a.dat")) + " " + quoted(path("b.dat")));
    EXPECT_EQ(run.status, 1) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["equal"], false);
    EXPECT_EQ(json["versionDiffers"], false);
    EXPECT_EQ(json["a"]["file"], fs::weakly_canonical(path("a.dat")).string());
    ASSERT_EQ(json["added"].size(), 1u);
    EXPECT_EQ(json["added"][0], (nlohmann::json{{"kind", "list"}, {"program", "Global Commands"},
                                                {"scope", "Global Commands"}, {"name", "shape"}, {"type", "L"}}));
    ASSERT_EQ(json["removed"].size(), 1u);
    EXPECT_EQ(json["removed"][0]["kind"], "command");
    EXPECT_EQ(json["removed"][0]["program"], "NOTEPAD");
    EXPECT_EQ(json["removed"][0]["scope"], "Application-specific");
    EXPECT_EQ(json["removed"][0]["name"], "new page");
    ASSERT_EQ(json["changed"].size(), 1u);
    EXPECT_EQ(json["changed"][0]["name"], "save all");
    EXPECT_EQ(json["changed"][0]["fields"], nlohmann::json::array({"body"}));
    EXPECT_EQ(json["changed"][0]["changes"]["body"]["before"], "{Ctrl+s}");
    EXPECT_EQ(json["changed"][0]["changes"]["body"]["after"], "{Ctrl+Alt+s}");
    EXPECT_EQ(json["changed"][0]["changes"]["body"]["diff"].size(), 3u);
    EXPECT_TRUE(json["conversion"]["statesDropped"].empty());

    // A file that cannot be read: exit 2, and which file it was.
    const auto missing = path("missing.dat");
    run = runCli("diff " + quoted(path("a.dat")) + " " + quoted(missing));
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_EQ(run.err, missing.string() + ": This command file cannot be read: File does not exist\n");
    run = runCli("diff --json " + quoted(missing) + " " + quoted(path("a.dat")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(nlohmann::json::parse(run.out)["file"], missing.string());

    // Neither Dragon nor the speech user's file is needed, even with an installation named.
    run = runCli("--dragon-root " + quoted(path("no-dragon-here")) + " diff " + quoted(path("a.dat")) + " " +
                 quoted(path("a.dat")));
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(FileCompare, TheCommandLineRollbackShowsWhatItWouldChangeFirst) {
    const auto root = path("dragon"), home = path("home");
    ASSERT_EQ(runProgram({VOCABRELLA_DRAGONSIM, "init", os::pathText(root), "--demo"}).status, 0);
    const std::string program = "--home " + quoted(home) + " --dragon-root " + quoted(root) + " ";
    ASSERT_EQ(runCli(program + "status").status, 0); // the day's backup of the demo file
    const auto entry = runCli(program + "rollback --list").out;
    ASSERT_EQ(entry.substr(0, 7), "mycmds.");
    const std::string backup = entry.substr(0, entry.find('\n'));

    // The user's file now holds one command only.
    const auto userFile = root / "ProgramData" / "Nuance" / "NaturallySpeaking12" / "Users" / "Speaker" / "current" /
                          "mycmds.dat";
    ASSERT_TRUE(fs::exists(userFile));
    Content one;
    one.commands.push_back(global("made today", kKindKeys, "{Ctrl+t}"));
    one.write(userFile);
    const auto written = readText(userFile);

    auto run = runCli(program + "rollback --preview " + backup);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("What restoring this backup changes:\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("Lost (in the current file, not in the backup): command: Global Commands / Global "
                           "Commands / made today\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Brought back (in the backup, not in the current file): "), std::string::npos);
    EXPECT_EQ(readText(userFile), written);

    // Without --yes the question is declined: the preview came before it, nothing was restored.
    run = runCli(program + "rollback " + backup);
    EXPECT_EQ(run.status, 1);
    const auto preview = run.err.find("made today");
    const auto question = run.err.find("Restore user 'Speaker'");
    EXPECT_NE(preview, std::string::npos) << run.err;
    EXPECT_NE(question, std::string::npos) << run.err;
    EXPECT_LT(preview, question);
    EXPECT_EQ(readText(userFile), written);

    run = runCli(program + "--yes rollback " + backup);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readText(userFile), written);
    EXPECT_EQ(runCli(program + "rollback --preview " + backup).out,
              "What restoring this backup changes:\n" + std::string(ops::texts::RestoreSame) + "\n");
}
