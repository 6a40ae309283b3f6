#include "CliRun.h"
#include "TestHome.h"

#include "cmdfile/System.h"
#include "cmdfile/Texts.h"
#include "shell/FileBackups.h"

#include <nlohmann/json.hpp>

using namespace vocabrella::testsupport;

TEST(CommandLine, InfoPrintsThePropertiesLines) {
    const auto path = std::filesystem::canonical(sample("move-dock-window.dat"));
    const auto run = runCli("info " + quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expectedStart = "Filename:\n" + path.string() + "\n\nVersion:           10.0\nLanguage:       English\n"
                                      "Last Modified: ";
    EXPECT_EQ(run.out.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(run.out.find("\nSize:                1419\n#Commands:  1\n#Lists:            2\n"), std::string::npos)
        << run.out;
}

TEST(CommandLine, ListAsJsonCarriesTheStoreColumns) {
    const auto run = runCli("list --json " + quoted(sample("move-dock-window.dat")));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = nlohmann::json::parse(run.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["name"], "<move_or_dock> window <direction>");
    EXPECT_EQ(rows[0]["Type"], "A");
    EXPECT_EQ(rows[0]["offset"], 22);
    EXPECT_TRUE(rows[0]["states"].is_array());
    for (const char* key : {"ID", "menu", "state", "name", "Type", "scope", "owner", "lists", "offset", "offsetbody",
                            "description", "states", "graphicsize", "encrypted", "dupe", "script"})
        EXPECT_TRUE(rows[0].contains(key)) << key;

    const auto lists = runCli("list --json --type L " + quoted(sample("move-dock-window.dat")));
    EXPECT_EQ(nlohmann::json::parse(lists.out).size(), 2u);
    const auto outlook = runCli("list --program outlook " + quoted(sample("clear-categories.dat")));
    EXPECT_EQ(std::count(outlook.out.begin(), outlook.out.end(), '\n'), 1);
    // Every filter given counts, each without regard to case.
    const auto lines = [](const std::string& options) {
        const auto listed = runCli("list " + options + " " + quoted(sample("clear-categories.dat")));
        EXPECT_EQ(listed.status, 0) << listed.err;
        return std::count(listed.out.begin(), listed.out.end(), '\n');
    };
    EXPECT_EQ(lines("--group dragon"), 1);
    EXPECT_EQ(lines("--scope application-SPECIFIC"), 1);
    EXPECT_EQ(lines("--scope \"global commands\" --group outlook"), 0);
    EXPECT_EQ(lines("--program outlook --type L"), 0);
}

// Through the real executable: the body's bytes reach standard output as they are.
TEST(CommandLine, ShowPrintsTheStoredBody) {
    const auto run = runCliProcess("show " + quoted(sample("reply.dat")) + " reply --program OUTLOOK");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Press Ctrl + R\n");
    const auto missing = runCliProcess("show " + quoted(sample("reply.dat")) + " nothing");
    EXPECT_EQ(missing.status, 1);
}

// Through the real executable: the exit status a script sees.
TEST(CommandLine, UnreadableFilesGiveTheMessageAndExitOne) {
    TempDir dir;
    const auto gone = dir.path() / "gone" / "mycmds.dat";
    const auto missing = runCliProcess("info " + quoted(gone));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, gone.string() + ": File does not exist\n") << "told once, and not as a parsing error";

    const auto folder = runCli("list " + quoted(dir.path()));
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, dir.path().string() + ": " + std::string(vocabrella::texts::NotARegularFile) + "\n");

    const auto bad = dir.path() / "bad.dat";
    std::ofstream(bad) << "not a command file at all";
    const auto run = runCliProcess("info " + quoted(bad));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("The above file has a problem - parsing error"), std::string::npos);
    EXPECT_NE(run.err.find("expected the file signature LHSP"), std::string::npos);
}

TEST(CommandLine, AKeptHomeFolderServesAsACache) {
    TempDir dir;
    const auto home = dir.path() / "home";
    const std::string file = quoted(sample("reply.dat"));
    ASSERT_EQ(runCli("--home " + quoted(home) + " info " + file).status, 0);
    ASSERT_EQ(runCli("--home " + quoted(home) + " info " + file).status, 0);
    // The command line keeps its store and trace per file, beside the window's own.
    const auto trace = readText(home / "cli" / vocabrella::FileBackups::folderOf(home, sample("reply.dat")).filename() / "trace.vbl");
    std::size_t parses = 0;
    for (auto at = trace.find("b4 processing"); at != std::string::npos; at = trace.find("b4 processing", at + 1)) ++parses;
    EXPECT_EQ(parses, 1u);
}

namespace {

// A writable copy of a sample in a fresh folder.
struct SampleCopy {
    TempDir dir;
    std::filesystem::path path;
    explicit SampleCopy(const std::string& name) : path(dir.path() / name) { copySampleToChange(name, path); }
};

} // namespace

TEST(CommandLine, RewriteReproducesTheSamples) {
    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        SampleCopy copy(name);
        const auto run = runCli("rewrite " + quoted(copy.path));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readText(copy.path), readText(sample(name))) << name;
    }
}

TEST(CommandLine, WriteOperationsChangeTheFileAndSayWhatTheyDid) {
    SampleCopy copy("move-dock-window.dat");
    const auto file = quoted(copy.path);
    auto run = runCli("new-command " + file + " 'say hello' --kind P --text 'Hello there'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Command \"say hello\" added\n");
    run = runCli("set-body " + file + " 'say hello' --text $'two\\nlines'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(runCli("show " + file + " 'say hello'").out, "two\r\nlines\n");
    run = runCli("rename " + file + " 'say hello' 'greet <direction>' --group Greetings");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = nlohmann::json::parse(runCli("list --json --type P " + file).out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["name"], "greet <direction>");
    EXPECT_EQ(rows[0]["owner"], "Greetings");
    EXPECT_EQ(rows[0]["lists"], 1);

    run = runCli("delete " + file + " --name '<move_or_dock> window <direction>'");
    EXPECT_EQ(run.status, 1) << "the LISTs that would go are named, and the question answered no";
    EXPECT_NE(run.err.find("go with the commands: move_or_dock"), std::string::npos) << run.err;
    run = runCli("--yes delete " + file + " --name '<move_or_dock> window <direction>'");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto left = nlohmann::json::parse(runCli("list --json " + file).out);
    ASSERT_EQ(left.size(), 2u) << "the LIST only the deleted command used is gone";
    EXPECT_EQ(left[1]["name"], "direction");
}

TEST(CommandLine, RefusalsExitOneAndLeaveTheFile) {
    SampleCopy copy("reply.dat");
    const auto file = quoted(copy.path);
    const auto before = readText(copy.path);
    // The file has no global command yet: the first one is created after OK.
    auto run = runCli("--yes new-command " + file + " $'bad\\tname' --kind K --text x");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("control characters"), std::string::npos);
    run = runCli("convert-version " + file + " --to 6.0");
    EXPECT_EQ(run.status, 1) << "the question is answered no without --yes";
    EXPECT_NE(run.err.find("Convert this file to 6.0 format?"), std::string::npos);
    run = runCli("delete " + file);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readText(copy.path), before);
    run = runCli("--yes convert-version " + file + " --to 6.0");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "File converted to 6.0 format\n");
    EXPECT_EQ(readText(copy.path)[4], 3);
}

TEST(CommandLine, BatchVerbsExitZeroOnlyWhenTheFileChanged) {
    SampleCopy copy("move-dock-window.dat");
    const auto file = quoted(copy.path);
    const auto before = readText(copy.path);
    // Each refusal: exit 1, its reason on standard error, nothing printed as done, the file as it was.
    for (const std::string& arguments :
         {"delete " + file + " --name direction", "rename-program " + file + " nothing other --everything",
          "rename-group " + file + " Nobody Else", "rename-group " + file + " Windows Windows",
          "rename " + file + " '<move_or_dock> window <direction>' '<move_or_dock> window <direction>'",
          "dvc " + file + " -o " + file,
          "replace " + file + " nowhere there --everything", "convert-keys " + file + " --mode plain --everything"}) {
        const auto run = runCli(arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err, "") << arguments;
        EXPECT_EQ(readText(copy.path), before) << arguments;
    }
    EXPECT_NE(runCli("delete " + file + " --name direction").err.find("delete it as a LIST"), std::string::npos);
    EXPECT_NE(runCli("rename-program " + file + " nothing other --everything").err.find("There is no such Program: nothing"),
              std::string::npos);

    // An existing output is replaced only after yes.
    const auto out = copy.dir.path() / "out.dvc";
    std::ofstream(out) << "kept";
    auto run = runCli("dvc " + file + " -o " + quoted(out));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("File already exists.  Overwrite?"), std::string::npos);
    EXPECT_EQ(readText(out), "kept");
    run = runCli("--yes dvc " + file + " -o " + quoted(out));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Wrote " + out.string() + "\n");

    run = runCli("replace " + file + " keybd_event keybd_event_ --everything --match-case");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "4 occurrences in 1 macros replaced\n");
    run = runCli("rename-group " + file + " Windows Desktop");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Group renamed: Windows->Desktop\n");
    run = runCli("--yes delete-list " + file + " move_or_dock");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(runCli("list --json --type L " + file).out).size(), 1u);
}

TEST(CommandLine, StatusStartsAsTheProgramDoesOncePerDay) {
    TempDir dir;
    const auto root = dir.path() / "dragon";
    const auto home = dir.path() / "home";
    ASSERT_EQ(runProgram({VOCABRELLA_DRAGONSIM, "init", root.string(), "--demo"}).status, 0);
    const std::string status = "--home " + quoted(home) + " --dragon-root " + quoted(root) + " status";
    auto run = runCli(status);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Speech user: Speaker\n"), std::string::npos) << run.out;
    const auto userFile = vocabrella::os::pathText(std::filesystem::path("/Users/Speaker/current/mycmds.dat").make_preferred());
    EXPECT_NE(run.out.find(userFile + "\n"), std::string::npos) << run.out;
    run = runCli(status);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto trace = readText(home / "cli" / "speech-user" / "trace.vbl");
    EXPECT_EQ(trace.find("b4 processing"), trace.rfind("b4 processing")) << "parsed once";
    std::size_t backups = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home / "Speaker")) backups += entry.path().filename().string().rfind("mycmds.", 0) == 0;
    EXPECT_EQ(backups, 1u);
    EXPECT_EQ(runCli("--home " + quoted(home) + " --dragon-root " + quoted(root) + " rollback --list").out.substr(0, 7), "mycmds.");
}

TEST(CommandLine, MistakesAreToldForWhatTheyAre) {
    SampleCopy copy("move-dock-window.dat");
    const auto file = quoted(copy.path);
    const auto before = readText(copy.path);

    auto run = runCli("--yes delete-list " + file + " nosuchlist");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("There is no LIST of this name"), std::string::npos) << run.err;
    run = runCli("--yes delete-list " + file + " '<move_or_dock> window <direction>'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("This is a command, not a LIST"), std::string::npos) << run.err;

    run = runCli("set-body " + file + " direction --from-file " + quoted(copy.dir.path()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not a file but a folder"), std::string::npos) << run.err;
    EXPECT_EQ(readText(copy.path), before);

    // The checker's 1 means findings: a file it cannot read is 2, and in JSON an object.
    TempDir dir;
    const auto bad = dir.path() / "bad.dat";
    std::ofstream(bad) << "not a command file at all";
    for (const auto& path : {bad, dir.path() / "missing.dat"}) {
        run = runCli("check --json " + quoted(path));
        EXPECT_EQ(run.status, 2) << run.err;
        const auto error = nlohmann::json::parse(run.out);
        ASSERT_TRUE(error.is_object()) << run.out;
        EXPECT_FALSE(error["error"].get<std::string>().empty());
        EXPECT_EQ(runCli("check " + quoted(path)).status, 2);
    }
}

TEST(CommandLine, AnEmptyHomeFolderIsMadeANewHome) {
    TempDir dir;
    const auto home = dir.path() / "home";
    std::filesystem::create_directory(home);
    const auto run = runCli("--home " + quoted(home) + " info " + quoted(sample("reply.dat")));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(home / "global.mdb"));
    EXPECT_TRUE(std::filesystem::exists(home / "keynames"));
}

// Help goes to standard output and exits 0; a mistake in the words goes to standard error and
// does not.
TEST(CommandLine, HelpAndMistakesInTheWordsGoToTheirStreams) {
    auto run = runCli("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("set-body"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
    for (const auto& arguments :
         std::vector<std::string>{"", "frobnicate x.dat", "info", "list --type Z " + quoted(sample("reply.dat"))}) {
        run = runCli(arguments);
        EXPECT_NE(run.status, 0) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err, "") << arguments;
    }
}
