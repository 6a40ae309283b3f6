#include "TestHome.h"

#include "BuiltCommands.h"
#include "CommandFileBuilder.h"

#include "cmdfile/Bytes.h"
#include "cmdfile/Errors.h"

using namespace vocabrella;
using namespace vocabrella::testsupport;

namespace {

BuiltCommand appCommand(std::string name, std::string module) {
    return inProgram(bareCommand(std::move(name)), std::move(module), "Word processor", "Maker Inc");
}

BuiltCommand windowCommand(std::string name, std::string module, std::string title) {
    auto c = appCommand(std::move(name), std::move(module));
    c.scopeByte = kScopeWindow;
    c.windowTitle = std::move(title);
    c.windowClass = "OpusApp";
    return c;
}

class Reader : public ReaderFixture {
protected:
    ReadOutcome read(CommandFileBuilder& b, bool force = true, const std::string& name = "mycmds.dat") {
        b.writeFile(file(name));
        return reader->ReadCommandFile(force, file(name));
    }
    std::vector<UserRow> rows() { return store->allUsers(); }
    std::vector<std::string> traceLabels() {
        std::vector<std::string> labels;
        std::istringstream in(readText(home() / "trace.vbl"));
        for (std::string line; std::getline(in, line);) labels.push_back(line.substr(0, line.find(' ')));
        return labels;
    }
};

} // namespace

TEST_F(Reader, EveryFamilyAndKindGivesTheExpectedRows) {
    for (std::uint8_t code = 3; code <= 7; ++code) {
        SCOPED_TRACE("version code " + std::to_string(code));
        CommandFileBuilder b(code);
        auto keys = bareCommand("save it", kKindKeys, "{Ctrl+s}");
        keys.group = "Editing";
        keys.description = "saves";
        b.add(keys);
        b.add(bareCommand("legacy", kKindScript, "SendKeys \"x\""));
        auto plain = bareCommand("sig", kKindText, "Best regards");
        b.add(plain);
        auto graphic = bareCommand("logo", kKindText, "Logo text");
        graphic.formatted = CountedText(std::string(1200, 'r'));
        b.add(graphic);
        auto steps = bareCommand("reply", kKindStepByStep, "");
        steps.rawBody = stepByStepBody({step::pressKey(82, kCtrl)});
        b.add(steps);
        auto rec = bareCommand("macro", kKindRecorder, "");
        rec.rawBody = recorderBody({}, {event::key(65, 0)});
        b.add(rec);
        auto app = appCommand("bold that", "winword");
        app.states = {"Editing", "Reading"};
        b.add(app);
        b.add(windowCommand("close doc", "WINWORD", "Document1 - Word"));
        auto odd = bareCommand("odd kind", 9, "");
        b.add(odd);
        b.add(BuiltList("colors", {"red", "green"}));
        ASSERT_TRUE(read(b).success);

        const auto r = rows();
        ASSERT_EQ(r.size(), 10u);
        const auto& pos = b.commandPositions();
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(r[i].offset, static_cast<int>(pos[i].offset)) << i;
            EXPECT_EQ(r[i].offsetbody, static_cast<int>(pos[i].body)) << i;
            EXPECT_EQ(r[i].filename, "mycmds.dat");
            EXPECT_EQ(r[i].pathcode, "U");
            EXPECT_EQ(r[i].listsort, "C");
        }
        EXPECT_EQ(r[0].Type, "K");
        EXPECT_EQ(r[0].script, "{Ctrl+s}");
        EXPECT_EQ(r[0].owner, "Editing");
        EXPECT_EQ(r[0].description, "saves");
        EXPECT_EQ(r[0].menu, "Global Commands");
        EXPECT_EQ(r[0].state, "Global Commands");
        EXPECT_EQ(r[0].scope, "G");
        EXPECT_EQ(r[0].globalsort, "G");
        EXPECT_TRUE(r[0].Global);
        EXPECT_EQ(r[1].Type, "S");
        EXPECT_EQ(r[1].owner, "User-defined");
        EXPECT_EQ(r[2].Type, "P");
        EXPECT_EQ(r[2].script, "Best regards");
        EXPECT_EQ(r[2].graphicsize, 0);
        EXPECT_EQ(r[3].Type, "T");
        EXPECT_EQ(r[3].graphicsize, 1200);
        EXPECT_EQ(r[3].script, "Logo text");
        EXPECT_EQ(r[4].Type, "X");
        EXPECT_EQ(r[4].script, "Press Ctrl + R");
        EXPECT_EQ(r[5].Type, "R");
        EXPECT_EQ(r[5].script, "A key down");
        EXPECT_EQ(r[6].menu, "WINWORD");
        EXPECT_EQ(r[6].state, "Application-specific");
        EXPECT_EQ(r[6].scope, "A");
        EXPECT_EQ(r[6].globalsort, "N");
        EXPECT_FALSE(r[6].Global);
        EXPECT_EQ(r[6].PDescript, 14);
        EXPECT_EQ(r[6].CompanyName, 9);
        EXPECT_EQ(r[6].ClassName, 0);
        if (code >= 6) {
            const auto ids = r[6].states;
            ASSERT_EQ(std::count(ids.begin(), ids.end(), ','), 2) << ids;
            EXPECT_EQ(ids.back(), ',');
            EXPECT_EQ(store->stateName(std::stoll(ids)).value_or(""), "Editing");
            EXPECT_EQ(store->stateName(std::stoll(ids.substr(ids.find(',') + 1))).value_or(""), "Reading");
        } else {
            EXPECT_EQ(r[6].states, "");
        }
        EXPECT_EQ(r[7].state, "Document1 - Word");
        EXPECT_EQ(r[7].scope, "W");
        EXPECT_EQ(r[7].ClassName, 7);
        EXPECT_EQ(r[8].Type, "");
        EXPECT_EQ(r[8].script, "");
        EXPECT_EQ(r[9].Type, "L");
        EXPECT_EQ(r[9].script, "red\r\ngreen\r\n");
        EXPECT_EQ(r[9].owner, "Dragon");
        EXPECT_EQ(r[9].lists, 1);
        EXPECT_EQ(r[9].offsetbody, 0);
        EXPECT_EQ(r[9].listsort, "L");
        EXPECT_EQ(r[9].offset, static_cast<int>(b.listPositions()[0]));
        const auto params = store->parameters();
        EXPECT_EQ(params.OffsetLists, static_cast<int>(b.listSectionPosition()));
        EXPECT_EQ(params.lastdvcID, r[0].ID);
        EXPECT_EQ(reader->file().info.commandCount, 9u);
        EXPECT_EQ(reader->file().info.listCount, 1u);
        EXPECT_EQ(prompter.countLines.back(), "9 /1");
    }
}

TEST_F(Reader, TextBodyStartsAfterTheCountAndTheFormattedPart) {
    CommandFileBuilder b(7);
    auto graphic = bareCommand("logo", kKindText, "after");
    graphic.formatted = CountedText(std::string(1200, 'g'));
    b.add(graphic);
    ASSERT_TRUE(read(b).success);
    const auto bytes = b.build();
    const auto bodyStart = b.commandPositions()[0].body - 1;
    EXPECT_EQ(bytes[bodyStart + 1203], 5) << "the text's prefix stands 1203 bytes after the body start";
    EXPECT_EQ(rows()[0].script, "after");
}

TEST_F(Reader, RecordLayoutsDifferByFamily) {
    // 6.x records carry nothing between the scope byte and the scope data, nor after the kind byte.
    for (std::uint8_t code : {3, 4, 5, 6, 7}) {
        CommandFileBuilder b(code);
        auto c = bareCommand("x", kKindKeys, "k");
        c.reservedAfterScope = kDragonReservedAfterScope;
        b.add(c);
        b.build();
        const auto& p = b.commandPositions()[0];
        const std::size_t expectedGap = code >= 5 ? 12 : 0;
        EXPECT_EQ(p.afterKind - p.scopeByte - 1 - 1, expectedGap + (code >= 6 ? 4 : 0)) << int(code);
        const std::size_t afterKind = code == 7 ? 9 : code >= 5 ? 8 : 0;
        EXPECT_EQ(p.body - p.afterKind, afterKind) << int(code);
        ASSERT_TRUE(read(b).success) << int(code);
        EXPECT_EQ(rows().at(0).script, "k");
    }
}

TEST_F(Reader, EncryptedRecordsSkipTheirBlockAndAreMarked) {
    CommandFileBuilder b(7);
    auto secret = bareCommand("secret", kKindAdvancedScript, "\x01\x02 garbled");
    secret.encryption = 1;
    secret.encryptionBlock = CountedText(std::string(40, 'e'));
    b.add(secret);
    b.add(bareCommand("open", kKindKeys, "plain"));
    ASSERT_TRUE(read(b).success);
    const auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_TRUE(r[0].encrypted);
    EXPECT_EQ(r[0].offsetbody, static_cast<int>(b.commandPositions()[0].body));
    EXPECT_FALSE(r[1].encrypted);
    EXPECT_EQ(r[1].script, "plain");
}

TEST_F(Reader, SkippedRecordsAreReadThroughButNotStored) {
    CommandFileBuilder b(7);
    b.add(bareCommand("one"));
    auto gone = appCommand("gone", "EXCEL");
    gone.scopeByte = kScopeApplication | kSkippedRecord;
    b.add(gone);
    b.add(bareCommand("three"));
    b.add(BuiltList("l", {"a"}));
    ASSERT_TRUE(read(b).success);
    const auto r = rows();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].name, "three");
    EXPECT_EQ(prompter.countLines.back(), "2 /1");
    EXPECT_EQ(reader->file().info.commandCount, 3u);
}

TEST_F(Reader, UnknownScopesLeaveProgramAndStateEmpty) {
    CommandFileBuilder b(7);
    auto c = bareCommand("strange");
    c.scopeByte = 5;
    b.add(c);
    ASSERT_TRUE(read(b).success);
    const auto r = rows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].menu, "");
    EXPECT_EQ(r[0].scope, "");
}

TEST_F(Reader, DuplicatesAreStoredFlaggedAndLogged) {
    CommandFileBuilder b(7);
    b.add(appCommand("bold", "winword"));
    b.add(appCommand("Bold", "WINWORD")); // names compare without case
    b.add(bareCommand("other"));
    ASSERT_TRUE(read(b).success);
    const auto r = rows();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_FALSE(r[0].dupe);
    EXPECT_TRUE(r[1].dupe);
    EXPECT_FALSE(r[2].dupe);
    const std::string log = readText(home() / "duplicate.log");
    EXPECT_EQ(log,
              "The following Command or LIST names are duplicate names\r\n\r\n"
              "Already in:  Filename     MENU         STATE                            Type   Macroname\r\n\r\n"
              "mycmds.dat   Bold         WINWORD         Application-specific             A Bold\r\n");
}

TEST_F(Reader, ARowNotFromTheFileIsReplacedByTheParsedOne) {
    UserRow kept;
    kept.menu = "Global Commands";
    kept.state = "Global Commands";
    kept.name = "hello";
    kept.Type = "P";
    kept.filename = "mycmds.dat";
    store->insertUser(kept);
    kept.name = "stays";
    store->insertUser(kept);
    CommandFileBuilder b(7);
    b.add(bareCommand("hello"));
    ASSERT_TRUE(read(b).success);
    const auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].name, "stays");
    EXPECT_EQ(r[1].name, "hello");
    EXPECT_TRUE(r[1].dupe);
    EXPECT_EQ(r[1].Type, "A");
}

TEST_F(Reader, AnEmptyFileLeavesAnEmptyStore) {
    CommandFileBuilder b(7);
    ASSERT_TRUE(read(b).success);
    EXPECT_EQ(store->userCount(), 0);
    EXPECT_EQ(store->parameters().OffsetLists, 22);
    EXPECT_EQ(prompter.countLines.back(), "0 /0");
}

TEST_F(Reader, AnUnchangedFileIsNotParsedAgain) {
    CommandFileBuilder b(7);
    b.add(bareCommand("a"));
    b.add(bareCommand("a"));
    b.add(BuiltList("l", {"x"}));
    ASSERT_TRUE(read(b, false).success);
    const auto firstRows = rows();
    const auto log = readText(home() / "duplicate.log");
    std::filesystem::remove(home() / "duplicate.log");
    const auto parses = [&] {
        const auto labels = traceLabels();
        return std::count(labels.begin(), labels.end(), "b4");
    };
    EXPECT_EQ(parses(), 1);

    ASSERT_TRUE(reader->ReadCommandFile(false, file()).success);
    EXPECT_EQ(parses(), 1);
    EXPECT_FALSE(std::filesystem::exists(home() / "duplicate.log")) << "the log is left as it was";
    EXPECT_EQ(reader->file().info.commandCount, 2u);
    EXPECT_EQ(reader->file().info.listCount, 1u);
    EXPECT_EQ(prompter.countLines.back(), "2 /1");
    EXPECT_EQ(rows().size(), firstRows.size());

    // Forcing, or a file that changed, parses again.
    ASSERT_TRUE(reader->ReadCommandFile(true, file()).success);
    EXPECT_EQ(parses(), 2);
    std::filesystem::last_write_time(file(), std::filesystem::last_write_time(file()) + std::chrono::seconds(1));
    ASSERT_TRUE(reader->ReadCommandFile(false, file()).success);
    EXPECT_EQ(parses(), 3);
}

TEST_F(Reader, TracePointsComeInOrder) {
    CommandFileBuilder b(7);
    b.add(bareCommand("a"));
    ASSERT_TRUE(read(b).success);
    EXPECT_EQ(traceLabels(),
              (std::vector<std::string>{"b4", "binary", "real", "before", "binary"}));
    const auto text = readText(home() / "trace.vbl");
    EXPECT_NE(text.find("b4 processing  \r\nbinary before keynames " + file().string() + " \r\nreal  \r\n"
                        "before parselists  \r\nbinary done  \r\n"),
              std::string::npos);
    EXPECT_EQ(prompter.statusLines, (std::vector<std::string>{"Processing mycmds.dat", ""}));
}

TEST_F(Reader, AControlByteInANameStopsTheParse) {
    CommandFileBuilder b(7);
    b.add(bareCommand("first", kKindKeys, "one"));
    b.add(bareCommand("bad\tname"));
    b.add(bareCommand("never"));
    const auto outcome = read(b);
    EXPECT_FALSE(outcome.success);
    EXPECT_NE(outcome.problem.find("at byte " + std::to_string(b.commandPositions()[1].offset)), std::string::npos);
    const auto r = rows();
    ASSERT_EQ(r.size(), 1u) << "rows stored before the bad name stay";
    EXPECT_EQ(r[0].name, "first");
    EXPECT_FALSE(store->parameters().mycmdstime) << "a failed parse is not taken for an up-to-date store";

    const std::string log = readText(home() / "error.log");
    const auto bytes = b.build();
    const std::size_t dumpLength = bytes.size() - (b.commandPositions()[0].offset - 1);
    EXPECT_EQ(log.substr(0, dumpLength),
              std::string(bytes.begin() + static_cast<long>(b.commandPositions()[0].offset - 1), bytes.end()));
    const std::string rest = log.substr(dumpLength);
    EXPECT_EQ(rest.substr(0, 40 + 27 + 8 + 33), "****************************************this bad command (or list) bad\tname"
                                               "*********************************");
    EXPECT_NE(rest.find(std::string("\x08\x00", 2) + "\x24" + std::string(1, '\0') + "previous command (or list) firstKone"),
              std::string::npos);
    EXPECT_NE(rest.find("which/commands,which/lists 2/3 0/0"), std::string::npos);

    // The next start reads it again, and fails again, rather than trusting the half-filled store.
    EXPECT_FALSE(reader->ReadCommandFile(false, file()).success);
}

// Rows are stored a run at a time; a file longer than a run must come out as if row by row.
TEST_F(Reader, LongFilesKeepFileOrderDuplicatesAndTheRowsBeforeABadName) {
    UserRow earlier;
    earlier.menu = earlier.state = "Global Commands";
    earlier.name = "cmd100";
    earlier.Type = "P";
    store->insertUser(earlier); // not from the file: the parsed row takes its place

    CommandFileBuilder b(7);
    for (int i = 0; i < 200; ++i) b.add(bareCommand(i == 130 ? "CMD3" : "cmd" + std::to_string(i)));
    b.add(bareCommand("bad\x02"));
    b.add(bareCommand("never"));
    const auto outcome = read(b);
    ASSERT_FALSE(outcome.success);

    const auto r = rows();
    ASSERT_EQ(r.size(), 200u) << "every row before the bad name is stored";
    for (std::size_t i = 1; i < r.size(); ++i) {
        EXPECT_LT(r[i - 1].ID, r[i].ID);
        EXPECT_LT(r[i - 1].offset, r[i].offset) << "rows in file order";
    }
    EXPECT_EQ(r[130].name, "CMD3");
    EXPECT_TRUE(r[130].dupe) << "a duplicate of a row stored two runs before";
    EXPECT_FALSE(r[3].dupe);
    EXPECT_EQ(r[100].name, "cmd100");
    EXPECT_TRUE(r[100].dupe);
    EXPECT_EQ(store->parameters().lastdvcID, r[0].ID);

    const auto bytes = b.build();
    const std::string log = readText(home() / "error.log");
    const auto last = static_cast<long>(b.commandPositions()[199].offset - 1);
    EXPECT_EQ(log.substr(0, 20), std::string(bytes.begin() + last, bytes.begin() + last + 20))
        << "error.log starts at the last stored row";
    EXPECT_NE(log.find("which/commands,which/lists 201/202 0/0"), std::string::npos);
    const std::string duplicates = readText(home() / "duplicate.log");
    EXPECT_LT(duplicates.find(" cmd100"), duplicates.find(" CMD3")) << "logged in file order";
}

TEST_F(Reader, AControlByteInAListNameStopsTheParse) {
    CommandFileBuilder b(7);
    b.add(BuiltList("good", {"a"}));
    b.add(BuiltList("bad\x01", {"b"}));
    EXPECT_FALSE(read(b).success);
    EXPECT_EQ(rows().size(), 1u);
    EXPECT_NE(readText(home() / "error.log").find("which/commands,which/lists 1/0 2/2"), std::string::npos);
}

TEST_F(Reader, DamageIsReportedWithPositionAndExpectation) {
    CommandFileBuilder good(7);
    good.add(bareCommand("a"));
    good.add(BuiltList("l", {"x"}));
    auto bytes = good.build();

    auto wrongMagic = bytes;
    wrongMagic[1] = 'Z';
    writeBytes(file(), wrongMagic);
    auto outcome = reader->ReadCommandFile(true, file());
    EXPECT_FALSE(outcome.success);
    EXPECT_NE(outcome.problem.find("at byte 2: expected the file signature LHSP"), std::string::npos);

    auto badVersion = bytes;
    badVersion[4] = 9;
    writeBytes(file(), badVersion);
    outcome = reader->ReadCommandFile(true, file());
    EXPECT_NE(outcome.problem.find("at byte 5: expected a version code from 3 to 7"), std::string::npos);

    auto cut = bytes;
    cut.resize(bytes.size() - 1);
    writeBytes(file(), cut);
    outcome = reader->ReadCommandFile(true, file());
    EXPECT_FALSE(outcome.success);
    EXPECT_NE(outcome.problem.find("expected a LIST item"), std::string::npos) << outcome.problem;

    CommandFileBuilder overCount(7);
    overCount.add(bareCommand("a"));
    overCount.declareCommandCount(5);
    writeBytes(file(), overCount.build());
    outcome = reader->ReadCommandFile(true, file());
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(rows().size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(home() / "error.log"));

    CommandFileBuilder hugeStates(7);
    auto c = bareCommand("s");
    c.declaredStateCount = 0x7FFFFFFF;
    hugeStates.add(c);
    writeBytes(file(), hugeStates.build());
    outcome = reader->ReadCommandFile(true, file());
    EXPECT_NE(outcome.problem.find("expected a state count within the file"), std::string::npos);
}

TEST_F(Reader, MissingFilesEndTheProgramWithTheirMessages) {
    EXPECT_THROW(reader->ReadCommandFile(true, file("nothere.dat")), EndProgram);
    EXPECT_EQ(prompter.last().text, "Required NatSpeak file missing--cannot continue");
    EXPECT_EQ(prompter.last().title, file("nothere.dat").string());

    CommandFileBuilder b(7);
    b.add(bareCommand("kept"));
    ASSERT_TRUE(read(b).success);
    std::filesystem::remove(home() / "keynames");
    b.add(bareCommand("second"));
    b.writeFile(file());
    EXPECT_THROW(reader->ReadCommandFile(true, file()), EndProgram);
    EXPECT_EQ(prompter.last().text, "Required file 'keynames' missing");
    EXPECT_EQ(prompter.last().title, "Reinstall");
    ASSERT_EQ(rows().size(), 1u) << "the store is left as it was";
}

// A file written with step codes this program does not know holds them in many commands: the
// user hears of them once per reading of the file, not once per step.
TEST_F(Reader, UnknownStepsAreReportedOncePerParse) {
    CommandFileBuilder b(7);
    for (int i = 0; i < 3; ++i) {
        auto c = bareCommand("steps" + std::to_string(i), kKindStepByStep);
        c.rawBody = stepByStepBody({step::raw(9), step::wait(20), step::raw(10)});
        b.add(c);
    }
    ASSERT_TRUE(read(b).success);
    ASSERT_EQ(prompter.messageCount(), 1u);
    EXPECT_EQ(prompter.last().text, "Unknown step-by-step command:9");
    EXPECT_EQ(prompter.last().title, "Offset =" + std::to_string(b.commandPositions()[0].body + 5));
    for (const auto& row : rows()) EXPECT_EQ(row.script, "wait 20 milliseconds");

    ASSERT_TRUE(read(b).success);
    EXPECT_EQ(prompter.messageCount(), 2u) << "the next parse reports again";

    // A record read on its own, as the program reads one to show it.
    ByteReader r(reader->file().image);
    r.seekPosition(static_cast<std::uint32_t>(b.commandPositions()[1].offset));
    ASSERT_TRUE(reader->ReadCommandRecord(r, false));
    EXPECT_EQ(prompter.messageCount(), 3u);
}
