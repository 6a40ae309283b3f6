#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "FileState.h"
#include "FormatFamilies.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"
#include "ops/CloneCommand.h"
#include "ops/ConvertCommand.h"
#include "ops/DeleteCommand.h"
#include "ops/NewCommand.h"
#include "ops/NewList.h"
#include "ops/RenameCommand.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
#include "shell/Session.h"


using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;

namespace {

BuiltCommand wordCommand(std::string name) {
    return inProgram(globalCommand(std::move(name)), "WINWORD", "Word processor", "Maker Inc");
}

const ops::Place kGlobal{"Global Commands", "Global Commands"};
const ops::Place kWord{"WINWORD", "Application-specific"};

// A command file of every kind of place and three LISTs; "app" is used by two commands.
CommandFileBuilder sampleFile(std::uint8_t versionCode) {
    CommandFileBuilder b(versionCode);
    b.add(globalCommand("Paste Cell"));
    b.add(globalCommand("open <app>"));
    b.add(globalCommand("close <app>"));
    b.add(globalCommand("type keys", kKindKeys, "{Ctrl+c}"));
    b.add(globalCommand("plain keys", kKindKeys, "hello"));
    b.add(globalCommand("scroll"));
    b.add(wordCommand("bold it"));
    b.add(BuiltList("app", {"word", "excel"}));
    b.add(BuiltList("direction", {"up", "down"}));
    b.add(BuiltList("spare", {"one"}));
    return b;
}

// Every case runs on a file of each format family.
class Operations : public OpenCommandFile<::testing::TestWithParam<std::uint8_t>> {
protected:
    void SetUp() override { open(sampleFile(GetParam())); }
    // Whatever a case did, the file is still of its family and the store agrees with it.
    void TearDown() override {
        if (!session) return;
        EXPECT_EQ(bytes().at(format::kVersionOffset), GetParam());
        EXPECT_TRUE(StoreAgreesWithFile(session->store(), file()));
    }

    std::optional<UserRow> row(const ops::Place& place, const std::string& name) {
        return session->store().findUser(place.program, place.scope, name);
    }
    // The file as a fresh program would read it.
    std::vector<UserRow> reread() { return rowsReadAfresh(file()); }
    ops::Outcome newCommand(const ops::Place& place, std::string name, std::string shown = {}) {
        ops::NewCommandRequest request{place, std::move(shown), "A", std::move(name), "Sub Main\r\nEnd Sub\r\n", "", ""};
        return ops::NewCommand(*workspace, request).run();
    }
    void expectRefused(const ops::Outcome& outcome, std::string_view text, std::string_view title) {
        EXPECT_EQ(outcome.kind, ops::Outcome::Kind::Refused);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().text, text);
        EXPECT_EQ(prompter.last().title, title);
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryFamily, Operations, ::testing::ValuesIn(familyVersionCodes()), familyTestName);

TEST_P(Operations, NewCommandNamesFollowTheRulesOfEveryWayOfCreating) {
    const auto before = bytes();
    // The store compares names without letter case: this is the same name.
    expectRefused(newCommand(kGlobal, "paste cell"), ops::texts::CommandExists, "paste cell");
    // A LIST that exists nowhere; the marks of the other one are cleared again.
    expectRefused(newCommand(kGlobal, "go <direction> <nowhere>"), ops::texts::CreateListsFirst, "nowhere");
    EXPECT_EQ(flagged(), 0);
    expectRefused(newCommand(kGlobal, ""), ops::texts::EmptyName, "");
    // Outside the global commands a command needs one on show in the place to take its header.
    expectRefused(newCommand({"EXCEL", "Application-specific"}, "sum it"), ops::texts::CannotCreateHere,
                  ops::texts::CannotCreateHereTitle);
    EXPECT_EQ(bytes(), before);

    // A global LIST reached from a program: the scope gains a marked copy of it.
    ops::NewCommandRequest start{kWord, "bold it", "A", "start <app>", "Sub Main\r\nEnd Sub\r\n", "", ""};
    ASSERT_TRUE(ops::NewCommand::checkName(*workspace, start).isDone());
    const auto copy = row(kWord, "app");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Type, "L");
    EXPECT_TRUE(copy->flag);
    ASSERT_TRUE(ops::NewCommand(*workspace, start).run().isDone());
    const auto rows = reread();
    const auto made = std::find_if(rows.begin(), rows.end(), [](const UserRow& r) { return r.name == "start <app>"; });
    ASSERT_NE(made, rows.end());
    EXPECT_EQ(made->menu, "WINWORD");
    EXPECT_EQ(made->state, "Application-specific");
    EXPECT_EQ(made->lists, 1);
    // The same name in another place is another command.
    EXPECT_TRUE(newCommand(kGlobal, "bold it").isDone());
}

TEST_P(Operations, TheFirstGlobalCommandOfAFileIsMadeOnlyAfterOk) {
    CommandFileBuilder onlyWord(GetParam());
    onlyWord.add(wordCommand("bold it"));
    onlyWord.add(BuiltList("spare", {"one"}));
    open(onlyWord);
    const auto before = bytes();
    EXPECT_EQ(newCommand(kGlobal, "hello", "bold it").kind, ops::Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().text, ops::texts::FirstGlobalCommand);
    EXPECT_EQ(prompter.last().kind, ScriptedPrompter::Kind::OkCancel);
    EXPECT_EQ(bytes(), before);
    prompter.answers = {"ok"};
    ASSERT_TRUE(newCommand(kGlobal, "hello", "bold it").isDone());
    EXPECT_TRUE(row(kGlobal, "hello"));
}

TEST_P(Operations, ListNamesKeepToDragonsAlphabetWhenMadeAndWhenRenamed) {
    const auto before = bytes();
    for (const std::string bad : {"Colors", "two words", "<x>", "caf\xc3\xa9"}) {
        expectRefused(ops::NewList(*workspace, bad, "a\r\n").run(), ops::texts::ListNameCharacters, bad);
        expectRefused(ops::RenameCommand(*workspace, kGlobal, "spare", bad).run(), ops::texts::ListNameCharacters, bad);
    }
    // A global command's name is taken too.
    expectRefused(ops::NewList(*workspace, "scroll", "a\r\n").run(), ops::texts::CommandOrListExists, "scroll");
    expectRefused(ops::NewList(*workspace, "direction", "a\r\n").run(), ops::texts::CommandOrListExists, "direction");
    EXPECT_EQ(bytes(), before);

    ASSERT_TRUE(ops::NewList(*workspace, "colors-2.x_y", "red\r\nblue\r\n").run().isDone());
    const auto list = row(kGlobal, "colors-2.x_y");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->script, "red\r\nblue\r\n");
    ASSERT_TRUE(ops::RenameCommand(*workspace, kGlobal, "colors-2.x_y", "colours").run().isDone());
    EXPECT_TRUE(row(kGlobal, "colours"));
}

TEST_P(Operations, RenamesAreRefusedOverAnotherNameOfTheScope) {
    const auto before = bytes();
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "open <app>", "PASTE CELL").run(),
                  "PASTE CELL already exists", ops::texts::MustDeleteFirst);
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "open <app>", "open <nothing>").run(),
                  ops::texts::CreateListsFirst, "nothing");
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "no such", "x").run(), ops::texts::NoSuchCommand, "no such");
    EXPECT_EQ(bytes(), before);
    // A name used only in another scope; and the same row keeps its name in another case.
    ASSERT_TRUE(ops::RenameCommand(*workspace, kGlobal, "Paste Cell", "bold it").run().isDone());
    ASSERT_TRUE(ops::RenameCommand(*workspace, kGlobal, "bold it", "Bold It", std::string("a description")).run().isDone());
    const auto renamed = row(kGlobal, "Bold It");
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->name, "Bold It");
    EXPECT_EQ(renamed->description, "a description");
}

TEST_P(Operations, AListInUseIsRenamedOrDeletedOnlyAfterTheUserSaysSo) {
    CommandFileBuilder many(GetParam());
    for (int i = 1; i <= 7; ++i) many.add(globalCommand("say " + std::to_string(i) + " <word>"));
    many.add(BuiltList("word", {"a", "b"}));
    many.add(BuiltList("unused", {"c"}));
    open(many);
    const auto before = bytes();
    EXPECT_EQ(ops::RenameCommand(*workspace, kGlobal, "word", "words").run().kind, ops::Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().kind, ScriptedPrompter::Kind::YesNo);
    EXPECT_EQ(prompter.last().title, "word");
    EXPECT_EQ(prompter.last().text,
              "There are 7 commands using this LIST including:\r\n\r\n"
              "say 1 <word>\r\nsay 2 <word>\r\nsay 3 <word>\r\nsay 4 <word>\r\nsay 5 <word>\r\nsay 6 <word>\r\n\r\n"
              "NaturallySpeaking and Command Browser will no longer hear/see these commands.\r\n"
              "Are you sure you want to Rename this LIST?");
    // Delete asks twice: the deletion itself, then the LIST in use.
    prompter.answers = {"yes"};
    EXPECT_EQ(ops::DeleteList(*workspace, "word").run().kind, ops::Outcome::Kind::Declined);
    EXPECT_EQ(prompter.shown[prompter.shown.size() - 2].text, "Delete this LIST?");
    EXPECT_NE(prompter.last().text.find("Are you sure you want to Delete this LIST?"), std::string::npos);
    EXPECT_EQ(bytes(), before);

    // An unused LIST: one question, then it is gone from the file and from its count.
    const auto asked = prompter.shown.size();
    prompter.answers = {"yes"};
    ASSERT_TRUE(ops::DeleteList(*workspace, "unused").run().isDone());
    EXPECT_EQ(prompter.shown.size(), asked + 1);
    const auto rows = reread();
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const UserRow& r) { return r.Type == "L"; }), 1);
    EXPECT_FALSE(row(kGlobal, "unused"));
}

TEST_P(Operations, DeletingACommandAsksFirst) {
    const auto before = bytes();
    EXPECT_EQ(ops::DeleteCommand(*workspace, kGlobal, "Paste Cell").run().kind, ops::Outcome::Kind::Declined);
    EXPECT_EQ(prompter.last().text, "Delete this command?");
    EXPECT_EQ(prompter.last().title, "Paste Cell");
    EXPECT_EQ(bytes(), before);
    expectRefused(ops::DeleteCommand(*workspace, kGlobal, "nothing").run(), ops::texts::DeleteFileError, "nothing");
    prompter.answers = {"yes"};
    ASSERT_TRUE(ops::DeleteCommand(*workspace, kGlobal, "Paste Cell").run().isDone());
    EXPECT_FALSE(row(kGlobal, "Paste Cell"));
    EXPECT_TRUE(row(kGlobal, "open <app>"));
}

TEST_P(Operations, SavingAnEditChecksTheBodyAndEndsItOnce) {
    const auto cell = *row(kGlobal, "Paste Cell");
    ops::Edit edit{cell.ID, cell.script, "", ops::Conversion::None, {}, {}, {}};
    const auto before = bytes();
    expectRefused(ops::SaveChanges(*workspace, edit).run(), "Empty content not allowed", "");
    EXPECT_EQ(bytes(), before);

    edit.body = "Sub Main\r\nEnd Sub\r\n\r\n\r\n";
    ASSERT_TRUE(ops::SaveChanges(*workspace, edit).run().isDone());
    EXPECT_EQ(row(kGlobal, "Paste Cell")->script, "Sub Main\r\nEnd Sub\r\n");
    // The file was read again: rows have new IDs.
    edit.rowId = row(kGlobal, "Paste Cell")->ID;
    edit.bodyBefore = "";
    edit.body = "Sub Main\r\nEnd Sub";
    const auto again = ops::SaveChanges(*workspace, edit).run();
    ASSERT_TRUE(again.isDone()) << again.text;
    EXPECT_EQ(row(kGlobal, "Paste Cell")->script, "Sub Main\r\nEnd Sub\r\n");
    // KEYS are saved as typed.
    const auto keys = *row(kGlobal, "type keys");
    ASSERT_TRUE(ops::SaveChanges(*workspace, {keys.ID, keys.script, "{Ctrl+v}", ops::Conversion::None, {}, {}, {}}).run().isDone());
    EXPECT_EQ(row(kGlobal, "type keys")->script, "{Ctrl+v}");
}

TEST_P(Operations, AnEditOfAFileChangedMeanwhileIsNotWrittenOverTheChange) {
    const auto cell = *row(kGlobal, "Paste Cell");
    // Another program changes the file after it was read.
    inAnotherProgram(file(), [](Session&, ops::Workspace& other) {
        ASSERT_TRUE(ops::NewList(other, "theirs", "x\r\n").run().isDone());
    });
    const auto theirs = bytes();
    const auto stale = ops::SaveChanges(*workspace, {cell.ID, cell.script, "Sub Main\r\n' mine\r\nEnd Sub\r\n",
                                                     ops::Conversion::None, {}, {}, {}})
                           .run();
    // A file of its own: no tool of Dragon's changed it.
    expectRefused(stale, ops::texts::ChangedByAnotherProgram, file().string());
    EXPECT_EQ(stale.reason, ops::Outcome::Reason::FileChangedMeanwhile) << "the window keeps the body on the clipboard";
    EXPECT_EQ(bytes(), theirs);
    // Where nothing is put on the clipboard, the user is told where the new body is kept instead.
    inAnotherProgram(file(), [](Session&, ops::Workspace& other) {
        ASSERT_TRUE(ops::NewList(other, "theirstoo", "x\r\n").run().isDone());
    });
    const auto again = bytes();
    const auto cellNow = *row(kGlobal, "Paste Cell");
    expectRefused(ops::SaveChanges(*workspace, {cellNow.ID, cellNow.script, "Sub Main\r\n' mine\r\nEnd Sub\r\n", ops::Conversion::None,
                                                {}, {}, {}})
                      .bodyKeptIn("body.txt")
                      .run(),
                  std::string(ops::texts::ChangedByAnotherProgramBodyKept) + "body.txt", file().string());
    EXPECT_EQ(prompter.last().text.find("Clipboard"), std::string::npos);
    EXPECT_EQ(bytes(), again);
    // The program read the file again: the other change is on show, and the next change keeps it.
    EXPECT_TRUE(row(kGlobal, "theirs"));
    ASSERT_TRUE(ops::NewList(*workspace, "mine", "y\r\n").run().isDone());
    const auto rows = reread();
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const UserRow& r) { return r.name == "theirs" || r.name == "mine"; }),
              2);
}

TEST_P(Operations, ClonesAndConversionsWriteWhatTheyShow) {
    prompter.answers = {};
    ASSERT_TRUE(ops::CloneCommand(*workspace, kWord, "bold it", "bold that").run().isDone());
    const auto clone = row(kWord, "bold that");
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->script, row(kWord, "bold it")->script);
    expectRefused(ops::CloneCommand(*workspace, kGlobal, "spare", "Spare2").run(), ops::texts::ListNameCharacters, "Spare2");
    ASSERT_TRUE(ops::CloneCommand(*workspace, kGlobal, "spare", "spare2").run().isDone());
    EXPECT_EQ(row(kGlobal, "spare2")->script, "one\r\n");

    const auto before = bytes();
    expectRefused(ops::ConvertToPlainText(*workspace, kGlobal, "type keys").run(), ops::texts::KeysWithBraces, "type keys");
    expectRefused(ops::ConvertToPlainText(*workspace, kGlobal, "Paste Cell").run(), ops::texts::NotAKeysCommand,
                  "Paste Cell");
    EXPECT_EQ(bytes(), before);
    ASSERT_TRUE(ops::ConvertToPlainText(*workspace, kGlobal, "plain keys").run().isDone());
    EXPECT_EQ(row(kGlobal, "plain keys")->Type, "P");
    ASSERT_TRUE(ops::ConvertToAdvancedScript(*workspace, kGlobal, "type keys").run().isDone());
    const auto script = row(kGlobal, "type keys");
    EXPECT_EQ(script->Type, "A");
    EXPECT_NE(script->script.find("SendKeys"), std::string::npos) << script->script;
}

TEST_P(Operations, AReadOnlyCommandFileIsRefusedNotReplaced) {
    fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto before = bytes();
    const auto outcome = ops::NewList(*workspace, "more", "x\r\n").run();
    EXPECT_EQ(outcome.kind, ops::Outcome::Kind::Refused);
    EXPECT_NE(prompter.last().text.find(file().string()), std::string::npos) << prompter.last().text;
    EXPECT_NE(prompter.last().text.find("read-only"), std::string::npos) << prompter.last().text;
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(fs::status(file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}
