#include "CliRun.h"
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/RawRecord.h"
#include "ops/CheckCommands.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/Session.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

// A program's command carries its module name alone.
BuiltCommand command(std::string name, std::uint8_t kind, std::string body, std::string module = {}) {
    auto c = globalCommand(std::move(name), kind, std::move(body));
    return module.empty() ? c : inProgram(std::move(c), std::move(module), "", "");
}

// Commands of several kinds and places whose LISTs are all there and all used; the same name
// in two scopes; a legacy script Dragon takes.
CommandFileBuilder cleanFile() {
    CommandFileBuilder b;
    b.add(command("open <app>", kKindAdvancedScript, "Sub Main\r\nEnd Sub\r\n"));
    b.add(command("go <direction>", kKindKeys, "{Up}"));
    b.add(command("go <direction>", kKindKeys, "{Down}", "WINWORD"));
    b.add(command("tell me", kKindScript, "MsgBoxConfirm \"hello\", 64, \"Hi\"\r\n"));
    b.add(command("my address", kKindText, "12 Main Street"));
    b.add(BuiltList("app", {"word", "excel"}));
    b.add(BuiltList("direction", {"up", "down"}));
    return b;
}

// The clean file with one of each fault planted.
CommandFileBuilder faultyFile() {
    CommandFileBuilder b = cleanFile();
    b.add(command("close <nowhere> now", kKindKeys, "{Alt+F4}"));              // missing-list
    b.add(command("OPEN <app>", kKindAdvancedScript, "Sub Main\r\nEnd Sub\r\n")); // duplicate
    b.add(command("say <Odd Name>", kKindKeys, "x"));                           // uses the bad name
    b.add(command("broken", kKindScript, "SendKeys \"abc\r\n"));                 // script-error
    b.add(command("nothing yet", kKindKeys, "", "WINWORD"));                     // empty-body
    b.add(BuiltList("spare", {"one"}));                                          // unused-list
    b.add(BuiltList("Odd Name", {"a"}));                                         // bad-list-name
    return b;
}

using Row = std::array<std::string, 4>; // kind, program, scope, name

std::vector<Row> rows(const ops::CheckCommands::Result& result) {
    std::vector<Row> out;
    for (const auto& f : result.findings) out.push_back({f.kind, f.program, f.scope, f.name});
    return out;
}

const std::string kGlobal = "Global Commands";

class CheckCommandsTest : public ::testing::Test {
protected:
    fs::path file() const { return dir.path() / "mycmds.dat"; }

    // The file opened without Dragon, as the command line does.
    ops::CheckCommands::Result checkWithoutDragon(CommandFileBuilder builder) {
        builder.writeFile(file());
        Session session(dir.path() / "plain-home", prompter, clock);
        EXPECT_TRUE(session.open(file()).success);
        ops::Workspace ws(session, clock);
        return ops::CheckCommands(ws).run();
    }
    // The file as a speech user's own, with Dragon there to check the scripts.
    ops::CheckCommands::Result checkWithDragon(CommandFileBuilder builder) {
        TempDir installation;
        platform::InstallationOptions options;
        options.writeCommands = [&](const fs::path& f) { builder.writeFile(f); };
        platform::createInstallation(installation.path() / "dragon", options);
        platform::SimulatedDragon dragon(installation.path() / "dragon");
        Application app(StartupOptions{installation.path() / "home", {}}, dragon, prompter, clock);
        EXPECT_TRUE(app.load());
        ops::Workspace ws(app, clock);
        return ops::CheckCommands(ws).run();
    }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
};

} // namespace

TEST_F(CheckCommandsTest, EachPlantedFaultIsFoundWhereItStandsAndNothingInACleanFile) {
    const auto clean = checkWithDragon(cleanFile());
    EXPECT_TRUE(clean.findings.empty()) << clean.findings.front().kind << " " << clean.findings.front().name;
    EXPECT_EQ(clean.scriptsWithoutDragon, 0u);

    const auto faulty = checkWithDragon(faultyFile());
    const std::vector<Row> expected{
        {"missing-list", kGlobal, kGlobal, "close <nowhere> now"},
        {"duplicate", kGlobal, kGlobal, "OPEN <app>"},
        {"script-error", kGlobal, kGlobal, "broken"},
        {"empty-body", "WINWORD", "Application-specific", "nothing yet"},
        {"unused-list", kGlobal, kGlobal, "spare"},
        {"bad-list-name", kGlobal, kGlobal, "Odd Name"},
    };
    EXPECT_EQ(rows(faulty), expected);
    const auto& f = faulty.findings;
    ASSERT_EQ(f.size(), expected.size());
    EXPECT_EQ(f[0].detail, "No LIST of the file is named <nowhere>");
    EXPECT_EQ(f[1].detail, "Another command of this program and scope has this name: \"open <app>\"");
    EXPECT_EQ(f[2].detail, "Error in your script at line: 1: Missing closing quotation mark");
    EXPECT_EQ(f[5].detail, "Only numbers, letters and _-. are allowed by Dragon in LIST names");
    EXPECT_FALSE(f[0].isList);
    EXPECT_TRUE(f[4].isList);

    // Without Dragon the legacy scripts are checked by the program's own checker, which says so,
    // and everything is found the same.
    const auto plainClean = checkWithoutDragon(cleanFile());
    EXPECT_TRUE(plainClean.findings.empty());
    EXPECT_EQ(plainClean.scriptsWithoutDragon, 1u);
    const auto plainFaulty = checkWithoutDragon(faultyFile());
    EXPECT_EQ(rows(plainFaulty), expected);
    ASSERT_EQ(plainFaulty.findings.size(), expected.size());
    EXPECT_EQ(plainFaulty.findings[2].detail, "Error in your script at line: 1: Missing closing quotation mark");
    EXPECT_EQ(plainFaulty.scriptsWithoutDragon, 2u);
}

TEST_F(CheckCommandsTest, ListsTwiceAndNamesTwiceCountOncePerRepeat) {
    auto b = cleanFile();
    b.add(command("Open <APP>", kKindKeys, "x"));
    b.add(command("open <app>", kKindKeys, "y", "WINWORD")); // another scope: no repeat
    b.add(BuiltList("app", {"calc"}));
    const auto result = checkWithoutDragon(b);
    const std::vector<Row> expected{{"duplicate", kGlobal, kGlobal, "Open <APP>"}, {"duplicate", kGlobal, kGlobal, "app"}};
    EXPECT_EQ(rows(result), expected);
    EXPECT_EQ(result.findings[1].detail, "Another LIST has this name: \"app\"");
}

TEST_F(CheckCommandsTest, NamesDragonCannotReadAndControlCharactersAreFound) {
    auto b = cleanFile();
    b.add(command("go <direction", kKindKeys, "x"));
    b.add(command("go direction>", kKindKeys, "x"));
    b.add(command("go [color", kKindKeys, "x"));
    b.add(command("open [direction] now", kKindKeys, "x"));
    b.add(command("   ", kKindKeys, "x"));
    b.add(command("go [please] <direction>", kKindKeys, "x")); // optional words: a name Dragon reads
    b.add(command("beep", kKindKeys, "a\x07z"));
    auto described = command("described", kKindKeys, "x");
    described.description = "one\x01two";
    described.group = "G\x1b";
    b.add(described);
    b.add(command("tabbed", kKindKeys, "a\tb\r\nc"));
    b.add(BuiltList("odd", {"a\x02"}));
    b.add(command("say <odd>", kKindKeys, "x"));
    const auto result = checkWithoutDragon(b);
    const std::vector<Row> expected{
        {"bad-name", kGlobal, kGlobal, "go <direction"},
        {"bad-name", kGlobal, kGlobal, "go direction>"},
        {"bad-name", kGlobal, kGlobal, "go [color"},
        {"bad-name", kGlobal, kGlobal, "open [direction] now"},
        {"bad-name", kGlobal, kGlobal, "   "},
        {"conflict", kGlobal, kGlobal, "go [please] <direction>"}, // "go up", as "go <direction>"
        {"conflict", kGlobal, kGlobal, "go [please] <direction>"}, // and as WINWORD's
        {"control-character", kGlobal, kGlobal, "beep"},
        {"control-character", kGlobal, kGlobal, "described"},
        {"control-character", kGlobal, kGlobal, "described"},
        {"control-character", kGlobal, kGlobal, "odd"},
    };
    EXPECT_EQ(rows(result), expected);
    const auto& f = result.findings;
    ASSERT_EQ(f.size(), expected.size());
    EXPECT_EQ(f[0].detail, ops::texts::NameBracketsUnreadable);
    EXPECT_EQ(f[3].detail, "[direction]" + std::string(ops::texts::OptionalWordsNameAList));
    EXPECT_EQ(f[4].detail, ops::texts::NameOnlyBlanks);
    EXPECT_EQ(f[5].detail, "Both this command and \"go <direction>\" answer to \"go up\"");
    EXPECT_EQ(f[6].detail,
              "Both this command and \"go <direction>\" (WINWORD, Application-specific) answer to \"go up\"");
    EXPECT_EQ(f[7].detail, ops::texts::ControlCharacterInBody);
    EXPECT_EQ(f[8].detail, ops::texts::ControlCharacterInDescription);
    EXPECT_EQ(f[9].detail, ops::texts::ControlCharacterInGroup);
    EXPECT_TRUE(f[10].isList);
}

TEST_F(CheckCommandsTest, AFileChangedOnDiskIsReadAgainFirst) {
    cleanFile().writeFile(file());
    Session session(dir.path() / "plain-home", prompter, clock);
    ASSERT_TRUE(session.open(file()).success);
    ops::Workspace ws(session, clock);
    EXPECT_FALSE(ops::CheckCommands(ws).run().reread);
    auto changed = cleanFile();
    changed.add(BuiltList("spare", {"one"}));
    changed.writeFile(file());
    fs::last_write_time(file(), fs::last_write_time(file()) + std::chrono::seconds(5));
    const auto result = ops::CheckCommands(ws).run();
    EXPECT_TRUE(result.reread);
    EXPECT_EQ(rows(result), (std::vector<Row>{{"unused-list", kGlobal, kGlobal, "spare"}}));
}

TEST_F(CheckCommandsTest, TheCommandLineExitsOneWithFindingsAndPrintsThemAsJson) {
    faultyFile().writeFile(file());
    auto run = runCli("check --json '" + file().string() + "'");
    EXPECT_EQ(run.status, 1) << run.err;
    const auto findings = nlohmann::json::parse(run.out);
    ASSERT_EQ(findings.size(), 6u);
    for (const auto& f : findings) {
        EXPECT_EQ(f.size(), 5u);
        for (const char* key : {"kind", "program", "scope", "name", "detail"}) EXPECT_TRUE(f[key].is_string()) << key;
    }
    EXPECT_EQ(findings[2]["kind"], "script-error");
    EXPECT_EQ(findings[4]["kind"], "unused-list");
    EXPECT_EQ(findings[4]["name"], "spare");
    // The scripts no Dragon checked are said to be so.
    EXPECT_NE(run.err.find("Legacy scripts checked without Dragon: 2"), std::string::npos) << run.err;

    run = runCli("check '" + file().string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("empty-body\tWINWORD\tApplication-specific\tnothing yet\tThe body is empty\n"),
              std::string::npos)
        << run.out;

    cleanFile().writeFile(file());
    run = runCli("check --json '" + file().string() + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::array());
    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        run = runCli("check '" + sample(name).string() + "'");
        EXPECT_EQ(run.status, 0) << name << ": " << run.out;
        EXPECT_EQ(run.out, "No findings\n");
    }
}
