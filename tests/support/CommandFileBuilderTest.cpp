// The builder is the yardstick for the reader's and writers' tests, so it is checked here
// against files Dragon wrote and against the layout rules the readers depend on.
#include "CommandFileBuilder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace vocabrella::testsupport {
namespace {

Bytes readSample(const std::string& name) {
    std::ifstream file(std::string(VOCABRELLA_SAMPLES_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The script texts are the only part taken from the samples themselves; every byte around
// them comes from the builder.
std::string sliceText(const Bytes& bytes, std::size_t offset, std::size_t length) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset + length)};
}

BuiltCommand dragonCommand() {
    BuiltCommand command;
    command.reservedAfterScope = kDragonReservedAfterScope;
    return command;
}

BuiltCommand outlookCommand() {
    BuiltCommand command = dragonCommand();
    command.group = "Outlook";
    command.scopeByte = kScopeApplication;
    command.module = "OUTLOOK";
    command.programDescription = "Microsoft Outlook";
    command.company = "Microsoft Corporation";
    return command;
}

void expectPositions(const RecordPositions& at, std::size_t scopeByte, std::size_t afterKind,
                     std::size_t body) {
    EXPECT_EQ(at.offset, 22u);
    EXPECT_EQ(at.scopeByte, scopeByte);
    EXPECT_EQ(at.afterKind, afterKind);
    EXPECT_EQ(at.body, body);
}

TEST(BuilderMatchesDragonSamples, StepByStepApplicationCommand) {
    const Bytes sample = readSample("reply.dat");
    BuiltCommand command = outlookCommand();
    command.name = "reply";
    command.kind = kKindStepByStep;
    command.rawBody = stepByStepBody({step::pressKey(82, kCtrl)});

    CommandFileBuilder builder(7, 9);
    builder.add(command);
    EXPECT_EQ(builder.build(), sample);
    expectPositions(builder.commandPositions().at(0), 41, 107, 116);
    EXPECT_EQ(builder.listSectionPosition(), 123u);
    EXPECT_TRUE(builder.listPositions().empty());
}

TEST(BuilderMatchesDragonSamples, GlobalScriptWithTwoLists) {
    const Bytes sample = readSample("move-dock-window.dat");
    const std::string script = sliceText(sample, 0x79, 1226);
    ASSERT_EQ(script.rfind("'Command Name: <move_or_dock> window <direction>\r\n", 0), 0u);
    ASSERT_TRUE(script.ends_with("End Sub\r\n"));

    BuiltCommand command = dragonCommand();
    command.name = "<move_or_dock> window <direction>";
    command.lists = {"move_or_dock", "direction"};
    command.group = "Windows";
    command.text = script;

    CommandFileBuilder builder(7, 9);
    builder.add(command)
        .add(BuiltList("direction", {"left", "right", "up", "down"}))
        .add(BuiltList("move_or_dock", {"move", "dock"}));
    EXPECT_EQ(builder.build(), sample);
    expectPositions(builder.commandPositions().at(0), 92, 110, 119);
    EXPECT_EQ(builder.listSectionPosition(), 1348u);
    EXPECT_EQ(builder.listPositions(), (std::vector<std::size_t>{1352, 1389}));
}

TEST(BuilderMatchesDragonSamples, ApplicationScriptWithOneList) {
    const Bytes sample = readSample("clear-categories.dat");
    const std::string script = sliceText(sample, 0xac, 1564);
    ASSERT_EQ(script.rfind("'#Reference {00062FFF-", 0), 0u);
    ASSERT_TRUE(script.ends_with("End Sub\r\n"));

    BuiltCommand command = outlookCommand();
    command.name = "clear <outlook_categories_plural>";
    command.lists = {"outlook_categories_plural"};
    command.text = script;

    CommandFileBuilder builder(7, 9);
    builder.add(command).add(BuiltList("outlook_categories_plural", {"categories", "category"}));
    EXPECT_EQ(builder.build(), sample);
    expectPositions(builder.commandPositions().at(0), 95, 161, 170);
    EXPECT_EQ(builder.listSectionPosition(), 1737u);
}

Bytes prefixOf(std::size_t length, PrefixWidth width = PrefixWidth::Auto) {
    Bytes out;
    appendCountedString(out, CountedText(std::string(length, 'x'), width));
    out.resize(out.size() - length);
    return out;
}

TEST(CountedStringPrefix, ShortestWidthByLength) {
    EXPECT_EQ(prefixOf(0), (Bytes{0}));
    EXPECT_EQ(prefixOf(254), (Bytes{254}));
    EXPECT_EQ(prefixOf(255), (Bytes{255, 255, 0}));
    EXPECT_EQ(prefixOf(300), (Bytes{255, 44, 1}));
    EXPECT_EQ(prefixOf(65534), (Bytes{255, 254, 255}));
    EXPECT_EQ(prefixOf(65535), (Bytes{255, 255, 255, 255, 255, 0, 0}));
    EXPECT_EQ(prefixOf(70000), (Bytes{255, 255, 255, 0x70, 0x11, 0x01, 0}));
}

TEST(CountedStringPrefix, ForcedWiderWidths) {
    EXPECT_EQ(prefixOf(5, PrefixWidth::ThreeBytes), (Bytes{255, 5, 0}));
    EXPECT_EQ(prefixOf(5, PrefixWidth::SevenBytes), (Bytes{255, 255, 255, 5, 0, 0, 0}));
    EXPECT_EQ(prefixOf(0, PrefixWidth::ThreeBytes), (Bytes{255, 0, 0}));
}

TEST(CountedStringPrefix, RefusesWidthsTooNarrow) {
    Bytes out;
    EXPECT_THROW(appendCount(out, 255, PrefixWidth::OneByte), std::invalid_argument);
    EXPECT_THROW(appendCount(out, 65535, PrefixWidth::ThreeBytes), std::invalid_argument);
    EXPECT_TRUE(out.empty());
}

// One global command with empty strings: name, LIST count, description and group take
// 7 bytes, so the scope byte is at 29 and the kind byte at 30 unless reserved bytes intervene.
struct FamilyCase {
    std::uint8_t versionCode;
    std::size_t afterKind;
    std::size_t body;

    friend void PrintTo(const FamilyCase& c, std::ostream* os) { *os << "code " << int(c.versionCode); }
};

class FamilyLayout : public testing::TestWithParam<FamilyCase> {};

TEST_P(FamilyLayout, ReservedBytesAndStatesByVersionCode) {
    BuiltCommand command;
    command.states = {"ab"};
    command.kind = kKindKeys;
    command.text = "k";
    CommandFileBuilder builder(GetParam().versionCode);
    const Bytes bytes = builder.add(command).build();
    const RecordPositions& at = builder.commandPositions().at(0);
    EXPECT_EQ(at.scopeByte, 29u);
    EXPECT_EQ(at.afterKind, GetParam().afterKind);
    EXPECT_EQ(at.body, GetParam().body);
    EXPECT_EQ(bytes[at.afterKind - 2], kKindKeys);
    EXPECT_EQ(bytes[at.body - 1], 1);  // the body's one-byte prefix
    EXPECT_EQ(builder.listSectionPosition(), at.body + 2);
}

INSTANTIATE_TEST_SUITE_P(
    AllCodes, FamilyLayout,
    testing::Values(FamilyCase{3, 31, 31},   // body follows the kind byte
                    FamilyCase{4, 31, 31},
                    FamilyCase{5, 43, 51},   // 12 bytes after the scope, 8 after the kind
                    FamilyCase{6, 50, 58},   // plus the state list: Long and "ab"
                    FamilyCase{7, 50, 59}),  // plus the encryption flag
    [](const auto& testCase) { return "Code" + std::to_string(testCase.param.versionCode); });

TEST(RecordLayout, EncryptedBodyFollowsBlockInsteadOfReservedBytes) {
    BuiltCommand command;
    command.kind = kKindAdvancedScript;
    command.encryption = 1;
    command.encryptionHeader = {1, 2, 3, 4, 5, 6, 7};
    command.encryptionBlock = "xyz";
    CommandFileBuilder builder(7);
    const Bytes bytes = builder.add(command).build();
    const RecordPositions& at = builder.commandPositions().at(0);
    EXPECT_EQ(at.afterKind, 47u);
    EXPECT_EQ(Bytes(bytes.begin() + 46, bytes.begin() + 59),
              (Bytes{1, 1, 2, 3, 4, 5, 6, 7, 3, 'x', 'y', 'z', 0}));
    EXPECT_EQ(at.body, 59u);
}

TEST(RecordLayout, ScopeDataFollowsLowSevenBitsOfScopeByte) {
    const auto scopeDataLength = [](std::uint8_t scopeByte) {
        BuiltCommand command;
        command.scopeByte = scopeByte;
        command.module = "M";
        command.programDescription = "D";
        command.company = "C";
        command.windowTitle = "T";
        command.windowClass = "K";
        CommandFileBuilder builder(3);
        builder.add(command).build();
        const RecordPositions& at = builder.commandPositions().at(0);
        return at.afterKind - at.scopeByte - 2;  // minus the scope and kind bytes
    };
    EXPECT_EQ(scopeDataLength(kScopeGlobal), 0u);
    EXPECT_EQ(scopeDataLength(kScopeApplication), 6u);
    EXPECT_EQ(scopeDataLength(kScopeWindow), 10u);
    EXPECT_EQ(scopeDataLength(3), 0u);
    EXPECT_EQ(scopeDataLength(kScopeApplication + kSkippedRecord), 6u);
    EXPECT_EQ(scopeDataLength(kScopeWindow + kSkippedRecord), 10u);
}

TEST(RecordLayout, WindowScopeDataInFileOrder) {
    BuiltCommand command;
    command.scopeByte = kScopeWindow;
    command.module = "M";
    command.programDescription = "D";
    command.company = "C";
    command.windowTitle = "T";
    command.windowClass = "K";
    CommandFileBuilder builder(3);
    const Bytes bytes = builder.add(command).build();
    const std::size_t start = builder.commandPositions().at(0).scopeByte;  // 0-based: next byte
    EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                    bytes.begin() + static_cast<std::ptrdiff_t>(start) + 10),
              (Bytes{1, 'M', 1, 'D', 1, 'C', 1, 'T', 1, 'K'}));
}

TEST(RecordLayout, DeclaredCountsReplaceRealOnes) {
    BuiltCommand unknownKind;
    unknownKind.kind = 99;
    BuiltList list("L", {"a"});
    list.afterName = 7;
    list.declaredItemCount = 0x10001;
    CommandFileBuilder builder(3, 12);
    builder.add(unknownKind)
        .add(list)
        .declareCommandCount(0x10001)
        .declareListCount(0x20001);
    const Bytes bytes = builder.build();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 21),
              (Bytes{'L', 'H', 'S', 'P', 3, 2, 135, 0, 0, 0, 0, 0, 0, 0, 0, 12, 4, 1, 0, 1, 0}));
    const std::size_t lists = builder.listSectionPosition() - 1;
    EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(lists), bytes.end()),
              (Bytes{1, 0, 2, 0, 1, 'L', 7, 0, 0, 0, 1, 0, 1, 0, 1, 'a'}));
}

TEST(BodyHelpers, StepsEncodeCodeThenData) {
    const Bytes body = stepByStepBody({step::open("n", "", "", 1), step::wait(1500),
                                       step::stopListening(), step::microphoneOn(),
                                       step::microphoneOff(), step::typeText("hi"),
                                       step::sendKeys("{Tab}"), step::raw(9)});
    EXPECT_EQ(body, (Bytes{8, 0, 0, 0,                     // step count
                           2, 1, 'n', 0, 0, 1, 0, 0, 0,    // open
                           3, 0xdc, 0x05, 0, 0,            // wait 1500
                           4, 5, 6,                        // stop listening, mic on, mic off
                           11, 2, 'h', 'i',                // type text
                           12, 5, '{', 'T', 'a', 'b', '}', // send keys
                           9}));
}

TEST(BodyHelpers, RecorderEventsPutFieldsAtTheirOffsets) {
    const Bytes keyEvent = event::key(13, 65);
    EXPECT_EQ(keyEvent, (Bytes{1, 0, 0, 0, 0, 13, 0, 0, 65}));
    const Bytes mouseEvent = event::mouse(event::kMouseMove, 0x0178, 0x002d);
    ASSERT_EQ(mouseEvent.size(), 21u);
    EXPECT_EQ(mouseEvent[0], 2);
    EXPECT_EQ(mouseEvent[5], 0);
    EXPECT_EQ(mouseEvent[9] | mouseEvent[10] << 8, 0x0178);
    EXPECT_EQ(mouseEvent[13] | mouseEvent[14] << 8, 0x002d);
    EXPECT_EQ(event::typeThree().size(), 9u);

    const Bytes body = recorderBody({RecorderGroup{"a", "", "", "", "", "f"}},
                                    {event::other(7), event::typeThree()}, 0x10002);
    EXPECT_EQ(body.size(), 4u + 8u + 4u + 1u + 9u);
    EXPECT_EQ(Bytes(body.begin(), body.begin() + 12), (Bytes{1, 0, 0, 0, 1, 'a', 0, 0, 0, 0, 1, 'f'}));
    EXPECT_EQ(Bytes(body.begin() + 12, body.begin() + 17), (Bytes{2, 0, 1, 0, 7}));
}

}  // namespace
}  // namespace vocabrella::testsupport
