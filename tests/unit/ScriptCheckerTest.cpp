#include "CliRun.h"
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "ops/CheckCommands.h"
#include "ops/SaveChanges.h"
#include "ops/ScriptChecker.h"
#include "ops/Workspace.h"
#include "shell/Application.h"
#include "shell/DemoCommandFile.h"
#include "shell/Session.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "writer/KeyNotation.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>

using namespace vocabrella;
using namespace vocabrella::testsupport;
using ops::ScriptFault;
using ops::ScriptKind;
namespace fs = std::filesystem;

namespace vocabrella::ops {
void PrintTo(const ScriptFault& f, std::ostream* out) { *out << f.line << ": " << f.what; }
} // namespace vocabrella::ops

namespace {

constexpr auto S = ScriptKind::Legacy;
constexpr auto A = ScriptKind::Advanced;

struct Broken {
    ScriptKind kind;
    std::string script;
    std::vector<ScriptFault> faults; // every fault, in the order of their lines
};

std::string describe(const std::vector<ScriptFault>& faults) {
    std::string out;
    for (const auto& f : faults) out += std::to_string(f.line) + ": " + f.what + "\n";
    return out.empty() ? "(none)\n" : out;
}

} // namespace

TEST(ScriptChecker, EachPlantedFaultIsFoundOnItsLine) {
    const std::vector<Broken> table{
        // strings, parentheses, the start of a line
        {S, "SendKeys \"abc", {{1, "Missing closing quotation mark"}}},
        {S, "Wait 100\r\nSendKeys \"a\"\"\r\n", {{2, "Missing closing quotation mark"}}},
        {S, "Wait 1\r\nFoo(1))", {{2, "Unexpected ')'"}}},
        {S, "Wait 1\r\nMsgBoxConfirm(\"x\", 64, \"t\"\r\n", {{2, "Missing ')'"}}},
        {S, "Wait 1\r\nRemark(\r\n", {{2, "Missing ')'"}}}, // only Rem as a word is a comment
        {S, "SendKeys \"a\"\r\n  123\r\n", {{2, "Expected a command name at the start of the line"}}},
        {S, "MsgBoxConfirm \"a\", _\r\n  (\"b\"\r\n", {{2, "Missing ')'"}}},
        {S, "Wait 1 _\r\n", {{1, "A line continuation \" _\" with no line after it"}}},
        {S, "Wait 1,_\r\n(2)\r\n", {{1, "Wait takes 1 argument, not 2"}, {2, "Expected a command name at the start of the line"}}}, // no blank before "_": no continuation
        // blocks
        {S, "If x Then\r\nSendKeys \"a\"\r\nWait 1\r\n", {{1, "If without End If"}}},
        {S, "Wait 1\r\nEnd If\r\n", {{2, "End If without If"}}},
        {S, "For i = 1 To 3\r\nIf i Then\r\nWait 1\r\nNext\r\n", {{2, "If without End If"}}},
        {S, "Do\r\nWait 1\r\n", {{1, "Do without Loop"}}},
        {S, "While x\r\nWait 1\r\nLoop\r\n", {{1, "While without Wend"}, {3, "Loop without Do"}}},
        {S, "Select Case x\r\nCase 1\r\nWait 1\r\n", {{1, "Select Case without End Select"}}},
        {S, "Wait 1\r\nCase 1\r\n", {{2, "Case without Select Case"}}},
        {S, "If x Then\r\nElse\r\nElse\r\nEnd If\r\n", {{3, "A second Else in one If"}}},
        {S, "If x Then\r\nElse\r\nElseIf y Then\r\nEnd If\r\n", {{3, "ElseIf after Else"}}},
        {S, "If x = 1\r\nWait 1\r\nEnd If\r\n", {{1, "If without Then"}}},
        {S, "Wait 1\r\nElseIf y Then\r\n", {{2, "ElseIf without If"}}},
        {A, "Sub Main\r\n\tSendKeys \"abc\r\nEnd Sub\r\n", {{2, "Missing closing quotation mark"}}},
        {A, "Sub Main\r\n\tWait 1\r\n", {{1, "Sub without End Sub"}}},
        {A, "Sub Main\r\nIf a Then\r\nSub Other\r\nEnd Sub\r\n", {{1, "Sub without End Sub"}, {2, "If without End If"}}},
        {A, "Function F()\r\nEnd Sub\r\nSub Main\r\nEnd Sub\r\n",
         {{1, "Function without End Function"}, {2, "End Sub without Sub"}}},
        {A, "Sub Main\r\n\tWith x\r\n\t.Save\r\nEnd Sub\r\n", {{2, "With without End With"}}},
        {A, "Sub Main\r\n\tEnd Iff\r\nEnd Sub\r\n", {{2, "Not a block to end: End Iff"}}},
        {A, "Type Point\r\n x As Long\r\nSub Main\r\nEnd Sub\r\n", {{1, "Type without End Type"}}},
        {A, "Sub Main\r\n\tSelect x\r\n\tEnd Select\r\nEnd Sub\r\n", {{2, "Select without Case"}}},
        {A, "Sub Main\r\n\tFor i = 1 To 2\r\n\tNext i, j\r\nEnd Sub\r\n", {{3, "Next without For"}}},
        {A, "Sub Main\r\n\tExit For\r\nEnd Sub\r\n", {{2, "Exit For outside any For"}}},
        {A, "Sub Main\r\n\tIf a Then Wait 1, 2 Else Exit Do\r\nEnd Sub\r\n", {{2, "Wait takes 1 argument, not 2"}, {2, "Exit Do outside any Do"}}},
        // what an advanced script needs
        {A, "Sub Other\r\nEnd Sub\r\n", {{1, "No Sub Main: an advanced script runs its Sub Main"}}},
        {A, "SendKeys \"x\"\r\nSub Main\r\nEnd Sub\r\n", {{1, "A statement outside any Sub or Function"}}},
        {A, "Sub Main\r\n\t= 5\r\nEnd Sub\r\n", {{2, "A statement cannot begin with '='"}}},
        // built-in commands and their arguments
        {S, "Wait 1, 2", {{1, "Wait takes 1 argument, not 2"}}},
        {S, "SendKeys", {{1, "SendKeys takes 1 to 2 arguments, not 0"}}},
        {S, "HeardWord", {{1, "HeardWord takes at least 1 argument, not 0"}}},
        {S, "gotosleep 5", {{1, "gotosleep takes no arguments, not 1"}}},
        {S, "SendKeys \"a\", _\r\n  1, 2\r\n", {{1, "SendKeys takes 1 to 2 arguments, not 3"}}},
        {S, "Call SetMousePosition(1, 2)", {{1, "SetMousePosition takes 3 arguments, not 2"}}},
        {A, "Sub Main\r\n\tMsgBox\r\nEnd Sub\r\n", {{2, "MsgBox takes 1 to 5 arguments, not 0"}}},
        // keys
        {S, "SendKeys \"{Ctrl+c\"", {{1, "A \"{\" without its \"}\" in the keys"}}},
        {S, "SendKeys \"{Entr}\"", {{1, "Unknown key name in the keys: {Entr}"}}},
        {S, "SendDragonKeys \"x{Ctrl+Shft+c}\"", {{1, "Unknown key name in the keys: {Ctrl+Shft+c}"}}},
        {S, "SendKeys \"a}b\"",
         {{1, "A \"}\" without its \"{\" in the keys (a closing brace is typed as {}})"}}},
        {S, "SendSystemKeys \"{}\"", {{1, "Empty braces {} in the keys"}}},
        {A, "Sub Main\r\n\tSendKeys \"%{Spcae}m\", True\r\nEnd Sub\r\n", {{2, "Unknown key name in the keys: {Spcae}"}}},
    };
    for (const auto& b : table)
        EXPECT_EQ(ops::checkScript(b.script, b.kind), b.faults)
            << b.script << "\nfound:\n"
            << describe(ops::checkScript(b.script, b.kind));
}

TEST(ScriptChecker, TrickyScriptsThatAreRightPass) {
    const std::vector<std::pair<ScriptKind, std::string>> table{
        {S, ""},
        {S, "SendKeys \"{Ctrl+c}\"\r\n\r\nWait 100\r\nHeardWord \"say \"\"hi\"\"\", \"now\"\r\n"},
        {S, "Rem a comment with \"an open quote\r\n' another (\r\nSendKeys \"(a)\" ' tail \"\r\n"},
        {S, "MsgBoxConfirm(\"x (\", 64, \"t\")"},
        {S, "MsgBoxConfirm \"hello\", 64, \"Hi\"\r\n"},
        {S, "SendKeys \"{Alt+f}{o}{Shift+Left 5}{Ctrl++}{+}{{}{}}{NumKey5}{ExtHome}{Page Up}{F12}{ctrl + shift+alt+Del}\""},
        {S, "SendKeys \"{tab 3}{numlock}{extins}{ctrl+shift+F1}{Esc}{Win+e}{Apps}{a 4}{é}\""},
        {S, "sendkeys \"{ctrl+a}\" : WAIT 1"},
        {S, "If x Then SendKeys \"a\" Else Wait 1"},
        {S, "SendKeys \"a\", _\r\n  True\r\nHeardWord \"a\", \"b\", \"c\", \"d\"\nSendKeys _arg1\n"},
        {S, "Wait 1 ' (\" a comment\r\nMsgBoxConfirm \"it's\", 0, \"t\"\r\nEndIf_Like = 1\r\n"},
        {S, "If x Then\r\nWait 1\r\nEndIf\r\n"},
        {A, "sub main\r\nend sub"},
        {A, "Private Sub Main\r\n\tIf a Then b = 1 : c = 2 Else d = 3\r\nEnd Sub\r\n"},
        {A, "Sub Wait(a, b)\r\nEnd Sub\r\nSub Main\r\n\tWait 1, 2\r\nEnd Sub\r\n"},
        {A, "Option Explicit\r\n"
            "'#Reference {00062FFF-0000-0000-C000-000000000046}#9.6#0#C:\\Office\\MSOUTL.OLB#Library\r\n"
            "Declare Function keybd_event Lib \"user32.dll\" (ByVal vKey As _\r\n"
            "Long, bScan As Long) As Long\r\n"
            "Const VK_LWIN = 91\r\n"
            "Private Type Point\r\n\tx As Long\r\n\tNext As Long\r\nEnd Type\r\n"
            "Enum Colour\r\n\tRed = 1\r\nEnd Enum\r\n"
            "Dim g As String\r\n"
            "#If Win64 Then\r\n#End If\r\n"
            "Private Sub Helper(a As Object)\r\n\tWith a\r\n\t\t.Save\r\n\tEnd With\r\nEnd Sub\r\n"
            "Function Twice(n)\r\n\tTwice = n * 2\r\n\tExit Function\r\nEnd Function\r\n"
            "Property Get Size() As Long\r\nEnd Property\r\n"
            "Sub Main()\r\n"
            "\tDim i As Integer\r\n"
            "\tFor i = 1 To 3\r\n"
            "\t\tIf i = 1 Then\r\n\t\t\tWait 0.5\r\n"
            "\t\tElseIf i = 2 Then\r\n\t\t\tSendKeys \"{Left \" & i & \"}\"\r\n"
            "\t\tElse\r\n\t\t\tHelper Nothing\r\n\t\tEnd If\r\n"
            "\tNext i\r\n"
            "\tFor Each w In Windows\r\n\tNext\r\n"
            "\tDo While i > 0\r\n\t\ti = i - 1\r\n\t\tIf i = 2 Then Exit Do\r\n\tLoop\r\n"
            "\tDo\r\n\tLoop Until i > 3\r\n"
            "\tWhile False\r\n\tWend\r\n"
            "\tSelect Case Twice(i)\r\n"
            "\t\tCase 1, 2: MsgBox \"one or two\", vbOKOnly, \"T\"\r\n"
            "\t\tCase Else\r\n\t\t\tBeep\r\n"
            "\tEnd Select\r\n"
            "retry:\r\n"
            "\tOn Error Resume Next\r\n"
            "\tx = &HFF + .5\r\n"
            "\tCall MsgBox(\"x\")\r\n"
            "\tMsgBox(\"parenthesised\")\r\n"
            "\tMsgBox (\"a\") & \"b\", 1\r\n"
            "\tSendKeys(\"{Enter}\")\r\n"
            "\tWait = 3\r\n"
            "\tkeybd_event(VK_LWIN,0,0,0)\r\n"
            "\tMsgBox Prompt:=\"named\", Title:=\"t\"\r\n"
            "\tIf i Then Exit Sub\r\n"
            "\tEnd\r\n"
            "End Sub\r\n"},
    };
    for (const auto& [kind, script] : table)
        EXPECT_EQ(ops::checkScript(script, kind), std::vector<ScriptFault>{}) << script << "\nfound:\n"
                                                                               << describe(ops::checkScript(script, kind));
}

// The advanced scripts the KEYS conversions make are scripts this check takes.
TEST(ScriptChecker, ScriptsMadeFromKeysPass) {
    for (const std::string keys : {"{ctrl+shift+F1}x{numlock}a\"b\r\nc", "{Alt+f}{o}{Enter}", "{tab 3}{extins}+(a)",
                                   "Dear {Shift+Left 5}Sir,\r\n\r\n", "{}}{{}"}) {
        const auto script = KeysToScript(keys);
        ASSERT_TRUE(script) << keys;
        EXPECT_EQ(ops::checkScript(*script, A), std::vector<ScriptFault>{}) << *script << describe(ops::checkScript(*script, A));
        const auto dragonKeys = KeysToDragonKeysScript(keys);
        EXPECT_EQ(ops::checkScript(dragonKeys, A), std::vector<ScriptFault>{}) << dragonKeys;
    }
}

namespace {

class ScriptCheckerFiles : public ReaderFixture {
protected:
    // The scripts of a command file, each checked; how many there were.
    std::size_t checkScriptsOf(const fs::path& path) {
        const auto outcome = reader->ReadCommandFile(true, path);
        EXPECT_TRUE(outcome.success) << outcome.problem;
        std::size_t scripts = 0;
        for (const auto& row : store->allUsers()) {
            const auto kind = ops::scriptKindOf(row.Type);
            if (!kind) continue;
            ++scripts;
            EXPECT_EQ(ops::checkScript(row.script, *kind), std::vector<ScriptFault>{})
                << path.filename() << " " << row.name << "\n"
                << row.script << "\nfound:\n"
                << describe(ops::checkScript(row.script, *kind));
        }
        return scripts;
    }
};

} // namespace

TEST_F(ScriptCheckerFiles, EveryScriptOfTheSamplesAndOfTheDemoUserPasses) {
    std::size_t scripts = 0;
    for (const auto& entry : fs::directory_iterator(VOCABRELLA_SAMPLES_DIR))
        if (entry.path().extension() == ".dat") scripts += checkScriptsOf(entry.path());
    EXPECT_GE(scripts, 2u);
    writeFileAtomically(file("demo.dat"), demoCommandFile());
    EXPECT_GE(checkScriptsOf(file("demo.dat")), 6u);
}

namespace {

CommandFileBuilder brokenScripts() {
    CommandFileBuilder b;
    b.add(bareCommand("fine legacy", kKindScript, "SendKeys \"{Ctrl+c}\"\r\n"));
    b.add(bareCommand("fine advanced", kKindAdvancedScript, "Sub Main\r\n\tSendKeys \"^c\"\r\nEnd Sub\r\n"));
    b.add(bareCommand("broken legacy", kKindScript, "Wait 1\r\nSendKeys \"abc\r\n"));
    b.add(bareCommand("broken advanced", kKindAdvancedScript, "Sub Main\r\n\tIf a Then\r\n\tWait 1\r\nEnd Sub\r\n"));
    b.add(bareCommand("blocks open", kKindScript, "If x Then\r\nWait 1\r\n"));
    return b;
}

class ScriptCheckerInUse : public ::testing::Test {
protected:
    fs::path file() const { return dir.path() / "mycmds.dat"; }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
};

} // namespace

TEST_F(ScriptCheckerInUse, CheckWithoutDragonFindsTheFaultsOfLegacyAndAdvancedScripts) {
    brokenScripts().writeFile(file());
    Session session(dir.path() / "plain-home", prompter, clock);
    ASSERT_TRUE(session.open(file()).success);
    ops::Workspace ws(session, clock);
    const auto result = ops::CheckCommands(ws).run();
    std::vector<std::pair<std::string, std::string>> found;
    for (const auto& f : result.findings) found.emplace_back(f.kind + " " + f.name, f.detail);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"script-error broken legacy", "Error in your script at line: 2: Missing closing quotation mark"},
        {"script-error broken advanced", "Error in your script at line: 2: If without End If"},
        {"script-error blocks open", "Error in your script at line: 1: If without End If"},
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(result.scriptsWithoutDragon, 3u);

    const auto run = runCli("check --json '" + file().string() + "'");
    EXPECT_EQ(run.status, 1) << run.err;
    const auto findings = nlohmann::json::parse(run.out);
    ASSERT_EQ(findings.size(), 3u) << run.out;
    EXPECT_EQ(findings[0]["kind"], "script-error");
    EXPECT_EQ(findings[0]["name"], "broken legacy");
    EXPECT_EQ(findings[1]["name"], "broken advanced");
    EXPECT_EQ(findings[1]["detail"], "Error in your script at line: 2: If without End If");
    EXPECT_NE(run.err.find("Legacy scripts checked without Dragon: 3"), std::string::npos) << run.err;
}

// Dragon's check has the last word on legacy scripts where it is there; advanced scripts are
// always this program's to check.
TEST_F(ScriptCheckerInUse, WithDragonItsCheckJudgesLegacyScriptsAndOursTheAdvancedOnes) {
    TempDir installation;
    platform::InstallationOptions options;
    options.writeCommands = [&](const fs::path& f) { brokenScripts().writeFile(f); };
    platform::createInstallation(installation.path() / "dragon", options);
    platform::SimulatedDragon dragon(installation.path() / "dragon");
    Application app(StartupOptions{installation.path() / "home", {}}, dragon, prompter, clock);
    ASSERT_TRUE(app.load());
    ops::Workspace ws(app, clock);
    const auto result = ops::CheckCommands(ws).run();
    std::vector<std::string> names;
    for (const auto& f : result.findings) names.push_back(f.name);
    // Dragon's check does not see blocks: the open If of the legacy script passes it.
    EXPECT_EQ(names, (std::vector<std::string>{"broken legacy", "broken advanced"}));
    EXPECT_EQ(result.scriptsWithoutDragon, 0u);

    std::string body = "If x Then\r\nWait 1\r\n";
    EXPECT_TRUE(ops::checkBody(ws, "S", body, "script").isDone());
    body = "Sub Main\r\n\tWait 1, 2\r\nEnd Sub";
    const auto refused = ops::checkBody(ws, "A", body, "script");
    EXPECT_FALSE(refused.isDone());
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.last().text, "Error in your script at line: 2");
    EXPECT_EQ(prompter.last().title, "Wait takes 1 argument, not 2");
}

TEST_F(ScriptCheckerInUse, SavingWithoutDragonRefusesAFaultyScriptAndTakesARightOne) {
    brokenScripts().writeFile(file());
    Session session(dir.path() / "plain-home", prompter, clock);
    ASSERT_TRUE(session.open(file()).success);
    ops::Workspace ws(session, clock);
    for (const std::string kind : {"S", "A"}) {
        std::string body = kind == "S" ? "SendKeys \"{Entr}\"" : "Sub Main\r\n\tSendKeys \"{Entr}\"\r\nEnd Sub";
        const auto before = prompter.messageCount();
        EXPECT_FALSE(ops::checkBody(ws, kind, body, "script").isDone()) << kind;
        ASSERT_EQ(prompter.messageCount(), before + 1);
        EXPECT_EQ(prompter.last().text, kind == "S" ? "Error in your script at line: 1" : "Error in your script at line: 2");
        EXPECT_EQ(prompter.last().title, "Unknown key name in the keys: {Entr}");
        body = kind == "S" ? "SendKeys \"{Enter}\"" : "Sub Main\r\n\tSendKeys \"{Enter}\"\r\nEnd Sub";
        EXPECT_TRUE(ops::checkBody(ws, kind, body, "script").isDone()) << kind;
    }
    // Bodies that are no script are not read as one.
    std::string keys = "{Entr}";
    EXPECT_TRUE(ops::checkBody(ws, "K", keys, "script").isDone());
}
