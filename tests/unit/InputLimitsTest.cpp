// What Dragon or the readers cannot take back is refused where it enters, before anything is
// written: LISTs of more items than the item count's low 16 bits hold, names whose brackets do
// not parse, control characters in texts, and renames that would change nothing.

#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"
#include "ops/CloneCommand.h"
#include "ops/NewCommand.h"
#include "ops/NewList.h"
#include "ops/RenameCommand.h"
#include "ops/SaveChanges.h"
#include "ops/Texts.h"
#include "shell/Session.h"
#include "writer/CommandFileComposer.h"
#include "writer/RecordEncoder.h"
#include "writer/Texts.h"

#include <algorithm>
#include <map>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
using ops::Outcome;

namespace {

BuiltCommand keys(std::string name, std::string body = "{Enter}") {
    return globalCommand(std::move(name), kKindKeys, std::move(body));
}

const ops::Place kGlobal{"Global Commands", "Global Commands"};

// LIST items "0", "1", ... each followed by CR LF.
std::string numberedItems(std::size_t count) {
    std::string body;
    for (std::size_t i = 0; i < count; ++i) body += std::to_string(i) + "\r\n";
    return body;
}

std::string tooManyItems(std::string_view list, std::size_t items) {
    return "The LIST " + std::string(list) + " would have " + std::to_string(items) +
           " items; a LIST holds at most 65535";
}

class InputLimits : public OpenCommandFile<> {
protected:
    void SetUp() override {
        CommandFileBuilder b(7);
        b.add(keys("go <direction>", "{Up}"));
        b.add(keys("stop"));
        b.add(keys("go [up")); // as a file may have it
        b.add(BuiltList("direction", {"up", "down"}));
        b.add(BuiltList("spare", {"one"}));
        b.writeFile(file());
        session.emplace(dir.path() / "home", prompter, clock);
        ASSERT_TRUE(session->open(file()).success);
        workspace.emplace(*session, clock);
    }
    std::optional<UserRow> row(const std::string& name) {
        return session->store().findUser(kGlobal.program, kGlobal.scope, name);
    }
    // The file as a fresh program reads it: each name with its body.
    std::map<std::string, std::string> reread() {
        std::map<std::string, std::string> rows;
        for (const auto& r : rowsReadAfresh(file())) rows[r.name] = r.script;
        return rows;
    }
    Outcome newCommand(std::string name, std::string body = "{Esc}", std::string description = {},
                       std::string group = {}) {
        return ops::NewCommand(*workspace, {kGlobal, "stop", "K", std::move(name), std::move(body),
                                            std::move(description), std::move(group)})
            .run();
    }
    Outcome saveBody(const std::string& name, std::string body) {
        const auto r = *row(name);
        return ops::SaveChanges(*workspace, {r.ID, r.script, std::move(body), ops::Conversion::None, {}, {}, {}}).run();
    }
    // Refused with exactly this message and title before the change began: the file is as it
    // was, and not even the day's backup was taken (until the first change, there is none).
    void expectRefused(const Outcome& outcome, std::string_view text, std::string_view title,
                       const std::vector<std::uint8_t>& before) {
        EXPECT_EQ(outcome.kind, Outcome::Kind::Refused);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().text, text);
        EXPECT_EQ(prompter.last().title, title);
        EXPECT_EQ(bytes(), before);
        EXPECT_FALSE(fs::exists(dir.path() / "home" / "file-backups"));
    }
};

} // namespace

TEST_F(InputLimits, ListsOfMoreItemsThanTheCountHoldsAreRefusedOnEveryRoad) {
    // The writers' own check, which every way of writing a LIST passes.
    std::vector<std::string> items(65536, "x");
    try {
        encodeList("big", items);
        ADD_FAILURE() << "a LIST of 65536 items was encoded";
    } catch (const Refusal& r) {
        EXPECT_EQ(r.what(), tooManyItems("big", 65536));
        EXPECT_EQ(r.title(), "big");
    }
    CommandFileComposer composer;
    EXPECT_THROW(composer.add(ComposedList{"big", items}), Refusal);
    EXPECT_EQ(composer.listCount(), 0u);

    // The operations refuse before anything is written.
    const auto before = bytes();
    expectRefused(ops::NewList(*workspace, "numbers", numberedItems(65536)).run(), tooManyItems("numbers", 65536),
                  "numbers", before);
    expectRefused(saveBody("spare", numberedItems(65540)), tooManyItems("spare", 65540), "spare", before);
    EXPECT_FALSE(row("numbers"));

    // The most a LIST can hold reads back whole, and the LIST after it is still there.
    ASSERT_TRUE(ops::NewList(*workspace, "numbers", numberedItems(65535)).run().isDone());
    const auto rows = reread();
    ASSERT_TRUE(rows.contains("numbers"));
    EXPECT_EQ(rows.at("numbers"), numberedItems(65535));
    EXPECT_EQ(rows.at("spare"), "one\r\n");
    EXPECT_EQ(rows.at("direction"), "up\r\ndown\r\n");
}

TEST_F(InputLimits, NamesWhoseBracketsDragonCannotReadAreRefused) {
    const auto before = bytes();
    const std::string unreadable(ops::texts::NameBracketsUnreadable);
    for (const std::string name : {"go <direction", "go direction>", "go [color", "go color]", "go <>", "say [ ] it",
                                   "go <[direction]>", "go [big [red]]", "go <direction> <up", "a > b"}) {
        SCOPED_TRACE(name);
        expectRefused(newCommand(name), unreadable, name, before);
        expectRefused(ops::RenameCommand(*workspace, kGlobal, "stop", name).run(), unreadable, name, before);
        expectRefused(ops::CloneCommand(*workspace, kGlobal, "stop", name).run(), unreadable, name, before);
    }
    expectRefused(newCommand("   "), ops::texts::NameOnlyBlanks, "   ", before);
    // Dragon's XML writes <direction> as [direction]: the words would come back as the LIST.
    expectRefused(newCommand("open [direction] now"),
                  "[direction]" + std::string(ops::texts::OptionalWordsNameAList), "open [direction] now", before);
    const auto users = session->store().allUsers();
    EXPECT_TRUE(std::none_of(users.begin(), users.end(), [](const UserRow& r) { return r.flag; }));

    // Optional words and LIST references as users write them.
    for (const std::string name :
         {"go [please] <direction>", "open [the] door", "[maybe] <direction> [now]", "go [<direction>]"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(newCommand(name).isDone()) << prompter.last().text;
    }
    const auto rows = reread();
    EXPECT_TRUE(rows.contains("go [please] <direction>"));
    EXPECT_TRUE(rows.contains("go [<direction>]"));
}

TEST_F(InputLimits, ControlCharactersAreRefusedInBodiesDescriptionsAndGroups) {
    const auto before = bytes();
    const std::string nul("a\0b", 3);
    expectRefused(newCommand("beep", "x\x07y"), ops::texts::ControlCharacterInBody, "beep", before);
    expectRefused(newCommand("beep", "x", nul), ops::texts::ControlCharacterInDescription, "beep", before);
    expectRefused(newCommand("beep", "x", "", "Work\x1b"), ops::texts::ControlCharacterInGroup, "beep", before);
    expectRefused(ops::NewList(*workspace, "odd", "a\r\nb\x01\r\n").run(), ops::texts::ControlCharacterInBody, "odd",
                  before);
    expectRefused(saveBody("stop", nul), ops::texts::ControlCharacterInBody, "stop", before);
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "stop", "halt", std::string("\x0c")).run(),
                  ops::texts::ControlCharacterInDescription, "halt", before);
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "stop", "halt", std::nullopt, std::string("G\x7f\x1f")).run(),
                  ops::texts::ControlCharacterInGroup, "halt", before);
    const auto stop = *row("stop");
    expectRefused(ops::SaveChanges(*workspace, {stop.ID, stop.script, stop.script, ops::Conversion::None, {},
                                                std::string("d\x02"), {}})
                      .run(),
                  ops::texts::ControlCharacterInDescription, "stop", before);

    // Tabs and line breaks are text.
    ASSERT_TRUE(newCommand("tabbed", "a\tb\r\nc", "one\ttwo").isDone()) << prompter.last().text;
    EXPECT_EQ(reread().at("tabbed"), "a\tb\r\nc");
}

TEST_F(InputLimits, ARenameThatChangesNothingSaysSo) {
    const auto before = bytes();
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "stop", "stop").run(), ops::texts::NothingChangedSameName,
                  "stop", before);
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "spare", "spare").run(), ops::texts::NothingChangedSameName,
                  "spare", before);
    expectRefused(ops::RenameCommand(*workspace, kGlobal, "stop", "stop", std::string(""), std::string("User-defined"))
                      .run(),
                  ops::texts::NothingChangedSameName, "stop", before);

    // The same name with another description, or in other letters, is a change.
    ASSERT_TRUE(ops::RenameCommand(*workspace, kGlobal, "stop", "stop", std::string("Ends it")).run().isDone());
    EXPECT_EQ(row("stop")->description, "Ends it");
    ASSERT_TRUE(ops::RenameCommand(*workspace, kGlobal, "stop", "Stop").run().isDone());
    EXPECT_TRUE(reread().contains("Stop"));
    // A name the file has already is kept when only the description changes.
    ASSERT_TRUE(ops::RenameCommand(*workspace, kGlobal, "go [up", "go [up", std::string("Up")).run().isDone())
        << prompter.last().text;
    EXPECT_EQ(row("go [up")->description, "Up");
}

TEST_F(InputLimits, AFileHoldingTheMostCommandsAndListsTakesNoMore) {
    // 65535 copies of one small command and of one small LIST: as full as the counts can say.
    CommandFileBuilder commandOnly(7);
    commandOnly.add(keys("same"));
    const auto c = commandOnly.build();
    CommandFileBuilder both(7);
    both.add(keys("same"));
    both.add(BuiltList("same.list", {"x"}));
    const auto image = both.build();
    const auto header = static_cast<long>(format::kHeaderSize);
    const std::vector<std::uint8_t> commandRecord(c.begin() + header, c.end() - 4);
    const std::vector<std::uint8_t> listRecord(image.begin() + header + static_cast<long>(commandRecord.size()) + 4,
                                               image.end());
    std::vector<std::uint8_t> full(image.begin(), image.begin() + header);
    for (int i = 0; i < 0xFFFF; ++i) full.insert(full.end(), commandRecord.begin(), commandRecord.end());
    for (int b = 0; b < 4; ++b) full[format::kCommandCountOffset + b] = static_cast<std::uint8_t>(0xFFFF >> (8 * b));
    full.insert(full.end(), {0xFF, 0xFF, 0, 0});
    for (int i = 0; i < 0xFFFF; ++i) full.insert(full.end(), listRecord.begin(), listRecord.end());
    workspace.reset();
    session.reset();
    writeBytes(file(), full);
    session.emplace(dir.path() / "home", prompter, clock);
    ASSERT_TRUE(session->open(file()).success);
    workspace.emplace(*session, clock);

    const auto refusedWith = [&](const Outcome& outcome, std::string_view text) {
        EXPECT_NE(outcome.kind, Outcome::Kind::Done);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().text, text);
        EXPECT_EQ(bytes(), full);
    };
    prompter.answers = {"ok"}; // the question about the new command's place comes first
    refusedWith(newCommand("one more"), vocabrella::texts::FileFullOfCommands);
    refusedWith(ops::NewList(*workspace, "another", "y\r\n").run(), vocabrella::texts::FileFullOfLists);
}
