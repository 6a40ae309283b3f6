#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "FileState.h"
#include "FormatFamilies.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Texts.h"
#include "ops/BatchDelete.h"
#include "ops/BatchSelection.h"
#include "ops/ConvertFile.h"
#include "ops/ConvertKeys.h"
#include "ops/ExportCommands.h"
#include "ops/OutputTarget.h"
#include "ops/RenameInBatch.h"
#include "ops/Rewrite.h"
#include "cmdfile/Codec.h"
#include "ops/SearchReplace.h"
#include "ops/Texts.h"
#include "ops/WriteDvcFile.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/DemoCommandFile.h"
#include "shell/Session.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "writer/Texts.h"

#include <map>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
namespace optexts = vocabrella::ops::texts;
namespace wtexts = vocabrella::texts;
using Kind = ScriptedPrompter::Kind;
using ops::BatchScope;
using ops::BatchSelection;
using ops::Outcome;

namespace {

BuiltCommand ofProgram(std::string module, std::string name, std::uint8_t kind, std::string text,
                       std::string group = {}) {
    return inProgram(globalCommand(std::move(name), kind, std::move(text), std::move(group)), std::move(module));
}

// Global commands in the groups Work and Play, two programs, a LIST used by one command.
CommandFileBuilder mixedFile(std::uint8_t versionCode, std::uint8_t language = 9) {
    CommandFileBuilder b(versionCode, language);
    b.add(globalCommand("save all", kKindKeys, "{Ctrl+s}", "Work"))
        .add(globalCommand("type name", kKindKeys, "abc}", "Work"))
        .add(globalCommand("open menu", kKindScript, "SendKeys \"%f\"\r\nSendKeys \"o\"", "Play"))
        .add(globalCommand("pick <color>", kKindAdvancedScript, "Sub Main\r\nSendKeys \"x\" : SendKeys \"y\"\r\nEnd Sub", "Play"))
        .add(globalCommand("greeting", kKindText, "SendKeys in plain text", "Play"))
        .add(ofProgram("notepad", "new page", kKindKeys, "{Ctrl+n}", "Work"))
        .add(ofProgram("notepad", "close page", kKindKeys, "{Ctrl+w}", "Play"))
        .add(ofProgram("winword", "bold", kKindKeys, "{Ctrl+b}", "Work"))
        .add(BuiltList("color", {"red", "SendKeys green"}));
    return b;
}

class BatchFixture : public OpenCommandFile<> {
protected:
    std::optional<UserRow> row(const std::string& program, const std::string& name) {
        const std::string scope = program == "Global Commands" ? program : "Application-specific";
        return store().findUser(program, scope, name);
    }
    // The refusal is told once, exactly, and the file is as it was.
    void expectRefused(const Outcome& o, std::string_view text, std::string_view title, const std::string& before) {
        EXPECT_EQ(o.kind, Outcome::Kind::Refused);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().text, text);
        EXPECT_EQ(prompter.last().title, title);
        EXPECT_EQ(readText(file()), before);
        EXPECT_EQ(flagged(), 0) << "no mark is left behind";
    }

    static BatchSelection everything() { return {}; }
    static BatchSelection app(std::string program) {
        BatchSelection s;
        s.scope = BatchScope::CurrentApp;
        s.program = std::move(program);
        s.state = "Application-specific";
        return s;
    }
    static BatchSelection group(std::string name) {
        BatchSelection s;
        s.scope = BatchScope::CurrentGroup;
        s.group = std::move(name);
        return s;
    }
    static BatchSelection picked(std::vector<std::string> names, std::string program = "Global Commands") {
        BatchSelection s;
        s.scope = BatchScope::PickAndChoose;
        s.state = program == "Global Commands" ? program : "Application-specific";
        s.program = std::move(program);
        s.picked = std::move(names);
        return s;
    }
};

// Every case runs on a file of each format family.
class BatchTest : public BatchFixture, public ::testing::WithParamInterface<std::uint8_t> {};
using BatchOnSamples = BatchFixture;

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryFamily, BatchTest, ::testing::ValuesIn(familyVersionCodes()), familyTestName);

TEST_P(BatchTest, ScopeCountsAndMarksFollowTheOptionsAndTheViewFilter) {
    open(mixedFile(GetParam()));
    BatchSelection s = app("notepad");
    s.group = "Work";
    auto counts = ops::countScopes(store(), s);
    EXPECT_EQ(counts.everything, 8);
    EXPECT_EQ(counts.group, 4);
    EXPECT_EQ(counts.app, 2);
    EXPECT_EQ(counts.scope, 2);
    EXPECT_EQ(counts.pick, 0);
    EXPECT_EQ(flagged(), 0);
    EXPECT_EQ(ops::countLabel(7), "    7");
    EXPECT_EQ(ops::countLabel(123456), "123456");

    s.isRowShown = [](const CommandStore::RowHead& r) { return r.Type != "K"; };
    counts = ops::countScopes(store(), s);
    EXPECT_EQ(counts.everything, 3);
    EXPECT_EQ(counts.app, 0);

    // "All groups" at the action marks every row, LISTs included, before the filter.
    auto marked = ops::markSelection(*workspace, group("All groups"));
    EXPECT_TRUE(marked.outcome.isDone());
    EXPECT_EQ(marked.rows, store().userCount());

    marked = ops::markSelection(*workspace, picked({}));
    EXPECT_EQ(marked.outcome.text, optexts::NothingSelected);
    EXPECT_EQ(marked.outcome.title, "Global Commands");
    EXPECT_EQ(flagged(), 0);

    BatchSelection hidden = everything();
    hidden.isRowShown = [](const CommandStore::RowHead&) { return false; };
    marked = ops::markSelection(*workspace, hidden);
    EXPECT_EQ(prompter.last().text, optexts::NoMacros);
    EXPECT_EQ(prompter.last().title, optexts::NoMacrosTitle);
    EXPECT_EQ(flagged(), 0);
}

TEST_P(BatchTest, DeleteTakesTheMarkedCommandsAndTheListsNobodyUses) {
    open(mixedFile(GetParam()));
    const auto before = readText(file());
    expectRefused(ops::BatchDelete(*workspace, picked({"color"})).run(), optexts::ListInBatchDelete, "color", before);
    expectRefused(ops::BatchDelete(*workspace, group("Nobody")).run(), std::string(optexts::NoSuchGroup) + "Nobody", "", before);
    expectRefused(ops::BatchDelete(*workspace, app("excel")).run(), std::string(optexts::NoSuchProgram) + "excel", "", before);
    expectRefused(ops::BatchDelete(*workspace, picked({"no such"})).run(), optexts::NoSuchCommand, "no such", before);

    prompter.answers = {"yes"};
    const auto o = ops::BatchDelete(*workspace, picked({"pick <color>", "save all"})).run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, optexts::DeletionCompleted);
    EXPECT_FALSE(row("Global Commands", "pick <color>"));
    EXPECT_FALSE(row("Global Commands", "save all"));
    EXPECT_FALSE(row("Global Commands", "color")) << "the LIST only the deleted command used is gone";
    EXPECT_EQ(store().countCommands(), 6);
    EXPECT_EQ(flagged(), 0);
}

TEST_P(BatchTest, AFileChangedBehindTheProgramsBackStopsTheBatch) {
    open(mixedFile(GetParam()));
    auto other = mixedFile(GetParam());
    other.add(globalCommand("extra", kKindKeys, "x"));
    other.writeFile(file());
    fs::last_write_time(file(), fs::last_write_time(file()) + std::chrono::seconds(5));
    const auto before = readText(file());
    prompter.answers = {"yes"}; // the LIST color goes with the commands
    const auto o = ops::BatchDelete(*workspace, everything()).run();
    expectRefused(o, optexts::ModifiedMeanwhile, "", before);
    EXPECT_EQ(o.reason, Outcome::Reason::FileChangedMeanwhile) << "the window drops what it shows";
    EXPECT_TRUE(row("Global Commands", "extra")) << "the store reads the file anew";
}

TEST_P(BatchTest, RenameGroupMovesOnlyTheOldGroupsCommands) {
    open(mixedFile(GetParam()));
    const auto before = readText(file());
    expectRefused(ops::RenameGroupChange(*workspace, group("Work"), std::string(optexts::EnterNewGroup)).run(), optexts::NoNewGroup,
                  "", before);
    expectRefused(ops::RenameGroupChange(*workspace, group("Work"), "").run(), optexts::NoNewGroup, "", before);
    expectRefused(ops::RenameGroupChange(*workspace, group("Nobody"), "Else").run(),
                  std::string(optexts::NoSuchGroup) + "Nobody", "", before);

    // Everything marked, but only Work changes; the Group is found in any letter case.
    BatchSelection s = everything();
    s.group = "work";
    const auto o = ops::RenameGroupChange(*workspace, s, "Office").run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, optexts::GroupRenamed);
    EXPECT_EQ(o.title, "work->Office");
    EXPECT_EQ(row("Global Commands", "save all")->owner, "Office");
    EXPECT_EQ(row("notepad", "new page")->owner, "Office");
    EXPECT_EQ(row("Global Commands", "open menu")->owner, "Play");
}

TEST_P(BatchTest, RenameProgramChangesOnlyTheRowsOfTheOldProgram) {
    open(mixedFile(GetParam()));
    const auto before = readText(file());
    expectRefused(ops::RenameProgramChange(*workspace, app("notepad"), std::string(optexts::EnterNewProgram)).run(),
                  optexts::NoNewProgram, "", before);
    expectRefused(ops::RenameProgramChange(*workspace, app("notepad"), ".EXE").run(), optexts::NoNewProgram, "", before);
    BatchSelection missing = everything();
    missing.program = "excel";
    expectRefused(ops::RenameProgramChange(*workspace, missing, "calc").run(), std::string(optexts::NoSuchProgram) + "excel", "",
                  before);

    // With Everything chosen, only notepad's commands move; the ending .exe is dropped.
    BatchSelection all = everything();
    all.program = "notepad";
    all.state = "Application-specific";
    const auto o = ops::RenameProgramChange(*workspace, all, "Editor.Exe").run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, optexts::ProgramRenamed);
    EXPECT_TRUE(row("Editor", "new page"));
    EXPECT_TRUE(row("Editor", "close page"));
    EXPECT_TRUE(row("winword", "bold")) << "another program keeps its name";
    EXPECT_FALSE(store().hasProgram("notepad"));
    EXPECT_EQ(ops::RenameProgramChange::withoutExe("word.exe.exe"), "word.exe");
}

TEST_P(BatchTest, RenamesThatWouldRepeatANameOrChangeNothingAreRefused) {
    auto b = mixedFile(GetParam());
    b.add(ofProgram("winword", "New Page", kKindKeys, "{Ctrl+n}"));
    b.add(ofProgram("winword", "close page", kKindKeys, "{Ctrl+F4}"));
    open(b);
    const auto before = readText(file());
    // winword has both of notepad's names in the same scope, letter case aside.
    expectRefused(ops::RenameProgramChange(*workspace, app("notepad"), "WinWord.exe").run(),
                  std::string(optexts::RenameRepeatsNames) + "\"new page\", \"close page\"", "WinWord", before);
    expectRefused(ops::RenameProgramChange(*workspace, app("notepad"), "NotePad").run(), optexts::NothingChangedSameName,
                  "NotePad", before);
    expectRefused(ops::RenameGroupChange(*workspace, group("Play"), "Play").run(), optexts::NothingChangedSameName, "Play",
                  before);
    expectRefused(ops::RenameGroupChange(*workspace, group("Play"), "Pl\x01ay").run(), optexts::ControlCharacterInGroup,
                  "Pl\x01ay", before);
    // The Group is found in any letter case; its commands are called "Work" already.
    expectRefused(ops::RenameGroupChange(*workspace, group("work"), "Work").run(), optexts::NothingChangedSameName, "Work",
                  before);

    // Only the first five repeats are named.
    CommandFileBuilder many(GetParam());
    for (int i = 0; i < 7; ++i) {
        many.add(ofProgram("notepad", "cmd " + std::to_string(i), kKindKeys, "a"));
        many.add(ofProgram("editor", "cmd " + std::to_string(i), kKindKeys, "b"));
    }
    open(many);
    const auto manyBefore = readText(file());
    expectRefused(ops::RenameProgramChange(*workspace, app("notepad"), "editor").run(),
                  std::string(optexts::RenameRepeatsNames) +
                      "\"cmd 0\", \"cmd 1\", \"cmd 2\", \"cmd 3\", \"cmd 4\" and 2 more",
                  "editor", manyBefore);
    BatchSelection two = picked({"cmd 5", "cmd 6"}, "notepad");
    expectRefused(ops::RenameProgramChange(*workspace, two, "editor").run(),
                  std::string(optexts::RenameRepeatsNames) + "\"cmd 5\", \"cmd 6\"", "editor", manyBefore);
    // Into a program without those names the rename goes through.
    ASSERT_TRUE(ops::RenameProgramChange(*workspace, app("notepad"), "writer").run().isDone()) << prompter.last().text;
    EXPECT_TRUE(row("writer", "cmd 6"));
}

TEST_P(BatchTest, DvcTextOfACommandThatWouldEndItsBlockEarlyIsNotWritten) {
    auto b = mixedFile(GetParam());
    b.add(globalCommand("say \"hi\"", kKindKeys, "x"));
    open(b);
    const auto before = readText(file());
    const auto out = dir.path() / "out.dvc";
    for (const bool pseudo : {false, true}) {
        expectRefused(ops::WriteDvcFile(*workspace, everything(), out, pseudo).run(),
                      std::string(wtexts::DvcCannotHold) + "\"say \"hi\"\"" + std::string(wtexts::DvcQuote),
                      "say \"hi\"", before);
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_P(BatchTest, AReplacementWithAControlCharacterIsRefused) {
    open(mixedFile(GetParam()));
    const auto before = readText(file());
    ops::SearchReplace search(*workspace, everything());
    search.findText = "SendKeys";
    search.replaceWith = std::string("Send\0Keys", 9);
    expectRefused(search.replaceAll(), optexts::ControlCharacterInReplacement, "", before);
    search.replaceWith = "Send\x1bKeys";
    expectRefused(search.replace(), optexts::ControlCharacterInReplacement, "", before);
    search.replaceWith = "SendKeys\t";
    ASSERT_TRUE(search.replaceAll().isDone()) << prompter.last().text;
    EXPECT_EQ(row("Global Commands", "open menu")->script, "SendKeys\t \"%f\"\r\nSendKeys\t \"o\"");
}

TEST_P(BatchTest, ReplaceAllSearchesScriptKeysAdvancedAndListBodiesAndWritesOnce) {
    open(mixedFile(GetParam()));
    const auto before = readText(file());
    ops::SearchReplace search(*workspace, everything());
    search.findText = "sendkeys";
    search.replaceWith = "SendKeys SendKeys";
    const auto o = search.replaceAll();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, "5 occurrences in 3 macros replaced");
    EXPECT_EQ(prompter.statusLines.back(), optexts::Replaced);
    EXPECT_EQ(row("Global Commands", "open menu")->script,
              "SendKeys SendKeys \"%f\"\r\nSendKeys SendKeys \"o\"");
    EXPECT_EQ(row("Global Commands", "pick <color>")->script,
              "Sub Main\r\nSendKeys SendKeys \"x\" : SendKeys SendKeys \"y\"\r\nEnd Sub");
    EXPECT_EQ(row("Global Commands", "color")->script, "red\r\nSendKeys SendKeys green\r\n");
    EXPECT_EQ(row("Global Commands", "greeting")->script, "SendKeys in plain text") << "plain text is not searched";
    EXPECT_EQ(readText(home() / "savedat"), before) << "one write: the kept copy is the file before the replace";

    // The file reads back as the store says.
    const auto stored = row("Global Commands", "open menu")->script;
    session.reset();
    openFile();
    EXPECT_EQ(row("Global Commands", "open menu")->script, stored);
}

TEST_P(BatchTest, SearchStepsFromMatchToMatchAndGoesOnBehindAReplacement) {
    open(mixedFile(GetParam()));
    ops::SearchReplace search(*workspace, picked({"pick <color>", "open menu"}));
    search.findText = "SENDKEYS";
    EXPECT_EQ(search.replace().kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, optexts::NoReplaceText);
    search.findText.clear();
    EXPECT_EQ(search.search().kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, optexts::NoSearchText);
    EXPECT_EQ(search.replace().kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, optexts::NoSearchForText);

    search.findText = "SendKeys";
    search.matchCase = true;
    ASSERT_TRUE(search.search().isDone());
    ASSERT_TRUE(search.current());
    EXPECT_EQ(search.current()->name, "open menu");
    EXPECT_EQ(search.current()->position, 0u);
    EXPECT_EQ(search.current()->length, 8u);

    search.replaceWith = "SendKeys!";
    ASSERT_TRUE(search.replace().isDone());
    ASSERT_TRUE(search.current());
    EXPECT_EQ(search.current()->name, "open menu");
    EXPECT_EQ(search.current()->position, 16u) << "behind the inserted text, which holds the search text";
    ASSERT_TRUE(search.search().isDone()); // skip this one
    EXPECT_EQ(search.current()->name, "pick <color>");
    EXPECT_EQ(search.current()->position, 10u);
    ASSERT_TRUE(search.search().isDone());
    const auto end = search.search();
    EXPECT_TRUE(end.isDone());
    EXPECT_FALSE(search.current());
    EXPECT_EQ(end.text, "1 occurrences in 2 macros replaced");
    EXPECT_EQ(row("Global Commands", "open menu")->script, "SendKeys! \"%f\"\r\nSendKeys \"o\"");

    // Match Case: the lower-case text is found only without it.
    ops::SearchReplace exact(*workspace, everything());
    exact.findText = "sendkeys";
    exact.matchCase = true;
    const auto none = exact.search();
    EXPECT_EQ(none.kind, Outcome::Kind::Refused);
    EXPECT_EQ(none.reason, Outcome::Reason::NoMoreMatches);
    EXPECT_EQ(prompter.last().text, optexts::NoMoreMatches);
    exact.matchCase = false;
    exact.abandon();
    ASSERT_TRUE(exact.search().isDone());
    EXPECT_TRUE(exact.current());
}

// Without Match Case an accented letter matches its capital too, as in any text comparison.
TEST_P(BatchTest, ReplaceIgnoresTheCaseOfAccentedLettersUnlessAsked) {
    CommandFileBuilder b = mixedFile(GetParam());
    b.add(globalCommand("order", kKindScript, "SendKeys \"Caf\xE9 cr\xE8me\"", "Play")); // the file's bytes
    open(b);
    const std::string wanted = codec::cp1252ToUtf8("CAF\xC9 CR\xC8ME");
    ops::SearchReplace exact(*workspace, everything());
    exact.findText = wanted;
    exact.matchCase = true;
    EXPECT_EQ(exact.search().reason, Outcome::Reason::NoMoreMatches);

    ops::SearchReplace search(*workspace, everything());
    search.findText = wanted;
    search.replaceWith = "tea";
    ASSERT_TRUE(search.replaceAll().isDone()) << prompter.last().text;
    EXPECT_EQ(row("Global Commands", "order")->script, "SendKeys \"tea\"");
}

// Replace All in one body: matches that overlap, at either end, made anew by a replacement and
// the text behind it, folded accented capitals; from the match on show, after earlier searches.
TEST_P(BatchTest, ReplaceAllGoesOnBehindEachReplacementFromTheMatchOnShow) {
    struct Case {
        std::string body, find, with; // the body in the file's bytes, the others as typed
        bool matchCase;
        int searches; // steps of Search before Replace All
        std::string after;
        int count;
    };
    const std::vector<Case> cases{
        {"aaaaa", "aa", "b", false, 0, "bba", 2},
        {"xAyx", "x", "zz", false, 0, "zzAyzz", 2},
        {"abb", "ab", "a", false, 0, "ab", 1},
        {"ab ab", "AB", "abab", false, 0, "abab abab", 2},
        {"\xC0\xC9 \x9F \xE0", codec::cp1252ToUtf8("\xE0"), "o", false, 0, codec::cp1252ToUtf8("o\xC9 \x9F o"), 2},
        {"\x9F\xFF", codec::cp1252ToUtf8("\xFF"), "y", false, 0, "yy", 2},
        {"Aa", "a", "b", true, 0, "Ab", 1},
        {"a a a", "a", "b", false, 2, "a b b", 2},
    };
    CommandFileBuilder b = mixedFile(GetParam());
    for (std::size_t i = 0; i < cases.size(); ++i)
        b.add(globalCommand("case " + std::to_string(i), kKindScript, cases[i].body));
    open(b);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        const std::string name = "case " + std::to_string(i);
        ops::SearchReplace search(*workspace, picked({name}));
        search.findText = c.find;
        search.replaceWith = c.with;
        search.matchCase = c.matchCase;
        for (int s = 0; s < c.searches; ++s) ASSERT_TRUE(search.search().isDone()) << name;
        const auto o = search.replaceAll();
        ASSERT_TRUE(o.isDone()) << name << ": " << prompter.last().text;
        EXPECT_EQ(row("Global Commands", name)->script, c.after) << name;
        EXPECT_EQ(o.text, std::to_string(c.count) + std::string(optexts::OccurrencesIn) + "1" +
                              std::string(optexts::MacrosReplaced))
            << name;
    }
    session.reset();
    openFile();
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(row("Global Commands", "case " + std::to_string(i))->script, cases[i].after) << "read back";
}

TEST_P(BatchTest, KeysConversionsConvertTheirKindOfKeysAndKeepTheLog) {
    open(mixedFile(GetParam()));
    auto o = ops::ConvertKeys(*workspace, everything(), ops::ConvertKeys::Mode::PlainText).run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, " Conversion of DVCs to Plain Text Complete");
    EXPECT_EQ(o.title, "See ConvertKEYS2Plain.log for complete details of converted commands");
    EXPECT_EQ(row("Global Commands", "type name")->Type, "P");
    EXPECT_EQ(row("Global Commands", "save all")->Type, "K") << "braces go to scripts, not plain text";
    EXPECT_NE(readText(home() / "ConvertKEYS2Plain.log").find("Changed DVC to Plain Text: "), std::string::npos);

    // No KEYS without braces is left: nothing to do is said, not done.
    const auto before = readText(file());
    expectRefused(ops::ConvertKeys(*workspace, everything(), ops::ConvertKeys::Mode::PlainText).run(), optexts::NoMacros,
                  optexts::NoMacrosTitle, before);

    o = ops::ConvertKeys(*workspace, app("notepad"), ops::ConvertKeys::Mode::SendDragonKeys).run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, " Conversion of DVCs to Advanced Scripting Complete");
    EXPECT_EQ(row("notepad", "new page")->Type, "A");
    EXPECT_EQ(row("winword", "bold")->Type, "K") << "unmarked KEYS stay";
    EXPECT_TRUE(fs::exists(home() / "ConvertKEYS2SendDragon.log"));
}

TEST_P(BatchTest, KeysThatCannotBeConvertedAreReportedAfterTheCompletion) {
    CommandFileBuilder b(GetParam());
    b.add(globalCommand("good", kKindKeys, "{Enter}")).add(globalCommand("bad", kKindKeys, "a{b}c{d"));
    open(b);
    const auto o = ops::ConvertKeys(*workspace, everything(), ops::ConvertKeys::Mode::SendKeys).run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    const std::string title = "See ConvertKEYS2Advanced.log for complete details of converted commands";
    EXPECT_EQ(prompter.last().text, " Conversion of DVCs to Advanced Scripting Complete");
    EXPECT_EQ(prompter.last().title, title);
    EXPECT_EQ(o.text, wtexts::SomeNotConverted) << "the warning comes last";
    EXPECT_EQ(o.title, title);
    EXPECT_EQ(row("Global Commands", "good")->Type, "A");
    EXPECT_EQ(row("Global Commands", "bad")->Type, "K");
}

TEST_P(BatchTest, SendKeysConversionIsForEnglishFilesOnly) {
    open(mixedFile(GetParam(), 7));
    const auto before = readText(file());
    expectRefused(ops::ConvertKeys(*workspace, everything(), ops::ConvertKeys::Mode::SendKeys).run(),
                  wtexts::EnglishOnly, wtexts::EnglishOnlyTitle, before);
}

TEST_P(BatchTest, VersionAndLanguageConversionsAskAndSayWhatTheyDid) {
    open(mixedFile(GetParam()));
    const auto path = file().string();
    const auto before = readText(file());
    // A file is not converted into its own family; the newest family is no conversion's target.
    const std::map<std::uint8_t, std::pair<std::string, std::string>> own{
        {3, {"6.0", "Already in 6.0 format"}},
        {4, {"6.1", "Already in 6.1 format"}},
        {5, {"7.x", "Already in 7.0 format"}},
        {6, {"8/9", "Already in 8/9 format"}}};
    std::size_t refusals = 0;
    if (const auto it = own.find(GetParam()); it != own.end()) {
        expectRefused(ops::ConvertVersion(*workspace, it->second.first).run(), it->second.second, path, before);
        ++refusals;
    }
    const std::string target = GetParam() == 3 ? "6.1" : "6.0";
    const std::uint8_t targetCode = GetParam() == 3 ? 4 : 3;
    EXPECT_EQ(ops::ConvertVersion(*workspace, target).run().kind, Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().kind, Kind::OkCancel);
    EXPECT_EQ(prompter.last().text, "Convert this file to " + target + " format?");
    EXPECT_EQ(readText(file()), before);

    prompter.answers = {"ok"};
    auto o = ops::ConvertVersion(*workspace, target).run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, "File converted to " + target + " format");
    EXPECT_EQ(o.title, path);
    EXPECT_EQ(readText(file())[4], targetCode);
    EXPECT_EQ(prompter.messageCount(), refusals + 2) << "the refusal, the question twice; nothing else";
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));

    const auto now = readText(file());
    expectRefused(ops::ConvertLanguage(*workspace, "English").run(), wtexts::AlreadyInLanguage, "English", now);
    const auto unchanged = ops::ConvertLanguage(*workspace, std::string(optexts::NoChange)).run();
    expectRefused(unchanged, wtexts::NoConversionDone, "Vocabrella", now);
    EXPECT_EQ(unchanged.reason, Outcome::Reason::NothingChosen) << "the dialog closes";
    prompter.answers = {"yes"};
    o = ops::ConvertLanguage(*workspace, "French").run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, "File converted to French");
    EXPECT_EQ(readText(file())[15], 12);
    EXPECT_EQ(session->reader().file().info.languageName, "French");
}

TEST_P(BatchTest, NoOutputIsWrittenOverTheOpenFileNorOverAFileWithoutYes) {
    open(mixedFile(GetParam()));
    const auto before = readText(file());
    const auto self = ops::WriteDvcFile(*workspace, everything(), dir.path() / "." / "mycmds.dat", true).run();
    expectRefused(self, optexts::OutputIsCommandFile, (dir.path() / "." / "mycmds.dat").string(), before);

    const auto out = dir.path() / "out.dvc";
    std::ofstream(out) << "kept";
    EXPECT_EQ(ops::WriteDvcFile(*workspace, everything(), out, false).run().kind, Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().text, optexts::FileExistsOverwrite);
    EXPECT_EQ(prompter.last().title, out.string());
    EXPECT_EQ(readText(out), "kept");
    EXPECT_EQ(flagged(), 0);

    prompter.answers = {"ok"};
    ASSERT_TRUE(ops::WriteDvcFile(*workspace, everything(), out, false).run().isDone());
    const auto dvc = readText(out);
    EXPECT_NE(dvc.find("COMMAND \"open menu\""), std::string::npos);
    EXPECT_NE(dvc.find("LIST \"color\""), std::string::npos);
    EXPECT_EQ(dvc.find("greeting"), std::string::npos) << "plain text has no DVC form";

    expectRefused(ops::WriteDvcFile(*workspace, picked({"greeting"}), dir.path() / "g.dvc", false).run(), optexts::NoDvcCommands,
                  optexts::NoDvcCommandsTitle, before);
    ASSERT_TRUE(ops::WriteDvcFile(*workspace, picked({"greeting"}), dir.path() / "g.dvc", true).run().isDone());
    EXPECT_NE(readText(dir.path() / "g.dvc").find("Plain Text"), std::string::npos);
}

TEST_P(BatchTest, ExportChecksItsTargetFirst) {
    open(mixedFile(GetParam()));
    const auto before = readText(file());
    auto upper = file().parent_path() / "MYCMDS.DAT";
    expectRefused(ops::ExportCommands(*workspace, everything(), upper).run(), wtexts::ExportToSelf, upper.string(),
                  before);
    expectRefused(ops::ExportCommands(*workspace, everything(), dir.path() / "none" / "x.dat").run(),
                  wtexts::FolderDoesNotExist, (dir.path() / "none").string(), before);

    const auto target = dir.path() / "export";
    EXPECT_EQ(ops::ExportCommands(*workspace, everything(), target).run().kind, Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().text, wtexts::AppendingDat);
    EXPECT_EQ(prompter.last().title, target.string() + ".dat");
    EXPECT_FALSE(fs::exists(target.string() + ".dat"));

    prompter.answers = {"ok"};
    ops::ExportCommands exporter(*workspace, picked({"pick <color>"}), target);
    const auto o = exporter.run();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    EXPECT_EQ(o.text, optexts::ExportCompleted);
    EXPECT_EQ(o.title, target.string() + ".dat");
    EXPECT_EQ(exporter.result().exported, 1u);
    EXPECT_EQ(exporter.result().listsAdded, 1u);
    EXPECT_EQ(readText(file()), before);
    EXPECT_EQ(flagged(), 0);
}

TEST_F(BatchOnSamples, TheSamplesGoThroughRewriteRenameAndReplace) {
    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        fs::copy_file(sample(name), file(), fs::copy_options::overwrite_existing);
        fs::permissions(file(), fs::perms::owner_write, fs::perm_options::add);
        session.reset();
        openFile();
        ASSERT_TRUE(ops::Rewrite(*workspace).run().isDone()) << name;
        EXPECT_EQ(readText(file()), readText(sample(name))) << name;
    }
    // clear-categories.dat: one command of OUTLOOK, in group Outlook.
    BatchSelection all = everything();
    all.program = "OUTLOOK";
    ASSERT_TRUE(ops::RenameProgramChange(*workspace, all, "olk.exe").run().isDone()) << prompter.last().text;
    ops::SearchReplace search(*workspace, app("olk"));
    search.findText = "category";
    search.replaceWith = "Category";
    const auto o = search.replaceAll();
    ASSERT_TRUE(o.isDone()) << prompter.last().text;
    const auto rows = store().allUsers();
    const auto command = std::find_if(rows.begin(), rows.end(), [](const UserRow& r) { return r.Type == "A"; });
    ASSERT_NE(command, rows.end());
    EXPECT_EQ(command->menu, "OLK") << "module names read upper-case";
    EXPECT_EQ(command->script.find("category"), std::string::npos);
    session.reset();
    openFile();
    EXPECT_TRUE(store().hasProgram("olk")) << "the file reads back";
}

namespace {

class ProductionTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::InstallationOptions options;
        options.writeCommands = [](const fs::path& f) { writeFileAtomically(f, demoCommandFile()); };
        options.mergeTool = fs::path(VOCABRELLA_MERGE_TOOL);
        platform::createInstallation(dir.path() / "dragon", options);
        dragon.emplace(dir.path() / "dragon");
        program = std::make_unique<Application>(StartupOptions{dir.path() / "home", {}}, *dragon, prompter, clock);
        ASSERT_TRUE(program->load());
        workspace.emplace(*program, clock);
    }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    std::optional<platform::SimulatedDragon> dragon;
    std::unique_ptr<Application> program;
    std::optional<ops::Workspace> workspace;
};

} // namespace

TEST_F(ProductionTest, TheSpeechUsersOwnFileRefusesFileWideChanges) {
    const auto path = program->commandFile().string();
    const auto before = readText(program->commandFile());
    const auto programs = program->session().store().distinctPrograms();
    const auto it = std::find_if(programs.begin(), programs.end(), [](const std::string& p) { return p != "Global Commands"; });
    ASSERT_NE(it, programs.end());

    BatchSelection all;
    all.program = *it;
    auto o = ops::RenameProgramChange(*workspace, all, "other").run();
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, optexts::ProductionRenameProgram);
    o = ops::ConvertVersion(*workspace, "6.0").run();
    EXPECT_EQ(prompter.last().text, wtexts::OpenUserFileNotAllowed);
    EXPECT_EQ(prompter.last().title, path);
    o = ops::ConvertLanguage(*workspace, "French").run();
    EXPECT_EQ(o.kind, Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, wtexts::CannotConvertUserFile);
    EXPECT_EQ(readText(program->commandFile()), before);

    // Only the program's own commands are allowed a new program name on this file.
    all.scope = BatchScope::CurrentApp;
    all.state = "Application-specific";
    o = ops::RenameProgramChange(*workspace, all, "other").run();
    EXPECT_TRUE(o.isDone()) << prompter.last().text;
}
