// What a change keeps and what it says: the history holds exactly what the change wrote, a file
// changed when the store could not follow is told as changed, a command file that an export
// replaces is backed up and can be undone, and the command line keeps its backups and history in
// the program's own home, beside a window running on it.
#include "BuiltCommands.h"
#include "CliRun.h"
#include "CommandFileBuilder.h"
#include "FileState.h"
#include "OpenCommandFile.h"
#include "TestHome.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Sha256.h"
#include "ops/NewList.h"
#include "ops/RenameCommand.h"
#include "ops/Texts.h"
#include "ops/UndoRedo.h"
#include "shell/ChangeHistory.h"
#include "shell/FileBackups.h"
#include "cmdfile/System.h"

#include <sqlite3.h>

#include <algorithm>
#include <thread>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
namespace optexts = vocabrella::ops::texts;
using Bytes = std::vector<std::uint8_t>;
using ops::Outcome;

namespace {

const ops::Place kGlobal{"Global Commands", "Global Commands"};

CommandFileBuilder smallFile() {
    CommandFileBuilder b;
    b.add(globalCommand("scroll"));
    b.add(globalCommand("paste it"));
    b.add(BuiltList("app", {"word", "excel"}));
    return b;
}

class KeptChanges : public OpenCommandFile<> {
protected:
    void SetUp() override { open(smallFile()); }
    Prompter& sessionPrompter() override { return hooked; }
    ChangeHistory history() const { return ChangeHistory(home(), file()); }

    HookedPrompter hooked{prompter};
};

} // namespace

// Another program writes the file while the change has Dragon (here the store) take it up, after
// the change let go of its lock: the history's "after" is what the change wrote, so Undo refuses
// rather than take the other program's change back.
TEST_F(KeptChanges, TheHistoryHoldsWhatTheChangeWroteNotWhatCameAfter) {
    Bytes written;
    hooked.onCounts = [&](std::string_view) {
        if (!written.empty()) return;
        written = bytes();
        inAnotherProgram(file(), [](Session&, ops::Workspace& ws) { ASSERT_TRUE(ops::NewList(ws, "theirs", "x\r\n").run().isDone()); });
    };
    ASSERT_TRUE(ops::NewList(*workspace, "mine", "y\r\n").run().isDone()) << prompter.last().text;
    hooked.onCounts = nullptr;
    const Bytes theirs = bytes();
    ASSERT_NE(theirs, written);
    ASSERT_EQ(history().entries().size(), 1u);
    EXPECT_EQ(history().entries()[0].after, sha256Hex(written));
    EXPECT_EQ(ops::Undo(*workspace).run().kind, Outcome::Kind::Refused);
    EXPECT_EQ(bytes(), theirs) << "the other program's change stays";
}

// A file rewritten by another program within one tick of its clock keeps its time: its size still
// tells that it changed.
TEST_F(KeptChanges, AChangeThatKeptTheFilesTimeIsSeenByItsSize) {
    const auto time = fs::last_write_time(file());
    inAnotherProgram(file(), [](Session&, ops::Workspace& ws) { ASSERT_TRUE(ops::NewList(ws, "theirs", "x\r\n").run().isDone()); });
    fs::last_write_time(file(), time);
    EXPECT_TRUE(workspace->changedOnDisk());
}

// The file is written, then the store fails (a full disk): the user is told that the file holds
// the change and can be undone, and what to do; the next start reads the file afresh.
TEST_F(KeptChanges, AStoreThatFailsAfterTheWriteIsToldAsSuch) {
    const Bytes before = bytes();
    ASSERT_EQ(sqlite3_exec(store().handle(),
                           "CREATE TEMP TRIGGER full BEFORE INSERT ON main.user "
                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const auto o = ops::NewList(*workspace, "colors", "red\r\n").run();
    EXPECT_EQ(o.kind, Outcome::Kind::Failed);
    EXPECT_TRUE(o.text.starts_with(optexts::StoreBehindStart)) << o.text;
    EXPECT_NE(o.text.find("database or disk is full"), std::string::npos) << o.text;
    EXPECT_NE(o.text.find(optexts::StoreBehindUndo), std::string::npos) << o.text;
    EXPECT_EQ(prompter.last().text, o.text);
    EXPECT_NE(bytes(), before);
    ASSERT_EQ(history().entries().size(), 1u);

    openFile(); // a new start: the store is read again from the file
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
    ASSERT_TRUE(ops::Undo(*workspace).run().isDone());
    EXPECT_EQ(bytes(), before);
}

// An export into a command file that exists is a change of that file: asked first unless --yes,
// its day's backup kept, its change undoable, for replacing and for appending alike.
TEST_F(KeptChanges, AnExportIntoAnExistingFileIsAChangeOfIt) {
    const fs::path target = dir.path() / "target.dat";
    const std::string run = "--home " + quoted(home()) + " ";
    for (const char* how : {"--overwrite", "--append"}) {
        CommandFileBuilder other;
        other.add(globalCommand("theirs"));
        other.add(globalCommand("also theirs"));
        other.writeFile(target);
        const Bytes original = readFileBytes(target);
        const std::string exportIt = "export " + quoted(file()) + " --everything --to " + quoted(target) + " " + how;

        auto r = runCli(run + exportIt);
        EXPECT_EQ(r.status, 1) << how;
        EXPECT_NE(r.err.find(std::string(how) == "--append" ? optexts::ExportAppendExisting : optexts::ExportReplaceExisting),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(readFileBytes(target), original) << how;

        r = runCli(run + "--yes " + exportIt);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(readFileBytes(target), original);
        EXPECT_EQ(readFileBytes(FileBackups::takeDaily(home(), target, clock)), original) << "the backup of the day";
        r = runCli(run + "undo " + quoted(target));
        ASSERT_EQ(r.status, 0) << how << r.err;
        EXPECT_EQ(readFileBytes(target), original) << how;
        fs::remove_all(home() / "file-backups");
    }
}

// Without --home the command line keeps backups and history in the program's own home (the
// tests' $VOCABRELLA_HOME), so that a later run undoes; with --home it says where the backup went.
TEST(CommandLineHome, BackupsAndHistoryAreKeptInTheProgramsHome) {
    TempDir dir;
    const fs::path file = dir.path() / "clear-categories.dat";
    copySampleToChange("clear-categories.dat", file);
    const Bytes original = readFileBytes(file);
    const fs::path home = os::pathFrom(os::environment("VOCABRELLA_HOME"));
    ASSERT_FALSE(home.empty()) << "the tests name the program's home";

    const std::string setBody = "set-body " + quoted(file) + " 'clear <outlook_categories_plural>' --program OUTLOOK --text ";
    auto r = runCli(setBody + "'Sub Main\r\nEnd Sub\r\n'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "the usual home goes without saying";
    EXPECT_TRUE(fs::exists(FileBackups::folderOf(home, file)));
    r = runCli("undo " + quoted(file));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFileBytes(file), original);

    const fs::path named = dir.path() / "home";
    r = runCli("--home " + quoted(named) + " " + setBody + "'Sub Main\r\nEnd Sub\r\n'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find(os::pathText(FileBackups::folderOf(named, file))), std::string::npos) << r.err;
}

// A window holds the home (its single-instance lock, its store with its own file): the command
// line runs beside it, leaves its store alone, and the changes of both on one file, made at once,
// all land, each in the history.
TEST_F(KeptChanges, TheCommandLineRunsBesideAWindowOnOneHome) {
    const fs::path other = dir.path() / "other.dat";
    smallFile().writeFile(other);
    const std::string run = "--home " + quoted(home()) + " --yes ";
    ASSERT_EQ(runCli(run + "new-list " + quoted(other) + " elsewhere --item a").status, 0);
    EXPECT_TRUE(StoreAgreesWithFile(store(), file())) << "the window's store still holds its file";

    constexpr int kEach = 4;
    std::thread commandLine([&] {
        for (int i = 0; i < kEach; ++i) {
            const auto r = runCliProcess(run + "new-list " + quoted(file()) + " cli" + std::to_string(i) + " --item a");
            EXPECT_EQ(r.status, 0) << r.err;
        }
    });
    for (int i = 0; i < kEach; ++i) {
        prompter.answers = {"yes", "yes"};
        EXPECT_TRUE(ops::NewList(*workspace, "window" + std::to_string(i), "b\r\n").run().isDone()) << prompter.last().text;
    }
    commandLine.join();
    openFile();
    const auto lists = store().globalListNames();
    for (int i = 0; i < kEach; ++i)
        for (const char* who : {"cli", "window"})
            EXPECT_NE(std::find(lists.begin(), lists.end(), who + std::to_string(i)), lists.end()) << who << i;
    EXPECT_EQ(history().entries().size(), 2u * kEach);
}

// Text for a terminal shows the control characters a terminal would act on; elsewhere it is exact.
TEST(CommandLineOutput, ControlCharactersAreShownEscapedOnATerminal) {
    TempDir dir;
    const fs::path file = dir.path() / "mycmds.dat";
    // As another program may have written it: ESC, BEL and a C1 control (byte 9D is U+009D).
    CommandFileBuilder b;
    b.add(globalCommand("retitle", kKindAdvancedScript, "a\x1b]0;owned\x07 b\x9d" "c\td\r\n"));
    b.writeFile(file);
    const std::vector<std::string> show{"show", file.string(), "retitle"};
    EXPECT_EQ(runCliArgs(show, true).out, "a\\x1b]0;owned\\x07 b\\x9dc\td\r\n");
    EXPECT_EQ(runCliArgs(show).out, "a\x1b]0;owned\x07 b\xc2\x9d" "c\td\r\n");

#ifndef _WIN32 // a symbolic link needs a privilege there
    // A link to nothing is not written through.
    const fs::path link = dir.path() / "report.txt";
    fs::create_symlink(dir.path() / "nowhere.txt", link);
    const auto r = runCliArgs({"report", file.string(), "--everything", "--format", "txt", "-o", link.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(optexts::DanglingLink), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.path() / "nowhere.txt"));
#endif
}
