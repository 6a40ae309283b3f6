// What each change of one command leaves in the file, field by field, read afresh: the fields it
// changes land where they belong, the ones it does not touch stay, and the store agrees with
// the file. A fixture with commands in several programs, scopes and groups.
#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"
#include "FileState.h"
#include "FormatFamilies.h"
#include "OpenCommandFile.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/Errors.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Format.h"
#include "cmdfile/RawRecord.h"
#include "cmdfile/RecordCodec.h"
#include "cmdfile/Texts.h"
#include "ops/BatchDelete.h"
#include "ops/BatchSelection.h"
#include "ops/CloneCommand.h"
#include "ops/DeleteCommand.h"
#include "ops/NewCommand.h"
#include "ops/NewList.h"
#include "ops/RenameCommand.h"
#include "ops/SaveChanges.h"
#include "ops/SearchReplace.h"
#include "ops/Texts.h"
#include "shell/Session.h"

#include <algorithm>
#include <tuple>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace fs = std::filesystem;
using ops::BatchScope;
using ops::Outcome;

namespace {

const std::string kScript = "Sub Main\r\n  x = \"foo\"\r\nEnd Sub\r\n";

BuiltCommand made(std::string name, std::string group, std::string description = {}, std::string body = kScript,
                  std::uint8_t kind = kKindAdvancedScript) {
    auto c = globalCommand(std::move(name), kind, std::move(body), std::move(group));
    c.description = std::move(description);
    return c;
}

const ops::Place kGlobal{"Global Commands", "Global Commands"};
const ops::Place kWord{"WINWORD", "Application-specific"};
const ops::Place kWordDoc{"WINWORD", "Document1"};
const ops::Place kExcel{"EXCEL", "Application-specific"};

// Two programs with an application scope and a window scope each, the global commands, three
// groups spread across all of them, and a LIST.
CommandFileBuilder spreadFile(std::uint8_t versionCode) {
    CommandFileBuilder b(versionCode);
    b.add(made("alpha", "Work", "the first one"));
    b.add(made("beta <color>", "Play", "uses a LIST"));
    b.add(made("gamma", "Work", "", "{Ctrl+g}", kKindKeys));
    b.add(made("delta", "Misc", "nothing to find"));
    b.add(inProgram(made("bold it", "Work", "in Word"), "WINWORD"));
    b.add(inProgram(made("italic it", "Play"), "WINWORD"));
    b.add(inWindow(made("save doc", "Work", "window one"), "WINWORD", "Document1"));
    b.add(inWindow(made("close doc", "Misc"), "WINWORD", "Document1"));
    b.add(inProgram(made("sum it", "Work"), "EXCEL"));
    b.add(inProgram(made("chart it", "Play", "", "{Alt+F1}", kKindKeys), "EXCEL"));
    b.add(inWindow(made("fill down", "Play"), "EXCEL", "Book1"));
    b.add(BuiltList("color", {"red", "blue"}));
    return b;
}

// Every case runs on a file of each format family.
class ChangesInFile : public OpenCommandFile<::testing::TestWithParam<std::uint8_t>> {
protected:
    void SetUp() override { open(spreadFile(GetParam())); }

    UserRow row(const ops::Place& place, const std::string& name) {
        const auto found = store().findUser(place.program, place.scope, name);
        EXPECT_TRUE(found) << place.program << " / " << place.scope << " / " << name;
        return found.value_or(UserRow{});
    }
    // An edit of a row as the window makes it: the body as it stands unless given.
    ops::Edit edit(const ops::Place& place, const std::string& name) {
        const auto r = row(place, name);
        ops::Edit e;
        e.rowId = r.ID;
        e.bodyBefore = r.script;
        e.body = r.script;
        return e;
    }
    Outcome save(ops::Edit e) { return ops::SaveChanges(*workspace, std::move(e)).run(); }
    Outcome newCommand(const ops::Place& place, std::string name, std::string description, std::string group,
                       std::string shown = {}) {
        ops::NewCommandRequest request{place, std::move(shown), "A", std::move(name), kScript,
                                       std::move(description), std::move(group)};
        return ops::NewCommand(*workspace, request).run();
    }
    // The names of the rows left marked, sorted.
    std::vector<std::string> marked() {
        std::vector<std::string> names;
        store().forEachUser([&](const UserRow& r) {
            if (r.flag) names.push_back(r.name);
            return true;
        });
        std::sort(names.begin(), names.end());
        return names;
    }
    void expectRefused(const Outcome& o, std::string_view text) {
        EXPECT_EQ(o.kind, Outcome::Kind::Refused) << o.text;
        EXPECT_EQ(o.text, text);
        ASSERT_FALSE(prompter.shown.empty());
        EXPECT_EQ(prompter.last().text, text);
    }

    // Changes say they are under way while they hold the writer lock: the probe then tries the
    // lock itself, with no patience at all.
    Prompter& sessionPrompter() override {
        probe.onStatus = [this](std::string_view text) {
            if (text != ops::texts::OperationInProgress) return;
            FakeClock impatient;
            try {
                CommandFileLock other(file(), impatient, std::chrono::milliseconds(0));
                ++lockFree;
            } catch (const Refusal&) {
                ++lockHeld;
            }
        };
        return probe;
    }

    HookedPrompter probe{prompter};
    int lockHeld = 0, lockFree = 0;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryFamily, ChangesInFile, ::testing::ValuesIn(familyVersionCodes()), familyTestName);

// Another writer holding the lock: every change waits its patience out, then gives up saying
// why, with the file and the store as they were. Once the lock is free the change goes through.
TEST_P(ChangesInFile, AChangeGivesUpWhileAnotherWriterHoldsTheLock) {
    const auto before = bytes();
    const auto state = FileState::read(file());
    const std::string busy = file().string() + ": " + std::string(texts::WriterBusy);
    {
        FakeClock otherClock;
        CommandFileLock held(file(), otherClock);
        auto described = edit(kGlobal, "alpha");
        described.description = "changed";
        expectRefused(save(described), busy);
        expectRefused(newCommand(kGlobal, "epsilon", "", ""), busy);
        expectRefused(ops::RenameCommand(*workspace, kGlobal, "gamma", "zeta").run(), busy);
        expectRefused(ops::CloneCommand(*workspace, kWord, "bold it", "bold again").run(), busy);
        expectRefused(ops::NewList(*workspace, "shade", "dark\r\n").run(), busy);
        EXPECT_GE(clock.slept, std::chrono::milliseconds(5 * 3000)) << "each waited for the other writer";
        EXPECT_EQ(bytes(), before);
        EXPECT_TRUE(FileHolds(file(), state));
        EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
        EXPECT_EQ(row(kGlobal, "alpha").description, "the first one");
        EXPECT_FALSE(store().findUser("Global Commands", "Global Commands", "epsilon"));
    }
    ASSERT_TRUE(newCommand(kGlobal, "epsilon", "", "").isDone());
    EXPECT_TRUE(store().findUser("Global Commands", "Global Commands", "epsilon"));
}

// The lock is held while the change writes, not merely taken and let go: a second writer trying
// it at that moment finds it taken.
TEST_P(ChangesInFile, TheLockIsHeldWhileTheChangeWrites) {
    auto described = edit(kGlobal, "alpha");
    described.description = "changed";
    ASSERT_TRUE(save(described).isDone());
    ASSERT_TRUE(newCommand(kWord, "underline it", "", "", "bold it").isDone());
    ASSERT_TRUE(ops::NewList(*workspace, "shade", "dark\r\n").run().isDone());
    EXPECT_EQ(lockFree, 0);
    EXPECT_EQ(lockHeld, 3);
    // And it is let go afterwards.
    FakeClock impatient;
    EXPECT_NO_THROW(CommandFileLock(file(), impatient, std::chrono::milliseconds(0)));
}

// Save Changes: each of name, description and group goes into its own field, alone or together,
// and what is not edited stays.
TEST_P(ChangesInFile, SaveChangesPutsEachFieldInItsPlace) {
    auto want = FileState::read(file());

    auto both = edit(kGlobal, "alpha");
    both.description = "described anew";
    both.group = "Errands";
    ASSERT_TRUE(save(both).isDone());
    want.global("alpha").description = "described anew";
    want.global("alpha").group = "Errands";
    EXPECT_TRUE(FileHolds(file(), want));

    auto groupOnly = edit(kWord, "bold it");
    groupOnly.group = "Play";
    ASSERT_TRUE(save(groupOnly).isDone());
    want.at("WINWORD", "Application-specific", "bold it").group = "Play";
    EXPECT_TRUE(FileHolds(file(), want)) << "the description stays";

    auto descriptionOnly = edit(kWordDoc, "save doc");
    descriptionOnly.description = "";
    ASSERT_TRUE(save(descriptionOnly).isDone());
    want.at("WINWORD", "Document1", "save doc").description = "";
    EXPECT_TRUE(FileHolds(file(), want)) << "a description can be emptied; the group stays";

    auto everything = edit(kExcel, "sum it");
    everything.name = "add it up";
    everything.description = "sums";
    everything.group = "Numbers";
    everything.body = "Sub Main\r\n  y = 2\r\nEnd Sub\r\n";
    ASSERT_TRUE(save(everything).isDone());
    auto& sum = want.at("EXCEL", "Application-specific", "sum it");
    sum.name = "add it up";
    sum.description = "sums";
    sum.group = "Numbers";
    sum.body = everything.body;
    EXPECT_TRUE(FileHolds(file(), want));

    auto bodyOnly = edit(kGlobal, "gamma");
    bodyOnly.body = "{Ctrl+h}";
    ASSERT_TRUE(save(bodyOnly).isDone());
    want.global("gamma").body = "{Ctrl+h}";
    EXPECT_TRUE(FileHolds(file(), want)) << "a KEYS body keeps its ending";
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
}

// New commands: the group given, or "User-defined" when none is; the description as given; the
// header of the place.
TEST_P(ChangesInFile, NewCommandsTakeTheirGroupAndDescription) {
    auto want = FileState::read(file());
    ASSERT_TRUE(newCommand(kGlobal, "epsilon", "", "").isDone());
    ASSERT_TRUE(newCommand(kGlobal, "zeta <color>", "with a LIST", "Play").isDone());
    ASSERT_TRUE(newCommand(kWordDoc, "print doc", "prints", "", "save doc").isDone());

    const auto state = FileState::read(file());
    ASSERT_EQ(state.rows.size(), want.rows.size() + 3);
    for (const auto& before : want.rows) {
        const auto* now = state.find(before.program, before.scope, before.name);
        ASSERT_TRUE(now) << before.key();
        EXPECT_EQ(differences(before, *now), "") << "an old command is left alone";
    }
    EXPECT_TRUE(FileHolds(file(), [&] {
        std::vector<ExpectedRow> rows;
        for (const auto& r : want.rows) {
            ExpectedRow e;
            e.program = r.program;
            e.scope = r.scope;
            e.name = r.name;
            rows.push_back(e);
        }
        rows.push_back(command("epsilon").ofType("A").withBody(kScript).withDescription("").inGroup("User-defined"));
        rows.push_back(command("zeta <color>").withDescription("with a LIST").inGroup("Play").withListCount(1));
        rows.push_back(command("print doc").in("WINWORD", "Document1").withDescription("prints").inGroup("User-defined"));
        return rows;
    }()));
    const auto* print = state.find("WINWORD", "Document1", "print doc");
    const auto* save = state.find("WINWORD", "Document1", "save doc");
    ASSERT_TRUE(print && save);
    EXPECT_EQ(print->scopeCode, "W");
    EXPECT_EQ(print->classLength, save->classLength) << "the window's header is taken over";
    EXPECT_EQ(print->pdescriptLength, save->pdescriptLength);
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
}

// A rename changes the name and only what is given with it; a clone is a copy in everything but
// the name.
TEST_P(ChangesInFile, RenamesKeepWhatIsNotGivenAndClonesCopyEverything) {
    auto want = FileState::read(file());

    ASSERT_TRUE(ops::RenameCommand(*workspace, kGlobal, "alpha", "first").run().isDone());
    want.global("alpha").name = "first";
    EXPECT_TRUE(FileHolds(file(), want)) << "description and group stay";

    ASSERT_TRUE(ops::RenameCommand(*workspace, kWord, "bold it", "embolden", std::string("new words")).run().isDone());
    auto& bold = want.at("WINWORD", "Application-specific", "bold it");
    bold.name = "embolden";
    bold.description = "new words";
    EXPECT_TRUE(FileHolds(file(), want)) << "the group stays";

    ASSERT_TRUE(ops::RenameCommand(*workspace, kExcel, "chart it", "graph it", std::nullopt, std::string("Numbers"))
                    .run()
                    .isDone());
    want.at("EXCEL", "Application-specific", "chart it").name = "graph it";
    want.at("EXCEL", "Application-specific", "graph it").group = "Numbers";
    EXPECT_TRUE(FileHolds(file(), want));

    // Clones of a script with a description, of KEYS, and in a window scope.
    ASSERT_TRUE(ops::CloneCommand(*workspace, kGlobal, "beta <color>", "beta again <color>").run().isDone());
    ASSERT_TRUE(ops::CloneCommand(*workspace, kGlobal, "gamma", "gamma again").run().isDone());
    ASSERT_TRUE(ops::CloneCommand(*workspace, kWordDoc, "save doc", "save again").run().isDone());
    for (const auto& [place, source, copy] :
         {std::tuple{kGlobal, "beta <color>", "beta again <color>"}, std::tuple{kGlobal, "gamma", "gamma again"},
          std::tuple{kWordDoc, "save doc", "save again"}}) {
        auto clone = want.at(place.program, place.scope, source);
        clone.name = copy;
        want.rows.push_back(clone);
    }
    EXPECT_TRUE(FileHolds(file(), want));
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
}

// Replace All takes each body as it is now, not as it was when its match was shown: an edit
// made meanwhile through this program is kept and replaced in; a single Replace over a body
// changed meanwhile refuses rather than write over it.
TEST_P(ChangesInFile, ReplaceNeverWritesOverABodyChangedAfterItWasFound) {
    ops::SearchReplace search(*workspace, ops::BatchSelection{});
    search.findText = "foo";
    search.replaceWith = "bar";
    ASSERT_TRUE(search.search().isDone());
    ASSERT_TRUE(search.current());
    EXPECT_EQ(search.current()->name, "alpha");

    auto want = FileState::read(file());
    const std::string edited = "Sub Main\r\n  x = \"foo\"\r\n  y = \"foo!\"\r\nEnd Sub\r\n";
    auto e = edit(kGlobal, "alpha");
    e.body = edited;
    ASSERT_TRUE(save(e).isDone());

    const auto o = search.replaceAll();
    ASSERT_TRUE(o.isDone()) << o.text;
    for (auto& r : want.rows) {
        if (r.isList() || r.body.find("foo") == std::string::npos) continue;
        r.body = "Sub Main\r\n  x = \"bar\"\r\nEnd Sub\r\n";
    }
    want.global("alpha").body = "Sub Main\r\n  x = \"bar\"\r\n  y = \"bar!\"\r\nEnd Sub\r\n";
    EXPECT_TRUE(FileHolds(file(), want));
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));

    // One at a time: the body on show changes before Replace is pressed.
    ops::SearchReplace again(*workspace, ops::BatchSelection{});
    again.findText = "bar";
    again.replaceWith = "baz";
    ASSERT_TRUE(again.search().isDone());
    ASSERT_EQ(again.current()->name, "alpha");
    auto second = edit(kGlobal, "alpha");
    second.body = "Sub Main\r\n  z = \"bar\"\r\nEnd Sub\r\n";
    ASSERT_TRUE(save(second).isDone());
    want.global("alpha").body = second.body;
    const auto before = bytes();
    expectRefused(again.replace(), ops::texts::ModifiedMeanwhile);
    EXPECT_EQ(bytes(), before);
    EXPECT_TRUE(FileHolds(file(), want));
}

// The same, with the body changed by another program: nothing is replaced, the other program's
// version stands, and the store learns it.
TEST_P(ChangesInFile, ReplaceAllStopsWhenAnotherProgramChangedTheFile) {
    ops::SearchReplace search(*workspace, ops::BatchSelection{});
    search.findText = "foo";
    search.replaceWith = "bar";
    ASSERT_TRUE(search.search().isDone());
    inAnotherProgram(file(), [](Session& other, ops::Workspace& otherWs) {
        const auto r = other.store().findUser("Global Commands", "Global Commands", "alpha");
        ASSERT_TRUE(r);
        ops::Edit e;
        e.rowId = r->ID;
        e.bodyBefore = r->script;
        e.body = "Sub Main\r\n  w = \"foo\"\r\nEnd Sub\r\n";
        ASSERT_TRUE(ops::SaveChanges(otherWs, e).run().isDone());
    });
    const auto theirs = FileState::read(file());
    const auto before = bytes();
    expectRefused(search.replaceAll(), ops::texts::ModifiedMeanwhile);
    EXPECT_EQ(bytes(), before);
    EXPECT_TRUE(FileHolds(file(), theirs));
    EXPECT_EQ(theirs.findGlobal("alpha")->body, "Sub Main\r\n  w = \"foo\"\r\nEnd Sub\r\n");
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
}

// Every option of the batch dialog marks its own set of rows here; the counts beside the
// options say the same (commands only).
TEST_P(ChangesInFile, EachBatchOptionMarksItsOwnRows) {
    ops::BatchSelection s;
    s.program = "WINWORD";
    s.state = "Application-specific";
    s.group = "Work";
    const auto marking = [&](BatchScope scope, std::vector<std::string> picked = {}) {
        auto chosen = s;
        chosen.scope = scope;
        chosen.picked = std::move(picked);
        const auto m = ops::markSelection(*workspace, chosen);
        EXPECT_TRUE(m.outcome.isDone()) << m.outcome.text;
        return marked();
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(marking(BatchScope::Everything),
              (Names{"alpha", "beta <color>", "bold it", "chart it", "close doc", "color", "delta", "fill down",
                     "gamma", "italic it", "save doc", "sum it"}));
    EXPECT_EQ(marking(BatchScope::CurrentGroup), (Names{"alpha", "bold it", "gamma", "save doc", "sum it"}));
    EXPECT_EQ(marking(BatchScope::CurrentApp), (Names{"bold it", "close doc", "italic it", "save doc"}));
    EXPECT_EQ(marking(BatchScope::CurrentScope), (Names{"bold it", "italic it"}));
    EXPECT_EQ(marking(BatchScope::PickAndChoose, {"italic it"}), (Names{"italic it"}));
    s.state = "Document1";
    EXPECT_EQ(marking(BatchScope::CurrentScope), (Names{"close doc", "save doc"}));
    s.program = "EXCEL";
    s.state = "Book1";
    s.group = "Play";
    EXPECT_EQ(marking(BatchScope::CurrentScope), (Names{"fill down"}));
    EXPECT_EQ(marking(BatchScope::CurrentApp), (Names{"chart it", "fill down", "sum it"}));
    EXPECT_EQ(marking(BatchScope::CurrentGroup), (Names{"beta <color>", "chart it", "fill down", "italic it"}));
    s.group = std::string(names::AllGroups);
    EXPECT_EQ(marking(BatchScope::CurrentGroup), marking(BatchScope::Everything));

    s.program = "WINWORD";
    s.state = "Document1";
    s.group = "Work";
    const auto counts = ops::countScopes(store(), s);
    EXPECT_EQ(counts.everything, 11);
    EXPECT_EQ(counts.group, 5);
    EXPECT_EQ(counts.app, 4);
    EXPECT_EQ(counts.scope, 2);
    EXPECT_EQ(counts.pick, 0);
    EXPECT_EQ(marked(), Names{}) << "counting leaves no mark";
}

// What a batch deletion over one scope leaves: the other scopes of the program, and the other
// programs, untouched.
TEST_P(ChangesInFile, ABatchOverOneScopeLeavesTheOthers) {
    auto want = FileState::read(file());
    ops::BatchSelection s;
    s.scope = BatchScope::CurrentScope;
    s.program = "WINWORD";
    s.state = "Document1";
    const auto o = ops::BatchDelete(*workspace, s).run();
    ASSERT_TRUE(o.isDone()) << o.text;
    want.remove("WINWORD", "Document1", "save doc");
    want.remove("WINWORD", "Document1", "close doc");
    EXPECT_TRUE(FileHolds(file(), want));
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));

    s.scope = BatchScope::CurrentGroup;
    s.group = "Misc";
    ASSERT_TRUE(ops::BatchDelete(*workspace, s).run().isDone());
    want.remove("Global Commands", "Global Commands", "delta");
    EXPECT_TRUE(FileHolds(file(), want));
}

// A window command's states stay with it through a change of its body and a rename, in the
// families whose records hold states.
TEST_P(ChangesInFile, AWindowCommandKeepsItsStatesThroughItsChanges) {
    if (!familyHoldsStates(*familyForCode(GetParam())))
        GTEST_SKIP() << "records of the " << familyName(*familyForCode(GetParam())) << " layout hold no states";
    auto b = spreadFile(GetParam());
    auto zoom = inWindow(made("zoom in", "Work", "with states"), "WINWORD", "Document1");
    zoom.states = {"Normal", "Outline"};
    b.add(zoom);
    open(b);
    auto expected = FileState::read(file());
    ASSERT_EQ(expected.at("WINWORD", "Document1", "zoom in").states, (std::vector<std::string>{"Normal", "Outline"}));

    auto e = edit(kWordDoc, "zoom in");
    e.body = "Sub Main\r\n  zoom = 2\r\nEnd Sub\r\n";
    ASSERT_TRUE(save(e).isDone()) << prompter.last().text;
    ASSERT_TRUE(ops::RenameCommand(*workspace, kWordDoc, "zoom in", "zoom closer").run().isDone()) << prompter.last().text;
    auto& zoomed = expected.at("WINWORD", "Document1", "zoom in");
    zoomed.name = "zoom closer";
    zoomed.body = e.body;
    EXPECT_TRUE(FileHolds(file(), expected));
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
}

// An encrypted command, which only records with the encryption flag can hold, goes through the
// changes of the commands around it as it was.
TEST_P(ChangesInFile, AnEncryptedCommandGoesThroughOtherChangesAsItWas) {
    if (!RecordCodec::forFamily(*familyForCode(GetParam())).holdsEncryptedBodies())
        GTEST_SKIP() << "records of the " << familyName(*familyForCode(GetParam())) << " layout hold no encrypted bodies";
    auto b = spreadFile(GetParam());
    auto secret = made("secret", "Work", "", "\x01\x02 garbled");
    secret.encryption = 1;
    secret.encryptionBlock = CountedText(std::string(40, 'e'));
    b.add(secret);
    open(b);
    auto expected = FileState::read(file());
    ASSERT_TRUE(expected.global("secret").encrypted);

    auto e = edit(kGlobal, "alpha");
    e.body = "Sub Main\r\n  y = 1\r\nEnd Sub\r\n";
    ASSERT_TRUE(save(e).isDone()) << prompter.last().text;
    ASSERT_TRUE(newCommand(kGlobal, "epsilon", "", "Work").isDone()) << prompter.last().text;
    prompter.answers = {"yes"};
    ASSERT_TRUE(ops::DeleteCommand(*workspace, kGlobal, "delta").run().isDone()) << prompter.last().text;
    expected.global("alpha").body = e.body;
    ASSERT_TRUE(expected.remove(kGlobal.program, kGlobal.scope, "delta"));
    const auto current = FileState::read(file());
    const auto* added = current.findGlobal("epsilon");
    ASSERT_TRUE(added);
    expected.rows.push_back(*added);
    EXPECT_TRUE(FileHolds(file(), expected));
    EXPECT_NE(readText(file()).find(std::string(40, 'e')), std::string::npos) << "the encrypted block is there as it was";
    EXPECT_TRUE(StoreAgreesWithFile(store(), file()));
}
