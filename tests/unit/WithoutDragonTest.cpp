#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/System.h"
#include "ops/SaveChanges.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/FileBackups.h"
#include "shell/Session.h"
#include "shell/platform/SimulatedDragon.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

CommandFileBuilder fileWith(const std::string& name, const std::string& body) {
    BuiltCommand c;
    c.name = name;
    c.kind = kKindKeys;
    c.text = body;
    CommandFileBuilder b;
    b.add(c);
    return b;
}

std::string today() {
    const std::time_t t = std::time(nullptr);
    const std::tm tm = os::localTime(t);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%m%d%Y", &tm);
    return buffer;
}

// The program started with no installation named, over a home folder of its own.
class WithoutDragon : public ::testing::Test {
protected:
    fs::path home() const { return dir.path() / "home"; }
    Application& start(const std::string& commandLine = {}) {
        program.reset();
        program = std::make_unique<Application>(StartupOptions{home(), commandLine, true}, dragon, prompter, clock);
        EXPECT_TRUE(program->load());
        return *program;
    }
    ops::Outcome setBody(Application& app, const std::string& name, const std::string& body) {
        ops::Workspace ws(app, clock);
        const auto row = app.session().store().findUser("Global Commands", "Global Commands", name);
        EXPECT_TRUE(row);
        ops::Edit edit;
        edit.rowId = row->ID;
        edit.bodyBefore = row->script;
        edit.body = body;
        return ops::SaveChanges(ws, edit).run();
    }

    TempDir dir;
    ScriptedPrompter prompter;
    SystemClock clock;
    platform::SimulatedDragon dragon{std::nullopt};
    std::unique_ptr<Application> program;
};

} // namespace

TEST_F(WithoutDragon, TheProgramStartsOnTheFileNamedOrOnNone) {
    const fs::path file = dir.path() / "colleague.dat";
    fileWith("copy that", "{Ctrl+c}").writeFile(file);

    auto& app = start(file.string());
    EXPECT_FALSE(app.dragonAvailable());
    const auto context = app.SelectCallingContext();
    EXPECT_TRUE(context.openedFile);
    EXPECT_EQ(app.caption(), "Vocabrella - " + fs::canonical(file).string());
    EXPECT_TRUE(app.session().store().findUser("Global Commands", "Global Commands", "copy that"));
    EXPECT_TRUE(prompter.shown.empty()) << prompter.last().text;
    EXPECT_FALSE(app.RefreshIfChanged(true));
    EXPECT_THROW(app.filereload(), Refusal);
    app.shutdown();

    // No file: nothing of the earlier one is left to show, and a change has nowhere to go.
    auto& empty = start();
    empty.SelectCallingContext();
    EXPECT_TRUE(empty.commandFile().empty());
    EXPECT_EQ(empty.caption(), "Vocabrella");
    EXPECT_EQ(empty.session().store().userCount(), 0);
    ops::Workspace ws(empty, clock);
    ops::Edit edit;
    edit.body = "x";
    EXPECT_EQ(ops::SaveChanges(ws, edit).run().kind, ops::Outcome::Kind::Refused);
    EXPECT_EQ(prompter.last().text, "No command file is open");
    empty.shutdown();

    // An argument that names no file can only have been meant as one.
    auto& missing = start((dir.path() / "gone.dat").string());
    missing.SelectCallingContext();
    EXPECT_EQ(prompter.last().text, "File does not exist");
    EXPECT_EQ(prompter.last().title, (dir.path() / "gone.dat").string());
    missing.shutdown();
    const auto told = prompter.shown.size();
    start("Global Commands").SelectCallingContext();
    EXPECT_EQ(prompter.shown.size(), told);
}

TEST_F(WithoutDragon, AChangeBacksTheFileUpOnceADayInAFolderOfItsOwn) {
    const fs::path first = dir.path() / "a" / "mycmds.dat", second = dir.path() / "b" / "mycmds.dat";
    fs::create_directories(first.parent_path());
    fs::create_directories(second.parent_path());
    fileWith("copy that", "{Ctrl+c}").writeFile(first);
    fileWith("copy that", "{Ctrl+x}").writeFile(second);
    const auto original = readFileBytes(first), secondOriginal = readFileBytes(second);

    auto& app = start(first.string());
    app.SelectCallingContext();
    ASSERT_TRUE(setBody(app, "copy that", "{Ctrl+Insert}").isDone());
    EXPECT_EQ(app.session().store().findUser("Global Commands", "Global Commands", "copy that")->script, "{Ctrl+Insert}");
    const fs::path backup = FileBackups::folderOf(home(), first) / ("mycmds.dat." + today());
    ASSERT_TRUE(fs::exists(backup));
    EXPECT_EQ(readFileBytes(backup), original);
    EXPECT_EQ(readText(FileBackups::folderOf(home(), first) / "path"), fs::canonical(first).string() + "\n");
    // The second change of the day keeps the copy of the file as it was before the first.
    ASSERT_TRUE(setBody(app, "copy that", "{Shift+Insert}").isDone());
    EXPECT_EQ(readFileBytes(backup), original);
    EXPECT_NE(readFileBytes(first), original);

    // Another file of the same name gets a folder of its own.
    ASSERT_TRUE(app.FileOpenNoDialog(second));
    ASSERT_TRUE(setBody(app, "copy that", "{Ctrl+Delete}").isDone());
    EXPECT_NE(FileBackups::folderOf(home(), second), FileBackups::folderOf(home(), first));
    EXPECT_EQ(readFileBytes(FileBackups::folderOf(home(), second) / ("mycmds.dat." + today())), secondOriginal);
    // No speech user, so no user's backup folder and nothing to roll back.
    EXPECT_FALSE(fs::exists(home() / "mycmds.dat"));
    EXPECT_EQ(app.rollbackEntries().size(), 0u);
}

TEST_F(WithoutDragon, TheCommandLinesChangesAreBackedUpInTheHomeFolderToo) {
    const fs::path file = dir.path() / "plain.dat";
    fileWith("copy that", "{Ctrl+c}").writeFile(file);
    const auto original = readFileBytes(file);
    Session session(home(), prompter, clock);
    ASSERT_TRUE(session.open(file).success);
    ops::Workspace ws(session, clock);
    const auto row = session.store().findUser("Global Commands", "Global Commands", "copy that");
    ops::Edit edit;
    edit.rowId = row->ID;
    edit.bodyBefore = row->script;
    edit.body = "{Ctrl+Insert}";
    ASSERT_TRUE(ops::SaveChanges(ws, edit).run().isDone());
    EXPECT_EQ(readFileBytes(FileBackups::folderOf(home(), file) / ("plain.dat." + today())), original);
}
