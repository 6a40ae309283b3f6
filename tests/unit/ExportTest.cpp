#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/AtomicFile.h"
#include "cmdfile/FileLock.h"
#include "cmdfile/Format.h"
#include "cmdfile/Texts.h"
#include "writer/Export.h"
#include "writer/Texts.h"

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <utility>

using namespace vocabrella;
using namespace vocabrella::testsupport;
namespace wtexts = vocabrella::texts;

namespace {

BuiltCommand command(std::string name, std::string body = "Sub Main\r\nEnd Sub", std::uint8_t kind = kKindAdvancedScript) {
    return bareCommand(std::move(name), kind, std::move(body));
}

BuiltCommand appCommand(std::string name, std::string module) {
    return inProgram(command(std::move(name)), std::move(module), "Word processor", "Maker Inc");
}

// Reads a file with a store and reader of its own, as opening it would.
std::vector<UserRow> parseAlone(const std::filesystem::path& path) {
    TempDir home;
    std::filesystem::copy_file(std::filesystem::path(VOCABRELLA_DATA_DIR) / "keynames", home.path() / "keynames");
    auto store = CommandStore::create(home.path() / "global.mdb");
    ScriptedPrompter prompter;
    FakeClock clock;
    Trace trace;
    CommandFileReader reader(ReaderEnvironment{store, trace, prompter, clock, home.path()});
    const auto outcome = reader.ReadCommandFile(true, path);
    EXPECT_TRUE(outcome.success) << outcome.problem;
    return store.allUsers();
}

std::vector<std::string> rowNames(const std::vector<UserRow>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.name);
    return out;
}

class ExportToDat : public ReaderFixture {
protected:
    void SetUp() override {
        ReaderFixture::SetUp();
        std::filesystem::create_directory(home() / "out");
    }
    WriterEnvironment env() { return {*store, *reader, trace, prompter, home()}; }
    void open(CommandFileBuilder& b) {
        b.writeFile(file());
        ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    }
    std::filesystem::path target() const { return home() / "out" / "target.dat"; }
    void flag(std::initializer_list<std::string_view> flagged) {
        store->clearFlags();
        for (const auto name : flagged) {
            sqlite3_stmt* s = nullptr;
            ASSERT_EQ(sqlite3_prepare_v2(store->handle(), "UPDATE user SET flag = 1 WHERE name = ?", -1, &s, nullptr), SQLITE_OK);
            sqlite3_bind_text(s, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
            EXPECT_EQ(sqlite3_step(s), SQLITE_DONE);
            sqlite3_finalize(s);
        }
    }
    ExportResult exportTo(ExistingTarget whenExists = ExistingTarget::Ask) {
        return ExportToCommandFile(env(), target(), whenExists).run();
    }
    std::uint32_t longAt(const Bytes& b, std::size_t index) {
        return b[index] | b[index + 1] << 8 | b[index + 2] << 16 | std::uint32_t(b[index + 3]) << 24;
    }
    std::size_t questions(const char* title) {
        return static_cast<std::size_t>(std::count_if(prompter.shown.begin(), prompter.shown.end(),
                                                      [&](const auto& s) { return s.title == title; }));
    }
};

} // namespace

TEST(ExportPath, DatIsAppendedWhenTheNameLacksIt) {
    const auto plain = normaliseExportPath("out/../selected");
    EXPECT_TRUE(plain.datAppended);
    EXPECT_TRUE(plain.path.is_absolute());
    EXPECT_EQ(plain.path.filename(), "selected.dat");
    EXPECT_EQ(plain.path.parent_path().filename(), std::filesystem::current_path().filename());
    EXPECT_FALSE(normaliseExportPath("/tmp/Global.DAT").datAppended);
    EXPECT_EQ(normaliseExportPath("/tmp/a.txt").path, std::filesystem::absolute("/tmp/a.txt.dat"));
}

TEST_F(ExportToDat, TwoCommandsSharingAListMakeANewFileWithOneList) {
    CommandFileBuilder b(7);
    b.add(command("first <numbers>"));
    auto app = appCommand("second <numbers>", "winword");
    app.states = {"Typing"};
    app.reservedAfterScope = kDragonReservedAfterScope;
    b.add(app);
    auto steps = command("steps", "", kKindStepByStep);
    steps.rawBody = stepByStepBody({step::pressKey(65, kCtrl)});
    b.add(steps);
    b.add(command("not flagged"));
    b.add(BuiltList("numbers", {"one", "two"}));
    b.add(BuiltList("unused", {"x"}));
    open(b);
    const auto original = readFileBytes(file());
    flag({"first <numbers>", "second <numbers>", "steps"});
    prompter.shown.clear();

    const auto result = exportTo();
    ASSERT_EQ(result.outcome, ExportOutcome::Done);
    EXPECT_FALSE(result.appended);
    EXPECT_EQ(result.exported, 3u);
    EXPECT_EQ(result.listsAdded, 1u);
    EXPECT_EQ(prompter.shown.size(), 0u) << "a new target asks nothing";

    const auto out = readFileBytes(target());
    EXPECT_EQ(longAt(out, 17), 3u);
    const auto data = b.build();
    const auto listSection = b.commandPositions()[3].offset - 1;
    EXPECT_EQ(Bytes(out.begin() + 21, out.begin() + long(listSection)), Bytes(data.begin() + 21, data.begin() + long(listSection)))
        << "records copied byte for byte";
    EXPECT_EQ(longAt(out, listSection), 1u) << "LIST count";

    const auto parsed = parseAlone(target());
    EXPECT_EQ(rowNames(parsed), (std::vector<std::string>{"first <numbers>", "second <numbers>", "steps", "numbers"}));
    const auto opened = store->allUsers();
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(parsed[i].menu, opened[i].menu);
        EXPECT_EQ(parsed[i].state, opened[i].state);
        EXPECT_EQ(parsed[i].Type, opened[i].Type);
        EXPECT_EQ(parsed[i].script, opened[i].script);
    }
    EXPECT_EQ(parsed[3].script, "one\r\ntwo\r\n");

    // The export store mirrors the new file, positions included; the folder is remembered.
    auto mirror = CommandStore::open(home() / "export.mdb");
    const auto rows = mirror.allUsers();
    ASSERT_EQ(rows.size(), parsed.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, parsed[i].name);
        EXPECT_EQ(rows[i].offset, parsed[i].offset);
        EXPECT_EQ(rows[i].offsetbody, parsed[i].offsetbody);
        EXPECT_EQ(rows[i].filename, "mycmds.dat");
    }
    EXPECT_EQ(mirror.stateName(std::stoi(rows[1].states)), "Typing");
    EXPECT_EQ(mirror.parameters().OffsetLists, static_cast<std::int32_t>(listSection + 1));
    EXPECT_EQ(store->parameters().exportPath, (home() / "out").string());

    EXPECT_EQ(readFileBytes(file()), original);
    EXPECT_FALSE(std::filesystem::exists(home() / "savedat"));
    const auto log = readText(home() / "Vocabrella.log");
    EXPECT_NE(log.find("0 22 0 Original Exportcommands, offset, lists\r\n"), std::string::npos);
    EXPECT_NE(log.find("ExportDATs= 3\r\nExportcommands= 3\r\n"), std::string::npos);
    EXPECT_EQ(log.find("ExportDATdelete..."), std::string::npos);
}

TEST_F(ExportToDat, AFileDragonWroteExportsWithBothItsLists) {
    std::filesystem::copy_file(sample("move-dock-window.dat"), file());
    ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    store->flagAllCommands();
    const auto result = exportTo();
    EXPECT_EQ(result.listsAdded, 2u);
    const auto parsed = parseAlone(target());
    ASSERT_EQ(parsed.size(), 3u);
    EXPECT_EQ(parsed[0].script, store->allUsers()[0].script);
    EXPECT_EQ(rowNames(parsed)[1], "move_or_dock") << "carried in the order the name uses them";
    EXPECT_EQ(parsed[2].script, "left\r\nright\r\nup\r\ndown\r\n");
}

TEST_F(ExportToDat, AppendingWithNoToAllAddsNothingTwice) {
    CommandFileBuilder t(7);
    t.add(command("a <numbers>"));
    t.add(command("b"));
    t.add(appCommand("global elsewhere", "EXCEL"));
    t.add(command("uses <builtin>")); // a LIST neither file has: the target stays as it was
    t.add(BuiltList("numbers", {"target's own"}));
    t.writeFile(target());

    CommandFileBuilder b(7);
    b.add(command("a <numbers>", "changed"));
    b.add(command("b", "changed"));
    b.add(command("global elsewhere"));
    b.add(command("c <numbers>"));
    b.add(BuiltList("numbers", {"open file's"}));
    open(b);
    flag({"a <numbers>", "b", "global elsewhere", "c <numbers>"});

    prompter.answers = {"1", "3"}; // the first existing command: no; the second: no to all
    const auto first = exportTo(ExistingTarget::Append);
    ASSERT_EQ(first.outcome, ExportOutcome::Done);
    EXPECT_EQ(first.exported, 2u) << "another program's command of the same name is no duplicate";
    EXPECT_EQ(first.skipped, 2u);
    EXPECT_EQ(first.listsAdded, 0u);
    EXPECT_EQ(questions("Overwrite?"), 2u);
    EXPECT_EQ(prompter.shown[0].text, "The following command already exists in:\r\n" + target().string() +
                                          "\r\na <numbers>\r\nOverwrite? with command from:\r\n" + file().string());
    const auto afterFirst = readFileBytes(target());

    prompter.answers = {"3"};
    const auto again = exportTo(ExistingTarget::Append);
    EXPECT_EQ(again.exported, 0u);
    EXPECT_EQ(again.skipped, 4u);
    EXPECT_EQ(questions("Overwrite?"), 3u) << "no to all asks once";
    EXPECT_EQ(readFileBytes(target()), afterFirst);

    const auto parsed = parseAlone(target());
    EXPECT_EQ(rowNames(parsed),
              (std::vector<std::string>{"a <numbers>", "b", "global elsewhere", "uses <builtin>", "global elsewhere",
                                        "c <numbers>", "numbers"}));
    EXPECT_EQ(parsed[0].script, "Sub Main\r\nEnd Sub");
    EXPECT_EQ(parsed[6].script, "target's own\r\n");
}

TEST_F(ExportToDat, OverwritingLeavesOneCopyTheNewOneAfterTheTargetsOlderCommands) {
    CommandFileBuilder t(6);
    t.add(command("dup", "old"));
    t.add(command("keep"));
    t.add(command("twice", "old 1"));
    t.add(command("twice", "old 2"));
    t.writeFile(target());

    CommandFileBuilder b(6);
    b.add(command("twice", "new"));
    b.add(command("dup", "new"));
    b.add(command("fresh <colors>"));
    b.add(BuiltList("colors", {"red"}));
    open(b);
    store->flagAllCommands();

    prompter.answers = {"2"}; // yes to all
    const auto result = exportTo(ExistingTarget::Append);
    ASSERT_EQ(result.outcome, ExportOutcome::Done);
    EXPECT_EQ(result.replaced, 2u);
    EXPECT_EQ(result.exported, 3u);
    EXPECT_EQ(result.commands, 4u);
    EXPECT_EQ(result.lists, 1u);
    EXPECT_EQ(questions("Overwrite?"), 1u);

    const auto parsed = parseAlone(target());
    EXPECT_EQ(rowNames(parsed), (std::vector<std::string>{"keep", "twice", "dup", "fresh <colors>", "colors"}));
    EXPECT_EQ(parsed[1].script, "new");
    EXPECT_EQ(parsed[2].script, "new");
    for (const auto& r : parsed) EXPECT_FALSE(r.dupe) << r.name;

    const auto duplicates = readText(home() / "duplicate.log");
    EXPECT_EQ(duplicates.rfind("The following Command or LIST names are duplicate names\r\n\r\n", 0), 0u);
    EXPECT_NE(duplicates.find("mycmds.dat   twice        Global Commands "), std::string::npos);
    const auto log = readText(home() / "Vocabrella.log");
    EXPECT_NE(log.find("ExportDATcopies= 2\r\n"), std::string::npos);
    EXPECT_NE(log.find("ExportDATdelete...\r\nExportcommands= 4\r\n"), std::string::npos);
}

TEST_F(ExportToDat, CancellingOrFailingLeavesTheTargetAsItWas) {
    CommandFileBuilder t(7);
    t.add(command("dup", "old"));
    t.writeFile(target());
    const auto before = readFileBytes(target());

    CommandFileBuilder b(7);
    b.add(command("new one"));
    b.add(command("dup", "new"));
    b.add(command("ghost <nowhere>"));
    open(b);
    flag({"new one", "dup"});

    prompter.answers = {"1", "4"}; // append; then cancel export at the duplicate
    EXPECT_EQ(exportTo().outcome, ExportOutcome::Cancelled);
    EXPECT_EQ(prompter.shown[0].title, "Choose action below");
    EXPECT_EQ(prompter.shown[0].text, "The Export file already exists:\r\n" + target().string());
    prompter.answers = {}; // Escape in the first dialog
    EXPECT_EQ(exportTo().outcome, ExportOutcome::Cancelled);
    prompter.answers = {}; // append chosen already; Escape in "Overwrite?"
    EXPECT_EQ(exportTo(ExistingTarget::Append).outcome, ExportOutcome::Cancelled);
    EXPECT_EQ(readFileBytes(target()), before);

    // A LIST that neither file holds stops the export before anything is written.
    std::filesystem::remove(target());
    flag({"new one", "ghost <nowhere>"});
    EXPECT_EQ(exportTo().outcome, ExportOutcome::Refused);
    EXPECT_EQ(prompter.last().text, "fatal Export not found LIST error");
    EXPECT_EQ(prompter.last().title, "nowhere");
    EXPECT_FALSE(std::filesystem::exists(target()));
    EXPECT_EQ(prompter.statusLines.back(), "");
}

TEST_F(ExportToDat, RefusalsComeBeforeAnythingIsWritten) {
    CommandFileBuilder b(7);
    b.add(command("a"));
    open(b);
    store->flagAllCommands();

    const auto refused = [&](const std::filesystem::path& path, ExistingTarget when, const std::string& text,
                             const std::string& title) {
        SCOPED_TRACE(text);
        const auto before = std::filesystem::exists(path) ? readFileBytes(path) : Bytes{};
        EXPECT_EQ(ExportToCommandFile(env(), path, when).run().outcome, ExportOutcome::Refused);
        EXPECT_EQ(prompter.last().text, text);
        EXPECT_EQ(prompter.last().title, title);
        EXPECT_EQ(std::filesystem::exists(path) ? readFileBytes(path) : Bytes{}, before);
    };
    refused(home() / "MYCMDS.dat", ExistingTarget::Ask, "Can't export to self", (home() / "MYCMDS.dat").string());
    refused(home() / "missing" / "x.dat", ExistingTarget::Ask, "Folder does not exist", (home() / "missing").string());

    const std::pair<std::uint8_t, std::uint8_t> others[] = {{6, 9}, {7, 7}};
    for (const auto& [version, language] : others) {
        CommandFileBuilder other(version, language);
        other.add(command("x"));
        other.writeFile(target());
        refused(target(), ExistingTarget::Append,
                version != 7 ? "Can't Append to different version --Check .dat file"
                             : "Can't Append to different language version --Check .dat file(s)  Properties",
                target().string());
    }
    writeFileAtomically(target(), std::string_view("not a command file"));
    refused(target(), ExistingTarget::Append, "The Export file is not a command file that can be appended to",
            target().string());
    EXPECT_FALSE(std::filesystem::exists(home() / "export.mdb"));
    EXPECT_FALSE(std::filesystem::exists(home() / "Vocabrella.log"));
    auto truncated = b.build();
    truncated.resize(30);
    writeBytes(target(), truncated);
    refused(target(), ExistingTarget::Append, "The Export file is not a command file that can be appended to",
            target().string());
    EXPECT_FALSE(std::filesystem::exists(home() / "export.mdb"));

    // Overwriting needs no matching version: the target is made afresh.
    const auto result = ExportToCommandFile(env(), target(), ExistingTarget::Overwrite).run();
    EXPECT_EQ(result.outcome, ExportOutcome::Done);
    EXPECT_EQ(rowNames(parseAlone(target())), std::vector<std::string>{"a"});
}

namespace {

// Passes everything to the scripted prompter, and does `meddle` once the export has read its
// target and starts building: another program's write in the middle of the export.
class MeddlingPrompter final : public Prompter {
public:
    MeddlingPrompter(ScriptedPrompter& inner, std::function<void()> meddle) : inner_(inner), meddle_(std::move(meddle)) {}
    void message(std::string_view text, std::string_view title) override { inner_.message(text, title); }
    bool yesNo(std::string_view text, std::string_view title) override { return inner_.yesNo(text, title); }
    bool okCancel(std::string_view text, std::string_view title) override { return inner_.okCancel(text, title); }
    std::optional<std::string> input(std::string_view text, std::string_view title, std::string_view d) override {
        return inner_.input(text, title, d);
    }
    int choice(std::string_view text, std::string_view title, const std::vector<std::string>& b) override {
        return inner_.choice(text, title, b);
    }
    void status(std::string_view text) override {
        if (text == wtexts::Exporting && meddle_) std::exchange(meddle_, nullptr)();
        inner_.status(text);
    }
    void counts(std::string_view text) override { inner_.counts(text); }

private:
    ScriptedPrompter& inner_;
    std::function<void()> meddle_;
};

std::string refusalText(const std::filesystem::path& path, std::string_view why) { return path.string() + ": " + std::string(why); }

} // namespace

TEST_F(ExportToDat, TheTargetIsWrittenOnlyUnderItsLockAndOnlyAsItWasRead) {
    CommandFileBuilder t(7);
    t.add(command("theirs"));
    t.writeFile(target());
    const auto before = readFileBytes(target());
    CommandFileBuilder b(7);
    b.add(command("ours"));
    open(b);
    flag({"ours"});

    {
        // Another writer holds the target: the export waits, then gives up and writes nothing.
        FakeClock other;
        CommandFileLock held(target(), other);
        EXPECT_EQ(ExportToCommandFile(env(), target(), ExistingTarget::Append, &clock).run().outcome,
                  ExportOutcome::Refused);
        EXPECT_EQ(prompter.last().text, refusalText(target(), vocabrella::texts::WriterBusy));
        EXPECT_EQ(readFileBytes(target()), before);
        EXPECT_GE(clock.slept, std::chrono::milliseconds(3000));
    }

    // Appended to by another program after it was read: its commands are not lost.
    CommandFileBuilder changed(7);
    changed.add(command("theirs"));
    changed.add(command("added meanwhile"));
    const auto meddle = [&] { changed.writeFile(target()); };
    for (const auto when : {ExistingTarget::Append, ExistingTarget::Overwrite}) {
        t.writeFile(target());
        MeddlingPrompter meddling(prompter, meddle);
        WriterEnvironment e{*store, *reader, trace, meddling, home()};
        EXPECT_EQ(ExportToCommandFile(e, target(), when, &clock).run().outcome, ExportOutcome::Refused);
        EXPECT_EQ(prompter.last().text, refusalText(target(), vocabrella::texts::ChangedMeanwhile));
        EXPECT_EQ(rowNames(parseAlone(target())), (std::vector<std::string>{"theirs", "added meanwhile"}));
    }

    // A new target that another export made meanwhile is not replaced either.
    std::filesystem::remove(target());
    MeddlingPrompter meddling(prompter, meddle);
    WriterEnvironment e{*store, *reader, trace, meddling, home()};
    EXPECT_EQ(ExportToCommandFile(e, target(), ExistingTarget::Ask, &clock).run().outcome, ExportOutcome::Refused);
    EXPECT_EQ(prompter.last().text, refusalText(target(), vocabrella::texts::CreatedMeanwhile));
    EXPECT_EQ(rowNames(parseAlone(target())), (std::vector<std::string>{"theirs", "added meanwhile"}));

    // Left alone, the export goes through.
    EXPECT_EQ(exportTo(ExistingTarget::Append).outcome, ExportOutcome::Done);
    EXPECT_EQ(rowNames(parseAlone(target())), (std::vector<std::string>{"theirs", "added meanwhile", "ours"}));
}

TEST_F(ExportToDat, ALinkedTargetIsWrittenThroughItsLink) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need an administrator or developer mode on Windows, and Wine's differ";
#endif
    CommandFileBuilder t(7);
    t.add(command("theirs"));
    const auto real = home() / "out" / "real.dat";
    t.writeFile(real);
    std::filesystem::create_symlink("real.dat", target());
    CommandFileBuilder b(7);
    b.add(command("ours"));
    open(b);
    flag({"ours"});

    EXPECT_EQ(exportTo(ExistingTarget::Append).outcome, ExportOutcome::Done);
    EXPECT_TRUE(std::filesystem::is_symlink(target()));
    EXPECT_EQ(rowNames(parseAlone(real)), (std::vector<std::string>{"theirs", "ours"}));

    // A link to the open file is the open file.
    std::filesystem::remove(target());
    std::filesystem::create_symlink(file(), target());
    const auto open = readFileBytes(file());
    EXPECT_EQ(exportTo(ExistingTarget::Overwrite).outcome, ExportOutcome::Refused);
    EXPECT_EQ(prompter.last().text, "Can't export to self");
    EXPECT_EQ(readFileBytes(file()), open);
}

TEST_F(ExportToDat, AnAppendPastTheMostCommandsAFileHoldsIsRefusedBeforeWriting) {
    // A target as full as a command file can be: 65535 copies of one small record.
    CommandFileBuilder one(7);
    one.add(command("same"));
    const auto image = one.build();
    const std::size_t listSection = image.size() - 4; // the LIST count, no LISTs
    Bytes full(image.begin(), image.begin() + format::kHeaderSize);
    const Bytes record(image.begin() + format::kHeaderSize, image.begin() + static_cast<long>(listSection));
    full.reserve(full.size() + record.size() * 0xFFFF + 4);
    for (int i = 0; i < 0xFFFF; ++i) full.insert(full.end(), record.begin(), record.end());
    for (int b = 0; b < 4; ++b) full[format::kCommandCountOffset + b] = static_cast<std::uint8_t>(0xFFFF >> (8 * b));
    full.insert(full.end(), {0, 0, 0, 0});
    writeBytes(target(), full);

    CommandFileBuilder b(7);
    b.add(command("one more"));
    open(b);
    flag({"one more"});
    EXPECT_EQ(exportTo(ExistingTarget::Append).outcome, ExportOutcome::Refused);
    EXPECT_EQ(prompter.last().text, wtexts::ExportTooManyRecords);
    EXPECT_EQ(readFileBytes(target()), full);
}
