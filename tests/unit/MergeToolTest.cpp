// The stand-in for Dragon's merge tool: in process, and once as the built program.
#include "TestHome.h"

#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "shell/ShippedFiles.h"
#include "writer/CommandFileComposer.h"
#include "writer/CommandFileMerge.h"

#include "ProcessRunner.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

// The file's time at the file system's full precision.
std::int64_t modified(const std::filesystem::path& p) {
    const auto stamp = writeTimeStamp(p);
    EXPECT_TRUE(stamp.has_value());
    return stamp.value_or(0);
}

BuiltCommand dragonCommand(std::string name, std::uint8_t kind, std::string body) {
    BuiltCommand c;
    c.name = std::move(name);
    c.kind = kind;
    c.text = std::move(body);
    c.reservedAfterScope = kDragonReservedAfterScope;
    return c;
}

ComposedCommand composed(std::string type, std::string name, std::string text, std::string program = "Global Commands",
                         std::string scope = "Global Commands") {
    ComposedCommand c;
    c.typeCode = std::move(type);
    c.name = std::move(name);
    c.text = std::move(text);
    c.program = std::move(program);
    c.scope = std::move(scope);
    return c;
}

class Merge : public ReaderFixture {
protected:
    void SetUp() override {
        ReaderFixture::SetUp();
        writeShippedFiles(home());
    }
    // A user's file as Dragon writes it: one global command, one LIST.
    void writeUserFile(std::uint8_t versionCode = 7) {
        CommandFileBuilder b(versionCode);
        b.add(dragonCommand("copy that", kKindKeys, "{Ctrl+c}"));
        b.add(BuiltList("colour", {"red"}));
        b.writeFile(file());
    }
    std::vector<UserRow> reread() {
        const auto outcome = reader->ReadCommandFile(true, file());
        EXPECT_TRUE(outcome.success) << outcome.problem;
        return store->allUsers();
    }
    std::optional<UserRow> find(const std::string& menu, const std::string& state, const std::string& name) {
        reread();
        return store->findUser(menu, state, name);
    }
};

} // namespace

TEST_F(Merge, VoiceCommandsAreAddedOnceAndEveryMergeChangesTheTime) {
    writeUserFile();
    const auto original = readFileBytes(file());
    auto result = mergeCommandFileInto(file(), home() / "vocglobal.dat");
    EXPECT_EQ(result.commandsAdded, 2u);
    EXPECT_EQ(result.listsAdded, 0u);
    const auto once = readFileBytes(file());
    // The user's own record stays byte for byte, Dragon's reserved bytes included.
    const std::size_t userRecordsEnd = original.size() - (4 + 1 + 6 + 4 + 4 + 1 + 3);
    EXPECT_TRUE(std::equal(original.begin() + 21, original.begin() + static_cast<long>(userRecordsEnd), once.begin() + 21));
    EXPECT_EQ(reread().size(), 4u);
    const auto global = store->findUser("Global Commands", "Global Commands", "global vocabrella");
    ASSERT_TRUE(global);
    EXPECT_NE(global->script.find("Vocabrella.exe"), std::string::npos);

    for (int i = 0; i < 3; ++i) { // merges in quick succession: the time changes every time
        const auto before = modified(file());
        result = mergeCommandFileInto(file(), home() / "vocglobal.dat");
        EXPECT_EQ(result.commandsAdded, 0u);
        EXPECT_EQ(readFileBytes(file()), once);
        EXPECT_FALSE(modified(file()) == before);
    }
}

TEST_F(Merge, PlacerAddsNothingToARealFile) {
    copySampleToChange("clear-categories.dat", file());
    const auto before = modified(file());
    auto placer = readFileBytes(home() / "placer.dat");
    placer[15] = 7; // another language than the user's: merged all the same
    writeFileAtomically(home() / "placer.dat", placer, false);
    const auto result = mergeCommandFileInto(file(), home() / "placer.dat");
    EXPECT_EQ(result.commandsAdded + result.listsAdded, 0u);
    EXPECT_EQ(readFileBytes(file()), readFileBytes(sample("clear-categories.dat")));
    EXPECT_FALSE(modified(file()) == before);
}

TEST_F(Merge, PresentCommandsAndListsAreKept) {
    writeUserFile();
    CommandFileComposer t(7, 9);
    t.add(composed("K", "COPY THAT", "{Ctrl+x}"));                              // same key without case: kept
    t.add(composed("K", "copy that", "{Ctrl+Ins}", "WINWORD", "Application-specific")); // another program: added
    t.add(composed("K", "paste <colour>", "{Ctrl+v}"));
    t.add(composed("K", "paste <colour>", "{Shift+Ins}"));                      // twice in the template: once
    t.add(ComposedList{"Colour", {"blue"}});
    t.add(ComposedList{"size", {"big"}});
    auto bytes = t.bytes();
    writeFileAtomically(home() / "template.dat", bytes, false);
    const auto result = mergeCommandFileInto(file(), home() / "template.dat");
    EXPECT_EQ(result.commandsAdded, 2u);
    EXPECT_EQ(result.listsAdded, 1u);

    const auto rows = reread();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(store->findUser("Global Commands", "Global Commands", "copy that")->script, "{Ctrl+c}");
    EXPECT_EQ(store->findUser("WINWORD", "Application-specific", "copy that")->script, "{Ctrl+Ins}");
    EXPECT_EQ(store->findUser("Global Commands", "Global Commands", "paste <colour>")->script, "{Ctrl+v}");
    EXPECT_EQ(store->findUser("Global Commands", "Global Commands", "colour")->script, "red\r\n");
    EXPECT_EQ(store->findUser("Global Commands", "Global Commands", "size")->script, "big\r\n");
}

TEST_F(Merge, SkippedRecordsAreNeitherAddedNorCounted) {
    CommandFileBuilder user(7);
    auto dead = dragonCommand("copy that", kKindKeys, "{Ctrl+c}");
    dead.scopeByte = kSkippedRecord;
    user.add(dead).writeFile(file());
    CommandFileBuilder templ(7);
    auto deadToo = dragonCommand("cut that", kKindKeys, "{Ctrl+x}");
    deadToo.scopeByte = kSkippedRecord;
    templ.add(dragonCommand("copy that", kKindKeys, "{Ctrl+Ins}")).add(deadToo).writeFile(home() / "template.dat");
    EXPECT_EQ(mergeCommandFileInto(file(), home() / "template.dat").commandsAdded, 1u);
    EXPECT_EQ(find("Global Commands", "Global Commands", "copy that")->script, "{Ctrl+Ins}");
    EXPECT_FALSE(store->findUser("Global Commands", "Global Commands", "cut that"));
}

TEST_F(Merge, TemplateRecordsTakeTheUserFilesLayout) {
    for (const auto& [userCode, templateCode] : {std::pair<std::uint8_t, std::uint8_t>{7, 4}, {3, 7}, {5, 6}}) {
        SCOPED_TRACE(std::to_string(userCode) + " <- " + std::to_string(templateCode));
        writeUserFile(userCode);
        CommandFileComposer t(templateCode, 9);
        auto steps = composed("X", "steps", "", "NOTEPAD", "Untitled - Notepad");
        steps.steps = {ComposedStep::typeText("hello"), ComposedStep::wait(20)};
        steps.states = {"Editing"};
        t.add(steps);
        auto recorded = composed("R", "recorded", "", "EXCEL", "Application-specific");
        recorded.events = {ComposedEvent::mouse(mouseAction::Move, 3, 4)};
        t.add(recorded);
        t.add(composed("A", "script", "Sub Main\r\nEnd Sub\r\n"));
        writeFileAtomically(home() / "template.dat", t.bytes(), false);
        EXPECT_EQ(mergeCommandFileInto(file(), home() / "template.dat").commandsAdded, 3u);
        EXPECT_EQ(reread().size(), 5u);
        EXPECT_EQ(reader->file().info.versionCode, userCode);
        EXPECT_EQ(store->findUser("NOTEPAD", "Untitled - Notepad", "steps")->script, "Type \"hello\"\r\nwait 20 milliseconds");
        EXPECT_EQ(store->findUser("EXCEL", "Application-specific", "recorded")->script, "Mouse move (3,4)");
        EXPECT_EQ(store->findUser("Global Commands", "Global Commands", "script")->script, "Sub Main\r\nEnd Sub\r\n");
    }
}

TEST_F(Merge, FailuresLeaveTheUserFileAsItWas) {
    writeUserFile();
    const auto original = readFileBytes(file());
    const auto voice = readFileBytes(home() / "vocglobal.dat");
    CommandFileBuilder encrypted(7);
    auto secret = dragonCommand("secret", kKindAdvancedScript, "");
    secret.encryption = 1;
    secret.encryptionBlock = "xyz";
    const std::vector<std::pair<std::string, Bytes>> templates = {
        {"cut short", Bytes(voice.begin(), voice.begin() + 150)},
        {"not a command file", Bytes{'M', 'Z', 0, 0}},
        {"unknown version", [&] { auto b = voice; b[4] = 9; return b; }()},
        {"a LIST count beyond the file", [&] { auto b = readFileBytes(home() / "placer.dat"); b[21] = 1; return b; }()},
    };
    for (const auto& [what, bytes] : templates) {
        SCOPED_TRACE(what);
        writeFileAtomically(home() / "template.dat", bytes, false);
        const auto before = modified(file());
        EXPECT_THROW(mergeCommandFileInto(file(), home() / "template.dat"), MergeError);
        EXPECT_EQ(readFileBytes(file()), original);
        EXPECT_TRUE(modified(file()) == before);
    }
    EXPECT_THROW(mergeCommandFileInto(file(), home() / "missing.dat"), MergeError);
    // An encrypted command has no place in a file without the encryption flag.
    writeUserFile(6);
    const auto older = readFileBytes(file());
    encrypted.add(secret).writeFile(home() / "template.dat");
    EXPECT_THROW(mergeCommandFileInto(file(), home() / "template.dat"), MergeError);
    EXPECT_EQ(readFileBytes(file()), older);
    // A damaged user's file is not rewritten either.
    Bytes damaged(older.begin(), older.end() - 3);
    writeFileAtomically(file(), damaged, false);
    EXPECT_THROW(mergeCommandFileInto(file(), home() / "vocglobal.dat"), MergeError);
    EXPECT_EQ(readFileBytes(file()), damaged);
}

#ifdef VOCABRELLA_MERGE_TOOL
namespace {

struct Run {
    int status = -1;
    std::string err;
};

Run runMergeTool(const std::vector<std::string>& arguments, const std::filesystem::path&) {
    std::vector<std::string> args{VOCABRELLA_MERGE_TOOL};
    args.insert(args.end(), arguments.begin(), arguments.end());
    const auto result = runProgram(args);
    return {result.status, result.err};
}

} // namespace

TEST_F(Merge, TheBuiltToolMergesAndReportsFailures) {
    writeUserFile();
    auto run = runMergeTool({file().string(), (home() / "vocglobal.dat").string()}, home() / "stderr");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(find("Global Commands", "Global Commands", "local vocabrella"));
    const auto merged = readFileBytes(file());

    writeFileAtomically(home() / "template.dat", Bytes{'L', 'H', 'S', 'P', 7}, false);
    run = runMergeTool({file().string(), (home() / "template.dat").string()}, home() / "stderr");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("template.dat"), std::string::npos) << run.err;
    EXPECT_EQ(readFileBytes(file()), merged);

    run = runMergeTool({file().string()}, home() / "stderr");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("usage"), std::string::npos);
}
#endif
