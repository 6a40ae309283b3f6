// Which changes each kind of command or LIST allows, and that the changes themselves, run from
// the command line, refuse exactly those the window disables.
#include "CliRun.h"
#include "CommandFileBuilder.h"
#include "TestHome.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Texts.h"
#include "ops/AllowedChanges.h"
#include "ops/CloneCommand.h"
#include "ops/DebugWithBasic.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
#include "ops/Workspace.h"
#include "shell/Session.h"
#include "shell/platform/SimulatedDragon.h"
#include "shell/platform/SimulatedInstallation.h"
#include "writer/Texts.h"

#include <functional>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
using ops::AllowedChanges;
using ops::Outcome;

namespace {

constexpr std::uint8_t kEnglish = 9, kGerman = 7;

BuiltCommand command(std::string name, std::uint8_t kind, std::string text) {
    BuiltCommand c;
    c.name = std::move(name);
    c.kind = kind;
    c.text = std::move(text);
    c.group = "Work";
    return c;
}

BuiltCommand encrypted(std::string name, std::uint8_t kind) {
    auto c = command(std::move(name), kind, "");
    c.encryption = 1;
    c.encryptionBlock = "opaque";
    return c;
}

// One command or LIST of every kind the window tells apart.
CommandFileBuilder everyKind(std::uint8_t language) {
    CommandFileBuilder b(7, language);
    b.add(command("plain keys", kKindKeys, "hello"));
    b.add(command("braced keys", kKindKeys, "{Ctrl+s}"));
    b.add(command("legacy script", kKindScript, "SendKeys \"x\"\r\n"));
    b.add(command("advanced script", kKindAdvancedScript, "Sub Main\r\n\tBeep\r\nEnd Sub\r\n"));
    b.add(command("plain text", kKindText, "Dear Sir"));
    auto letterhead = command("letterhead", kKindText, "Caf\xE9");
    letterhead.formatted = "{\\rtf1 {\\b Caf\\'e9}}";
    b.add(letterhead);
    auto steps = command("steps", kKindStepByStep, "");
    steps.rawBody = stepByStepBody({step::pressKey(65, kShift)});
    b.add(steps);
    auto recording = command("recording", kKindRecorder, "");
    recording.rawBody = recorderBody({{"notepad", "Untitled", "Notepad", "a", "b", "c"}},
                                     {event::mouse(event::kLeftDown, 3, 4), event::mouse(event::kLeftUp)});
    b.add(recording);
    b.add(encrypted("secret script", kKindAdvancedScript));
    b.add(encrypted("secret keys", kKindKeys));
    b.add(BuiltList("color", {"red", "green"}));
    return b;
}

// What each row allows, in an English file and in a German one (where the two differ).
struct Expected {
    std::string name;
    std::uint8_t language;
    AllowedChanges allowed;
};

AllowedChanges allows(std::initializer_list<bool AllowedChanges::*> changes) {
    AllowedChanges a;
    a.rename = a.remove = true; // every row can be renamed and deleted
    for (auto c : changes) a.*c = true;
    return a;
}

const AllowedChanges kNothingButName = allows({});
using A = AllowedChanges;

const std::vector<Expected> kTable = {
    {"plain keys", kEnglish, allows({&A::modify, &A::clone, &A::toPlainText})},
    {"plain keys", kGerman, allows({&A::modify, &A::clone, &A::toPlainText})},
    {"braced keys", kEnglish, allows({&A::modify, &A::clone, &A::toAdvancedScript})},
    {"braced keys", kGerman, allows({&A::modify, &A::clone})},
    {"legacy script", kEnglish, allows({&A::modify, &A::clone, &A::debugWithBasic})},
    {"advanced script", kEnglish, allows({&A::modify, &A::clone, &A::debugWithBasic})},
    {"advanced script", kGerman, allows({&A::modify, &A::clone, &A::debugWithBasic})},
    {"plain text", kEnglish, allows({&A::modify, &A::clone})},
    {"letterhead", kEnglish, kNothingButName},
    {"steps", kEnglish, kNothingButName},
    {"recording", kEnglish, kNothingButName},
    {"secret script", kEnglish, kNothingButName},
    {"secret keys", kEnglish, kNothingButName},
    {"color", kEnglish, allows({&A::modify, &A::clone})},
};

std::string describe(const AllowedChanges& a) {
    std::string s;
    const std::pair<bool, const char*> parts[] = {{a.modify, "modify"},           {a.clone, "clone"},
                                                  {a.rename, "rename"},           {a.remove, "delete"},
                                                  {a.toPlainText, "to P"},        {a.toAdvancedScript, "to A"},
                                                  {a.debugWithBasic, "debug"}};
    for (const auto& [on, what] : parts)
        if (on) s += std::string(what) + " ";
    return s;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// A new body each kind takes (line breaks typed as such on the command line).
std::string newBody(const std::string& name) {
    if (name.ends_with("script") && name != "legacy script") return "Sub Main\n\tBeep\n\tBeep\nEnd Sub\n";
    if (name == "legacy script") return "SendKeys \"y\"";
    if (name == "color") return "red\nblue";
    return "hello there";
}

class AllowedChanges_ : public ::testing::Test {
protected:
    fs::path write(std::uint8_t language, const std::string& name = "cmds.dat") {
        const auto path = dir.path() / name;
        everyKind(language).writeFile(path);
        return path;
    }
    Session& open(const fs::path& path) {
        session.emplace(dir.path() / "home", prompter, clock);
        const auto opened = session->open(path);
        EXPECT_TRUE(opened.success) << opened.problem;
        return *session;
    }
    UserRow row(const std::string& name) {
        const auto r = session->store().findUser("Global Commands", "Global Commands", name);
        EXPECT_TRUE(r) << name;
        return r.value_or(UserRow{});
    }

    TempDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    std::optional<Session> session;
};

} // namespace

TEST_F(AllowedChanges_, EachKindOfRowAllowsItsChanges) {
    for (const auto language : {kEnglish, kGerman}) {
        auto& s = open(write(language, "file" + std::to_string(language) + ".dat"));
        const auto languageName = s.reader().file().info.languageName;
        for (const auto& e : kTable) {
            if (e.language != language) continue;
            const auto allowed = ops::allowedChanges(row(e.name), languageName);
            EXPECT_EQ(describe(allowed), describe(e.allowed)) << e.name << " in " << languageName;
        }
    }
}

// Each change as the command line makes it on a fresh copy of the file: exit 0 and a changed
// file when the row allows it, exit 1, a message and the file as it was otherwise.
TEST_F(AllowedChanges_, TheCommandLineRefusesExactlyWhatIsNotAllowed) {
    const auto home = dir.path() / "cli-home";
    struct Verb {
        const char* what;
        bool AllowedChanges::*allowed;
        std::function<std::string(const std::string& file, const std::string& name, bool list)> arguments;
    };
    const std::vector<Verb> verbs = {
        {"set-body", &A::modify,
         [](const std::string& f, const std::string& n, bool) {
             return "set-body " + f + " " + quoted(n) + " --text " + quoted(newBody(n));
         }},
        {"clone", &A::clone,
         [](const std::string& f, const std::string& n, bool list) {
             return "clone " + f + " " + quoted(n) + (list ? " shade" : " 'copy of it'");
         }},
        {"rename", &A::rename,
         [](const std::string& f, const std::string& n, bool list) {
             return "rename " + f + " " + quoted(n) + (list ? " shade" : " 'new name'");
         }},
        {"delete", &A::remove,
         [](const std::string& f, const std::string& n, bool list) {
             return list ? "--yes delete-list " + f + " " + quoted(n) : "--yes delete " + f + " --name " + quoted(n);
         }},
        {"to P", &A::toPlainText,
         [](const std::string& f, const std::string& n, bool) { return "change-kind " + f + " " + quoted(n) + " --to P"; }},
        {"to A", &A::toAdvancedScript,
         [](const std::string& f, const std::string& n, bool) { return "change-kind " + f + " " + quoted(n) + " --to A"; }},
    };
    int caseNumber = 0;
    for (const auto& e : kTable) {
        for (const auto& verb : verbs) {
            const auto file = write(e.language, "case" + std::to_string(++caseNumber) + ".dat");
            const auto before = readFileBytes(file);
            const auto arguments = "--home " + quoted(home.string()) + " " +
                                   verb.arguments(quoted(file.string()), e.name, e.name == "color");
            const auto run = runCli(arguments);
            const std::string context = e.name + " (language " + std::to_string(e.language) + "): " + verb.what;
            if (e.allowed.*verb.allowed) {
                EXPECT_EQ(run.status, 0) << context << "\n" << run.err;
                EXPECT_NE(readFileBytes(file), before) << context;
            } else {
                EXPECT_EQ(run.status, 1) << context << "\n" << run.out;
                EXPECT_NE(run.err, "") << context;
                EXPECT_EQ(run.out, "") << context;
                EXPECT_EQ(readFileBytes(file), before) << context;
            }
        }
    }
}

TEST_F(AllowedChanges_, RefusalsSayWhyAndLeaveTheFile) {
    const auto path = write(kGerman);
    auto& s = open(path);
    ops::Workspace ws(s, clock);
    const auto before = readFileBytes(path);
    const auto expectRefused = [&](const Outcome& o, std::string_view text, const std::string& context) {
        EXPECT_EQ(o.kind, Outcome::Kind::Refused) << context;
        EXPECT_EQ(o.reason, Outcome::Reason::NotAllowed) << context;
        EXPECT_EQ(o.text, text) << context;
        EXPECT_EQ(prompter.last().text, text) << context;
        EXPECT_EQ(readFileBytes(path), before) << context;
    };
    const auto save = [&](const std::string& name, std::string body, ops::Conversion conversion) {
        const auto r = row(name);
        ops::Edit edit;
        edit.rowId = r.ID;
        edit.bodyBefore = ops::bodyForEditing(r);
        edit.body = std::move(body);
        edit.conversion = conversion;
        return ops::SaveChanges(ws, std::move(edit)).run();
    };
    expectRefused(save("secret script", "Sub Main\r\nEnd Sub\r\n", ops::Conversion::None), texts::Encrypted, "encrypted");
    expectRefused(save("steps", "Press A", ops::Conversion::None),
                  std::string(ops::texts::KindNotEditable) + "Step by Step", "steps");
    expectRefused(save("braced keys", "{Ctrl+s}", ops::Conversion::ToAdvancedScript), texts::EnglishOnly,
                  "not an English file");
    expectRefused(save("braced keys", "{Ctrl+s}", ops::Conversion::ToPlainText), ops::texts::KeysWithBraces, "braces");
    expectRefused(save("legacy script", "SendKeys \"x\"\r\n", ops::Conversion::ToPlainText),
                  ops::texts::NotAKeysCommand, "a script");
    expectRefused(ops::startConversion(ws, row("plain keys").ID, ops::Conversion::ToAdvancedScript).outcome,
                  ops::texts::KeysWithoutBraces, "no braces");
    const ops::Place global{"Global Commands", "Global Commands"};
    expectRefused(ops::CloneCommand(ws, global, "recording", "recording again").run(),
                  std::string(ops::texts::KindNotCloned) + "Macro Recorder", "a recording");
    expectRefused(ops::CloneCommand(ws, global, "secret keys", "secret again").run(), texts::Encrypted,
                  "encrypted keys");

    // A row whose body cannot be edited still takes a new description: only its body stays.
    const auto r = row("letterhead");
    ops::Edit edit;
    edit.rowId = r.ID;
    edit.bodyBefore = edit.body = "<<< shown as the window shows it >>>";
    edit.description = "A letter";
    ASSERT_TRUE(ops::SaveChanges(ws, std::move(edit)).run().isDone()) << prompter.last().text;
    EXPECT_EQ(row("letterhead").description, "A letter");
    EXPECT_EQ(row("letterhead").script, r.script);
    EXPECT_EQ(row("letterhead").Type, "T");
}

TEST_F(AllowedChanges_, DebugWithBasicTakesOnlyScriptsThatCanBeEdited) {
    open(write(kEnglish));
    const auto root = dir.path() / "dragon";
    platform::createInstallation(root, {.user = "Jo"});
    platform::SimulatedDragon dragon(root);
    std::size_t keysSent = 0;
    dragon.windows().onKeys([&](platform::WindowHandle, const std::string&) { ++keysSent; });
    for (const auto& e : kTable) {
        if (e.language != kEnglish) continue;
        const auto r = row(e.name);
        keysSent = 0;
        const auto o = ops::DebugWithBasic(dragon, prompter, clock).run(r, r.script, 0);
        if (e.allowed.debugWithBasic) {
            EXPECT_TRUE(o.isDone()) << e.name << ": " << o.text;
            EXPECT_GT(keysSent, 0u) << e.name;
        } else {
            EXPECT_EQ(o.reason, Outcome::Reason::NotAllowed) << e.name;
            EXPECT_EQ(keysSent, 0u) << e.name << ": keys were typed";
        }
    }
}
