#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "writer/RebuildOperations.h"
#include "writer/Updater.h"
#include "writer/VersionConversion.h"

#include <functional>

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

BuiltCommand appCommand(std::string name, std::string module, std::string group = "") {
    auto c = inProgram(bareCommand(std::move(name)), std::move(module), "Word processor", "Maker Inc");
    c.group = std::move(group);
    return c;
}

class Writer : public ReaderFixture {
protected:
    WriterEnvironment env() { return {*store, *reader, trace, prompter, home()}; }
    CommandFileUpdater updater() { return CommandFileUpdater(env()); }

    void open(CommandFileBuilder& b) {
        b.writeFile(file());
        ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    }
    Bytes bytes() { return readFileBytes(file()); }
    // Reads the file again and returns what a fresh parse stores.
    std::vector<UserRow> reparse() {
        const auto outcome = reader->ReadCommandFile(true, file());
        EXPECT_TRUE(outcome.success) << outcome.problem;
        return store->allUsers();
    }
    UserRow row(const std::string& name) {
        for (const auto& r : store->allUsers())
            if (r.name == name) return r;
        ADD_FAILURE() << "no row " << name;
        return {};
    }
    // The positions the store holds must be those a fresh parse finds.
    void expectStorePositionsMatchFile() {
        std::vector<std::tuple<std::string, int, int>> held;
        for (const auto& r : store->allUsers()) held.emplace_back(r.name, r.offset, r.offsetbody);
        const auto offsetLists = store->parameters().OffsetLists;
        std::vector<std::tuple<std::string, int, int>> fresh;
        for (const auto& r : reparse()) fresh.emplace_back(r.name, r.offset, r.offsetbody);
        EXPECT_EQ(held, fresh);
        EXPECT_EQ(offsetLists, store->parameters().OffsetLists);
    }
};

} // namespace

TEST_F(Writer, BodyGrowingPastAPrefixWidthMovesEverythingBehindIt) {
    CommandFileBuilder b(7);
    b.add(bareCommand("first", kKindAdvancedScript, std::string(254, 'a')));
    b.add(bareCommand("second"));
    b.add(BuiltList("l", {"x"}));
    open(b);
    const auto before = store->allUsers();
    const auto sizeBefore = bytes().size();
    updater().Update1Body(row("first").ID, std::string(255, 'b'));
    EXPECT_EQ(bytes().size(), sizeBefore + 3);
    const auto after = store->allUsers();
    EXPECT_EQ(after[1].offset, before[1].offset + 3);
    EXPECT_EQ(after[1].offsetbody, before[1].offsetbody + 3);
    EXPECT_EQ(after[2].offset, before[2].offset + 3);
    EXPECT_EQ(after[0].script, std::string(255, 'b'));
    expectStorePositionsMatchFile();
    EXPECT_EQ(row("first").script, std::string(255, 'b'));
    EXPECT_EQ(readFileBytes(home() / "savedat").size(), sizeBefore) << "savedat holds the previous file";
    EXPECT_NE(readText(home() / "trace.vbl").find("Update1Body  \r\n"), std::string::npos);
}

// The writers keep their memory from one change to the next; a session of changes of every
// size must still leave, after each, the file, the loaded image and savedat in step.
TEST_F(Writer, ASessionOfChangesKeepsFileImageAndSavedatInStep) {
    CommandFileBuilder b(7);
    for (int i = 0; i < 40; ++i) b.add(bareCommand("cmd" + std::to_string(i), kKindAdvancedScript, std::string(200 + i, 'a')));
    b.add(BuiltList("colors", {"red", "green"}));
    open(b);

    std::vector<std::function<void()>> changes = {
        [&] { updater().Update1Body(row("cmd3").ID, std::string(5000, 'g')); }, // grows
        [&] { updater().Update1Body(row("cmd3").ID, "short"); },               // shrinks
        [&] { updater().UpdateFirstThings(row("cmd10").ID, "renamed", "described", "Editing"); },
        [&] { updater().UpdateListRename(row("colors").ID, "colours"); },
        [&] {
            NewCommandRecord added;
            added.name = "added";
            added.program = added.scope = "Global Commands";
            added.typeCode = "A";
            added.body = "Sub Main\r\nEnd Sub";
            updater().UpdateNewCommand(added);
            reparse(); // as the program does after adding a command
        },
        [&] {
            store->setFlag(row("cmd20").ID, true);
            DeleteMarked(env());
            reparse(); // as after every rebuild
        },
        [&] { updater().Update1Body(row("cmd39").ID, std::string(3000, 'z')); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const Bytes before = bytes();
        changes[i]();
        const Bytes after = bytes();
        EXPECT_NE(after, before) << "change " << i;
        EXPECT_EQ(reader->file().image, after) << "change " << i;
        EXPECT_EQ(readFileBytes(home() / "savedat"), before) << "change " << i;
        expectStorePositionsMatchFile();
    }
    EXPECT_EQ(row("cmd3").script, "short");
    EXPECT_EQ(row("renamed").description, "described");
    EXPECT_EQ(row("cmd39").script, std::string(3000, 'z'));
}

// The store's side of a change is made while the file is written; when the file cannot be
// written, neither the file nor the store may have changed.
TEST_F(Writer, AWriteThatFailsLeavesFileImageAndStoreAsTheyWere) {
    CommandFileBuilder b(7);
    for (int i = 0; i < 30; ++i) b.add(bareCommand("cmd" + std::to_string(i)));
    open(b);
    const auto shape = [this] {
        std::vector<std::tuple<std::string, int, int, std::string>> rows;
        for (const auto& r : store->allUsers()) rows.emplace_back(r.name, r.offset, r.offsetbody, r.script);
        return rows;
    };
    const auto fileBefore = bytes();
    const auto storeBefore = shape();
    std::filesystem::create_directories(home() / "savedat" / "in the way"); // savedat cannot be replaced

    EXPECT_THROW(updater().Update1Body(row("cmd1").ID, std::string(400, 'q')), std::filesystem::filesystem_error);
    EXPECT_THROW(updater().UpdateFirstThings(row("cmd2").ID, "other", "", ""), std::filesystem::filesystem_error);
    EXPECT_EQ(bytes(), fileBefore);
    EXPECT_EQ(reader->file().image, fileBefore);
    EXPECT_EQ(shape(), storeBefore);

    std::filesystem::remove_all(home() / "savedat");
    updater().Update1Body(row("cmd1").ID, std::string(400, 'q'));
    EXPECT_EQ(row("cmd1").script, std::string(400, 'q'));
    expectStorePositionsMatchFile();
}

TEST_F(Writer, BodyOfTheLastCommandKeepsTheListCount) {
    for (bool withLists : {false, true}) {
        CommandFileBuilder b(6);
        b.add(bareCommand("only", kKindKeys, "{Enter}"));
        if (withLists) b.add(BuiltList("colors", {"red"}));
        open(b);
        updater().Update1Body(row("only").ID, "{Tab}");
        const auto r = reparse();
        ASSERT_EQ(r.size(), withLists ? 2u : 1u);
        EXPECT_EQ(r[0].script, "{Tab}");
        const auto data = bytes();
        EXPECT_EQ(data[data.size() - (withLists ? 4 + 7 + 4 + 4 + 4 : 4)], withLists ? 1 : 0);
    }
}

TEST_F(Writer, PlainTextBodyKeepsItsEmptyFormattedPart) {
    CommandFileBuilder b(5);
    b.add(bareCommand("sig", kKindText, "old"));
    open(b);
    updater().Update1Body(row("sig").ID, "new text");
    const auto data = bytes();
    const auto body = row("sig").offsetbody - 1;
    EXPECT_EQ(data[body], 0);
    EXPECT_EQ(data[body + 1], 8);
    EXPECT_EQ(reparse()[0].script, "new text");
}

TEST_F(Writer, ListItemsOfAProgramCopyRewriteTheGlobalList) {
    CommandFileBuilder b(7);
    b.add(bareCommand("pick <colors>"));
    b.add(BuiltList("colors", {"red", "green"}));
    b.add(BuiltList("sizes", {"big"}));
    open(b);
    UserRow copy = row("colors");
    copy.ID = 0;
    copy.menu = "WINWORD";
    const auto copyId = store->insertUser(copy);
    const auto sizesBefore = row("sizes").offset;
    updater().Update1Body(copyId, "red\r\ngreen\r\nblue  \r\n\r\n");
    EXPECT_EQ(row("sizes").offset, sizesBefore + 5);
    EXPECT_EQ(store->userById(copyId)->offset, copy.offset) << "program copies stay where they are";
    const auto r = reparse();
    EXPECT_EQ(r[1].script, "red\r\ngreen\r\nblue\r\n");
    EXPECT_EQ(r[2].name, "sizes");
}

TEST_F(Writer, KindChangesOfKeysCommands) {
    for (std::uint8_t code = 3; code <= 7; ++code) {
        SCOPED_TRACE(int(code));
        CommandFileBuilder b(code);
        b.add(bareCommand("keys one", kKindKeys, "hello"));
        b.add(bareCommand("keys two", kKindKeys, "{Ctrl+a}"));
        b.add(bareCommand("after"));
        open(b);
        updater().Updatechangetype(row("keys one").ID, CommandFileUpdater::KindChange::ToPlainText);
        updater().Updatechangetype(row("keys two").ID, CommandFileUpdater::KindChange::ToAdvancedScript);
        expectStorePositionsMatchFile();
        const auto r = store->allUsers();
        EXPECT_EQ(r[0].Type, "P");
        EXPECT_EQ(r[0].script, "hello");
        EXPECT_EQ(r[1].Type, "A");
        EXPECT_EQ(r[1].script, "{Ctrl+a}");
        EXPECT_EQ(r[2].Type, "A");
    }
}

TEST_F(Writer, FirstThingsRewriteNameReferencesDescriptionAndGroup) {
    CommandFileBuilder b(7);
    auto c = appCommand("old name", "WINWORD", "Editing");
    c.states = {"Typing"};
    b.add(c);
    b.add(bareCommand("next"));
    b.add(BuiltList("colors", {"red"}));
    open(b);
    updater().UpdateFirstThings(row("old name").ID, "paint <colors> now", "new description", "User-defined");
    expectStorePositionsMatchFile();
    const auto r = store->allUsers();
    EXPECT_EQ(r[0].name, "paint <colors> now");
    EXPECT_EQ(r[0].lists, 1);
    EXPECT_EQ(r[0].description, "new description");
    EXPECT_EQ(r[0].owner, "User-defined");
    EXPECT_EQ(r[0].menu, "WINWORD");
    EXPECT_NE(r[0].states, "");
}

TEST_F(Writer, ListRenameSkipsTheOldNameByItsRealPrefix) {
    CommandFileBuilder b(7);
    b.add(bareCommand("a"));
    b.add(BuiltList(std::string(150, 'n'), {"x"}));
    b.add(BuiltList(CountedText("wide", PrefixWidth::ThreeBytes), {"y"}));
    b.add(BuiltList("last", {"z"}));
    open(b);
    const auto sizeBefore = bytes().size();
    updater().UpdateListRename(row(std::string(150, 'n')).ID, "short");
    EXPECT_EQ(bytes().size(), sizeBefore - 145);
    updater().UpdateFirstThings(row("wide").ID, "medium", "", "");
    EXPECT_EQ(bytes().size(), sizeBefore - 145 - 2 + 2);
    expectStorePositionsMatchFile();
    const auto r = store->allUsers();
    EXPECT_EQ(r[1].name, "short");
    EXPECT_EQ(r[2].name, "medium");
    EXPECT_EQ(r[2].script, "y\r\n");
    EXPECT_EQ(r[3].name, "last");
}

TEST_F(Writer, NewCommandsHaveTheLayoutOfTheirFamily) {
    for (std::uint8_t code : {3, 6}) {
        CommandFileBuilder b(code);
        b.add(bareCommand("existing"));
        b.add(BuiltList("colors", {"red"}));
        open(b);
        NewCommandRecord rec;
        rec.name = "new <colors>";
        rec.program = "WINWORD";
        rec.scope = "Application-specific";
        rec.typeCode = "P";
        rec.body = "typed text";
        rec.group = "User-defined";
        rec.programDescription = "Word";
        updater().UpdateNewCommand(rec);
        const auto r = reparse();
        ASSERT_EQ(r.size(), 3u);
        EXPECT_EQ(r[1].name, "new <colors>");
        EXPECT_EQ(r[1].Type, "P");
        EXPECT_EQ(r[1].menu, "WINWORD");
        EXPECT_EQ(r[1].owner, "User-defined");
        EXPECT_EQ(r[1].PDescript, 4);
        EXPECT_EQ(r[1].script, "typed text");
        EXPECT_EQ(r[2].name, "colors");
        const auto data = bytes();
        const auto scope = static_cast<std::size_t>(r[1].offset - 1) + 1 + 12 + 4 + 1 + 7 + 1 + 1;
        EXPECT_EQ(data[scope - 1], 1) << "scope byte";
        if (code == 6) {
            EXPECT_EQ(std::vector<std::uint8_t>(data.begin() + scope, data.begin() + scope + 12), std::vector<std::uint8_t>(12, 0));
        } else {
            EXPECT_EQ(data[scope], 7) << "6.0 has no block after the scope byte";
        }
        EXPECT_TRUE(std::filesystem::exists(home() / "command.new"));
    }
}

TEST_F(Writer, NewListIsAppendedAndCounted) {
    CommandFileBuilder b(7);
    b.add(bareCommand("a"));
    b.add(BuiltList("colors", {"red"}));
    open(b);
    updater().UpdateNewList("sizes", "a\r\nb");
    const auto r = reparse();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[2].name, "sizes");
    EXPECT_EQ(r[2].script, "a\r\nb\r\n");
    EXPECT_EQ(reader->file().info.listCount, 2u);
}

TEST_F(Writer, BadInputIsRefusedBeforeAnythingIsWritten) {
    CommandFileBuilder b(7);
    b.add(bareCommand("a"));
    b.add(BuiltList("colors", {"red"}));
    open(b);
    const auto original = bytes();
    const auto rowsBefore = store->allUsers();
    const auto id = row("a").ID;
    std::string many;
    for (int i = 0; i < 21; ++i) many += "<l" + std::to_string(i) + ">";
    EXPECT_THROW(updater().Update1Body(id, "\u6F22\u5B57"), Refusal);
    EXPECT_THROW(updater().Update1Body(id, ""), Refusal);
    EXPECT_THROW(updater().UpdateFirstThings(id, "tab\there", "", ""), Refusal);
    EXPECT_THROW(updater().UpdateFirstThings(id, many, "", ""), Refusal);
    EXPECT_THROW(updater().UpdateNewList("bad\nname", "x"), Refusal);
    EXPECT_THROW(updater().Updatechangetype(id, CommandFileUpdater::KindChange::ToPlainText), Refusal);
    EXPECT_THROW(updater().Update1Body(9999, "x"), Refusal);
    EXPECT_EQ(bytes(), original);
    EXPECT_FALSE(std::filesystem::exists(home() / "savedat"));
    EXPECT_EQ(store->allUsers().size(), rowsBefore.size());
    EXPECT_EQ(store->allUsers()[0].script, rowsBefore[0].script);
}

TEST_F(Writer, PlainRebuildReproducesEveryFamilyByteForByte) {
    for (std::uint8_t code = 3; code <= 7; ++code) {
        CommandFileBuilder b(code);
        auto c = appCommand("x", "WINWORD");
        c.reservedAfterScope = kDragonReservedAfterScope;
        c.states = {"one", "One"};
        b.add(c);
        auto secret = bareCommand("secret");
        secret.encryption = code == 7 ? 1 : 0;
        secret.encryptionBlock = "block";
        b.add(secret);
        auto skipped = bareCommand("skipped");
        skipped.scopeByte = kSkippedRecord;
        b.add(skipped);
        auto steps = bareCommand("steps", kKindStepByStep);
        steps.rawBody = stepByStepBody({step::wait(5)});
        b.add(steps);
        auto wide = bareCommand("short prefix", kKindKeys);
        wide.text = CountedText("k", PrefixWidth::ThreeBytes);
        b.add(wide);
        b.add(BuiltList("l", {"a"}));
        open(b);
        const auto original = bytes();
        PlainRebuild op;
        const auto result = runRebuild(env(), op);
        EXPECT_EQ(result.commands, 5u);
        EXPECT_EQ(bytes(), original) << int(code);
    }
    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        copySampleToChange(name, file(name));
        ASSERT_TRUE(reader->ReadCommandFile(true, file(name)).success);
        PlainRebuild op;
        runRebuild(env(), op);
        EXPECT_EQ(readFileBytes(file(name)), readFileBytes(sample(name))) << name;
    }
}

// The LIST only the deleted command used goes with it; a LIST nobody used before stays.
TEST_F(Writer, DeletingDropsFlaggedCommandsAndTheListsOnlyTheyUsed) {
    CommandFileBuilder b(7);
    b.add(bareCommand("keep <sizes>"));
    b.add(bareCommand("drop <colors>"));
    b.add(bareCommand("also keep"));
    b.add(BuiltList("colors", {"red"}));
    b.add(BuiltList("sizes", {"big"}));
    b.add(BuiltList("unused", {"x"}));
    open(b);
    store->clearFlags();
    auto drop = row("drop <colors>");
    store->deleteUser(drop.ID);
    drop.flag = true;
    const auto dropId = store->insertUser(drop); // the flag marks it for deletion
    (void)dropId;
    const auto result = DeleteMarked(env());
    EXPECT_EQ(result.commands, 2u);
    EXPECT_EQ(result.lists, 2u);
    EXPECT_TRUE(row("sizes").noglobals);
    EXPECT_FALSE(row("unused").noglobals) << "no remaining command uses it";
    const auto r = reparse();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].name, "keep <sizes>");
    EXPECT_EQ(r[1].name, "also keep");
    EXPECT_EQ(r[2].name, "sizes");
    EXPECT_EQ(r[3].name, "unused");
}

TEST_F(Writer, DeletingTheOnlyUserOfTheOnlyListLeavesNoList) {
    CommandFileBuilder b(6);
    b.add(bareCommand("use <colors>"));
    b.add(BuiltList("colors", {"red"}));
    open(b);
    store->flagAll();
    DeleteMarked(env());
    const auto data = bytes();
    EXPECT_EQ(data.size(), 25u);
    EXPECT_TRUE(reparse().empty());
}

TEST_F(Writer, RenamingGroupsAndPrograms) {
    CommandFileBuilder b(7);
    b.add(appCommand("no group", "WINWORD"));
    b.add(appCommand("editing", "WINWORD", "Editing"));
    b.add(appCommand("other", "EXCEL", "Other"));
    open(b);
    store->flagAll();
    RenameGroup(env(), "User-defined", "Named");
    auto r = reparse();
    EXPECT_EQ(r[0].owner, "Named");
    EXPECT_EQ(r[1].owner, "Editing");
    store->flagAll();
    RenameGroup(env(), "All groups", "Everything");
    r = reparse();
    for (const auto& row : r) EXPECT_EQ(row.owner, "Everything");
    store->clearFlags();
    store->flagProgram("WINWORD");
    RenameProgramOperation op("notepad");
    runRebuild(env(), op);
    r = reparse();
    EXPECT_EQ(r[0].menu, "NOTEPAD");
    EXPECT_EQ(r[1].menu, "NOTEPAD");
    EXPECT_EQ(r[2].menu, "EXCEL");
    EXPECT_EQ(r[0].PDescript, 14) << "the rest of the scope data is kept";
}

TEST_F(Writer, AStoreThatDoesNotDescribeTheFileIsRefused) {
    CommandFileBuilder b(7);
    b.add(bareCommand("a"));
    b.add(bareCommand("b"));
    open(b);
    store->flagAll();
    CommandFileBuilder other(7);
    other.add(bareCommand("completely different"));
    other.add(bareCommand("b"));
    other.writeFile(file());
    const auto changed = bytes();
    EXPECT_THROW(DeleteMarked(env()), Refusal);
    EXPECT_EQ(bytes(), changed);
}

TEST_F(Writer, RebuildNeedsKeynames) {
    CommandFileBuilder b(7);
    b.add(bareCommand("a"));
    open(b);
    std::filesystem::remove(home() / "keynames");
    PlainRebuild op;
    try {
        runRebuild(env(), op);
        FAIL();
    } catch (const Refusal& r) {
        EXPECT_STREQ(r.what(), "Required file 'keynames' missing");
        EXPECT_EQ(r.title(), "Reinstall");
    }
}

namespace {

CommandFileBuilder versionSample(std::uint8_t code) {
    CommandFileBuilder b(code);
    auto a = appCommand("app", "WINWORD", "Editing");
    if (code >= 5) a.reservedAfterScope = kDragonReservedAfterScope;
    b.add(a);
    auto w = appCommand("win", "WINWORD");
    w.scopeByte = kScopeWindow;
    w.windowTitle = "Doc - Word";
    w.windowClass = "OpusApp";
    b.add(w);
    b.add(bareCommand("script", kKindAdvancedScript, "Sub Main\r\n  SendKeys \"x\"\r\nEnd Sub"));
    b.add(bareCommand("keys", kKindKeys, "{Ctrl+c}"));
    b.add(bareCommand("text", kKindText, "plain"));
    auto steps = bareCommand("steps", kKindStepByStep);
    steps.rawBody = stepByStepBody({step::pressKey(65, kCtrl)});
    b.add(steps);
    b.add(BuiltList("colors", {"red", "green"}));
    return b;
}

} // namespace

TEST_F(Writer, VersionConversionsKeepTheCommands) {
    for (std::uint8_t from = 3; from <= 7; ++from) {
        for (const char* to : {"6.0", "6.1", "7.x", "8/9"}) {
            const auto* target = ConvertVersionOperation::target(to);
            if (target->code == from) continue;
            SCOPED_TRACE(std::to_string(from) + " to " + to);
            auto b = versionSample(from);
            open(b);
            const auto before = store->allUsers();
            prompter.answers = {"ok"};
            ConvertVersionOperation op(*target, false);
            ASSERT_TRUE(runRebuild(env(), op).done);
            const auto after = reparse();
            EXPECT_EQ(reader->file().info.versionCode, target->code);
            ASSERT_EQ(after.size(), before.size());
            for (std::size_t i = 0; i < after.size(); ++i) {
                EXPECT_EQ(after[i].name, before[i].name);
                EXPECT_EQ(after[i].menu, before[i].menu);
                EXPECT_EQ(after[i].state, before[i].state);
                EXPECT_EQ(after[i].Type, before[i].Type);
                EXPECT_EQ(after[i].owner, before[i].owner);
                if (!(from <= 4 && target->code == 4) || before[i].Type != "A") {
                    EXPECT_EQ(after[i].script, before[i].script);
                }
            }
        }
    }
}

TEST_F(Writer, SixToEightAndBackIsTheSameFile) {
    auto b = versionSample(3);
    open(b);
    const auto original = bytes();
    prompter.answers = {"ok", "ok"};
    ConvertVersionOperation up(*ConvertVersionOperation::target("8/9"), false);
    runRebuild(env(), up);
    ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    EXPECT_EQ(bytes()[4], 6);
    ConvertVersionOperation down(*ConvertVersionOperation::target("6.0"), false);
    runRebuild(env(), down);
    EXPECT_EQ(bytes(), original);
}

TEST_F(Writer, VersionConversionRewritesSendKeys) {
    CommandFileBuilder b(6);
    b.add(bareCommand("s", kKindAdvancedScript, "senddragonkeys \"{Enter}\"\r\nSendDragonKeys \"x\""));
    open(b);
    prompter.answers = {"ok"};
    ConvertVersionOperation op(*ConvertVersionOperation::target("6.0"), false);
    runRebuild(env(), op);
    EXPECT_EQ(reparse()[0].script, "SendKeys \"{Enter}\"\r\nSendKeys \"x\"");
    prompter.answers = {"ok"};
    ConvertVersionOperation up(*ConvertVersionOperation::target("6.1"), false);
    runRebuild(env(), up);
    EXPECT_EQ(reparse()[0].script, "SendDragonKeys \"{Enter}\"\r\nSendDragonKeys \"x\"");
}

TEST_F(Writer, VersionConversionRefusals) {
    auto b = versionSample(6);
    open(b);
    const auto original = bytes();
    ConvertVersionOperation same(*ConvertVersionOperation::target("8/9"), false);
    EXPECT_FALSE(runRebuild(env(), same).done);
    EXPECT_EQ(prompter.last().text, "Already in 8/9 format");
    EXPECT_EQ(prompter.last().title, file().string());
    ConvertVersionOperation user(*ConvertVersionOperation::target("7.x"), true);
    EXPECT_FALSE(runRebuild(env(), user).done);
    EXPECT_EQ(prompter.last().text, "This is your open User file - Not Allowed");
    ConvertVersionOperation cancelled(*ConvertVersionOperation::target("7.x"), false);
    prompter.answers = {"cancel"};
    EXPECT_FALSE(runRebuild(env(), cancelled).done);
    EXPECT_EQ(prompter.last().text, "Convert this file to 7.0 format?");
    EXPECT_EQ(bytes(), original);

    CommandFileBuilder german(6, 7);
    german.add(bareCommand("x"));
    open(german);
    ConvertVersionOperation toSix(*ConvertVersionOperation::target("6.0"), false);
    EXPECT_FALSE(runRebuild(env(), toSix).done);
    EXPECT_EQ(prompter.last().text, "There is no German version 6.0");
    EXPECT_EQ(prompter.last().title, "contact Quillfeather if this is reached in error");

    CommandFileBuilder encrypted(7);
    auto secret = bareCommand("secret");
    secret.encryption = 1;
    encrypted.add(secret);
    open(encrypted);
    const auto withSecret = bytes();
    prompter.answers = {"ok"};
    ConvertVersionOperation toEight(*ConvertVersionOperation::target("8/9"), false);
    EXPECT_THROW(runRebuild(env(), toEight), Refusal);
    EXPECT_EQ(bytes(), withSecret);
}

TEST_F(Writer, LanguageConversionChangesOneByte) {
    auto b = versionSample(7);
    open(b);
    const auto original = bytes();
    EXPECT_FALSE(ConvertLanguage(env(), "English", false));
    EXPECT_EQ(prompter.last().text, "Already in this language - Not Converted");
    EXPECT_EQ(prompter.last().title, "English");
    prompter.answers = {"yes"};
    EXPECT_TRUE(ConvertLanguage(env(), "French", false));
    EXPECT_EQ(prompter.last().text, "File converted to French");
    auto changed = bytes();
    EXPECT_EQ(changed[15], 12);
    changed[15] = original[15];
    EXPECT_EQ(changed, original);
    EXPECT_FALSE(ConvertLanguage(env(), "German", true));
    EXPECT_EQ(prompter.last().text, "Cannot convert current (or any) User file, only Exported files");
}

namespace {

// Texts far longer than any column of the original store had room for; the é is one byte in the
// file and two in the store, so that lengths are not mixed up on the way.
struct LongTexts {
    std::string name = std::string(299, 'n') + "\xe9";
    std::string description = std::string(399, 'd') + "\xe9";
    std::string group = std::string(119, 'g') + "\xe9";
    std::string module = std::string(60, 'M');
};

std::string utf8(const std::string& cp1252) {
    std::string out;
    for (const char c : cp1252) {
        if (static_cast<unsigned char>(c) == 0xe9) out += "\xc3\xa9";
        else out += c;
    }
    return out;
}

} // namespace

// Dragon holds texts of any length, and so does the store: a long text must survive the parse,
// a change of another field of its command, and a rebuild, in every family and in files Dragon
// wrote itself.
TEST_F(Writer, LongTextsAreKeptWholeThroughParseRenameAndRebuild) {
    const LongTexts t;
    const auto expectWhole = [&](const UserRow& r, bool withModule, const std::string& where) {
        EXPECT_EQ(r.description, utf8(t.description)) << where;
        EXPECT_EQ(r.owner, utf8(t.group)) << where;
        if (withModule) {
            EXPECT_EQ(r.menu, t.module) << where;
        }
    };
    const auto rebuildIsIdentical = [&](const std::filesystem::path& path, const std::string& where) {
        const auto before = readFileBytes(path);
        PlainRebuild op;
        EXPECT_TRUE(runRebuild(env(), op).done) << where;
        EXPECT_EQ(readFileBytes(path), before) << where;
    };

    for (std::uint8_t code = 3; code <= 7; ++code) {
        const std::string where = "version code " + std::to_string(code);
        CommandFileBuilder b(code);
        auto c = appCommand(t.name, t.module, t.group);
        c.description = t.description;
        b.add(c);
        b.add(bareCommand("after"));
        b.add(BuiltList("l", {"a"}));
        open(b);
        EXPECT_EQ(prompter.messageCount(), 0u) << where;
        const UserRow parsed = store->allUsers().front();
        EXPECT_EQ(parsed.name, utf8(t.name)) << where;
        expectWhole(parsed, true, where);

        // The program and the name go back to the file as they were read.
        updater().UpdateFirstThings(parsed.ID, parsed.name, "short", parsed.owner);
        UserRow r = reparse().front();
        EXPECT_EQ(r.name, utf8(t.name)) << where;
        EXPECT_EQ(r.owner, utf8(t.group)) << where;
        EXPECT_EQ(r.menu, t.module) << where;
        // And the description and the group when the name changes.
        updater().UpdateFirstThings(r.ID, "renamed", parsed.description, r.owner);
        r = reparse().front();
        EXPECT_EQ(r.name, "renamed") << where;
        expectWhole(r, true, where);
        updater().UpdateFirstThings(r.ID, parsed.name, parsed.description, r.owner);
        EXPECT_EQ(bytes(), b.build()) << where << ": back to the file as it was built";
        reparse();
        rebuildIsIdentical(file(), where);
    }

    for (const char* name : {"reply.dat", "move-dock-window.dat", "clear-categories.dat"}) {
        copySampleToChange(name, file(name));
        ASSERT_TRUE(reader->ReadCommandFile(true, file(name)).success) << name;
        const UserRow original = store->allUsers().front();
        const bool global = original.scope == "G";
        updater().UpdateFirstThings(original.ID, utf8(t.name), utf8(t.description), utf8(t.group));
        if (!global) {
            store->flagAll();
            RenameProgramOperation op(t.module);
            EXPECT_TRUE(runRebuild(env(), op).done) << name;
            store->clearFlags();
        }
        ASSERT_TRUE(reader->ReadCommandFile(true, file(name)).success) << name;
        UserRow r = store->allUsers().front();
        EXPECT_EQ(r.name, utf8(t.name)) << name;
        EXPECT_EQ(r.script, original.script) << name;
        expectWhole(r, !global, name);

        updater().UpdateFirstThings(r.ID, original.name, r.description, r.owner);
        ASSERT_TRUE(reader->ReadCommandFile(true, file(name)).success) << name;
        r = store->allUsers().front();
        EXPECT_EQ(r.name, original.name) << name;
        expectWhole(r, !global, name);
        rebuildIsIdentical(file(name), name);
    }
}
