#include "CliRun.h"
#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "FileState.h"
#include "FormatFamilies.h"
#include "OpenCommandFile.h"
#include "TestHome.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/Sha256.h"
#include "ops/BatchDelete.h"
#include "ops/CloneCommand.h"
#include "ops/ConvertCommand.h"
#include "ops/ConvertFile.h"
#include "ops/ConvertKeys.h"
#include "ops/DeleteCommand.h"
#include "ops/ExportXml.h"
#include "ops/ImportXmlIntoFile.h"
#include "ops/NewCommand.h"
#include "ops/NewList.h"
#include "ops/RenameCommand.h"
#include "ops/RenameInBatch.h"
#include "ops/Rewrite.h"
#include "ops/SaveChanges.h"
#include "ops/SearchReplace.h"
#include "ops/Texts.h"
#include "ops/UndoRedo.h"
#include "shell/ChangeHistory.h"
#include "shell/Session.h"
#include "shell/Texts.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
namespace optexts = vocabrella::ops::texts;
using Bytes = std::vector<std::uint8_t>;
using ops::BatchScope;
using ops::BatchSelection;
using ops::Outcome;

namespace {

BuiltCommand wordCommand(std::string name) {
    return inProgram(globalCommand(std::move(name)), "WINWORD", "Word processor", "Maker Inc");
}

const ops::Place kGlobal{"Global Commands", "Global Commands"};

CommandFileBuilder sampleFile(std::uint8_t versionCode, std::string extra = {}) {
    CommandFileBuilder b(versionCode);
    b.add(globalCommand("Paste Cell"));
    b.add(globalCommand("open <app>"));
    b.add(globalCommand("type keys", kKindKeys, "{Ctrl+c}"));
    b.add(globalCommand("plain keys", kKindKeys, "hello"));
    b.add(globalCommand("scroll"));
    b.add(wordCommand("bold it"));
    if (!extra.empty()) b.add(globalCommand(std::move(extra)));
    b.add(BuiltList("app", {"word", "excel"}));
    b.add(BuiltList("spare", {"one"}));
    return b;
}

BatchSelection picked(std::vector<std::string> names) {
    BatchSelection s;
    s.scope = BatchScope::PickAndChoose;
    s.picked = std::move(names);
    return s;
}

// Every case runs on a file of each format family.
class UndoRedo : public OpenCommandFile<::testing::TestWithParam<std::uint8_t>> {
protected:
    void SetUp() override { open(sampleFile(GetParam())); }
    // A new program over the same home folder and file.
    void reopen() { openFile(); }
    ChangeHistory history() const { return ChangeHistory(home(), file()); }
    std::int64_t rowId(const std::string& name) { return session->store().findUser(kGlobal.program, kGlobal.scope, name)->ID; }

    // Runs a change that must be made and keeps the file it left.
    void made(const Outcome& outcome) {
        ASSERT_TRUE(outcome.isDone()) << (prompter.shown.empty() ? outcome.text : prompter.last().text);
        versions.push_back(bytes());
    }
    template <typename Op, typename... Args> void change(std::deque<std::string> answers, Args&&... args) {
        prompter.answers = std::move(answers);
        made(Op(*workspace, std::forward<Args>(args)...).run());
    }
    void expectRefusedUntouched(const Outcome& o, const std::string& text, const Bytes& before) {
        EXPECT_EQ(o.kind, Outcome::Kind::Refused);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().text, text);
        EXPECT_EQ(prompter.last().title, file().string());
        EXPECT_EQ(bytes(), before) << "the file is left as it was";
    }

    std::vector<Bytes> versions; // the file before the first change, then after each
};

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryFamily, UndoRedo, ::testing::ValuesIn(familyVersionCodes()), familyTestName);

// Every kind of change goes into the history under its own name; as many undos give back the
// first file byte for byte, and as many redos the last, the store agreeing with the file each time.
TEST_P(UndoRedo, EveryKindOfChangeIsUndoneAndRedoneByteForByte) {
    versions.push_back(bytes());
    const fs::path xml = dir.path() / "scroll.xml";
    change<ops::NewCommand>({}, ops::NewCommandRequest{kGlobal, "", "K", "more keys", "{Alt+f}", "", ""});
    change<ops::NewList>({}, "colors", "red\r\ngreen\r\n");
    {
        ops::Edit edit;
        edit.rowId = rowId("scroll");
        edit.bodyBefore = "Sub Main\r\nEnd Sub\r\n";
        edit.body = "Sub Main\r\n' edited\r\nEnd Sub\r\n";
        change<ops::SaveChanges>({}, std::move(edit));
    }
    change<ops::RenameCommand>({"yes", "yes"}, kGlobal, "Paste Cell", "Paste Cells");
    change<ops::CloneCommand>({}, kGlobal, "scroll", "scroll copy");
    change<ops::DeleteCommand>({"yes"}, kGlobal, "Paste Cells");
    change<ops::DeleteList>({"yes", "yes"}, "spare");
    change<ops::ConvertToPlainText>({}, kGlobal, "plain keys");
    change<ops::ConvertToAdvancedScript>({}, kGlobal, "more keys");
    change<ops::ConvertKeys>({}, picked({"type keys"}), ops::ConvertKeys::Mode::SendDragonKeys);
    ASSERT_TRUE(ops::ExportXml(*workspace, picked({"scroll copy"}), xml).run().isDone());
    change<ops::BatchDelete>({"yes"}, picked({"scroll copy"}));
    change<ops::ImportXmlIntoFile>({}, xml);
    {
        BatchSelection all;
        change<ops::RenameGroupChange>({}, all, "Office");
        BatchSelection word;
        word.scope = BatchScope::CurrentApp;
        word.program = "WINWORD";
        word.state = "Application-specific";
        change<ops::RenameProgramChange>({}, word, "Writer");
    }
    {
        ops::SearchReplace search(*workspace, BatchSelection{});
        search.findText = "Main";
        search.replaceWith = "Main ";
        made(search.replaceAll());
    }
    // A file is never converted into its own family.
    const std::string olderVersion = GetParam() == 3 ? "6.1" : "6.0";
    change<ops::ConvertVersion>({"ok"}, olderVersion);
    change<ops::ConvertLanguage>({"yes"}, "French");
    // A rewrite that changes no byte leaves nothing to undo.
    ASSERT_TRUE(ops::Rewrite(*workspace).run().isDone());
    ASSERT_EQ(bytes(), versions.back());

    const std::vector<std::string> names = {
        "New command \"more keys\"",
        "New LIST \"colors\"",
        "Save changes to \"scroll\"",
        "Rename \"Paste Cell\" to \"Paste Cells\"",
        "Clone \"scroll\" as \"scroll copy\"",
        "Delete \"Paste Cells\"",
        "Delete LIST \"spare\"",
        "Convert \"plain keys\" to plain text",
        "Convert \"more keys\" to an advanced script",
        "Convert 1 KEYS commands to SendDragonKeys scripts",
        "Delete 1 commands",
        "Import XML \"scroll.xml\"",
        "Move commands to group \"Office\"",
        "Rename program \"WINWORD\" to \"Writer\"",
        "Replace all \"Main\" with \"Main \"",
        "Convert the file to version " + olderVersion,
        "Convert the file to language French",
    };
    const std::size_t n = versions.size() - 1;
    ASSERT_EQ(n, names.size());
    {
        const auto h = history();
        ASSERT_EQ(h.entries().size(), n);
        EXPECT_EQ(h.position(), n);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(h.entries()[i].description, names[i]);
            EXPECT_EQ(h.entries()[i].before, sha256Hex(versions[i]));
            EXPECT_EQ(h.entries()[i].after, sha256Hex(versions[i + 1]));
        }
    }

    for (std::size_t k = n; k > 0; --k) {
        const auto o = ops::Undo(*workspace).run();
        ASSERT_TRUE(o.isDone()) << k << ": " << prompter.last().text;
        EXPECT_EQ(o.text, std::string(optexts::Undone) + names[k - 1]);
        ASSERT_EQ(bytes(), versions[k - 1]) << "after undoing " << names[k - 1];
        EXPECT_TRUE(StoreAgreesWithFile(session->store(), file())) << names[k - 1];
    }
    EXPECT_EQ(history().position(), 0u);
    expectRefusedUntouched(ops::Undo(*workspace).run(), std::string(optexts::NothingToUndo), versions.front());

    for (std::size_t k = 1; k <= n; ++k) {
        const auto o = ops::Redo(*workspace).run();
        ASSERT_TRUE(o.isDone()) << k << ": " << prompter.last().text;
        EXPECT_EQ(o.text, std::string(optexts::Redone) + names[k - 1]);
        ASSERT_EQ(bytes(), versions[k]) << "after redoing " << names[k - 1];
        EXPECT_TRUE(StoreAgreesWithFile(session->store(), file())) << names[k - 1];
    }
    expectRefusedUntouched(ops::Redo(*workspace).run(), std::string(optexts::NothingToRedo), versions.back());
    EXPECT_EQ(history().entries().size(), n) << "undo and redo add nothing to the history";
}

// When Dragon or another program wrote the file since, neither undo nor redo touches it; a file
// written again with the very bytes the history expects is undone as usual.
TEST_P(UndoRedo, AStepIsRefusedWhenTheFileWasChangedBehindTheProgramsBack) {
    versions.push_back(bytes());
    change<ops::RenameCommand>({"yes", "yes"}, kGlobal, "Paste Cell", "Paste Cells");
    const std::string renamed = "Rename \"Paste Cell\" to \"Paste Cells\"";

    sampleFile(GetParam(), "added by Dragon").writeFile(file());
    const Bytes foreign = bytes();
    expectRefusedUntouched(ops::Undo(*workspace).run(),
                           std::string(optexts::ChangedSinceStart) + renamed + std::string(optexts::ChangedSinceMade),
                           foreign);
    EXPECT_EQ(history().position(), 1u) << "a refused undo does not move through the history";
    EXPECT_FALSE(ops::historyOf(*workspace).fileAsExpected);
    // A change of the same size: one letter of a name.
    Bytes sameSize = versions[1];
    const std::string name = "Paste Cells";
    const auto at = std::search(sameSize.begin(), sameSize.end(), name.begin(), name.end());
    ASSERT_NE(at, sameSize.end());
    *(at + 10) = 'S';
    writeFileAtomically(file(), sameSize);
    expectRefusedUntouched(ops::Undo(*workspace).run(),
                           std::string(optexts::ChangedSinceStart) + renamed + std::string(optexts::ChangedSinceMade),
                           sameSize);

    // The renamed file back under a new time: the bytes decide, not the time.
    writeFileAtomically(file(), versions[1]);
    EXPECT_TRUE(ops::historyOf(*workspace).fileAsExpected);
    ASSERT_TRUE(ops::Undo(*workspace).run().isDone()) << prompter.last().text;
    EXPECT_EQ(bytes(), versions[0]);
    EXPECT_TRUE(StoreAgreesWithFile(session->store(), file()));

    sampleFile(GetParam(), "added by Dragon").writeFile(file());
    expectRefusedUntouched(ops::Redo(*workspace).run(),
                           std::string(optexts::ChangedSinceStart) + renamed + std::string(optexts::ChangedSinceUndone),
                           foreign);
    EXPECT_EQ(history().position(), 0u);
}

// A new change after an undo drops what could have been redone, and the versions only it kept.
TEST_P(UndoRedo, ANewChangeAfterAnUndoDropsTheRedo) {
    versions.push_back(bytes());
    change<ops::NewList>({}, "colors", "red\r\n");
    change<ops::NewList>({}, "sizes", "big\r\n");
    ASSERT_TRUE(ops::Undo(*workspace).run().isDone());
    ASSERT_TRUE(history().redoable());
    change<ops::NewList>({}, "shapes", "round\r\n");
    const auto h = history();
    ASSERT_EQ(h.entries().size(), 2u);
    EXPECT_EQ(h.entries()[1].description, "New LIST \"shapes\"");
    EXPECT_EQ(h.redoable(), nullptr);
    EXPECT_FALSE(fs::exists(h.folder() / "versions" / sha256Hex(versions[2]))) << "the dropped change's version goes";
    EXPECT_TRUE(fs::exists(h.folder() / "versions" / sha256Hex(versions[1])));
    expectRefusedUntouched(ops::Redo(*workspace).run(), std::string(optexts::NothingToRedo), versions[3]);
}

// A step killed after writing the file but before the history took it in leaves the file as the
// next redo makes it, or as the newest undo gives it back: the history recognises it (in the Edit
// menu's view, or in the next step's check) and moves to match, so undo and redo go on.
TEST_P(UndoRedo, AStepStoppedBeforeTheHistoryTookItInIsRecognised) {
    versions.push_back(bytes());
    change<ops::NewList>({}, "colors", "red\r\n");
    change<ops::NewList>({}, "sizes", "big\r\n");
    ASSERT_TRUE(ops::Undo(*workspace).run().isDone());
    struct Case {
        const char* stopped;
        std::size_t wrote, position;
        bool viewFirst;
    };
    for (const Case c : {Case{"redo", 2, 2, true}, Case{"undo", 0, 0, false}}) {
        SCOPED_TRACE(c.stopped);
        writeFileAtomically(file(), versions[c.wrote]);
        if (c.viewFirst) {
            EXPECT_EQ(ops::historyOf(*workspace, false).position, c.position) << "the Edit menu's view";
            EXPECT_TRUE(ops::historyOf(*workspace).fileAsExpected);
        }
        const auto o = c.position > 1 ? ops::Undo(*workspace).run() : ops::Redo(*workspace).run();
        ASSERT_TRUE(o.isDone()) << prompter.last().text;
        EXPECT_EQ(bytes(), versions[1]);
        EXPECT_EQ(history().position(), 1u);
    }
}

// The history is kept in the home folder: a program started anew over it undoes and redoes.
TEST_P(UndoRedo, TheHistoryIsThereAfterARestart) {
    versions.push_back(bytes());
    change<ops::NewList>({}, "colors", "red\r\n");
    change<ops::RenameCommand>({"yes", "yes"}, kGlobal, "scroll", "scroll down");
    reopen();
    const auto view = ops::historyOf(*workspace);
    ASSERT_EQ(view.entries.size(), 2u);
    EXPECT_EQ(view.position, 2u);
    EXPECT_TRUE(view.fileAsExpected);
    EXPECT_EQ(view.undoable()->description, "Rename \"scroll\" to \"scroll down\"");
    ASSERT_TRUE(ops::Undo(*workspace).run().isDone());
    reopen();
    EXPECT_EQ(ops::historyOf(*workspace).redoable()->description, "Rename \"scroll\" to \"scroll down\"");
    ASSERT_TRUE(ops::Undo(*workspace).run().isDone());
    EXPECT_EQ(bytes(), versions[0]);
    reopen();
    ASSERT_TRUE(ops::Redo(*workspace).run().isDone());
    ASSERT_TRUE(ops::Redo(*workspace).run().isDone());
    EXPECT_EQ(bytes(), versions[2]);
    EXPECT_TRUE(StoreAgreesWithFile(session->store(), file()));
}

// A history that cannot be read is told and never fatal: undo refuses with the file untouched,
// the next change is made, and the line that could not be read is put aside. A version missing
// from the history refuses the step likewise.
TEST_P(UndoRedo, ADamagedHistoryIsToldAndNeverFatal) {
    versions.push_back(bytes());
    change<ops::NewList>({}, "colors", "red\r\n");
    const fs::path list = history().folder() / "changes";
    auto text = readText(list);
    text.replace(text.find("New LIST"), 3, "\\q");
    writeFileAtomically(list, text);

    const std::string damaged = std::string(texts::HistoryLinesDamaged) + list.string() + ", line 4";
    EXPECT_EQ(history().problem(), damaged);
    EXPECT_TRUE(history().entries().empty());
    expectRefusedUntouched(ops::Undo(*workspace).run(), damaged, versions[1]);

    const auto told = prompter.messageCount();
    change<ops::NewList>({}, "sizes", "big\r\n");
    ASSERT_EQ(prompter.messageCount(), told + 1);
    EXPECT_EQ(prompter.last().text, damaged);
    EXPECT_EQ(readText(list.parent_path() / "changes.damaged"), text.substr(text.find("\n", text.find("position")) + 1));
    ASSERT_EQ(history().entries().size(), 1u);
    EXPECT_TRUE(history().problem().empty());

    fs::remove(history().folder() / "versions" / sha256Hex(versions[1]));
    expectRefusedUntouched(ops::Undo(*workspace).run(),
                           std::string(optexts::VersionLostStart) + std::string(optexts::VersionLostBefore) +
                               "New LIST \"sizes\"" + std::string(optexts::VersionLostEnd),
                           versions[2]);
    // A version whose bytes are no longer what its name says is as good as lost.
    Bytes spoilt = versions[1];
    spoilt.back() ^= 1;
    writeFileAtomically(history().folder() / "versions" / sha256Hex(versions[1]), spoilt);
    EXPECT_EQ(ops::Undo(*workspace).run().kind, Outcome::Kind::Refused);
    EXPECT_EQ(bytes(), versions[2]);

    // A history that cannot be written: the change is made all the same, and that is told.
    fs::remove_all(home() / "history");
    writeFileAtomically(home() / "history", std::string("not a folder"));
    change<ops::NewList>({}, "shapes", "round\r\n");
    EXPECT_TRUE(prompter.last().text.starts_with(optexts::HistoryNotKept)) << prompter.last().text;
    EXPECT_TRUE(StoreAgreesWithFile(session->store(), file()));
}

// The newest changes are kept up to the count, beyond it only while the bytes and entries allow:
// the oldest go first, the position follows, and their versions are removed.
TEST(ChangeHistoryBound, TheOldestChangesGoFirst) {
    TempDir dir;
    const fs::path file = dir.path() / "mycmds.dat";
    writeFileAtomically(file, std::string("x"));
    const auto version = [](int i) { return Bytes(100, static_cast<std::uint8_t>(i)); };
    const auto now = std::chrono::system_clock::now();
    {
        ChangeHistory h(dir.path(), file, {3, 5, 1u << 20});
        for (int i = 0; i < 8; ++i) h.record("change " + std::to_string(i), now, version(i), version(i + 1));
        ASSERT_EQ(h.entries().size(), 5u) << "no more entries than allowed";
        EXPECT_EQ(h.entries().front().description, "change 3");
        EXPECT_EQ(h.position(), 5u);
        EXPECT_EQ(h.keptBytes(), 600u);
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& f : fs::directory_iterator(h.folder() / "versions")) ++files;
        EXPECT_EQ(files, 6u) << "versions 3 to 8, each once";
        EXPECT_FALSE(h.version(sha256Hex(version(2)), 100));
        EXPECT_EQ(h.version(sha256Hex(version(3)), 100), version(3));
    }
    // Over the bytes allowed, the count still keeps the newest few.
    ChangeHistory h(dir.path(), file, {3, 100, 250});
    EXPECT_EQ(h.entries().size(), 5u) << "read back as written";
    h.undone();
    h.record("change 8", now, version(7), version(9));
    ASSERT_EQ(h.entries().size(), 3u);
    EXPECT_EQ(h.entries().front().description, "change 5");
    EXPECT_EQ(h.entries().back().description, "change 8");
    EXPECT_EQ(h.position(), 3u);
}

TEST(ChangeHistoryBound, FiftyChangesAreKeptWhateverTheirSize) {
    TempDir dir;
    const fs::path file = dir.path() / "mycmds.dat";
    writeFileAtomically(file, std::string("x"));
    HistoryLimits limits;
    EXPECT_EQ(limits.keepAtLeast, 50u);
    limits.mostBytes = 1;
    ChangeHistory h(dir.path(), file, limits);
    const auto now = std::chrono::system_clock::now();
    for (int i = 0; i < 55; ++i)
        h.record("change " + std::to_string(i) + "\t\\ \"q\"\r\n", now, Bytes(10, static_cast<std::uint8_t>(i)),
                 Bytes(10, static_cast<std::uint8_t>(i + 1)));
    ChangeHistory again(dir.path(), file, limits);
    ASSERT_EQ(again.entries().size(), 50u);
    EXPECT_EQ(again.entries().front().description, "change 5\t\\ \"q\"\r\n");
    EXPECT_TRUE(again.problem().empty());
}

// The command line: history, undo and redo over the history in --home, run after changes of
// every verb that writes; a refusal exits 1 and says why.
TEST(UndoRedoCommandLine, HistoryUndoAndRedoOfTheCommandLinesChanges) {
    TempDir dir;
    const fs::path file = dir.path() / "my cmds.dat";
    sampleFile(7).writeFile(file);
    const std::string home = "--home '" + (dir.path() / "home").string() + "' ";
    const std::string f = " '" + file.string() + "'";
    std::vector<Bytes> versions{readFileBytes(file)};
    const std::vector<std::string> changes = {
        "new-command" + f + " 'new one' --kind K --text '{Ctrl+n}'",
        "new-list" + f + " colors --item red --item green",
        "set-body" + f + " 'type keys' --text '{Ctrl+v}'",
        "rename" + f + " scroll 'scroll down'",
        "clone" + f + " 'scroll down' 'scroll up'",
        "delete" + f + " --name 'Paste Cell'",
        "delete-list" + f + " spare",
        "replace" + f + " --everything Main 'Main '",
    };
    for (const auto& c : changes) {
        const auto run = runCli("--yes " + home + c);
        ASSERT_EQ(run.status, 0) << c << "\n" << run.err;
        versions.push_back(readFileBytes(file));
        ASSERT_NE(versions.back(), versions[versions.size() - 2]) << c;
    }
    auto run = runCli(home + "history" + f);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              std::string(optexts::HistoryOf) + fs::weakly_canonical(file).string() +
                  std::string(optexts::HistoryNewestFirst));
    const auto line2 = run.out.substr(run.out.find('\n') + 1);
    EXPECT_TRUE(line2.starts_with(optexts::HistoryUndoMark)) << run.out;
    EXPECT_NE(line2.find("Replace all \"Main\" with \"Main \"\n"), std::string::npos) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 9) << run.out;

    for (std::size_t k = changes.size(); k > 0; --k) {
        run = runCli(home + "undo" + f);
        ASSERT_EQ(run.status, 0) << k << "\n" << run.err;
        EXPECT_TRUE(run.out.starts_with(optexts::Undone)) << run.out;
        ASSERT_EQ(readFileBytes(file), versions[k - 1]) << changes[k - 1];
    }
    run = runCli(home + "undo" + f);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(optexts::NothingToUndo), std::string::npos) << run.err;
    run = runCli(home + "history" + f);
    ASSERT_EQ(run.status, 0);
    const auto lastLine = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
    EXPECT_TRUE(lastLine.starts_with(optexts::HistoryRedoMark)) << run.out;
    EXPECT_NE(lastLine.find("New command \"new one\""), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.substr(run.out.find('\n') + 1).starts_with(optexts::HistoryUndoneMark)) << run.out;

    for (std::size_t k = 1; k <= changes.size(); ++k) {
        run = runCli(home + "redo" + f);
        ASSERT_EQ(run.status, 0) << k << "\n" << run.err;
        ASSERT_EQ(readFileBytes(file), versions[k]) << changes[k - 1];
    }
    EXPECT_EQ(runCli(home + "redo" + f).status, 1);

    // Another program writes the file: undo refuses and leaves it, history says so.
    sampleFile(7, "added by Dragon").writeFile(file);
    const auto foreign = readFileBytes(file);
    run = runCli(home + "undo" + f);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(std::string(optexts::ChangedSinceStart) + "Replace all"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFileBytes(file), foreign);
    run = runCli(home + "history" + f);
    EXPECT_NE(run.out.find(optexts::HistoryFileChanged), std::string::npos) << run.out;
}

// The digest that names the versions: the standard's own examples, across the padding's edges.
TEST(ChangeHistoryDigest, Sha256OfKnownTexts) {
    const auto digest = [](std::string_view text) {
        return sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    EXPECT_EQ(digest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(digest("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(digest(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}
