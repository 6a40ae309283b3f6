#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/TimeText.h"
#include "shell/Application.h"
#include "shell/HomeFolder.h"
#include "shell/DemoCommandFile.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "writer/Updater.h"

#include "ProcessRunner.h"
#include "cmdfile/System.h"

using namespace vocabrella;
using namespace vocabrella::platform;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    fs::path home() const { return dir.path() / "home"; }
    fs::path root() const { return dir.path() / "dragon"; }
    fs::path userFile() const { return InstallationLayout::of(root()).usersFolder() / "Speaker" / "current" / "mycmds.dat"; }

    void install(std::optional<fs::path> mergeTool = fs::path(VOCABRELLA_MERGE_TOOL)) {
        InstallationOptions options;
        options.writeCommands = [](const fs::path& file) { writeFileAtomically(file, demoCommandFile()); };
        options.mergeTool = mergeTool;
        createInstallation(root(), options);
    }
    Application& start(Clock& clock) {
        dragon.emplace(root());
        program = std::make_unique<Application>(StartupOptions{home(), {}}, *dragon, prompter, clock);
        EXPECT_TRUE(program->load());
        return *program;
    }
    std::vector<std::string> traceLines() {
        std::vector<std::string> lines;
        std::istringstream in(readText(home() / "trace.vbl"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::size_t count(const std::string& label) {
        const auto lines = traceLines();
        return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(label, 0) == 0; }));
    }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock fakeClock;
    SystemClock realClock;
    std::optional<SimulatedDragon> dragon;
    std::unique_ptr<Application> program;
};

std::string today(const char* format) {
    const std::time_t t = std::time(nullptr);
    const std::tm tm = os::localTime(t);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, format, &tm);
    return buffer;
}

} // namespace

TEST_F(ApplicationTest, StartUpReadsTheDemoUserOnceADayAndBacksItUp) {
    install();
    auto& app = start(fakeClock);
    EXPECT_EQ(app.displayedUserName(), "Speaker");
    EXPECT_EQ(fs::weakly_canonical(app.commandFile()), fs::weakly_canonical(userFile()));
    EXPECT_GT(app.session().reader().file().info.commandCount, 20u);
    for (const char* label : {"calling window", "after open db", "after open user", "after open parameters",
                              "after open dvcmap", "after open states", "after register", "after vocaux",
                              "after voice commands", "b4 processing", "binary done", "before getoptions",
                              "after getoptions"})
        EXPECT_EQ(count(label), 1u) << label;
    const fs::path backup = home() / "Speaker" / ("mycmds." + today("%m%d%Y"));
    ASSERT_TRUE(fs::exists(backup));
    EXPECT_EQ(readFileBytes(backup), readFileBytes(userFile()));
    EXPECT_EQ(app.rollbackEntries(), std::vector<std::string>{backup.filename().string()});
    app.shutdown();
    program.reset();

    // The same day again: no second parse, no second backup.
    const auto backupTime = fs::last_write_time(backup);
    start(fakeClock);
    EXPECT_EQ(count("b4 processing"), 1u);
    EXPECT_EQ(fs::last_write_time(backup), backupTime);
}

TEST_F(ApplicationTest, FailuresOfTheLoadSequenceGiveTheirMessages) {
    install();
    {
        // A second instance: the first holds the trace.
        start(fakeClock);
        SimulatedDragon secondDragon(root());
        Application second(StartupOptions{home(), {}}, secondDragon, prompter, fakeClock);
        EXPECT_THROW(second.load(), EndProgram);
        EXPECT_EQ(prompter.last().text, "Vocabrella is already running");
        program.reset();
    }
    {
        // A store that cannot be opened (a damaged one is made again instead).
        fs::remove(home() / "global.mdb");
        fs::create_directory(home() / "global.mdb");
        SimulatedDragon installed(root());
        Application app(StartupOptions{home(), {}}, installed, prompter, fakeClock);
        EXPECT_THROW(app.load(), EndProgram);
        EXPECT_EQ(prompter.last().text, "Could not open global.mdb database, sorry");
        EXPECT_EQ(prompter.last().title, "VBL will now exit");
        fs::remove(home() / "global.mdb");
        Application missing(StartupOptions{home(), {}}, installed, prompter, fakeClock);
        EXPECT_THROW(missing.load(), EndProgram);
        EXPECT_EQ(prompter.last().text, "Required Vocabrella file global.mdb missing--reinstall");
        EXPECT_EQ(prompter.last().title, (home() / "global.mdb").string());
        fs::remove_all(home());
    }
    {
        // A command file that cannot be parsed.
        writeFileAtomically(userFile(), std::string_view("LHSP\x07 broken"));
        SimulatedDragon installed(root());
        Application app(StartupOptions{home(), {}}, installed, prompter, fakeClock);
        EXPECT_THROW(app.load(), EndProgram);
        EXPECT_EQ(prompter.last().text,
                  "I'm sorry.  Vocabrella cannot correctly parse this file.\r\nPlease send your file above to "
                  "Quillfeather. Please send at least:\r\n\r\n" + (home() / "error.log and trace.vbl").string());
        EXPECT_EQ(prompter.last().title, userFile().string());
    }
    {
        // No installation at all.
        SimulatedDragon none(std::nullopt);
        Application app(StartupOptions{home(), {}}, none, prompter, fakeClock);
        EXPECT_FALSE(app.load());
        EXPECT_EQ(prompter.last().text,
                  "Either NaturallySpeaking is NOT (completely) installed on this machine, OR\r\n"
                  "Needs to be restarted (Possibly rebooted)");
    }
}

TEST_F(ApplicationTest, SavingTheUsersFileRunsTheMergeToolAndRefreshes) {
    install();
    auto& app = start(realClock);
    const auto row = app.session().store().findUser("Global Commands", "Global Commands", "my email address");
    ASSERT_TRUE(row);
    const auto before = fs::last_write_time(userFile());
    CommandFileUpdater(app.session().writerEnvironment()).Update1Body(row->ID, "someone@example.com");
    app.SaveAndReload();
    EXPECT_NE(fs::last_write_time(userFile()), before);
    EXPECT_EQ(prompter.statusLines.back(), "Update processed, User ready");
    EXPECT_EQ(count("after fast save refresh"), 1u);
    EXPECT_EQ(app.session().store().findUser("Global Commands", "Global Commands", "my email address")->script,
              "someone@example.com");
    EXPECT_EQ(app.session().store().parameters().mycmdstime, writeTimeStamp(userFile()));
}

TEST_F(ApplicationTest, AMergeToolThatChangesNothingFailsAfterFiftyOnePolls) {
    const fs::path idle = dir.path() / "idle-tool";
    writeFileAtomically(idle, std::string_view("#!/bin/sh\nexit 0\n"));
    fs::permissions(idle, fs::perms::owner_all);
    install(idle);
    auto& app = start(fakeClock);
    EXPECT_FALSE(app.FastSave(home() / "placer.dat"));
    EXPECT_EQ(prompter.last().text, "Unable to update above file");
    EXPECT_EQ(prompter.last().title, app.commandFile().string());
    EXPECT_EQ(count("counter= "), 51u);
    EXPECT_FALSE(app.mergePerformed());
}

TEST_F(ApplicationTest, AFileChangedBehindTheProgramsBackIsReadAgainBeforeTheNextEdit) {
    install();
    auto& app = start(fakeClock);
    EXPECT_FALSE(app.RefreshIfChanged(true));
    CommandFileBuilder other(7);
    BuiltCommand c;
    c.name = "only one now";
    c.kind = kKindKeys;
    c.text = "{Enter}";
    other.add(c);
    other.writeFile(userFile());
    fs::last_write_time(userFile(), fs::last_write_time(userFile()) + std::chrono::seconds(2));
    EXPECT_TRUE(app.RefreshIfChanged(true));
    const auto rows = app.session().store().allUsers();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "only one now");
}

TEST_F(ApplicationTest, RollbackRestoresAndKeepsThePreviousFile) {
    install();
    auto& app = start(fakeClock);
    const auto original = readFileBytes(userFile());
    const auto row = app.session().store().findUser("Global Commands", "Global Commands", "my email address");
    CommandFileUpdater(app.session().writerEnvironment()).Update1Body(row->ID, "changed@example.com");
    app.RollBackCheck(false); // the day's backup is there already and is not replaced
    const auto changed = readFileBytes(userFile());
    ASSERT_NE(changed, original);
    const auto entries = app.RollBackListBuild();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].substr(0, 9), "mycmds." + today("%m"));

    // Only a backup the list names, and only one that reads as a command file, is restored.
    prompter.answers = {"ok", "ok"};
    const auto elsewhere = dir.path() / "notes.txt";
    writeFileAtomically(elsewhere, std::string_view("just some text"));
    EXPECT_FALSE(app.restore(elsewhere.string()));
    EXPECT_EQ(prompter.last().text, "This is not one of this month's backups of the user; choose one the list names.");
    const std::string forged = "mycmds." + today("%m") + "01" + today("%Y");
    writeFileAtomically(home() / "Speaker" / forged, std::string_view("just some text"));
    if (forged != entries[0]) {
        EXPECT_FALSE(app.restore(forged));
        EXPECT_NE(prompter.last().text.find("is not a readable command file"), std::string::npos) << prompter.last().text;
        fs::remove(home() / "Speaker" / forged);
    }
    EXPECT_EQ(readFileBytes(userFile()), changed);

    prompter.answers = {"cancel"};
    EXPECT_FALSE(app.restore(entries[0]));
    EXPECT_EQ(prompter.last().title, "Restore from archived file?");
    EXPECT_EQ(readFileBytes(userFile()), changed);
    // A copy of a listed backup elsewhere is no backup; the listed one is also named by its path.
    const auto copy = dir.path() / entries[0];
    fs::copy_file(home() / "Speaker" / entries[0], copy);
    EXPECT_FALSE(app.restore(copy.string()));
    EXPECT_EQ(prompter.last().text, "This is not one of this month's backups of the user; choose one the list names.");
    prompter.answers = {"ok"};
    EXPECT_TRUE(app.restore((home() / "Speaker" / ".." / "Speaker" / entries[0]).string()));
    EXPECT_EQ(readFileBytes(userFile()), original);
    EXPECT_EQ(readFileBytes(home() / "Speaker" / "mycmds.prerollback"), changed);
    EXPECT_EQ(app.RollBackListBuild(), entries) << "the pre-rollback copy is never offered";

    app.rollbackset();
    EXPECT_EQ(prompter.last().text, "User 'Speaker'\r\n\r\n" + fs::weakly_canonical(userFile()).string() +
                                        "\r\n\r\nBackup taken successfully to above named file");
}

TEST_F(ApplicationTest, TheStoreIsCompactedOnlyAboveThreeMillionBytes) {
    install();
    auto& app = start(fakeClock);
    EXPECT_FALSE(app.CompactStore(false));
    EXPECT_EQ(count("b4 compact db"), 0u);
    EXPECT_TRUE(app.CompactStore(true));
    EXPECT_EQ(count("b4 compact db"), 1u);
    EXPECT_EQ(count("after compact"), 1u);
}

TEST_F(ApplicationTest, OwnCommandsAreImportedThroughTheMergeTool) {
    install();
    auto& app = start(realClock);
    EXPECT_FALSE(app.ownCommandsPresent());
    EXPECT_TRUE(app.importOwnCommands());
    EXPECT_TRUE(app.ownCommandsPresent());
}

TEST(HomeFolderTest, AnEmptyFolderIsANewHomeAndHalfMadeOnesOfDeadRunsGo) {
    TempDir dir;
    const auto home = dir.path() / "home";
    fs::create_directory(home);
    EXPECT_EQ(HomeFolder::prepare(home), HomeFolder::State::Created);
    EXPECT_TRUE(fs::exists(HomeFolder::storePath(home)));
    EXPECT_TRUE(fs::exists(home / "keynames"));
    EXPECT_EQ(HomeFolder::prepare(home), HomeFolder::State::Ready);

    // A folder that holds something else is not taken over.
    const auto other = dir.path() / "other";
    fs::create_directory(other);
    writeFileAtomically(other / "notes.txt", std::string_view("mine"));
    EXPECT_EQ(HomeFolder::prepare(other), HomeFolder::State::StoreMissing);
    EXPECT_FALSE(fs::exists(HomeFolder::storePath(other)));

    // A run killed while making its home leaves its staging folder; the next one removes it,
    // but not that of a run still at work, nor a file that merely looks alike.
    const auto dead = finishedProcess();
    ASSERT_GT(dead, 0);
    const auto left = HomeFolder::stagingFolder(home, dead);
    const auto working = HomeFolder::stagingFolder(home, os::currentProcess());
    fs::create_directories(left / "help");
    fs::create_directories(working);
    writeFileAtomically(dir.path() / "home.new-notes", std::string_view("mine"));
    EXPECT_EQ(HomeFolder::prepare(home), HomeFolder::State::Ready);
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(working));
    EXPECT_TRUE(fs::exists(dir.path() / "home.new-notes"));
}
